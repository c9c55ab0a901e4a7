#include "ui/date_typing.h"

#include "ui/message_box.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>

#include <utility>

namespace ui {

namespace {

constexpr const char *kNoSuchDate = "没有“%1”这一天，请重新输入日期";
constexpr const char *kNoSuchTime = "没有“%1”这个时间，请重新输入";

// How many digits a part of the field takes when typed in full.
int partWidth(QDateTimeEdit::Section part) { return part == QDateTimeEdit::YearSection ? 4 : 2; }

// The parts of a date and time as typed, which need not make a real one.
struct Typed {
    int year, month, day, hour, minute;
};

// Follows what is typed into a date field, part by part, to see the date the
// user means before the field turns it into another one.
class DateTyping : public QObject {
public:
    explicit DateTyping(QDateTimeEdit *edit) : QObject(edit), m_edit(edit) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (keyPress(static_cast<QKeyEvent *>(event)->text()))
                return true;
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::MouseButtonPress:
            forget();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void forget()
    {
        m_digits.clear();
        m_dayTyped = false;
    }

    // True when the key is used up here.
    bool keyPress(const QString &text)
    {
        const bool digit = text.size() == 1 && text[0].isDigit();
        const bool separator = text.size() == 1 && text[0].isPrint() && !text[0].isLetterOrNumber();
        const int index = m_edit->currentSectionIndex();
        // The field moves on to its next part by itself, once a part is full
        // or no further digit could give a real value (a "3" for a day of
        // February). A separator typed right after that would skip a part
        // too: it is taken as already done.
        const bool movedOn = !m_digits.isEmpty() && index != m_index;
        if (!digit) {
            m_digits.clear();
            return movedOn && separator;
        }
        // A digit typed into a part that is not full yet belongs to it, also
        // after the field moved on early: "3" then "0" is the 30th, not the
        // 3rd and 0 o'clock.
        const bool continues = !m_digits.isEmpty() && m_digits.size() < partWidth(m_edit->sectionAt(m_index));
        if (!continues) {
            m_index = index;
            m_digits.clear();
            m_before = m_edit->dateTime();
        }
        m_digits += text;
        const QDateTimeEdit::Section part = m_edit->sectionAt(m_index);
        if (m_digits.size() < partWidth(part))
            return false;
        if (refuseIfImpossible(part))
            return true;
        if (part == QDateTimeEdit::DaySection)
            m_dayTyped = true;
        return false;
    }

    // The date and time the field would hold with the part being typed.
    Typed typedValue(QDateTimeEdit::Section part) const
    {
        const QDateTime now = m_edit->dateTime();
        Typed t{now.date().year(), now.date().month(), now.date().day(), now.time().hour(), now.time().minute()};
        const std::pair<QDateTimeEdit::Section, int Typed::*> members[] = {
            {QDateTimeEdit::YearSection, &Typed::year},   {QDateTimeEdit::MonthSection, &Typed::month},
            {QDateTimeEdit::DaySection, &Typed::day},     {QDateTimeEdit::HourSection, &Typed::hour},
            {QDateTimeEdit::MinuteSection, &Typed::minute}};
        for (const auto &[section, member] : members)
            if (section == part)
                t.*member = m_digits.toInt();
        return t;
    }

    // A part that makes no real date (or time) is refused: the field goes
    // back to what it held before the part was typed, and says which date
    // does not exist. The day is only held against the month and year once
    // it was typed too, since a date is typed from its year on.
    bool refuseIfImpossible(QDateTimeEdit::Section part)
    {
        const Typed t = typedValue(part);
        const bool timePart = part == QDateTimeEdit::HourSection || part == QDateTimeEdit::MinuteSection;
        const bool dayCounts = part == QDateTimeEdit::DaySection || m_dayTyped;
        const bool real = timePart ? QTime::isValid(t.hour, t.minute, 0)
                                   : QDate::isValid(t.year, t.month, dayCounts ? t.day : 1);
        if (real)
            return false;
        QString named = QString::asprintf("%04d/%02d/%02d", t.year, t.month, t.day);
        if (m_edit->displayedSections() & QDateTimeEdit::HourSection)
            named += QString::asprintf(" %02d:%02d", t.hour, t.minute);
        const int index = m_index;
        m_edit->setDateTime(m_before);
        m_edit->setCurrentSectionIndex(index);
        m_edit->setSelectedSection(m_edit->sectionAt(index));
        forget();
        warn(m_edit, QString::fromUtf8(timePart ? kNoSuchTime : kNoSuchDate).arg(named));
        return true;
    }

    QDateTimeEdit *m_edit;
    // The part being typed, its digits so far, and the field before it.
    int m_index = -1;
    QString m_digits;
    QDateTime m_before;
    // The day was typed since the field took the focus.
    bool m_dayTyped = false;
};

} // namespace

void guardDateTyping(QDateTimeEdit *edit) { edit->installEventFilter(new DateTyping(edit)); }

} // namespace ui

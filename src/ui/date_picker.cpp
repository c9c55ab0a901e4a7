#include "ui/date_picker.h"

#include "ui/date_typing.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
const char *const kFormat = "yyyy/MM/dd dddd";
const char *const kBlank = " ";
} // namespace

CDatePicker::CDatePicker(QWidget *parent) : QDateEdit(parent)
{
    // The weekday's name in Chinese, whatever the system's locale.
    setLocale(QLocale(QLocale::Chinese, QLocale::China));
    setDisplayFormat(QString::fromLatin1(kFormat));
    setCalendarPopup(true);
    setMinimumDate(QDate(1900, 1, 1));
    ui::guardDateTyping(this);
    connect(this, &QDateEdit::dateChanged, this, [this] { setBlank(false); });
    // Picking the date it already holds changes nothing, but shows it.
    connect(calendarWidget(), &QCalendarWidget::clicked, this, [this] { setBlank(false); });
    connect(calendarWidget(), &QCalendarWidget::activated, this, [this] { setBlank(false); });
}

void CDatePicker::showBlank(const QDate &date)
{
    setBlank(true);
    setDate(date);
    setBlank(true);
}

void CDatePicker::showDate(const QDate &date)
{
    setDate(date);
    setBlank(false);
}

QString CDatePicker::shownText() const { return lineEdit()->text(); }

QString CDatePicker::textFromDateTime(const QDateTime &value) const
{
    return m_blank ? QString::fromLatin1(kBlank) : QDateEdit::textFromDateTime(value);
}

void CDatePicker::keyPressEvent(QKeyEvent *event)
{
    // A key that edits the date shows what it edits.
    if (m_blank && event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab)
        setBlank(false);
    QDateEdit::keyPressEvent(event);
}

void CDatePicker::setBlank(bool blank)
{
    if (m_blank == blank)
        return;
    m_blank = blank;
    lineEdit()->setText(textFromDateTime(dateTime()));
}

bool CDatePicker::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(forward);
            return true;
        }
    }
    return QDateEdit::event(event);
}

#include "ui/date_typing.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>

namespace ui {

namespace {

class TypedSeparators : public QObject {
public:
    explicit TypedSeparators(QDateTimeEdit *edit) : QObject(edit), m_edit(edit) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const QString text = static_cast<QKeyEvent *>(event)->text();
            const bool digit = text.size() == 1 && text[0].isDigit();
            const bool separator = text.size() == 1 && text[0].isPrint() && !text[0].isLetterOrNumber();
            // The digit before moved the field on when the part changed under it.
            const bool movedOn = m_afterDigit && m_edit->currentSectionIndex() != m_sectionOfDigit;
            m_afterDigit = digit;
            m_sectionOfDigit = m_edit->currentSectionIndex();
            if (movedOn && separator) {
                m_afterDigit = false;
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::MouseButtonPress:
            m_afterDigit = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QDateTimeEdit *m_edit;
    bool m_afterDigit = false;
    int m_sectionOfDigit = -1;
};

} // namespace

void acceptTypedSeparators(QDateTimeEdit *edit) { edit->installEventFilter(new TypedSeparators(edit)); }

} // namespace ui

#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace testing_support {

// Answers message boxes as they come, recording their texts. Each answer is
// "ok", "cancel", "yes", "no" or "default" (the button Enter presses);
// without one left, a box is closed.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QStringList buttons = {}) : m_buttons(std::move(buttons))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    QStringList texts;

private:
    static QMessageBox::ButtonRole roleOf(const QString &answer)
    {
        if (answer == QLatin1String("cancel"))
            return QMessageBox::RejectRole;
        if (answer == QLatin1String("yes"))
            return QMessageBox::YesRole;
        if (answer == QLatin1String("no"))
            return QMessageBox::NoRole;
        return QMessageBox::AcceptRole;
    }

    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->text();
        const QString wanted = m_buttons.isEmpty() ? QString() : m_buttons.takeFirst();
        if (wanted == QLatin1String("default") && box->defaultButton()) {
            box->defaultButton()->click(); // as Enter would
            return;
        }
        for (QAbstractButton *b : box->buttons())
            if (wanted.isEmpty() || box->buttonRole(b) == roleOf(wanted)) {
                b->click();
                return;
            }
        box->close();
    }
    QStringList m_buttons;
    QTimer m_timer;
};

} // namespace testing_support

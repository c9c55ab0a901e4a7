#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace testing_support {

// While it lives, closes every modal window that comes up, recording the
// text of a message box or the caption of any other window.
class ModalCloser {
public:
    ModalCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            auto *box = qobject_cast<QMessageBox *>(modal);
            texts << (box ? box->text() : modal->windowTitle());
            modal->close();
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace testing_support

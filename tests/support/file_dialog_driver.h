#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace testing_support {

// Answers the file dialog and the message boxes that follow it: a file
// dialog gets `file` (or is cancelled when it is empty), a question gets Yes.
class FileDialogDriver {
public:
    explicit FileDialogDriver(QString file) : m_file(std::move(file))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    QString title;
    QStringList filters;
    QString directory;
    QString offered;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList boxes;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxes << box->text();
            if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                yes->click();
            else
                box->close();
        } else if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
            if (chooser != m_answered) {
                m_answered = chooser;
                title = chooser->windowTitle();
                filters = chooser->nameFilters();
                directory = chooser->directory().absolutePath();
                offered = chooser->selectedFiles().value(0);
                mode = chooser->acceptMode();
                if (m_file.isEmpty()) {
                    chooser->reject();
                    return;
                }
            } else if (m_sinceAccept.isValid() && m_sinceAccept.elapsed() < 200) {
                return;
            }
            // Typed, as a user would: the dialog's folder listing arrives
            // later and may not hold a file made just before. Again after a
            // while, should the listing have taken the name away. Queued,
            // since the overwrite question runs a loop of its own, in which
            // this timer would not fire again.
            if (auto *name = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(m_file);
            else
                chooser->selectFile(m_file);
            m_sinceAccept.start();
            QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
        }
    }
    QString m_file;
    QFileDialog *m_answered = nullptr;
    QElapsedTimer m_sinceAccept;
    QTimer m_timer;
};

} // namespace testing_support

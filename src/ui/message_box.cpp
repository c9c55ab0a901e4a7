#include "ui/message_box.h"

#include <QMessageBox>

namespace ui {

void inform(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QString::fromUtf8(kAppTitle), text);
}

void inform(QWidget *parent, const std::string &text) { inform(parent, QString::fromStdString(text)); }

void warn(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, QString::fromUtf8(kAppTitle), text);
}

void showError(QWidget *parent, const QString &text, const char *caption)
{
    QMessageBox::critical(parent, QString::fromUtf8(caption), text);
}


bool askYesNo(QWidget *parent, const QString &text, bool yesIsDefault, const char *caption)
{
    return QMessageBox::question(parent, QString::fromUtf8(caption), text, QMessageBox::Yes | QMessageBox::No,
                                 yesIsDefault ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

bool askOkCancel(QWidget *parent, const QString &text, const char *caption)
{
    return QMessageBox::question(parent, QString::fromUtf8(caption), text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace ui

#include "setup/message_box.h"

#include "db/connection.h"

#include <QMessageBox>

namespace setup {

void inform(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QString::fromUtf8(kAppTitle), text);
}

void inform(QWidget *parent, const std::string &text) { inform(parent, QString::fromStdString(text)); }

void reportError(QWidget *parent, const db::Error &error)
{
    QMessageBox::warning(parent, QString::fromUtf8(kAppTitle), QString::fromUtf8(error.what()));
}

bool askYesNo(QWidget *parent, const QString &text, bool yesIsDefault)
{
    return QMessageBox::question(parent, QString::fromUtf8(kAppTitle), text, QMessageBox::Yes | QMessageBox::No,
                                 yesIsDefault ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

} // namespace setup

#include "app/startup.h"

#include "app/login.h"
#include "app/login_dialog.h"
#include "db/connection.h"
#include "setup/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace app {

std::optional<QString> runLogin(db::Connection &connection)
{
    CLoginDialog login;
    if (login.exec() != QDialog::Accepted)
        return std::nullopt;
    LoginResult result;
    try {
        result = checkLogin(connection, login.userName().toStdString(), login.password().toStdString());
    } catch (const db::Error &error) {
        setup::reportError(nullptr, error);
        return std::nullopt;
    }
    if (!result.accepted) {
        QMessageBox::warning(nullptr, QString::fromUtf8(setup::kAppTitle), QString::fromUtf8(kMsgWrongPassword));
        return std::nullopt;
    }
    return QString::fromStdString(result.userName);
}

} // namespace app

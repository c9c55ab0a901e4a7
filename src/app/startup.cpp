#include "app/startup.h"

#include "app/book_dialog.h"
#include "app/books.h"
#include "app/login.h"
#include "app/login_dialog.h"
#include "db/connection.h"
#include "ui/carry_out.h"

#include <QApplication>

namespace app {

std::optional<QString> bookForRun(const BookChoice &choice)
{
    if (choice.source != BookSource::None)
        return QString::fromStdString(choice.path);
    CBookDialog firstRun(CBookDialog::Purpose::FirstRun, QString::fromStdString(choice.newBook));
    if (firstRun.exec() != QDialog::Accepted)
        return std::nullopt;
    return firstRun.book();
}

std::optional<QString> runLogin(db::Connection &connection)
{
    CLoginDialog login;
    if (login.exec() != QDialog::Accepted)
        return std::nullopt;
    LoginResult result;
    if (!ui::carryOut(nullptr, [&] {
            result = checkLogin(connection, login.userName().toStdString(), login.password().toStdString());
        }))
        return std::nullopt;
    if (!result.accepted) {
        ui::warn(nullptr, QString::fromUtf8(kMsgWrongPassword));
        return std::nullopt;
    }
    return QString::fromStdString(result.userName);
}

} // namespace app

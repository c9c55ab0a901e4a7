#include "app/password.h"

#include "db/connection.h"
#include "db/text.h"

namespace app {

db::Result changePassword(db::Connection &c, const std::string &userName, const std::string &oldPassword,
                          const std::string &newPassword, const std::string &repeat)
{
    const std::string name = db::quote(userName);
    const std::string stored =
        c.scalar("SELECT SysPwd,SysUserName FROM SysAllUser where SysUserName ='" + name + "'", "SysPwd");
    if (oldPassword != stored)
        return db::Result::refused(kMsgOldPasswordWrong);
    if (newPassword != repeat)
        return db::Result::refused(kMsgRepeatDiffers);
    db::Transaction transaction(c);
    const int changed =
        c.execute("update SysAllUser set SysPwd ='" + db::quote(repeat) + "' where  SysUserName ='" + name + "'");
    // Without a row for the name nothing changed, which must not read as done.
    if (changed == 0) {
        std::string message = kMsgNoSuchUser;
        message.replace(message.find("%1"), 2, userName);
        return db::Result::refused(message);
    }
    transaction.commit();
    return db::Result::ok();
}

} // namespace app

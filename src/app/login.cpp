#include "app/login.h"

#include "db/connection.h"
#include "db/text.h"


namespace app {

std::vector<std::string> loginUserNames(db::Connection &c)
{
    std::vector<std::string> names;
    db::Query q = c.query("SELECT SysUserName FROM SysAllUser  ");
    while (q.next())
        names.push_back(q.field("SysUserName"));
    return names;
}

LoginResult checkLogin(db::Connection &c, const std::string &userName, const std::string &password)
{
    db::Query q = c.query("SELECT SysPwd,SysUserName FROM SysAllUser  where SysUserName ='" + db::quote(userName) + "'");
    bool found = false;
    std::string stored;
    std::string name = userName;
    while (q.next()) {
        found = true;
        stored = q.field("SysPwd");
        name = q.field("SysUserName");
    }
    LoginResult result;
    result.accepted = found && password == stored;
    if (result.accepted)
        result.userName = name;
    return result;
}

} // namespace app

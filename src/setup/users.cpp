#include "setup/users.h"

#include "db/connection.h"
#include "db/text.h"

namespace setup {

namespace {

User userOf(const db::Query &q)
{
    return {q.field("SysUserName"), q.field("SysPwd"), q.field("Details")};
}

} // namespace

std::vector<User> listUsers(db::Connection &c)
{
    std::vector<User> users;
    db::Query q = c.query("select * from SysAllUser where SysUserName <>  '管理员' ");
    while (q.next())
        users.push_back(userOf(q));
    return users;
}

User findUser(db::Connection &c, const std::string &name)
{
    User user;
    db::Query q = c.query("select * from SysAllUser where SysUserName = '" + db::quote(name) + "' ");
    while (q.next())
        user = userOf(q);
    return user;
}

db::Result addUser(db::Connection &c, User &user)
{
    user.name = db::trim(user.name);
    if (user.name.empty())
        return db::Result::refused(kMsgNameEmpty);
    db::Transaction transaction(c, "增加用户 " + user.name);
    bool exists = false;
    {
        db::Query q = c.query("select * from SysAllUser where SysUserName ='" + db::quote(user.name) + "' ");
        exists = q.next();
    }
    if (exists)
        return db::Result::refused({});
    c.execute("INSERT INTO SysAllUser(SysUserName,SysPwd,Details)  VALUES ( '" + db::quote(user.name) + "','" +
              db::quote(user.password) + "','" + db::quote(user.details) + "')");
    transaction.commit();
    return db::Result::ok();
}

db::Result deleteUser(db::Connection &c, const std::string &name, const std::string &loggedInUser)
{
    const std::string trimmed = db::trim(name);
    if (trimmed == kAdministrator)
        return db::Result::refused(kMsgAdministratorKept);
    if (trimmed.empty())
        return db::Result::refused(kMsgChooseUser);
    if (trimmed == db::trim(loggedInUser))
        return db::Result::refused(kMsgUserLoggedIn);
    db::Transaction transaction(c, "删除用户 " + trimmed);
    c.execute("delete from SysAllUser where SysUserName = '" + db::quote(trimmed) + "' ");
    transaction.commit();
    return db::Result::ok();
}

} // namespace setup

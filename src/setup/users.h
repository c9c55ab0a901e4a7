#pragma once

#include "db/result.h"

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace setup {

inline constexpr const char *kAdministrator = "管理员";
inline constexpr const char *kMsgNameEmpty = "姓名不能为空！";
inline constexpr const char *kMsgAdministratorKept = "不能删除管理员用户";
inline constexpr const char *kMsgChooseUser = "请选择用户";
inline constexpr const char *kMsgUserLoggedIn = "这个用户正在使用本程序，不能删除。请换一个用户登录后再删除。";

// A row of SysAllUser.
struct User {
    std::string name;
    std::string password;
    std::string details;
};

// Every user but the administrator, in the order the table returns them.
std::vector<User> listUsers(db::Connection &c);
// The user of this name; an empty name when there is none.
User findUser(db::Connection &c, const std::string &name);

// Adds a user. The name is trimmed at both ends (user.name holds the stored
// name afterwards); password and details stay as typed. An empty name is
// refused with its message, an existing one silently.
db::Result addUser(db::Connection &c, User &user);

// Deletes a user by name (trimmed). The administrator and the user who is
// logged in now are refused; entries keep their handler name.
db::Result deleteUser(db::Connection &c, const std::string &name, const std::string &loggedInUser);

} // namespace setup

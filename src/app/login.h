#pragma once

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace app {

inline constexpr const char *kLoginTitle = "Pennaro4.0.0.9";
inline constexpr const char *kMsgWrongPassword = "密码错误！";

// The user names for the login list, in the order the table returns them.
std::vector<std::string> loginUserNames(db::Connection &c);

struct LoginResult {
    bool accepted = false;
    std::string userName; // the stored spelling of the name when accepted
};

// Checks a typed password against the stored one, exactly and case-sensitively.
// A name that is not a user is refused like a wrong password.
LoginResult checkLogin(db::Connection &c, const std::string &userName, const std::string &password);

} // namespace app

#pragma once

#include "db/result.h"

#include <string>

namespace db {
class Connection;
}

namespace app {

inline constexpr const char *kMsgOldPasswordWrong = "密码不对!请重新输入";
inline constexpr const char *kMsgRepeatDiffers = "密码校验不对!请重新输入";
inline constexpr const char *kMsgPasswordChanged = "密码已更改!";
inline constexpr const char *kMsgNoSuchUser = "找不到用户“%1”，密码没有更改。请重新登录后再试。";

// Changes a user's password: the old one must equal the stored one exactly,
// the new one its repetition. Done only when a row was really updated; a
// name without a row is refused with kMsgNoSuchUser (its %1 is the name).
db::Result changePassword(db::Connection &c, const std::string &userName, const std::string &oldPassword,
                          const std::string &newPassword, const std::string &repeat);

} // namespace app

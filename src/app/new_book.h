#pragma once

#include "db/dates.h"
#include "db/result.h"

#include <string>

namespace app {

inline constexpr const char *kMsgNoBookPlace = "请选择新帐本的位置。";
inline constexpr const char *kMsgPasswordsDiffer = "两次输入的密码不一样，请重新输入。";
inline constexpr const char *kMsgBookExists = "“%1”已经存在，不会覆盖。请换一个文件名，或者用“打开帐本…”打开它。";

// A new book as the first-run window asks for it.
struct NewBook {
    std::string path;
    std::string password;      // of the user 管理员
    std::string passwordAgain; // typed a second time
    bool demo = false;         // a year of demo entries besides the usual categories
};

// Makes the book the way pennaro-initdb makes one (whole or not at all,
// readable by its owner only, never over a file), with the folders missing
// on the way. Refused with a message for a missing place, passwords that
// differ or a file already there; a file that cannot be written throws
// db::Error. The demo entries end at now.
db::Result createBook(const NewBook &book, const db::DateTime &now);

} // namespace app

#pragma once

#include "db/money.h"
#include "db/result.h"
#include "ledger/ledger_load.h"

#include <string>

namespace db {
class Connection;
}

namespace ledger {

inline constexpr const char *kMsgFindBadAmount = "金额范围请写数字，例如 100 或 35.5";
inline constexpr const char *kMsgFindBadType = "类型必须是 收、付、存 或 取";
inline constexpr const char *kMsgFindBadDay = "日期请写成 YYYYMMDD，例如 20240501";
// A search text longer than this many characters is refused: the engine
// refuses a pattern beyond 50,000 bytes, and nobody types a page to find.
inline constexpr std::size_t kMaxFindText = 1000;
inline constexpr const char *kMsgFindTextTooLong = "查找的文字太长，最多1000个字。";

// What to look for in the journal; an empty field asks for nothing.
struct FindQuery {
    // Found in the category, account, handler or description; every
    // character stands for itself, ASCII letters match in either case.
    std::string text = {};
    std::string type = {}; // 收, 付, 存 or 取
    // Bounds on the amount, plain numbers, both included.
    std::string least = {};
    std::string most = {};
    // Days "YYYYMMDD", both included.
    std::string from = {};
    std::string to = {};
};

// The columns of the found entries, in order.
enum FoundColumn { kFoundNumber, kFoundDate, kFoundType, kFoundCategory, kFoundAccount, kFoundAmount,
                   kFoundHandler, kFoundDescription, kFoundColumns };
const char *foundCaption(int column);

struct FoundEntries {
    CellTable rows{kFoundColumns};
    db::Money total; // of the amounts, exact
};

// Refused with its message when a bound is no plain number or a day is no
// day; nothing runs then.
db::Result checkFindQuery(const FindQuery &query);
// The statement that finds the entries, newest first.
std::string findStatement(const FindQuery &query);
// Every journal entry that matches, newest first, and their total.
db::Result findEntries(db::Connection &c, const FindQuery &query, FoundEntries &found);

// "N条记录，合计：￥T", the line under the found entries.
std::string foundSummary(const FoundEntries &found);

} // namespace ledger

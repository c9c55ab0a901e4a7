#pragma once

#include "db/dates.h"

#include <optional>
#include <string>

namespace db {
class Connection;
}

// Rules shared by the two saves of the settings dialog's detail panel: the
// recurring settings of a category and the details of a bank account.
namespace setup {

inline constexpr const char *kMsgPressModify = "请先点击'修改'按钮";
inline constexpr const char *kMsgSaved = "数据已保存！";
// The panel writes the node it shows, never the one merely selected.
inline constexpr const char *kMsgLoadFirst = "请先双击要设置的项目，再点击'修改'";
inline constexpr const char *kMsgDateTooEarly = "日期不能早于1900年，请重新选择";

// Dates the detail panel accepts: older ones are refused by the readers of
// the rows (the recurring posting counts them as unreadable).
inline constexpr int kFirstYear = 1900;

// An amount that may go into a statement unquoted and that reads back as the
// same plain number: an optional sign, at most 12 digits before the point
// and 4 after it ("1500", "35.5", "-8", ".25"). Blanks around are not part
// of it: callers trim first.
bool isAmountText(const std::string &text);

// A date of a stored text, or fallback where the text does not read as one
// (an empty text included).
db::DateTime dateOrNow(const std::string &text, const db::DateTime &fallback);

// The text form of a boolean column as a check box shows it: only "0" is clear.
bool checkBoxValue(const std::string &columnText);

// "select max(财务标识)+1 as num from account ": "1" for an empty journal;
// none when the journal holds a number that is not whole.
std::optional<std::string> nextEntryNumber(db::Connection &c);

} // namespace setup

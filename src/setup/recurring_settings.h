#pragma once

#include "db/dates.h"
#include "db/result.h"
#include "setup/tree_store.h"

#include <functional>
#include <optional>
#include <string>

namespace db {
class Connection;
}

// The recurring settings of an income or expense category: what the detail
// panel shows of a category's row, and the checks and statements of saving
// them. The recurring posting at start-up reads what is saved here.
namespace setup {

inline constexpr const char *kMsgAutoNeedsFixedIncome = "如果是自动记帐，请选择固定收入";
inline constexpr const char *kMsgAmountEmpty = "金额不能为空";
inline constexpr const char *kMsgIntervalEmpty = "差值不能为空";
inline constexpr const char *kMsgUnitEmpty = "类型不能为空";
inline constexpr const char *kMsgBankEmpty = "银行不能为空";
inline constexpr const char *kAskRestartIncome = "开始日期已改动，该收入项将按新的开始日期自动生成记录，确定吗？";
inline constexpr const char *kAskRestartExpense = "开始日期已改动，该支出项将按新的开始日期自动生成记录，确定吗？";
inline constexpr const char *kMsgAmountNotNumber = "金额必须是数字（最多12位整数、4位小数），例如 1500 或 35.5";
inline constexpr const char *kMsgIntervalNotWhole = "间隔必须是1到999999之间的整数";
inline constexpr const char *kMsgChooseCategory = "请选择一个具体的项目，不能选根节点";
inline constexpr const char *kMsgUnitUnknown = "频率的单位只能是天、月或年";
// The units the recurring posting knows; any other would never post.
inline constexpr const char *kRecurringUnits[] = {"天", "月", "年"};

// The caption of the fixed check box for a category tree.
const char *fixedCaption(TreeKind kind);

// A category's row as the panel shows it.
struct RecurringItem {
    std::string style;
    bool fixed = false;
    bool autoPost = true;
    std::string amount;
    std::string dayNum;
    std::string selectType;
    std::string bankName;
    // The three date texts as stored, and their dates (now where a text
    // does not read as a date).
    std::string beginText;
    std::string endText;
    std::string midText;
    db::DateTime begin;
    db::DateTime end;
    db::DateTime mid;
};

// "SELECT *  FROM GetStyle  where  Style = '...'" (PayStyle for expenses);
// none when no row comes back.
std::optional<RecurringItem> loadRecurring(db::Connection &c, TreeKind kind, const std::string &name,
                                           const db::DateTime &now);

// What the panel holds when 保存 is pressed.
struct RecurringForm {
    bool unlocked = false; // 修改 was pressed since the last load
    std::string loaded;    // the node loaded into the panel, "" when none
    std::string selected;  // the node selected in the tree now
    bool fixed = false;
    bool autoPost = true;
    std::string amount;
    std::string dayNum;
    std::string selectType;
    std::string bank; // the picked bank
    db::DateTime begin;
    db::DateTime end;
    // Of the loaded row: its progress text and its start date.
    std::string loadedMid;
    db::DateTime loadedBegin;
};

// Asks the user a Yes/No question; true for Yes.
using Question = std::function<bool(const std::string &question)>;

// Checks the form and writes it to the loaded category's row. A start date
// changed on an item that has posted before asks whether to post again from
// the new date; Yes resets its progress together with the update, in one
// transaction, once every check has passed. Refused with the message to
// show, silently when the user answered No.
db::Result saveRecurring(db::Connection &c, TreeKind kind, const RecurringForm &form, const Question &ask);

} // namespace setup

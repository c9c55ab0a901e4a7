#pragma once

#include "db/result.h"
#include "setup/recurring_settings.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

// The budgets of the expense categories: a monthly and a yearly amount each,
// kept by category name in a table of their own, and set in the settings
// panel, in the budget plan and on the command line.
namespace setup {

inline constexpr const char *kMsgBudgetNotNumber =
    "预算金额必须是不小于0的数字（最多12位整数、2位小数），例如 2000 或 150.5；不要预算请留空";
inline constexpr const char *kMsgNoSuchExpense = "没有这个支出类型: ";

// The two amounts of a category, as stored ("2000", "150.5"); "" where the
// category has none.
struct BudgetAmounts {
    std::string monthly;
    std::string yearly;

    bool isEmpty() const { return monthly.empty() && yearly.empty(); }
    bool operator==(const BudgetAmounts &) const = default;
};

// The checked form of a typed budget amount: blanks around and a leading
// "+" dropped, "" for no budget. Refused unless it is a plain number of at
// least 0 with at most 12 whole digits and 2 decimals (checked like the
// amounts of entries, so it goes into the statement unquoted and reads back
// unchanged).
db::Result checkBudgetAmount(const std::string &typed, std::string &checked);

// Every budget kept, by category name as the tables compare it (trailing
// blanks ignored). Budgets whose category no longer exists are included.
std::map<std::string, BudgetAmounts> loadBudgets(db::Connection &c);
BudgetAmounts loadBudget(db::Connection &c, const std::string &category);

// One category's budget set to the amounts typed, both checked first; two
// empty amounts remove it. Refused for a name that is no expense category.
// Runs in one transaction (or in the caller's).
db::Result setBudget(db::Connection &c, const std::string &category, const BudgetAmounts &typed);

// One line of the budget plan: a category and its two amounts as typed.
struct PlanLine {
    std::string category;
    BudgetAmounts amounts;
};

// The whole plan in one transaction: every line is checked before anything
// is written; a refusal names the category. Categories the plan leaves out
// keep their budgets.
db::Result savePlan(db::Connection &c, const std::vector<PlanLine> &plan);

// What the settings panel loaded of an expense category: its row and its
// budget.
struct LoadedExpense {
    std::optional<RecurringItem> item;
    BudgetAmounts budget;
};

// What 保存 writes for an expense category in the settings panel. With the
// budget as loaded, the recurring settings are saved as ever. With the
// budget changed, the budget is written together with the recurring
// settings where those differ from the loaded row, in one transaction; so a
// category that is no recurring item gets a budget without being asked for
// a bank. The budget is checked before anything is written.
db::Result saveExpenseSettings(db::Connection &c, const RecurringForm &form, const LoadedExpense &loaded,
                               const BudgetAmounts &budget, const Question &ask);

// Removes the budgets of categories being deleted, inside the caller's
// transaction, so that a category made later under the same name starts
// without one.
void forgetBudgets(db::Connection &c, const std::vector<std::string> &categories);

} // namespace setup

#pragma once

#include "import/bill.h"
#include "import/rules.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace import {

// What becomes of a bill row.
enum class Decision {
    Post,          // becomes an entry
    Skip,          // not posted: moves nothing, failed or closed, or left out by the user
    Duplicate,     // already in the books, or the same row twice in the bill
    NeedsCategory, // no rule and no default gave it a category
    NeedsAccount   // its paying method is no account yet
};

const char *decisionName(Decision decision); // 记帐, 跳过, 重复, 缺类型, 缺帐户

// Where a row's category came from, as the preview shows it.
inline constexpr const char *kFromRule = "规则";
inline constexpr const char *kFromSuggestion = "建议";
inline constexpr const char *kFromDefault = "默认";
inline constexpr const char *kFromRefund = "退款";
inline constexpr const char *kFromUser = "手改";

struct PlanRow {
    BillRow bill;
    std::string key;         // finds the row again in a later bill
    std::string type;        // 付 or 收; a refund is 付 with the amount taken back
    std::string category;
    std::string categorySource;
    std::string account;
    bool accountByUser = false;
    std::string skipReason;  // why it is not posted unless the user takes it in
    bool included = true;    // false when skipped, by its reason or by the user
    std::string duplicateOf; // "编号 N" in the books, or "第 N 行" of the bill
    std::string sameDay;     // entries of the same day and amount already in the books
    Decision decision = Decision::Post;
    std::string note;        // the decision in words: why, what is missing
    long purchase = -1;      // a refund's purchase among the plan's rows, when found

    // The amount an entry is written with: a refund takes money back.
    long long signedCents() const { return bill.refund ? -bill.cents : bill.cents; }
};

// The names of the book a plan is checked against.
struct BookNames {
    std::set<std::string> expense;    // PayStyle
    std::set<std::string> income;     // GetStyle
    std::set<std::string> investment; // expense categories below 投资 (68)
    std::set<std::string> accounts;   // Bank
};
BookNames loadBookNames(db::Connection &c);

struct PlanOptions {
    std::string defaultAccount;         // for methods no account is kept for
    std::string defaultExpenseCategory; // for spending no rule takes
    std::string defaultIncomeCategory;  // for income no rule takes
};

// A bill and what the import would do with each of its rows.
struct Plan {
    Format format = Format::Alipay;
    std::string methodFallback; // the method of rows whose bill names none
    BookNames names;
    std::vector<Rule> rules;
    std::map<std::string, std::string> accountMap;
    PlanOptions options;
    std::vector<PlanRow> rows;
    // Kept when the import is written: rules made in the preview, and the
    // accounts chosen for methods.
    std::vector<Rule> newRules;
    std::map<std::string, std::string> newAccounts;
};

// Decides every row of a bill against the book: what it moves, whether it
// is already there, its account by its paying method, its category by the
// rules, a suggestion or the defaults. Writes nothing.
Plan makePlan(db::Connection &c, const Bill &bill, const PlanOptions &options = {});

// The decision of a row from what it holds now (after an edit).
void decide(const Plan &plan, PlanRow &row);

// Edits of the preview; each decides the row again.
void setCategory(Plan &plan, std::size_t row, const std::string &category);
void setAccount(Plan &plan, std::size_t row, const std::string &account);
void setType(Plan &plan, std::size_t row, const std::string &type);
void setIncluded(Plan &plan, std::size_t row, bool included);
// Keeps an account for a paying method and gives it to every row of that
// method the user has not set by hand.
void mapMethod(Plan &plan, const std::string &method, const std::string &account);
// Keeps a rule and gives its category to every row it takes whose category
// the user has not set by hand.
void addRule(Plan &plan, const Rule &rule);

// The method of a row as the account map knows it.
std::string methodOf(const Plan &plan, const PlanRow &row);

struct PlanTotals {
    int post = 0, skip = 0, duplicate = 0, needsCategory = 0, needsAccount = 0;
    long long spending = 0; // cents, refunds taken off
    long long income = 0;
};
PlanTotals totalsOf(const Plan &plan);

} // namespace import

#pragma once

#include "db/result.h"

#include <string>

namespace db {
class Connection;
}

namespace ledger {

inline constexpr const char *kCashAccount = "现金银行";
inline constexpr const char *kPayRoot = "支出类型";
inline constexpr const char *kGetRoot = "收入类型";
// The root of the bank tree stands for money from outside, not an account.
inline constexpr const char *kBankRoot = "我的存款银行";

inline constexpr const char *kMsgNoCategory = "请嵌入收付类型";
inline constexpr const char *kMsgNoBank = "请嵌入银行";
inline constexpr const char *kMsgPayRoot = "请选择支出类型";
inline constexpr const char *kMsgGetRoot = "请选择收入类型";
inline constexpr const char *kMsgBadNumber = "编号必须是整数";
inline constexpr const char *kMsgBadAmount = "金额必须是数字";
inline constexpr const char *kMsgBadInvested = "原金额必须是数字";
inline constexpr const char *kMsgNumberUsed = "该编号已经使用，请换一个编号";
inline constexpr const char *kMsgAmountTooLarge = "金额的位数太多，最多15位数字（不算开头和小数末尾的0）";
inline constexpr const char *kMsgBankRoot = "请选择一个银行帐户（“我的存款银行”不是帐户）";
inline constexpr const char *kMsgTransferNeedsBank = "存和取是现金与银行帐户之间的转帐，请选择一个银行帐户（不是现金银行）";

// The values of one entry, as texts, the way the entry dialog hands them over.
struct Entry {
    std::string number;      // N, the entry number
    std::string date;        // D, "%Y/%m/%d %H:%M"
    std::string type;        // T: 收, 付, 存, 取
    std::string category;    // C
    std::string amount;      // A
    std::string description; // X
    std::string handler;     // H
    std::string bank;        // B
    std::string invested;    // O, the amount first invested (finishing an investment)
};

// Statement builders; text values are quoted, numbers must be checked first.
std::string journalStatement(const Entry &e);
std::string expenseStatement(const Entry &e);
std::string incomeStatement(const Entry &e);
std::string cashStatement(const Entry &e, bool negative);
std::string bankStatement(const Entry &e, bool negative);
std::string investmentTestQuery(const std::string &category);
std::string investStartStatement(const Entry &e);
std::string investFinishStatement(const Entry &e);

// "select max(财务标识)+1 as num from account "; "1" for an empty journal.
std::string nextEntryNumber(db::Connection &c);

// True when the category lies below the first-level expense category 68.
bool isInvestmentCategory(db::Connection &c, const std::string &category);

bool isWholeNumber(const std::string &text);
// Whether a plain number has more digits than a stored amount keeps (15,
// without leading zeros and the zeros that end its decimals): such an
// amount would be stored and shown as another one.
bool isTooLarge(const std::string &plainNumber);

// The checks made before anything is written.
db::Result checkEntry(const Entry &e);
// The account check that posting and changing share: the root of the bank
// tree is no account, and a deposit or withdrawal moves money between cash
// and a bank account, so its account cannot be cash itself.
db::Result checkAccount(const Entry &e);

// The rows of the income, expense, cash and bank ledgers that the entry's
// type (trimmed) calls for, without the investment rows. Runs inside the
// caller's transaction.
void writeLedgerRows(db::Connection &c, const Entry &e);

// The investment row the entry calls for when its category is an
// investment type: a started investment for an expense, a finished one for
// an income (refused without a plain invested amount). Runs inside the
// caller's transaction.
db::Result writeInvestmentRow(db::Connection &c, const Entry &e);

// How the undo history names an action on an entry: the verb, the number,
// the category and the amount ("新增 #12 午餐 35.50").
std::string actionLabel(const char *verb, const Entry &e);

// Writes the entry's rows in one transaction: all of them, or none.
// Refused with its message when a check fails; throws db::Error when the
// database fails.
db::Result postEntry(db::Connection &c, const Entry &e);

} // namespace ledger

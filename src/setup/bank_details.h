#pragma once

#include "db/dates.h"
#include "db/result.h"

#include <optional>
#include <string>

namespace db {
class Connection;
}

// The details of a bank account (or of the cash account) in its own row of
// Bank, and its opening balance, posted once as an entry of the ledgers.
namespace setup {

inline constexpr const char *kMsgChooseBank = "请选择正确的银行";
inline constexpr const char *kMsgCashUsed = "已经用现金记过帐，故不必再初始化！";
inline constexpr const char *kMsgOpeningNotNumber = "初始金额必须是数字（最多12位整数、4位小数），例如 500 或 1200.5";
inline constexpr const char *kMsgSourceIsAccount = "来自银行不能是这个帐户本身，请另选一个银行或留空";
inline constexpr const char *kMsgDamagedJournal = "总帐中的编号已损坏，无法记帐";

// The items of the account type field.
inline constexpr const char *kAccountTypes[] = {"存折", "信用卡", "借贷", "现金"};

struct BankDetails {
    std::string accountType;
    std::string openBank;
    std::string holder;
    std::string accountNumber;
    std::string openingBalance;
    std::string source; // FromBank
    std::string activeText;
    db::DateTime activeDate; // now where the text does not read as a date
};

// "SELECT *  FROM BANK  where  BankName = '...'"; none when no row comes back.
std::optional<BankDetails> loadBankDetails(db::Connection &c, const std::string &name, const db::DateTime &now);

// What the panel holds when 保存 is pressed.
struct BankForm {
    bool unlocked = false; // 修改 was pressed since the last load
    std::string loaded;    // the account loaded into the panel, "" when none
    std::string selected;  // the node selected in the tree now
    std::string accountType;
    std::string openBank;
    std::string holder;
    std::string accountNumber;
    std::string openingBalance;
    std::string source; // the picked bank
    db::DateTime activeDate;
};

// True when the account already has a movement: any cash movement for the
// cash account, a bank ledger row under its name for any other.
bool accountUsed(db::Connection &c, const std::string &name);

// Saves the details of the loaded account. An account without movements and
// with an opening balance above 0 gets it posted first: a journal row, an
// income row when the money came from outside (no source, or the tree's
// root), the deposit, and the withdrawal from the source account. All of it
// in one transaction. The cash account is refused once it has any movement.
db::Result saveBankDetails(db::Connection &c, const BankForm &form);

} // namespace setup

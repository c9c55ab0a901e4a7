#pragma once

#include "db/result.h"
#include "ledger/posting.h"

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace ledger {

inline constexpr const char *kMsgSelectEntry = "如果有记录，请选择列表的记录，然后进行相应的操作";
inline constexpr const char *kMsgEntryDeleted = "该记录已经删除";
inline constexpr const char *kMsgEntryMissing = "该记录已经不存在，请重新打开列表后再选择";

// "如果删除了该记录，其相关帐目都将删除，确实要删除编号为:N的记录吗? :"
std::string deleteQuestion(const std::string &number);

// "select * from account where 财务标识 =N"
std::string entryQuery(const std::string &number);

// The journal row of an entry, as the entry dialog is preset with it: the
// number, date, type, category, amount, description, handler and account.
// Refused when the number is not whole or no entry has it.
db::Result readEntry(db::Connection &c, const std::string &number, Entry &entry);

// The amount a change writes: "。" read as ".", and "0" for an empty text.
std::string normalizedAmount(const std::string &typed);

// "update account set  日期= ..." for the entry's own number.
std::string updateStatement(const std::string &number, const Entry &e);
// The deletions of an entry's ledger rows, in order, the investment
// ledger's last.
std::vector<std::string> ledgerDeletions(const std::string &number);

// "select nMoney from InvestMoney where AccNum =N and nState='投资完成'":
// the finishing row of an entry, whose minus amount is the amount first
// invested.
std::string finishedInvestmentQuery(const std::string &number);

// Rewrites the journal row of entry `number` and replaces its income,
// expense, cash, bank and investment rows with those the dialog's values
// call for, all under the entry's own number. A finished investment keeps
// the amount first invested unless the dialog gives another. One
// transaction: the entry is changed completely or not at all. Refused with
// its message when a check fails or the entry no longer exists; throws
// db::Error when the database fails.
db::Result changeEntry(db::Connection &c, const std::string &number, const Entry &e);

// Removes the entry from the journal and from every ledger, in one
// transaction.
db::Result deleteEntry(db::Connection &c, const std::string &number);

} // namespace ledger

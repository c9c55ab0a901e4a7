#include "ledger/entry_change.h"

#include "db/connection.h"
#include "db/text.h"

namespace ledger {

using db::quote;

namespace {
const char *const kFullStop = "。";
const char *const kLedgerTables[] = {"PayMoney", "GetMoney", "CashAccount", "BankAccount", "InvestMoney"};
} // namespace

std::string deleteQuestion(const std::string &number)
{
    return "如果删除了该记录，其相关帐目都将删除，确实要删除编号为:" + number + "的记录吗? :";
}

std::string entryQuery(const std::string &number) { return "select * from account where 财务标识 =" + number; }

db::Result readEntry(db::Connection &c, const std::string &number, Entry &entry)
{
    if (!isWholeNumber(number))
        return db::Result::refused(kMsgBadNumber);
    db::Query q = c.query(entryQuery(number));
    if (!q.next())
        return db::Result::refused(kMsgEntryMissing);
    entry = Entry{};
    entry.number = q.field("财务标识");
    entry.date = q.field("日期");
    entry.type = q.field("收负类型");
    entry.category = q.field("帐目类型");
    entry.amount = q.field("钱额");
    entry.description = q.field("说明");
    entry.handler = q.field("经手人");
    entry.bank = q.field("银行");
    return db::Result::ok();
}

std::string normalizedAmount(const std::string &typed)
{
    std::string amount;
    const std::string stop = kFullStop;
    for (std::size_t i = 0; i < typed.size();) {
        if (typed.compare(i, stop.size(), stop) == 0) {
            amount += '.';
            i += stop.size();
        } else {
            amount += typed[i++];
        }
    }
    return amount.empty() ? "0" : amount;
}

std::string updateStatement(const std::string &number, const Entry &e)
{
    return "update account set  日期= '" + quote(e.date) + "',收负类型='" + quote(e.type) + "',帐目类型='" +
           quote(e.category) + "',钱额=" + e.amount + ",说明='" + quote(e.description) + "',经手人='" +
           quote(e.handler) + "',银行='" + quote(e.bank) + "'  where 财务标识=" + number;
}

std::vector<std::string> ledgerDeletions(const std::string &number)
{
    std::vector<std::string> statements;
    for (const char *table : kLedgerTables)
        statements.push_back(std::string("delete from ") + table + " where AccNum =" + number);
    return statements;
}

std::string finishedInvestmentQuery(const std::string &number)
{
    return "select nMoney from InvestMoney where AccNum =" + number + " and nState='投资完成'";
}

db::Result changeEntry(db::Connection &c, const std::string &number, const Entry &e)
{
    if (e.category.empty())
        return db::Result::refused(kMsgNoCategory);
    if (e.bank.empty())
        return db::Result::refused(kMsgNoBank);
    if (db::Result account = checkAccount(e); !account)
        return account;
    Entry changed = e;
    changed.amount = normalizedAmount(e.amount);
    // Both numbers go into the statements unquoted.
    if (!isWholeNumber(number))
        return db::Result::refused(kMsgBadNumber);
    if (!db::isPlainNumber(changed.amount))
        return db::Result::refused(kMsgBadAmount);
    if (isTooLarge(changed.amount))
        return db::Result::refused(kMsgAmountTooLarge);

    Entry labelled = changed;
    labelled.number = number;
    db::Transaction transaction(c, actionLabel("修改", labelled));
    // An entry deleted since the list was loaded changes no row: nothing is
    // written then, the rows below included.
    if (c.execute(updateStatement(number, changed)) == 0)
        return db::Result::refused(kMsgEntryMissing);
    // A finished investment changed without picking its start again keeps
    // what was first invested, read before its row is deleted.
    if (db::trim(e.type) == "收" && db::trim(changed.invested).empty()) {
        const std::string kept = c.scalar(finishedInvestmentQuery(number), "nMoney");
        changed.invested = kept.empty() ? std::string() : db::negatedNumber(kept);
    }
    for (const std::string &deletion : ledgerDeletions(number))
        c.execute(deletion);
    // The rows keep the entry's own number, whatever the dialog showed.
    changed.number = number;
    changed.type = db::trim(e.type);
    writeLedgerRows(c, changed);
    if (db::Result invested = writeInvestmentRow(c, changed); !invested)
        return invested;
    transaction.commit();
    return db::Result::ok();
}

db::Result deleteEntry(db::Connection &c, const std::string &number)
{
    if (!isWholeNumber(number))
        return db::Result::refused(kMsgBadNumber);
    db::Transaction transaction(c, "删除 #" + number);
    // An entry deleted meanwhile (another window, the command line) is not
    // reported as deleted now.
    if (c.execute("delete from account where 财务标识 =" + number) == 0)
        return db::Result::refused(kMsgEntryMissing);
    for (const std::string &deletion : ledgerDeletions(number))
        c.execute(deletion);
    transaction.commit();
    return db::Result::ok();
}

} // namespace ledger

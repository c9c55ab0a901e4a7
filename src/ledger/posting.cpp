#include "ledger/posting.h"

#include "db/connection.h"
#include "db/text.h"

#include <algorithm>

namespace ledger {

using db::quote;

namespace {
// The minus fragment and the amount's own sign make one sign: "-" before
// "-5" would start a comment in the statement.
std::string signedNumber(bool negative, const std::string &amount)
{
    return negative ? db::negatedNumber(amount) : amount;
}
} // namespace

namespace {
const char *const kPlus = " ',";
const char *const kInvestStarted = "投资开始";
const char *const kInvestFinished = "投资完成";
} // namespace

std::string journalStatement(const Entry &e)
{
    return "INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,说明,经手人,银行) \t\t\tVALUES (" + e.number + ", '" +
           quote(e.date) + "', '" + quote(e.type) + " ','" + quote(e.category) + " '," + e.amount + " ,'" +
           quote(e.description) + "','" + quote(e.handler) + "','" + quote(e.bank) + "')";
}

std::string expenseStatement(const Entry &e)
{
    return "INSERT INTO PayMoney (Num,DTime,PayStyle,nMoney,FromBank,Operator,AccNum)  VALUES (" + e.number + ", '" +
           quote(e.date) + "', '" + quote(e.category) + " '," + e.amount + " ,'" + quote(e.bank) + "','" +
           quote(e.handler) + "'," + e.number + ")";
}

std::string incomeStatement(const Entry &e)
{
    return "INSERT INTO GetMoney (Num,DTime,MoneyFrom,nMoney,MoneyTo,Operator,AccNum)  VALUES (" + e.number + ", '" +
           quote(e.date) + "', '" + quote(e.category) + " '," + e.amount + " ,'" + quote(e.bank) + "','" +
           quote(e.handler) + "'," + e.number + ")";
}

std::string cashStatement(const Entry &e, bool negative)
{
    return "INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,Details,Operator,AccNum)  VALUES (" + e.number +
           ", '" + quote(e.date) + "', '" + quote(e.category) + kPlus + signedNumber(negative, e.amount) + " ,'" +
           quote(e.type) + "','" + quote(e.description) + "','" + quote(e.handler) + "'," + e.number + ")";
}

std::string bankStatement(const Entry &e, bool negative)
{
    return "INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,Details,Operator,BankName,AccNum)  VALUES (" +
           e.number + ", '" + quote(e.date) + "', '" + quote(e.type) + " ','" + quote(e.category) +
           kPlus + signedNumber(negative, e.amount) + " ,'" + quote(e.description) + "','" + quote(e.handler) +
           "','" + quote(e.bank) + "'," + e.number + ")";
}

std::string investmentTestQuery(const std::string &category)
{
    return "select FullID as num from PayStyle where Style='" + quote(category) + "'";
}

std::string investStartStatement(const Entry &e)
{
    return "INSERT INTO InvestMoney (DTime,InvestStyle,nMoney,nLastMoney,nGain,InvestBank,Operator,AccNum,nState)  "
           "VALUES ('" +
           quote(e.date) + "', '" + quote(e.category) + " '," + e.amount + " ,0,0,'" + quote(e.bank) + "','" +
           quote(e.handler) + "'," + e.number + ",'" + kInvestStarted + "')";
}

std::string investFinishStatement(const Entry &e)
{
    const long double gain =
        static_cast<long double>(db::leadingNumber(e.amount)) - static_cast<long double>(db::leadingNumber(e.invested));
    return "INSERT INTO InvestMoney (DTime,InvestStyle,nMoney,nLastMoney,nGain,InvestBank,Operator,AccNum,nState)  "
           "VALUES ('" +
           quote(e.date) + "', '" + quote(e.category) + " '," + db::negatedNumber(e.invested) + "," + e.amount + " ," +
           db::money15(gain) + ",'" + quote(e.bank) + "','" + quote(e.handler) + "'," + e.number + ",'" +
           kInvestFinished + "')";
}

std::string nextEntryNumber(db::Connection &c)
{
    const std::string number = c.scalar("select max(财务标识)+1 as num from account ", "num");
    return number.empty() ? "1" : number;
}

bool isInvestmentCategory(db::Connection &c, const std::string &category)
{
    db::Query q = c.query(investmentTestQuery(category));
    std::string kept;
    bool any = false;
    while (q.next()) {
        if (q.isNull("num"))
            continue;
        kept = db::utf8Mid(q.field("num"), 4, 4);
        any = true;
    }
    return any && kept == "0068";
}

bool isWholeNumber(const std::string &text)
{
    if (text.empty() || text.size() > 15)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool isTooLarge(const std::string &plainNumber)
{
    // The engine keeps an amount as a double and shows it with fifteen
    // significant digits: an amount of more digits would be stored and
    // shown as another amount (999999999999999.99 as 1.0e+15).
    constexpr std::size_t kMaxDigits = 15;
    const std::size_t point = std::min(plainNumber.find('.'), plainNumber.size());
    std::string whole = plainNumber.substr(0, point);
    std::string fraction = point < plainNumber.size() ? plainNumber.substr(point + 1) : std::string();
    whole.erase(0, std::min(whole.find_first_not_of("+-0"), whole.size()));
    fraction.erase(std::min(fraction.find_last_not_of('0') + 1, fraction.size()));
    if (whole.empty())
        fraction.erase(0, std::min(fraction.find_first_not_of('0'), fraction.size()));
    return whole.size() + fraction.size() > kMaxDigits;
}

db::Result checkEntry(const Entry &e)
{
    if (e.category.empty())
        return db::Result::refused(kMsgNoCategory);
    if (e.bank.empty())
        return db::Result::refused(kMsgNoBank);
    if (e.category == kPayRoot)
        return db::Result::refused(kMsgPayRoot);
    if (e.category == kGetRoot)
        return db::Result::refused(kMsgGetRoot);
    if (db::Result account = checkAccount(e); !account)
        return account;
    // Numbers go into the statements unquoted: anything but a plain number
    // would break the statement or change its meaning.
    if (!isWholeNumber(e.number))
        return db::Result::refused(kMsgBadNumber);
    if (!db::isPlainNumber(e.amount))
        return db::Result::refused(kMsgBadAmount);
    if (isTooLarge(e.amount))
        return db::Result::refused(kMsgAmountTooLarge);
    return db::Result::ok();
}

db::Result checkAccount(const Entry &e)
{
    const std::string bank = db::trim(e.bank);
    if (bank == kBankRoot)
        return db::Result::refused(kMsgBankRoot);
    const std::string type = db::trim(e.type);
    // With cash as its bank the movement would write a bank row named after
    // the cash account and move nothing.
    if ((type == "存" || type == "取") && bank == kCashAccount)
        return db::Result::refused(kMsgTransferNeedsBank);
    return db::Result::ok();
}

void writeLedgerRows(db::Connection &c, const Entry &e)
{
    const std::string type = db::trim(e.type);
    const bool cash = e.bank == kCashAccount;
    if (type == "付") {
        c.execute(expenseStatement(e));
        c.execute(cash ? cashStatement(e, true) : bankStatement(e, true));
    } else if (type == "收") {
        c.execute(incomeStatement(e));
        c.execute(cash ? cashStatement(e, false) : bankStatement(e, false));
    } else if (type == "存") {
        c.execute(cashStatement(e, true));
        c.execute(bankStatement(e, false));
    } else if (type == "取") {
        c.execute(cashStatement(e, false));
        c.execute(bankStatement(e, true));
    }
}

db::Result writeInvestmentRow(db::Connection &c, const Entry &e)
{
    const std::string type = db::trim(e.type);
    if (type == "付") {
        if (isInvestmentCategory(c, e.category))
            c.execute(investStartStatement(e));
    } else if (type == "收") {
        if (isInvestmentCategory(c, e.category)) {
            // Without the invested amount the finishing row cannot be
            // written; the caller's transaction then takes back the rows
            // written before.
            if (!db::isPlainNumber(e.invested))
                return db::Result::refused(kMsgBadInvested);
            if (isTooLarge(e.invested))
                return db::Result::refused(kMsgAmountTooLarge);
            c.execute(investFinishStatement(e));
        }
    }
    return db::Result::ok();
}

std::string actionLabel(const char *verb, const Entry &e)
{
    const std::string amount = db::isPlainNumber(e.amount) ? db::moneyTrimmed(db::plainNumberValue(e.amount)) : e.amount;
    return std::string(verb) + " #" + e.number + " " + db::trim(e.category) + " " + amount;
}

db::Result postEntry(db::Connection &c, const Entry &e)
{
    if (db::Result check = checkEntry(e); !check)
        return check;
    db::Transaction transaction(c, actionLabel("新增", e));
    // The journal row comes first, so a number already used is refused by
    // the journal's unique key before anything is written; the user reads
    // that in words of the program rather than the engine's.
    try {
        c.execute(journalStatement(e));
    } catch (const db::Error &error) {
        if (error.isUniqueViolation())
            return db::Result::refused(kMsgNumberUsed);
        throw;
    }
    writeLedgerRows(c, e);
    if (db::Result invested = writeInvestmentRow(c, e); !invested)
        return invested;
    transaction.commit();
    return db::Result::ok();
}

} // namespace ledger

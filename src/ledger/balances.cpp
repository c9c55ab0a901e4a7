#include "ledger/balances.h"

#include "db/connection.h"
#include "db/text.h"
#include "ledger/posting.h"
#include "setup/tree_store.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace ledger {

namespace {

const char *const kNotInTree = "（已不在帐户树中）";
const char *const kBankMovements =
    "select BankName,Format(DTime,'yyyymmdd') as d,nMoney from BankAccount where DTime is not null";
const char *const kCashMovements =
    "select Format(DTime,'yyyymmdd') as d,nMoney from CashAccount where DTime is not null";

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

using Movement = std::function<void(std::string_view account, std::string_view day, const db::Money &amount)>;

// Every row of the bank and cash ledgers that has a date: its account, its
// day and its amount.
void forEachMovement(db::Connection &c, const Movement &movement)
{
    db::Query::NumberBuffer name, day, amount;
    db::Query bank = c.query(kBankMovements);
    while (bank.next())
        movement(withoutTrailingBlanks(bank.fieldView(0, name)), bank.fieldView(1, day),
                 db::Money::leading(bank.fieldView(2, amount)));
    db::Query cash = c.query(kCashMovements);
    while (cash.next())
        movement(kCashAccount, cash.fieldView(0, day), db::Money::leading(cash.fieldView(1, amount)));
}

// Appends a node and its branch in tree order; a name met again (the tree
// shows a repeated name without its children) carries no rows the second
// time, so that no money counts twice. Returns the branch's total.
db::Money appendBranch(const setup::TreeNode &node, int depth, std::map<std::string, db::Money, std::less<>> &own,
                       std::vector<AccountBalance> &out)
{
    const std::size_t at = out.size();
    out.push_back({node.name, depth, {}, {}, true});
    if (depth > 0) {
        if (auto it = own.find(withoutTrailingBlanks(node.name)); it != own.end()) {
            out[at].own = it->second;
            own.erase(it);
        }
    }
    db::Money total = out[at].own;
    for (const setup::TreeNode &child : node.children)
        total += appendBranch(child, depth + 1, own, out);
    out[at].total = total;
    return total;
}

} // namespace

std::string balanceLabel(const AccountBalance &balance)
{
    return balance.inTree ? balance.name : balance.name + kNotInTree;
}

std::vector<AccountBalance> accountBalances(db::Connection &c, const std::string &day)
{
    std::map<std::string, db::Money, std::less<>> own;
    forEachMovement(c, [&](std::string_view account, std::string_view d, const db::Money &amount) {
        if (d > day)
            return;
        auto it = own.find(account);
        if (it == own.end())
            it = own.emplace(std::string(account), db::Money()).first;
        it->second += amount;
    });
    const setup::TreeNode tree = setup::loadTree(c, setup::TreeKind::Bank);
    std::vector<AccountBalance> out;
    db::Money total = appendBranch(tree, 0, own, out);
    for (const auto &[name, amount] : own) {
        out.push_back({name, 1, amount, amount, false});
        total += amount;
    }
    out[0].total = total;
    return out;
}

std::vector<db::Money> totalsAtDayEnds(db::Connection &c, const std::vector<std::string> &days)
{
    std::vector<std::string> sorted = days;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // The money of each row goes to the first day at whose end it counts;
    // adding up those days in order gives the totals.
    std::vector<db::Money> fromDay(sorted.size());
    forEachMovement(c, [&](std::string_view, std::string_view d, const db::Money &amount) {
        const auto it = std::lower_bound(sorted.begin(), sorted.end(), d);
        if (it != sorted.end())
            fromDay[static_cast<std::size_t>(it - sorted.begin())] += amount;
    });
    for (std::size_t i = 1; i < fromDay.size(); ++i)
        fromDay[i] += fromDay[i - 1];
    std::vector<db::Money> totals;
    totals.reserve(days.size());
    for (const std::string &d : days)
        totals.push_back(fromDay[static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), d) - sorted.begin())]);
    return totals;
}

db::Money TotalWatch::totalAt(db::Connection &c, const std::string &day)
{
    // The engine counts the rows this connection changed, and the changes
    // of the file that it has seen from any connection; neither runs a
    // statement.
    const long long changes = c.totalChanges();
    const unsigned version = c.dataVersion();
    if (m_known && m_handle == c.handle() && m_changes == changes && m_version == version && m_day == day)
        return m_total;
    m_total = totalsAtDayEnds(c, {day}).front();
    m_known = true;
    m_handle = c.handle();
    m_changes = changes;
    m_version = version;
    m_day = day;
    return m_total;
}

LedgerTable accountRows(db::Connection &c, const std::string &account, const std::string &day)
{
    const bool cash = db::trim(account) == kCashAccount;
    const std::string bound = "Format(DTime,'yyyymmdd') <= '" + db::quote(day) + "'";
    const std::string sql =
        cash ? "select Num,DTime,nMoney,PayGet,NStyle from CashAccount where " + bound + " order by DTime desc"
             : "select BankName,DTime,NStyle,nMoney,PayGet from BankAccount where BankName = '" +
                   db::quote(db::trim(account)) + "' and " + bound + " order by DTime desc";
    return loadRows(c, cash ? 4 : 3, sql);
}

} // namespace ledger

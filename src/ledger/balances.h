#pragma once

#include "db/money.h"
#include "ledger/ledger_load.h"

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace ledger {

// One line of the balances: an account of the bank tree (or its root, or
// a name that rows are booked under but the tree no longer holds).
struct AccountBalance {
    std::string name;
    int depth = 0;       // 0 the root, 1 an account directly under it
    db::Money own;       // the account's own rows
    db::Money total;     // its own rows and those of every account below it
    bool inTree = true;  // false: booked under a name the tree lacks
};

// The name a line shows: a name the tree lacks says so.
std::string balanceLabel(const AccountBalance &balance);

// The balances at the end of a day ("YYYYMMDD") of every account of the
// bank tree, cash included: the sum of its rows in the bank ledger (and for
// cash the cash ledger) dated up to that day, opening balances included,
// rolled up along the tree. The root comes first and carries the total of
// all accounts; then the accounts depth first in tree order; then, at
// depth 1, every name with rows up to the day that the tree does not hold,
// so that the total is all the money of the two ledgers.
std::vector<AccountBalance> accountBalances(db::Connection &c, const std::string &day);

// The total of all accounts at the end of each of the days ("YYYYMMDD", in
// any order), read in one pass over the two ledgers: month-end totals for
// a year cost no more than one balance.
std::vector<db::Money> totalsAtDayEnds(db::Connection &c, const std::vector<std::string> &days);

// The total of all accounts at the end of a day, read again only when the
// books may have changed since the last reading (a write on this
// connection, another day, or a write of another connection that this one
// has seen by reading the books since): a window that shows it after every
// load does not scan the ledgers each time.
class TotalWatch {
public:
    db::Money totalAt(db::Connection &c, const std::string &day);
    // Forgets the last reading (the books were replaced).
    void forget() { m_known = false; }

private:
    bool m_known = false;
    const void *m_handle = nullptr;
    long long m_changes = 0;
    unsigned m_version = 0;
    std::string m_day;
    db::Money m_total;
};

// An account's rows up to the end of a day as its ledger lists them (the
// cash ledger for cash, the bank ledger for any other account), newest
// first, with the ledger's summary row, whose balance is the account's own.
LedgerTable accountRows(db::Connection &c, const std::string &account, const std::string &day);

} // namespace ledger

#pragma once

#include "stats/ledger_groups.h"
#include "stats/statements.h"

#include <memory>

namespace db {
class Connection;
}

namespace stats {

class Progress;

// The columns of a ledger as the statistics read it ("NULL" where it has
// none).
struct LedgerColumns {
    const char *table;
    const char *date;
    const char *direction;
    const char *label;
    const char *amount;
    const char *number;
};

inline constexpr LedgerColumns kJournalLedger{"account", "日期", "收负类型", "帐目类型", "钱额", "财务标识"};
inline constexpr LedgerColumns kBankLedger{"BankAccount", "DTime", "PayGet", "BankName", "nMoney", "Num"};
// The cash statistic counts rows, never numbers: its index holds no Num.
inline constexpr LedgerColumns kCashLedger{"CashAccount", "DTime", "PayGet", "NULL", "nMoney", "NULL"};

// A ledger's rows of a range summed by direction and label, or by day,
// direction and label. Over the whole range, when the range takes in most
// of the ledger's years, one grouped statement sums the rows in the order of
// the direction index; otherwise the rows of the range are read through the
// date index and summed here. Either way the figures and the texts are
// those of the statements.
std::unique_ptr<LedgerGroups> readLedger(db::Connection &connection, const Range &range,
                                         const LedgerColumns &columns, bool byDay, Progress *progress);

} // namespace stats

#pragma once

#include "db/money.h"
#include "stats/statements.h"

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace stats {

// The months a range touches, "YYYYMM", oldest first; none for a range
// whose bounds are not dates or whose begin is after its end.
std::vector<std::string> monthsOf(const Range &range);

// The day each month of a range ends within it ("YYYYMMDD"): the month's
// last day, or the range's end in its last month.
std::vector<std::string> monthEndsOf(const Range &range);

// "YYYY-MM" of a "YYYYMM".
std::string monthLabel(const std::string &month);

// The income and spending of one month: the general journal's 收 and 付
// entries, as the income and expense statistics count them.
struct MonthFlow {
    std::string month; // "YYYYMM"
    double income = 0;
    double spending = 0;
    double difference() const { return income - spending; }
};

// Every month of the range, months without entries included, from one
// grouped read of the journal.
std::vector<MonthFlow> monthlyFlows(db::Connection &connection, const Range &range);

// The total of all accounts, cash and banks, at the end of a month.
struct MonthEndTotal {
    std::string day; // "YYYYMMDD", the month's end within the range
    db::Money total;
    double value() const { return double(total.units()) / db::Money::kUnitsPerYuan; }
};

// The totals at every month's end of the range (monthEndsOf), from one read
// of the two ledgers.
std::vector<MonthEndTotal> monthEndTotals(db::Connection &connection, const Range &range);

namespace sql {
std::string monthlyFlows(const Range &range);
}

} // namespace stats

#pragma once

#include "db/dates.h"
#include "db/result.h"
#include "stats/stat_row.h"
#include "stats/statements.h"

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace stats {

inline constexpr const char *kBudgetHead = "合计";
inline constexpr const char *kBudgetProgress = "时间进度";
inline constexpr const char *kBudgetSheet = "CREATE TABLE BudgetSum (类别 TEXT,预算 TEXT,已支出 TEXT,剩余 TEXT,已用 TEXT)";

// The month or the year a budget is read for.
struct BudgetPeriod {
    int year = 0;
    int month = 0; // 1 to 12, or 0 for the whole year

    static BudgetPeriod monthOf(const db::DateTime &day) { return {day.year, day.month}; }
    static BudgetPeriod yearOf(const db::DateTime &day) { return {day.year, 0}; }

    bool isYear() const { return month == 0; }
    Range range() const;
    // "2026年3月", "2026年".
    std::string caption() const;
    int days() const;
    // The days of the period up to and including today: none before it,
    // all after it.
    int daysGone(const db::DateTime &today) const;
    // The month or year `by` steps later (earlier when negative).
    BudgetPeriod step(int by) const;

    bool operator==(const BudgetPeriod &) const = default;
};

// The columns of the budget statistic: category, budget, spent, left and
// the share of the budget spent.
const std::vector<Column> &budgetColumns();

// How the budgets of a month or a year are going. Each expense category
// with a budget for the period gives a row: its budget, what its whole
// branch spent (a category without a budget counts toward its nearest
// budgeted ancestor), what is left and the share spent. A budgeted
// category inside a budgeted one stands below it, and only the outermost
// ones add up in the head row "合计", which comes first; the row
// "时间进度" comes last: the period's days, the days gone, the days left
// and the share gone. A month counts the monthly amounts; a year counts
// twelve monthly amounts and the yearly one, so a bill that comes once a
// year is planned for, and read against, the year. Sums are exact.
class BudgetStatistic {
public:
    BudgetStatistic(db::Connection &connection, BudgetPeriod period, db::DateTime today, RowSink &sink,
                    Output output = Output::List);
    void run();

private:
    db::Connection &m_connection;
    BudgetPeriod m_period;
    db::DateTime m_today;
    RowSink &m_sink;
    Output m_output;
};

// A category or head row whose spending is above its budget (left < 0).
bool isOverBudget(const Row &row);

// The rows of the budget statistic in the sheet BudgetSum of a new workbook
// at path; done or refused as exportStatistic is.
db::Result exportBudget(db::Connection &ledger, const BudgetPeriod &period, const db::DateTime &today,
                        const std::string &path);

} // namespace stats

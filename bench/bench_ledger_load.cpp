// Times loading a general journal range of 20,000 rows into the list model,
// and the same range out of a journal ten times that size.
#include "bench_util.h"
#include "support/temp_database.h"
#include "db/dates.h"
#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"

#include <chrono>
#include <cstdio>

namespace {

// Writes count journal rows spread evenly over the year 2026 (or the years
// before it for the rows past the first 20,000).
void generateJournal(db::Connection &c, int count)
{
    db::Transaction transaction(c);
    const auto first = std::chrono::sys_days(std::chrono::year(2026) / 1 / 1);
    for (int i = 0; i < count; ++i) {
        const int dayOffset = i < 20000 ? i % 365 : -1 - (i % 3650);
        const db::DateTime when = db::DateTime::fromDays(first + std::chrono::days(dayOffset), 8 + i % 12, i % 60);
        c.execute("INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,说明,经手人,银行) VALUES (" +
                  std::to_string(i + 1) + ", '" + db::formatDateTime(when) + "', '付 ','午餐 '," +
                  std::to_string(10 + i % 50) + ".5 ,'','管理员','现金银行')");
    }
    transaction.commit();
}

double timeLoad(db::Connection &c, int &rows)
{
    LedgerModel model;
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const double t = bench::seconds([&] {
            model.setLedger(0, ledger::loadLedger(c, 0, "20260101", "20261231"));
            rows = model.rowCount();
        });
        best = std::min(best, t);
    }
    return best;
}

} // namespace

int main()
{
    int rows = 0;
    {
        testing_support::TempDatabase s;
        generateJournal(s.connection(), 20000);
        const double t = timeLoad(s.connection(), rows);
        std::printf("ledger load: %d rows (with summary) from a 20,000-row journal in %.1f ms\n", rows, t * 1000);
    }
    {
        testing_support::TempDatabase s;
        generateJournal(s.connection(), 200000);
        const double t = timeLoad(s.connection(), rows);
        std::printf("ledger load: %d rows (with summary) from a 200,000-row journal in %.1f ms\n", rows, t * 1000);
    }
    return 0;
}

// Times the start-up posting of a daily item begun ten years ago and never
// posted, plus a daily income into a bank account: thousands of occurrences.
#include "app/recurring.h"
#include "bench_util.h"
#include "support/temp_database.h"

int main(int argc, char **argv)
{
    if (bench::helpAsked(argc, argv,
                         "usage: bench_recurring\nTimes the start-up posting of ten years of daily items.\n"))
        return 0;
    testing_support::TempDatabase s;
    s.connection().execute("UPDATE PayStyle SET IsAuto=TRUE, PMoney=12.5, DayNum=1, SelectType='天', "
                         "BeginDate='2016/12/07 ', EndDate='2030/01/01 ', MidDate=' ', BankName='现金银行' "
                         "WHERE Style='早餐'");
    s.connection().execute("UPDATE GetStyle SET IsAuto=TRUE, GMoney=300, DayNum=1, SelectType='天', "
                         "BeginDate='2016/12/07 ', EndDate='2030/01/01 ', MidDate=' ', BankName='工商银行' "
                         "WHERE Style='工资'");
    app::RecurringRun run;
    const double elapsed = bench::seconds([&] { run = app::postAllRecurring(s.connection(), db::DateTime{2026, 12, 7, 9, 0, 0}); });
    std::printf("recurring: %d occurrences posted in %.3f s (%zu failures)\n", run.posted, elapsed, run.failures.size());
    return run.failures.empty() ? 0 : 1;
}

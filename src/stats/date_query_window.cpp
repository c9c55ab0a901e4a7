#include "stats/date_query_window.h"

#include "stats/day_statistic.h"
#include "stats/export.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"

using namespace stats::cmd;

CDateQueryWindow::CDateQueryWindow(db::Connection &connection, Clock clock, QWidget *parent)
    : CQueryWindow(connection, std::move(clock), QStringLiteral("日期查询"), parent)
{
    createBars({{ID_INCOME, "收入", 0, code(Kind::Income)},
                {ID_EXPENSE, "支出", 1, code(Kind::Expense)},
                {ID_DEPOSIT, "存钱", 0, code(Kind::Deposit)},
                {ID_WITHDRAWAL, "取钱", 1, code(Kind::Withdrawal)},
                {ID_SUMMARY, "汇总", 2, code(Kind::All)},
                {ID_QUERY_SETTINGS, "查询设置", 3, 0},
                {ID_DATE_PRINT_PREVIEW, "打印预览", 4, 0},
                {ID_EXPORT, "导出", 4, 0},
                {ID_EXIT, "退出", 5, 0}},
               ID_WITHDRAWAL);
    setRange(today(), today());
    chooseStatistic(code(Kind::All));
}

const char *CDateQueryWindow::typeFilter(Kind kind)
{
    switch (kind) {
    case Kind::Income:
        return "收";
    case Kind::Expense:
        return "付";
    case Kind::Deposit:
        return "存";
    case Kind::Withdrawal:
        return "取";
    case Kind::All:
        break;
    }
    return stats::kAllTypes;
}

stats::Outcome CDateQueryWindow::runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress)
{
    return stats::runDayStatistic(connection(), range(), typeFilter(static_cast<Kind>(kind)), sink,
                                  {stats::Computation::Fast, &progress});
}

db::Result CDateQueryWindow::exportTo(const std::string &path)
{
    return stats::exportDayStatistic(connection(), range(), typeFilter(static_cast<Kind>(kind())), path);
}

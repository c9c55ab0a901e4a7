#include "stats/date_query_window.h"

#include "stats/day_statistic.h"
#include "stats/export.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"

using namespace stats::cmd;

CDateQueryWindow::CDateQueryWindow(db::Connection &connection, Clock clock, QWidget *parent)
    : CQueryWindow(connection, std::move(clock), QStringLiteral("日期查询"), parent)
{
    createBars({{ID_INCOME, "收入", 0, 2},
                {ID_EXPENSE, "支出", 1, 3},
                {ID_DEPOSIT, "存钱", 0, 4},
                {ID_WITHDRAWAL, "取钱", 1, 5},
                {ID_SUMMARY, "汇总", 2, 1},
                {ID_QUERY_SETTINGS, "查询设置", 3, 0},
                {ID_DATE_PRINT_PREVIEW, "打印预览", 4, 0},
                {ID_EXPORT, "导出", 4, 0},
                {ID_EXIT, "退出", 5, 0}},
               ID_WITHDRAWAL);
    setRange(today(), today());
    chooseStatistic(1);
}

const char *CDateQueryWindow::typeFilter(int kind)
{
    static const char *const filters[] = {stats::kAllTypes, "收", "付", "存", "取"};
    return kind >= 1 && kind <= 5 ? filters[kind - 1] : stats::kAllTypes;
}

void CDateQueryWindow::runStatistic(int kind, stats::RowSink &sink)
{
    stats::runDayStatistic(connection(), range(), typeFilter(kind), sink);
}

db::Result CDateQueryWindow::exportTo(const std::string &path)
{
    return stats::exportDayStatistic(connection(), range(), typeFilter(kind()), path);
}

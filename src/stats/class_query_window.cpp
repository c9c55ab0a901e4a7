#include "stats/class_query_window.h"

#include "stats/export.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "stats/statistics.h"

using namespace stats::cmd;

CClassQueryWindow::CClassQueryWindow(db::Connection &connection, Clock clock, QWidget *parent)
    : CQueryWindow(connection, std::move(clock), QStringLiteral("分类查询"), parent)
{
    using stats::Kind;
    createBars({{ID_JOURNAL, "流水帐", 0, code(Kind::Journal)},
                {ID_BANK, "银行", 0, code(Kind::Bank)},
                {ID_CASH, "现金", 0, code(Kind::Cash)},
                {ID_INCOME, "收入", 0, code(Kind::Income)},
                {ID_EXPENSE, "支出", 1, code(Kind::Expense)},
                {ID_SUMMARY, "汇总", 2, code(Kind::Summary)},
                {ID_QUERY_SETTINGS, "查询设置", 3, 0},
                {ID_EXPORT, "导出", 4, 0},
                {ID_CLASS_PRINT_PREVIEW, "打印预览", 4, 0},
                {ID_EXIT, "退出", 5, 0}},
               ID_EXPENSE);
    setRange(today(), today());
    chooseStatistic(code(Kind::Summary));
}

stats::Outcome CClassQueryWindow::runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress)
{
    return stats::runStatistic(connection(), static_cast<stats::Kind>(kind), range(), sink,
                               {stats::Computation::Fast, &progress});
}

db::Result CClassQueryWindow::exportTo(const std::string &path)
{
    return stats::exportStatistic(connection(), static_cast<stats::Kind>(kind()), range(), path);
}

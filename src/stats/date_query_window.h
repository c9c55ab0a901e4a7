#pragma once

#include "stats/query_window.h"

// "日期查询": the journal day by day over a range, all entries or one
// direction of them, today's when it opens.
class CDateQueryWindow : public CQueryWindow {
    Q_OBJECT
public:
    CDateQueryWindow(db::Connection &connection, Clock clock, QWidget *parent = nullptr);

    // The statistics of the toolbar: every entry day by day, or the entries
    // of one type.
    enum class Kind { All = 1, Income = 2, Expense = 3, Deposit = 4, Withdrawal = 5 };

    // The type filter of a statistic: "all", 收, 付, 存 or 取.
    static const char *typeFilter(Kind kind);

protected:
    stats::Outcome runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress) override;
    db::Result exportTo(const std::string &path) override;
};

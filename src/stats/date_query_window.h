#pragma once

#include "stats/query_window.h"

// "日期查询": the journal day by day over a range, all entries or one
// direction of them, today's when it opens.
class CDateQueryWindow : public CQueryWindow {
    Q_OBJECT
public:
    CDateQueryWindow(db::Connection &connection, Clock clock, QWidget *parent = nullptr);

    // The type filter of a statistic kind: "all", 收, 付, 存 or 取.
    static const char *typeFilter(int kind);

protected:
    void runStatistic(int kind, stats::RowSink &sink) override;
    db::Result exportTo(const std::string &path) override;
};

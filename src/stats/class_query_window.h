#pragma once

#include "stats/query_window.h"

// "分类查询": the summary, journal, bank, cash, income and expense
// statistics over a range, today's summary when it opens.
class CClassQueryWindow : public CQueryWindow {
    Q_OBJECT
public:
    CClassQueryWindow(db::Connection &connection, Clock clock, QWidget *parent = nullptr);

protected:
    stats::Outcome runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress) override;
    db::Result exportTo(const std::string &path) override;
};

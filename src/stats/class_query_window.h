#pragma once

#include "stats/query_window.h"

class CChartPane;
class QSplitter;

// "分类查询": the summary, journal, bank, cash, income and expense
// statistics over a range, today's summary when it opens. Beside the list,
// the chart pane (shown or hidden by 图表, the splitter where it was left)
// draws the statistic; the printed report then opens with the chart.
class CClassQueryWindow : public CQueryWindow {
    Q_OBJECT
public:
    CClassQueryWindow(db::Connection &connection, Clock clock, QWidget *parent = nullptr);

    CChartPane *chartPane() const { return m_charts; }
    QSplitter *splitter() const { return m_splitter; }
    bool chartsShown() const;
    void showCharts(bool shown);

protected:
    stats::Outcome runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress) override;
    db::Result exportTo(const std::string &path) override;
    void previewReport(stats::StatReportKind kind) override;

private:
    void rememberPane() const;

    QSplitter *m_splitter = nullptr;
    CChartPane *m_charts = nullptr;
};

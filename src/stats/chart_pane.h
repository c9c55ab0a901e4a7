#pragma once

#include "stats/chart_sink.h"
#include "stats/month_figures.h"
#include "stats/statements.h"

#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}
class QAction;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPainter;
class QToolBar;

// The chart pane beside the statistics list of the class query window: the
// share of each category as a ring (a click on a slice shows its children,
// 返回 goes back up), the income and spending of each month, and the total
// of all accounts at each month's end. The figures come from the core: the
// shares from the rows of the statistic (the pane's sink runs beside the
// list), the months from the books over the statistic's range.
class CChartPane : public QWidget {
    Q_OBJECT
public:
    enum class Chart { Share, Flows, Balances };
    enum class Command { Back, Save, Copy };

    explicit CChartPane(db::Connection &connection, QWidget *parent = nullptr);
    ~CChartPane() override;

    // Where the statistic sends its rows for the share chart.
    stats::ChartSink &sink() { return m_sink; }
    // A statistic over the range is about to run: forgets the last one's
    // figures and goes back to the first level.
    void statisticStarting(const stats::Range &range);
    // The statistic has run: shows its charts afresh, the share chart of the
    // section given when the statistic has it.
    void statisticDone(stats::Section preferred);

    Chart chartShown() const { return m_chart; }
    void showChart(Chart chart);
    stats::Section section() const { return m_section; }
    void showSection(stats::Section section);
    // The categories drilled into, from the first level down.
    const std::vector<std::string> &path() const { return m_path; }
    // Shows the children of slice `index` of the share chart; false when the
    // slice has none.
    bool drillInto(int index);
    void back();

    QChart *chart() const;
    QChartView *view() const { return m_view; }
    QAction *action(Command command) const { return m_actions.at(command); }
    // Writes the chart showing, at the size the pane shows it (at least a
    // readable size), as PNG or SVG by the name's ending.
    bool saveTo(const QString &fileName) const;
    void saveWithDialog();
    void copyToClipboard() const;
    // Draws the chart showing into a box of a painter (a report's page).
    void drawOn(QPainter &painter, const QRectF &box) const;
    // The size the chart is laid out at when it leaves the pane.
    QSize outputSize() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void redraw();
    QChart *buildChart();
    const std::vector<stats::MonthFlow> &flows();
    const std::vector<stats::MonthEndTotal> &balances();

    db::Connection &m_connection;
    stats::ChartSink m_sink;
    stats::Range m_range;
    Chart m_chart = Chart::Share;
    stats::Section m_section = stats::Section::Expense;
    std::vector<std::string> m_path;
    stats::Pie m_pie;
    bool m_stale = false;
    std::optional<std::vector<stats::MonthFlow>> m_flows;
    std::optional<std::vector<stats::MonthEndTotal>> m_balances;
    QToolBar *m_toolBar = nullptr;
    QComboBox *m_chartChoice = nullptr;
    QComboBox *m_sectionChoice = nullptr;
    QAction *m_sectionAction = nullptr;
    QChartView *m_view = nullptr;
    std::map<Command, QAction *> m_actions;
};

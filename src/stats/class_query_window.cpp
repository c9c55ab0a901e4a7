#include "stats/class_query_window.h"

#include "app/settings_store.h"
#include "stats/chart_pane.h"
#include "stats/export.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "stats/statistics.h"

#include <QAction>
#include <QSplitter>

using namespace stats::cmd;

namespace {

// Hands every row of the walk to the list and to the chart pane's sink.
class ListAndChart : public stats::RowSink {
public:
    ListAndChart(stats::RowSink &list, stats::RowSink &chart) : m_list(list), m_chart(chart) {}
    void createColumns(const std::vector<stats::Column> &columns) override { m_list.createColumns(columns); }
    void addRow(const stats::Row &row) override
    {
        m_chart.addRow(row);
        m_list.addRow(row);
    }

private:
    stats::RowSink &m_list;
    stats::RowSink &m_chart;
};

// The chart pane takes this share of the width when first shown.
constexpr int kListShare = 45;
constexpr int kChartShare = 55;

} // namespace

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
                {ID_CHARTS, "图表", 6, 0},
                {ID_QUERY_SETTINGS, "查询设置", 3, 0},
                {ID_EXPORT, "导出", 4, 0},
                {ID_CLASS_PRINT_PREVIEW, "打印预览", 4, 0},
                {ID_EXIT, "退出", 5, 0}},
               ID_EXPENSE);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("chartSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(statList());
    m_charts = new CChartPane(connection, m_splitter);
    m_splitter->addWidget(m_charts);
    m_splitter->setStretchFactor(0, kListShare);
    m_splitter->setStretchFactor(1, kChartShare);
    const app::ChartPaneState state = app::readChartPane();
    if (state.splitter.isEmpty() || !m_splitter->restoreState(state.splitter))
        m_splitter->setSizes({kListShare * width() / 100, kChartShare * width() / 100});
    m_charts->setVisible(state.shown);
    setListArea(m_splitter);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { rememberPane(); });

    QAction *charts = action(ID_CHARTS);
    charts->setCheckable(true);
    charts->setChecked(state.shown);
    charts->setToolTip(QStringLiteral("显示或隐藏图表"));
    connect(charts, &QAction::toggled, this, [this](bool on) {
        showCharts(on);
        rememberPane();
    });

    setRange(today(), today());
    chooseStatistic(code(Kind::Summary));
}

bool CClassQueryWindow::chartsShown() const { return !m_charts->isHidden(); }

void CClassQueryWindow::showCharts(bool shown)
{
    m_charts->setVisible(shown);
    if (action(ID_CHARTS)->isChecked() != shown)
        action(ID_CHARTS)->setChecked(shown);
}

void CClassQueryWindow::rememberPane() const { app::writeChartPane({chartsShown(), m_splitter->saveState()}); }

stats::Outcome CClassQueryWindow::runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress)
{
    const auto statistic = static_cast<stats::Kind>(kind);
    m_charts->statisticStarting(range());
    ListAndChart both(sink, m_charts->sink());
    struct Done {
        CChartPane *pane;
        stats::Section section;
        ~Done() { pane->statisticDone(section); }
    } done{m_charts, statistic == stats::Kind::Income ? stats::Section::Income : stats::Section::Expense};
    return stats::runStatistic(connection(), statistic, range(), both, {stats::Computation::Fast, &progress});
}

db::Result CClassQueryWindow::exportTo(const std::string &path)
{
    return stats::exportStatistic(connection(), static_cast<stats::Kind>(kind()), range(), path);
}

void CClassQueryWindow::previewReport(stats::StatReportKind kind)
{
    if (!chartsShown()) {
        CQueryWindow::previewReport(kind);
        return;
    }
    stats::previewStatistics(kind, *statList(), reportDate(), this,
                             [pane = m_charts](QPainter &painter, const QRectF &box) { pane->drawOn(painter, box); });
}

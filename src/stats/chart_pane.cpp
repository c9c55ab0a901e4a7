#include "stats/chart_pane.h"

#include "stats/chart_drawing.h"
#include "ui/carry_out.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace {

struct ChartItem {
    CChartPane::Chart chart;
    const char *text;
};
const ChartItem kCharts[] = {{CChartPane::Chart::Share, "分类占比"},
                             {CChartPane::Chart::Flows, "每月收支"},
                             {CChartPane::Chart::Balances, "月末余额"}};

struct SectionItem {
    stats::Section section;
    const char *text;
};
const SectionItem kSections[] = {{stats::Section::Expense, "支出"}, {stats::Section::Income, "收入"}};

struct CommandItem {
    CChartPane::Command command;
    const char *text;
    const char *tip;
};
const CommandItem kCommands[] = {
    {CChartPane::Command::Back, "返回", "回到上一级分类"},
    {CChartPane::Command::Save, "保存图片", "把图表存为 PNG 或 SVG 文件"},
    {CChartPane::Command::Copy, "复制", "把图表复制到剪贴板"},
};

const char *const kSaveTitle = "保存图表";
const char *const kSaveFilters = "PNG 图片 (*.png);;SVG 图形 (*.svg)";
const char *const kSaveFailed = "图表没有存好，请检查文件夹能否写入。";
const char *const kNoShares = "选择“支出”、“收入”或“汇总”统计后显示分类占比";
const char *const kNoEntries = "这段时间没有记帐";
const char *const kReadFailed = "读不出数据：";

// A chart leaving the pane is never smaller than this.
constexpr int kMinOutputWidth = 800;
constexpr int kMinOutputHeight = 500;
// The width a chart is laid out at for a printed page.
constexpr int kPrintedLayoutWidth = 640;

} // namespace

CChartPane::CChartPane(db::Connection &connection, QWidget *parent) : QWidget(parent), m_connection(connection)
{
    setObjectName(QStringLiteral("chartPane"));
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_chartChoice = new QComboBox(m_toolBar);
    for (const ChartItem &item : kCharts)
        m_chartChoice->addItem(QString::fromUtf8(item.text), static_cast<int>(item.chart));
    m_toolBar->addWidget(m_chartChoice);
    m_sectionChoice = new QComboBox(m_toolBar);
    for (const SectionItem &item : kSections)
        m_sectionChoice->addItem(QString::fromUtf8(item.text), static_cast<int>(item.section));
    m_sectionAction = m_toolBar->addWidget(m_sectionChoice);
    for (const CommandItem &item : kCommands) {
        QAction *action = m_toolBar->addAction(QString::fromUtf8(item.text));
        action->setToolTip(QString::fromUtf8(item.tip));
        m_actions[item.command] = action;
    }
    connect(m_actions[Command::Back], &QAction::triggered, this, &CChartPane::back);
    connect(m_actions[Command::Save], &QAction::triggered, this, &CChartPane::saveWithDialog);
    connect(m_actions[Command::Copy], &QAction::triggered, this, &CChartPane::copyToClipboard);
    connect(m_chartChoice, &QComboBox::activated, this,
            [this](int index) { showChart(static_cast<Chart>(m_chartChoice->itemData(index).toInt())); });
    connect(m_sectionChoice, &QComboBox::activated, this, [this](int index) {
        showSection(static_cast<stats::Section>(m_sectionChoice->itemData(index).toInt()));
    });

    m_view = new QChartView(this);
    m_view->setRenderHint(QPainter::Antialiasing);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_view, 1);
    redraw();
}

CChartPane::~CChartPane() = default;

QChart *CChartPane::chart() const { return m_view->chart(); }

void CChartPane::statisticStarting(const stats::Range &range)
{
    m_sink.clear();
    m_range = range;
    m_path.clear();
    m_flows.reset();
    m_balances.reset();
}

void CChartPane::statisticDone(stats::Section preferred)
{
    if (m_sink.has(preferred))
        m_section = preferred;
    else if (!m_sink.has(m_section) && m_sink.has(stats::Section::Income))
        m_section = stats::Section::Income;
    // A hidden pane draws when it is shown.
    m_stale = isHidden();
    if (!m_stale)
        redraw();
}

void CChartPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (std::exchange(m_stale, false))
        redraw();
}

void CChartPane::showChart(Chart chart)
{
    m_chart = chart;
    redraw();
}

void CChartPane::showSection(stats::Section section)
{
    m_section = section;
    m_path.clear();
    redraw();
}

bool CChartPane::drillInto(int index)
{
    if (m_chart != Chart::Share || index < 0 || index >= static_cast<int>(m_pie.slices.size()) ||
        !m_pie.slices[index].drillable)
        return false;
    m_path.push_back(m_pie.slices[index].label);
    redraw();
    return true;
}

void CChartPane::back()
{
    if (m_path.empty())
        return;
    m_path.pop_back();
    redraw();
}

const std::vector<stats::MonthFlow> &CChartPane::flows()
{
    if (!m_flows)
        m_flows = stats::monthlyFlows(m_connection, m_range);
    return *m_flows;
}

const std::vector<stats::MonthEndTotal> &CChartPane::balances()
{
    if (!m_balances)
        m_balances = stats::monthEndTotals(m_connection, m_range);
    return *m_balances;
}

QChart *CChartPane::buildChart()
{
    const QString title = m_chartChoice->itemText(m_chartChoice->findData(static_cast<int>(m_chart)));
    switch (m_chart) {
    case Chart::Share:
        m_pie = m_sink.pie(m_section, m_path);
        if (!m_sink.has(m_section))
            return stats::makeEmptyChart(title, QString::fromUtf8(kNoShares));
        if (m_pie.slices.empty())
            return stats::makeEmptyChart(QString::fromStdString(m_pie.title), QString::fromUtf8(kNoEntries));
        return stats::makePieChart(m_pie);
    case Chart::Flows:
    case Chart::Balances:
        break;
    }
    // The months' figures are read from the books.
    QChart *made = nullptr;
    const auto failure = ui::attempt([&] {
        made = m_chart == Chart::Flows ? stats::makeFlowChart(flows()) : stats::makeBalanceChart(balances());
    });
    if (failure)
        return stats::makeEmptyChart(title, QString::fromUtf8(kReadFailed) + failure->text);
    return made;
}

void CChartPane::redraw()
{
    QChart *made = buildChart();
    if (auto *series = made->series().isEmpty() ? nullptr : qobject_cast<QPieSeries *>(made->series().first())) {
        connect(series, &QPieSeries::clicked, this, [this, series](QPieSlice *slice) {
            // Drilling replaces the chart and its series: leave their signal first.
            const int index = static_cast<int>(series->slices().indexOf(slice));
            QMetaObject::invokeMethod(this, [this, index] { drillInto(index); }, Qt::QueuedConnection);
        });
    }
    QChart *old = m_view->chart();
    m_view->setChart(made);
    delete old;
    m_chartChoice->setCurrentIndex(m_chartChoice->findData(static_cast<int>(m_chart)));
    m_sectionChoice->setCurrentIndex(m_sectionChoice->findData(static_cast<int>(m_section)));
    m_sectionAction->setVisible(m_chart == Chart::Share);
    m_actions[Command::Back]->setEnabled(m_chart == Chart::Share && !m_path.empty());
    m_actions[Command::Back]->setVisible(m_chart == Chart::Share);
}

QSize CChartPane::outputSize() const
{
    const QSize shown = m_view->size();
    return {std::max(shown.width(), kMinOutputWidth), std::max(shown.height(), kMinOutputHeight)};
}

bool CChartPane::saveTo(const QString &fileName) const { return stats::saveChart(chart(), fileName, outputSize()); }

void CChartPane::saveWithDialog()
{
    QFileDialog dialog(this, QString::fromUtf8(kSaveTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QString::fromUtf8(kSaveFilters).split(QStringLiteral(";;")));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString fileName = dialog.selectedFiles().first();
    const bool svg = dialog.selectedNameFilter().contains(QStringLiteral("svg"));
    const QString suffix = svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    if (!fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) &&
        !fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        fileName += suffix;
    if (!saveTo(fileName))
        ui::warn(this, QString::fromUtf8(kSaveFailed));
}

void CChartPane::copyToClipboard() const
{
    QApplication::clipboard()->setImage(stats::chartImage(chart(), outputSize()));
}

void CChartPane::drawOn(QPainter &painter, const QRectF &box) const
{
    // Laid out small, the chart's type prints at a readable size.
    const int width = kPrintedLayoutWidth;
    stats::drawChart(chart(), painter, box, QSize(width, int(width * box.height() / box.width())));
}

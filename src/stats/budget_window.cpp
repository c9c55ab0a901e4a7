#include "stats/budget_window.h"

#include "db/connection.h"
#include "setup/budget_plan_dialog.h"
#include "stats/budget_list.h"
#include "stats/export_dialog.h"
#include "stats/query_icons.h"
#include "stats/stat_report.h"
#include "ui/carry_out.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const char *const kTitle = "预算执行";
const char *const kReportTitle = "预算执行报表 %1";
const char *const kSummary = "%1：已过 %2 天中的 %3 天（%4），已用预算 %5";
const char *const kNoBudget = "%1：还没有预算。点“设置预算”，为支出类型定下每月（或每年）的金额。";
const char *const kOverCount = "，%1 项超支";

struct Button {
    CBudgetWindow::Command command;
    const char *text;
    int image; // a query toolbar image, or -1 for a standard arrow
    QStyle::StandardPixmap arrow;
};

const Button kButtons[] = {
    {CBudgetWindow::Command::ThisMonth, "本月", 3, {}},
    {CBudgetWindow::Command::ThisYear, "今年", 3, {}},
    {CBudgetWindow::Command::Previous, "上一期", -1, QStyle::SP_ArrowLeft},
    {CBudgetWindow::Command::Next, "下一期", -1, QStyle::SP_ArrowRight},
    {CBudgetWindow::Command::Plan, "设置预算", 1, {}},
    {CBudgetWindow::Command::Export, "导出", 4, {}},
    {CBudgetWindow::Command::Preview, "打印预览", 4, {}},
    {CBudgetWindow::Command::Exit, "退出", 5, {}},
};

// Report columns: their right edges in millimetres and their cell limits.
struct ReportColumn {
    const char *caption;
    double right;
    int byteLimit;
};
constexpr double kReportLeft = 20;
const ReportColumn kReportColumns[] = {
    {"类 别", 58, 31}, {"预 算", 84, 17}, {"已支出", 110, 17}, {"剩 余", 136, 17}, {"已 用", 162, 31}};

constexpr int kWidth = 820;
constexpr int kHeight = 560;

} // namespace

CBudgetWindow::CBudgetWindow(db::Connection &connection, Clock clock, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_connection(connection), m_clock(std::move(clock)), m_period(stats::BudgetPeriod::monthOf(m_clock()))
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowIcon(stats::queryWindowIcon());
    setModal(true);
    resize(kWidth, kHeight);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("budgetToolBar"));
    m_toolBar->setIconSize(QSize(18, 18));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const Button &button : kButtons) {
        const QIcon icon = button.image >= 0 ? stats::toolbarIcon(button.image) : style()->standardIcon(button.arrow);
        QAction *action = m_toolBar->addAction(icon, QString::fromUtf8(button.text));
        m_actions[button.command] = action;
        connect(action, &QAction::triggered, this, [this, command = button.command] { onCommand(command); });
        if (button.command == Command::Next || button.command == Command::Plan)
            m_toolBar->addSeparator();
    }

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("budgetSummary"));
    m_summary->setWordWrap(true);
    m_summary->setContentsMargins(8, 4, 8, 4);
    m_list = new CBudgetList(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    refresh();
}

QAction *CBudgetWindow::action(Command command) const
{
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void CBudgetWindow::setPeriod(const stats::BudgetPeriod &period)
{
    m_period = period;
    refresh();
}

void CBudgetWindow::onCommand(Command command)
{
    switch (command) {
    case Command::ThisMonth:
        setPeriod(stats::BudgetPeriod::monthOf(m_clock()));
        return;
    case Command::ThisYear:
        setPeriod(stats::BudgetPeriod::yearOf(m_clock()));
        return;
    case Command::Previous:
        setPeriod(m_period.step(-1));
        return;
    case Command::Next:
        setPeriod(m_period.step(1));
        return;
    case Command::Plan:
        openPlan();
        return;
    case Command::Export:
        stats::exportWithDialog(m_list, [this](const std::string &path) {
            return stats::exportBudget(m_connection, m_period, m_clock(), path);
        });
        return;
    case Command::Preview: {
        const db::DateTime now = m_clock();
        stats::previewList(reportLayout(), *m_list, QDate(now.year, now.month, now.day), this);
        return;
    }
    case Command::Exit:
        reject();
        return;
    }
}

ui::TableLayout CBudgetWindow::reportLayout() const
{
    ui::TableLayout layout;
    layout.title = QString::fromUtf8(kReportTitle).arg(QString::fromStdString(m_period.caption()));
    layout.cellAlignment = Qt::AlignHCenter;
    double left = kReportLeft;
    for (const ReportColumn &column : kReportColumns) {
        layout.columns.push_back({QString::fromUtf8(column.caption), left, column.right, column.byteLimit});
        left = column.right;
    }
    return layout;
}

void CBudgetWindow::refresh()
{
    m_list->removeAll();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto failure = ui::attempt([&] { stats::BudgetStatistic(m_connection, m_period, m_clock(), *m_list).run(); });
    QApplication::restoreOverrideCursor();
    updateSummary();
    if (failure)
        ui::show(this, *failure);
}

void CBudgetWindow::updateSummary()
{
    const QString caption = QString::fromStdString(m_period.caption());
    const int categories = m_list->categoryCount();
    if (categories == 0) {
        m_summary->setText(QString::fromUtf8(kNoBudget).arg(caption));
        return;
    }
    int over = 0;
    for (QTreeWidgetItemIterator it(m_list); *it; ++it)
        if ((*it)->parent() &&
            static_cast<CBudgetList::Mark>((*it)->data(0, CBudgetList::kMarkRole).toInt()) == CBudgetList::Mark::Over)
            ++over;
    const QTreeWidgetItem *head = m_list->topLevelItem(0);
    QString text = QString::fromUtf8(kSummary)
                       .arg(caption)
                       .arg(m_period.days())
                       .arg(m_period.daysGone(m_clock()))
                       .arg(m_list->periodShare(), head->text(CBudgetList::kShareColumn));
    if (over > 0)
        text += QString::fromUtf8(kOverCount).arg(over);
    m_summary->setText(text);
}

void CBudgetWindow::openPlan()
{
    CBudgetPlanDialog dialog(&m_connection, this);
    dialog.exec();
    refresh();
}

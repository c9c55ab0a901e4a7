#pragma once

#include "db/dates.h"
#include "stats/budget_statistic.h"
#include "ui/table_report.h"

#include <QDialog>

#include <functional>
#include <map>

namespace db {
class Connection;
}
class CBudgetList;
class QAction;
class QLabel;
class QToolBar;

// "预算执行": how the budgets of a month (this month when it opens) or of a
// year are going, with the days gone beside the share spent. From here the
// plan is set, and the rows are printed and exported like the statistics
// of the query windows.
class CBudgetWindow : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;
    enum class Command { ThisMonth, ThisYear, Previous, Next, Plan, Export, Preview, Exit };

    CBudgetWindow(db::Connection &connection, Clock clock, QWidget *parent = nullptr);

    const stats::BudgetPeriod &period() const { return m_period; }
    // Shows another month or year.
    void setPeriod(const stats::BudgetPeriod &period);
    void onCommand(Command command);
    QAction *action(Command command) const;

    CBudgetList *list() const { return m_list; }
    QToolBar *toolBar() const { return m_toolBar; }
    QLabel *summary() const { return m_summary; }
    // The printed form: title with the period, the list's five columns.
    ui::TableLayout reportLayout() const;

private:
    void refresh();
    void updateSummary();
    void openPlan();

    db::Connection &m_connection;
    Clock m_clock;
    stats::BudgetPeriod m_period;
    std::map<Command, QAction *> m_actions;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_summary = nullptr;
    CBudgetList *m_list = nullptr;
};

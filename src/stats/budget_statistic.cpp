#include "stats/budget_statistic.h"

#include "db/connection.h"
#include "db/text.h"
#include "setup/budgets.h"
#include "setup/tree_store.h"
#include "stats/budget_money.h"
#include "stats/export.h"
#include "stats/sheet_sink.h"
#include "stats/xlsx_driver.h"

#include <algorithm>
#include <map>
#include <optional>

namespace stats {

namespace {

constexpr int kMonthsInYear = 12;
const char *const kDays = " 天";

using db::Money;

// Each expense category's own spending in the range, by name as the tables
// compare it. Entries are grouped by category and amount, so that the
// exact sum is a few multiplications, not one addition per entry.
std::map<std::string, Money> spendingByCategory(db::Connection &c, const Range &range)
{
    std::map<std::string, Money> spent;
    db::Query q = c.query("select 帐目类型 as aStyle,钱额 as nMoney,count(1) as nCount from account where 收负类型 ='付' "
                          "and (Format(日期,'yyyymmdd') between '" +
                          db::quote(range.begin) + "' and '" + db::quote(range.end) +
                          "') group by 帐目类型,钱额");
    while (q.next()) {
        const long long count = static_cast<long long>(db::leadingNumber(q.field("nCount")));
        spent[setup::nameKey(q.field("aStyle"))] += Money::leading(q.field("nMoney")) * count;
    }
    return spent;
}

// The budget of a category for the period, none when it has none.
std::optional<Money> budgetFor(const setup::BudgetAmounts &amounts, const BudgetPeriod &period)
{
    const bool monthly = !amounts.monthly.empty();
    const bool yearly = !amounts.yearly.empty();
    if (!monthly && (!yearly || !period.isYear()))
        return std::nullopt;
    Money budget = monthly ? Money::leading(amounts.monthly) : Money();
    if (period.isYear()) {
        budget = budget * kMonthsInYear;
        if (yearly)
            budget += Money::leading(amounts.yearly);
    }
    return budget;
}

struct Line {
    Row row;
    Money budget;
    Money spent;
};

// Walks the expense tree, collecting the budgeted categories in tree order,
// each with what its branch spent.
class Collector {
public:
    Collector(const std::map<std::string, Money> &spent, const std::map<std::string, setup::BudgetAmounts> &budgets,
              const BudgetPeriod &period)
        : m_spent(spent), m_budgets(budgets), m_period(period)
    {
    }

    // The node's branch total; budgeted nodes below it are added as lines
    // at their depth among the budgeted nodes.
    Money walk(const setup::TreeNode &node, int depth, int level)
    {
        const std::string name = setup::nameKey(node.name);
        std::optional<Money> budget;
        if (level > 0)
            if (auto it = m_budgets.find(name); it != m_budgets.end())
                budget = budgetFor(it->second, m_period);
        std::size_t at = lines.size();
        if (budget)
            lines.push_back(Line{});
        const int below = budget ? depth + 1 : depth;
        Money branch;
        if (level > 0)
            if (auto it = m_spent.find(name); it != m_spent.end())
                branch = it->second;
        for (const setup::TreeNode &child : node.children)
            branch += walk(child, below, level + 1);
        if (budget) {
            Line &line = lines[at];
            line.budget = *budget;
            line.spent = branch;
            line.row.role = Role::Category;
            line.row.depth = depth;
            line.row.level = level;
            line.row.label = node.name;
        }
        return branch;
    }

    std::vector<Line> lines;

private:
    const std::map<std::string, Money> &m_spent;
    const std::map<std::string, setup::BudgetAmounts> &m_budgets;
    const BudgetPeriod &m_period;
};

void fillCells(Row &row, Money budget, Money spent)
{
    row.section = Section::Budget;
    row.cells = {budgetText(budget), budgetText(spent), budgetText(budget - spent), shareOf(spent, budget)};
}

} // namespace

Range BudgetPeriod::range() const
{
    if (isYear())
        return {db::formatDay({year, 1, 1}), db::formatDay({year, 12, 31})};
    return {db::formatDay({year, month, 1}), db::formatDay({year, month, db::daysInMonth(year, month)})};
}

std::string BudgetPeriod::caption() const
{
    return isYear() ? std::to_string(year) + "年" : std::to_string(year) + "年" + std::to_string(month) + "月";
}

int BudgetPeriod::days() const
{
    if (!isYear())
        return db::daysInMonth(year, month);
    int total = 0;
    for (int m = 1; m <= kMonthsInYear; ++m)
        total += db::daysInMonth(year, m);
    return total;
}

int BudgetPeriod::daysGone(const db::DateTime &today) const
{
    const db::DateTime first{year, isYear() ? 1 : month, 1};
    const auto gone = (today.startOfDay().days() - first.days()).count() + 1;
    return static_cast<int>(std::clamp<long long>(gone, 0, days()));
}

BudgetPeriod BudgetPeriod::step(int by) const
{
    if (isYear())
        return {year + by, 0};
    const int index = year * kMonthsInYear + (month - 1) + by;
    const int y = index >= 0 ? index / kMonthsInYear : (index - kMonthsInYear + 1) / kMonthsInYear;
    return {y, index - y * kMonthsInYear + 1};
}

const std::vector<Column> &budgetColumns()
{
    static const std::vector<Column> columns = {
        {"类别", 200}, {"预算", 130}, {"已支出", 130}, {"剩余", 130}, {"已用", 190}};
    return columns;
}

BudgetStatistic::BudgetStatistic(db::Connection &connection, BudgetPeriod period, db::DateTime today, RowSink &sink,
                                 Output output)
    : m_connection(connection), m_period(period), m_today(today), m_sink(sink), m_output(output)
{
}

void BudgetStatistic::run()
{
    if (m_output == Output::List)
        m_sink.createColumns(budgetColumns());
    const std::map<std::string, setup::BudgetAmounts> budgets = setup::loadBudgets(m_connection);
    const std::map<std::string, Money> spent = spendingByCategory(m_connection, m_period.range());
    Collector collector(spent, budgets, m_period);
    collector.walk(setup::loadTree(m_connection, setup::TreeKind::Expense), 1, 0);

    // Only the outermost budgets add up: an inner one is part of its
    // ancestor's.
    Money totalBudget;
    Money totalSpent;
    for (const Line &line : collector.lines)
        if (line.row.depth == 1) {
            totalBudget += line.budget;
            totalSpent += line.spent;
        }
    Row head;
    head.role = Role::Head;
    head.label = kBudgetHead;
    fillCells(head, totalBudget, totalSpent);
    m_sink.addRow(head);
    for (Line &line : collector.lines) {
        fillCells(line.row, line.budget, line.spent);
        m_sink.addRow(line.row);
    }

    const int days = m_period.days();
    const int gone = m_period.daysGone(m_today);
    Row progress;
    progress.section = Section::Budget;
    progress.role = Role::Progress;
    progress.label = kBudgetProgress;
    progress.cells = {std::to_string(days) + kDays, std::to_string(gone) + kDays, std::to_string(days - gone) + kDays,
                      shareOf(gone, days)};
    m_sink.addRow(progress);
}

bool isOverBudget(const Row &row)
{
    return row.section == Section::Budget && row.role != Role::Progress && !row.cell(2).empty() &&
           row.cell(2).front() == '-';
}

db::Result exportBudget(db::Connection &ledger, const BudgetPeriod &period, const db::DateTime &today,
                        const std::string &path)
{
    return writeWorkbook(ledger, path, [&](SheetConnection &sheets) {
        sheets.execute(kBudgetSheet);
        SheetSink sink(sheets);
        BudgetStatistic(ledger, period, today, sink, Output::Sheet).run();
    });
}

} // namespace stats

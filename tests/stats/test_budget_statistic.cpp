#include "setup/budgets.h"
#include "setup/tree_store.h"
#include "stats/budget_money.h"
#include "stats/budget_statistic.h"
#include "support/temp_database.h"

#include "row_collector.h"

#include <gtest/gtest.h>

using stats::BudgetPeriod;
using stats_test::post;
using stats_test::RowCollector;
using testing_support::TempDatabase;

namespace {

const db::DateTime kToday{2026, 3, 12, 9, 0, 0};

RowCollector run(TempDatabase &t, BudgetPeriod period, db::DateTime today = kToday)
{
    RowCollector rows;
    stats::BudgetStatistic(t.connection(), period, today, rows).run();
    return rows;
}

// The cells of a row found by its path, joined by "|"; "none" when absent.
std::string cellsOf(const RowCollector &rows, const std::string &path)
{
    const stats::Row *row = rows.find(path);
    if (!row)
        return "none";
    std::string out;
    for (const std::string &cell : row->cells)
        out += (out.empty() ? "" : "|") + cell;
    return out;
}

void plan(TempDatabase &t, std::vector<setup::PlanLine> lines)
{
    const db::Result saved = setup::savePlan(t.connection(), lines);
    ASSERT_TRUE(saved.done) << saved.message;
}

} // namespace

// A budget on 餐饮 counts its own entries and those of 早餐, 午餐 and 晚餐;
// a budget inside it stands below it and is not added to the total twice.
// Binary fractions add up exactly.
TEST(BudgetStatistic, SpendingRollsUpToTheNearestBudgetedAncestor)
{
    TempDatabase t;
    auto &c = t.connection();
    plan(t, {{"餐饮", {"100", ""}}, {"午餐", {"15", ""}}, {"交通", {"50", ""}}});
    post(c, "2026/03/01 07:30", "付", "早餐", "10.1");
    post(c, "2026/03/02 12:00", "付", "午餐", "20.2");
    post(c, "2026/03/31 19:00", "付", "晚餐", "30.3");
    post(c, "2026/03/05 19:00", "付", "餐饮", "0.1");
    post(c, "2026/02/28 12:00", "付", "午餐", "99");   // another month
    post(c, "2026/04/01 12:00", "付", "午餐", "99");   // another month
    post(c, "2026/03/06 12:00", "收", "工资", "5000"); // no expense
    post(c, "2026/03/07 08:00", "付", "公交地铁", "4");
    post(c, "2026/03/07 18:00", "付", "公交地铁", "4");
    post(c, "2026/03/08 18:00", "付", "日用品", "80"); // no budget above it

    const RowCollector rows = run(t, {2026, 3});
    EXPECT_EQ(rows.captions, (std::vector<std::string>{"类别", "预算", "已支出", "剩余", "已用"}));
    EXPECT_EQ(rows.paths, (std::vector<std::string>{"合计", "合计/餐饮", "合计/餐饮/午餐", "合计/交通", "时间进度"}));
    EXPECT_EQ(cellsOf(rows, "合计/餐饮"), "100.00|60.70|39.30|60.70%");
    EXPECT_EQ(cellsOf(rows, "合计/餐饮/午餐"), "15.00|20.20|-5.20|134.67%");
    EXPECT_EQ(cellsOf(rows, "合计/交通"), "50.00|8.00|42.00|16.00%");
    EXPECT_EQ(cellsOf(rows, "合计"), "150.00|68.70|81.30|45.80%");
    EXPECT_TRUE(stats::isOverBudget(*rows.find("合计/餐饮/午餐")));
    EXPECT_FALSE(stats::isOverBudget(*rows.find("合计/餐饮")));
}

struct MonthCase {
    BudgetPeriod period;
    db::DateTime today;
    std::string range;
    std::string progress;
};

void PrintTo(const MonthCase &c, std::ostream *out) { *out << c.period.year << "-" << c.period.month; }

class BudgetMonths : public testing::TestWithParam<MonthCase> {};

// The month's days and the days gone, whatever the month's length; a past
// month is all gone, a month to come not begun.
TEST_P(BudgetMonths, CountTheirOwnDays)
{
    TempDatabase t;
    const MonthCase &m = GetParam();
    const stats::Range range = m.period.range();
    EXPECT_EQ(range.begin + "-" + range.end, m.range);
    const RowCollector rows = run(t, m.period, m.today);
    EXPECT_EQ(cellsOf(rows, "时间进度"), m.progress);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, BudgetMonths,
    testing::Values(MonthCase{{2026, 2}, {2026, 2, 14, 23, 59}, "20260201-20260228", "28 天|14 天|14 天|50.00%"},
                    MonthCase{{2024, 2}, {2024, 2, 29}, "20240201-20240229", "29 天|29 天|0 天|100.00%"},
                    MonthCase{{2026, 4}, {2026, 4, 12}, "20260401-20260430", "30 天|12 天|18 天|40.00%"},
                    MonthCase{{2026, 1}, {2026, 1, 1}, "20260101-20260131", "31 天|1 天|30 天|3.23%"},
                    MonthCase{{2026, 1}, {2026, 3, 1}, "20260101-20260131", "31 天|31 天|0 天|100.00%"},
                    MonthCase{{2026, 12}, {2026, 11, 30}, "20261201-20261231", "31 天|0 天|31 天|0.00%"},
                    MonthCase{{2024, 0}, {2024, 3, 1}, "20240101-20241231", "366 天|61 天|305 天|16.67%"}));

// A month counts the monthly amounts alone; a year twelve of them and the
// yearly one, and a category with only a yearly budget shows in the year.
TEST(BudgetStatistic, AYearlyBudgetCountsInTheYearOnly)
{
    TempDatabase t;
    auto &c = t.connection();
    plan(t, {{"居住", {"3000", "1200.5"}}, {"医疗", {"", "600"}}});
    post(c, "2026/03/01 09:00", "付", "房租", "3000");
    post(c, "2026/03/15 09:00", "付", "水电燃气", "1200.5"); // the yearly bill
    post(c, "2026/01/20 09:00", "付", "医疗", "650");

    const RowCollector month = run(t, {2026, 3});
    EXPECT_EQ(month.paths, (std::vector<std::string>{"合计", "合计/居住", "时间进度"}));
    EXPECT_EQ(cellsOf(month, "合计/居住"), "3000.00|4200.50|-1200.50|140.02%");

    const RowCollector year = run(t, {2026, 0});
    EXPECT_EQ(year.paths, (std::vector<std::string>{"合计", "合计/居住", "合计/医疗", "时间进度"}));
    EXPECT_EQ(cellsOf(year, "合计/居住"), "37200.50|4200.50|33000.00|11.29%");
    EXPECT_EQ(cellsOf(year, "合计/医疗"), "600.00|650.00|-50.00|108.33%");
    EXPECT_EQ(cellsOf(year, "合计"), "37800.50|4850.50|32950.00|12.83%");
}

// A budget whose category is gone (deleted, or left behind in older books)
// shows nowhere, and the category's entries count for no budget.
TEST(BudgetStatistic, ABudgetOfADeletedCategoryIsLeftOut)
{
    TempDatabase t;
    auto &c = t.connection();
    plan(t, {{"娱乐", {"200", ""}}, {"交通", {"100", ""}}});
    post(c, "2026/03/03 20:00", "付", "娱乐", "150");
    ASSERT_TRUE(setup::deleteNode(c, setup::TreeKind::Expense, "娱乐"));
    c.execute("INSERT INTO Budget (Style,MonthMoney) VALUES ('旧类型',500)");

    const RowCollector rows = run(t, {2026, 3});
    EXPECT_EQ(rows.paths, (std::vector<std::string>{"合计", "合计/交通", "时间进度"}));
    EXPECT_EQ(cellsOf(rows, "合计"), "100.00|0.00|100.00|0.00%");
}

TEST(BudgetStatistic, NoBudgetGivesTheHeadAndTheDaysAlone)
{
    TempDatabase t;
    post(t.connection(), "2026/03/03 20:00", "付", "娱乐", "150");
    const RowCollector rows = run(t, {2026, 3});
    EXPECT_EQ(rows.paths, (std::vector<std::string>{"合计", "时间进度"}));
    EXPECT_EQ(cellsOf(rows, "合计"), "0.00|0.00|0.00|");
}

struct MoneyCase {
    std::string text;
    std::string shown;
};

class MoneyTexts : public testing::TestWithParam<MoneyCase> {};

// Entry amounts as the engine writes them, shown with up to four decimals.
TEST_P(MoneyTexts, ReadExactly)
{
    EXPECT_EQ(stats::budgetText(db::Money::leading(GetParam().text)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Amounts, MoneyTexts,
                         testing::Values(MoneyCase{"35.5", "35.50"}, MoneyCase{"2000", "2000.00"},
                                         MoneyCase{"-8", "-8.00"}, MoneyCase{".25", "0.25"},
                                         MoneyCase{"0.125", "0.125"}, MoneyCase{"1.00005", "1.0001"},
                                         MoneyCase{"1.00004", "1.00"}, MoneyCase{"123456789012345", "123456789012345.00"},
                                         MoneyCase{"1e+16", "10000000000000000.00"}, MoneyCase{"", "0.00"},
                                         MoneyCase{"abc", "0.00"}));

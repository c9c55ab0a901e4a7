#include "row_collector.h"

#include "ledger/balances.h"
#include "stats/chart_sink.h"
#include "stats/month_figures.h"
#include "stats/statistics.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using namespace stats;
using stats_test::post;
using stats_test::RowCollector;
using testing_support::TempDatabase;

namespace {

const Range kMarch{"20070301", "20070331"};

// Hands every row of a walk to the list's stand-in and to the chart sink.
class Both : public RowSink {
public:
    Both(RowSink &a, RowSink &b) : m_a(a), m_b(b) {}
    void createColumns(const std::vector<Column> &columns) override
    {
        m_a.createColumns(columns);
        m_b.createColumns(columns);
    }
    void addRow(const Row &row) override
    {
        m_a.addRow(row);
        m_b.addRow(row);
    }

private:
    RowSink &m_a;
    RowSink &m_b;
};

struct Posting {
    const char *type;
    const char *category;
    const char *amount;
};

struct Expected {
    const char *label;
    const char *amount;
    bool other;
};

struct PieCase {
    const char *name;
    std::vector<Posting> postings;
    Kind kind;
    Section section;
    std::vector<std::string> path;
    std::vector<Expected> slices;
    int leftOut;
};

const PieCase kPieCases[] = {
    {"LargestFirstSingleSmallShareKept",
     {{"付", "午餐", "20"}, {"付", "晚餐", "80"}, {"付", "打车", "30"}, {"付", "房租", "1500"}},
     Kind::Expense, Section::Expense, {}, {{"居住", "1500", false}, {"餐饮", "100", false}, {"交通", "30", false}}, 0},
    {"SmallSharesGatheredAsOther",
     {{"付", "房租", "1000"}, {"付", "午餐", "10"}, {"付", "打车", "10"}, {"付", "医疗", "5"}},
     Kind::Expense, Section::Expense, {}, {{"居住", "1000", false}, {"其他", "25", true}}, 0},
    {"SlicesPastEightGathered",
     {{"付", "餐饮", "100"}, {"付", "交通", "99"}, {"付", "居住", "98"}, {"付", "日用品", "97"}, {"付", "医疗", "96"},
      {"付", "教育", "95"}, {"付", "娱乐", "94"}, {"付", "通讯", "93"}, {"付", "礼金", "92"}, {"付", "宠物", "91.5"}},
     Kind::Expense, Section::Expense, {},
     {{"餐饮", "100", false}, {"交通", "99", false}, {"居住", "98", false}, {"日用品", "97", false},
      {"医疗", "96", false}, {"教育", "95", false}, {"娱乐", "94", false}, {"通讯", "93", false},
      {"其他", "183.5", true}},
     0},
    {"DrillIntoChildren",
     {{"付", "早餐", "6"}, {"付", "午餐", "20"}, {"付", "晚餐", "80"}, {"付", "房租", "900"}},
     Kind::Summary, Section::Expense, {"餐饮"}, {{"晚餐", "80", false}, {"午餐", "20", false}, {"早餐", "6", false}}, 0},
    {"OwnEntriesOfTheParentAsASlice",
     {{"付", "餐饮", "50"}, {"付", "午餐", "20.4"}},
     Kind::Expense, Section::Expense, {"餐饮"}, {{"餐饮", "50", false}, {"午餐", "20.4", false}}, 0},
    {"IncomeOfTheSummary",
     {{"收", "工资", "3000"}, {"收", "奖金", "500"}, {"付", "午餐", "20"}},
     Kind::Summary, Section::Income, {}, {{"工资", "3000", false}, {"奖金", "500", false}}, 0},
    {"NegativeSumLeftOut",
     {{"付", "房租", "1000"}, {"付", "打车", "-40"}},
     Kind::Expense, Section::Expense, {}, {{"居住", "1000", false}}, 1},
    {"UnknownPathIsEmpty", {{"付", "午餐", "20"}}, Kind::Expense, Section::Expense, {"交通"}, {}, 0},
};

class PieTest : public ::testing::TestWithParam<PieCase> {};

TEST_P(PieTest, SlicesFollowTheStatisticRows)
{
    const PieCase &c = GetParam();
    TempDatabase database;
    for (const Posting &p : c.postings)
        post(database.connection(), "2007/03/05 12:00", p.type, p.category, p.amount);
    RowCollector rows;
    ChartSink sink;
    Both both(rows, sink);
    runStatistic(database.connection(), c.kind, kMarch, both);

    const Pie pie = sink.pie(c.section, c.path);
    EXPECT_EQ(pie.leftOut, c.leftOut);
    ASSERT_EQ(pie.slices.size(), c.slices.size());
    const std::string head = c.section == Section::Expense ? kExpenseHead : kIncomeHead;
    std::string parentPath = head;
    for (const std::string &name : c.path)
        parentPath += "/" + name;
    for (std::size_t i = 0; i < c.slices.size(); ++i) {
        const Slice &slice = pie.slices[i];
        SCOPED_TRACE(slice.label);
        EXPECT_EQ(slice.label, c.slices[i].label);
        EXPECT_EQ(slice.amount, c.slices[i].amount);
        EXPECT_EQ(slice.other, c.slices[i].other);
        EXPECT_EQ(slice.other, slice.colour == kGreyColour);
        const Row *row = rows.find(parentPath + "/" + slice.label);
        if (slice.other || (!c.path.empty() && slice.label == c.path.back()))
            continue;
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(slice.amount, row->cell(0));
        EXPECT_EQ(slice.drillable, !rows.childrenOf(parentPath + "/" + slice.label).empty());
        // At the first level the shares are the list's own.
        if (c.path.empty() && c.leftOut == 0) {
            EXPECT_EQ(slice.percent, row->cell(3));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PieTest, ::testing::ValuesIn(kPieCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ChartColours, ACategoryKeepsItsColourAndNoTwoSlicesShareOne)
{
    TempDatabase database;
    const char *categories[] = {"餐饮", "交通", "居住", "日用品", "医疗", "教育", "娱乐", "通讯"};
    int amount = 100;
    for (const char *category : categories)
        post(database.connection(), "2007/03/05 12:00", "付", category, std::to_string(amount++));
    ChartSink sink;
    runStatistic(database.connection(), Kind::Expense, kMarch, sink);
    std::vector<bool> used(kPaletteSize + 1, false);
    for (const Slice &slice : sink.pie(Section::Expense).slices) {
        EXPECT_FALSE(used[slice.colour]) << slice.label;
        used[slice.colour] = true;
    }
    EXPECT_EQ(categoryColour("餐饮"), categoryColour("餐饮"));
    // A pie where 餐饮 stands alone gives it its own colour.
    ChartSink alone;
    post(database.connection(), "2007/04/05 12:00", "付", "午餐", "5");
    runStatistic(database.connection(), Kind::Expense, {"20070401", "20070430"}, alone);
    EXPECT_EQ(alone.pie(Section::Expense).slices.at(0).colour, categoryColour("餐饮"));
}

struct MonthCase {
    Range range;
    std::vector<std::string> ends;
};

class MonthEndsTest : public ::testing::TestWithParam<MonthCase> {};

TEST_P(MonthEndsTest, EveryMonthEndsAtItsLastDayOrTheRangeEnd)
{
    EXPECT_EQ(monthEndsOf(GetParam().range), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonthEndsTest,
    ::testing::Values(MonthCase{{"20231215", "20240310"}, {"20231231", "20240131", "20240229", "20240310"}},
                      MonthCase{{"20070305", "20070305"}, {"20070305"}},
                      MonthCase{{"20070305", "20070301"}, {}}, MonthCase{{"2007", "20070301"}, {}},
                      MonthCase{{"20070230", "20070301"}, {}}));

TEST(MonthlyFlows, EachMonthHoldsTheIncomeAndExpenseHeadsOfItsDays)
{
    TempDatabase database;
    db::Connection &c = database.connection();
    post(c, "2007/01/31 23:59", "付", "午餐", "20.1");
    post(c, "2007/02/01 00:00", "付", "房租", "1500");
    post(c, "2007/02/10 09:00", "收", "工资", "3000");
    post(c, "2007/02/28 09:00", "付", "打车", "30.2");
    post(c, "2007/04/01 09:00", "收", "奖金", "9"); // after the range
    const std::vector<MonthFlow> flows = monthlyFlows(c, {"20070115", "20070331"});
    ASSERT_EQ(flows.size(), 3u);
    for (const MonthFlow &flow : flows) {
        SCOPED_TRACE(flow.month);
        const Range month = {std::max(flow.month + "01", std::string("20070115")), flow.month + "31"};
        RowCollector rows;
        runStatistic(c, Kind::Summary, month, rows);
        EXPECT_NEAR(flow.spending, db::leadingNumber(rows.find(kExpenseHead)->cell(0)), 1e-9);
        EXPECT_NEAR(flow.income, db::leadingNumber(rows.find(kIncomeHead)->cell(0)), 1e-9);
    }
    EXPECT_EQ(flows[1].month, "200702");
    EXPECT_NEAR(flows[1].difference(), 3000 - 1530.2, 1e-9);
    EXPECT_EQ(flows[2].income + flows[2].spending, 0);
}

TEST(MonthEndTotals, EachIsTheBalanceOfAllAccountsAtThatDay)
{
    TempDatabase database;
    db::Connection &c = database.connection();
    post(c, "2006/12/31 10:00", "收", "工资", "1000");
    post(c, "2007/01/31 23:59", "付", "午餐", "20.1");
    post(c, "2007/02/01 00:00", "付", "房租", "300");
    post(c, "2007/03/10 09:00", "收", "奖金", "50.25");
    post(c, "2007/03/11 09:00", "付", "打车", "9"); // after the range
    const std::vector<MonthEndTotal> totals = monthEndTotals(c, {"20070115", "20070310"});
    ASSERT_EQ(totals.size(), 3u);
    const char *days[] = {"20070131", "20070228", "20070310"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(totals[i].day, days[i]);
        EXPECT_EQ(totals[i].total, ledger::accountBalances(c, days[i]).at(0).total) << days[i];
    }
    EXPECT_DOUBLE_EQ(totals[2].value(), 1000 - 20.1 - 300 + 50.25);
}

} // namespace

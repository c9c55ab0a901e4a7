#include "row_collector.h"

#include "db/text.h"
#include "stats/day_statistic.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <map>

using namespace stats;
using stats_test::logged;
using stats_test::percentOf;
using stats_test::post;
using stats_test::RowCollector;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

const Range kMarch{"20070301", "20070331"};

struct Entry {
    const char *date;
    const char *type;
    const char *category;
    double amount;
};

const Entry kEntries[] = {
    {"2007/03/05 08:00", "付", "早餐", 6},        {"2007/03/05 12:00", "付", "午餐", 20},
    {"2007/03/05 12:30", "付", "午餐", 15},       {"2007/03/05 18:00", "收", "工资", 3000},
    {"2007/03/05 19:00", "收", "午餐", 2.5},      {"2007/03/06 19:00", "付", "晚餐", 80},
    {"2007/03/06 20:00", "存", "存钱", 500},      {"2007/03/31 23:59", "取", "取钱", 100},
    {"2007/04/01 00:00", "付", "午餐", 9},        {"2007/02/28 23:59", "付", "午餐", 9},
};

bool inMarch(const Entry &e) { return std::string(e.date).compare(0, 7, "2007/03") == 0; }

std::string dayOf(const Entry &e)
{
    const std::string d = e.date;
    return d.substr(0, 4) + d.substr(5, 2) + d.substr(8, 2);
}

class DayStatisticTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Entry &e : kEntries)
            post(c(), e.date, e.type, e.category, db::numberToText(e.amount),
                 std::string(e.type) == "存" || std::string(e.type) == "取" ? "工商银行" : "现金银行");
    }
    db::Connection &c() { return m_database.connection(); }
    RowCollector run(const std::string &filter, const Range &range = kMarch,
                     Computation computation = Computation::Fast)
    {
        RowCollector rows;
        runDayStatistic(c(), range, filter, rows, RunOptions{computation, nullptr});
        return rows;
    }

    TempDatabase m_database;
};

} // namespace

TEST_F(DayStatisticTest, DaysAndTheirDetailAreSharesOfTheWholeRange)
{
    for (const std::string filter : {"all", "付", "收"}) {
        SCOPED_TRACE(filter);
        // Figures of the table above, summed here on their own.
        double total = 0;
        int count = 0;
        std::map<std::string, std::pair<double, int>> days;
        std::map<std::string, std::pair<double, int>> details; // day/category/type
        for (const Entry &e : kEntries) {
            if (!inMarch(e) || (filter != "all" && filter != e.type))
                continue;
            total += e.amount;
            ++count;
            auto &[daySum, dayCount] = days[dayOf(e)];
            daySum += e.amount;
            ++dayCount;
            auto &[sum, n] = details[dayOf(e) + "/" + e.category + "/" + e.type];
            sum += e.amount;
            ++n;
        }
        const RowCollector rows = run(filter);
        EXPECT_EQ(rows.captions, (std::vector<std::string>{"日期", "金额", "次数", "收付", "百分比"}));
        ASSERT_FALSE(rows.rows.empty());
        const Row &head = rows.rows[0];
        EXPECT_EQ(head.label, "日期");
        EXPECT_DOUBLE_EQ(db::leadingNumber(head.cell(0)), total);
        EXPECT_EQ(head.cells, (std::vector<std::string>{head.cell(0), std::to_string(count), "", "100%"}));

        double shares = 0;
        std::vector<std::string> shownDays;
        int detailRows = 0;
        for (const Row &row : rows.rows) {
            if (row.role == Role::Day) {
                shownDays.push_back(row.label);
                const auto &[sum, n] = days.at(row.label);
                EXPECT_DOUBLE_EQ(db::leadingNumber(row.cell(0)), sum) << row.label;
                EXPECT_EQ(row.cell(1), std::to_string(n));
                EXPECT_EQ(row.cell(2), "");
                EXPECT_EQ(row.cell(3), percentOf(sum, total));
                shares += db::leadingNumber(row.cell(3));
            } else if (row.role == Role::DayDetail) {
                ++detailRows;
                const std::string key = rows.paths[&row - rows.rows.data()];
                const std::string day = key.substr(key.find('/') + 1, 8);
                const auto &[sum, n] =
                    details.at(day + "/" + db::trim(row.label) + "/" + db::trim(row.cell(2)));
                EXPECT_DOUBLE_EQ(db::leadingNumber(row.cell(0)), sum) << key;
                EXPECT_EQ(row.cell(1), std::to_string(n)) << key;
                EXPECT_EQ(row.cell(3), percentOf(sum, total)) << key; // of the range, not of the day
                EXPECT_EQ(row.depth, 2);
            }
        }
        std::vector<std::string> wantedDays;
        for (const auto &[day, figures] : days)
            wantedDays.push_back(day);
        EXPECT_EQ(shownDays, wantedDays); // one row per day, in day order
        EXPECT_EQ(detailRows, static_cast<int>(details.size()));
        EXPECT_NEAR(shares, 100.0, 0.01 * days.size());
    }
    // 午餐 on 5 March was paid and received: one detail row for each direction.
    const RowCollector all = run("all");
    EXPECT_EQ(all.childrenOf("日期/20070305").size(), 4u);
}

TEST_F(DayStatisticTest, FilterOrRangeWithoutRowsGivesTheHeadAlone)
{
    const std::pair<std::string, Range> cases[] = {
        {"all", Range{"20070101", "20070102"}},
        {"x", kMarch},
        {"收' or '1'='1", kMarch}, // a quote stays inside its value
        {"all", Range{"20070331", "20070301"}},
    };
    for (const auto &[filter, range] : cases) {
        SCOPED_TRACE(filter + " " + range.begin);
        const RowCollector rows = run(filter, range);
        ASSERT_EQ(rows.rows.size(), 1u);
        EXPECT_EQ(rows.rows[0].cells, (std::vector<std::string>{"", "0", ""}));
    }
}

// Day shares are worked out in double precision: a large day over a small
// total of mixed signs keeps every digit of its percentage.
TEST(DayPercent, LargeDaysOverASmallTotalKeepTheirDigits)
{
    TempDatabase t;
    post(t.connection(), "2007/03/05 08:00", "收", "工资", "1234567.89", "现金银行");
    post(t.connection(), "2007/03/06 08:00", "收", "工资", "-1234467.89", "现金银行");
    RowCollector rows;
    runDayStatistic(t.connection(), kMarch, "all", rows);
    std::vector<std::string> shares;
    for (const Row &row : rows.rows)
        if (row.role == Role::Day)
            shares.push_back(row.label + " " + row.cell(3));
    EXPECT_EQ(shares, (std::vector<std::string>{"20070305 1234567.89%", "20070306 -1234467.89%"}));
}

TEST_F(DayStatisticTest, StatementsOfADay)
{
    StatementLog log;
    run("付", kMarch, Computation::Reference);
    const std::vector<std::string> expected = {
        "\tSELECT  count(1) as nCount,sum(钱额) as nMoney FROM account  where (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  and ( 收负类型 ='付' or 'all' ='付' )  ",
        "\tSELECT Format(日期,'yyyymmdd') as nDate, count(1) as nCount,sum(钱额) as nMoney FROM account  where (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  and ( 收负类型 ='付' or 'all' ='付' ) group by Format(日期,'yyyymmdd')  ",
        "\tSELECT 帐目类型 as nStyle, count(1) as nCount,sum(钱额) as nMoney,收负类型 as nType FROM account  where Format(日期,'yyyymmdd')  ='20070305' and  ( 收负类型 ='付' or 'all' ='付' ) group by 帐目类型,收负类型  ",
        "\tSELECT 帐目类型 as nStyle, count(1) as nCount,sum(钱额) as nMoney,收负类型 as nType FROM account  where Format(日期,'yyyymmdd')  ='20070306' and  ( 收负类型 ='付' or 'all' ='付' ) group by 帐目类型,收负类型  ",
    };
    std::vector<std::string> expectedLog;
    for (const std::string &statement : expected)
        expectedLog.push_back(logged(statement));
    EXPECT_EQ(log.statements(), expectedLog);
}

TEST_F(DayStatisticTest, SheetRowsNeedNoColumns)
{
    RowCollector rows;
    DayStatistic statistic(c(), kMarch, "all", rows, Output::Sheet);
    statistic.run();
    EXPECT_EQ(rows.columnCalls, 0);
    EXPECT_EQ(rows.rows[0].label, " 合计");
    EXPECT_EQ(statistic.dateTotal(), rows.rows[0].cell(0));
    EXPECT_EQ(rows.rows[1].label, "20070305");
}

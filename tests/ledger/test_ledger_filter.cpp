// Filtering and sorting the loaded rows of a ledger list, over tables of
// mixed rows: which rows show, in which order, and what the summary row
// counts and sums.
#include "ledger/byte_search.h"
#include "ledger/ledger_filter.h"
#include "ledger/ledger_load.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The general journal: number, date, type, category, amount, handler,
// description; types and categories carry the blank that posting stores.
const Rows kJournal = {
    {"12", "2024/05/06 10:00", "付 ", "午餐 ", "35.5", "管理员", "Plumber 王师傅"},
    {"9", "2024/05/05 09:00", "收 ", "工资 ", "8000", "张丽", ""},
    {"10", "2024/05/04 08:00", "存 ", "存钱 ", "1000", "管理员", "存入工商"},
    {"100", "2024/04/30 23:59", "付 ", "水电燃气 ", "120.25", "张丽", "50% 预付 O'Brien"},
    {"11", "2024-5-10", "付 ", "午餐 ", "9", "管理员", ""},
    {"8", "2024/05/01 12:00", "取 ", "取钱 ", "200", "管理员", ""},
};
// The cash ledger: number, date, signed amount, type, category.
const Rows kCash = {
    {"1", "2024/05/06 10:00", "-35.5", "付", "午餐 "},
    {"2", "2024/05/05 09:00", "500", "取", "取钱"},
    {"3", "2024/05/04 08:00", "-1000", "存", "存钱"},
    {"4", "2024/05/03 08:00", "200", "收", "工资"},
};
// The investment ledger: number, date, category, invested, returned,
// profit, account, state.
const Rows kInvest = {
    {"5", "2024/05/06 10:00", "基金 ", "1000", "0", "0", "工商银行", "投资开始"},
    {"6", "2024/05/07 10:00", "基金 ", "-1000", "1100", "100", "工商银行", "投资完成"},
};

ledger::LedgerTable tableOf(int index, const Rows &rows)
{
    ledger::LedgerTable table(index);
    for (const std::vector<std::string> &row : rows)
        table.appendRow(std::vector<std::string_view>(row.begin(), row.end()));
    table.summarize();
    return table;
}

std::vector<int> shown(const ledger::ShownRows &rows)
{
    std::vector<int> out;
    for (int i = 0; i < rows.count(); ++i)
        out.push_back(rows.tableRow(i));
    return out;
}

// The sum of some cells in cents, added as whole numbers here rather than
// through the code under test.
long long centsOf(const std::string &amount)
{
    const bool negative = amount[0] == '-';
    const std::string digits = negative ? amount.substr(1) : amount;
    const std::size_t point = digits.find('.');
    long long cents = std::stoll(digits.substr(0, point)) * 100;
    if (point != std::string::npos)
        cents += std::stoll((digits.substr(point + 1) + "00").substr(0, 2));
    return negative ? -cents : cents;
}

std::string yuanOf(long long cents)
{
    char text[40];
    std::snprintf(text, sizeof text, "￥%s%lld.%02lld", cents < 0 ? "-" : "", (cents < 0 ? -cents : cents) / 100,
                  (cents < 0 ? -cents : cents) % 100);
    return text;
}

std::optional<db::Money> money(const char *text) { return text ? db::Money::parse(text) : std::nullopt; }

struct FilterCase {
    const char *name;
    int index;
    const char *text;
    const char *type;
    const char *least;
    const char *most;
    std::vector<int> expected;
};

void PrintTo(const FilterCase &c, std::ostream *out) { *out << c.name; }

const Rows &rowsOf(int index) { return index == 0 ? kJournal : index == 4 ? kCash : kInvest; }

class Filter : public testing::TestWithParam<FilterCase> {};

TEST_P(Filter, ShowsTheMatchingRowsAndSumsThem)
{
    const FilterCase &c = GetParam();
    const ledger::LedgerTable table = tableOf(c.index, rowsOf(c.index));
    ledger::ShownRows rows;
    rows.setTable(&table);
    rows.setFilter({c.text ? c.text : "", c.type ? c.type : "", money(c.least), money(c.most)});
    EXPECT_EQ(shown(rows), c.expected);
    const int amount = c.index == 0 ? 4 : 2;
    long long cents = 0;
    for (int row : c.expected)
        cents += centsOf(rowsOf(c.index)[row][amount]);
    const std::vector<std::string> &summary = rows.summary();
    ASSERT_EQ(summary.size(), rowsOf(c.index)[0].size());
    EXPECT_EQ(summary[1], "合计（已筛选）");
    EXPECT_EQ(summary[amount], std::to_string(c.expected.size()) + "条记录,余额为：" + yuanOf(cents));
}

INSTANTIATE_TEST_SUITE_P(
    LedgerFilter, Filter,
    testing::Values(
        FilterCase{"LettersInEitherCase", 0, "plumber", nullptr, nullptr, nullptr, {0}},
        FilterCase{"ChineseDescription", 0, "王师傅", nullptr, nullptr, nullptr, {0}},
        FilterCase{"Handler", 0, "张丽", nullptr, nullptr, nullptr, {1, 3}},
        FilterCase{"Category", 0, "午餐", nullptr, nullptr, nullptr, {0, 4}},
        FilterCase{"PercentAndQuoteAreLiteral", 0, "50% 预付 o'b", nullptr, nullptr, nullptr, {3}},
        FilterCase{"NotInDatesOrAmounts", 0, "2024", nullptr, nullptr, nullptr, {}},
        FilterCase{"NotInTheAmount", 0, "35", nullptr, nullptr, nullptr, {}},
        FilterCase{"DigitsOnlyInTextCells", 0, "5", nullptr, nullptr, nullptr, {3}},
        FilterCase{"NotAcrossTwoCells", 0, "员存入", nullptr, nullptr, nullptr, {}},
        FilterCase{"NotInTheTypeColumn", 0, "收", nullptr, nullptr, nullptr, {}},
        FilterCase{"Expenses", 0, nullptr, "付", nullptr, nullptr, {0, 3, 4}},
        FilterCase{"Deposits", 0, nullptr, "存", nullptr, nullptr, {2}},
        FilterCase{"AmountBoundsIncluded", 0, nullptr, nullptr, "35.5", "200", {0, 3, 5}},
        FilterCase{"LeastOnly", 0, nullptr, nullptr, "1000", nullptr, {1, 2}},
        FilterCase{"AllTogether", 0, "管理员", "付", "10", "100", {0}},
        FilterCase{"Nothing", 0, "无此记录", nullptr, nullptr, nullptr, {}},
        FilterCase{"CashOutgoingBySize", 4, nullptr, nullptr, "30", "40", {0}},
        FilterCase{"CashType", 4, nullptr, "存", nullptr, nullptr, {2}},
        FilterCase{"CashCategory", 4, "钱", nullptr, nullptr, nullptr, {1, 2}}));

// The investment ledger has no type column: a started investment came from
// an expense, a finished one from an income; its summary sums three columns.
TEST(LedgerFilter, InvestmentsByTheirEntryType)
{
    const ledger::LedgerTable table = tableOf(5, kInvest);
    ledger::ShownRows rows;
    rows.setTable(&table);
    rows.setFilter({"", "收", {}, {}});
    EXPECT_EQ(shown(rows), std::vector<int>{1});
    EXPECT_EQ(rows.summary(),
              (std::vector<std::string>{"", "合计（已筛选）", "1条记录", "￥-1000.00", "￥1100.00", "￥100.00", "", ""}));
    rows.setFilter({"", "付", {}, {}});
    EXPECT_EQ(shown(rows), std::vector<int>{0});
    // Without a filter the loaded summary row stands as it was loaded.
    rows.setFilter({});
    EXPECT_EQ(rows.summary(), table.summary);
    EXPECT_EQ(rows.count(), 2);
}

// Typing on narrows the rows already shown (looking into their cells when
// they are few); taking characters back, or widening a bound, must look at
// every row again.
TEST(LedgerFilter, NarrowingAndWideningAgreeWithAFreshFilter)
{
    Rows many;
    for (int copy = 0; copy < 8; ++copy)
        many.insert(many.end(), kJournal.begin(), kJournal.end());
    const ledger::LedgerTable table = tableOf(0, many);
    const std::vector<ledger::RowFilter> steps = {
        {"王", "", {}, {}},        {"王师", "", {}, {}},       {"王师傅", "", {}, {}},   {"师傅", "", {}, {}},
        {"管", "", {}, {}},        {"管理", "", {}, {}},       {"管理员", "付", {}, {}}, {"管理员x", "付", {}, {}},
        {"管理员", "付", {}, {}}, {"管理员", "", {}, {}},       {"", "", money("100"), {}},
        {"", "", money("200"), {}}, {"", "", money("50"), {}}, {"", "", money("50"), money("150")},
        {"", "", money("50"), {}},  {"P", "", {}, {}},          {"Pl", "", {}, {}},        {"", "", {}, {}}};
    ledger::ShownRows typed;
    typed.setTable(&table);
    for (const ledger::RowFilter &step : steps) {
        typed.setFilter(step);
        ledger::ShownRows fresh;
        fresh.setTable(&table);
        fresh.setFilter(step);
        EXPECT_EQ(shown(typed), shown(fresh)) << step.text << " " << step.type;
        EXPECT_EQ(typed.summary(), fresh.summary()) << step.text;
    }
}

struct SortCase {
    const char *name;
    int column;
    bool descending;
    const char *type;
    std::vector<int> expected;
};

void PrintTo(const SortCase &c, std::ostream *out) { *out << c.name; }

class Sort : public testing::TestWithParam<SortCase> {};

TEST_P(Sort, OrdersTheShownRows)
{
    const SortCase &c = GetParam();
    const ledger::LedgerTable table = tableOf(0, kJournal);
    ledger::ShownRows rows;
    rows.setTable(&table);
    rows.setFilter({"", c.type ? c.type : "", {}, {}});
    rows.setOrder({c.column, c.descending});
    EXPECT_EQ(shown(rows), c.expected);
    // The summary row still counts what is shown, whatever the order.
    if (!c.type) {
        EXPECT_EQ(rows.summary(), table.summary);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LedgerFilter, Sort,
    testing::Values(SortCase{"AmountsAsNumbers", 4, false, nullptr, {4, 0, 3, 5, 2, 1}},
                    SortCase{"AmountsDescending", 4, true, nullptr, {1, 2, 5, 3, 0, 4}},
                    SortCase{"NumbersAsNumbers", 0, false, nullptr, {5, 1, 2, 4, 0, 3}},
                    SortCase{"DatesAsDates", 1, false, nullptr, {3, 5, 2, 1, 0, 4}},
                    SortCase{"DatesDescending", 1, true, nullptr, {4, 0, 1, 2, 5, 3}},
                    SortCase{"TiesKeepTheLoadOrder", 5, false, nullptr, {1, 3, 0, 2, 4, 5}},
                    SortCase{"TiesKeepTheLoadOrderReversed", 5, true, nullptr, {0, 2, 4, 5, 1, 3}},
                    SortCase{"FilteredAndSorted", 4, true, "付", {3, 0, 4}},
                    SortCase{"NoColumnIsTheLoadOrder", -1, false, nullptr, {0, 1, 2, 3, 4, 5}}));

// Sums are taken of the amounts as written, not of binary fractions near
// them: 2.675 shows 2.68, filtered or not.
TEST(LedgerFilter, SumsAreExactToTheCent)
{
    const ledger::LedgerTable one = tableOf(0, {{"1", "2024/05/06 10:00", "付 ", "午餐 ", "2.675", "管理员", "a"}});
    EXPECT_EQ(one.summary[4], "1条记录,余额为：￥2.68");
    const ledger::LedgerTable two = tableOf(0, {{"1", "2024/05/06 10:00", "付 ", "午餐 ", "2.675", "管理员", "a"},
                                                {"2", "2024/05/06 10:00", "付 ", "午餐 ", "1.005", "管理员", "b"}});
    ledger::ShownRows rows;
    rows.setTable(&two);
    rows.setFilter({"b", "", {}, {}});
    EXPECT_EQ(rows.summary()[4], "1条记录,余额为：￥1.01");
    rows.setFilter({"a", "", {}, {}});
    EXPECT_EQ(rows.summary()[4], "1条记录,余额为：￥2.68");
}

// The wide search finds what the plain one finds, wherever a match stands
// against the blocks it compares at once (start, end, across, the tail).
TEST(LedgerFilter, ByteSearchFindsWhatAPlainSearchFinds)
{
    std::mt19937 random(7);
    const std::string alphabet = "ab\xe7\xbd\x91";
    for (int round = 0; round < 3000; ++round) {
        std::string hay(random() % 70, 'a');
        for (char &c : hay)
            c = alphabet[random() % alphabet.size()];
        std::string needle(1 + random() % 4, 'a');
        for (char &c : needle)
            c = alphabet[random() % alphabet.size()];
        const std::size_t from = random() % (hay.size() + 2);
        ASSERT_EQ(ledger::findBytes(hay, needle, from), std::string_view(hay).find(needle, from))
            << hay << " / " << needle << " from " << from;
    }
}

// A reloaded table keeps the filter and the order; the rows are those of
// the new table.
TEST(LedgerFilter, ANewTableKeepsFilterAndOrder)
{
    ledger::LedgerTable table = tableOf(0, kJournal);
    ledger::ShownRows rows;
    rows.setTable(&table);
    rows.setFilter({"", "付", {}, {}});
    rows.setOrder({4, false});
    EXPECT_EQ(shown(rows), (std::vector<int>{4, 0, 3}));
    table.removeRow(4);
    rows.setTable(&table);
    EXPECT_EQ(shown(rows), (std::vector<int>{0, 3}));
    EXPECT_EQ(rows.summary()[4], "2条记录,余额为：￥155.75");
    // An empty load shows nothing, not even a summary row.
    const ledger::LedgerTable empty(0);
    rows.setTable(&empty);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_TRUE(rows.summary().empty());
}

} // namespace

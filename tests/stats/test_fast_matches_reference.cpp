// The fast computation of the statistics and the reference (the statements
// one by one) give the same rows, byte for byte, on random books.
#include "random_book.h"
#include "row_collector.h"

#include "db/tree_limits.h"
#include "stats/day_statistic.h"
#include "stats/statistics.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using namespace stats;
using stats_test::RandomBook;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

// Every row of a walk as one text, columns and all.
class TextSink : public RowSink {
public:
    void createColumns(const std::vector<Column> &columns) override
    {
        std::string text = "columns";
        for (const Column &c : columns)
            text += "|" + std::string(c.caption) + ":" + std::to_string(c.width);
        rows.push_back(text);
    }
    void addRow(const Row &row) override
    {
        std::string text = std::to_string(static_cast<int>(row.section)) + "|" +
                           std::to_string(static_cast<int>(row.role)) + "|" + std::to_string(row.depth) + "|" +
                           std::to_string(row.level) + "|[" + row.label + "]";
        for (const std::string &cell : row.cells)
            text += "|[" + cell + "]";
        rows.push_back(text);
    }
    std::vector<std::string> rows;
};

struct Walked {
    std::vector<std::string> rows;
    std::string message;
    std::string error;
};

template <typename Run> Walked walk(Run run)
{
    Walked walked;
    TextSink sink;
    try {
        walked.message = run(sink).message;
    } catch (const db::Error &error) {
        walked.error = error.what();
    }
    walked.rows = std::move(sink.rows);
    return walked;
}

// Compares two walks row by row and names the first difference.
void expectSame(const Walked &fast, const Walked &reference)
{
    EXPECT_EQ(fast.error, reference.error);
    EXPECT_EQ(fast.message, reference.message);
    const std::size_t common = std::min(fast.rows.size(), reference.rows.size());
    for (std::size_t i = 0; i < common; ++i)
        if (fast.rows[i] != reference.rows[i]) {
            ADD_FAILURE() << "row " << i << "\n  fast:      " << fast.rows[i] << "\n  reference: " << reference.rows[i];
            return;
        }
    EXPECT_EQ(fast.rows.size(), reference.rows.size())
        << (fast.rows.size() > common ? "fast: " + fast.rows[common] : "reference: " + reference.rows[common]);
}

const Range kRanges[] = {
    {"20070101", "20071231"}, {"20070331", "20070401"}, {"20070401", "20070401"}, {"20070301", "20070331"},
    {"20061115", "20080215"}, {"20080101", "20070101"}, {"20090101", "20091231"}, {"09990101", "20071231"},
    {"2007", "2008"},         {"20060101", "20081231"}, {"20070305", "20070305"},
};
constexpr int kRangesPerBook = 6;
const char *const kFilters[] = {"all", "付", "收", "存", "取"};

class FastMatchesReference : public ::testing::TestWithParam<unsigned> {};

} // namespace

// Six ranges on each of forty books: every statistic of the class query
// window, its sheets, and the day-by-day statistic with every type filter.
TEST_P(FastMatchesReference, EveryStatisticGivesTheSameRows)
{
    TempDatabase t;
    db::Connection &c = t.connection();
    RandomBook(c, GetParam()).write();
    for (int r = 0; r < kRangesPerBook; ++r) {
        const Range &range = kRanges[(GetParam() + 2 * r) % std::size(kRanges)];
        SCOPED_TRACE("range " + range.begin + "-" + range.end);
        for (Kind kind : {Kind::Summary, Kind::Journal, Kind::Bank, Kind::Cash, Kind::Income, Kind::Expense}) {
            SCOPED_TRACE("kind " + std::to_string(static_cast<int>(kind)));
            auto run = [&](Computation computation) {
                return walk([&](RowSink &sink) { return runStatistic(c, kind, range, sink, {computation, nullptr}); });
            };
            expectSame(run(Computation::Fast), run(Computation::Reference));
        }
        auto sheets = [&](Computation computation) {
            return walk([&](RowSink &sink) {
                Statistics statistics(c, range, sink, Output::Sheet, {computation, nullptr});
                statistics.journalSheet();
                statistics.expenseSheet();
                statistics.incomeSheet();
                statistics.bank();
                statistics.cash();
                return Outcome{false, statistics.message()};
            });
        };
        expectSame(sheets(Computation::Fast), sheets(Computation::Reference));
        for (const char *filter : kFilters) {
            SCOPED_TRACE(std::string("days ") + filter);
            auto run = [&](Computation computation) {
                return walk(
                    [&](RowSink &sink) { return runDayStatistic(c, range, filter, sink, {computation, nullptr}); });
            };
            expectSame(run(Computation::Fast), run(Computation::Reference));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Books, FastMatchesReference, ::testing::Range(1u, 41u));

// The fast summary reads each ledger once and each tree once, however many
// categories have entries; the reference sends a statement per category.
TEST(FastStatistics, ReadEachLedgerOnce)
{
    TempDatabase t;
    const char *const categories[] = {"早餐", "午餐", "晚餐", "公交地铁", "打车", "房租", "水电燃气",
                                      "日用品", "医疗", "教育", "娱乐", "通讯"};
    int day = 10;
    for (const char *category : categories) {
        ++day;
        stats_test::post(t.connection(), "2007/03/" + std::to_string(day) + " 10:00", "付", category, "12.5",
                         day % 2 ? "现金银行" : "工商银行");
    }
    stats_test::post(t.connection(), "2007/03/01 10:00", "收", "工资", "900", "工商银行");
    std::size_t sent[2];
    for (Computation computation : {Computation::Fast, Computation::Reference}) {
        StatementLog log;
        TextSink sink;
        runStatistic(t.connection(), Kind::Summary, Range{"20070101", "20071231"}, sink, {computation, nullptr});
        sent[computation == Computation::Reference] = log.statements().size();
    }
    // Per ledger two lookups in its date index and one grouped statement;
    // one statement per tree.
    EXPECT_EQ(sent[0], 3u * 3 + 3);
    EXPECT_GT(sent[1], std::size(categories));
}

// A chain of parent names deeper than the walk goes, or a cycle of them,
// ends at the deepest level with a message; both computations alike.
TEST(FastStatistics, DeepOrCircularTreesEndWithAMessage)
{
    TempDatabase t;
    db::Connection &c = t.connection();
    c.execute("DELETE FROM PayStyle");
    std::string parent = "支出类型";
    std::string fullId = "0000";
    const int depth = db::kMaxTreeDepth + 8;
    for (int level = 1; level <= depth; ++level) {
        const std::string name = "层" + std::to_string(level);
        c.execute("INSERT INTO PayStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) VALUES (" +
                  std::to_string(level) + ",'" + name + "'," + std::to_string(level) + ",0,'" + parent + "','" +
                  fullId + "')");
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04d", level);
        fullId += digits;
        parent = name;
    }
    // A book without the unique key on names: 甲 and 乙 are each other's
    // parent, one level further down each time.
    c.execute("DROP TABLE GetStyle");
    c.execute("CREATE TABLE GetStyle (Num INTEGER, Style TEXT COLLATE RTRIM, nLevel INTEGER, FirstLevel INTEGER, "
              "ParentStyle TEXT COLLATE RTRIM, FullID TEXT COLLATE RTRIM)");
    for (int level = 1; level <= depth; ++level)
        c.execute("INSERT INTO GetStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) VALUES (" +
                  std::to_string(900 + level) + ",'" + (level % 2 ? "甲" : "乙") + "'," + std::to_string(level) +
                  ",0,'" + (level == 1 ? "收入类型" : level % 2 ? "乙" : "甲") + "','0000')");
    c.execute("INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额) VALUES (1,'2007/03/05 10:00','付','层" +
              std::to_string(depth) + "',12.5)");
    c.execute("INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额) VALUES (2,'2007/03/05 10:00','收','甲',3)");
    c.execute("INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额) VALUES (3,'2007/03/05 10:00','收','乙',4)");
    for (Kind kind : {Kind::Expense, Kind::Income}) {
        Walked walked[2];
        for (Computation computation : {Computation::Fast, Computation::Reference})
            walked[computation == Computation::Reference] = walk([&](RowSink &sink) {
                return runStatistic(c, kind, Range{"20070301", "20070331"}, sink, {computation, nullptr});
            });
        expectSame(walked[0], walked[1]);
        EXPECT_EQ(walked[0].message, treeTooDeepMessage()) << static_cast<int>(kind);
    }
    for (Kind kind : {Kind::Expense, Kind::Income}) {
        const Walked walked =
            walk([&](RowSink &sink) { return runStatistic(c, kind, Range{"20070301", "20070331"}, sink); });
        // The columns, the head, then one row per level down to the deepest
        // the walk goes.
        EXPECT_EQ(walked.rows.size(), 2u + db::kMaxTreeDepth);
    }
}

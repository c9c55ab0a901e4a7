#include "row_collector.h"

#include "db/text.h"
#include "setup/tree_store.h"
#include "stats/percent.h"
#include "stats/statistics.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>

using namespace stats;
using stats_test::logged;
using stats_test::percentOf;
using stats_test::post;
using stats_test::RowCollector;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

const Range kMarch{"20070301", "20070331"};

double number(const std::string &text) { return db::leadingNumber(text); }

// Checks no cell of any row shows an endless or undefined share.
void expectNoBrokenPercent(const RowCollector &rows)
{
    for (const Row &row : rows.rows)
        for (const std::string &cell : row.cells) {
            EXPECT_EQ(cell.find("inf"), std::string::npos) << row.label;
            EXPECT_EQ(cell.find("nan"), std::string::npos) << row.label;
        }
}

// Every case runs with both computations; the statements sent are the
// reference's.
class StatisticsTest : public ::testing::TestWithParam<Computation> {
protected:
    db::Connection &c() { return m_database.connection(); }
    bool reference() const { return GetParam() == Computation::Reference; }
    RowCollector run(Kind kind, const Range &range = kMarch)
    {
        RowCollector rows;
        runStatistic(c(), kind, range, rows, RunOptions{GetParam(), nullptr});
        return rows;
    }
    void addNode(setup::TreeKind kind, const std::string &parent, const std::string &name)
    {
        ASSERT_TRUE(setup::addNode(c(), kind, parent, name).done) << name;
    }

    TempDatabase m_database;
};

} // namespace

TEST_P(StatisticsTest, EmptyRangeGivesTheHeadRowsAndTheCashDirections)
{
    post(c(), "2007/02/28 23:59", "付", "午餐", "12"); // the day before the range
    StatementLog log;
    const RowCollector rows = run(Kind::Summary);

    EXPECT_EQ(rows.columnCalls, 1);
    EXPECT_EQ(rows.captions, (std::vector<std::string>{"类型", "金额", "次数", "收付", "百分比"}));
    const std::vector<std::string> expectedPaths = {"流水帐目", "支出费用", "收入类型", "银行帐目", "现金帐目",
                                                    "现金帐目/付", "现金帐目/收", "现金帐目/存", "现金帐目/取"};
    EXPECT_EQ(rows.paths, expectedPaths);
    const std::map<std::string, std::string> headDirection = {
        {"流水帐目", ""}, {"支出费用", "付"}, {"收入类型", "收"}, {"银行帐目", ""}, {"现金帐目", ""}};
    for (const Row &row : rows.rows) {
        if (row.isHead()) {
            EXPECT_EQ(row.depth, 0);
            EXPECT_EQ(row.cells, (std::vector<std::string>{"", "0", headDirection.at(row.label), "100%"}))
                << row.label;
        } else {
            // No cash total: the direction rows carry no percentage cell.
            EXPECT_EQ(row.cells, (std::vector<std::string>{"", "0", ""})) << row.label;
            EXPECT_EQ(row.role, Role::Direction);
        }
    }

    // Nothing in the range: one statement per section, none per node.
    const std::vector<std::string> expected = {
        "SELECT count(1) as nCount,sum(钱额) as nMoney  FROM account  where (Format(日期,'yyyymmdd') between '20070301' and   '20070331')   ",
        "SELECT 帐目类型,收负类型, count(1) as nCount,sum(钱额) as nMoney  FROM account  where (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  group by 帐目类型,收负类型 order by 收负类型 ",
        "SELECT count(1) as nCount,sum(钱额) as nMoney FROM account  where (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  and 收负类型 ='付'  ",
        "\tselect bb.aStyle,count(aa.财务标识) as nCount,sum(钱额) as nMoney  from account aa ,(select\tStyle as aStyle,Style as bStyle,Num as aNum,fullid  from PayStyle  where ParentStyle ='支出类型'  and nLevel=1\tunion all select a.Style as aStyle,b.Style as bStyle ,b.Num as aNum ,b.fullid as fullid \tfrom PayStyle a,PayStyle b where a.Num = val(Mid(b.fullid,5,4)) and a.nLevel=1\tand  a.ParentStyle ='支出类型'  )bb where aa.帐目类型=bb.bStyle and aa.收负类型 ='付' and (Format(aa.日期,'yyyymmdd') between '20070301' and   '20070331')   \tgroup by bb.aStyle  ",
        "select 帐目类型 as aStyle,count(财务标识) as nCount,sum(钱额) as nMoney from  account   where 收负类型 ='付'  and (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  and  帐目类型 not in (select Style   from PayStyle) group by 帐目类型 ",
        "SELECT count(1) as nCount,sum(钱额) as nMoney FROM account where 收负类型 ='收'  and (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  ",
        "\tselect bb.aStyle,count(aa.财务标识) as nCount,sum(钱额) as nMoney  from account aa ,(select\tStyle as aStyle,Style as bStyle,Num as aNum,fullid  from GetStyle  where ParentStyle ='收入类型' and nLevel=1\tunion all select a.Style as aStyle,b.Style as bStyle ,b.Num as aNum ,b.fullid as fullid \tfrom GetStyle a,GetStyle b where a.Num = val(Mid(b.fullid,5,4)) and a.nLevel=1\tand  a.ParentStyle ='收入类型'  )bb where aa.帐目类型=bb.bStyle  and aa.收负类型 ='收' and (Format(aa.日期,'yyyymmdd') between '20070301' and   '20070331')  \tgroup by bb.aStyle  ",
        "select 帐目类型 as aStyle,count(财务标识) as nCount,sum(钱额) as nMoney from  account   where 收负类型 ='收'  and (Format(日期,'yyyymmdd') between '20070301' and   '20070331')  and  帐目类型 not in (select Style   from GetStyle) group by 帐目类型 ",
        "SELECT count(1) as nCount,sum(nMoney) as nMoney FROM BankAccount  where   Format(DTime,'yyyymmdd') between '20070301' and   '20070331'  ",
        "\tselect bb.aStyle,count(aa.Num) as nCount,sum(aa.nMoney) as nMoney  from BankAccount aa ,(select\t BankName as aStyle,BankName as bStyle,Num as aNum,fullid  from Bank  where ParentBank ='我的存款银行' and nLevel=1\tunion all select a.BankName as aStyle,b.BankName as bStyle ,b.Num as aNum ,b.fullid as fullid \tfrom Bank a,Bank b where a.Num = val(Mid(b.fullid,5,4)) and a.nLevel=1\tand  a.ParentBank ='我的存款银行'  )bb where aa.BankName=bb.bStyle and (aa.PayGet ='all' or 'all'='all' )     and (Format(aa.DTime,'yyyymmdd') between '20070301' and   '20070331'  )\tgroup by bb.aStyle  ",
        "SELECT count(1) as nCount,sum(nMoney) as nMoney FROM CashAccount  where   Format(DTime,'yyyymmdd') between '20070301' and   '20070331'  ",
        "SELECT  count(1) as nCount,sum(nMoney) as nMoney FROM CashAccount where PayGet='付'  and (Format(DTime,'yyyymmdd') between '20070301' and   '20070331'  ) ",
        "SELECT  count(1) as nCount,sum(nMoney) as nMoney FROM CashAccount where PayGet='收'  and (Format(DTime,'yyyymmdd') between '20070301' and   '20070331'  ) ",
        "SELECT  count(1) as nCount,sum(nMoney) as nMoney FROM CashAccount where PayGet='存'  and (Format(DTime,'yyyymmdd') between '20070301' and   '20070331'  ) ",
        "SELECT  count(1) as nCount,sum(nMoney) as nMoney FROM CashAccount where PayGet='取'  and (Format(DTime,'yyyymmdd') between '20070301' and   '20070331'  ) ",
    };
    std::vector<std::string> expectedLog;
    for (const std::string &statement : expected)
        expectedLog.push_back(logged(statement));
    if (reference()) {
        EXPECT_EQ(log.statements(), expectedLog);
    }
}

// The expense and income sections: every category with entries in the range
// carries the entries of its whole branch; nothing else has a row.
TEST_P(StatisticsTest, CategoriesRollUpAlongTheirTrees)
{
    addNode(setup::TreeKind::Expense, "午餐", "工作餐");
    addNode(setup::TreeKind::Expense, "餐饮", "O'Neil小吃");
    struct Entry {
        const char *date;
        const char *type;
        const char *category;
        double amount;
        const char *path; // below the head row
    };
    const Entry entries[] = {
        {"2007/03/05 10:00", "付", "午餐", 12.5, "餐饮/午餐"},
        {"2007/03/06 12:00", "付", "工作餐", 20, "餐饮/午餐/工作餐"},
        {"2007/03/06 07:00", "付", "早餐", 5, "餐饮/早餐"},
        {"2007/03/11 15:00", "付", "O'Neil小吃", 3.5, "餐饮/O'Neil小吃"},
        {"2007/03/07 21:00", "付", "打车", 30, "交通/打车"},
        {"2007/03/08 16:00", "付", "零食", 7, "零食"},
        {"2007/03/09 16:00", "付", "零食 ", 7, "零食"},
        {"2007/03/10 10:30", "付", "股票", 10000, "投资/股票"},
        {"2007/03/20 14:30", "收", "股票", 11200, "投资/股票"},
        {"2007/03/10 10:00", "收", "工资", 8500, "工资"},
        {"2007/03/31 23:59", "收", "稿费", 300, "稿费"},
        {"2007/02/28 09:00", "付", "房租", 2500, nullptr},  // before the range
        {"2007/04/01 00:00", "付", "午餐", 99, nullptr},    // after it
        {"2007/03/15 09:00", "存", "存钱", 400, nullptr},   // neither income nor expense
    };
    for (const Entry &e : entries)
        post(c(), e.date, e.type, e.category, db::numberToText(e.amount),
             std::string(e.type) == "存" ? "工商银行" : "现金银行", "10000");

    for (const auto &[kind, head, type] : {std::tuple{Kind::Expense, "支出费用", "付"},
                                           std::tuple{Kind::Income, "收入类型", "收"}}) {
        SCOPED_TRACE(head);
        // Sums and counts of every path prefix, computed from the table above.
        std::map<std::string, std::pair<double, int>> expected;
        double total = 0;
        int count = 0;
        for (const Entry &e : entries) {
            if (!e.path || std::string(e.type) != type)
                continue;
            total += e.amount;
            ++count;
            std::string path = e.path;
            for (std::size_t cut = 0; cut != std::string::npos;) {
                cut = path.find('/', cut + 1);
                auto &[sum, n] = expected[std::string(head) + "/" + path.substr(0, cut)];
                sum += e.amount;
                ++n;
            }
        }
        const RowCollector rows = run(kind);
        ASSERT_FALSE(rows.rows.empty());
        const Row &headRow = rows.rows.front();
        EXPECT_EQ(headRow.label, head);
        EXPECT_DOUBLE_EQ(number(headRow.cell(0)), total);
        EXPECT_EQ(headRow.cell(1), std::to_string(count));
        EXPECT_EQ(headRow.cell(2), type);
        EXPECT_EQ(headRow.cell(3), "100%");

        std::set<std::string> shown(rows.paths.begin() + 1, rows.paths.end());
        std::set<std::string> wanted;
        for (const auto &[path, figures] : expected)
            wanted.insert(path);
        EXPECT_EQ(shown, wanted);
        for (const auto &[path, figures] : expected) {
            const Row *row = rows.find(path);
            ASSERT_NE(row, nullptr) << path;
            EXPECT_DOUBLE_EQ(number(row->cell(0)), figures.first) << path;
            EXPECT_EQ(row->cell(1), std::to_string(figures.second)) << path;
            EXPECT_EQ(row->cell(2), type) << path;
            EXPECT_EQ(row->cell(3), percentOf(figures.first, total)) << path;
        }
    }
    // The largest branch first; an uncategorised type is listed once, as a
    // row of its own kind, after the tree.
    const RowCollector expense = run(Kind::Expense);
    EXPECT_EQ(expense.childrenOf("支出费用"), (std::vector<std::string>{"支出费用/投资", "支出费用/餐饮", "支出费用/交通",
                                                                      "支出费用/零食"}));
    EXPECT_EQ(expense.childrenOf("支出费用/餐饮"),
              (std::vector<std::string>{"支出费用/餐饮/午餐", "支出费用/餐饮/早餐", "支出费用/餐饮/O'Neil小吃"}));
    EXPECT_EQ(expense.rows.back().role, Role::Uncategorised);
    EXPECT_EQ(db::trim(expense.rows.back().label), "零食");
    EXPECT_EQ(expense.find("支出费用/餐饮/午餐/工作餐")->level, 3);
    EXPECT_EQ(expense.find("支出费用/餐饮/午餐/工作餐")->depth, 3);
}

// A database made before the statistics' indexes existed: the joins must
// still match "午餐 " in the journal with 午餐 in the tree.
TEST_P(StatisticsTest, RollUpsMatchWithoutTheirIndexes)
{
    for (const char *index : {"account_style", "account_type", "BankAccount_BankName", "BankAccount_PayGet"})
        c().execute(std::string("DROP INDEX ") + index);
    addNode(setup::TreeKind::Bank, "我的存款银行", "工商银行");
    post(c(), "2007/03/05 10:00", "付", "午餐", "12.5", "工商银行");
    post(c(), "2007/03/06 10:00", "付", "早餐", "2", "工商银行");
    post(c(), "2007/03/06 11:00", "收", "工资", "100", "工商银行");
    const RowCollector rows = run(Kind::Summary);
    ASSERT_NE(rows.find("支出费用/餐饮"), nullptr);
    EXPECT_EQ(rows.find("支出费用/餐饮")->cell(0), "14.5");
    EXPECT_EQ(rows.find("支出费用/餐饮/午餐")->cell(0), "12.5");
    EXPECT_EQ(rows.find("收入类型/工资")->cell(1), "1");
    EXPECT_EQ(rows.find("银行帐目/工商银行")->cell(0), "85.5");
}

TEST_P(StatisticsTest, BankAndCashFiguresKeepTheirSigns)
{
    addNode(setup::TreeKind::Bank, "我的存款银行", "工商银行");
    addNode(setup::TreeKind::Bank, "工商银行", "工行储蓄卡");
    addNode(setup::TreeKind::Bank, "我的存款银行", "建设银行");
    post(c(), "2007/03/05 09:00", "付", "午餐", "100", "工行储蓄卡");
    post(c(), "2007/03/06 09:00", "收", "工资", "5000", "工商银行");
    post(c(), "2007/03/07 09:00", "存", "存钱", "500", "工行储蓄卡");
    post(c(), "2007/03/08 09:00", "取", "取钱", "200", "工商银行");
    post(c(), "2007/03/10 09:00", "付", "早餐", "8");
    c().execute("INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,Details,Operator,BankName,AccNum) VALUES "
                "(90,'2007/03/09 10:00','付','午餐',-30,'','管理员','旧存折',90)");
    const double bankTotal = -100 + 5000 + 500 - 200 - 30;

    struct Expected {
        const char *path;
        double amount;
        const char *count;
        const char *direction;
        Role role;
    };
    const Expected bank[] = {
        {"银行帐目", bankTotal, "5", "", Role::Head},
        {"银行帐目/付", -130, "2", "付", Role::Direction},
        {"银行帐目/付/工商银行", -100, "1", "付", Role::Category},
        {"银行帐目/付/工商银行/工行储蓄卡", -100, "1", "付", Role::Category},
        {"银行帐目/付/旧存折", -30, "1", "付", Role::OutsideTree},
        {"银行帐目/收", 5000, "1", "收", Role::Direction},
        {"银行帐目/收/工商银行", 5000, "1", "收", Role::Category},
        {"银行帐目/存", 500, "1", "存", Role::Direction},
        {"银行帐目/存/工商银行", 500, "1", "存", Role::Category},
        {"银行帐目/存/工商银行/工行储蓄卡", 500, "1", "存", Role::Category},
        {"银行帐目/取", -200, "1", "取", Role::Direction},
        {"银行帐目/取/工商银行", -200, "1", "取", Role::Category},
    };
    const RowCollector bankRows = run(Kind::Bank);
    ASSERT_EQ(bankRows.rows.size(), std::size(bank));
    for (std::size_t i = 0; i < std::size(bank); ++i) {
        SCOPED_TRACE(bank[i].path);
        EXPECT_EQ(bankRows.paths[i], bank[i].path);
        const Row &row = bankRows.rows[i];
        EXPECT_EQ(row.role, bank[i].role);
        EXPECT_DOUBLE_EQ(number(row.cell(0)), bank[i].amount);
        EXPECT_EQ(row.cell(1), bank[i].count);
        EXPECT_EQ(row.cell(2), bank[i].direction);
        EXPECT_EQ(row.cell(3), row.isHead() ? "100%" : percentOf(bank[i].amount, bankTotal));
    }

    // Under the summary the banks are summed over every direction, with an
    // empty direction cell; banks outside the tree are not listed there.
    const RowCollector summary = run(Kind::Summary);
    EXPECT_EQ(summary.childrenOf("银行帐目"), std::vector<std::string>{"银行帐目/工商银行"});
    const Row *icbc = summary.find("银行帐目/工商银行");
    ASSERT_NE(icbc, nullptr);
    EXPECT_DOUBLE_EQ(number(icbc->cell(0)), -100 + 5000 + 500 - 200);
    EXPECT_EQ(icbc->cell(1), "4");
    EXPECT_EQ(icbc->cell(2), "");
    EXPECT_EQ(icbc->cell(3), percentOf(5200, bankTotal));
    const Row *card = summary.find("银行帐目/工商银行/工行储蓄卡");
    ASSERT_NE(card, nullptr);
    EXPECT_DOUBLE_EQ(number(card->cell(0)), 400);
    EXPECT_EQ(card->cell(2), "");

    // Cash: money out negative, in positive; the total is negative here.
    const double cashTotal = -500 + 200 - 8;
    StatementLog log;
    const RowCollector cash = run(Kind::Cash);
    // Only the cash ledger is read: nothing of the bank ledger stands below cash.
    for (const std::string &statement : log.statements())
        EXPECT_EQ(statement.find("BankAccount"), std::string::npos) << statement;
    EXPECT_EQ(cash.paths, (std::vector<std::string>{"现金帐目", "现金帐目/付", "现金帐目/收", "现金帐目/存",
                                                     "现金帐目/取"}));
    EXPECT_DOUBLE_EQ(number(cash.rows[0].cell(0)), cashTotal);
    const std::pair<double, const char *> directions[] = {{-8, "1"}, {0, "0"}, {-500, "1"}, {200, "1"}};
    for (int i = 0; i < 4; ++i) {
        const Row &row = cash.rows[i + 1];
        EXPECT_DOUBLE_EQ(number(row.cell(0)), directions[i].first) << row.label;
        EXPECT_EQ(row.cell(1), directions[i].second) << row.label;
        EXPECT_EQ(row.cell(2), "") << row.label;
        EXPECT_EQ(row.cell(3), percentOf(directions[i].first, cashTotal) == "-0.00%"
                                   ? std::string("0.00%")
                                   : percentOf(directions[i].first, cashTotal))
            << row.label;
    }
    EXPECT_EQ(cash.rows[2].cell(0), ""); // no cash came in: an empty sum
}

TEST_P(StatisticsTest, ZeroTotalsGiveEmptyPercentages)
{
    addNode(setup::TreeKind::Bank, "我的存款银行", "工商银行");
    post(c(), "2007/04/02 09:00", "存", "存钱", "300", "工商银行");
    post(c(), "2007/04/03 09:00", "取", "取钱", "300", "工商银行");
    post(c(), "2007/04/04 09:00", "付", "午餐", "0");
    const Range april{"20070401", "20070430"};
    for (Kind kind : {Kind::Summary, Kind::Bank, Kind::Cash, Kind::Expense}) {
        const RowCollector rows = run(kind, april);
        expectNoBrokenPercent(rows);
        for (const Row &row : rows.rows) {
            if (row.section == Section::Journal || row.isHead() || row.cells.size() < 4)
                continue; // the journal total is 600
            EXPECT_EQ(row.cell(3), "") << row.label << " " << static_cast<int>(kind);
        }
    }
    const RowCollector bank = run(Kind::Bank, april);
    EXPECT_EQ(bank.rows.front().cell(0), "0");
    EXPECT_DOUBLE_EQ(number(bank.find("银行帐目/存/工商银行")->cell(0)), 300);
    // The cash total is "0", not empty: the direction rows keep an empty cell.
    const RowCollector cash = run(Kind::Cash, april);
    EXPECT_EQ(cash.find("现金帐目/存")->cells.size(), 4u);
}

TEST_P(StatisticsTest, JournalListsTypesByDirection)
{
    post(c(), "2007/03/05 09:00", "付", "午餐", "10");
    post(c(), "2007/03/06 09:00", "收", "工资", "100");
    post(c(), "2007/03/07 09:00", "存", "存钱", "50", "工商银行");
    post(c(), "2007/03/08 09:00", "取", "取钱", "20", "工商银行");
    post(c(), "2007/03/09 09:00", "付", "午餐", "5");
    StatementLog log;
    const RowCollector rows = run(Kind::Journal);
    ASSERT_EQ(rows.rows.size(), 5u);
    EXPECT_EQ(rows.rows[0].label, "流水帐目");
    EXPECT_EQ(rows.rows[0].cell(0), "185"); // income and expense alike
    const std::vector<std::pair<std::string, double>> expected = {
        {"午餐", 15}, {"取钱", 20}, {"存钱", 50}, {"工资", 100}};
    const char *directions[] = {"付", "取", "存", "收"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Row &row = rows.rows[i + 1];
        EXPECT_EQ(db::trim(row.label), expected[i].first);
        EXPECT_EQ(db::trim(row.cell(2)), directions[i]);
        EXPECT_DOUBLE_EQ(number(row.cell(0)), expected[i].second);
        EXPECT_EQ(row.cell(3), percentOf(expected[i].second, 185));
    }
    EXPECT_EQ(rows.rows[1].cell(1), "2");
    if (!reference())
        return;
    ASSERT_EQ(log.statements().size(), 2u);
    EXPECT_EQ(log.statements()[1],
              "SELECT 帐目类型,收负类型, count(1) as nCount,sum(钱额) as nMoney FROM account where "
              "Format(日期,'yyyymmdd') between '20070301' and   '20070331'  group by 帐目类型,收负类型  order by 收负类型  ");
}

TEST_P(StatisticsTest, BeginAfterEndFindsNothing)
{
    post(c(), "2007/03/05 09:00", "付", "午餐", "10");
    const RowCollector rows = run(Kind::Summary, Range{"20070331", "20070301"});
    EXPECT_EQ(rows.rows.size(), 9u);
    EXPECT_EQ(rows.rows[0].cell(1), "0");
}

TEST_P(StatisticsTest, FailingStatementKeepsTheRowsBeforeIt)
{
    post(c(), "2007/03/05 09:00", "付", "午餐", "10");
    c().execute("DROP TABLE GetStyle");
    RowCollector rows;
    EXPECT_THROW(runStatistic(c(), Kind::Summary, kMarch, rows, RunOptions{GetParam(), nullptr}), db::Error);
    EXPECT_NE(rows.find("支出费用/餐饮/午餐"), nullptr);
    EXPECT_EQ(rows.paths.back(), "收入类型"); // its head ran; the roll-up failed
    EXPECT_EQ(rows.find("银行帐目"), nullptr);
}

TEST_P(StatisticsTest, SheetsUseTheirOwnStatementsAndNoColumns)
{
    post(c(), "2007/03/05 09:00", "付", "午餐", "10");
    RowCollector rows;
    StatementLog log;
    Statistics sheet(c(), kMarch, rows, Output::Sheet, RunOptions{GetParam(), nullptr});
    sheet.journalSheet();
    sheet.expenseSheet();
    sheet.incomeSheet();
    sheet.bank();
    EXPECT_EQ(rows.columnCalls, 0);
    EXPECT_EQ(rows.rows[0].label, " 流水帐 ");
    EXPECT_NE(rows.find("支出费用/餐饮/午餐"), nullptr);
    EXPECT_NE(rows.find("收入费用"), nullptr);
    EXPECT_NE(rows.find("银行帐目/取"), nullptr);
    EXPECT_EQ(sheet.expenseTotal(), "10");
    if (!reference())
        return;
    const std::vector<std::string> statements = log.statements();
    EXPECT_EQ(statements[1], "SELECT 帐目类型,收负类型, count(1) as nCount,sum(钱额) as nMoney FROM account  where "
                             "Format(日期,'yyyymmdd') between '20070301' and   '20070331'   group by 帐目类型,收负类型  ");
    EXPECT_EQ(statements[2], "SELECT count(1) as nCount,sum(钱额) as nMoney FROM account where 收负类型 ='付'  and "
                             "(Format(日期,'yyyymmdd') between '20070301' and   '20070331')    ");
}

// ---- percentages ----

struct PercentCase {
    const char *amount;
    const char *total;
    const char *share;    // float product
    const char *dayShare; // double throughout
};

void PrintTo(const PercentCase &p, std::ostream *os) { *os << '"' << p.amount << "\" of \"" << p.total << '"'; }

class PercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTest, Shares)
{
    const PercentCase &p = GetParam();
    EXPECT_EQ(sharePercent(p.amount, p.total), p.share);
    EXPECT_EQ(dayPercent(p.amount, p.total), p.dayShare);
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentTest,
                         ::testing::Values(PercentCase{"25", "100", "25.00%", "25.00%"},
                                           PercentCase{"1", "3", "33.33%", "33.33%"},
                                           PercentCase{"", "100", "0.00%", "0.00%"},
                                           PercentCase{"5", "", "", ""},
                                           PercentCase{"5", "0", "", ""},
                                           PercentCase{"5", "abc", "", ""},
                                           PercentCase{"-130", "5170", "-2.51%", "-2.51%"},
                                           PercentCase{"", "-308", "0.00%", "0.00%"},
                                           PercentCase{" 12.5abc", "50", "25.00%", "25.00%"},
                                           // 10000000100 is 1e10 as a float.
                                           PercentCase{"100000001", "3", "3333333333.33%", "3333333366.67%"}));

INSTANTIATE_TEST_SUITE_P(Computations, StatisticsTest,
                         ::testing::Values(Computation::Fast, Computation::Reference),
                         [](const ::testing::TestParamInfo<Computation> &info) {
                             return info.param == Computation::Fast ? std::string("Fast") : std::string("Reference");
                         });

// ---- sums as shown ----

// Amounts added as doubles leave noise in the last digits of a large sum
// ("43736698.5899999"); the statistics show the sum of the amounts as typed.
TEST_P(StatisticsTest, SumsShowTheirCents)
{
    db::Transaction transaction(c());
    double plain = 0;
    std::uint64_t state = 1;
    for (int i = 1; i <= 5000; ++i) {
        state = (state * 1103515245 + 12345) % 2147483648;
        const long long cents = 300 + static_cast<long long>(state % 300000);
        const std::string amount = std::to_string(cents / 100) + "." + std::to_string(cents % 100 / 10) +
                                   std::to_string(cents % 10);
        plain += db::leadingNumber(amount);
        c().execute("INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额) VALUES (" + std::to_string(i) +
                    ",'2007/03/05 10:00','付','午餐'," + amount + ")");
    }
    transaction.commit();
    ASSERT_EQ(db::numberToText(plain), "7541288.75999999"); // the noise of adding doubles
    const RowCollector rows = run(Kind::Journal);
    EXPECT_EQ(rows.rows[0].cell(0), "7541288.76");
    EXPECT_EQ(rows.rows[1].cell(0), "7541288.76");
}

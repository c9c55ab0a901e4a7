#include "row_collector.h"
#include "workbook_reader.h"

#include "db/text.h"
#include "setup/tree_store.h"
#include "stats/day_statistic.h"
#include "stats/export.h"
#include "stats/statistics.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace stats;
using stats_test::post;
using stats_test::readWorkbook;
using stats_test::RowCollector;
using stats_test::Workbook;
using testing_support::makeTempFolder;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace fs = std::filesystem;

namespace {

const Range kMarch{"20070301", "20070331"};
const std::vector<std::string> kHeader = {"帐目类型", "钱额", "次数", "收付", "百分比"};
using Rows = std::vector<std::vector<std::string>>;

std::size_t leadingBlanks(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? text.size() : first;
}

class ExportTest : public ::testing::Test {
protected:
    ~ExportTest() override { fs::remove_all(m_folder); }
    db::Connection &c() { return m_database.connection(); }
    std::string file(const std::string &name = "统计.xlsx") const { return (m_folder / name).string(); }

    Workbook exported(Kind kind, const Range &range = kMarch)
    {
        const db::Result result = exportStatistic(c(), kind, range, file());
        EXPECT_TRUE(result.done) << result.message;
        Workbook book = readWorkbook(file());
        EXPECT_EQ(book.error, "");
        return book;
    }
    RowCollector listed(Kind kind, const Range &range = kMarch)
    {
        RowCollector rows;
        runStatistic(c(), kind, range, rows);
        return rows;
    }
    void addNode(setup::TreeKind kind, const std::string &parent, const std::string &name)
    {
        ASSERT_TRUE(setup::addNode(c(), kind, parent, name).done) << name;
    }
    // A month with something in every section: a three-level expense
    // branch, uncategorised types on both sides, two levels of banks, a bank
    // ledger row whose account names no node, and cash in every direction.
    void fillMarch()
    {
        addNode(setup::TreeKind::Expense, "午餐", "工作餐");
        addNode(setup::TreeKind::Bank, "我的存款银行", "工商银行");
        addNode(setup::TreeKind::Bank, "工商银行", "工行储蓄卡");
        post(c(), "2007/03/05 12:00", "付", "午餐", "20");
        post(c(), "2007/03/05 12:30", "付", "工作餐", "15.5", "工行储蓄卡");
        post(c(), "2007/03/06 08:00", "付", "早餐", "6");
        post(c(), "2007/03/07 17:00", "付", "打车", "30");
        post(c(), "2007/03/08 16:00", "付", "零食", "7"); // no such expense category
        post(c(), "2007/03/10 10:00", "收", "工资", "5000", "工商银行");
        post(c(), "2007/03/11 10:00", "收", "红包", "200"); // no such income category
        post(c(), "2007/03/12 09:00", "存", "存钱", "800", "工行储蓄卡");
        post(c(), "2007/03/13 09:00", "取", "取钱", "300", "工商银行");
        post(c(), "2007/04/01 09:00", "付", "午餐", "99"); // after the range
        c().execute("INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,Details,Operator,BankName,AccNum) VALUES "
                    "(90,'2007/03/09 10:00','付','午餐',-30,'','管理员','旧存折',90)");
    }

    TempDatabase m_database;
    fs::path m_folder = makeTempFolder();
};

// What a row of the list becomes in its sheet: the label with the blanks
// that carry its depth, the direction column as the sheet writes it.
std::vector<std::string> sheetRow(const Row &row)
{
    std::string label = row.label;
    std::string direction = row.cell(2);
    std::string percent = row.isHead() ? "100%" : row.cell(3);
    switch (row.role) {
    case Role::Category:
        label = std::string(row.level + (row.section == Section::Bank ? 2 : 1), ' ') + label;
        break;
    case Role::Uncategorised:
        label = std::string(row.section == Section::Income ? 2 : 1, ' ') + label;
        break;
    case Role::Direction:
        label = " " + label;
        direction = row.section == Section::Cash ? row.label : "";
        break;
    case Role::OutsideTree:
        label = "   " + label;
        direction = ""; // its statement names no direction column
        break;
    case Role::Detail:
        label = "   " + label;
        break;
    default:
        break;
    }
    return {label, row.cell(0), row.cell(1), direction, percent};
}

} // namespace

// The summary writes five sheets, each the walk of its list statistic: the
// same figures in the same order, the depth shown by leading blanks.
TEST_F(ExportTest, SummaryWritesFiveSheetsWithTheListsFigures)
{
    fillMarch();
    const Workbook book = exported(Kind::Summary);
    EXPECT_EQ(book.names(), (std::vector<std::string>{"AccSum", "GetSum", "PaySum", "BankSum", "CashSum"}));
    for (const Workbook::Sheet &sheet : book.sheets) {
        SCOPED_TRACE(sheet.name);
        ASSERT_FALSE(sheet.rows.empty());
        EXPECT_EQ(sheet.rows[0], kHeader);
        EXPECT_TRUE(sheet.allText);
        // Every column wide enough for its longest text.
        for (const char *letter : {"A", "B", "C", "D", "E"})
            EXPECT_GE(sheet.widths.count(letter) ? sheet.widths.at(letter) : 0, 8) << letter;
    }

    const std::pair<const char *, Kind> walks[] = {
        {"GetSum", Kind::Income}, {"PaySum", Kind::Expense}, {"BankSum", Kind::Bank}, {"CashSum", Kind::Cash}};
    for (const auto &[name, kind] : walks) {
        SCOPED_TRACE(name);
        const RowCollector list = listed(kind);
        Rows expected;
        for (const Row &row : list.rows)
            expected.push_back(sheetRow(row));
        expected.front()[0] = list.rows.front().label == kIncomeHead ? kIncomeSheetHead : list.rows.front().label;
        const Rows written(book.sheet(name)->rows.begin() + 1, book.sheet(name)->rows.end());
        EXPECT_EQ(written, expected);
    }
    // The journal sheet is not ordered: compare its rows as a set.
    const RowCollector journal = listed(Kind::Journal);
    std::multiset<std::vector<std::string>> expectedJournal;
    for (const Row &row : journal.rows)
        expectedJournal.insert(sheetRow(row));
    expectedJournal.erase(expectedJournal.find(sheetRow(journal.rows.front())));
    expectedJournal.insert({" 流水帐 ", journal.rows.front().cell(0), journal.rows.front().cell(1), "", "100%"});
    const Workbook::Sheet &acc = *book.sheet("AccSum");
    EXPECT_EQ(std::multiset<std::vector<std::string>>(acc.rows.begin() + 1, acc.rows.end()), expectedJournal);

    // The expense sheet in full: one blank more per level, Chinese intact.
    const Rows pay = {kHeader,
                      {"支出费用", "78.5", "5", "付", "100%"},
                      {"  餐饮", "41.5", "3", "付", "52.87%"},
                      {"   午餐", "35.5", "2", "付", "45.22%"},
                      {"    工作餐", "15.5", "1", "付", "19.75%"},
                      {"   早餐", "6", "1", "付", "7.64%"},
                      {"  交通", "30", "1", "付", "38.22%"},
                      {"   打车", "30", "1", "付", "38.22%"},
                      {" 零食 ", "7", "1", "付", "8.92%"}};
    EXPECT_EQ(book.sheet("PaySum")->rows, pay);
    // Amounts and counts of the cash sheet in their own columns.
    const Rows cash = {kHeader,
                       {"现金帐目", "-363", "7", "", "100%"},
                       {" 付", "-63", "4", "付", "17.36%"},
                       {" 收", "200", "1", "收", "-55.10%"},
                       {" 存", "-800", "1", "存", "220.39%"},
                       {" 取", "300", "1", "取", "-82.64%"}};
    EXPECT_EQ(book.sheet("CashSum")->rows, cash);
    // A bank of the tree under a direction: its level plus two blanks.
    const Workbook::Sheet &bank = *book.sheet("BankSum");
    EXPECT_EQ(bank.rows[3], (std::vector<std::string>{"   工商银行", "-15.5", "1", "付", "-0.28%"}));
    EXPECT_EQ(bank.rows[4], (std::vector<std::string>{"    工行储蓄卡", "-15.5", "1", "付", "-0.28%"}));
    EXPECT_EQ(bank.rows[5], (std::vector<std::string>{"   旧存折", "-30", "1", "", "-0.55%"}));
}

// A range without entries: the head rows alone, and below the bank and cash
// heads the four directions with empty amounts.
TEST_F(ExportTest, EmptyRangeWritesHeadsAndDirections)
{
    post(c(), "2007/02/28 23:59", "付", "午餐", "12");
    const Workbook book = exported(Kind::Summary);
    EXPECT_EQ(book.sheet("AccSum")->rows, (Rows{kHeader, {" 流水帐 ", "", "0", "", "100%"}}));
    EXPECT_EQ(book.sheet("GetSum")->rows, (Rows{kHeader, {"收入费用", "", "0", "收", "100%"}}));
    EXPECT_EQ(book.sheet("PaySum")->rows, (Rows{kHeader, {"支出费用", "", "0", "付", "100%"}}));
    Rows bank = {kHeader, {"银行帐目", "", "0", "", "100%"}};
    Rows cash = {kHeader, {"现金帐目", "", "0", "", "100%"}};
    for (const char *direction : kDirections) {
        bank.push_back({std::string(" ") + direction, "", "0", "", ""});
        cash.push_back({std::string(" ") + direction, "", "0", direction, ""});
    }
    EXPECT_EQ(book.sheet("BankSum")->rows, bank);
    EXPECT_EQ(book.sheet("CashSum")->rows, cash);
}

struct KindCase {
    Kind kind;
    const char *sheet;
};

void PrintTo(const KindCase &k, std::ostream *os) { *os << k.sheet; }

class ExportKindTest : public ExportTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(ExportKindTest, WritesTheSheetOfItsKind)
{
    fillMarch();
    const Workbook book = exported(GetParam().kind);
    EXPECT_EQ(book.names(), std::vector<std::string>{GetParam().sheet});
    EXPECT_GT(book.sheets.at(0).rows.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExportKindTest,
                         ::testing::Values(KindCase{Kind::Journal, "AccSum"}, KindCase{Kind::Bank, "BankSum"},
                                           KindCase{Kind::Cash, "CashSum"}, KindCase{Kind::Income, "GetSum"},
                                           KindCase{Kind::Expense, "PaySum"}));

// The statements sent to the spreadsheet, in the order of the walk.
TEST_F(ExportTest, SendsTheSheetStatements)
{
    addNode(setup::TreeKind::Bank, "我的存款银行", "工商银行");
    post(c(), "2007/03/05 12:00", "付", "O'Neil小吃", "20", "工商银行");
    post(c(), "2007/03/06 12:00", "收", "工资", "100");
    StatementLog log;
    ASSERT_TRUE(exportStatistic(c(), Kind::Summary, kMarch, file()).done);
    std::vector<std::string> sent;
    for (const std::string &s : log.statements())
        if (s.rfind("INSERT", 0) == 0 || s.rfind("CREATE", 0) == 0)
            sent.push_back(s);
    const std::vector<std::string> expected = {
        "CREATE TABLE AccSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
        "INSERT INTO AccSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 流水帐 ','120','2','','100%')",
        "INSERT INTO AccSum (帐目类型,钱额,次数,收付,百分比)  VALUES ('   O''Neil小吃 ','20','1','付 ','16.67%')",
        "INSERT INTO AccSum (帐目类型,钱额,次数,收付,百分比)  VALUES ('   工资 ','100','1','收 ','83.33%')",
        "CREATE TABLE GetSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
        "INSERT INTO GetSum (帐目类型,钱额,次数,收付,百分比) VALUES ('收入费用','100','1','收','100%')",
        "INSERT INTO GetSum (帐目类型,钱额,次数,收付,百分比) VALUES ('  工资','100','1','收','100.00%')",
        "CREATE TABLE PaySum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
        "INSERT INTO PaySum (帐目类型,钱额,次数,收付,百分比) VALUES ('支出费用','20','1','付','100%')",
        "INSERT INTO PaySum (帐目类型,钱额,次数,收付,百分比)  VALUES (' O''Neil小吃 ','20','1','付','100.00%')",
        "CREATE TABLE BankSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
        "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES ('银行帐目','-20','1','','100%')",
        "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 付','-20','1','','100.00%')",
        "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES ('   工商银行','-20','1','付',  '100.00%')",
        "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 收','','0','','0.00%')",
        "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 存','','0','','0.00%')",
        "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 取','','0','','0.00%')",
        "CREATE TABLE CashSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
        "INSERT INTO CashSum (帐目类型,钱额,次数,收付,百分比) VALUES ('现金帐目','100','1','','100%')",
        "INSERT INTO CashSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 付','','0','付','0.00%')",
        "INSERT INTO CashSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 收','100','1','收','100.00%')",
        "INSERT INTO CashSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 存','','0','存','0.00%')",
        "INSERT INTO CashSum (帐目类型,钱额,次数,收付,百分比) VALUES (' 取','','0','取','0.00%')",
    };
    // The engine groups the journal in an order of its own.
    EXPECT_EQ(std::multiset<std::string>(sent.begin(), sent.end()),
              std::multiset<std::string>(expected.begin(), expected.end()));
    EXPECT_EQ(sent.front(), expected.front());
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 4, sent.end()),
              std::vector<std::string>(expected.begin() + 4, expected.end()));
}

// The day sheet: one blank before the total, three before a day, seven
// before a type, with the percentages of the list.
TEST_F(ExportTest, DaySheetIndentsTotalDaysAndTypes)
{
    post(c(), "2007/03/05 12:00", "付", "午餐", "20");
    post(c(), "2007/03/05 18:00", "收", "工资", "3000");
    post(c(), "2007/03/06 08:00", "付", "早餐", "6");
    for (const char *filter : {"all", "付", "取"}) {
        SCOPED_TRACE(filter);
        StatementLog log;
        ASSERT_TRUE(exportDayStatistic(c(), kMarch, filter, file()).done);
        const std::vector<std::string> statements = log.statements();
        const Workbook book = readWorkbook(file());
        EXPECT_EQ(book.names(), std::vector<std::string>{"AccSum"});
        const Rows &rows = book.sheets.at(0).rows;
        EXPECT_EQ(rows[0], (std::vector<std::string>{"日期", "钱额", "次数", "收付", "百分比"}));

        RowCollector list;
        runDayStatistic(c(), kMarch, filter, list);
        ASSERT_EQ(rows.size(), list.rows.size() + 1);
        for (std::size_t i = 0; i < list.rows.size(); ++i) {
            const Row &row = list.rows[i];
            const std::vector<std::string> &written = rows[i + 1];
            EXPECT_EQ(leadingBlanks(written[0]), row.isHead() ? 1u : row.role == Role::Day ? 3u : 7u) << written[0];
            EXPECT_EQ(db::trim(written[0]), row.isHead() ? "合计" : db::trim(row.label));
            EXPECT_EQ(written[1], row.cell(0));
            EXPECT_EQ(written[2], row.cell(1));
            EXPECT_EQ(written[3], row.cell(2));
            EXPECT_EQ(written[4], row.isHead() ? "100%" : row.cell(3));
        }
        if (std::string(filter) == "取") { // nothing of that type: the total alone
            EXPECT_EQ(rows, (Rows{rows[0], {" 合计", "", "0", "", "100%"}}));
        }
        if (std::string(filter) == "付") {
            // What the spreadsheet receives, in the order of the walk.
            std::vector<std::string> sent;
            for (const std::string &s : statements)
                if (s.rfind("INSERT", 0) == 0 || s.rfind("CREATE", 0) == 0)
                    sent.push_back(s);
            const std::vector<std::string> expected = {
                "CREATE TABLE AccSum (日期 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
                "INSERT INTO AccSum (日期,钱额,次数,收付,百分比) VALUES (' 合计','26','2','','100%')",
                "INSERT INTO AccSum (日期,钱额,次数,收付,百分比) VALUES ('   20070305','20','1','','76.92%')",
                "INSERT INTO AccSum (日期,钱额,次数,收付,百分比) VALUES ('       午餐 ','20','1','付 ', '76.92%')",
                "INSERT INTO AccSum (日期,钱额,次数,收付,百分比) VALUES ('   20070306','6','1','','23.08%')",
                "INSERT INTO AccSum (日期,钱额,次数,收付,百分比) VALUES ('       早餐 ','6','1','付 ', '23.08%')",
            };
            EXPECT_EQ(sent, expected);
        }
    }
}

// A failed export says why and leaves no file; a file that was there stays
// as it was until an export succeeds.
TEST_F(ExportTest, FailureLeavesNoFileAndKeepsTheEarlierOne)
{
    fillMarch();
    const db::Result unwritable = exportStatistic(c(), Kind::Summary, kMarch, "/sys/统计.xlsx");
    EXPECT_FALSE(unwritable.done);
    EXPECT_EQ(unwritable.message.rfind("Excel文件没有写入：", 0), 0u) << unwritable.message;
    EXPECT_NE(unwritable.message.find("/sys"), std::string::npos) << unwritable.message;
    EXPECT_FALSE(fs::exists("/sys/统计.xlsx"));

    fs::create_directory(file("folder.xlsx"));
    const db::Result inTheWay = exportDayStatistic(c(), kMarch, "all", file("folder.xlsx"));
    EXPECT_FALSE(inTheWay.done);
    EXPECT_NE(inTheWay.message.find("文件夹"), std::string::npos) << inTheWay.message;
    fs::remove(file("folder.xlsx"));

    std::ofstream(file()) << "earlier";
    c().execute("DROP TABLE GetStyle"); // the income sheet's statements fail
    const db::Result broken = exportStatistic(c(), Kind::Summary, kMarch, file());
    EXPECT_FALSE(broken.done);
    EXPECT_NE(broken.message.find("读取帐目数据库失败"), std::string::npos) << broken.message;
    EXPECT_NE(broken.message.find("GetStyle"), std::string::npos) << broken.message;
    std::ifstream in(file());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);

    ASSERT_TRUE(exportStatistic(c(), Kind::Expense, kMarch, file()).done);
    EXPECT_EQ(readWorkbook(file()).names(), std::vector<std::string>{"PaySum"});
}

struct NameCase {
    const char *typed;
    const char *file;
};

void PrintTo(const NameCase &n, std::ostream *os) { *os << n.typed; }

class ExportFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ExportFileNameTest, AddsTheExtensionOnlyWhenNoneIsTyped)
{
    EXPECT_EQ(exportFileName(GetParam().typed), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(Names, ExportFileNameTest,
                         ::testing::Values(NameCase{"/tmp/统计", "/tmp/统计.xlsx"},
                                           NameCase{"/tmp/统计.xls", "/tmp/统计.xls"},
                                           NameCase{"/tmp/统计.xlsx", "/tmp/统计.xlsx"},
                                           NameCase{"/tmp/v1.2/统计", "/tmp/v1.2/统计.xlsx"},
                                           NameCase{"/tmp/统计.", "/tmp/统计.xlsx"},
                                           NameCase{"统计 2007", "统计 2007.xlsx"},
                                           NameCase{"账目2026.12", "账目2026.12.xlsx"},
                                           NameCase{"统计.csv", "统计.csv"}));

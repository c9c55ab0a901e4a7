#include "workbook_reader.h"

#include "stats/sheet_statement.h"
#include "stats/sheet_text.h"
#include "stats/xlsx_driver.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace stats;
using stats_test::readWorkbook;
using stats_test::Workbook;
using testing_support::makeTempFolder;
using testing_support::StatementLog;

namespace fs = std::filesystem;

namespace {

const char *const kCreate = "CREATE TABLE CashSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)";
const std::vector<std::string> kHeader = {"帐目类型", "钱额", "次数", "收付", "百分比"};

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The files of a folder, hidden ones among them.
std::vector<std::string> filesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class DriverTest : public ::testing::Test {
protected:
    ~DriverTest() override { fs::remove_all(m_folder); }
    std::string file(const std::string &name = "out.xlsx") const { return (m_folder / name).string(); }
    fs::path m_folder = makeTempFolder();
};

// ---- the connection text ----

struct TextCase {
    const char *name;
    std::string text;
    std::string path; // "" for a text that names no file or two
};

class ConnectionTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ConnectionTextTest, NamesItsFile)
{
    const TextCase &c = GetParam();
    if (c.path.empty()) {
        EXPECT_THROW(sheetPathOf(c.text), SheetError);
        return;
    }
    EXPECT_EQ(sheetPathOf(c.text), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConnectionTextTest,
    ::testing::Values(
        TextCase{"Built", sheetConnectionText("/home/李明/帐目 2007.xlsx"), "/home/李明/帐目 2007.xlsx"},
        TextCase{"Literal",
                 "DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;"
                 "CREATE_DB=\"/tmp/a.xls\";DBQ=/tmp/a.xls",
                 "/tmp/a.xls"},
        TextCase{"SemicolonInPath", sheetConnectionText("/tmp/a;b/c.xlsx"), "/tmp/a;b/c.xlsx"},
        TextCase{"QuoteInPath", sheetConnectionText("/tmp/say \"hi\".xlsx"), "/tmp/say \"hi\".xlsx"},
        TextCase{"DbqOnly", "DRIVER={x};DBQ=/tmp/only.xlsx", "/tmp/only.xlsx"},
        TextCase{"CreateOnly", "DRIVER={x};CREATE_DB=\"/tmp/c.xlsx\"", "/tmp/c.xlsx"},
        TextCase{"KeysInAnyCase", "driver={x};dbq=/tmp/lower.xlsx", "/tmp/lower.xlsx"},
        TextCase{"TwoFiles", "CREATE_DB=\"/tmp/a.xlsx\";DBQ=/tmp/b.xlsx", ""},
        TextCase{"NoFile", "DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DSN=''", ""}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- the statements ----

struct StatementCase {
    const char *name;
    const char *text;
    bool accepted;
};

class StatementFormTest : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementFormTest, AcceptsExactlyTheTwoForms)
{
    const StatementCase &c = GetParam();
    if (c.accepted) {
        EXPECT_NO_THROW(parseSheetStatement(c.text));
        return;
    }
    try {
        parseSheetStatement(c.text);
        FAIL() << "accepted";
    } catch (const SheetError &error) {
        // The message names the statement.
        EXPECT_NE(std::string(error.what()).find(c.text), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, StatementFormTest,
    ::testing::Values(
        StatementCase{"Create", "CREATE TABLE AccSum (日期 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)", true},
        StatementCase{"CreateLowerCase", "create table t ( a text , b Text )", true},
        StatementCase{"Insert", "INSERT INTO PaySum (帐目类型,钱额,次数,收付,百分比) VALUES ('  午餐','12','1','付','50.00%')",
                      true},
        StatementCase{"InsertTwoBlanksBeforeValues",
                      "INSERT INTO AccSum (帐目类型,钱额,次数,收付,百分比)  VALUES ('   午餐 ','12','1','付','1%')", true},
        StatementCase{"InsertBlankBeforeClose",
                      "INSERT INTO GetSum (帐目类型,钱额,次数,收付,百分比) VALUES ('  奖金','5','1','收','1%' )", true},
        StatementCase{"InsertBlanksBeforeValue",
                      "INSERT INTO BankSum (帐目类型,钱额,次数,收付,百分比) VALUES ('   工行','5','1','付',  '')", true},
        StatementCase{"InsertDoubledQuote", "INSERT INTO t (a) VALUES ('O''Neil')", true},
        StatementCase{"InsertEmptyValues", "INSERT INTO t (a,b) VALUES ('','')", true},
        StatementCase{"OtherStatement", "DROP TABLE AccSum", false},
        StatementCase{"Select", "SELECT * FROM AccSum", false},
        StatementCase{"OtherType", "CREATE TABLE t (a INTEGER)", false},
        StatementCase{"NoColumns", "CREATE TABLE t ()", false},
        StatementCase{"UnquotedValue", "INSERT INTO t (a) VALUES (12)", false},
        StatementCase{"NoColumnList", "INSERT INTO t VALUES ('1')", false},
        StatementCase{"MoreValuesThanColumns", "INSERT INTO t (a) VALUES ('1','2')", false},
        StatementCase{"UnclosedQuote", "INSERT INTO t (a) VALUES ('1)", false},
        StatementCase{"SecondStatement", "INSERT INTO t (a) VALUES ('1'); DROP TABLE t", false},
        StatementCase{"TextAfterCreate", "CREATE TABLE t (a TEXT) x", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SheetStatementTest, ReadsNamesAndValues)
{
    const SheetStatement insert =
        parseSheetStatement("insert into cashsum (帐目类型,次数,钱额,百分比) VALUES ('   O''Neil','3',  '1.5' , '' )");
    const auto &row = std::get<InsertRow>(insert);
    EXPECT_EQ(row.sheet, "cashsum");
    EXPECT_EQ(row.columns, (std::vector<std::string>{"帐目类型", "次数", "钱额", "百分比"}));
    EXPECT_EQ(row.values, (std::vector<std::string>{"   O'Neil", "3", "1.5", ""}));
    const SheetStatement parsed = parseSheetStatement(kCreate);
    const auto &create = std::get<CreateSheet>(parsed);
    EXPECT_EQ(create.sheet, "CashSum");
    EXPECT_EQ(create.columns, kHeader);
}

// ---- the text that reaches the workbook ----

struct Utf8Case {
    const char *name;
    std::string in;
    std::string out;
};

class Utf8RepairTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RepairTest, ReplacesWhatIsNotWellFormed)
{
    EXPECT_EQ(repairedUtf8(GetParam().in), GetParam().out);
}

const std::string kBad = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8RepairTest,
    ::testing::Values(Utf8Case{"Ascii", "a b\t1.5%", "a b\t1.5%"}, Utf8Case{"Chinese", "餐饮/午餐 ", "餐饮/午餐 "},
                      Utf8Case{"FourBytes", "\xF0\x9F\x8D\x9C", "\xF0\x9F\x8D\x9C"},
                      Utf8Case{"StrayContinuation", "a\x80z", "a" + kBad + "z"},
                      Utf8Case{"GbkBytes", "\xCE\xE7\xB2\xCD", kBad + kBad + kBad + kBad},
                      Utf8Case{"CutAtEnd", "午\xE9\xA4", "午" + kBad + kBad},
                      Utf8Case{"Overlong", "\xC0\xAF", kBad + kBad},
                      Utf8Case{"Surrogate", "\xED\xA0\x80", kBad + kBad + kBad},
                      Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", kBad + kBad + kBad + kBad},
                      Utf8Case{"NonCharacter", "x\xEF\xBF\xBEy", "x" + kBad + "y"},
                      Utf8Case{"Nul", std::string("a\0b", 3), "a" + kBad + "b"}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- the workbook ----

// Columns are matched by name: a statement that lists them in another order,
// or leaves one out, still puts each value under its own name.
TEST_F(DriverTest, WritesEachValueUnderItsColumnName)
{
    StatementLog log;
    SheetConnection sheets(sheetConnectionText(file()));
    const std::vector<std::string> statements = {
        kCreate,
        "INSERT INTO CashSum (帐目类型,钱额,次数,收付,百分比) VALUES ('现金帐目','-35.5','2','','100%')",
        "INSERT INTO cashsum (帐目类型,次数,钱额,百分比) VALUES ('   工行','7','120','12.50%')",
        "INSERT INTO CASHSUM (百分比,帐目类型) VALUES ('1%','  O''Neil小吃')",
        "CREATE TABLE 第二页 (名称 TEXT)",
        "INSERT INTO 第二页 (名称) VALUES ('末行')",
    };
    for (const std::string &s : statements)
        sheets.execute(s);
    EXPECT_EQ(log.statements(), statements);
    EXPECT_FALSE(fs::exists(file())); // nothing is in place before close
    sheets.close();

    const Workbook book = readWorkbook(file());
    ASSERT_EQ(book.error, "");
    EXPECT_EQ(book.names(), (std::vector<std::string>{"CashSum", "第二页"}));
    const Workbook::Sheet &cash = book.sheets[0];
    EXPECT_TRUE(cash.allText);
    ASSERT_EQ(cash.rows.size(), 4u);
    EXPECT_EQ(cash.rows[0], kHeader);
    EXPECT_EQ(cash.rows[1], (std::vector<std::string>{"现金帐目", "-35.5", "2", "", "100%"}));
    EXPECT_EQ(cash.rows[2], (std::vector<std::string>{"   工行", "120", "7", "", "12.50%"}));
    EXPECT_EQ(cash.rows[3], (std::vector<std::string>{"  O'Neil小吃", "", "", "", "1%"}));
    EXPECT_EQ(book.sheets[1].rows, (std::vector<std::vector<std::string>>{{"名称"}, {"末行"}}));
    // Wide enough for the longest text of each column, head row included.
    EXPECT_GE(cash.widths.at("A"), 12);
    EXPECT_GE(cash.widths.at("E"), 8);
    // No temporary file is left beside the workbook.
    EXPECT_EQ(filesIn(m_folder), std::vector<std::string>{"out.xlsx"});
}

TEST_F(DriverTest, RefusesWhatDoesNotFitItsSheets)
{
    SheetConnection sheets(sheetConnectionText(file()));
    sheets.execute(kCreate);
    sheets.execute("CREATE TABLE 流水 (帐目类型 TEXT)");
    const std::vector<std::string> refused = {
        "CREATE TABLE cashsum (a TEXT)",                     // the sheet exists, in any case
        "CREATE TABLE t (a TEXT, A TEXT)",                   // a column twice
        "CREATE TABLE a/b (a TEXT)",                         // no "/" in a sheet name
        "CREATE TABLE ThirtyTwoCharactersLongSheetName (a TEXT)",
        "INSERT INTO PaySum (帐目类型) VALUES ('x')",        // no such sheet
        "INSERT INTO CashSum (帐目类型,日期) VALUES ('x','y')", // no such column
        "INSERT INTO CashSum (钱额,钱额) VALUES ('1','2')",  // a column twice
        "DELETE FROM CashSum",
    };
    for (const std::string &statement : refused) {
        try {
            sheets.execute(statement);
            ADD_FAILURE() << "accepted: " << statement;
        } catch (const SheetError &error) {
            EXPECT_NE(std::string(error.what()).find(statement), std::string::npos) << error.what();
        }
    }
    // A sheet name of 31 characters is the longest a workbook takes.
    sheets.execute("CREATE TABLE 一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一 (a TEXT)");
    sheets.close();
    const Workbook book = readWorkbook(file());
    EXPECT_EQ(book.names(), (std::vector<std::string>{"CashSum", "流水", "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一"}));
    EXPECT_EQ(book.sheets[0].rows.size(), 1u); // the refused rows were not added
}

TEST_F(DriverTest, InvalidTextArrivesRepairedInAReadableFile)
{
    SheetConnection sheets(sheetConnectionText(file()));
    sheets.execute(kCreate);
    sheets.execute("INSERT INTO CashSum (帐目类型,钱额) VALUES ('午餐\xB2\xCD','\xEF\xBF\xBE" "5')");
    sheets.execute("INSERT INTO CashSum (帐目类型) VALUES ('tab\there\x01')");
    sheets.close();
    const Workbook book = readWorkbook(file());
    ASSERT_EQ(book.error, "");
    EXPECT_EQ(book.sheets[0].rows[1][0], "午餐" + kBad + kBad);
    EXPECT_EQ(book.sheets[0].rows[1][1], kBad + "5");
    // A control character goes in escaped as _x0001_, which spreadsheet
    // programs read back as the character.
    EXPECT_EQ(book.sheets[0].rows[2][0].rfind("tab\there", 0), 0u);
}

// The workbook takes the target's place only when it is complete: a
// connection dropped before close, or a close that fails, leaves the file
// that was there as it was and nothing beside it.
TEST_F(DriverTest, ReplacesAFileOnlyWhenComplete)
{
    std::ofstream(file()) << "earlier export";
    {
        SheetConnection dropped(sheetConnectionText(file()));
        dropped.execute(kCreate);
        EXPECT_EQ(filesIn(m_folder).size(), 2u); // the reserved temporary file
    }
    EXPECT_TRUE(slurp(file()) == "earlier export") << "the earlier file was changed";
    EXPECT_EQ(filesIn(m_folder), std::vector<std::string>{"out.xlsx"});

    {
        // A cell takes at most 32767 characters: the workbook cannot be made.
        SheetConnection failing(sheetConnectionText(file()));
        failing.execute(kCreate);
        failing.execute("INSERT INTO CashSum (帐目类型) VALUES ('" + std::string(40000, 'x') + "')");
        EXPECT_THROW(failing.close(), SheetError);
        EXPECT_THROW(failing.execute(kCreate), SheetError); // closed
    }
    EXPECT_TRUE(slurp(file()) == "earlier export") << "the earlier file was changed";
    EXPECT_EQ(filesIn(m_folder), std::vector<std::string>{"out.xlsx"});

    SheetConnection sheets(sheetConnectionText(file()));
    sheets.execute(kCreate);
    sheets.close();
    EXPECT_EQ(readWorkbook(file()).names(), std::vector<std::string>{"CashSum"});
    EXPECT_EQ(filesIn(m_folder), std::vector<std::string>{"out.xlsx"});
    // Readable by others as any new file is, not only by its owner.
    struct stat info {};
    ASSERT_EQ(::stat(file().c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

// A replaced file keeps its mode; one marked read-only is not replaced,
// whoever asks.
TEST_F(DriverTest, ReplacedFilesKeepTheirModeReadOnlyOnesAreRefused)
{
    for (const mode_t mode : {0600, 0640, 0604}) {
        std::ofstream(file()) << "earlier export";
        ASSERT_EQ(::chmod(file().c_str(), mode), 0);
        SheetConnection sheets(sheetConnectionText(file()));
        sheets.execute(kCreate);
        sheets.close();
        struct stat info {};
        ASSERT_EQ(::stat(file().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(readWorkbook(file()).names(), std::vector<std::string>{"CashSum"});
    }
    for (const mode_t mode : {0444, 0400, 0000}) {
        std::ofstream(file(), std::ios::trunc) << "earlier export";
        ASSERT_EQ(::chmod(file().c_str(), mode), 0);
        try {
            SheetConnection sheets(sheetConnectionText(file()));
            ADD_FAILURE() << "opened a file of mode " << std::oct << mode;
        } catch (const SheetError &error) {
            EXPECT_NE(std::string(error.what()).find("只读"), std::string::npos) << error.what();
        }
        ASSERT_EQ(::chmod(file().c_str(), 0600), 0);
        EXPECT_TRUE(slurp(file()) == "earlier export") << "the read-only file was changed";
        EXPECT_EQ(filesIn(m_folder), std::vector<std::string>{"out.xlsx"});
    }
}

// A name that is a link keeps its link: the workbook replaces the file it
// leads to.
TEST_F(DriverTest, WritesThroughALinkIntoTheLinkedFile)
{
    fs::create_directory(m_folder / "shelf");
    const fs::path linked = m_folder / "shelf" / "kept.xlsx";
    std::ofstream(linked) << "earlier export";
    fs::create_symlink(linked, file());
    SheetConnection sheets(sheetConnectionText(file()));
    sheets.execute(kCreate);
    sheets.close();
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(readWorkbook(linked.string()).names(), std::vector<std::string>{"CashSum"});
}

struct PlaceCase {
    const char *name;
    std::string folder; // "" for the test's own folder
    std::string file;
};

class UnusablePlaceTest : public DriverTest, public ::testing::WithParamInterface<PlaceCase> {};

// A file that cannot be made fails at once, before any statement, and says
// where.
TEST_P(UnusablePlaceTest, FailsOnOpeningAndMakesNothing)
{
    const PlaceCase &c = GetParam();
    fs::create_directory(m_folder / "folder");
    const std::string path = c.folder.empty() ? file(c.file) : c.folder + "/" + c.file;
    try {
        SheetConnection sheets(sheetConnectionText(path));
        FAIL() << "opened " << path;
    } catch (const SheetError &error) {
        const std::string text = error.what();
        EXPECT_NE(text.find(fs::path(path).parent_path().string()), std::string::npos) << text;
        EXPECT_NE(text.find("请换一个"), std::string::npos) << text;
    }
    EXPECT_EQ(filesIn(m_folder), std::vector<std::string>{"folder"});
    EXPECT_FALSE(fs::exists(path) && !fs::is_directory(path));
}

INSTANTIATE_TEST_SUITE_P(Places, UnusablePlaceTest,
                         ::testing::Values(PlaceCase{"FolderInTheWay", "", "folder"},
                                           PlaceCase{"MissingFolder", "", "missing/out.xlsx"},
                                           PlaceCase{"UnwritableFolder", "/sys", "out.xlsx"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DriverTest, ReadOnlyFolderForAnOrdinaryUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    const fs::path locked = m_folder / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(SheetConnection(sheetConnectionText((locked / "out.xlsx").string())), SheetError);
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(locked));
}

} // namespace

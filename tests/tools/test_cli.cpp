#include "app/version.h"
#include "db/dates.h"
#include "ledger/demo_entries.h"
#include "support/cli_run.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using testing_support::TempDatabase;

namespace {

const db::DateTime kNow{2026, 12, 7, 14, 30, 0};

using Ran = testing_support::CliRun;

Ran runPlain(const std::vector<std::string> &args) { return testing_support::runCommandLine(args, kNow); }

Ran runCli(TempDatabase &t, std::vector<std::string> args)
{
    return testing_support::runOnBooks(t, std::move(args), kNow);
}

// Every row of every table of the books, to see that nothing was written.
std::string snapshot(TempDatabase &t)
{
    std::string all;
    for (const char *table : {"account", "GetMoney", "PayMoney", "CashAccount", "BankAccount", "InvestMoney"})
        for (const std::string &row : t.column(std::string("select quote(AccNum) || ':' || count(*) from ") +
                                               (std::string(table) == "account" ? "(select 财务标识 as AccNum from account)"
                                                                                 : std::string(table)) +
                                               " group by AccNum"))
            all += std::string(table) + row + ";";
    return all;
}

void addBank(TempDatabase &t)
{
    t.connection().execute("insert into Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) values "
                           "(2,'工商银行',1,0,'我的存款银行','0000')");
}

} // namespace

TEST(Cli, AddPostsEveryKindOfEntryAndPrintsItsNumber)
{
    TempDatabase t;
    addBank(t);
    Ran r = runCli(t, {"add", "--type", "付", "--category", "午餐", "--amount", "35.5", "--bank", "现金银行"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(t.value("select 日期 || '|' || 经手人 from account where 财务标识=1"), "2026/12/07 14:30|管理员");
    EXPECT_EQ(t.value("select nMoney from CashAccount where AccNum=1"), "-35.5");
    r = runCli(t, {"add", "--type", "收", "--category", "工资", "--amount", "8000", "--bank", "工商银行", "--date",
                "2026/12/01 09:05", "--handler", "张丽", "--note", "Tom's 工资", "--number", "7"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "7\n");
    EXPECT_EQ(t.value("select 日期 || '|' || 经手人 || '|' || 说明 from account where 财务标识=7"),
              "2026/12/01 09:05|张丽|Tom's 工资");
    EXPECT_EQ(t.value("select nMoney from BankAccount where AccNum=7"), "8000");
    r = runCli(t, {"add", "--type", "存", "--amount", "100", "--bank", "工商银行"});
    EXPECT_EQ(r.out, "8\n");
    EXPECT_EQ(t.value("select 帐目类型 from account where 财务标识=8"), "存钱 ");
    EXPECT_EQ(t.value("select nMoney from CashAccount where AccNum=8"), "-100");
    r = runCli(t, {"add", "--type", "付", "--category", "股票", "--amount", "1000", "--bank", "工商银行"});
    EXPECT_EQ(t.value("select nState from InvestMoney where AccNum=9"), "投资开始");
    r = runCli(t, {"add", "--type", "收", "--category", "股票", "--amount", "1200", "--bank", "工商银行", "--invested",
                "1000"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(t.value("select nGain from InvestMoney where AccNum=10"), "200");
    EXPECT_EQ(runCli(t, {"check"}).status, cli::kOk);
}

// What the entry command refuses, the command line refuses alike.
struct Refusal {
    std::vector<std::string> options;
    std::string message;
};

void PrintTo(const Refusal &r, std::ostream *out) { *out << r.message; }

class CliRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(CliRefusals, WriteNothingAndSayWhy)
{
    TempDatabase t;
    addBank(t);
    ASSERT_EQ(runCli(t, {"add", "--type", "付", "--category", "午餐", "--amount", "5", "--bank", "现金银行"}).status, 0);
    const std::string before = snapshot(t);
    std::vector<std::string> args{"add"};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    const Ran r = runCli(t, args);
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(snapshot(t), before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliRefusals,
    testing::Values(
        Refusal{{"--type", "付", "--category", "支出类型", "--amount", "5", "--bank", "现金银行"}, "请选择支出类型"},
        Refusal{{"--type", "收", "--category", "收入类型", "--amount", "5", "--bank", "现金银行"}, "请选择收入类型"},
        Refusal{{"--type", "付", "--amount", "5", "--bank", "现金银行"}, "请嵌入收付类型"},
        Refusal{{"--type", "付", "--category", "午餐", "--amount", "5x", "--bank", "现金银行"}, "金额必须是数字"},
        Refusal{{"--type", "付", "--category", "午餐", "--amount", "5", "--bank", "现金银行", "--number", "1"},
                "该编号已经使用"},
        Refusal{{"--type", "付", "--category", "午餐", "--amount", "5", "--bank", "现金银行", "--number", "2.5"},
                "编号必须是整数"},
        Refusal{{"--type", "付", "--category", "工资", "--amount", "5", "--bank", "现金银行"}, "没有这个支出类型"},
        Refusal{{"--type", "付", "--category", "午餐", "--amount", "5", "--bank", "Bob's bank"}, "没有这个现金或银行帐户"},
        Refusal{{"--type", "付", "--category", "午餐", "--amount", "5", "--bank", "现金银行", "--date", "2026/02/30"},
                "日期无法识别"},
        Refusal{{"--type", "借", "--category", "午餐", "--amount", "5", "--bank", "现金银行"}, "类型必须是"},
        Refusal{{"--type", "存", "--category", "午餐", "--amount", "5", "--bank", "工商银行"}, "存钱"},
        Refusal{{"--type", "收", "--category", "股票", "--amount", "5", "--bank", "工商银行"}, "原金额必须是数字"}));

TEST(Cli, ChangeDeleteAndList)
{
    TempDatabase t;
    addBank(t);
    runCli(t, {"add", "--type", "付", "--category", "午餐", "--amount", "35.5", "--bank", "现金银行", "--date",
            "2026/12/07 12:00"});
    runCli(t, {"add", "--type", "付", "--category", "晚餐", "--amount", "20", "--bank", "现金银行", "--date",
            "2026/12/06 19:00", "--note", "a\tb\nc\\d "});
    Ran r = runCli(t, {"change", "1", "--bank", "工商银行", "--amount", "12。5"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(t.value("select count(*) from CashAccount where AccNum=1"), "0");
    EXPECT_EQ(t.value("select nMoney || BankName from BankAccount where AccNum=1"), "-12.5工商银行");
    EXPECT_EQ(t.value("select 日期 from account where 财务标识=1"), "2026/12/07 12:00");
    r = runCli(t, {"list", "journal", "--from", "20261201", "--to", "20261231"});
    EXPECT_EQ(r.status, cli::kOk);
    // One line a record, whatever the texts hold; no stored trailing blanks.
    EXPECT_EQ(r.out, "1\t2026/12/07 12:00\t付\t午餐\t12.5\t管理员\t\n"
                     "2\t2026/12/06 19:00\t付\t晚餐\t20\t管理员\ta\\tb\\nc\\\\d\n"
                     "\t合计\t\t\t2条记录,余额为：￥32.50\t\t\n");
    r = runCli(t, {"list", "4", "--from", "20261201", "--to", "20261231"});
    EXPECT_EQ(r.out, "2\t2026/12/06 19:00\t-20\t付\t晚餐\n\t合计\t1条记录,余额为：￥-20.00\t\t\n");
    EXPECT_EQ(runCli(t, {"list", "cash", "--from", "20270101", "--to", "20271231"}).out, "");
    EXPECT_EQ(runCli(t, {"delete", "2"}).status, cli::kOk);
    EXPECT_EQ(t.value("select count(*) from CashAccount"), "0");
    EXPECT_EQ(t.count("account"), 1);
    r = runCli(t, {"delete", "2"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_NE(r.err.find("不存在"), std::string::npos);
    EXPECT_EQ(runCli(t, {"change", "9", "--amount", "1"}).status, cli::kRefused);
    EXPECT_EQ(runCli(t, {"change", "1", "--amount", "1+1"}).status, cli::kRefused);
    EXPECT_EQ(t.value("select 钱额 from account"), "12.5");
}

TEST(Cli, UsageAndDatabaseFailures)
{
    TempDatabase t;
    EXPECT_EQ(runCli(t, {}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"frobnicate"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"list", "ledger", "--from", "20260101", "--to", "20261231"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"list", "journal", "--from", "2026-01-01", "--to", "20261231"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"list", "journal", "--from", "20260230", "--to", "20261231"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"add", "--type", "付"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"add", "--colour", "red"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"delete", "x"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"stats", "weekly", "--from", "20260101", "--to", "20261231"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"stats", "summary", "--from", "20260101"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"days", "--from", "20260101", "--to", "20261231", "--type", "借"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"days", "--from", "20260101", "--to", "20261231", "--type", "付' or '1'='1"}).status,
              cli::kUsage);
    EXPECT_EQ(runCli(t, {"find", "a", "b"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"find", "--type", "借"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"find", "--min", "1; drop table account"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"find", "--from", "20260230"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"balances", "--at", "2026"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"find", "--type", "all"}).out, "0条记录，合计：￥0.00\n");
    Ran help = runCli(t, {"add", "--help"});
    EXPECT_EQ(help.status, cli::kOk);
    EXPECT_NE(help.out.find("--type"), std::string::npos);
    std::ostringstream out, err;
    EXPECT_EQ(cli::run({"--help"}, out, err, kNow), cli::kOk);
    EXPECT_NE(out.str().find("post-recurring"), std::string::npos);
    // A missing file is never created; a file that is not a database is refused.
    const std::string missing = (t.folder() / "none.mdb").string();
    EXPECT_EQ(cli::run({"--db", missing, "check"}, out, err, kNow), cli::kDatabase);
    EXPECT_FALSE(std::filesystem::exists(missing));
    std::ofstream(t.folder() / "text.mdb") << "just some text, not a database at all";
    EXPECT_EQ(cli::run({"--db", (t.folder() / "text.mdb").string(), "check"}, out, err, kNow), cli::kDatabase);
}

TEST(Cli, PostRecurringBackupAndRestore)
{
    TempDatabase t;
    t.connection().execute("UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=1, SelectType='天', "
                           "BeginDate='2026/12/05 ', EndDate='2030/01/01 ', MidDate=' ', BankName='现金银行' "
                           "WHERE Style='早餐'");
    Ran r = runCli(t, {"post-recurring", "--now", "2026/12/07 08:00"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "早餐\t3\n");
    EXPECT_EQ(runCli(t, {"post-recurring", "--now", "2026/12/07 08:00"}).out, "");
    // An item that cannot post is said, and the run ends refused.
    t.connection().execute("UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=0, SelectType='天', "
                           "BeginDate='2026/12/05 ', EndDate='2030/01/01 ', MidDate=' ', BankName='现金银行' "
                           "WHERE Style='午餐'");
    r = runCli(t, {"post-recurring", "--now", "2026/12/07 08:00"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_NE(r.err.find("午餐"), std::string::npos) << r.err;
    EXPECT_EQ(t.count("account"), 3);
    t.connection().execute("UPDATE PayStyle SET IsAuto=FALSE WHERE Style='午餐'");
    const std::string copy = (t.folder() / "copy.BAT").string();
    EXPECT_EQ(runCli(t, {"backup", copy}).status, cli::kOk);
    EXPECT_EQ(runCli(t, {"delete", "1"}).status, cli::kOk);
    EXPECT_EQ(t.count("account"), 2);
    std::ofstream(t.folder() / "junk.BAT") << "not a backup";
    r = runCli(t, {"restore", (t.folder() / "junk.BAT").string()});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_EQ(t.count("account"), 2);
    EXPECT_EQ(runCli(t, {"restore", copy}).status, cli::kOk);
    db::Connection reopened = db::Connection::openFile(t.path());
    EXPECT_EQ(reopened.scalar("select count(*) as n from account", "n"), "3");

    // Books that no longer open can still be restored; a missing file is not made.
    std::ofstream(t.path(), std::ios::trunc) << "garbage";
    EXPECT_EQ(runCli(t, {"list", "journal", "--from", "20260101", "--to", "20261231"}).status, cli::kDatabase);
    r = runCli(t, {"restore", copy});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(db::Connection::openFile(t.path()).scalar("select count(*) as n from account", "n"), "3");
    const std::string missing = (t.folder() / "missing.mdb").string();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::run({"--db", missing, "restore", copy}, out, err, kNow), cli::kDatabase);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(Cli, CheckFindsHalfWrittenEntries)
{
    TempDatabase t;
    addBank(t);
    auto add = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "add");
        ASSERT_EQ(runCli(t, args).status, cli::kOk);
    };
    add({"--type", "付", "--category", "午餐", "--amount", "10", "--bank", "现金银行"}); // 1
    add({"--type", "收", "--category", "工资", "--amount", "20", "--bank", "工商银行"}); // 2
    add({"--type", "存", "--amount", "30", "--bank", "工商银行"});                      // 3
    add({"--type", "取", "--amount", "40", "--bank", "工商银行"});                      // 4
    add({"--type", "付", "--category", "股票", "--amount", "50", "--bank", "工商银行"}); // 5
    add({"--type", "付", "--category", "晚餐", "--amount", "60", "--bank", "工商银行"}); // 6
    EXPECT_EQ(runCli(t, {"check"}).out, "");
    auto &c = t.connection();
    c.execute("delete from PayMoney where AccNum=1");
    c.execute("update BankAccount set nMoney=20.5 where AccNum=2");
    c.execute("delete from CashAccount where AccNum=3");
    c.execute("update CashAccount set nMoney=-40 where AccNum=4");
    c.execute("delete from InvestMoney where AccNum=5");
    c.execute("insert into CashAccount (Num,DTime,NStyle,nMoney,PayGet,AccNum) values (6,'2026/12/07 14:30','晚餐',-60,'付',6)");
    c.execute("insert into GetMoney (Num,DTime,MoneyFrom,nMoney,MoneyTo,AccNum) values (99,'2026/12/07 14:30','工资',5,'工商银行',99)");
    c.execute("update PayStyle set MidDate='2026/12/09 00:00' where Style='早餐'");
    c.execute("update PayStyle set ParentStyle='没有' where Style='晚餐'");
    const Ran r = runCli(t, {"check"});
    EXPECT_EQ(r.status, cli::kRefused);
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 9u) << r.out;
    for (int entry = 1; entry <= 6; ++entry)
        EXPECT_EQ(lines[entry - 1].rfind("编号 " + std::to_string(entry), 0), 0u) << lines[entry - 1];
    EXPECT_NE(lines[6].find("GetMoney 中编号 99"), std::string::npos);
    EXPECT_NE(lines[7].find("早餐"), std::string::npos);
    EXPECT_EQ(lines[8], "支出类型: “晚餐”的上级“没有”不存在");
}

TEST(Cli, CheckPassesOnTheDemoBooks)
{
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), kNow);
    ASSERT_EQ(runCli(t, {"post-recurring"}).status, cli::kOk);
    const Ran r = runCli(t, {"check"});
    EXPECT_EQ(r.status, cli::kOk) << r.out;
    EXPECT_EQ(r.out, "");
}

TEST(Cli, ExportsWriteWorkbooksOrSayWhyNot)
{
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), kNow);
    const std::string base = (t.folder() / "year").string();
    Ran r = runCli(t, {"export", base, "--kind", "summary", "--from", "20260101", "--to", "20261207"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, base + ".xlsx\n");
    EXPECT_GT(std::filesystem::file_size(base + ".xlsx"), 1000u);
    r = runCli(t, {"export-days", base + "-days.xls", "--from", "20261201", "--to", "20261207", "--type", "付"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_TRUE(std::filesystem::exists(base + "-days.xls"));
    r = runCli(t, {"export", "/sys/year", "--kind", "summary", "--from", "20260101", "--to", "20261207"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_NE(r.err.find("Excel文件没有写入"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("/sys/year.xlsx"));
    // Never over the books themselves, by their name or through a link.
    std::filesystem::create_symlink(t.path(), t.folder() / "books.xlsx");
    for (const std::string &target : {t.path(), (t.folder() / "books.xlsx").string()}) {
        r = runCli(t, {"export", target, "--kind", "summary", "--from", "20260101", "--to", "20261207", "--force"});
        EXPECT_EQ(r.status, cli::kRefused) << target;
        EXPECT_NE(r.err.find("帐本数据库本身"), std::string::npos) << r.err;
    }
    EXPECT_EQ(runCli(t, {"check"}).status, cli::kOk);
    EXPECT_EQ(runCli(t, {"export", base, "--kind", "weekly", "--from", "20260101", "--to", "20261207"}).status,
              cli::kUsage);
    EXPECT_EQ(runCli(t, {"export-days", base, "--from", "2026", "--to", "20261207"}).status, cli::kUsage);
}

namespace {

long lines(const std::string &text) { return std::count(text.begin(), text.end(), '\n'); }

} // namespace

TEST(Cli, HelpVersionAndOneLineUsageErrors)
{
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"-h"}, {"--help"}, {"--db", "x.mdb", "-h"}, {"add", "-h"}, {"list", "journal", "--help"}}) {
        const Ran r = runPlain(args);
        EXPECT_EQ(r.status, cli::kOk) << args[0];
        EXPECT_EQ(r.out.rfind("用法: pennaro-cli", 0), 0u) << r.out;
    }
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"--version"}, {"check", "--version"}}) {
        const Ran r = runPlain(args);
        EXPECT_EQ(r.status, cli::kOk);
        EXPECT_EQ(r.out, std::string("pennaro-cli ") + app::kVersion + "\n");
    }
    // A usage error says what is wrong and where the usage is, in one line.
    const std::pair<std::vector<std::string>, std::string> wrong[] = {
        {{}, "pennaro-cli --help"},
        {{"frobnicate"}, "pennaro-cli --help"},
        {{"--db"}, "pennaro-cli --help"},
        {{"--colour", "red", "check"}, "pennaro-cli --help"},
        {{"add", "--colour", "red"}, "pennaro-cli add --help"},
        {{"add", "--force=yes"}, "pennaro-cli add --help"},
        {{"backup", "--force=yes", "x"}, "pennaro-cli backup --help"},
        {{"--db", "a.mdb", "list", "journal", "--db", "b.mdb"}, "pennaro-cli list --help"},
    };
    for (const auto &[args, hint] : wrong) {
        const Ran r = runPlain(args);
        EXPECT_EQ(r.status, cli::kUsage) << hint;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(hint), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, OptionsWithEqualsAndTheBooksAnywhere)
{
    TempDatabase t;
    ASSERT_EQ(runCli(t, {"add", "--type=付", "--category=午餐", "--amount", "5", "--bank=现金银行", "--note=a=b"}).status,
              cli::kOk);
    EXPECT_EQ(t.value("select 说明 from account"), "a=b");
    const std::string expected = runCli(t, {"list", "journal", "--from", "20261201", "--to", "20261231"}).out;
    EXPECT_NE(expected.find("午餐"), std::string::npos);
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"list", "journal", "--from=20261201", "--to=20261231", "--db", t.path()},
             {"list", "--db=" + t.path(), "journal", "--from", "20261201", "--to", "20261231"},
             {"--db=" + t.path(), "list", "journal", "--from", "20261201", "--to=20261231"}}) {
        const Ran r = runPlain(args);
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        EXPECT_EQ(r.out, expected);
    }
}

TEST(Cli, OutputThatCannotBeWrittenIsAFailure)
{
    TempDatabase t;
    ASSERT_EQ(runCli(t, {"add", "--type", "付", "--category", "午餐", "--amount", "5", "--bank", "现金银行"}).status, 0);
    // A stream that refuses every character, as a full disk does.
    struct FullDisk : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(cli::run({"--db", t.path(), "list", "journal", "--from", "20261201", "--to", "20261231"}, out, err, kNow),
              cli::kDatabase);
    EXPECT_NE(err.str().find("输出没有写完"), std::string::npos) << err.str();
}

TEST(Cli, ExistingFilesAreReplacedOnlyWithForce)
{
    TempDatabase t;
    const std::string file = (t.folder() / "kept.xlsx").string();
    for (const std::vector<std::string> &command : std::vector<std::vector<std::string>>{
             {"backup", file},
             {"export", file, "--kind", "cash", "--from", "20260101", "--to", "20261231"},
             {"export-days", file, "--from", "20260101", "--to", "20261231"}}) {
        std::ofstream(file, std::ios::trunc) << "earlier";
        Ran r = runCli(t, command);
        EXPECT_EQ(r.status, cli::kRefused) << command[0];
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
        EXPECT_EQ(std::filesystem::file_size(file), 7u) << command[0];
        std::vector<std::string> forced = command;
        forced.push_back("--force");
        r = runCli(t, forced);
        EXPECT_EQ(r.status, cli::kOk) << command[0] << r.err;
        EXPECT_GT(std::filesystem::file_size(file), 1000u) << command[0];
    }
}

TEST(Cli, BooksCarryingATriggerAreRefusedAndCheckNamesIt)
{
    TempDatabase t;
    t.connection().execute("CREATE TRIGGER steal AFTER INSERT ON account BEGIN DELETE FROM SysAllUser; END");
    const std::string copy = (t.folder() / "copy.BAT").string();
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"list", "journal", "--from", "20260101", "--to", "20261231"},
          {"add", "--type", "付", "--category", "午餐", "--amount", "1", "--bank", "现金银行"}, {"backup", copy}}) {
        const Ran r = runCli(t, args);
        EXPECT_EQ(r.status, cli::kDatabase) << args[0];
        EXPECT_NE(r.err.find("触发器“steal”"), std::string::npos) << r.err;
    }
    EXPECT_EQ(t.count("SysAllUser"), 1);
    EXPECT_FALSE(std::filesystem::exists(copy));
    const Ran r = runCli(t, {"check"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_NE(r.out.find("触发器“steal”"), std::string::npos) << r.out;
}

TEST(Cli, BackupOfDamagedBooksFailsAndWritesOnlyWhenToldTo)
{
    TempDatabase t;
    ASSERT_EQ(runCli(t, {"add", "--type", "付", "--category", "午餐", "--amount", "1", "--bank", "现金银行"}).status,
              cli::kOk);
    t.connection().execute("PRAGMA writable_schema=ON");
    t.connection().execute("UPDATE sqlite_master SET sql='CREATE INDEX account_date ON account (说明)' "
                           "WHERE name='account_date'");
    t.connection().execute("PRAGMA writable_schema=OFF");
    const std::string copy = (t.folder() / "copy.BAT").string();
    Ran r = runCli(t, {"backup", copy});
    EXPECT_EQ(r.status, cli::kDatabase);
    EXPECT_NE(r.err.find("帐本已经损坏"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(copy));
    r = runCli(t, {"backup", copy, "--keep-damaged"});
    EXPECT_EQ(r.status, cli::kDatabase);
    EXPECT_TRUE(std::filesystem::exists(copy));
}

// The menus' undo and redo on the command line, the history they come
// from, and the automatic backups a scheduled run makes.
TEST(Cli, UndoRedoHistoryAndAutomaticBackups)
{
    TempDatabase t;
    ASSERT_EQ(runCli(t, {"add", "--type", "付", "--category", "午餐", "--amount", "35.5", "--bank", "现金银行"}).status,
              cli::kOk);
    ASSERT_EQ(runCli(t, {"delete", "1"}).status, cli::kOk);
    Ran r = runCli(t, {"undo"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "撤销 删除 #1\n");
    EXPECT_EQ(t.count("account"), 1);
    r = runCli(t, {"history"});
    std::vector<std::string> fields;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream cells(line);
        std::vector<std::string> row;
        for (std::string cell; std::getline(cells, cell, '\t');)
            row.push_back(cell);
        ASSERT_EQ(row.size(), 4u) << line;
        fields.push_back(row[0] + "|" + row[2] + "|" + row[3]);
    }
    EXPECT_EQ(fields, (std::vector<std::string>{"2|已撤销|删除 #1", "1|已做|新增 #1 午餐 35.50"}));
    EXPECT_EQ(runCli(t, {"redo"}).out, "重做 删除 #1\n");
    r = runCli(t, {"redo"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_EQ(r.err, "没有可以重做的操作。\n");
    EXPECT_EQ(runCli(t, {"undo", "2"}).status, cli::kUsage);

    r = runCli(t, {"backup", "--auto"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    const std::string copy = (t.folder() / "backups" / "account-20261207-143000.mdb").string();
    EXPECT_EQ(r.out, copy + "\n");
    r = runCli(t, {"backups", "--keep", "3", "--days", "7"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "2026/12/07 14:30:00\t" + std::to_string(std::filesystem::file_size(copy)) + "\t0\t\t" + copy + "\n");
    EXPECT_EQ(t.value("select KeepLast || ',' || KeepDays from AutoBackup"), "3,7");
    EXPECT_EQ(runCli(t, {"backups", "--keep", "all"}).status, cli::kUsage);
    EXPECT_EQ(runCli(t, {"backup", "--auto", "file.BAT"}).status, cli::kUsage);
}

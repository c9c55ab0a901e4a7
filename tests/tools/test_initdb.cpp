#include "db/dates.h"
#include "db/init_database.h"
#include "support/temp_database.h"
#include "tools/demo_entries.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

using testing_support::TempDatabase;

TEST(InitDb, DefaultRows)
{
    TempDatabase t;
    EXPECT_EQ(t.value("select SysPwd from SysAllUser where SysUserName='管理员'"), "");
    EXPECT_EQ(t.value("select ParentBank || '|' || nLevel || '|' || FirstLevel || '|' || FullID from Bank where "
                      "BankName='现金银行'"),
              "我的存款银行|1|0|0000");
    EXPECT_EQ(t.value("select Num || '|' || nLevel || '|' || FullID || '|' || ParentStyle from PayStyle where Style='投资'"),
              "68|1|0000|支出类型");
    // Every investment child sits below 68 and is found by the key slice.
    auto investments = t.column("select Style from PayStyle where Mid(FullID,5,4)='0068' order by Num");
    EXPECT_GE(investments.size(), 2u);
    for (const auto &name : investments)
        EXPECT_EQ(t.value("select count(*) from GetStyle where Style='" + name + "' and ParentStyle='投资'"), "1") << name;
    EXPECT_EQ(t.value("select count(*) from GetStyle where Style='投资' and nLevel=1"), "1");
    // The key of every node is its parent's key followed by the parent's number.
    for (const char *table : {"PayStyle", "GetStyle"}) {
        EXPECT_EQ(t.value(std::string("select count(*) from ") + table + " c left join " + table +
                          " p on p.Style = c.ParentStyle where (p.Num is null and (c.FullID <> '0000' or c.nLevel <> 1 "
                          "or c.FirstLevel <> 0)) or (p.Num is not null and (c.FullID <> p.FullID || "
                          "substr('0000' || p.Num, -4) or c.nLevel <> p.nLevel + 1 or c.FirstLevel <> p.Num))"),
                  "0")
            << table;
        EXPECT_GE(std::stoi(t.value(std::string("select count(*) from ") + table + " where nLevel=1")), 4) << table;
    }
    EXPECT_EQ(t.value("select count(*) from PayStyle where IsAuto =true  "), "0");
    EXPECT_EQ(t.count("account"), 0);
}

TEST(InitDb, FileIsPrivateAndNeverOverwritten)
{
    TempDatabase t("pw");
    struct stat info {};
    ASSERT_EQ(stat(t.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(t.value("select SysPwd from SysAllUser"), "pw");
    const auto size = std::filesystem::file_size(t.path());
    EXPECT_THROW(db::createDatabase(t.path()), db::Error);
    EXPECT_EQ(std::filesystem::file_size(t.path()), size);
    EXPECT_EQ(t.value("select SysPwd from SysAllUser"), "pw");
}

TEST(InitDb, DemoEntriesAreCompleteAndBalanced)
{
    TempDatabase t;
    const int count = tools::addDemoEntries(t.connection(), db::DateTime{2026, 12, 7});
    EXPECT_GT(count, 700);
    EXPECT_EQ(t.count("account"), count);
    EXPECT_EQ(t.value("select min(日期) || '|' || max(日期) from account").substr(0, 10), "2025/12/08");
    EXPECT_EQ(t.value("select count(*) from account where 日期 > '2026/12/07 23:59'"), "0");
    // Every income and expense has its ledger row, and every entry moves money
    // in the cash or bank ledger.
    EXPECT_EQ(t.value("select count(*) from account where 收负类型='付'"), std::to_string(t.count("PayMoney")));
    EXPECT_EQ(t.value("select count(*) from account where 收负类型='收'"), std::to_string(t.count("GetMoney")));
    EXPECT_EQ(t.value("select count(*) from account a where not exists (select 1 from CashAccount c where c.AccNum = "
                      "a.财务标识) and not exists (select 1 from BankAccount b where b.AccNum = a.财务标识)"),
              "0");
    // Money only moves between the ledgers: cash + bank = incomes - expenses.
    EXPECT_EQ(t.value("select round((select sum(nMoney) from CashAccount) + (select sum(nMoney) from BankAccount) - "
                      "(select sum(nMoney) from GetMoney) + (select sum(nMoney) from PayMoney), 6)"),
              "0");
    EXPECT_EQ(t.value("select count(*) from InvestMoney where nState='投资完成' and nGain=1200"), "1");
    EXPECT_EQ(t.value("select count(*) from InvestMoney where nState='投资开始'"), "2");
    // The recurring items wait for the first start.
    EXPECT_EQ(t.value("select count(*) from PayStyle where IsAuto =true  and MidDate=' '"), "1");
    EXPECT_EQ(t.value("select count(*) from GetStyle where IsAuto =true  and BeginDate='2025/12/20 '"), "1");
}

// Kills pennaro-initdb --demo at many moments: the database is either not
// there at all or complete, and nothing partly written is left beside it.
TEST(InitDb, AKillLeavesNoFileOrAWholeOne)
{
    const auto folder = testing_support::makeTempFolder();
    const std::string path = (folder / "account.mdb").string();
    auto run = [&](int killAfterMicroseconds) {
        const pid_t child = fork();
        if (child == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execl(PENNARO_INITDB, PENNARO_INITDB, "--demo", path.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        if (killAfterMicroseconds >= 0) {
            usleep(static_cast<useconds_t>(killAfterMicroseconds));
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    };
    // A run to the end gives the size of a whole demo journal.
    ASSERT_EQ(run(-1), 0);
    const std::string full = [&] {
        db::Connection c = db::Connection::openFile(path);
        return c.scalar("select count(*) as n from account", "n");
    }();
    std::filesystem::remove(path);

    std::mt19937 random(8);
    int complete = 0;
    for (int i = 0; i < 50; ++i) {
        run(std::uniform_int_distribution<int>(0, 400000)(random));
        std::vector<std::string> left;
        for (const auto &entry : std::filesystem::directory_iterator(folder))
            left.push_back(entry.path().filename().string());
        if (left.empty())
            continue;
        ASSERT_EQ(left, std::vector<std::string>{"account.mdb"}) << "after kill " << i;
        db::Connection c = db::Connection::openFile(path);
        EXPECT_EQ(c.scalar("pragma integrity_check", "integrity_check"), "ok");
        EXPECT_EQ(c.scalar("select count(*) as n from SysAllUser where SysUserName='管理员'", "n"), "1");
        EXPECT_EQ(c.scalar("select count(*) as n from account", "n"), full) << "after kill " << i;
        ++complete;
        std::filesystem::remove(path);
    }
    std::filesystem::remove_all(folder);
    // Most kills land before the end; some runs finish first.
    EXPECT_LT(complete, 50);
}

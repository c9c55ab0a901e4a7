#include "db/dates.h"
#include "db/init_database.h"
#include "ledger/demo_entries.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
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
    const int count = ledger::addDemoEntries(t.connection(), db::DateTime{2026, 12, 7});
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

namespace {

struct PasswordCase {
    const char *name;
    std::vector<std::string> options;
    const char *input;        // standard input of the run
    int status;               // its exit status
    const char *password;     // the administrator's password, nullptr when no file
};

void PrintTo(const PasswordCase &c, std::ostream *out) { *out << c.name; }

class InitDbPassword : public testing::TestWithParam<PasswordCase> {};

// The exit status of pennaro-initdb run with these arguments and this input.
int runInitDb(const std::vector<std::string> &arguments, const std::string &input)
{
    std::string command = PENNARO_INITDB;
    for (const std::string &argument : arguments)
        command += " '" + argument + "'";
    FILE *pipe = popen((command + " >/dev/null 2>&1").c_str(), "w");
    std::fwrite(input.data(), 1, input.size(), pipe);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string administratorPassword(const std::string &path)
{
    db::Connection c = db::Connection::openFile(path);
    return c.scalar("select SysPwd from SysAllUser where SysUserName='管理员'", "SysPwd");
}

} // namespace

TEST_P(InitDbPassword, FromStandardInput)
{
    const PasswordCase &c = GetParam();
    const auto folder = testing_support::makeTempFolder();
    const std::string path = (folder / "account.mdb").string();
    std::vector<std::string> arguments = c.options;
    arguments.push_back(path);
    EXPECT_EQ(runInitDb(arguments, c.input), c.status);
    if (c.password)
        EXPECT_EQ(administratorPassword(path), c.password);
    else
        EXPECT_FALSE(std::filesystem::exists(path));
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InitDbPassword,
    testing::Values(PasswordCase{"FirstLine", {"--ask-password"}, "geheim 1\nsecond\n", 0, "geheim 1"},
                    PasswordCase{"WindowsLineEnd", {"--ask-password"}, "pw\r\n", 0, "pw"},
                    PasswordCase{"EmptyLine", {"--ask-password"}, "\n", 0, ""},
                    PasswordCase{"NothingToRead", {"--ask-password"}, "", 1, nullptr},
                    PasswordCase{"TwoPasswordOptions", {"--ask-password", "--admin-password", "x"}, "y\n", 2, nullptr},
                    PasswordCase{"NotAsked", {}, "ignored\n", 0, ""}),
    [](const testing::TestParamInfo<PasswordCase> &info) { return info.param.name; });

// On a terminal the password is typed twice without being shown; two
// different answers create nothing.
TEST(InitDb, PasswordTypedTwiceOnATerminal)
{
    const auto folder = testing_support::makeTempFolder();
    const std::string path = (folder / "account.mdb").string();
    auto run = [&](const std::string &first, const std::string &second, std::string &screen) {
        int terminal = -1;
        const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
        if (child == 0) {
            execl(PENNARO_INITDB, PENNARO_INITDB, "--ask-password", path.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        // Each answer is typed once its prompt shows, as a person would. A
        // program that stops answering is ended.
        auto waitFor = [&](const std::string &prompt) {
            char buffer[256];
            while (screen.find(prompt) == std::string::npos) {
                pollfd ready{terminal, POLLIN, 0};
                if (poll(&ready, 1, 10000) != 1) {
                    kill(child, SIGKILL);
                    return;
                }
                const ssize_t n = read(terminal, buffer, sizeof buffer);
                if (n <= 0)
                    return;
                screen.append(buffer, static_cast<std::size_t>(n));
            }
        };
        waitFor("管理员的密码");
        (void)!write(terminal, (first + "\n").data(), first.size() + 1);
        waitFor("再输入一次");
        (void)!write(terminal, (second + "\n").data(), second.size() + 1);
        waitFor("\x04"); // reads to the end
        close(terminal);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string screen;
    EXPECT_EQ(run("hidden-pw", "hidden-pw", screen), 0);
    EXPECT_EQ(screen.find("hidden-pw"), std::string::npos) << screen;
    EXPECT_EQ(administratorPassword(path), "hidden-pw");
    std::filesystem::remove(path);
    screen.clear();
    EXPECT_EQ(run("hidden-pw", "hidden-px", screen), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    std::filesystem::remove_all(folder);
}

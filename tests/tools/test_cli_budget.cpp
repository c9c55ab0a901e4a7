#include "db/dates.h"
#include "setup/budgets.h"
#include "support/cli_run.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"

#include <gtest/gtest.h>

using testing_support::TempDatabase;

namespace {

const db::DateTime kNow{2026, 2, 10, 14, 30, 0};

using Ran = testing_support::CliRun;

Ran runCli(TempDatabase &t, std::vector<std::string> args)
{
    args.insert(args.begin(), "budget");
    return testing_support::runOnBooks(t, std::move(args), kNow);
}

std::string budgets(TempDatabase &t)
{
    std::string all;
    for (const auto &[name, amounts] : setup::loadBudgets(t.connection()))
        all += name + ":" + (amounts.monthly.empty() ? "-" : amounts.monthly) + "/" +
               (amounts.yearly.empty() ? "-" : amounts.yearly) + ";";
    return all;
}

} // namespace

TEST(CliBudget, SetsBudgetsAndPrintsTheMonthOrTheYear)
{
    TempDatabase t;
    EXPECT_EQ(runCli(t, {"set", "餐饮", "1000"}).status, cli::kOk);
    EXPECT_EQ(runCli(t, {"set", "餐饮", "600", "--yearly"}).status, cli::kOk);
    EXPECT_EQ(runCli(t, {"set", "交通", "300"}).status, cli::kOk);
    EXPECT_EQ(budgets(t), "交通:300/-;餐饮:1000/600;");
    t.connection().execute("INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额) VALUES "
                           "(1,'2026/02/03 12:00','付 ','午餐 ',35.5),(2,'2026/03/03 12:00','付 ','午餐 ',10)");

    Ran r = runCli(t, {});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "0\t合计\t1300.00\t35.50\t1264.50\t2.73%\n"
                     "1\t餐饮\t1000.00\t35.50\t964.50\t3.55%\n"
                     "1\t交通\t300.00\t0.00\t300.00\t0.00%\n"
                     "0\t时间进度\t28 天\t10 天\t18 天\t35.71%\n");
    r = runCli(t, {"--year=2026"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "0\t合计\t16200.00\t45.50\t16154.50\t0.28%");
    r = runCli(t, {"--month", "202603"});
    EXPECT_NE(r.out.find("1\t餐饮\t1000.00\t10.00\t990.00\t1.00%\n"), std::string::npos) << r.out;

    // An empty amount takes a budget away.
    EXPECT_EQ(runCli(t, {"set", "餐饮", "", "--yearly"}).status, cli::kOk);
    EXPECT_EQ(runCli(t, {"set", "交通", ""}).status, cli::kOk);
    EXPECT_EQ(budgets(t), "餐饮:1000/-;");
}

TEST(CliBudget, RefusalsAndUsageErrors)
{
    TempDatabase t;
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"set", "餐饮", "-5"}, cli::kRefused},
        {{"set", "餐饮", "1.005"}, cli::kRefused},
        {{"set", "工资", "100"}, cli::kRefused},
        {{"set", "餐饮"}, cli::kUsage},
        {{"set", "餐饮", "100", "--month", "202602"}, cli::kUsage},
        {{"--month", "202613"}, cli::kUsage},
        {{"--month", "2026-2"}, cli::kUsage},
        {{"--year", "26"}, cli::kUsage},
        {{"--month", "202602", "--year", "2026"}, cli::kUsage},
        {{"--yearly"}, cli::kUsage},
        {{"show"}, cli::kUsage},
    };
    for (const auto &[args, status] : cases) {
        const Ran r = runCli(t, args);
        EXPECT_EQ(r.status, status) << args.back() << ": " << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(t.value("select count(*) from Budget"), "0");
}

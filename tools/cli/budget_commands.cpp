// pennaro-cli budget: how the budgets of a month or a year are going, and
// setting one category's budget.
#include "db/connection.h"
#include "setup/budgets.h"
#include "stats/budget_statistic.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

#include <optional>
#include <ostream>

namespace cli {

namespace {

bool allDigits(const std::string &text, std::size_t size)
{
    if (text.size() != size)
        return false;
    for (char ch : text)
        if (ch < '0' || ch > '9')
            return false;
    return true;
}

// The period of --month YYYYMM or --year YYYY, this month without either;
// the usage message when they are wrong.
std::optional<stats::BudgetPeriod> periodOf(const Options &options, const db::DateTime &now, std::string &problem)
{
    const std::optional<std::string> month = options.value("month");
    const std::optional<std::string> year = options.value("year");
    if (month && year) {
        problem = "--month 和 --year 只能给一个";
        return std::nullopt;
    }
    if (month) {
        const int m = allDigits(*month, 6) ? std::stoi(month->substr(4)) : 0;
        if (m < 1 || m > 12 || std::stoi(month->substr(0, 4)) < 1) {
            problem = "--month 必须是 YYYYMM 形式的月份";
            return std::nullopt;
        }
        return stats::BudgetPeriod{std::stoi(month->substr(0, 4)), m};
    }
    if (year) {
        if (!allDigits(*year, 4) || std::stoi(*year) < 1) {
            problem = "--year 必须是 YYYY 形式的年份";
            return std::nullopt;
        }
        return stats::BudgetPeriod{std::stoi(*year), 0};
    }
    return stats::BudgetPeriod::monthOf(now);
}

int setBudget(db::Connection &c, const Options &options, Context &context)
{
    const std::vector<std::string> &words = options.positional();
    if (words.size() != 3)
        return usage(context, "请给出支出类型和金额: budget set 类型 金额 [--yearly]");
    if (options.has("month") || options.has("year"))
        return usage(context, "budget set 不用 --month 或 --year");
    setup::BudgetAmounts amounts = setup::loadBudget(c, words[1]);
    (options.has("yearly") ? amounts.yearly : amounts.monthly) = words[2];
    const db::Result set = setup::setBudget(c, words[1], amounts);
    if (!set)
        return refuse(context, set.message);
    return kOk;
}

} // namespace

int budget(db::Connection &c, const Options &options, Context &context)
{
    const std::vector<std::string> &words = options.positional();
    if (!words.empty() && words[0] == "set")
        return setBudget(c, options, context);
    if (!words.empty())
        return usage(context, "未知的参数 " + words[0]);
    if (options.has("yearly"))
        return usage(context, "--yearly 只用于 budget set");
    std::string problem;
    const std::optional<stats::BudgetPeriod> period = periodOf(options, context.now, problem);
    if (!period)
        return usage(context, problem);
    PrintingSink sink(context.out);
    stats::BudgetStatistic(c, *period, context.now, sink).run();
    return kOk;
}

} // namespace cli

#include "stats/month_figures.h"

#include "db/connection.h"
#include "db/dates.h"
#include "db/text.h"
#include "ledger/balances.h"

#include <chrono>
#include <map>
#include <optional>

namespace stats {

namespace {

std::optional<std::chrono::year_month_day> dayOf(const std::string &text)
{
    if (!db::isDayKey(text))
        return std::nullopt;
    return std::chrono::year_month_day{std::chrono::year(std::stoi(text.substr(0, 4))),
                                       std::chrono::month(unsigned(std::stoi(text.substr(4, 2)))),
                                       std::chrono::day(unsigned(std::stoi(text.substr(6, 2))))};
}

std::string dayText(const std::chrono::year_month_day &day)
{
    return db::formatDay({int(day.year()), int(unsigned(day.month())), int(unsigned(day.day()))});
}

// The months from the begin's to the end's, as year-month values.
std::vector<std::chrono::year_month> monthSpan(const Range &range)
{
    const auto begin = dayOf(range.begin);
    const auto end = dayOf(range.end);
    std::vector<std::chrono::year_month> months;
    if (!begin || !end || *begin > *end)
        return months;
    const std::chrono::year_month last = end->year() / end->month();
    for (std::chrono::year_month m = begin->year() / begin->month(); m <= last; m += std::chrono::months(1))
        months.push_back(m);
    return months;
}

} // namespace

std::vector<std::string> monthsOf(const Range &range)
{
    std::vector<std::string> out;
    for (const auto &m : monthSpan(range))
        out.push_back(dayText(m / std::chrono::day(1)).substr(0, 6));
    return out;
}

std::vector<std::string> monthEndsOf(const Range &range)
{
    std::vector<std::string> out;
    for (const auto &m : monthSpan(range))
        out.push_back(std::min(dayText(m / std::chrono::last), range.end));
    return out;
}

std::string monthLabel(const std::string &month)
{
    return month.size() == 6 ? month.substr(0, 4) + "-" + month.substr(4) : month;
}

namespace sql {

std::string monthlyFlows(const Range &range)
{
    return "SELECT substr(Format(日期,'yyyymmdd'),1,6) as nMonth,收负类型,sum(钱额) as nMoney FROM account where "
           "(Format(日期,'yyyymmdd') between '" +
           db::quote(range.begin) + "' and '" + db::quote(range.end) +
           "') and 收负类型 in ('收','付') group by nMonth,收负类型";
}

} // namespace sql

std::vector<MonthFlow> monthlyFlows(db::Connection &connection, const Range &range)
{
    std::vector<MonthFlow> flows;
    std::map<std::string, std::size_t> index;
    for (const std::string &month : monthsOf(range)) {
        index[month] = flows.size();
        flows.push_back({month, 0, 0});
    }
    if (flows.empty())
        return flows;
    db::Query q = connection.query(sql::monthlyFlows(range));
    while (q.next()) {
        auto it = index.find(q.field(0));
        if (it == index.end())
            continue;
        MonthFlow &flow = flows[it->second];
        const double sum = db::leadingNumber(q.field(2));
        (db::trim(q.field(1)) == "收" ? flow.income : flow.spending) += sum;
    }
    return flows;
}

std::vector<MonthEndTotal> monthEndTotals(db::Connection &connection, const Range &range)
{
    const std::vector<std::string> days = monthEndsOf(range);
    std::vector<MonthEndTotal> out;
    if (days.empty())
        return out;
    const std::vector<db::Money> totals = ledger::totalsAtDayEnds(connection, days);
    for (std::size_t i = 0; i < days.size() && i < totals.size(); ++i)
        out.push_back({days[i], totals[i]});
    return out;
}

} // namespace stats

// Times the statistics of the query windows on a heavy user's books: 100,000
// and 1,000,000 entries over ten years, 60 expense and 20 income categories
// on three levels, four banks (made once, then kept in the temporary
// folder). Each figure stands beside its floor, the cheapest single query
// that groups the same rows of the same range, and beside the reference
// computation (the statements one by one). Times are the best of the rounds
// in processor time, which other work on a shared machine disturbs less; the
// wall clock is shown beside it.
//
//   bench_statistics [--rounds N] [--slow-reference] [entries ...]
#include "bench_util.h"
#include "stats_generator.h"

#include "db/connection.h"
#include "stats/day_statistic.h"
#include "stats/stat_list.h"
#include "stats/statistics.h"

#include <QApplication>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const char *const kUsage =
    "usage: bench_statistics [--rounds N] [--slow-reference] [entries ...]\n"
    "Times every statistic of the query windows on generated books of the given sizes\n"
    "(default 100000 1000000; kept in the temporary folder after the first run) beside\n"
    "its floor and the reference computation. The reference of the day-by-day statistic\n"
    "sends a statement per day and is timed only on books of at most 100000 entries and\n"
    "one year unless --slow-reference is given.\n";

const db::DateTime kLastDay{2026, 12, 31};
const stats::Range kOneYear{"20260101", "20261231"};
const stats::Range kTenYears{"20170101", "20261231"};

int g_rounds = 5;
bool g_slowReference = false;

class CountingSink : public stats::RowSink {
public:
    void createColumns(const std::vector<stats::Column> &) override {}
    void addRow(const stats::Row &) override { ++rows; }
    int rows = 0;
};

double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Timing {
    double cpu = 1e30; // ms
    double wall = 1e30;
};

Timing best(int rounds, const std::function<void()> &body)
{
    Timing timing;
    for (int i = 0; i < rounds; ++i) {
        const double start = processSeconds();
        const double wall = bench::seconds(body) * 1000;
        timing.cpu = std::min(timing.cpu, (processSeconds() - start) * 1000);
        timing.wall = std::min(timing.wall, wall);
    }
    return timing;
}

// "2026/01/01" and "2026/12/31~": the range as the stored date texts sort.
std::string slashed(const std::string &day) { return day.substr(0, 4) + "/" + day.substr(4, 2) + "/" + day.substr(6, 2); }

// The cheapest of some single queries that group the rows of a range the
// way a statistic does (total() is the engine's own sum).
Timing floorOf(db::Connection &c, const stats::Range &range, const char *table, const char *date, const char *group,
               const char *amount, const std::vector<const char *> &indexes)
{
    const std::string where = std::string(" WHERE ") + date + " >= '" + slashed(range.begin) + "' AND " + date +
                              " < '" + slashed(range.end) + "~'";
    std::vector<std::string> candidates;
    for (const char *index : indexes)
        candidates.push_back(std::string("SELECT ") + group + ", count(1), total(" + amount + ") FROM " + table +
                             (*index ? std::string(" INDEXED BY ") + index : std::string()) + where + " GROUP BY " +
                             group);
    Timing cheapest;
    for (const std::string &sql : candidates) {
        const Timing t = best(g_rounds, [&] {
            db::Query q = c.query(sql);
            while (q.next()) {
            }
        });
        if (t.cpu < cheapest.cpu)
            cheapest = t;
    }
    return cheapest;
}

Timing journalFloor(db::Connection &c, const stats::Range &range)
{
    return floorOf(c, range, "account", "日期", "帐目类型, 收负类型", "钱额", {"", "account_style"});
}

Timing dayFloor(db::Connection &c, const stats::Range &range)
{
    return floorOf(c, range, "account", "日期", "substr(日期,1,10), 帐目类型, 收负类型", "钱额", {""});
}

struct Figure {
    const char *name;
    std::function<Timing()> floor;
    std::function<void(stats::RowSink &, stats::Computation)> run;
    double ratioTarget;   // 0: none
    double msTarget;      // 0: none
    bool reference;       // time the reference too
};

void report(const Figure &figure)
{
    CountingSink sink;
    const Timing fast = best(g_rounds, [&] {
        sink.rows = 0;
        figure.run(sink, stats::Computation::Fast);
    });
    const Timing floor = figure.floor();
    const double ratio = fast.cpu / floor.cpu;
    std::printf("  %-26s %8.1f ms (wall %7.1f)  floor %7.1f ms (wall %7.1f)  %5.2f x floor", figure.name, fast.cpu,
                fast.wall, floor.cpu, floor.wall, ratio);
    if (figure.reference) {
        const Timing reference = best(1, [&] {
            CountingSink other;
            figure.run(other, stats::Computation::Reference);
        });
        std::printf("  reference %9.1f ms (wall %9.1f)", reference.cpu, reference.wall);
    } else {
        std::printf("  reference %9s   %16s", "-", "");
    }
    std::string target;
    bool met = true;
    if (figure.ratioTarget > 0) {
        target += "<= " + std::to_string(int(figure.ratioTarget)) + "x floor";
        met = met && ratio <= figure.ratioTarget;
    }
    if (figure.msTarget > 0) {
        target += (target.empty() ? "<= " : ", <= ") + std::to_string(int(figure.msTarget)) + " ms";
        met = met && fast.cpu <= figure.msTarget;
    }
    std::printf("  %d rows", sink.rows);
    if (!target.empty())
        std::printf("  target %s: %s", target.c_str(), met ? "met" : "MISSED");
    std::printf("\n");
}

void run(int entries)
{
    const std::string path = bench::statisticsBook(entries, kLastDay);
    db::Connection c = db::Connection::openFile(path);
    const bool large = entries > 200000;
    std::printf("\n%d entries over ten years (%s)\n", entries, path.c_str());

    auto statistic = [&c](stats::Kind kind, const stats::Range &range) {
        return [&c, kind, range](stats::RowSink &sink, stats::Computation computation) {
            stats::runStatistic(c, kind, range, sink, {computation, nullptr});
        };
    };
    auto days = [&c](const stats::Range &range) {
        return [&c, range](stats::RowSink &sink, stats::Computation computation) {
            stats::runDayStatistic(c, range, "all", sink, {computation, nullptr});
        };
    };
    auto floorOfJournal = [&c](const stats::Range &range) { return [&c, range] { return journalFloor(c, range); }; };
    const std::vector<Figure> figures = {
        {"summary, ten years", floorOfJournal(kTenYears), statistic(stats::Kind::Summary, kTenYears), 3,
         large ? 600.0 : 60.0, true},
        {"summary, one year", floorOfJournal(kOneYear), statistic(stats::Kind::Summary, kOneYear), 3, 0, true},
        {"journal, ten years", floorOfJournal(kTenYears), statistic(stats::Kind::Journal, kTenYears), 3, 0, true},
        {"income, ten years", floorOfJournal(kTenYears), statistic(stats::Kind::Income, kTenYears), 3, 0, true},
        {"expense, ten years", floorOfJournal(kTenYears), statistic(stats::Kind::Expense, kTenYears), 3, 0, true},
        {"bank, ten years",
         [&c] { return floorOf(c, kTenYears, "BankAccount", "DTime", "BankName, PayGet", "nMoney", {"", "BankAccount_BankName"}); },
         statistic(stats::Kind::Bank, kTenYears), 3, 0, true},
        {"cash, ten years",
         [&c] { return floorOf(c, kTenYears, "CashAccount", "DTime", "PayGet", "nMoney", {"", "CashAccount_PayGet"}); },
         statistic(stats::Kind::Cash, kTenYears), 3, 0, true},
        {"day by day, one year", [&c] { return dayFloor(c, kOneYear); }, days(kOneYear), large ? 0.0 : 3.0,
         large ? 600.0 : 60.0, !large || g_slowReference},
        {"day by day, ten years", [&c] { return dayFloor(c, kTenYears); }, days(kTenYears), 0, large ? 3000.0 : 300.0,
         g_slowReference},
    };
    for (const Figure &figure : figures)
        report(figure);
}

// What the window waits for: the rows go into the list too. Measured in a
// process with a window system, where the engine itself runs slower (the
// floor beside it shows how much).
void runIntoList(int entries)
{
    db::Connection c = db::Connection::openFile(bench::statisticsBook(entries, kLastDay));
    std::printf("\n%d entries, in a window process\n", entries);
    auto intoList = [&](const char *name, const std::function<void(stats::RowSink &)> &body,
                        const std::function<Timing()> &floor) {
        CStatList list;
        const Timing t = best(std::min(g_rounds, 3), [&] {
            list.removeAll();
            body(list);
        });
        const Timing f = floor();
        std::printf("  %-26s %8.1f ms (wall %7.1f), floor %7.1f ms, %d rows shown\n", name, t.cpu, t.wall, f.cpu,
                    list.displayedRowCount());
    };
    intoList(
        "summary into the list",
        [&](stats::RowSink &list) { stats::runStatistic(c, stats::Kind::Summary, kTenYears, list); },
        [&] { return journalFloor(c, kTenYears); });
    intoList(
        "one year's days into list",
        [&](stats::RowSink &list) { stats::runDayStatistic(c, kOneYear, "all", list); },
        [&] { return dayFloor(c, kOneYear); });
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::helpAsked(argc, argv, kUsage))
        return 0;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) {
            g_rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--slow-reference") {
            g_slowReference = true;
        } else if (!arg.empty() && std::all_of(arg.begin(), arg.end(), ::isdigit) && std::atoi(arg.c_str()) > 0) {
            sizes.push_back(std::atoi(arg.c_str()));
        } else {
            std::fprintf(stderr, "bench_statistics: unknown argument %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (sizes.empty())
        sizes = {100000, 1000000};
    // The engine runs slower in a process that has made a window system
    // (about 1.8 times here, floor and all), so the statistics are timed
    // before it exists, as the command line runs them.
    for (int entries : sizes)
        run(entries);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    for (int entries : sizes)
        runIntoList(entries);
    return 0;
}

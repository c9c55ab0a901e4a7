// Times the ledger loads on generated journals of 100,000 and 1,000,000
// entries: for every ledger and the ranges today, this month, this year and
// the widest one, the load statement against the same scan with plain text
// comparisons of the date column (the floor of a statement that must run as
// it is), the load into the list model, the bytes a journal row holds, and
// the time until the general journal is drawn.
//
//   bench_ledger_load [--rounds N] [entries ...]   (default: 5 rounds; 100000 1000000)
#include "bench_util.h"
#include "journal_generator.h"
#include "widget_bench.h"

#include "db/connection.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"
#include "support/stub_view_host.h"

#include <QApplication>
#include <QPixmap>

#include <unistd.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

int g_rounds = 5;
constexpr double kRatioTarget = 1.3;
constexpr double kBytesTarget = 120;
constexpr double kTodayOnScreenTarget = 50;     // ms, 100,000 entries
constexpr double kWidestOnScreenTarget = 1500;  // ms, 1,000,000 entries

const char *const kLedgerNames[] = {"journal", "income", "expense", "bank", "cash", "invest"};
const char *const kTables[] = {"account", "GetMoney", "PayMoney", "BankAccount", "CashAccount", "InvestMoney"};

struct Range {
    const char *name;
    std::string begin;
    std::string end;
};

// Best of the rounds, in milliseconds: the wall clock, and the processor
// time of this thread (which other programs on a shared machine disturb
// less).
struct Timing {
    double wall = 1e30;
    double cpu = 1e30;
};

void measure(Timing &best, const std::function<void()> &body)
{
    const double cpu = bench::cpuSeconds();
    const double wall = bench::seconds(body);
    best.cpu = std::min(best.cpu, (bench::cpuSeconds() - cpu) * 1000);
    best.wall = std::min(best.wall, wall * 1000);
}

Timing bestOf(const std::function<void()> &body)
{
    Timing best;
    for (int round = 0; round < g_rounds; ++round)
        measure(best, body);
    return best;
}

int stepAll(db::Connection &c, const std::string &sql)
{
    db::Query q = c.query(sql);
    int rows = 0;
    while (q.next())
        ++rows;
    return rows;
}

std::string slashed(const std::string &day)
{
    return day.substr(0, 4) + "/" + day.substr(4, 2) + "/" + day.substr(6, 2);
}

void replaceOnce(std::string &text, const std::string &from, const std::string &to)
{
    const std::size_t at = text.find(from);
    if (at == std::string::npos) {
        std::fprintf(stderr, "floor: no \"%s\" in %s\n", from.c_str(), text.c_str());
        std::exit(2);
    }
    text.replace(at, from.size(), to);
}

// The load statement with each Format comparison replaced by a comparison
// of the stored text; the unary plus keeps the planner from using the date
// index for the range, so it scans as the load statement must.
std::string floorStatement(int k, const Range &range)
{
    const std::string column = k == 0 ? "日期" : "DTime";
    std::string sql = ledger::loadStatement(k, range.begin, range.end);
    replaceOnce(sql, "Format(" + column + ",'yyyymmdd') >= '" + range.begin + "'",
                "+" + column + " >= '" + slashed(range.begin) + "'");
    // '~' sorts after every character of a stored date and time.
    replaceOnce(sql, "Format(" + column + ",'yyyymmdd') <= '" + range.end + "'",
                "+" + column + " < '" + slashed(range.end) + "~'");
    return sql;
}

std::vector<std::string> plan(db::Connection &c, const std::string &sql)
{
    std::vector<std::string> lines;
    db::Query q = c.query("EXPLAIN QUERY PLAN " + sql);
    while (q.next())
        lines.push_back(q.field("detail"));
    return lines;
}

// Resident memory of the process; the rows of a large table live in
// mappings of their own, which the heap's statistics do not see.
std::size_t residentBytes()
{
    std::FILE *file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return 0;
    unsigned long total = 0, resident = 0;
    const int read = std::fscanf(file, "%lu %lu", &total, &resident);
    std::fclose(file);
    return read == 2 ? resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

const char *verdict(bool met) { return met ? "ok" : "MISSED"; }

void run(int entries)
{
    bench::JournalShape shape;
    shape.entries = entries;
    const std::string path = bench::journalFile(shape);
    db::Connection c = db::Connection::openFile(path);

    const std::string today = db::formatDay(shape.today);
    const std::vector<Range> ranges = {
        {"today", today, today},
        {"month", today.substr(0, 6) + "01", today},
        {"year", today.substr(0, 4) + "0101", today},
        {"widest", "19000101", "99991231"},
    };

    std::printf("\n== %d entries from %s to %s (%s)\n  rows:", entries, bench::firstDay(shape).c_str(),
                today.c_str(), path.c_str());
    for (const char *table : kTables)
        std::printf(" %s %s", table, c.scalar(std::string("select count(*) as n from ") + table, "n").c_str());
    std::printf("\n  query plans (load statement | floor):\n");
    for (int k = 0; k < ledger::kLedgerCount; ++k) {
        std::string load, floor;
        for (const std::string &line : plan(c, ledger::loadStatement(k, today, today)))
            load += (load.empty() ? "" : "; ") + line;
        for (const std::string &line : plan(c, floorStatement(k, ranges[0])))
            floor += (floor.empty() ? "" : "; ") + line;
        std::printf("    %-8s %s | %s\n", kLedgerNames[k], load.c_str(), floor.c_str());
    }

    std::printf("  SQL and floor: best of %d taken in turns, wall clock (processor time of this thread)\n", g_rounds);
    std::printf("  %-7s %-8s %8s %18s %18s %13s %-8s %9s\n", "range", "ledger", "rows", "SQL ms", "floor ms",
                "ratio", "<=1.3", "model ms");
    int missed = 0;
    for (const Range &range : ranges) {
        for (int k = 0; k < ledger::kLedgerCount; ++k) {
            const std::string load = ledger::loadStatement(k, range.begin, range.end);
            const std::string floor = floorStatement(k, range);
            const int rows = stepAll(c, load);
            if (stepAll(c, floor) != rows) {
                std::printf("  floor of %s %s returns other rows\n", range.name, kLedgerNames[k]);
                std::exit(2);
            }
            // Taken in turns, so that both meet the same load of the machine.
            Timing sql, base;
            for (int round = 0; round < g_rounds; ++round) {
                measure(sql, [&] { stepAll(c, load); });
                measure(base, [&] { stepAll(c, floor); });
            }
            const Timing model = bestOf([&] {
                LedgerModel m;
                m.setLedger(k, ledger::loadLedger(c, k, range.begin, range.end));
            });
            const double ratio = sql.wall / base.wall;
            missed += ratio > kRatioTarget;
            std::printf("  %-7s %-8s %8d %8.2f (%7.2f) %8.2f (%7.2f) %5.2f (%5.2f) %-8s %9.2f\n", range.name,
                        kLedgerNames[k], rows, sql.wall, sql.cpu, base.wall, base.cpu, ratio, sql.cpu / base.cpu,
                        verdict(ratio <= kRatioTarget), model.wall);
            std::fflush(stdout);
        }
    }

    {
        const Range &widest = ranges.back();
        LedgerModel model;
        model.setLedger(0, ledger::loadLedger(c, 0, widest.begin, widest.end)); // the engine's caches fill
        model.clear();
        const std::size_t before = residentBytes();
        model.setLedger(0, ledger::loadLedger(c, 0, widest.begin, widest.end));
        const std::size_t after = residentBytes();
        const int rows = model.table().rowCount();
        const double perRow = double(after - before) / rows;
        const double arena = double(model.table().bytesHeld()) / rows;
        std::printf("  general journal in memory: %.1f bytes a row of resident memory (%.1f held by the table) over %d "
                    "rows, target <= %.0f: %s\n",
                    perRow, arena, rows, kBytesTarget, verdict(perRow <= kBytesTarget));
        missed += perRow > kBytesTarget;
    }

    StubViewHost host(c);
    CKassoltView view(&host, 0);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    std::printf("  general journal on screen (load command to the list drawn):\n");
    for (const Range &range : ranges) {
        host.setRange(QString::fromStdString(range.begin), QString::fromStdString(range.end));
        const double ms = bestOf([&] {
            view.loadLedger(0);
            QApplication::processEvents();
            view.grab();
        }).wall;
        std::printf("    %-7s %9.2f ms", range.name, ms);
        if (entries == 100000 && range.name == ranges.front().name) {
            std::printf("   target <= %.0f ms: %s", kTodayOnScreenTarget, verdict(ms <= kTodayOnScreenTarget));
            missed += ms > kTodayOnScreenTarget;
        }
        if (entries == 1000000 && range.name == ranges.back().name) {
            std::printf("   target <= %.0f ms: %s", kWidestOnScreenTarget, verdict(ms <= kWidestOnScreenTarget));
            missed += ms > kWidestOnScreenTarget;
        }
        std::printf("\n");
    }
    std::printf("  %d figures missed their targets\n", missed);
}

} // namespace

int main(int argc, char **argv)
{
    const char *const usage =
        "usage: bench_ledger_load [--rounds N] [entries ...]   (default: 5 rounds; 100000 1000000)\n"
        "Times the ledger loads on generated journals (kept in the temporary folder after the first run).\n";
    return bench::runOffscreen(argc, argv, usage, g_rounds, {100000, 1000000}, run);
}

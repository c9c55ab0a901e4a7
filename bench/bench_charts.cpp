// Times the charts of the class query window on a heavy user's journal:
// 100,000 entries over ten years. Each figure runs from the rows of the
// statistic (already read) to the chart drawn into an image, the best of
// five; the months' figures are read from the books within that time.
#include "bench_util.h"
#include "stats_generator.h"
#include "support/temp_database.h"

#include "stats/chart_drawing.h"
#include "stats/chart_pane.h"
#include "stats/class_query_window.h"
#include "stats/query_commands.h"
#include "stats/statistics.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QDir>
#include <QSplitter>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const db::DateTime kLastDay{2026, 12, 31};
const stats::Range kTenYears{"20170101", "20261231"};
const QSize kImageSize(900, 600);
constexpr int kEntries = 100000;
constexpr int kRounds = 5;
constexpr double kTargetMs = 300;

template <typename F> double bestMs(F &&body)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i)
        best = std::min(best, bench::seconds(body) * 1000);
    return best;
}

void usage()
{
    std::printf("usage: bench_charts [--images FOLDER]\n"
                "Times each chart of the class query window over ten years of a %d-entry book,\n"
                "from the statistic's rows to the chart drawn into a %dx%d image (best of %d;\n"
                "target %.0f ms). With --images, writes each chart and the window beside its\n"
                "list as PNG files into FOLDER.\n",
                kEntries, kImageSize.width(), kImageSize.height(), kRounds, kTargetMs);
}

struct Timed {
    const char *name;
    double ms;
};

void report(const Timed &t)
{
    std::printf("%-28s %8.1f ms  %s\n", t.name, t.ms, t.ms <= kTargetMs ? "ok" : "OVER TARGET");
}

} // namespace

int main(int argc, char **argv)
{
    QString images;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            usage();
            return 0;
        }
        if (!std::strcmp(argv[i], "--images") && i + 1 < argc) {
            images = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        usage();
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    testing_support::TempDatabase database;
    db::Connection &c = database.connection();
    bench::createHouseholdTrees(c);
    const double made = bench::seconds([&] { bench::generateEntries(c, kEntries, kLastDay); });
    std::printf("book: %d entries over ten years, made in %.1f s\n", kEntries, made);

    stats::ChartSink sink;
    const double statistic = bench::seconds([&] { stats::runStatistic(c, stats::Kind::Summary, kTenYears, sink); });
    std::printf("%-28s %8.1f ms  (the statistic itself, for comparison)\n", "summary statistic", statistic * 1000);

    QChart *pie = nullptr;
    const Timed share{"share ring, expense", bestMs([&] {
                          delete pie;
                          pie = stats::makePieChart(sink.pie(stats::Section::Expense));
                          stats::chartImage(pie, kImageSize);
                      })};
    QChart *flows = nullptr;
    const Timed monthly{"monthly income and spending", bestMs([&] {
                            delete flows;
                            flows = stats::makeFlowChart(stats::monthlyFlows(c, kTenYears));
                            stats::chartImage(flows, kImageSize);
                        })};
    QChart *balances = nullptr;
    const Timed monthEnds{"month-end totals", bestMs([&] {
                              delete balances;
                              balances = stats::makeBalanceChart(stats::monthEndTotals(c, kTenYears));
                              stats::chartImage(balances, kImageSize);
                          })};
    report(share);
    report(monthly);
    report(monthEnds);

    if (!images.isEmpty()) {
        QDir().mkpath(images);
        stats::saveChart(pie, images + QStringLiteral("/share.png"), kImageSize);
        stats::saveChart(flows, images + QStringLiteral("/flows.png"), kImageSize);
        stats::saveChart(balances, images + QStringLiteral("/balances.png"), kImageSize);
        const stats::Pie first = sink.pie(stats::Section::Expense);
        for (const stats::Slice &slice : first.slices) {
            if (!slice.drillable)
                continue;
            QChart *drilled = stats::makePieChart(sink.pie(stats::Section::Expense, {slice.label}));
            stats::saveChart(drilled, images + QStringLiteral("/share-drilled.png"), kImageSize);
            delete drilled;
            break;
        }
        CClassQueryWindow window(c, [] { return db::DateTime{2026, 12, 31, 12, 0, 0}; });
        window.resize(1280, 720);
        window.showCharts(true);
        window.show();
        window.onCommand(stats::cmd::ID_DAY_THIS_YEAR);
        QApplication::processEvents();
        QApplication::processEvents();
        window.grab().save(images + QStringLiteral("/window.png"));
        std::printf("images written to %s\n", qPrintable(images));
    }
    delete pie;
    delete flows;
    delete balances;
    return 0;
}

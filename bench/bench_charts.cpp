// Times the charts of the class query window on a heavy user's journal:
// 100,000 entries over ten years. Each figure runs from the rows of the
// statistic (already read) to the chart drawn into an image, the best of
// five; the months' figures are read from the books within that time.
#include "bench_util.h"
#include "stats_generator.h"
#include "support/temp_database.h"

#include "ledger/demo_entries.h"
#include "db/connection.h"
#include "stats/chart_drawing.h"
#include "stats/chart_pane.h"
#include "stats/class_query_window.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "stats/stat_report.h"
#include "stats/statistics.h"
#include "ui/report_output.h"

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
                "target %.0f ms). With --images, writes each chart as PNG into FOLDER, and the\n"
                "class query window over the demo book's year with each chart beside its list\n"
                "(the ring also drilled into 餐饮, or its first category with children), and\n"
                "the statistics report opening with the ring as report.pdf.\n",
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

// The window over the demo book's year, a grab for each chart.
void grabDemoWindows(const QString &folder)
{
    testing_support::TempDatabase demo;
    const db::DateTime today{2026, 12, 31, 12, 0, 0};
    ledger::addDemoEntries(demo.connection(), today);
    CClassQueryWindow window(demo.connection(), [today] { return today; });
    window.resize(1280, 720);
    window.showCharts(true);
    window.show();
    window.onCommand(stats::cmd::ID_DAY_THIS_YEAR);
    QApplication::processEvents();
    window.onCommand(stats::cmd::ID_EXPENSE);
    CChartPane &pane = *window.chartPane();
    const auto grab = [&](const char *name) {
        QApplication::processEvents();
        window.grab().save(folder + QStringLiteral("/window-") + QLatin1String(name) + QStringLiteral(".png"));
    };
    grab("share");
    // The statistics report as it prints with the ring beside the list.
    const auto report = stats::makeStatReport(
        stats::StatReportKind::Statistics, *window.statList(), QDate(2026, 12, 31),
        [&pane](QPainter &painter, const QRectF &box) { pane.drawOn(painter, box); });
    ui::exportPdf(*report, report->pageCount(), folder + QStringLiteral("/report.pdf"));
    // 餐饮 when the ring has it, else the first category with children.
    const stats::Pie pie = pane.sink().pie(pane.section());
    int drill = -1;
    for (std::size_t i = 0; i < pie.slices.size(); ++i)
        if (pie.slices[i].drillable && (drill < 0 || pie.slices[i].label == "餐饮"))
            drill = static_cast<int>(i);
    pane.drillInto(drill);
    grab("drilled");
    pane.back();
    pane.showChart(CChartPane::Chart::Flows);
    grab("flows");
    pane.showChart(CChartPane::Chart::Balances);
    grab("balances");
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

    const std::string book = bench::statisticsBook(kEntries, kLastDay);
    db::Connection c = db::Connection::openFile(book);
    std::printf("book: %d entries over ten years, %s\n", kEntries, book.c_str());

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
        grabDemoWindows(images);
        std::printf("images written to %s\n", qPrintable(images));
    }
    delete pie;
    delete flows;
    delete balances;
    return 0;
}

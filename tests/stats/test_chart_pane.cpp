#include "app/ui_setup.h"
#include "ledger/posting.h"
#include "stats/chart_drawing.h"
#include "stats/chart_pane.h"
#include "stats/class_query_window.h"
#include "stats/query_commands.h"
#include "support/pdf_pages.h"
#include "support/sample_entries.h"
#include "support/temp_database.h"
#include "ui/print_preview.h"
#include "ui/report_output.h"

#include <QAction>
#include <QChart>
#include <QClipboard>
#include <QFile>
#include <QPieSeries>
#include <QPieSlice>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

using namespace stats::cmd;
using testing_support::Sample;
using testing_support::TempDatabase;

namespace {

const Sample kYear[] = {
    {"2007/03/20 07:30", "付", "早餐", "6"},    {"2007/03/20 12:00", "付", "午餐", "20"},
    {"2007/03/05 19:00", "付", "晚餐", "80"},   {"2007/03/07 22:00", "付", "打车", "30"},
    {"2007/01/02 12:00", "付", "医疗", "150"},  {"2007/02/02 12:00", "付", "房租", "1500"},
    {"2007/03/20 18:00", "收", "工资", "3000"}, {"2007/02/10 12:00", "收", "奖金", "500"},
};

struct Books {
    TempDatabase database;
    db::DateTime now{2007, 3, 20, 9, 30, 0};
    Books()
    {
        testing_support::postSamples(database.connection(), kYear);
    }
    std::unique_ptr<CClassQueryWindow> window()
    {
        auto w = std::make_unique<CClassQueryWindow>(database.connection(), [this] { return now; });
        w->resize(1000, 600);
        w->showCharts(true);
        w->show();
        w->onCommand(ID_DAY_THIS_YEAR);
        QTest::qWait(0);
        w->onCommand(ID_EXPENSE);
        return w;
    }
};

QPieSeries *pieOf(CChartPane &pane)
{
    const auto series = pane.chart()->series();
    return series.isEmpty() ? nullptr : qobject_cast<QPieSeries *>(series.first());
}

QStringList sliceNames(CChartPane &pane)
{
    QStringList names;
    if (QPieSeries *pie = pieOf(pane))
        for (QPieSlice *slice : pie->slices())
            names << slice->label().section(QLatin1Char(' '), 0, 0);
    return names;
}

// Whether an image holds a colour of the palette, not only black on white.
bool holdsColour(const QImage &image)
{
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            coloured += image.pixelColor(x, y).hsvSaturation() > 80;
    return coloured > 200;
}

} // namespace

class TestChartPane : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
private slots:
    void initTestCase()
    {
        app::setUpApplication(*qApp);
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    void paneShownAndSplitterAreRemembered();
    void clickDrillsIntoChildrenAndBackReturns();
    void chartIsSavedAndCopied_data();
    void chartIsSavedAndCopied();
    void reportOpensWithTheChart();
};

void TestChartPane::paneShownAndSplitterAreRemembered()
{
    Books books;
    QByteArray state;
    {
        CClassQueryWindow window(books.database.connection(), [&] { return books.now; });
        QVERIFY(!window.chartsShown());
        window.action(ID_CHARTS)->trigger();
        QVERIFY(window.chartsShown());
        window.resize(1000, 600);
        window.show();
        window.splitter()->setSizes({300, 700});
        emit window.splitter()->splitterMoved(300, 1);
        state = window.splitter()->saveState();
    }
    CClassQueryWindow again(books.database.connection(), [&] { return books.now; });
    QVERIFY(again.chartsShown());
    QVERIFY(again.action(ID_CHARTS)->isChecked());
    QCOMPARE(again.splitter()->saveState(), state);
    again.action(ID_CHARTS)->trigger();
    QVERIFY(!again.chartsShown());
    CClassQueryWindow third(books.database.connection(), [&] { return books.now; });
    QVERIFY(!third.chartsShown());
}

void TestChartPane::clickDrillsIntoChildrenAndBackReturns()
{
    Books books;
    auto window = books.window();
    CChartPane &pane = *window->chartPane();
    QCOMPARE(sliceNames(pane), (QStringList{"居住", "医疗", "餐饮", "交通"}));

    // 医疗 has no children: a click leaves the ring as it is.
    emit pieOf(pane)->clicked(pieOf(pane)->slices().at(1));
    QTest::qWait(0);
    QVERIFY(pane.path().empty());
    QVERIFY(!pane.action(CChartPane::Command::Back)->isEnabled());

    emit pieOf(pane)->clicked(pieOf(pane)->slices().at(2));
    QTRY_COMPARE(pane.path(), std::vector<std::string>{"餐饮"});
    QCOMPARE(sliceNames(pane), (QStringList{"晚餐", "午餐", "早餐"}));
    QVERIFY(pane.chart()->title().contains(QStringLiteral("餐饮")));
    QVERIFY(pane.action(CChartPane::Command::Back)->isEnabled());

    pane.action(CChartPane::Command::Back)->trigger();
    QVERIFY(pane.path().empty());
    QCOMPARE(sliceNames(pane), (QStringList{"居住", "医疗", "餐饮", "交通"}));

    // Income shows its own categories; a new range starts at the first level.
    window->onCommand(ID_INCOME);
    QCOMPARE(pane.section(), stats::Section::Income);
    QCOMPARE(sliceNames(pane), (QStringList{"工资", "奖金"}));
}

void TestChartPane::chartIsSavedAndCopied_data()
{
    QTest::addColumn<int>("chart");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("label");
    QTest::newRow("ring png") << int(CChartPane::Chart::Share) << "ring.png" << "";
    QTest::newRow("ring svg") << int(CChartPane::Chart::Share) << "ring.SVG" << "餐饮";
    QTest::newRow("months png") << int(CChartPane::Chart::Flows) << "months.png" << "";
    QTest::newRow("months svg") << int(CChartPane::Chart::Flows) << "months.svg" << "3月";
    QTest::newRow("month ends png") << int(CChartPane::Chart::Balances) << "ends.png" << "";
    QTest::newRow("month ends svg") << int(CChartPane::Chart::Balances) << "ends.svg" << "月末余额";
}

void TestChartPane::chartIsSavedAndCopied()
{
    QFETCH(int, chart);
    QFETCH(QString, file);
    QFETCH(QString, label);
    Books books;
    auto window = books.window();
    CChartPane &pane = *window->chartPane();
    pane.showChart(static_cast<CChartPane::Chart>(chart));
    QTemporaryDir folder;
    const QString path = folder.filePath(file);
    QVERIFY(pane.saveTo(path));
    if (label.isEmpty()) {
        const QImage image(path);
        QVERIFY(image.width() >= 800 && image.height() >= 500);
        QVERIFY(holdsColour(image));
    } else {
        QFile svg(path);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(svg.readAll());
        QVERIFY(text.contains(QStringLiteral("<svg")));
        QVERIFY(text.contains(label));
    }
    QVERIFY(!pane.saveTo(folder.filePath(QStringLiteral("missing/") + file)));

    pane.copyToClipboard();
    QVERIFY(holdsColour(QApplication::clipboard()->image()));
}

void TestChartPane::reportOpensWithTheChart()
{
    Books books;
    auto window = books.window();
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    int pages = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (auto *preview = qobject_cast<CPrintPreview *>(QApplication::activeModalWidget())) {
            pages = preview->pageCount();
            ui::exportPdf(preview->report(), pages, pdf);
            preview->reject();
        }
    });
    watch.start(10);
    window->action(ID_CLASS_PRINT_PREVIEW)->trigger();
    QCOMPARE(pages, 2);

    const QImage first = pdf_pages::pageImage(pdf, 1, folder.path());
    QVERIFY(!first.isNull());
    QVERIFY(holdsColour(first));
    QVERIFY(pdf_pages::pageText(pdf, 1).contains(QStringLiteral("第 1 页/共 2 页")));
    const QString table = pdf_pages::pageText(pdf, 2);
    QVERIFY(table.contains(QStringLiteral("支出费用")));
    QVERIFY(table.contains(QStringLiteral("第 2 页/共 2 页")));
    QVERIFY(!holdsColour(pdf_pages::pageImage(pdf, 2, folder.path())));

    // With the pane hidden the report is the table alone.
    window->showCharts(false);
    window->action(ID_CLASS_PRINT_PREVIEW)->trigger();
    QCOMPARE(pages, 1);
}

QTEST_MAIN(TestChartPane)
#include "test_chart_pane.moc"

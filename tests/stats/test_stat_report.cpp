#include "app/ui_setup.h"
#include "ledger/posting.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "stats/stat_report.h"
#include "support/sample_entries.h"
#include "support/temp_database.h"
#include "ui/print_preview.h"
#include "ui/report_output.h"
#include "ui/report_pages.h"

#include "support/pdf_pages.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace pdf_pages;
using namespace stats::cmd;
using stats::StatReportKind;
using testing_support::Sample;
using testing_support::TempDatabase;

namespace {

const QDate kToday(2007, 3, 20);

// Meals, transport, rent and income of this year, paid in cash.
const Sample kYear[] = {
    {"2007/03/20 07:30", "付", "早餐", "6"},     {"2007/03/20 12:00", "付", "午餐", "20"},
    {"2007/03/05 19:00", "付", "晚餐", "80"},    {"2007/03/06 08:00", "付", "公交地铁", "4"},
    {"2007/03/07 22:00", "付", "打车", "30"},    {"2007/01/02 12:00", "付", "房租", "1500"},
    {"2007/03/20 18:00", "收", "工资", "3000"},  {"2007/03/05 20:00", "收", "奖金", "500"},
    {"2007/02/10 12:00", "收", "工资", "2900"},
};

struct Books {
    TempDatabase database;
    db::DateTime now{2007, 3, 20, 9, 30, 0};
    CQueryWindow::Clock clock() { return [this] { return now; }; }

    void post(const QString &date, const char *type, const char *category, const QString &amount)
    {
        ledger::Entry e{ledger::nextEntryNumber(database.connection()), date.toStdString(), type, category,
                        amount.toStdString(), "", "管理员", ledger::kCashAccount, ""};
        QVERIFY(ledger::postEntry(database.connection(), e));
    }
    void postYear()
    {
        for (const Sample &s : kYear)
            post(QString::fromUtf8(s.date), s.type, s.category, QString::fromUtf8(s.amount));
    }
    // One lunch a day from 1 January on, day n costing n.
    void postLunches(int days)
    {
        for (int n = 1; n <= days; ++n)
            post(QDate(2007, 1, 1).addDays(n - 1).toString(QStringLiteral("yyyy/MM/dd 12:00")), "付", "午餐",
                 QString::number(n));
    }
};

// Chooses this year and lets the statistic run again over it.
void chooseThisYear(CQueryWindow &window)
{
    window.onCommand(ID_DAY_THIS_YEAR);
    QTRY_COMPARE(window.rangeBegin(), QStringLiteral("20070101"));
    QCoreApplication::processEvents();
}

QTreeWidgetItem *find(const QTreeWidgetItem *parent, const QString &label)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == label)
            return parent->child(i);
    return nullptr;
}

QTreeWidgetItem *findTop(const CStatList &list, const QString &label)
{
    return find(list.invisibleRootItem(), label);
}

// A row of the list as pdftotext lays it out: its texts in order, nothing else.
QRegularExpression rowLine(const QStringList &cells)
{
    QStringList parts;
    for (const QString &cell : cells)
        if (!cell.isEmpty())
            parts << QRegularExpression::escape(cell);
    return QRegularExpression(QStringLiteral("^\\s*") + parts.join(QStringLiteral("\\s+")) + QStringLiteral("\\s*$"),
                              QRegularExpression::MultilineOption);
}

// Where each row stands on the page, in characters; -1 for a row not there.
QList<qsizetype> rowPositions(const QString &text, const std::vector<QStringList> &rows)
{
    QList<qsizetype> at;
    for (const QStringList &row : rows) {
        const QRegularExpressionMatch m = rowLine(row).match(text);
        at << (m.hasMatch() ? m.capturedStart() : -1);
    }
    return at;
}

bool ascending(const QList<qsizetype> &positions)
{
    for (qsizetype i = 0; i < positions.size(); ++i)
        if (positions[i] < 0 || (i > 0 && positions[i] <= positions[i - 1]))
            return false;
    return true;
}

QString exported(const ui::Report &report, const QTemporaryDir &folder, const QString &name)
{
    const QString pdf = folder.filePath(name);
    if (!ui::exportPdf(report, ui::pageCount(report.rowCount()), pdf))
        return {};
    return pdf;
}

} // namespace

class TestStatReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void classReportPrintsTheDisplayedRows();
    void classReportRulesAndCentredCells();
    void dateReportRunsOnToASecondPage();
    void cellsAreCutToTheirByteLimits_data();
    void cellsAreCutToTheirByteLimits();
    void centredTextTooWideKeepsItsBeginning();
    void previewButtonsOpenTheirReports_data();
    void previewButtonsOpenTheirReports();
};

void TestStatReport::initTestCase()
{
    app::setUpApplication(*qApp);
    // The chart pane's place is kept in the user's settings: none here.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
}

void TestStatReport::classReportPrintsTheDisplayedRows()
{
    Books books;
    books.postYear();
    CClassQueryWindow window(books.database.connection(), books.clock());
    chooseThisYear(window);
    CStatList &list = *window.statList();
    // Expenses open with 交通 open below them; 餐饮 and 居住 stay closed;
    // income open; the journal and the cash directions closed.
    QTreeWidgetItem *expenses = findTop(list, QStringLiteral("支出费用"));
    QVERIFY(expenses);
    expenses->setExpanded(true);
    find(expenses, QStringLiteral("交通"))->setExpanded(true);
    findTop(list, QStringLiteral("收入类型"))->setExpanded(true);

    const auto report = stats::makeStatReport(StatReportKind::Statistics, list, kToday);
    QCOMPARE(report->title(), QStringLiteral("统计报表"));
    QCOMPARE(report->rowCount(), 12);
    QTemporaryDir folder;
    const QString pdf = exported(*report, folder, QStringLiteral("class.pdf"));
    QVERIFY(!pdf.isEmpty());
    const QString text = pageText(pdf, 1);
    QVERIFY2(text.contains(QStringLiteral("统计报表")), qPrintable(text));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("类\\s*型\\s+金\\s*额\\s+次\\s*数\\s+收\\s*付\\s+百分比"))));
    const std::vector<QStringList> shown = list.displayedRowTexts();
    QCOMPARE(int(shown.size()), 12);
    const QList<qsizetype> positions = rowPositions(text, shown);
    QVERIFY2(ascending(positions), qPrintable(text));
    // The rows of closed branches are not printed: 早餐 and 房租 are
    // children of closed rows, under the expenses and in the journal alike.
    for (const char *hidden : {"早餐", "午餐", "晚餐", "房租"})
        QVERIFY2(!text.contains(QString::fromUtf8(hidden)), hidden);
    QVERIFY(text.contains(QStringLiteral("公交地铁")));
    QVERIFY(text.indexOf(QStringLiteral("报表日期:2007-03-20")) > positions.last());
    QVERIFY(text.contains(QStringLiteral("第 1 页/共 1 页")));

    // The report reads the list when it draws: opening 餐饮 prints its meals.
    find(expenses, QStringLiteral("餐饮"))->setExpanded(true);
    const QString again = exported(*report, folder, QStringLiteral("again.pdf"));
    const QString opened = pageText(again, 1);
    QVERIFY(ascending(rowPositions(opened, list.displayedRowTexts())));
    for (const char *meal : {"早餐", "午餐", "晚餐"})
        QVERIFY2(opened.contains(QString::fromUtf8(meal)), meal);
    QVERIFY(!opened.contains(QStringLiteral("房租")));
}

void TestStatReport::classReportRulesAndCentredCells()
{
    Books books;
    books.postYear();
    CClassQueryWindow window(books.database.connection(), books.clock());
    chooseThisYear(window);
    CStatList &list = *window.statList();
    QCOMPARE(list.displayedRowCount(), 5);
    QCOMPARE(list.topLevelItem(0)->text(4), QStringLiteral("100%"));
    const auto report = stats::makeStatReport(StatReportKind::Statistics, list, kToday);
    QTemporaryDir folder;
    const QString pdf = exported(*report, folder, QStringLiteral("rules.pdf"));
    const QImage page = pageImage(pdf, 1, folder.path());
    QCOMPARE(page.size(), QSize(px(182), px(257)));

    // A header row and five rows of 7 mm from 25 mm; the rules run across
    // the whole table, past the last column's end at 154 mm.
    const double bottom = 25 + 7 * 6;
    for (double y : {25.0, 32.0, 39.0, bottom}) {
        QVERIFY2(ruleShare(page, true, y, 20, 162) > 0.9, qPrintable(QString::number(y)));
        QVERIFY(ruleShare(page, true, y, 154, 162) > 0.9);
    }
    for (double x : {20.0, 60.0, 91.0, 112.0, 133.0, 162.0})
        QVERIFY2(ruleShare(page, false, x, 25, bottom) > 0.9, qPrintable(QString::number(x)));
    QVERIFY(ruleShare(page, false, 154, 25, bottom) < 0.5);
    QVERIFY(ruleShare(page, false, 80, 25, bottom) < 0.5);
    QVERIFY(anyDark(page, 60, 11, 120, 19));             // the title
    QVERIFY(anyDark(page, 20, bottom + 1, 60, bottom + 6));   // the date line
    QVERIFY(anyDark(page, 130, bottom + 1, 162, bottom + 6)); // the page line
    QVERIFY(!anyDark(page, 1, bottom + 8, 181, 256));

    // Cells are centred: "流水帐目" in its box from 21.5 to 60 mm and
    // "100%" in its box from 134.5 to 154 mm leave the box's left part blank.
    QVERIFY(!anyDark(page, 22, 33, 31, 38));
    QVERIFY(anyDark(page, 36, 33, 45, 38));
    QVERIFY(!anyDark(page, 135, 33, 139, 38));
    QVERIFY(anyDark(page, 142, 33, 146, 38));
}

void TestStatReport::dateReportRunsOnToASecondPage()
{
    Books books;
    books.postLunches(40);
    CDateQueryWindow window(books.database.connection(), books.clock());
    chooseThisYear(window);
    CStatList &list = *window.statList();
    QTreeWidgetItem *head = list.topLevelItem(0);
    QCOMPARE(head->childCount(), 40);
    head->setExpanded(true);
    QTreeWidgetItem *lastDay = head->child(39);
    QCOMPARE(lastDay->text(0), QStringLiteral("20070209"));
    lastDay->setExpanded(true);

    const auto report = stats::makeStatReport(StatReportKind::QueryStatistics, list, kToday);
    QCOMPARE(report->rowCount(), 42);
    QCOMPARE(ui::pageCount(report->rowCount()), 2);
    QTemporaryDir folder;
    const QString pdf = exported(*report, folder, QStringLiteral("days.pdf"));
    const QString first = pageText(pdf, 1);
    const QString second = pageText(pdf, 2);
    QVERIFY2(first.contains(QStringLiteral("查询统计报表")), qPrintable(first));
    QVERIFY(!second.contains(QStringLiteral("查询统计报表")));
    for (const QString &page : {first, second}) {
        QVERIFY(page.contains(QRegularExpression(QStringLiteral("树类型\\s+金额\\s+次数\\s+类型\\s+百分比"))));
        QVERIFY(page.contains(QStringLiteral("报表日期:2007-03-20")));
    }
    QVERIFY(first.contains(QStringLiteral("第 1 页/共 2 页")));
    QVERIFY(second.contains(QStringLiteral("第 2 页/共 2 页")));

    // Page 1: the head and days 1 to 28; page 2: days 29 to 40 and the one
    // open day's lunch. The other days' lunches are closed away.
    const std::vector<QStringList> shown = list.displayedRowTexts();
    const std::vector<QStringList> onFirst(shown.begin(), shown.begin() + 29);
    const std::vector<QStringList> onSecond(shown.begin() + 29, shown.end());
    QVERIFY2(ascending(rowPositions(first, onFirst)), qPrintable(first));
    QVERIFY2(ascending(rowPositions(second, onSecond)), qPrintable(second));
    QCOMPARE(onFirst.back().at(0), QStringLiteral("20070128"));
    QCOMPARE(onSecond.back().at(0).trimmed(), QStringLiteral("午餐"));
    QVERIFY(!first.contains(QStringLiteral("午餐")));
    QCOMPARE(second.count(QStringLiteral("午餐")), 1);
    QVERIFY(!first.contains(QStringLiteral("20070129")));

    // Page 2: no title, the table from 18 mm, a header and 13 rows, the
    // footer directly under them.
    const QImage image = pageImage(pdf, 2, folder.path());
    const double end = 18 + 7 * 14;
    QVERIFY(!anyDark(image, 1, 1, 181, 17));
    QVERIFY(ruleShare(image, true, 18, 20, 162) > 0.9);
    QVERIFY(ruleShare(image, true, 25, 20, 162) > 0.9);
    QVERIFY(ruleShare(image, true, end, 20, 162) > 0.9);
    for (double x : {20.0, 40.0, 75.0, 100.0, 125.0, 162.0})
        QVERIFY2(ruleShare(image, false, x, 18, end) > 0.9, qPrintable(QString::number(x)));
    QVERIFY(anyDark(image, 20, end + 1, 60, end + 6));
    QVERIFY(!anyDark(image, 1, end + 8, 181, 256));
}

void TestStatReport::cellsAreCutToTheirByteLimits_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed");
    const QString fifteen = QString(15, QChar(0x8D39)); // 费, 2 bytes each
    QTest::newRow("label of 30 bytes") << 0 << fifteen << fifteen;
    QTest::newRow("label of 31 bytes") << 0 << QStringLiteral("a") + fifteen << QStringLiteral("a") + fifteen;
    QTest::newRow("label of 32 bytes, no half character")
        << 0 << QStringLiteral("ab") + fifteen << QStringLiteral("ab") + fifteen.left(14);
    QTest::newRow("label of 40 ascii") << 0 << QString(40, QLatin1Char('x')) << QString(31, QLatin1Char('x'));
    QTest::newRow("amount of 15 bytes") << 1 << QStringLiteral("123456789012.25") << QStringLiteral("123456789012.25");
    QTest::newRow("amount of 16 bytes not printed in part") << 1 << QStringLiteral("-123456789012.25") << QString();
    QTest::newRow("count of 7 bytes") << 2 << QStringLiteral("1234567") << QStringLiteral("1234567");
    QTest::newRow("count of 8 bytes not printed in part") << 2 << QStringLiteral("12345678") << QString();
    QTest::newRow("direction") << 3 << QStringLiteral("付") << QStringLiteral("付");
    QTest::newRow("direction of 32 bytes") << 3 << QString(32, QLatin1Char('y')) << QString(31, QLatin1Char('y'));
    QTest::newRow("percentage") << 4 << QStringLiteral("12.50%") << QStringLiteral("12.50%");
    QTest::newRow("percentage text of 33 bytes")
        << 4 << QStringLiteral("z") + QString(16, QChar(0x7387)) << QStringLiteral("z") + QString(15, QChar(0x7387));
}

void TestStatReport::cellsAreCutToTheirByteLimits()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, printed);
    CStatList list;
    list.createColumns(stats::categoryColumns());
    stats::Row row;
    row.label = "收入类型";
    row.cells = {"100", "1", "收", "100%"};
    if (column == 0)
        row.label = text.toStdString();
    else
        row.cells[column - 1] = text.toStdString();
    list.addRow(row);
    for (StatReportKind kind : {StatReportKind::Statistics, StatReportKind::QueryStatistics}) {
        const auto report = stats::makeStatReport(kind, list, kToday);
        QCOMPARE(report->rowCount(), 1);
        QCOMPARE(report->cellText(0, column), printed);
    }
}

void TestStatReport::centredTextTooWideKeepsItsBeginning()
{
    // Five strokes 一 then ten boxes 口: 53 mm of text in a 38.5 mm box.
    // Drawn from the box's left, its part from 33 to 38 mm holds strokes;
    // centred, it would hold boxes there, and the strokes would be lost.
    CStatList list;
    list.createColumns(stats::categoryColumns());
    stats::Row row;
    row.label = "一一一一一口口口口口口口口口口";
    row.cells = {"1", "1", "付", "100%"};
    list.addRow(row);
    const auto report = stats::makeStatReport(StatReportKind::Statistics, list, kToday);

    constexpr double dpi = 200;
    const auto pixel = [](double mm) { return int(mm * dpi / 25.4); };
    QImage image(pixel(182), pixel(257), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(dpi / 0.0254));
    image.setDotsPerMeterY(int(dpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        ui::useMillimetres(painter);
        report->drawPage(painter, 1, 1, true);
    }
    int inkedLines = 0;
    for (int y = pixel(32.6); y <= pixel(38.4); ++y) {
        bool ink = false;
        for (int x = pixel(33); x <= pixel(38) && !ink; ++x)
            ink = image.pixelColor(x, y).lightness() < 160;
        inkedLines += ink;
    }
    QVERIFY2(inkedLines > 0 && inkedLines <= 6, qPrintable(QString::number(inkedLines)));
    // The text starts at the inset.
    bool startInked = false;
    for (int y = pixel(32.6); y <= pixel(38.4) && !startInked; ++y)
        for (int x = pixel(21.5); x <= pixel(23.5) && !startInked; ++x)
            startInked = image.pixelColor(x, y).lightness() < 160;
    QVERIFY(startInked);
}

void TestStatReport::previewButtonsOpenTheirReports_data()
{
    QTest::addColumn<bool>("byDate");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("rows");
    // This year's summary shows its five heads; the day-by-day its head.
    QTest::newRow("class window") << false << ID_CLASS_PRINT_PREVIEW << QStringLiteral("统计报表") << 5;
    QTest::newRow("date window") << true << ID_DATE_PRINT_PREVIEW << QStringLiteral("查询统计报表") << 1;
}

void TestStatReport::previewButtonsOpenTheirReports()
{
    QFETCH(bool, byDate);
    QFETCH(int, command);
    QFETCH(QString, title);
    QFETCH(int, rows);
    Books books;
    books.postYear();
    std::unique_ptr<CQueryWindow> window;
    if (byDate)
        window = std::make_unique<CDateQueryWindow>(books.database.connection(), books.clock());
    else
        window = std::make_unique<CClassQueryWindow>(books.database.connection(), books.clock());
    chooseThisYear(*window);
    QAction *button = window->action(command);
    QVERIFY(button && button->isEnabled());
    // The other window's preview command is not this window's.
    QVERIFY(!window->action(byDate ? ID_CLASS_PRINT_PREVIEW : ID_DATE_PRINT_PREVIEW));

    int opened = 0;
    QString shownTitle;
    QDate shownDate;
    int shownRows = 0;
    int pages = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (auto *preview = qobject_cast<CPrintPreview *>(QApplication::activeModalWidget())) {
            ++opened;
            shownTitle = preview->report().title();
            shownDate = preview->report().date();
            shownRows = preview->report().rowCount();
            pages = preview->pageCount();
            preview->reject();
        }
    });
    watch.start(10);
    button->trigger();
    QCOMPARE(opened, 1);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownDate, kToday);
    QCOMPARE(shownRows, rows);
    QCOMPARE(pages, 1);

    // A list that displays no row opens no preview.
    window->statList()->removeAll();
    button->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(opened, 1);
}

QTEST_MAIN(TestStatReport)
#include "test_stat_report.moc"

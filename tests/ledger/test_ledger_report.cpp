#include "app/commands.h"
#include "app/ui_setup.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_commands.h"
#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"
#include "ledger/ledger_report.h"
#include "ledger/posting.h"
#include "ledger/view_host.h"
#include "support/pdf_pages.h"
#include "support/stub_view_host.h"
#include "support/temp_database.h"
#include "ui/print_preview.h"
#include "ui/report_output.h"
#include "ui/report_pages.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>

using testing_support::TempDatabase;
using namespace pdf_pages;

namespace {

const QDate kToday(2007, 3, 20);

void post(TempDatabase &t, int number, const QString &date, const char *type, const char *category,
          const QString &amount, const char *bank, const QString &description, const char *invested = "")
{
    ledger::Entry e{std::to_string(number), date.toStdString(), type, category, amount.toStdString(),
                    description.toStdString(), "管理员", bank, invested};
    QVERIFY(ledger::postEntry(t.connection(), e));
}

// Lunches paid in cash, entry n on 2007/03/01 at 08:00 plus n hours.
void postLunches(TempDatabase &t, int count, const std::function<QString(int)> &amount)
{
    for (int n = 1; n <= count; ++n) {
        const QDateTime when(QDate(2007, 3, 1), QTime(8, 0));
        post(t, n, when.addSecs(3600 * n).toString(QStringLiteral("yyyy/MM/dd HH:mm")), "付", "午餐", amount(n),
             "现金银行", QStringLiteral("笔%1").arg(n));
    }
}

std::unique_ptr<LedgerModel> loaded(TempDatabase &t, int index)
{
    auto model = std::make_unique<LedgerModel>();
    model->setLedger(index, ledger::loadLedger(t.connection(), index, "20070301", "20070331"));
    return model;
}

} // namespace

class TestLedgerReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void summaryCellsArePrintedWhole();
    void summaryPrintsItsWholeFigure_data();
    void summaryPrintsItsWholeFigure();
    void aWholeTextTooLongForOneLineTakesTwo();
    void journalPagesCarryTheirRows();
    void rulesLieWhereTheTablePutsThem();
    void everyLedgerHasItsTable_data();
    void everyLedgerHasItsTable();
    void previewCommandOpensOnlyWithRows();
};

void TestLedgerReport::initTestCase() { app::setUpApplication(*qApp); }

void TestLedgerReport::summaryCellsArePrintedWhole()
{
    TempDatabase t;
    postLunches(t, 12, [](int n) { return n < 12 ? QStringLiteral("100") : QStringLiteral("134.5"); });
    const auto journal = loaded(t, 0);
    const auto expenses = loaded(t, 2);
    const auto journalReport = ledger::makeLedgerReport(*journal, kToday);
    const auto expenseReport = ledger::makeLedgerReport(*expenses, kToday);
    QCOMPARE(journalReport->rowCount(), 13);
    QCOMPARE(journalReport->title(), QStringLiteral("  明  细  帐  "));
    QCOMPARE(expenseReport->title(), QStringLiteral("  支  出  帐  "));
    // The summary prints whole, whatever the column's limit (用了多少
    // takes 19 bytes).
    QCOMPARE(journalReport->cellText(12, 4), QStringLiteral("12条记录,余额为：￥1234.50"));
    QCOMPARE(expenseReport->cellText(12, 3), QStringLiteral("12条记录,余额为：￥1234.50"));
    QCOMPARE(expenseReport->cellText(12, 1), QStringLiteral("合计"));
    QCOMPARE(journalReport->cellText(0, 1), QStringLiteral("2007/03/01 20:00"));
}

void TestLedgerReport::summaryPrintsItsWholeFigure_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expense");
    const QString large = QStringLiteral("9876543.21");
    QTest::newRow("income") << 1 << large;
    QTest::newRow("expense") << 2 << large;
    QTest::newRow("bank") << 3 << large;
    QTest::newRow("cash") << 4 << large;
    QTest::newRow("investment") << 5 << large;
    // Too long for one line in the narrowest column, in any type that reads.
    QTest::newRow("expense, largest amounts") << 2 << QStringLiteral("9999999999999.99");
}

void TestLedgerReport::summaryPrintsItsWholeFigure()
{
    QFETCH(int, index);
    QFETCH(QString, expense);
    TempDatabase t;
    for (int n = 1; n <= 13; ++n) {
        const QString day = QStringLiteral("2007/03/%1 10:00").arg(n, 2, 10, QLatin1Char('0'));
        post(t, n, day, "付", "午餐", expense, "现金银行", {});
        post(t, 100 + n, day, "收", "工资", QStringLiteral("8765432.19"), "工商银行", {});
    }
    post(t, 200, QStringLiteral("2007/03/20 10:00"), "付", "股票", QStringLiteral("98765432.1"), "工商银行", {});
    const auto model = loaded(t, index);
    const auto report = ledger::makeLedgerReport(*model, kToday);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("ledger.pdf"));
    const int pages = ui::pageCount(report->rowCount());
    QVERIFY(ui::exportPdf(*report, pages, pdf));
    const auto words = wordBoxes(pdf, pages);
    QString text;
    for (const auto &word : words)
        text += word.first;
    const double right = std::max(ui::kTableRight, report->layout().columns.back().right) + 0.2;
    const int summary = model->rowCount() - 1;
    int figures = 0;
    for (int column = 2; column < model->columnCount(); ++column) {
        const QString whole = model->cell(summary, column);
        if (whole.isEmpty())
            continue;
        ++figures;
        QCOMPARE(report->cellText(summary, column), whole);
        QVERIFY2(text.contains(whole), qPrintable(whole + QStringLiteral(" not in ") + text));
        // Drawn within its box (on one line or two), not clipped at its end.
        for (const auto &word : words)
            if (whole.contains(word.first))
                QVERIFY2(word.second.right() <= right, qPrintable(word.first));
    }
    QVERIFY(figures > 0);
}

void TestLedgerReport::aWholeTextTooLongForOneLineTakesTwo()
{
    // One summary row of the expense ledger whose count and balance no
    // readable type sets on one line of its column.
    struct Summary : ui::ReportRows {
        int rowCount() const override { return 1; }
        QString cell(int, int column) const override
        {
            return column == 1 ? QStringLiteral("合计")
                   : column == 3 ? QStringLiteral("12345678条记录,余额为：￥-129999999999999999.87")
                                 : QString();
        }
        bool printsWhole(int) const override { return true; }
    };
    const ui::TableReport report(ledger::reportLayout(2), std::make_unique<Summary>(), kToday);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("summary.pdf"));
    QVERIFY(ui::exportPdf(report, 1, pdf));
    const QString whole = report.cellText(0, 3);
    QString text;
    QSet<int> lines;
    for (const auto &[word, box] : wordBoxes(pdf, 1)) {
        if (box.left() < 115 || box.top() < 31 || box.top() >= 39) // the header, other cells, the footer
            continue;
        text += word;
        lines.insert(qRound(box.top() * 10));
        // Within the row under the header (32 to 39 mm) and the table.
        QVERIFY2(box.top() >= 32 && box.bottom() <= 39 && box.right() <= ui::kTableRight + 0.2, qPrintable(word));
    }
    QCOMPARE(text, whole);
    QCOMPARE(lines.size(), 2);
}

void TestLedgerReport::journalPagesCarryTheirRows()
{
    TempDatabase t;
    postLunches(t, 40, [](int) { return QStringLiteral("10"); });
    const auto journal = loaded(t, 0);
    const auto report = ledger::makeLedgerReport(*journal, kToday);
    QCOMPARE(report->rowCount(), 41);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("journal.pdf"));
    QVERIFY(ui::exportPdf(*report, ui::pageCount(report->rowCount()), pdf));

    const QString first = pageText(pdf, 1);
    const QString second = pageText(pdf, 2);
    QVERIFY2(first.contains(QRegularExpression(QStringLiteral("明\\s*细\\s*帐"))), qPrintable(first));
    QVERIFY(!second.contains(QRegularExpression(QStringLiteral("明\\s*细\\s*帐"))));
    for (const QString &page : {first, second}) {
        for (const char *caption : {"编\\s*号", "日期时间", "支付类型", "帐目类型", "金额", "经手人", "说明"})
            QVERIFY2(page.contains(QRegularExpression(QString::fromUtf8(caption))), caption);
        QVERIFY(page.contains(QStringLiteral("报表日期:2007-03-20")));
    }
    QVERIFY(first.contains(QStringLiteral("第 1 页/共 2 页")));
    QVERIFY(second.contains(QStringLiteral("第 2 页/共 2 页")));
    // Newest first: entries 40 to 12 on page 1, 11 to 1 and the summary on page 2.
    const QRegularExpression entry(QStringLiteral("^\\s*(\\d+)\\s+2007/03/\\d\\d \\d\\d:00\\s+付\\s+午餐\\s+10\\s+管理员\\s+笔(\\d+)\\s*$"),
                                   QRegularExpression::MultilineOption);
    QList<int> onFirst;
    QList<int> onSecond;
    for (auto it = entry.globalMatch(first); it.hasNext();) {
        const auto m = it.next();
        QCOMPARE(m.captured(1), m.captured(2));
        onFirst << m.captured(1).toInt();
    }
    for (auto it = entry.globalMatch(second); it.hasNext();)
        onSecond << it.next().captured(1).toInt();
    QList<int> expectedFirst;
    for (int n = 40; n >= 12; --n)
        expectedFirst << n;
    QCOMPARE(onFirst, expectedFirst);
    QCOMPARE(onSecond, (QList<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    QVERIFY2(second.contains(QRegularExpression(QStringLiteral("合计\\s+40条记录,余额为：￥400.00"))), qPrintable(second));
    // The summary is the last row: the footer follows it.
    QVERIFY(second.indexOf(QStringLiteral("40条记录")) < second.indexOf(QStringLiteral("报表日期")));
}

void TestLedgerReport::rulesLieWhereTheTablePutsThem()
{
    TempDatabase t;
    postLunches(t, 40, [](int) { return QStringLiteral("10"); });
    const auto journal = loaded(t, 0);
    const auto report = ledger::makeLedgerReport(*journal, kToday);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("journal.pdf"));
    QVERIFY(ui::exportPdf(*report, 2, pdf));
    const QImage first = pageImage(pdf, 1, folder.path());
    const QImage second = pageImage(pdf, 2, folder.path());
    QCOMPARE(first.size(), QSize(px(182), px(257)));

    // Page 1: title, the table from 25 mm, a header row and 29 rows of 7 mm.
    QVERIFY(anyDark(first, 20, 11, 162, 19));
    const double bottom = 25 + 7 * 30;
    for (double y : {25.0, 32.0, 95.0, bottom})
        QVERIFY2(ruleShare(first, true, y, 20, 162) > 0.9, qPrintable(QString::number(y)));
    QVERIFY(ruleShare(first, true, 28.5, 20, 162) < 0.5);
    for (double x : {20.0, 30.0, 65.0, 80.0, 105.0, 125.0, 145.0, 162.0})
        QVERIFY2(ruleShare(first, false, x, 25, bottom) > 0.9, qPrintable(QString::number(x)));
    QVERIFY(ruleShare(first, false, 47, 25, bottom) < 0.5);
    QVERIFY(ruleShare(first, false, 135, 25, bottom) < 0.5);
    QVERIFY(!anyDark(first, 1, bottom + 8, 181, 256)); // nothing below the footer

    // Page 2: no title, the table 7 mm higher, 12 rows, the footer under them.
    QVERIFY(!anyDark(second, 1, 1, 181, 17));
    const double end = 18 + 7 * 13;
    QVERIFY(ruleShare(second, true, 18, 20, 162) > 0.9);
    QVERIFY(ruleShare(second, true, end, 20, 162) > 0.9);
    QVERIFY(ruleShare(second, false, 20, 18, end) > 0.9);
    QVERIFY(ruleShare(second, false, 162, 18, end) > 0.9);
    QVERIFY(!anyDark(second, 1, end + 8, 181, 256)); // the edges stop at the last row
    QVERIFY(anyDark(second, 20, end + 1, 60, end + 6));     // the date line
    QVERIFY(anyDark(second, 130, end + 1, 162, end + 6));   // the page line
    // The summary's text runs on over the empty 经手人 and 说明 cells: no
    // rules there in its row, while the row above keeps them.
    QVERIFY(ruleShare(second, false, 125, end - 14, end - 7) > 0.9);
    QVERIFY(ruleShare(second, false, 125, end - 7, end) < 0.3);
    QVERIFY(ruleShare(second, false, 145, end - 7, end) < 0.3);
    QVERIFY(ruleShare(second, false, 105, end - 7, end) > 0.9);
}

void TestLedgerReport::everyLedgerHasItsTable_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<double>>("rules");
    QTest::newRow("income") << 1 << QStringList{"收入帐编号", "日期时间", "收入来源", "金额", "存入银行"}
                            << QList<double>{40, 75, 100, 115};
    QTest::newRow("expense") << 2 << QStringList{"支出帐编号", "日期时间", "支出原因", "用了多少"}
                             << QList<double>{50, 90, 115};
    QTest::newRow("bank") << 3 << QStringList{"银行名称", "日期时间", "类\\s*型", "金额", "收付否"}
                          << QList<double>{50, 90, 115, 140};
    QTest::newRow("cash") << 4 << QStringList{"现金帐编号", "日期时间", "金额", "收付否", "帐目类型"}
                          << QList<double>{50, 90, 115, 140};
    QTest::newRow("investment") << 5
                                << QStringList{"编\\s*号", "日\\s*期", "类\\s*型", "投入金额", "投资回报", "利\\s*润",
                                               "现金或银行", "状\\s*态"}
                                << QList<double>{30, 50, 65, 85.5, 106, 125.5, 144.5};
}

void TestLedgerReport::everyLedgerHasItsTable()
{
    QFETCH(int, index);
    QFETCH(QStringList, captions);
    QFETCH(QList<double>, rules);
    TempDatabase t;
    post(t, 1, QStringLiteral("2007/03/05 10:00"), "收", "工资", QStringLiteral("8500"), "工商银行", {});
    post(t, 2, QStringLiteral("2007/03/06 10:00"), "存", "存钱", QStringLiteral("100"), "工商银行", {});
    post(t, 3, QStringLiteral("2007/03/07 10:00"), "付", "股票", QStringLiteral("5000"), "工商银行", {});
    post(t, 4, QStringLiteral("2007/03/08 10:00"), "收", "股票", QStringLiteral("6200"), "工商银行", {}, "5000");
    post(t, 5, QStringLiteral("2007/03/09 10:00"), "付", "午餐", QStringLiteral("35.5"), "现金银行", {});
    const auto model = loaded(t, index);
    QVERIFY(model->rowCount() > 1);
    const auto report = ledger::makeLedgerReport(*model, kToday);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("ledger.pdf"));
    QVERIFY(ui::exportPdf(*report, 1, pdf));
    const QString text = pageText(pdf, 1);
    QVERIFY2(text.contains(QRegularExpression(report->title().trimmed().replace(QStringLiteral("  "), QStringLiteral("\\s*")))),
             qPrintable(text));
    QString header;
    for (const QString &caption : captions)
        header += (header.isEmpty() ? QString() : QStringLiteral("\\s+")) + caption;
    QVERIFY2(text.contains(QRegularExpression(header)), qPrintable(text));
    // Every row and the summary: the second cell of each is on the page.
    for (int row = 0; row < model->rowCount(); ++row)
        QVERIFY2(text.contains(report->cellText(row, 1)), qPrintable(report->cellText(row, 1)));

    const QImage image = pageImage(pdf, 1, folder.path());
    const double bottom = 25 + 7 * (model->rowCount() + 1);
    QVERIFY(ruleShare(image, true, bottom, 20, 162) > 0.9);
    for (double x : rules)
        QVERIFY2(ruleShare(image, false, x, 25, 32) > 0.9, qPrintable(QString::number(x)));
    // The table's edges stand at 20 and 162 mm whatever the columns.
    QVERIFY(ruleShare(image, false, 20, 25, bottom) > 0.9);
    QVERIFY(ruleShare(image, false, 162, 25, bottom) > 0.9);
    const auto &columns = report->layout().columns;
    QCOMPARE(int(columns.size()), int(ledger::ledgerColumns(index).size()));
    for (std::size_t c = 1; c < columns.size(); ++c)
        QCOMPARE(columns[c].left, columns[c - 1].right);
}

void TestLedgerReport::previewCommandOpensOnlyWithRows()
{
    TempDatabase t;
    StubViewHost host(t.connection(), QStringLiteral("20070301"), QStringLiteral("20070331"));
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    QCOMPARE(view.ledgerModel()->rowCount(), 0);
    QString title;
    int pages = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (auto *preview = qobject_cast<CPrintPreview *>(QApplication::activeModalWidget())) {
            title = preview->windowTitle();
            pages = preview->pageCount();
            preview->reject();
        }
    });
    watch.start(10);
    view.onCommand(ledger::cmd::ID_PRINT_PREVIEW);
    QCoreApplication::processEvents();
    QCOMPARE(pages, 0);

    postLunches(t, 30, [](int) { return QStringLiteral("1"); });
    view.loadLedger(0);
    view.onCommand(ledger::cmd::ID_PRINT_PREVIEW);
    QCOMPARE(pages, 2);
    QCOMPARE(title, QStringLiteral("打印预览 - 第 1 页/共 2 页"));
}

QTEST_MAIN(TestLedgerReport)
#include "test_ledger_report.moc"

// The command line's statistics and the query windows' lists come from one
// core walk: for the same books and range they show the same rows. So do
// the found entries and the balances.
#include "db/dates.h"
#include "ledger/balances_window.h"
#include "ledger/cell_table_model.h"
#include "ledger/demo_entries.h"
#include "ledger/find_window.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include <sstream>

using testing_support::TempDatabase;

namespace {

// The list's rows depth first, each as the command line prints it: the
// blanks that stored names end with are not printed.
QStringList listRows(CStatList *list)
{
    QStringList rows;
    for (QTreeWidgetItemIterator it(list); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
            ++depth;
        QStringList fields{QString::number(depth)};
        for (int column = 0; column < 5; ++column) {
            QString text = (*it)->text(column);
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            fields << text;
        }
        rows << fields.join(QLatin1Char('\t'));
    }
    return rows;
}

QStringList cliRows(TempDatabase &t, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--db", t.path()});
    std::ostringstream out;
    std::ostringstream err;
    if (cli::run(args, out, err, db::DateTime{2026, 12, 7, 9, 0, 0}) != cli::kOk)
        return {QString::fromStdString("failed: " + err.str())};
    QStringList rows = QString::fromStdString(out.str()).split(QLatin1Char('\n'));
    rows.removeLast(); // after the last newline
    return rows;
}

} // namespace

class TestCliMatchesWindow : public QObject {
    Q_OBJECT
private slots:
    void classStatistics_data();
    void classStatistics();
    void dayStatistic();
    void foundEntries();
    void balances();
};

void TestCliMatchesWindow::classStatistics_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("kind");
    QTest::newRow("summary") << stats::cmd::ID_SUMMARY << "summary";
    QTest::newRow("journal") << stats::cmd::ID_JOURNAL << "journal";
    QTest::newRow("bank") << stats::cmd::ID_BANK << "bank";
    QTest::newRow("cash") << stats::cmd::ID_CASH << "cash";
    QTest::newRow("income") << stats::cmd::ID_INCOME << "income";
    QTest::newRow("expense") << stats::cmd::ID_EXPENSE << "expense";
}

void TestCliMatchesWindow::classStatistics()
{
    QFETCH(int, command);
    QFETCH(QString, kind);
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), db::DateTime{2026, 12, 7});
    CClassQueryWindow window(t.connection(), [] { return db::DateTime{2026, 12, 7, 9, 0, 0}; });
    window.onCommand(command);
    window.onCommand(stats::cmd::ID_DAY_THIS_YEAR); // runs the kind again, queued
    QCoreApplication::processEvents();
    const QStringList shown = listRows(window.statList());
    QVERIFY(shown.size() > 1);
    QCOMPARE(cliRows(t, {"stats", kind.toStdString(), "--from", "20260101", "--to", "20261207"}), shown);
}

void TestCliMatchesWindow::dayStatistic()
{
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), db::DateTime{2026, 12, 7});
    CDateQueryWindow window(t.connection(), [] { return db::DateTime{2026, 12, 7, 9, 0, 0}; });
    window.onCommand(stats::cmd::ID_EXPENSE);
    window.onCommand(stats::cmd::ID_DAY_THIS_MONTH);
    QCoreApplication::processEvents();
    const QStringList shown = listRows(window.statList());
    QVERIFY(shown.size() > 7);
    QCOMPARE(cliRows(t, {"days", "--from", "20261201", "--to", "20261207", "--type", "付"}), shown);
}

void TestCliMatchesWindow::foundEntries()
{
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), db::DateTime{2026, 12, 7});
    CFindWindow window(t.connection(), {}, db::DateTime{2026, 12, 7, 9, 0, 0});
    window.textField()->setText(QStringLiteral("水电"));
    window.leastField()->setText(QStringLiteral("200"));
    window.find();
    QStringList shown;
    const CellTableModel *model = window.resultModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < model->columnCount(); ++column)
            fields << model->cell(row, column).trimmed();
        shown << fields.join(QLatin1Char('\t'));
    }
    QVERIFY(shown.size() > 3);
    // The line under the list and the command line's last line.
    shown << window.summaryLabel()->text().section(QStringLiteral("    "), 0, 0);
    QCOMPARE(cliRows(t, {"find", "水电", "--min", "200"}), shown);
}

void TestCliMatchesWindow::balances()
{
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), db::DateTime{2026, 12, 7});
    CBalancesWindow window(t.connection(), db::DateTime{2026, 12, 7, 9, 0, 0});
    for (const QDate &day : {QDate(2026, 12, 7), QDate(2026, 6, 30)}) {
        window.dayEdit()->setDate(day);
        QStringList shown;
        for (QTreeWidgetItemIterator it(window.tree()); *it; ++it) {
            int depth = 0;
            for (QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
                ++depth;
            shown << QStringList{QString::number(depth), (*it)->text(0), (*it)->text(1), (*it)->text(2)}.join(
                         QLatin1Char('\t'));
        }
        QVERIFY(shown.size() > 3);
        QVERIFY(window.totalLabel()->text().endsWith((*QTreeWidgetItemIterator(window.tree()))->text(1)));
        std::vector<std::string> args = {"balances"};
        if (day != QDate(2026, 12, 7))
            args.insert(args.end(), {"--at", day.toString(QStringLiteral("yyyyMMdd")).toStdString()});
        QCOMPARE(cliRows(t, args), shown);
    }
}

QTEST_MAIN(TestCliMatchesWindow)
#include "test_cli_matches_window.moc"

// The ledger list's filter bar and sorting, the find window and the
// balances window, driven as a user drives them.
#include "ledger/balances_window.h"
#include "ledger/cell_table_model.h"
#include "ledger/entry_dialog.h"
#include "ledger/filter_bar.h"
#include "ledger/find_window.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_commands.h"
#include "ledger/ledger_model.h"
#include "ledger/posting.h"
#include "modal_driver.h"
#include "setup/tree_store.h"
#include "support/stub_view_host.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using testing_support::TempDatabase;

namespace {

// Four entries of March 2007, entry n on day n.
void prepare(TempDatabase &t)
{
    QVERIFY(setup::addNode(t.connection(), setup::TreeKind::Bank, "我的存款银行", "工商银行"));
    const char *const entries[][5] = {{"1", "付", "午餐", "35.5", "Plumber 王"},
                                      {"2", "收", "工资", "8000", ""},
                                      {"3", "付", "午餐", "120.25", "水管"},
                                      {"4", "付", "水电燃气", "9", ""}};
    for (const auto &e : entries)
        QVERIFY(ledger::postEntry(t.connection(), {e[0], std::string("2007/03/0") + e[0] + " 10:00", e[1], e[2], e[3],
                                                   e[4], "管理员", std::string(e[1]) == "收" ? "工商银行" : "现金银行", ""}));
}

QStringList column(const LedgerModel *model, int column)
{
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->cell(row, column);
    return cells;
}

void clickHeader(QTableView &view, int section)
{
    QHeaderView *header = view.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
}

} // namespace

class TestFindWindows : public QObject {
    Q_OBJECT
private slots:
    void listFiltersAndSortsItsLoadedRows();
    void findWindowOpensTheFoundEntryForChange();
    void balancesWindowShowsTheAccountsAndTheirRows();
};

void TestFindWindows::listFiltersAndSortsItsLoadedRows()
{
    TempDatabase t;
    prepare(t);
    StubViewHost host(t.connection());
    CKassoltView view(&host, 0);
    view.resize(900, 400);
    view.show();
    view.loadLedger(0);
    LedgerModel *model = view.ledgerModel();
    QCOMPARE(column(model, 0), (QStringList{"4", "3", "2", "1", ""}));

    view.onCommand(ledger::cmd::ID_FILTER);
    CLedgerFilterBar *bar = view.filterBar();
    QVERIFY(!bar->isHidden());
    bar->typeBox()->setCurrentIndex(bar->typeBox()->findText(QStringLiteral("付")));
    QTest::keyClicks(bar->leastField(), QStringLiteral("10"));
    QCOMPARE(column(model, 0), (QStringList{"3", "1", ""}));
    QCOMPARE(model->cell(2, 1), QStringLiteral("合计（已筛选）"));
    QCOMPARE(model->cell(2, 4), QStringLiteral("2条记录,余额为：￥155.75"));
    // The selected row is the entry shown there, not the loaded row of that place.
    view.selectRow(1);
    QCOMPARE(view.selectedEntryNumber(), QStringLiteral("1"));

    // A click on the amount's header sorts by amount, a second the other way;
    // the summary row stays last, and a reload keeps the order.
    clickHeader(view, 4);
    QCOMPARE(column(model, 4), (QStringList{"35.5", "120.25", "2条记录,余额为：￥155.75"}));
    QVERIFY(view.horizontalHeader()->isSortIndicatorShown());
    clickHeader(view, 4);
    QCOMPARE(column(model, 0), (QStringList{"3", "1", ""}));
    QCOMPARE(view.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    view.loadLedger(0);
    QCOMPARE(column(model, 0), (QStringList{"3", "1", ""}));

    // Escape hides the bar and shows every loaded row, still sorted.
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QCOMPARE(column(model, 0), (QStringList{"2", "3", "1", "4", ""}));
    QCOMPARE(model->cell(4, 4), QStringLiteral("4条记录,余额为：￥8164.75"));
}

void TestFindWindows::findWindowOpensTheFoundEntryForChange()
{
    TempDatabase t;
    prepare(t);
    StubViewHost host(t.connection());
    CKassoltView journal(&host, 0);
    CFindWindow window(
        t.connection(), [&](const QString &number, QWidget *parent) { return journal.changeEntryNumbered(number, parent); },
        db::DateTime{2007, 3, 20, 9, 0, 0});
    QCOMPARE(window.windowTitle(), QStringLiteral("查找记录"));
    window.textField()->setText(QStringLiteral("午餐"));
    QTest::mouseClick(window.findButton(), Qt::LeftButton);
    CellTableModel *found = window.resultModel();
    QCOMPARE(found->rowCount(), 2);
    QCOMPARE(found->cell(0, ledger::kFoundNumber), QStringLiteral("3"));
    QVERIFY(window.summaryLabel()->text().startsWith(QStringLiteral("2条记录，合计：￥155.75")));

    {
        ModalDriver driver;
        driver.then([](QWidget *w) {
            auto *d = qobject_cast<CEntryDialog *>(w);
            QVERIFY(d);
            QCOMPARE(qobject_cast<QLineEdit *>(d->control(ledger::ctl::IDC_NUMBER))->text(), QStringLiteral("1"));
            qobject_cast<QLineEdit *>(d->control(ledger::ctl::IDC_AMOUNT))->setText(QStringLiteral("40"));
            qobject_cast<QPushButton *>(d->control(ledger::ctl::IDOK))->click();
        });
        window.openEntry(1);
        QVERIFY(driver.done());
        QVERIFY(driver.unexpected.isEmpty());
    }
    // The entry changed, and the list shows it changed.
    QCOMPARE(t.value("select 钱额 from account where 财务标识=1"), std::string("40"));
    QCOMPARE(found->cell(1, ledger::kFoundAmount), QStringLiteral("40"));
    QVERIFY(window.summaryLabel()->text().startsWith(QStringLiteral("2条记录，合计：￥160.25")));

    // A bound that is no number is said, and the list stays as it was.
    window.leastField()->setText(QStringLiteral("abc"));
    ModalDriver refused;
    refused.answer();
    window.find();
    QCOMPARE(refused.boxTexts, QStringList{QString::fromUtf8(ledger::kMsgFindBadAmount)});
    QCOMPARE(found->rowCount(), 2);
}

void TestFindWindows::balancesWindowShowsTheAccountsAndTheirRows()
{
    TempDatabase t;
    prepare(t);
    CBalancesWindow window(t.connection(), db::DateTime{2007, 3, 20, 9, 0, 0});
    QTreeWidget *tree = window.tree();
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(CBalancesWindow::kName), QStringLiteral("我的存款银行"));
    QCOMPARE(root->text(CBalancesWindow::kTotal), QStringLiteral("￥7835.25"));
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(0)->text(CBalancesWindow::kName), QStringLiteral("现金银行"));
    QCOMPARE(root->child(0)->text(CBalancesWindow::kOwn), QStringLiteral("￥-164.75"));
    QCOMPARE(root->child(1)->text(CBalancesWindow::kTotal), QStringLiteral("￥8000.00"));
    QCOMPARE(window.totalLabel()->text(), QStringLiteral("全部帐户合计: ￥7835.25"));
    // The end of another day.
    window.dayEdit()->setDate(QDate(2007, 3, 1));
    QCOMPARE(tree->topLevelItem(0)->text(CBalancesWindow::kTotal), QStringLiteral("￥-35.50"));

    // A double click lists the account's rows, whose summary is its balance.
    window.dayEdit()->setDate(QDate(2007, 3, 20));
    ModalDriver driver;
    driver.then([](QWidget *w) {
        auto *rows = qobject_cast<CAccountRowsDialog *>(w);
        QVERIFY(rows);
        auto *model = qobject_cast<LedgerModel *>(rows->list()->model());
        QCOMPARE(model->ledgerIndex(), 4);
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->cell(3, 2), QStringLiteral("3条记录,余额为：￥-164.75"));
        w->close();
    });
    window.showAccountRows(tree->topLevelItem(0)->child(0));
    QVERIFY(driver.done());
    QVERIFY(driver.unexpected.isEmpty());
}

QTEST_MAIN(TestFindWindows)
#include "test_find_windows.moc"

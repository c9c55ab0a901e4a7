#include "app/commands.h"
#include "app/ui_setup.h"
#include "ledger/entry_change.h"
#include "ledger/entry_dialog.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_commands.h"
#include "ledger/ledger_model.h"
#include "ledger/posting.h"
#include "ledger/view_host.h"
#include "modal_driver.h"
#include "setup/category_picker.h"
#include "support/stub_view_host.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace ledger::cmd;
using namespace ledger::ctl;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

// The main window as the view sees it.
class TestHost : public StubViewHost {
public:
    explicit TestHost(TempDatabase &t) : StubViewHost(t.connection()) {}
};

void prepare(TempDatabase &t)
{
    t.connection().execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES "
                           "(2,'工商银行',1,0,'我的存款银行','0000')");
}

void post(TempDatabase &t, const char *number, const char *type, const char *category, const char *amount,
          const char *bank = "现金银行")
{
    QVERIFY(ledger::postEntry(t.connection(), {number, "2007/03/0" + std::string(number) + " 10:00", type, category,
                                               amount, "", "管理员", bank, ""}));
}

// Every row an entry touches, as one text.
std::string snapshot(TempDatabase &t)
{
    std::string all;
    for (const char *table : {"account", "PayMoney", "GetMoney", "CashAccount", "BankAccount", "InvestMoney"})
        for (const std::string &row : t.column(std::string("select * from ") + table))
            all += std::string(table) + ":" + row + ";";
    for (const char *sql : {"select group_concat(帐目类型||钱额||银行) as v from account",
                            "select group_concat(nMoney||AccNum) as v from CashAccount",
                            "select group_concat(nMoney||AccNum) as v from BankAccount",
                            "select group_concat(nMoney||AccNum) as v from InvestMoney"})
        all += t.value(sql) + "|";
    return all;
}

CEntryDialog *entryDialog(QWidget *w)
{
    auto *d = qobject_cast<CEntryDialog *>(w);
    if (!d)
        qWarning("not the entry dialog: %s", w->metaObject()->className());
    return d;
}

void confirm(CEntryDialog *d) { qobject_cast<QPushButton *>(d->control(IDOK))->click(); }

// Fills the dialog as a user would for one kind of input.
using Fill = std::function<void(CEntryDialog *)>;

} // namespace

Q_DECLARE_METATYPE(Fill)

class TestEntryCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void commandsAreAvailable();
    void newEntryPostsAndShowsTheJournal();
    void newEntryCancelledWritesNothing();
    void refusedInput_data();
    void refusedInput();
    void changeMovesAnExpenseToABank();
    void changeRefusalsAndFailures();
    void otherTabsDoNothing_data();
    void otherTabsDoNothing();
    void withoutAnEntrySelected();
    void deleteRemovesTheEntryEverywhere();
    void deleteFailureKeepsEverything();
    void settingsShowWhatTheyWroteInTheList();
};

void TestEntryCommands::initTestCase() { app::setUpApplication(*qApp); }

void TestEntryCommands::commandsAreAvailable()
{
    TempDatabase t;
    TestHost host(t);
    CKassoltView view(&host, 0);
    QList<int> enabled;
    for (QAction *action : view.contextMenu()->actions())
        if (action->isEnabled())
            enabled << action->data().toInt();
    QCOMPARE(enabled, (QList<int>{ID_NEW_ENTRY, ID_MODIFY_ENTRY, ID_DELETE_ENTRY}));
}

void TestEntryCommands::newEntryPostsAndShowsTheJournal()
{
    TempDatabase t;
    prepare(t);
    TestHost host(t);
    CKassoltView view(&host, 0);
    view.setClock([] { return db::DateTime{2007, 3, 5, 12, 30, 45}; });
    view.loadLedger(0);
    StatementLog log;
    {
        ModalDriver driver;
        driver.then([](QWidget *w) {
            CEntryDialog *d = entryDialog(w);
            QVERIFY(d);
            QCOMPARE(qobject_cast<QLineEdit *>(d->control(IDC_NUMBER))->text(), QStringLiteral("1"));
            QCOMPARE(d->form().dateTime, QDateTime(QDate(2007, 3, 5), QTime(12, 30, 45)));
            // Picked in the drop-down tree, as a user does.
            CCategoryPicker *picker = d->categoryPicker();
            picker->showDropDown();
            QTreeWidgetItem *lunch =
                picker->popupTree()->findItems(QStringLiteral("午餐"), Qt::MatchRecursive).value(0);
            QVERIFY(lunch);
            picker->popupTree()->setCurrentItem(lunch);
            QTest::keyClick(picker->popupTree(), Qt::Key_Return);
            QVERIFY(d->accountPicker()->selectByText(QStringLiteral("现金银行")));
            qobject_cast<QLineEdit *>(d->control(IDC_AMOUNT))->setText(QStringLiteral("35.5"));
            qobject_cast<QComboBox *>(d->control(IDC_HANDLER))->setCurrentText(QStringLiteral("管理员"));
            confirm(d);
        });
        view.onCommand(ID_NEW_ENTRY);
        QVERIFY(driver.done());
        QVERIFY(driver.unexpected.isEmpty());
    }
    std::vector<std::string> writes;
    for (const std::string &s : log.statements())
        if (s.rfind("INSERT", 0) == 0 || s.rfind("select max", 0) == 0 || s.rfind("select FullID", 0) == 0)
            writes.push_back(s);
    QCOMPARE(writes.size(), std::size_t(5));
    QCOMPARE(writes[0], std::string("select max(财务标识)+1 as num from account "));
    QCOMPARE(writes[1],
             std::string("INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,说明,经手人,银行) "
                         "\\t\\t\\tVALUES (1, '2007/03/05 12:30', '付 ','午餐 ',35.5 ,'','管理员','现金银行')"));
    QCOMPARE(t.value("select nMoney||'|'||AccNum from CashAccount"), std::string("-35.5|1"));
    QCOMPARE(t.value("select nMoney||'|'||AccNum from PayMoney"), std::string("35.5|1"));
    // The journal is reloaded with the new row and tab 0 asked for.
    QCOMPARE(view.ledgerModel()->rowCount(), 2);
    QCOMPARE(view.ledgerModel()->cell(0, 0), QStringLiteral("1"));
    QCOMPARE(host.selected, QList<int>{0});

    // From another tab the entry is posted as well and the journal's tab asked for.
    CKassoltView bank(&host, 3);
    bank.loadLedger(3);
    ModalDriver second;
    second.then([](QWidget *w) {
        CEntryDialog *d = entryDialog(w);
        QVERIFY(d);
        QCOMPARE(qobject_cast<QLineEdit *>(d->control(IDC_NUMBER))->text(), QStringLiteral("2"));
        auto *type = qobject_cast<QComboBox *>(d->control(IDC_TYPE));
        type->setCurrentIndex(type->findText(QStringLiteral("存")));
        QVERIFY(d->accountPicker()->selectByText(QStringLiteral("工商银行")));
        qobject_cast<QLineEdit *>(d->control(IDC_AMOUNT))->setText(QStringLiteral("100"));
        confirm(d);
    });
    bank.onCommand(ID_NEW_ENTRY);
    QVERIFY(second.done());
    QCOMPARE(t.value("select group_concat(nMoney) from CashAccount where AccNum=2"), std::string("-100.0"));
    QCOMPARE(t.value("select group_concat(nMoney||BankName) from BankAccount where AccNum=2"),
             std::string("100.0工商银行"));
    QCOMPARE(bank.ledgerIndex(), 3);
    QCOMPARE(host.selected, (QList<int>{0, 0}));
}

void TestEntryCommands::newEntryCancelledWritesNothing()
{
    TempDatabase t;
    TestHost host(t);
    QWidget mainWindow;
    mainWindow.setGeometry(20, 20, 600, 400);
    auto *view = new CKassoltView(&host, 0, &mainWindow);
    mainWindow.show();
    view->loadLedger(0);
    ModalDriver driver;
    driver.then([&mainWindow](QWidget *w) {
        CEntryDialog *d = entryDialog(w);
        QVERIFY(d);
        // Opened over the middle of the main window.
        QVERIFY((d->frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength() <= 2);
        QVERIFY(d->categoryPicker()->selectByText(QStringLiteral("午餐")));
        QVERIFY(d->accountPicker()->selectByText(QStringLiteral("现金银行")));
        qobject_cast<QLineEdit *>(d->control(IDC_AMOUNT))->setText(QStringLiteral("35.5"));
        qobject_cast<QPushButton *>(d->control(IDCANCEL))->click();
    });
    view->onCommand(ID_NEW_ENTRY);
    QVERIFY(driver.done());
    QVERIFY(driver.unexpected.isEmpty());
    QCOMPARE(t.count("account") + t.count("PayMoney") + t.count("CashAccount"), 0);
    QVERIFY(host.selected.isEmpty());
}

void TestEntryCommands::refusedInput_data()
{
    QTest::addColumn<Fill>("fill");
    QTest::addColumn<QString>("message");
    auto text = [](int id, const char *value) {
        return [id, value](CEntryDialog *d) {
            qobject_cast<QLineEdit *>(d->control(id))->setText(QString::fromUtf8(value));
        };
    };
    auto pick = [](const char *category, const char *account) {
        return [category, account](CEntryDialog *d) {
            if (*category)
                QVERIFY(d->categoryPicker()->selectByText(QString::fromUtf8(category)));
            if (*account)
                QVERIFY(d->accountPicker()->selectByText(QString::fromUtf8(account)));
        };
    };
    auto type = [](const char *value) {
        return [value](CEntryDialog *d) {
            auto *box = qobject_cast<QComboBox *>(d->control(IDC_TYPE));
            box->setCurrentIndex(box->findText(QString::fromUtf8(value)));
        };
    };
    auto all = [](std::vector<Fill> steps) {
        return Fill([steps](CEntryDialog *d) {
            for (const Fill &f : steps)
                f(d);
        });
    };
    QTest::newRow("nothing chosen") << Fill([](CEntryDialog *) {}) << "请嵌入收付类型";
    QTest::newRow("no account") << all({pick("午餐", ""), text(IDC_AMOUNT, "5")}) << "请嵌入银行";
    QTest::newRow("income root") << all({type("收"), pick("", "现金银行"), text(IDC_AMOUNT, "5")}) << "请选择收入类型";
    QTest::newRow("expense root") << all({type("收"), type("付"), pick("", "现金银行"), text(IDC_AMOUNT, "5")})
                                  << "请选择支出类型";
    QTest::newRow("amount not a number") << all({pick("午餐", "现金银行"), text(IDC_AMOUNT, "5元")})
                                         << "金额必须是数字";
    QTest::newRow("empty amount") << all({pick("午餐", "现金银行")}) << "金额必须是数字";
    QTest::newRow("number not whole") << all({pick("午餐", "现金银行"), text(IDC_AMOUNT, "5"), text(IDC_NUMBER, "2.5")})
                                      << "编号必须是整数";
    QTest::newRow("number used") << all({pick("午餐", "现金银行"), text(IDC_AMOUNT, "5"), text(IDC_NUMBER, "1")})
                                 << "该编号已经使用，请换一个编号";
}

void TestEntryCommands::refusedInput()
{
    QFETCH(Fill, fill);
    QFETCH(QString, message);
    TempDatabase t;
    TestHost host(t);
    post(t, "1", "付", "晚餐", "20");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    const std::string before = snapshot(t);
    ModalDriver driver;
    QStringList typed;
    // A picker showing its root has nothing chosen.
    auto chosen = [](CCategoryPicker *picker) {
        const QString text = picker->currentRecord().text;
        const QStringList roots{QStringLiteral("支出类型"), QStringLiteral("收入类型"), QStringLiteral("我的存款银行")};
        return roots.contains(text) ? QString() : text;
    };
    auto fields = [chosen](CEntryDialog *d) {
        return QStringList{qobject_cast<QLineEdit *>(d->control(IDC_NUMBER))->text(),
                           qobject_cast<QComboBox *>(d->control(IDC_TYPE))->currentText(),
                           chosen(d->categoryPicker()), chosen(d->accountPicker()),
                           qobject_cast<QLineEdit *>(d->control(IDC_AMOUNT))->text()};
    };
    driver.then([&](QWidget *w) {
        CEntryDialog *d = entryDialog(w);
        QVERIFY(d);
        fill(d);
        typed = fields(d);
        confirm(d);
    });
    driver.answer();
    // The refused entry comes back as it was typed, to be put right.
    QStringList retyped;
    driver.then([&](QWidget *w) {
        CEntryDialog *d = entryDialog(w);
        QVERIFY(d);
        retyped = fields(d);
        d->reject();
    });
    view.onCommand(ID_NEW_ENTRY);
    QVERIFY(driver.done());
    QCOMPARE(driver.boxTexts, QStringList{message});
    QVERIFY(driver.unexpected.isEmpty());
    QCOMPARE(retyped, typed);
    QCOMPARE(snapshot(t), before);
    QVERIFY(host.selected.isEmpty());
}

void TestEntryCommands::changeMovesAnExpenseToABank()
{
    TempDatabase t;
    prepare(t);
    TestHost host(t);
    post(t, "1", "付", "午餐", "35.5");
    post(t, "2", "付", "股票", "100");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    view.selectRow(1);
    QCOMPARE(view.selectedEntryNumber(), QStringLiteral("1"));
    {
        ModalDriver driver;
        driver.then([](QWidget *w) {
            CEntryDialog *d = entryDialog(w);
            QVERIFY(d);
            auto *number = qobject_cast<QLineEdit *>(d->control(IDC_NUMBER));
            QCOMPARE(number->text(), QStringLiteral("1"));
            QVERIFY(number->isReadOnly());
            QCOMPARE(d->form().category, QStringLiteral("午餐"));
            QCOMPARE(d->form().account, QStringLiteral("现金银行"));
            QCOMPARE(qobject_cast<QLineEdit *>(d->control(IDC_AMOUNT))->text(), QStringLiteral("35.5"));
            QCOMPARE(qobject_cast<QComboBox *>(d->control(IDC_HANDLER))->currentText(), QStringLiteral("管理员"));
            QCOMPARE(d->form().dateTime, QDateTime(QDate(2007, 3, 1), QTime(10, 0)));
            QVERIFY(d->accountPicker()->selectByText(QStringLiteral("工商银行")));
            qobject_cast<QLineEdit *>(d->control(IDC_AMOUNT))->setText(QStringLiteral("12。5"));
            confirm(d);
        });
        view.onCommand(ID_MODIFY_ENTRY);
        QVERIFY(driver.done());
        QVERIFY(driver.unexpected.isEmpty());
    }
    QCOMPARE(t.value("select count(*) from CashAccount where AccNum=1"), std::string("0"));
    QCOMPARE(t.value("select nMoney||BankName||Num from BankAccount where AccNum=1"), std::string("-12.5工商银行1"));
    QCOMPARE(t.value("select 钱额||银行 from account where 财务标识=1"), std::string("12.5工商银行"));
    QCOMPARE(t.count("InvestMoney"), 1);
    QCOMPARE(host.selected, QList<int>{0});
    QCOMPARE(view.ledgerModel()->cell(1, 4), QStringLiteral("12.5"));

    // A double click on a row is the same command.
    ModalDriver again;
    again.then([](QWidget *w) {
        CEntryDialog *d = entryDialog(w);
        QVERIFY(d);
        QCOMPARE(qobject_cast<QLineEdit *>(d->control(IDC_NUMBER))->text(), QStringLiteral("2"));
        qobject_cast<QPushButton *>(d->control(IDCANCEL))->click();
    });
    view.show();
    const QRect first = view.visualRect(view.model()->index(0, 1));
    QTest::mouseMove(view.viewport(), first.center());
    view.selectRow(0);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, first.center());
    QVERIFY(again.done());
    QVERIFY(again.unexpected.isEmpty());
}

void TestEntryCommands::changeRefusalsAndFailures()
{
    TempDatabase t;
    prepare(t);
    TestHost host(t);
    post(t, "1", "付", "午餐", "35.5");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    view.selectRow(0);
    const std::string before = snapshot(t);
    {
        // The category no longer in the tree starts empty.
        t.connection().execute("UPDATE account SET 帐目类型='旧类型' WHERE 财务标识=1");
        ModalDriver driver;
        driver.then([](QWidget *w) {
            CEntryDialog *d = entryDialog(w);
            QVERIFY(d);
            QVERIFY(d->form().category.isEmpty());
            confirm(d);
        });
        driver.answer();
        view.onCommand(ID_MODIFY_ENTRY);
        QVERIFY(driver.done());
        QCOMPARE(driver.boxTexts, QStringList{QStringLiteral("请嵌入收付类型")});
        t.connection().execute("UPDATE account SET 帐目类型='午餐 ' WHERE 财务标识=1");
    }
    {
        // A failing statement takes the whole change back and is reported once.
        t.connection().executeScript(
            "CREATE TRIGGER refuse_bank BEFORE INSERT ON BankAccount BEGIN SELECT RAISE(ABORT, 'bank refused'); END");
        ModalDriver driver;
        driver.then([](QWidget *w) {
            CEntryDialog *d = entryDialog(w);
            QVERIFY(d);
            QVERIFY(d->accountPicker()->selectByText(QStringLiteral("工商银行")));
            confirm(d);
        });
        driver.answer();
        view.onCommand(ID_MODIFY_ENTRY);
        QVERIFY(driver.done());
        QCOMPARE(driver.boxes.size(), std::size_t(1));
        QVERIFY(driver.boxTexts.value(0).contains(QStringLiteral("bank refused")));
        QCOMPARE(driver.boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(snapshot(t), before);
        QCOMPARE(view.ledgerModel()->rowCount(), 2);
        QVERIFY(host.selected.isEmpty());
    }
    {
        // An entry deleted behind the list's back cannot be changed.
        QVERIFY(ledger::deleteEntry(t.connection(), "1"));
        ModalDriver driver;
        driver.answer();
        view.onCommand(ID_MODIFY_ENTRY);
        QVERIFY(driver.done());
        QCOMPARE(driver.boxTexts, QStringList{QString::fromUtf8(ledger::kMsgEntryMissing)});
        QCOMPARE(t.count("account"), 0);
    }
}

void TestEntryCommands::otherTabsDoNothing_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("command"); // 0: a double click
    for (int tab = 1; tab <= 5; ++tab)
        for (int command : {int(ID_MODIFY_ENTRY), int(ID_DELETE_ENTRY), 0})
            QTest::addRow("tab %d command %d", tab, command) << tab << command;
}

void TestEntryCommands::otherTabsDoNothing()
{
    QFETCH(int, tab);
    QFETCH(int, command);
    TempDatabase t;
    TestHost host(t);
    post(t, "1", "付", "股票", "35.5");
    post(t, "2", "收", "工资", "50", "工商银行");
    CKassoltView view(&host, tab);
    view.loadLedger(tab);
    QVERIFY(view.ledgerModel()->rowCount() > 1);
    view.selectRow(0);
    const std::string before = snapshot(t);
    ModalDriver driver;
    if (command) {
        view.onCommand(command);
    } else {
        view.show();
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(0, 0)).center());
    }
    QCoreApplication::processEvents();
    QVERIFY(driver.unexpected.isEmpty());
    QCOMPARE(snapshot(t), before);
    QVERIFY(host.selected.isEmpty());
}

void TestEntryCommands::withoutAnEntrySelected()
{
    TempDatabase t;
    TestHost host(t);
    post(t, "1", "付", "午餐", "35.5");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    const QString message = QString::fromUtf8(ledger::kMsgSelectEntry);
    for (int row : {-1, 1}) { // none, and the summary row
        view.clearSelection();
        if (row >= 0)
            view.selectRow(row);
        for (int command : {ID_MODIFY_ENTRY, ID_DELETE_ENTRY}) {
            ModalDriver driver;
            driver.answer();
            view.onCommand(command);
            QVERIFY(driver.done());
            QCOMPARE(driver.boxTexts, QStringList{message});
        }
    }
    QCOMPARE(t.count("account"), 1);
}

void TestEntryCommands::deleteRemovesTheEntryEverywhere()
{
    TempDatabase t;
    prepare(t);
    TestHost host(t);
    post(t, "1", "付", "午餐", "35.5");
    post(t, "2", "付", "股票", "100", "工商银行");
    post(t, "3", "存", "存钱", "20", "工商银行");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    LedgerModel *model = view.ledgerModel();
    QCOMPARE(model->cell(3, 4), QStringLiteral("3条记录,余额为：￥155.50"));
    view.selectRow(1);
    {
        ModalDriver driver;
        driver.answer(QMessageBox::No);
        view.onCommand(ID_DELETE_ENTRY);
        QVERIFY(driver.done());
        QCOMPARE(driver.boxes[0].text,
                 QStringLiteral("如果删除了该记录，其相关帐目都将删除，确实要删除编号为:2的记录吗? :"));
        QCOMPARE(driver.boxes[0].icon, QMessageBox::Question);
        QCOMPARE(driver.boxes[0].defaultButton, QMessageBox::No);
        QCOMPARE(t.count("account"), 3);
    }
    {
        ModalDriver driver;
        driver.answer(QMessageBox::Yes);
        driver.answer();
        view.onCommand(ID_DELETE_ENTRY);
        QVERIFY(driver.done());
        QCOMPARE(driver.boxTexts.value(1), QStringLiteral("该记录已经删除"));
    }
    for (const char *table : {"PayMoney", "BankAccount", "InvestMoney"})
        QCOMPARE(t.value(std::string("select count(*) from ") + table + " where AccNum=2"), std::string("0"));
    QCOMPARE(t.column("select 财务标识 from account order by 财务标识"), (std::vector<std::string>{"1", "3"}));
    // The list loses the row, not reloaded, and its summary counts what is left.
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->cell(0, 0), QStringLiteral("3"));
    QCOMPARE(model->cell(1, 0), QStringLiteral("1"));
    QCOMPARE(model->cell(2, 4), QStringLiteral("2条记录,余额为：￥55.50"));
    QVERIFY(host.selected.isEmpty());
    {
        // Deleted behind the list's back: not reported as deleted now.
        QVERIFY(ledger::deleteEntry(t.connection(), "3"));
        view.selectRow(0);
        ModalDriver driver;
        driver.answer(QMessageBox::Yes);
        driver.answer();
        view.onCommand(ID_DELETE_ENTRY);
        QVERIFY(driver.done());
        QCOMPARE(driver.boxTexts.value(1), QString::fromUtf8(ledger::kMsgEntryMissing));
    }
}

void TestEntryCommands::settingsShowWhatTheyWroteInTheList()
{
    TempDatabase t;
    TestHost host(t);
    post(t, "1", "付", "午餐", "35.5");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    QCOMPARE(view.ledgerModel()->rowCount(), 2);
    ModalDriver driver;
    driver.then([&](QWidget *settings) {
        // Stands in for an opening balance saved in the dialog.
        post(t, "2", "收", "工资", "500");
        settings->close();
    });
    view.onCommand(ID_SETTINGS);
    QVERIFY(driver.done());
    QCOMPARE(view.ledgerModel()->rowCount(), 3);
}

void TestEntryCommands::deleteFailureKeepsEverything()
{
    TempDatabase t;
    TestHost host(t);
    post(t, "1", "付", "股票", "100");
    CKassoltView view(&host, 0);
    view.loadLedger(0);
    view.selectRow(0);
    t.connection().executeScript(
        "CREATE TRIGGER refuse_invest BEFORE DELETE ON InvestMoney BEGIN SELECT RAISE(ABORT, 'investment kept'); END");
    const std::string before = snapshot(t);
    ModalDriver driver;
    driver.answer(QMessageBox::Yes);
    driver.answer();
    view.onCommand(ID_DELETE_ENTRY);
    QVERIFY(driver.done());
    QCOMPARE(driver.boxTexts.size(), 2);
    QVERIFY(driver.boxTexts[1].contains(QStringLiteral("investment kept")));
    QVERIFY(driver.unexpected.isEmpty());
    QCOMPARE(snapshot(t), before);
    QCOMPARE(view.ledgerModel()->rowCount(), 2);
    QCOMPARE(view.ledgerModel()->cell(0, 0), QStringLiteral("1"));
}

QTEST_MAIN(TestEntryCommands)
#include "test_entry_commands.moc"

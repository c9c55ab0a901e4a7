#include "app/commands.h"
#include "app/main_frame.h"
#include "db/connection.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_model.h"
#include "ledger/posting.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "support/temp_database.h"
#include "ui/custom_tab_ctrl.h"
#include "ui/date_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QToolBar>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QProgressDialog>
#include <QToolTip>
#include <QtTest>

#include <functional>
#include <memory>

using testing_support::StatementLog;
using testing_support::TempDatabase;
using testing_support::WorkingDirectory;

namespace {

struct Started {
    TempDatabase database;
    std::unique_ptr<WorkingDirectory> cd{new WorkingDirectory(database.folder())};
    db::DateTime now{2007, 3, 20, 9, 30, 15};
    std::unique_ptr<CMainFrame> frame;

    void start()
    {
        frame = std::make_unique<CMainFrame>(QStringLiteral("管理员"), [this] { return now; });
        QVERIFY(frame->create());
        frame->postRecurringItems();
        frame->initialUpdate();
        QCoreApplication::processEvents();
    }

    // Two daily items ten years behind, and a shown main window whose
    // catch-up shows its progress at once.
    void createTenYearsBehind()
    {
        for (const char *item : {"早餐", "午餐"})
            database.connection().execute(
                "UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=1, SelectType='天', BeginDate='1997/03/20 ', "
                "EndDate='2030/01/01 ', MidDate=' ', BankName='现金银行' WHERE Style='" + std::string(item) + "'");
        frame = std::make_unique<CMainFrame>(QStringLiteral("管理员"), [this] { return now; });
        QVERIFY(frame->create());
        frame->setProgressDelay(0);
        frame->show();
        QCoreApplication::processEvents();
    }
};

// While a catch-up runs: answers its boxes, keeping their texts, and hands
// the shown progress dialog to a check.
class CatchUpWatch {
public:
    CatchUpWatch(CMainFrame *frame, std::function<void(QProgressDialog *)> onProgress)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, frame, onProgress] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->accept();
                return;
            }
            QProgressDialog *progress = frame->progressDialog();
            if (progress && progress->isVisible())
                onProgress(progress);
        });
        m_poll.start(5);
    }
    void stop() { m_poll.stop(); }
    QStringList boxes;

private:
    QTimer m_poll;
};

void post(TempDatabase &t, const char *number, const char *date, const char *amount)
{
    ledger::Entry e{number, date, "付", "午餐", amount, "", "管理员", "现金银行", ""};
    QVERIFY(ledger::postEntry(t.connection(), e));
}

// Closes the next modal dialog with the given button text.
void answerNextDialog(const QString &button)
{
    QTimer::singleShot(0, [button] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog) {
            answerNextDialog(button);
            return;
        }
        for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
            if (b->text() == button) {
                b->click();
                return;
            }
        dialog->close();
    });
}

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void tabsAppearInOrderWithTheJournalLoaded();
    void menusAndBars();
    void dateRanges();
    void chosenDatesAndCancel();
    void tabSelectionLoadsOnlyOtherViews();
    void recurringItemsPostAtCreation();
    void failedTabLoadLeavesTheBoxClickable();
    void longCatchUpShowsProgressAndPaints();
    void closingDuringTheCatchUpStopsAndClosesAfterTheItem();
    void onlyEscapeOrAClickStopsTheCatchUp_data();
    void onlyEscapeOrAClickStopsTheCatchUp();
    void startUpFailuresShowInOneBox();
    void theRowUnderThePointerIsSelected();
    void ledgerTabsAreReachedFromTheKeyboard();
    void queryWindowsOpenFromTheMenu();
};

void TestMainFrame::tabsAppearInOrderWithTheJournalLoaded()
{
    Started s;
    post(s.database, "1", "2007/03/20 08:00", "12");
    post(s.database, "2", "2007/03/19 08:00", "5");
    s.start();
    CCustomTabCtrl *strip = s.frame->tabCtrl();
    QCOMPARE(s.frame->windowTitle(), QStringLiteral("Pennaro"));
    QCOMPARE(strip->itemCount(), 6);
    const QStringList captions = {QStringLiteral("  明  细  帐  "), QStringLiteral("  收  入  帐  "),
                                  QStringLiteral("  支  出  帐  "), QStringLiteral("  银  行  帐  "),
                                  QStringLiteral("  现  金  帐  "), QStringLiteral("  投  资  帐  ")};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(strip->itemText(i), captions[i]);
        QCOMPARE(strip->itemTooltipText(i), captions[i]);
        QCOMPARE(s.frame->ledgerView(i)->ledgerIndex(), i);
    }
    // The pointer resting on the first tab shows its caption.
    s.frame->show();
    const QPoint onFirst = strip->itemTextRect(0).center();
    QHelpEvent help(QEvent::ToolTip, onFirst, strip->mapToGlobal(onFirst));
    QApplication::sendEvent(strip, &help);
    QCOMPARE(QToolTip::text(), captions[0]);
    QToolTip::hideText();
    QCOMPARE(strip->curSel(), 0);
    QCOMPARE(strip->tabStyle(), 0x4Eu);
    QCOMPARE(s.frame->activeView(), s.frame->ledgerView(0));
    CKassoltView *journal = s.frame->ledgerView(0);
    QCOMPARE(journal->loadedBegin(), QStringLiteral("20070320"));
    QCOMPARE(journal->ledgerModel()->rowCount(), 2); // today's row and the summary
    QCOMPARE(journal->ledgerModel()->cell(1, 4), QStringLiteral("1条记录,余额为：￥12.00"));
    QCOMPARE(journal->ledgerModel()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("日期时间"));
    QCOMPARE(journal->columnWidth(4), 200);
    // An index outside the six gets the default caption.
    s.frame->onAddLedgerTab(9);
    QCOMPARE(strip->itemText(6), QStringLiteral("  默  认  帐  "));
    // Showing it loads nothing and shows no columns.
    s.frame->selectLedgerTab(6);
    QCOMPARE(s.frame->activeView(), s.frame->ledgerView(6));
    QCOMPARE(s.frame->ledgerView(6)->ledgerModel()->columnCount(), 0);
    QCOMPARE(s.frame->ledgerView(6)->ledgerModel()->rowCount(), 0);
    // The selected entry is the first column of the selected row, none for the summary.
    s.frame->selectLedgerTab(0);
    journal->selectRow(0);
    QCOMPARE(journal->selectedEntryNumber(), QStringLiteral("1"));
    journal->selectRow(1);
    QCOMPARE(journal->selectedEntryNumber(), QString());
}

void TestMainFrame::menusAndBars()
{
    Started s;
    s.start();
    using namespace cmd;
    QVERIFY(s.frame->action(ID_APP_EXIT)->isEnabled());
    QVERIFY(s.frame->action(ID_APP_ABOUT)->isEnabled());
    QVERIFY(s.frame->action(ID_NEW_ENTRY)->text().startsWith(QStringLiteral("新增(&O)\tCtrl+O")));
    // Every command of the menus and the toolbar has its window.
    for (int id : {ID_NEW_ENTRY, ID_MODIFY_ENTRY, ID_DELETE_ENTRY, ID_STOCKS_FUNDS, ID_STOCKS_FUNDS_TOOLBAR,
                   ID_PRINT_PREVIEW, ID_SETTINGS, ID_QUERY_CLASS, ID_QUERY_DATE, ID_USERS, ID_CHANGE_PASSWORD,
                   ID_BACKUP_RESTORE, ID_HELP, ID_IMPORT_BILL, ID_IMPORT_LIST, ID_BUDGET_EXECUTION, ID_BUDGET_PLAN,
                   ID_FILTER, ID_FIND, ID_BALANCES})
        QVERIFY2(s.frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
    QCOMPARE(s.frame->action(ID_IMPORT_BILL)->text(), QStringLiteral("导入账单…"));
    QCOMPARE(s.frame->action(ID_IMPORT_BILL)->iconText(), QStringLiteral("导入账单"));
    for (QAction *item : s.frame->ledgerView(0)->contextMenu()->actions())
        QVERIFY(item->isEnabled());
    QCOMPARE(s.frame->action(ID_CHANGE_PASSWORD)->statusTip(), QStringLiteral("修改管理员密码"));
    QCOMPARE(s.frame->action(ID_STOCKS_FUNDS_TOOLBAR)->statusTip(), QStringLiteral("最热门的理财"));
    const QStringList items = {QStringLiteral("今天"), QStringLiteral("本月"), QStringLiteral("今年"),
                               QStringLiteral("日期选择")};
    QCOMPARE(s.frame->dateCombo()->count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(s.frame->dateCombo()->itemText(i), items[i]);
    QCOMPARE(s.frame->dateCombo()->currentText(), items[0]);
    // Toolbar order, the date drop-down in place of its button.
    QList<int> order;
    for (QAction *a : s.frame->toolBar()->actions())
        order << (a->isSeparator() ? 0 : a->data().isValid() ? a->data().toInt() : ID_DATE_COMBO);
    QCOMPARE(order, (QList<int>{ID_STOCKS_FUNDS_TOOLBAR, ID_NEW_ENTRY, ID_DELETE_ENTRY, ID_MODIFY_ENTRY, ID_EDIT_UNDO,
                                ID_EDIT_REDO, ID_DATE_COMBO, ID_IMPORT_BILL, ID_SETTINGS, ID_QUERY_DATE, ID_QUERY_CLASS, ID_BUDGET_EXECUTION, ID_FILTER, ID_BALANCES, 0,
                                ID_PRINT_PREVIEW, 0, ID_APP_ABOUT}));
    s.frame->onClockTick();
    QCOMPARE(s.frame->clockPane()->text(), QStringLiteral("当前时间 2007-03-20 09:30:15"));
    s.frame->action(ID_VIEW_TOOLBAR)->trigger();
    QVERIFY(s.frame->toolBar()->isHidden());
    QVERIFY(!s.frame->action(ID_VIEW_TOOLBAR)->isChecked());
    // The context menu carries the three entry commands.
    QList<int> context;
    for (QAction *a : s.frame->ledgerView(0)->contextMenu()->actions())
        context << a->data().toInt();
    QCOMPARE(context, (QList<int>{ID_NEW_ENTRY, ID_MODIFY_ENTRY, ID_DELETE_ENTRY}));
    answerNextDialog(QStringLiteral("关闭"));
    s.frame->action(ID_APP_ABOUT)->trigger();
}

void TestMainFrame::dateRanges()
{
    Started s;
    s.start();
    s.frame->applyDateChoice(QStringLiteral("本月"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070301"));
    QCOMPARE(s.frame->rangeEnd(), QStringLiteral("20070320"));
    s.frame->applyDateChoice(QStringLiteral("今年"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070101"));
    s.now = db::DateTime{2007, 4, 1, 8, 0, 0};
    s.frame->applyDateChoice(QStringLiteral("本月"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070401"));
    QCOMPARE(s.frame->rangeEnd(), QStringLiteral("20070401"));
    QCOMPARE(s.frame->day(), QStringLiteral("20070401"));
    s.frame->applyDateChoice(QStringLiteral("今天"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070401"));
    // Another text changes nothing and reloads nothing.
    StatementLog log;
    s.frame->applyDateChoice(QStringLiteral("明天"));
    QVERIFY(log.statements().empty());
}

void TestMainFrame::chosenDatesAndCancel()
{
    Started s;
    post(s.database, "1", "2007/02/10 08:00", "3");
    s.start();
    StatementLog log;
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<CDateDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("时间设置"));
        QCOMPARE(dialog->beginEdit()->displayFormat(), QStringLiteral("yyyy/MM/dd"));
        dialog->beginEdit()->setDate(QDate(2007, 2, 1));
        dialog->endEdit()->setDate(QDate(2007, 2, 28));
        dialog->accept();
    });
    s.frame->applyDateChoice(QStringLiteral("日期选择"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070201"));
    QCOMPARE(s.frame->rangeEnd(), QStringLiteral("20070228"));
    QCOMPARE(s.frame->day(), QStringLiteral("20070320"));
    QCOMPARE(s.frame->tabCtrl()->curSel(), 0);
    QCOMPARE(s.frame->ledgerView(0)->ledgerModel()->rowCount(), 2);
    auto statements = log.statements();
    QCOMPARE(int(statements.size()), 2); // income ledger, then the journal
    QVERIFY(QString::fromStdString(statements[0]).contains(QStringLiteral("from GetMoney")));
    QVERIFY(QString::fromStdString(statements[1]).contains(QStringLiteral("'20070201'")));
    // A cancelled dialog keeps the range and still reloads the journal.
    log.clear();
    answerNextDialog(QStringLiteral("取消"));
    s.frame->applyDateChoice(QStringLiteral("日期选择"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070201"));
    QCOMPARE(int(log.statements().size()), 2);
    // The day is unchanged; a later 本月 takes today again.
    s.frame->applyDateChoice(QStringLiteral("本月"));
    QCOMPARE(s.frame->rangeBegin(), QStringLiteral("20070301"));
}

void TestMainFrame::tabSelectionLoadsOnlyOtherViews()
{
    Started s;
    s.start();
    StatementLog log;
    s.frame->selectLedgerTab(0); // already in front: nothing reloaded
    s.frame->selectLedgerTab(7); // no such tab
    QVERIFY(log.statements().empty());
    // A press on the cash tab selects it and loads the cash ledger.
    CCustomTabCtrl *strip = s.frame->tabCtrl();
    s.frame->resize(1000, 600);
    s.frame->show();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->itemTextRect(4).center());
    QCOMPARE(strip->curSel(), 4);
    QCOMPARE(s.frame->activeView(), s.frame->ledgerView(4));
    QCOMPARE(int(log.statements().size()), 1);
    QVERIFY(QString::fromStdString(log.statements()[0]).contains(QStringLiteral("from CashAccount")));
    QVERIFY(s.frame->ledgerView(4)->isVisible());
    QVERIFY(!s.frame->ledgerView(0)->isVisible());
}

void TestMainFrame::recurringItemsPostAtCreation()
{
    Started s;
    s.database.connection().execute(
        "UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=1, SelectType='天', BeginDate='2007/03/18 ', "
        "EndDate='2008/01/01 ', MidDate=' ', BankName='现金银行' WHERE Style='早餐'");
    s.start();
    LedgerModel *journal = s.frame->ledgerView(0)->ledgerModel();
    QCOMPARE(journal->rowCount(), 2);
    QCOMPARE(journal->cell(0, 1), QStringLiteral("2007/03/20 00:00"));
    QCOMPARE(journal->cell(0, 5), QStringLiteral("自动"));
    QCOMPARE(s.database.count("account"), 3);
    // A second start posts nothing new.
    s.frame.reset();
    s.start();
    QCOMPARE(s.database.count("account"), 3);
}

void TestMainFrame::failedTabLoadLeavesTheBoxClickable()
{
    Started s;
    s.start();
    s.frame->resize(1000, 600);
    s.frame->show();
    s.database.connection().execute("ALTER TABLE GetMoney RENAME TO GetMoneyGone");
    CCustomTabCtrl *strip = s.frame->tabCtrl();
    // The box that reports the failed load opens while the tab's press is
    // being handled: nothing may hold the pointer, and a click closes it.
    QString text;
    QWidget *grabber = strip;
    bool closed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || closed)
            return;
        text = box->text();
        grabber = QWidget::mouseGrabber();
        QAbstractButton *ok = box->buttons().value(0);
        QTest::mouseClick(ok, Qt::LeftButton);
        closed = !box->isVisible();
    });
    poll.start(10);
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->itemTextRect(1).center());
    QVERIFY(text.contains(QStringLiteral("GetMoney")));
    QCOMPARE(grabber, static_cast<QWidget *>(nullptr));
    QVERIFY(closed);
    QCOMPARE(strip->curSel(), 1);
}

void TestMainFrame::longCatchUpShowsProgressAndPaints()
{
    Started s;
    // A daily item ten years behind: thousands of postings in one item.
    s.database.connection().execute(
        "UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=1, SelectType='天', BeginDate='1997/03/20 ', "
        "EndDate='2030/01/01 ', MidDate=' ', BankName='现金银行' WHERE Style='早餐'");
    s.frame = std::make_unique<CMainFrame>(QStringLiteral("管理员"), [&s] { return s.now; });
    QVERIFY(s.frame->create());
    s.frame->setProgressDelay(0);
    s.frame->resize(800, 500);
    s.frame->show();
    QCoreApplication::processEvents();
    int paints = 0;
    bool dialogShown = false;
    QString label;
    struct PaintCounter : QObject {
        int *count;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter;
    counter.count = &paints;
    s.frame->installEventFilter(&counter);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QProgressDialog *progress = s.frame->progressDialog(); progress && progress->isVisible()) {
            dialogShown = true;
            label = progress->labelText();
            s.frame->update();
        }
    });
    poll.start(5);
    s.frame->update(); // painted by the first pass of the posting's event loop
    s.frame->postRecurringItems();
    poll.stop();
    QVERIFY(dialogShown);
    QVERIFY(label.contains(QStringLiteral("早餐")));
    QVERIFY(paints > 0);
    QVERIFY(!s.frame->progressDialog());
    QCOMPARE(s.database.count("account"), 3653); // 1997/03/20 to 2007/03/20, both included
    // The journal loads after the posting and shows today's occurrence.
    s.frame->initialUpdate();
    QCoreApplication::processEvents();
    QCOMPARE(s.frame->ledgerView(0)->ledgerModel()->cell(0, 1), QStringLiteral("2007/03/20 00:00"));
}

void TestMainFrame::closingDuringTheCatchUpStopsAndClosesAfterTheItem()
{
    Started s;
    s.createTenYearsBehind();
    bool closeSent = false;
    QString stoppingLabel;
    bool stopEnabled = true;
    CatchUpWatch watch(s.frame.get(), [&](QProgressDialog *progress) {
        if (!closeSent) {
            closeSent = true;
            s.frame->close();
        } else if (stoppingLabel.isEmpty() && progress->labelText().startsWith(QStringLiteral("正在停止"))) {
            stoppingLabel = progress->labelText();
            stopEnabled = progress->findChild<QPushButton *>()->isEnabled();
        }
    });
    s.frame->postRecurringItems();
    QVERIFY(closeSent);
    QVERIFY(stoppingLabel.contains(QStringLiteral("早餐")));
    QVERIFY(!stopEnabled);
    // The item in progress is whole; the next waits for the next start.
    QCOMPARE(s.database.count("account"), 3653);
    QCOMPARE(watch.boxes.size(), 1);
    QVERIFY(watch.boxes[0].contains(QStringLiteral("自动记帐已停止")));
    QTRY_VERIFY(!s.frame->isVisible());
    watch.stop();
}

void TestMainFrame::onlyEscapeOrAClickStopsTheCatchUp_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("stops");
    QTest::newRow("Enter") << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false;
    QTest::newRow("Space") << int(Qt::Key_Space) << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
    QTest::newRow("a click on 停止") << 0 << true;
}

// A key pressed while the catch-up runs goes where the keyboard's focus is.
void TestMainFrame::onlyEscapeOrAClickStopsTheCatchUp()
{
    QFETCH(int, key);
    QFETCH(bool, stops);
    Started s;
    s.createTenYearsBehind();
    bool pressed = false;
    CatchUpWatch watch(s.frame.get(), [&](QProgressDialog *progress) {
        if (pressed)
            return;
        pressed = true;
        QWidget *focus = QApplication::focusWidget();
        if (key)
            QTest::keyClick(focus && focus->window() == progress ? focus : progress, Qt::Key(key));
        else
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    });
    s.frame->postRecurringItems();
    watch.stop();
    QVERIFY(pressed);
    QCOMPARE(s.database.count("account"), stops ? 3653 : 2 * 3653);
    QCOMPARE(watch.boxes.size(), stops ? 1 : 0);
}

void TestMainFrame::startUpFailuresShowInOneBox()
{
    Started s;
    auto &c = s.database.connection();
    c.execute("UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=0, SelectType='天', BeginDate='2007/03/18 ', "
              "EndDate='2008/01/01 ', MidDate=' ', BankName='现金银行' WHERE Style='早餐'");
    c.execute("UPDATE PayStyle SET IsAuto=TRUE, PMoney=9, DayNum=1, SelectType='天', BeginDate='0100/03/18 ', "
              "EndDate='2008/01/01 ', MidDate=' ', BankName='现金银行' WHERE Style='午餐'");
    c.execute("UPDATE GetStyle SET IsAuto=TRUE, GMoney=9, DayNum=1, SelectType='天', BeginDate='2007/03/18 ', "
              "EndDate='2008/01/01 ', MidDate=' ', BankName='现金银行' WHERE Style='工资'");
    QStringList boxes;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
        }
    });
    poll.start(10);
    s.start();
    QCOMPARE(boxes.size(), 1);
    const QStringList lines = boxes[0].split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3); // a heading and one line per item
    QVERIFY(lines[1].contains(QStringLiteral("早餐")));
    QVERIFY(lines[2].contains(QStringLiteral("午餐")));
    QCOMPARE(s.database.value("select count(*) from account where 帐目类型='午餐'"), std::string("0"));
    QCOMPARE(s.database.value("select count(*) from account where 帐目类型='工资'"), std::string("3"));
}

void TestMainFrame::ledgerTabsAreReachedFromTheKeyboard()
{
    Started s;
    s.start();
    s.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.frame.get()));
    QCoreApplication::processEvents();
    CCustomTabCtrl *strip = s.frame->tabCtrl();
    QCOMPARE(strip->itemCount(), 6);
    CKassoltView *journal = s.frame->ledgerView(0);
    journal->setFocus();
    QTest::keyClick(journal, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(strip->curSel(), 1);
    QCOMPARE(s.frame->activeView(), static_cast<QWidget *>(s.frame->ledgerView(1)));
    QTest::keyClick(s.frame->ledgerView(1), Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(s.frame->ledgerView(0), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(strip->curSel(), 5); // round the end
}

void TestMainFrame::theRowUnderThePointerIsSelected()
{
    Started s;
    post(s.database, "1", "2007/03/20 08:00", "12");
    post(s.database, "2", "2007/03/20 07:00", "5");
    s.start();
    s.frame->resize(1000, 600);
    s.frame->show();
    CKassoltView *view = s.frame->ledgerView(0);
    QVERIFY(QTest::qWaitForWindowExposed(s.frame.get()));
    const QPoint onSecond = view->visualRect(view->model()->index(1, 3)).center();
    view->selectRow(0);
    // A pointer passing over a row on its way elsewhere leaves the chosen
    // row selected; one that rests there selects its row.
    QTest::mouseMove(view->viewport(), onSecond);
    QCOMPARE(view->selectedEntryNumber(), QStringLiteral("1"));
    QTest::qWait(100);
    QCOMPARE(view->selectedEntryNumber(), QStringLiteral("1"));
    QTRY_VERIFY(view->selectionModel()->isRowSelected(1, {}));
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), view->model()->columnCount());
    QCOMPARE(view->selectedEntryNumber(), QStringLiteral("2"));
    const QPoint onFirst = view->visualRect(view->model()->index(0, 6)).center();
    QTest::mouseMove(view->viewport(), onFirst);
    QTRY_COMPARE(view->selectedEntryNumber(), QStringLiteral("1"));
    // The summary row follows the pointer too, and names no entry.
    QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(2, 1)).center());
    QTRY_VERIFY(view->selectionModel()->isRowSelected(2, {}));
    QCOMPARE(view->selectedEntryNumber(), QString());
}

void TestMainFrame::queryWindowsOpenFromTheMenu()
{
    Started s;
    post(s.database, "1", "2007/03/20 08:00", "12");
    s.start();
    QVERIFY(s.frame->action(cmd::ID_QUERY_CLASS)->isEnabled());
    QVERIFY(s.frame->action(cmd::ID_QUERY_DATE)->isEnabled());
    QString seen;
    auto closeWhenShown = [&seen] {
        QTimer::singleShot(0, [&seen] {
            auto *window = qobject_cast<CQueryWindow *>(QApplication::activeModalWidget());
            QVERIFY(window);
            // Today comes from the frame's clock.
            seen = window->windowTitle() + window->rangeBegin();
            window->reject();
        });
    };
    closeWhenShown();
    s.frame->action(cmd::ID_QUERY_CLASS)->trigger();
    QCOMPARE(seen, QStringLiteral("分类查询20070320"));
    closeWhenShown();
    s.frame->action(cmd::ID_QUERY_DATE)->trigger();
    QCOMPARE(seen, QStringLiteral("日期查询20070320"));
}

QTEST_MAIN(TestMainFrame)
#include "test_main_frame.moc"

#include "db/connection.h"
#include "ledger/posting.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "stats/statistic_run.h"
#include "support/sample_entries.h"
#include "support/temp_database.h"
#include "ui/date_dialog.h"

#include <QAction>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace stats::cmd;
using testing_support::StatementLog;
using testing_support::Sample;
using testing_support::TempDatabase;

namespace {

// Two days of March and one of February; "today" is 20 March 2007.
const Sample kSamples[] = {
    {"2007/03/20 07:30", "付", "早餐", "6"},     {"2007/03/20 12:00", "付", "午餐", "20"},
    {"2007/03/20 18:00", "收", "工资", "3000"},  {"2007/03/05 19:00", "付", "晚餐", "80"},
    {"2007/03/05 20:00", "收", "奖金", "500"},   {"2007/02/10 12:00", "收", "工资", "2900"},
    {"2007/01/02 12:00", "付", "房租", "1500"},
};

int countOf(const char *type, const QString &begin, const QString &end)
{
    int n = 0;
    for (const Sample &s : kSamples) {
        const QString day = QString::fromUtf8(s.date).left(10).remove(QLatin1Char('/'));
        if ((!type || QString::fromUtf8(type) == QString::fromUtf8(s.type)) && day >= begin && day <= end)
            ++n;
    }
    return n;
}

struct Fixture {
    TempDatabase database;
    db::DateTime now{2007, 3, 20, 9, 30, 0};
    CQueryWindow::Clock clock() { return [this] { return now; }; }
    Fixture()
    {
        testing_support::postSamples(database.connection(), kSamples);
    }
};

QStringList topTexts(CStatList *list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(0);
    return out;
}

QStringList headerTexts(CStatList *list)
{
    QStringList out;
    for (int i = 0; i < list->columnCount(); ++i)
        out << list->headerItem()->text(i);
    return out;
}

QList<int> toolbarOrder(CQueryWindow &window)
{
    QList<int> ids;
    for (QAction *a : window.toolBar()->actions())
        ids << (a->isSeparator() ? 0 : a->data().toInt());
    return ids;
}

QTreeWidgetItem *topItem(CStatList *list, const QString &label)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == label)
            return list->topLevelItem(i);
    return nullptr;
}

// Answers every message box as it comes, keeping its text.
class BoxCounter {
public:
    BoxCounter()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

// Runs body on the next modal dialog of type T once it is shown.
template <typename T, typename F> void onNextDialog(F body)
{
    QTimer::singleShot(0, [body] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog) {
            onNextDialog<T>(body);
            return;
        }
        body(dialog);
    });
}

} // namespace

class TestQueryWindows : public QObject {
    Q_OBJECT
    // The chart pane's place is kept in the user's settings: none here.
    QTemporaryDir m_config;
private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }
    void classWindowOpensOnTodaysSummary();
    void switchingKindsLeavesNoColumnsBehind();
    void dayMenuRerunsTheKindShowing_data();
    void dayMenuRerunsTheKindShowing();
    void intervalDialogAndCancel();
    void failingStatementIsReportedOnce();
    void dateWindowRunsEachDirection();
    void displayedRowsLeaveOutCollapsedChildren();
    void exitEndsTheWindow();
    void aRunningStatisticPaintsAndHoldsNewRequests();
    void stopEndsARunAndKeepsItsRows_data();
    void stopEndsARunAndKeepsItsRows();
};

void TestQueryWindows::classWindowOpensOnTodaysSummary()
{
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    QCOMPARE(window.windowTitle(), QStringLiteral("分类查询"));
    QCOMPARE(window.kind(), 1);
    QCOMPARE(window.rangeBegin(), QStringLiteral("20070320"));
    QCOMPARE(window.rangeEnd(), QStringLiteral("20070320"));
    CStatList *list = window.statList();
    QCOMPARE(list->objectName(), QStringLiteral("statList4097"));
    QCOMPARE(headerTexts(list), (QStringList{"类型", "金额", "次数", "收付", "百分比"}));
    QCOMPARE(list->columnWidth(0), 200);
    QCOMPARE(list->columnWidth(4), 150);
    QCOMPARE(topTexts(list), (QStringList{"流水帐目", "支出费用", "收入类型", "银行帐目", "现金帐目"}));
    QCOMPARE(topItem(list, "流水帐目")->text(2), QString::number(countOf(nullptr, "20070320", "20070320")));
    QCOMPARE(topItem(list, "支出费用")->text(1), QStringLiteral("26"));
    QVERIFY(!topItem(list, "支出费用")->icon(0).isNull());
    QVERIFY(!topItem(list, "支出费用")->isExpanded()); // children come collapsed
    QCOMPARE(topItem(list, "支出费用")->childCount(), 1);  // 餐饮, with 早餐 and 午餐 below

    QCOMPARE(toolbarOrder(window), (QList<int>{ID_JOURNAL, ID_BANK, ID_CASH, ID_INCOME, ID_EXPENSE, 0, ID_SUMMARY,
                                               ID_CHARTS, ID_QUERY_SETTINGS, ID_EXPORT, ID_CLASS_PRINT_PREVIEW, ID_EXIT, 0}));
    const QStringList texts = {"流水帐", "银行",     "现金", "收入",     "支出", "汇总",
                               "图表",   "查询设置", "导出", "打印预览", "退出"};
    const int ids[] = {ID_JOURNAL, ID_BANK,    ID_CASH,           ID_INCOME, ID_EXPENSE,             ID_SUMMARY,
                       ID_CHARTS,  ID_QUERY_SETTINGS, ID_EXPORT, ID_CLASS_PRINT_PREVIEW, ID_EXIT};
    for (int i = 0; i < texts.size(); ++i) {
        QAction *a = window.action(ids[i]);
        QCOMPARE(a->text(), texts[i]);
        auto *button = qobject_cast<QToolButton *>(window.toolBar()->widgetForAction(a));
        QVERIFY(button->minimumWidth() >= 40 && button->maximumWidth() <= 80);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }
    QVERIFY(window.action(ID_EXPORT)->isEnabled());
    QVERIFY(window.action(ID_CLASS_PRINT_PREVIEW)->isEnabled());
    auto *settings = qobject_cast<QToolButton *>(window.toolBar()->widgetForAction(window.action(ID_QUERY_SETTINGS)));
    QCOMPARE(settings->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(settings->menu(), window.dayMenu());
    QList<int> dayIds;
    QStringList dayTexts;
    for (QAction *a : window.dayMenu()->actions()) {
        dayIds << a->data().toInt();
        dayTexts << a->text();
    }
    QCOMPARE(dayIds, (QList<int>{ID_DAY_TODAY, ID_DAY_THIS_MONTH, ID_DAY_THIS_YEAR, ID_DAY_INTERVAL}));
    QCOMPARE(dayTexts, (QStringList{"今天", "本月", "今年", "设置日期间隔"}));

    const QStringList status = {"查询1", "时间1", "TEST", ""};
    const int widths[] = {150, 50, 60, 89};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(window.statusPart(i)->text(), status[i]);
        QCOMPARE(window.statusPart(i)->width(), widths[i]);
    }
    QCOMPARE(window.statusPart(2)->frameShape(), QFrame::NoFrame);

    window.show();
    window.resize(800, 500);
    QVERIFY(QTest::qWaitFor([&] { return list->width() == 800; }));
    QCOMPARE(QRect(list->mapTo(&window, QPoint(0, 0)), list->size()), QRect(0, 44, 800, 500 - 65));
    QCOMPARE(window.band()->geometry(), QRect(0, 0, 800, 52));
    QCOMPARE(window.statusBar()->geometry().bottom(), 499);
}

void TestQueryWindows::switchingKindsLeavesNoColumnsBehind()
{
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    const std::pair<int, QStringList> kinds[] = {
        {ID_JOURNAL, {"流水帐目"}},  {ID_BANK, {"银行帐目"}},     {ID_CASH, {"现金帐目"}},
        {ID_INCOME, {"收入类型"}},   {ID_EXPENSE, {"支出费用"}},  {ID_JOURNAL, {"流水帐目"}},
        {ID_SUMMARY, {"流水帐目", "支出费用", "收入类型", "银行帐目", "现金帐目"}},
    };
    const int kindOf[] = {2, 3, 4, 5, 6, 2, 1};
    int i = 0;
    for (const auto &[id, heads] : kinds) {
        window.onCommand(id);
        QCOMPARE(window.kind(), kindOf[i++]);
        QCOMPARE(window.statList()->columnCount(), 5);
        QCOMPARE(headerTexts(window.statList()), (QStringList{"类型", "金额", "次数", "收付", "百分比"}));
        QCOMPARE(topTexts(window.statList()), heads);
    }
    // The cash statistic lists its four directions below its head.
    window.onCommand(ID_CASH);
    QCOMPARE(window.statList()->topLevelItem(0)->childCount(), 4);
}

void TestQueryWindows::dayMenuRerunsTheKindShowing_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::newRow("今天") << ID_DAY_TODAY << QDate(2007, 3, 5) << "20070305" << "20070305";
    QTest::newRow("本月") << ID_DAY_THIS_MONTH << QDate(2007, 3, 20) << "20070301" << "20070320";
    QTest::newRow("本月 on the first") << ID_DAY_THIS_MONTH << QDate(2007, 4, 1) << "20070401" << "20070401";
    QTest::newRow("今年") << ID_DAY_THIS_YEAR << QDate(2007, 3, 20) << "20070101" << "20070320";
}

void TestQueryWindows::dayMenuRerunsTheKindShowing()
{
    QFETCH(int, command);
    QFETCH(QDate, today);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    Fixture f;
    for (int classWindow = 1; classWindow >= 0; --classWindow) {
        std::unique_ptr<CQueryWindow> window;
        if (classWindow)
            window = std::make_unique<CClassQueryWindow>(f.database.connection(), f.clock());
        else
            window = std::make_unique<CDateQueryWindow>(f.database.connection(), f.clock());
        window->onCommand(ID_INCOME);
        const int kind = window->kind();
        f.now = db::DateTime{today.year(), today.month(), today.day(), 10, 0, 0};
        StatementLog log;
        window->onCommand(command);
        QCOMPARE(window->rangeBegin(), begin);
        QCOMPARE(window->rangeEnd(), end);
        QVERIFY(log.statements().empty()); // the statistic runs after the command
        QCoreApplication::processEvents();
        QVERIFY(!log.statements().empty());
        // The journal is read over the new range.
        const std::vector<std::string> sent = log.statements();
        QVERIFY(std::any_of(sent.begin(), sent.end(), [&](const std::string &statement) {
            return QString::fromStdString(statement).contains("'" + begin.left(4));
        }));
        QCOMPARE(window->kind(), kind);
        QTreeWidgetItem *head = window->statList()->topLevelItem(0);
        QCOMPARE(head->text(0), classWindow ? QStringLiteral("收入类型") : QStringLiteral("日期"));
        QCOMPARE(head->text(2), QString::number(countOf("收", begin, end)));
        f.now = db::DateTime{2007, 3, 20, 9, 30, 0};
    }
}

void TestQueryWindows::intervalDialogAndCancel()
{
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    window.onCommand(ID_JOURNAL);
    // The pickers start today; a begin after the end is taken as it is.
    onNextDialog<CDateDialog>([](CDateDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("时间设置"));
        QCOMPARE(dialog->beginEdit()->date(), QDate(2007, 3, 20));
        QCOMPARE(dialog->endEdit()->date(), QDate(2007, 3, 20));
        dialog->beginEdit()->setDate(QDate(2007, 3, 31));
        dialog->endEdit()->setDate(QDate(2007, 3, 1));
        dialog->accept();
    });
    window.action(ID_QUERY_SETTINGS)->trigger();
    QCOMPARE(window.rangeBegin(), QStringLiteral("20070331"));
    QCOMPARE(window.rangeEnd(), QStringLiteral("20070301"));
    QCoreApplication::processEvents();
    QCOMPARE(window.kind(), 2);
    QCOMPARE(topTexts(window.statList()), QStringList{"流水帐目"});
    QCOMPARE(window.statList()->topLevelItem(0)->text(2), QStringLiteral("0"));
    QCOMPARE(window.statList()->topLevelItem(0)->childCount(), 0);

    // The DAY menu's interval item opens the same dialog; cancelling it
    // changes neither the range nor the list.
    window.onCommand(ID_DAY_THIS_MONTH);
    QCoreApplication::processEvents();
    QTreeWidgetItem *before = window.statList()->topLevelItem(0);
    const int rows = before->childCount();
    QVERIFY(rows > 0);
    StatementLog log;
    onNextDialog<CDateDialog>([](CDateDialog *dialog) {
        dialog->beginEdit()->setDate(QDate(2006, 1, 1));
        dialog->reject();
    });
    window.dayMenu()->actions().last()->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(window.rangeBegin(), QStringLiteral("20070301"));
    QCOMPARE(window.rangeEnd(), QStringLiteral("20070320"));
    QVERIFY(log.statements().empty());
    QCOMPARE(window.statList()->topLevelItem(0), before);
    QCOMPARE(before->childCount(), rows);
}

void TestQueryWindows::failingStatementIsReportedOnce()
{
    Fixture f;
    f.database.connection().execute("DROP TABLE GetStyle");
    BoxCounter boxes;
    CClassQueryWindow window(f.database.connection(), f.clock());
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts.front().contains(QStringLiteral("GetStyle")));
    // The rows found before the failing statement stay.
    QCOMPARE(topTexts(window.statList()), (QStringList{"流水帐目", "支出费用", "收入类型"}));
    QCOMPARE(topItem(window.statList(), "支出费用")->childCount(), 1);
    // The window goes on working.
    window.onCommand(ID_EXPENSE);
    QCOMPARE(topTexts(window.statList()), QStringList{"支出费用"});
    window.onCommand(ID_BANK);
    QCOMPARE(topTexts(window.statList()), QStringList{"银行帐目"});
    QCOMPARE(boxes.texts.size(), 1);
}

void TestQueryWindows::dateWindowRunsEachDirection()
{
    Fixture f;
    CDateQueryWindow window(f.database.connection(), f.clock());
    QCOMPARE(window.windowTitle(), QStringLiteral("日期查询"));
    QCOMPARE(window.statList()->objectName(), QStringLiteral("statList4097"));
    QCOMPARE(toolbarOrder(window), (QList<int>{ID_INCOME, ID_EXPENSE, ID_DEPOSIT, ID_WITHDRAWAL, 0, ID_SUMMARY,
                                               ID_QUERY_SETTINGS, ID_DATE_PRINT_PREVIEW, ID_EXPORT, ID_EXIT, 0}));
    QCOMPARE(window.action(ID_DEPOSIT)->text(), QStringLiteral("存钱"));
    QCOMPARE(window.action(ID_WITHDRAWAL)->text(), QStringLiteral("取钱"));
    QVERIFY(window.action(ID_DATE_PRINT_PREVIEW)->isEnabled());
    QVERIFY(window.action(ID_EXPORT)->isEnabled());
    // Today, all directions: the head, today's row and its three types.
    QCOMPARE(window.kind(), 1);
    QCOMPARE(headerTexts(window.statList()), (QStringList{"日期", "金额", "次数", "收付", "百分比"}));
    QTreeWidgetItem *head = window.statList()->topLevelItem(0);
    QCOMPARE(head->text(0), QStringLiteral("日期"));
    QCOMPARE(head->text(1), QStringLiteral("3026"));
    QCOMPARE(head->childCount(), 1);
    QCOMPARE(head->child(0)->text(0), QStringLiteral("20070320"));
    QCOMPARE(head->child(0)->childCount(), 3);

    // Two deposits and one withdrawal this month, so that 存钱 and 取钱
    // cannot stand for each other.
    auto &c = f.database.connection();
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES "
              "(2,'工商银行',1,0,'我的存款银行','0000')");
    const Sample moves[] = {{"2007/03/20 10:00", "存", "存钱", "200"},
                            {"2007/03/05 10:00", "存", "存钱", "100"},
                            {"2007/03/05 11:00", "取", "取钱", "50"}};
    for (const Sample &m : moves)
        QVERIFY(ledger::postEntry(c, {ledger::nextEntryNumber(c), m.date, m.type, m.category, m.amount, "", "管理员",
                                      "工商银行", ""}));
    window.onCommand(ID_DAY_THIS_MONTH);
    QCoreApplication::processEvents();
    const std::pair<int, const char *> directions[] = {
        {ID_INCOME, "收"}, {ID_EXPENSE, "付"}, {ID_DEPOSIT, "存"}, {ID_WITHDRAWAL, "取"}, {ID_SUMMARY, nullptr}};
    const int kinds[] = {2, 3, 4, 5, 1};
    for (int i = 0; i < 5; ++i) {
        window.onCommand(directions[i].first);
        QCOMPARE(window.kind(), kinds[i]);
        QCOMPARE(window.statList()->topLevelItemCount(), 1);
        QCOMPARE(window.statList()->columnCount(), 5);
        int n = countOf(directions[i].second, "20070301", "20070320");
        for (const Sample &m : moves)
            n += !directions[i].second || QString::fromUtf8(m.type) == QString::fromUtf8(directions[i].second);
        QCOMPARE(window.statList()->topLevelItem(0)->text(2), QString::number(n));
        QCOMPARE(window.statList()->topLevelItem(0)->text(4), n ? QStringLiteral("100%") : QString());
    }
    QCOMPARE(window.statList()->topLevelItem(0)->childCount(), 2); // 5 and 20 March
}

void TestQueryWindows::displayedRowsLeaveOutCollapsedChildren()
{
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    CStatList *list = window.statList();
    QCOMPARE(list->displayedRowCount(), 5 + 0);
    // Expanding with the keyboard shows a head's children, not their own.
    window.show();
    QTreeWidgetItem *expense = topItem(list, "支出费用");
    list->setCurrentItem(expense);
    QTest::keyClick(list, Qt::Key_Right);
    QVERIFY(expense->isExpanded());
    const std::vector<QStringList> rows = list->displayedRowTexts();
    QCOMPARE(int(rows.size()), 6);
    QCOMPARE(rows[2], (QStringList{"餐饮", "26", "2", "付", "100.00%"}));
    QCOMPARE(rows[1].size(), 5);
    expense->child(0)->setExpanded(true);
    QCOMPARE(list->displayedRowCount(), 8);
    QTest::keyClick(list, Qt::Key_Left);
    QCOMPARE(list->displayedRowCount(), 5);
}

void TestQueryWindows::exitEndsTheWindow()
{
    Fixture f;
    CDateQueryWindow window(f.database.connection(), f.clock());
    QTimer::singleShot(0, &window, [&window] { window.action(ID_EXIT)->trigger(); });
    QCOMPARE(window.exec(), int(QDialog::Rejected));
}

void TestQueryWindows::aRunningStatisticPaintsAndHoldsNewRequests()
{
    Fixture f;
    CDateQueryWindow window(f.database.connection(), f.clock());
    window.setPaintInterval(0);
    window.resize(800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int paints = 0;
    struct Watcher : QObject {
        int *paints;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++*paints;
            return false;
        }
    } watcher;
    watcher.paints = &paints;
    window.statList()->viewport()->installEventFilter(&watcher);
    // The month's statistic runs queued; the expense statistic, asked for
    // right after, reaches the window while the first one paints its rows
    // and must wait for it to end.
    window.onCommand(ID_DAY_THIS_MONTH);
    QMetaObject::invokeMethod(&window, [&window] { window.onCommand(ID_EXPENSE); }, Qt::QueuedConnection);
    QTRY_COMPARE(window.kind(), 3);
    QCoreApplication::processEvents();
    QVERIFY(paints > 0);
    // Only the expense statistic is in the list, once: just as a run of it
    // on its own leaves the list.
    QTreeWidgetItem *head = window.statList()->topLevelItem(0);
    QCOMPARE(head->text(2), QString::number(countOf("付", "20070301", "20070331")));
    auto allTexts = [&window] {
        QStringList texts;
        for (QTreeWidgetItemIterator it(window.statList()); *it; ++it)
            texts << (*it)->text(0) + QLatin1Char('|') + (*it)->text(1);
        return texts;
    };
    const QStringList shown = allTexts();
    window.setPaintInterval(1000000);
    window.chooseStatistic(static_cast<int>(CDateQueryWindow::Kind::Expense));
    QCOMPARE(allTexts(), shown);
}

// 停止, Escape and the close box end a running statistic at its next row:
// the rows so far stay with a note, the window takes no command meanwhile
// (a click then is lost, not run afterwards), and only closing closes it.
void TestQueryWindows::stopEndsARunAndKeepsItsRows_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("停止") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void TestQueryWindows::stopEndsARunAndKeepsItsRows()
{
    QFETCH(int, how);
    Fixture f;
    CDateQueryWindow window(f.database.connection(), f.clock());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setPaintInterval(0);
    CStatisticRun *run = window.statisticRun();
    QVERIFY(!run->progressBar()->isVisible());
    auto *income = qobject_cast<QToolButton *>(window.toolBar()->widgetForAction(window.action(ID_INCOME)));
    bool sawRun = false;
    // Reached at the first question the run asks, right after its head row.
    QTimer::singleShot(0, &window, [&] {
        sawRun = window.isRunning() && run->progressBar()->isVisible();
        QTest::mouseClick(income, Qt::LeftButton);
        if (how == 0)
            QTest::mouseClick(run->stopButton(), Qt::LeftButton);
        else if (how == 1)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
    });
    window.chooseStatistic(static_cast<int>(CDateQueryWindow::Kind::All));
    QVERIFY(sawRun);
    QCoreApplication::processEvents();
    QCOMPARE(window.kind(), static_cast<int>(CDateQueryWindow::Kind::All));
    QCOMPARE(topTexts(window.statList()), QStringList{"日期"});
    QCOMPARE(window.statList()->topLevelItem(0)->childCount(), 0);
    QVERIFY(!run->progressBar()->isVisible());
    QCOMPARE(window.isVisible(), how != 2);
    if (how == 2)
        return;
    QVERIFY(run->note()->isVisible());
    QCOMPARE(run->note()->text(), QStringLiteral("统计已停止：列表中只有停止前算出的行。"));
    QVERIFY(window.action(ID_INCOME)->isEnabled());
    // The next run goes to its end and drops the note.
    window.onCommand(ID_SUMMARY);
    QCOMPARE(window.statList()->topLevelItem(0)->childCount(), 1);
    QVERIFY(!run->note()->isVisible());
}

QTEST_MAIN(TestQueryWindows)
#include "test_query_windows.moc"

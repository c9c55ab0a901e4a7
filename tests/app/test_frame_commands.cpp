#include "app/commands.h"
#include "app/finance_links.h"
#include "app/links_dialog.h"
#include "app/main_frame.h"
#include "db/connection.h"
#include "ledger/entry_change.h"
#include "ledger/filter_bar.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_model.h"
#include "ledger/posting.h"
#include "setup/backup.h"
#include "setup/backup_dialog.h"
#include "support/modal_closer.h"
#include "support/temp_database.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <fstream>
#include <memory>
#include <set>

using testing_support::ModalCloser;
using testing_support::TempDatabase;
using testing_support::WorkingDirectory;

namespace {

// Stands in for the browser: keeps every address handed to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

struct Started {
    TempDatabase database;
    std::unique_ptr<WorkingDirectory> cd{new WorkingDirectory(database.folder())};
    db::DateTime now{2024, 5, 6, 9, 30, 0};
    std::unique_ptr<CMainFrame> frame;

    void start()
    {
        frame = std::make_unique<CMainFrame>(QStringLiteral("管理员"), [this] { return now; });
        QVERIFY(frame->create());
        frame->initialUpdate();
        QCoreApplication::processEvents();
    }
    int journalRows() const { return frame->ledgerView(0)->ledgerModel()->rowCount(); }
};

void post(db::Connection &c, const char *number)
{
    ledger::Entry e{number, "2024/05/06 08:00", "付", "午餐", "35.5", "", "管理员", "现金银行", ""};
    QVERIFY(ledger::postEntry(c, e));
}

} // namespace

class TestFrameCommands : public QObject {
    Q_OBJECT
private slots:
    void commandsOpenTheirWindows_data();
    void commandsOpenTheirWindows();
    void keysRunTheirCommands_data();
    void keysRunTheirCommands();
    void helpOpensThePageBesideTheProgram();
    void linkButtonsOpenTheirPages();
    void restoreSwitchesTheWorkingConnection();
    void filterBarStandsAboveTheListAndTheTotalInTheStatusBar();
};

void TestFrameCommands::commandsOpenTheirWindows_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("title");
    QTest::newRow("users") << cmd::ID_USERS << QStringLiteral("经手人");
    QTest::newRow("password") << cmd::ID_CHANGE_PASSWORD << QStringLiteral("修改密码");
    QTest::newRow("backup") << cmd::ID_BACKUP_RESTORE << QStringLiteral("备份与恢复");
    QTest::newRow("links menu") << cmd::ID_STOCKS_FUNDS << QStringLiteral("股票和基金");
    QTest::newRow("links toolbar") << cmd::ID_STOCKS_FUNDS_TOOLBAR << QStringLiteral("股票和基金");
    QTest::newRow("budget execution") << cmd::ID_BUDGET_EXECUTION << QStringLiteral("预算执行");
    QTest::newRow("budget plan") << cmd::ID_BUDGET_PLAN << QStringLiteral("预算设置");
    QTest::newRow("find") << cmd::ID_FIND << QStringLiteral("查找记录");
    QTest::newRow("balances") << cmd::ID_BALANCES << QStringLiteral("帐户余额");
}

void TestFrameCommands::commandsOpenTheirWindows()
{
    QFETCH(int, id);
    QFETCH(QString, title);
    Started s;
    s.start();
    QVERIFY(s.frame->action(id)->isEnabled());
    ModalCloser closer;
    s.frame->action(id)->trigger();
    QCOMPARE(closer.texts, QStringList{title});
}

// Every key the menus show works, a key shown twice goes to its first
// command, and Delete and F1 work without being shown.
void TestFrameCommands::keysRunTheirCommands_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("opened");
    QTest::newRow("Ctrl+O new entry") << (Qt::CTRL | Qt::Key_O) << QStringLiteral("日常收入或者支出");
    QTest::newRow("Ctrl+S by category") << (Qt::CTRL | Qt::Key_S) << QStringLiteral("分类查询");
    QTest::newRow("Ctrl+B by date") << (Qt::CTRL | Qt::Key_B) << QStringLiteral("日期查询");
    QTest::newRow("Ctrl+C password") << (Qt::CTRL | Qt::Key_C) << QStringLiteral("修改密码");
    QTest::newRow("Ctrl+Shift+F find") << (Qt::CTRL | Qt::SHIFT | Qt::Key_F) << QStringLiteral("查找记录");
    QTest::newRow("Delete") << QKeyCombination(Qt::Key_Delete)
                            << QString::fromStdString(ledger::deleteQuestion("1"));
    QTest::newRow("F1 help") << QKeyCombination(Qt::Key_F1) << QString();
}

void TestFrameCommands::keysRunTheirCommands()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, opened);
    Started s;
    post(s.database.connection(), "1");
    UrlCatcher browser;
    s.start();
    s.frame->show();
    s.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.frame.get()));
    CKassoltView *journal = s.frame->ledgerView(0);
    journal->setFocus();
    journal->selectRow(0);
    ModalCloser closer;
    QTest::keyClick(journal, key.key(), key.keyboardModifiers());
    if (opened.isEmpty()) {
        QCOMPARE(closer.texts, QStringList{});
        QCOMPARE(browser.urls.size(), 1);
    } else {
        QCOMPARE(closer.texts.value(0), opened);
        QCOMPARE(browser.urls.size(), 0);
    }
    QVERIFY(!s.frame->action(cmd::ID_USERS)->text().contains(QStringLiteral("Ctrl")));
}

void TestFrameCommands::helpOpensThePageBesideTheProgram()
{
    Started s;
    s.start();
    UrlCatcher browser;
    QVERIFY(s.frame->action(cmd::ID_HELP)->isEnabled());
    s.frame->action(cmd::ID_HELP)->trigger();
    QCOMPARE(browser.urls,
             QList<QUrl>{QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/Pennaro.html"))});

    // The build puts the page beside the program and it covers every topic.
    QFile page(QStringLiteral(PENNARO_HELP_BESIDE_PROGRAM));
    QVERIFY2(page.open(QIODevice::ReadOnly), PENNARO_HELP_BESIDE_PROGRAM);
    const QString text = QString::fromUtf8(page.readAll());
    for (const char *topic : {"登录", "明细帐", "收入帐", "支出帐", "银行帐", "现金帐", "投资帐", "新增", "修改",
                              "删除", "固定收支", "初始金额", "分类查询", "日期查询", "打印预览", "导出", "经手人",
                              "修改密码", "备份", "恢复", "预算设置", "预算执行",
                              "筛选", "查找记录", "帐户余额", "撤销", "重做", "自动备份"})
        QVERIFY2(text.contains(QString::fromUtf8(topic)), topic);
}

void TestFrameCommands::linkButtonsOpenTheirPages()
{
    UrlCatcher browser;
    CLinksDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("股票和基金"));
    QVERIFY(dialog.maxims()->text().contains(QStringLiteral("基金、股票")));
    const std::vector<app::FinanceLink> &links = app::financeLinks();
    QCOMPARE(links.size(), std::size_t(18));
    std::set<QString> distinct;
    for (const app::FinanceLink &link : links) {
        QPushButton *button = dialog.button(link.id);
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromUtf8(link.caption));
        browser.urls.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(browser.urls.size(), 1);
        const QUrl url = browser.urls.first();
        QCOMPARE(url, QUrl(QString::fromLatin1(link.url)));
        QCOMPARE(url.scheme(), QStringLiteral("https"));
        QVERIFY(!url.host().isEmpty());
        distinct.insert(url.toString());
        QVERIFY(dialog.isVisible());
    }
    QCOMPARE(distinct.size(), std::size_t(18));
    const std::pair<int, const char *> fixed[] = {
        {1069, "广发基金公司的谈股论金:专业的基金论坛"}, {1070, "国际股市指数行情"},
        {1071, "沪深机构资金增仓前50名:让您掌握主力动态"}, {1072, "沪深领涨热点板块:实时播报热点版块"},
        {1073, "新浪股票首页:股票及政策指引"},       {1074, "港股行情"},
        {1075, "中国证券报:中证网"},                 {1076, "中国基金网:全部开放基金数据排名"},
        {1077, "天天基金网:全部开放基金排名回报率"}, {1078, "雅虎全球股市"},
        {1079, "房产门户：搜房网"},                  {1080, "证券之星：QDII基金"},
        {1082, "中国证券网：上海证券报主办"},        {1083, "中国联合钢铁网"},
        {1084, "上海有色金属网"},                    {1098, "中国石油期货网"}};
    for (const auto &[id, caption] : fixed)
        QCOMPARE(dialog.button(id)->text(), QString::fromUtf8(caption));
    QVERIFY(dialog.button(1068) && dialog.button(1081));
}

void TestFrameCommands::restoreSwitchesTheWorkingConnection()
{
    Started s;
    s.start();
    post(*s.frame->connection(), "1");
    const std::string backup = (s.database.folder() / "b.BAT").string();
    QVERIFY(setup::backupDatabase(*s.frame->connection(), backup));
    s.frame->connection()->execute("delete from account where 财务标识=1");
    s.frame->reloadLedger();
    QCOMPARE(s.journalRows(), 0);

    CBackupDialog dialog(s.frame.get(), [&s] { return s.now; }, s.frame.get());
    const db::Connection *before = s.frame->connection();
    {
        // Something that is not a backup changes nothing.
        const std::string random = (s.database.folder() / "random.BAT").string();
        std::ofstream(random) << std::string(3000, 'r');
        ModalCloser closer;
        dialog.restoreFrom(QString::fromStdString(random));
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY(closer.texts[0].contains(QStringLiteral("没有恢复")));
        QCOMPARE(s.frame->connection(), before);
    }
    {
        ModalCloser closer;
        dialog.restoreFrom(QString::fromStdString(backup));
        QCOMPARE(closer.texts, QStringList{QString::fromUtf8(setup::kMsgRestored)});
    }
    // Shown at once, without a restart.
    QCOMPARE(s.journalRows(), 2);
    QCOMPARE(s.frame->ledgerView(0)->ledgerModel()->cell(0, 0), QStringLiteral("1"));
    // An entry made now goes into the restored file.
    post(*s.frame->connection(), "2");
    db::Connection check = db::Connection::openFile(s.database.path());
    QCOMPARE(check.scalar("select count(*) as n from account", "n"), std::string("2"));
}

// Ctrl+F shows the bar above the shown list, Escape hides it and shows every
// row again; the status bar carries the total of all accounts, kept current
// when an entry is written.
void TestFrameCommands::filterBarStandsAboveTheListAndTheTotalInTheStatusBar()
{
    Started s;
    post(s.database.connection(), "1");
    post(s.database.connection(), "2");
    s.start();
    s.frame->show();
    s.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.frame.get()));
    CKassoltView *journal = s.frame->ledgerView(0);
    CLedgerFilterBar *bar = journal->filterBar();
    QVERIFY(!bar->isVisible());
    QCOMPARE(s.frame->balancePane()->text(), QStringLiteral("帐户余额合计 ￥-71.00"));
    journal->setFocus();
    QTest::keyClick(journal, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QVERIFY(bar->textField()->hasFocus());
    const QPoint barTop = bar->mapTo(s.frame.get(), QPoint(0, 0));
    const QPoint listTop = journal->mapTo(s.frame.get(), QPoint(0, 0));
    QCOMPARE(barTop.x(), listTop.x());
    QCOMPARE(barTop.y() + bar->height(), listTop.y());
    QTest::keyClicks(bar->textField(), QStringLiteral("zz"));
    QCOMPARE(journal->ledgerModel()->rowCount(), 1); // the summary row alone
    QTest::keyClick(bar->textField(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(journal->ledgerModel()->rowCount(), 3);
    // Another tab has a bar of its own.
    s.frame->selectLedgerTab(4);
    QVERIFY(!s.frame->ledgerView(4)->filterBar()->isVisible());
    s.frame->action(cmd::ID_FILTER)->trigger();
    QVERIFY(s.frame->ledgerView(4)->filterBar()->isVisible());
    QVERIFY(!bar->isVisible());
    post(s.database.connection(), "3");
    s.frame->selectLedgerTab(0);
    QCOMPARE(s.frame->balancePane()->text(), QStringLiteral("帐户余额合计 ￥-106.50"));
}

QTEST_MAIN(TestFrameCommands)
#include "test_frame_commands.moc"

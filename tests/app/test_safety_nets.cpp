#include "app/commands.h"
#include "app/main_frame.h"
#include "db/connection.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_model.h"
#include "ledger/posting.h"
#include "support/box_answerer.h"
#include "support/modal_closer.h"
#include "support/temp_database.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using testing_support::BoxAnswerer;
using testing_support::ModalCloser;
using testing_support::TempDatabase;
using testing_support::WorkingDirectory;

namespace {

// The books in a folder of their own, and the program started on them as
// often as a test likes.
struct Books {
    TempDatabase database;
    WorkingDirectory cd{database.folder()};
    db::DateTime now{2024, 5, 6, 9, 30, 0};
    std::unique_ptr<CMainFrame> frame;

    void start()
    {
        frame = std::make_unique<CMainFrame>(QStringLiteral("管理员"), [this] { return now; });
        QVERIFY(frame->create());
        frame->postRecurringItems();
        frame->initialUpdate();
        QCoreApplication::processEvents();
    }
    void close()
    {
        frame->close();
        frame.reset();
    }
    void post(const char *number)
    {
        ledger::Entry e{number, "2024/05/06 08:00", "付", "午餐", "35.5", "", "管理员", "现金银行", ""};
        QVERIFY(ledger::postEntry(*frame->connection(), e));
    }
    std::vector<std::string> backups() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (auto it = fs::directory_iterator(database.folder() / "backups", ec); !ec && it != fs::directory_iterator();
             it.increment(ec))
            names.push_back(it->path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    int journalRows() const { return frame->ledgerView(0)->ledgerModel()->rowCount(); }
};

} // namespace

class TestSafetyNets : public QObject {
    Q_OBJECT
private slots:
    void aDeletedEntryComesBackWithCtrlZAfterARestart();
    void backsUpOnCloseAndOnceADayOnlyAfterAChange();
    void aFailedBackupIsToldOnceAtTheNextStart();
};

void TestSafetyNets::aDeletedEntryComesBackWithCtrlZAfterARestart()
{
    Books books;
    books.start();
    QVERIFY(!books.frame->action(cmd::ID_EDIT_UNDO)->isEnabled());
    books.post("1");
    books.frame->onClockTick();
    QCOMPARE(books.frame->action(cmd::ID_EDIT_UNDO)->text(), QStringLiteral("撤销 新增 #1 午餐 35.50\tCtrl+Z"));
    books.frame->applyDateChoice(QStringLiteral("今天"));
    QCOMPARE(books.journalRows(), 2);

    // The user deletes the entry and closes the program.
    books.frame->ledgerView(0)->selectRow(0);
    {
        BoxAnswerer answers({QStringLiteral("yes"), QStringLiteral("ok")});
        books.frame->action(cmd::ID_DELETE_ENTRY)->trigger();
        QCOMPARE(answers.texts.size(), 2);
    }
    QCOMPARE(books.database.count("account"), 0);
    QCOMPARE(books.frame->action(cmd::ID_EDIT_UNDO)->text(), QStringLiteral("撤销 删除 #1\tCtrl+Z"));
    books.close();
    QCOMPARE(books.backups(), std::vector<std::string>{"account-20240506-093000.mdb"});

    // Started again, Ctrl+Z brings it back, and the ledger shows it.
    books.now.hour = 11;
    books.start();
    books.frame->show();
    books.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(books.frame.get()));
    QCOMPARE(books.journalRows(), 0); // not even a summary row
    QTest::keyClick(books.frame->ledgerView(0), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(books.database.count("account"), 1);
    QCOMPARE(books.journalRows(), 2);
    QCOMPARE(books.frame->statusBar()->currentMessage(), QStringLiteral("已撤销：删除 #1"));
    QCOMPARE(books.frame->action(cmd::ID_EDIT_UNDO)->text(), QStringLiteral("撤销 新增 #1 午餐 35.50\tCtrl+Z"));
    QCOMPARE(books.frame->action(cmd::ID_EDIT_REDO)->text(), QStringLiteral("重做 删除 #1\tCtrl+Y"));
    QVERIFY(books.frame->action(cmd::ID_EDIT_REDO)->isEnabled());
    QTest::keyClick(books.frame->ledgerView(0), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(books.database.count("account"), 0);
    books.close();
    QCOMPARE(books.backups(), (std::vector<std::string>{"account-20240506-093000.mdb", "account-20240506-113000.mdb"}));
}

void TestSafetyNets::backsUpOnCloseAndOnceADayOnlyAfterAChange()
{
    Books books;
    books.start();
    books.close();
    QCOMPARE(books.backups(), std::vector<std::string>{});

    books.start();
    books.post("1");
    // While the window stays open: a day after the last copy, and only
    // when the books changed since.
    books.now = {2024, 5, 7, 9, 0, 0};
    books.frame->checkDailyBackup();
    QCOMPARE(books.backups(), std::vector<std::string>{});
    books.now = {2024, 5, 7, 9, 30, 0};
    books.frame->checkDailyBackup();
    QCOMPARE(books.backups(), std::vector<std::string>{"account-20240507-093000.mdb"});
    books.now = {2024, 5, 8, 10, 0, 0};
    books.frame->checkDailyBackup();
    QCOMPARE(books.backups().size(), std::size_t(1));
    books.post("2");
    books.frame->checkDailyBackup();
    QCOMPARE(books.backups().size(), std::size_t(2));
    books.close();
    QCOMPARE(books.backups().size(), std::size_t(2));
}

void TestSafetyNets::aFailedBackupIsToldOnceAtTheNextStart()
{
    Books books;
    std::ofstream(books.database.folder() / "backups") << "a file where the folder should be";
    books.start();
    books.post("1");
    {
        ModalCloser closer;
        books.close();
        QCOMPARE(closer.texts, QStringList());
    }
    books.start();
    QVERIFY(books.frame->noticePane()->isVisibleTo(books.frame.get()));
    QVERIFY2(books.frame->noticePane()->text().startsWith(QStringLiteral("自动备份没有完成：")),
             qPrintable(books.frame->noticePane()->text()));
    books.close();
    books.start();
    QVERIFY(!books.frame->noticePane()->isVisibleTo(books.frame.get()));
}

QTEST_MAIN(TestSafetyNets)
#include "test_safety_nets.moc"

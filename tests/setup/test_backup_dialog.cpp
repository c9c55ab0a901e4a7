#include "db/connection.h"
#include "db/history.h"
#include "setup/auto_backup.h"
#include "ledger/posting.h"
#include "setup/backup.h"
#include "setup/backup_dialog.h"
#include "support/box_answerer.h"
#include "support/fake_database_host.h"
#include "support/file_dialog_driver.h"
#include "support/temp_database.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using Host = testing_support::FakeDatabaseHost;
using testing_support::TempDatabase;
using Driver = testing_support::FileDialogDriver;

namespace {

const db::DateTime kNow{2024, 5, 6, 7, 8, 9};

// The files of a folder, leaving out what the file dialog keeps for itself.
QStringList backupFiles(const fs::path &folder)
{
    return QDir(QString::fromStdString(folder.string())).entryList(QDir::Files);
}

} // namespace

class TestBackupDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { fs::remove_all(m_home); }
    void backupAsksForAFileAndReplacesAnOldOne();
    void cancelledDialogsDoNothing();
    void restoreChecksThenReloads();
    void damagedBooksAreBackedUpOnlyWhenTheUserSaysSo();
    void automaticBackupsAreListedAndRestored();

private:
    fs::path m_home;
};

void TestBackupDialog::initTestCase()
{
    m_home = testing_support::makeTempFolder();
    qputenv("HOME", QByteArray::fromStdString(m_home.string()));
}

void TestBackupDialog::backupAsksForAFileAndReplacesAnOldOne()
{
    TempDatabase t;
    Host host(t.path());
    CBackupDialog dialog(&host, [] { return kNow; });
    QCOMPARE(dialog.windowTitle(), QStringLiteral("备份与恢复"));
    QCOMPARE(dialog.backupButton()->text(), QStringLiteral("备份"));
    QCOMPARE(dialog.restoreButton()->text(), QStringLiteral("恢复"));
    const QString target = QString::fromStdString((m_home / "old.bat").string());
    std::ofstream(target.toStdString()) << "old";
    {
        Driver driver(target);
        dialog.backupButton()->click();
        QCOMPARE(driver.title, QStringLiteral("请输入要保存的文件名"));
        QCOMPARE(driver.mode, QFileDialog::AcceptSave);
        QCOMPARE(driver.filters, QStringList{QStringLiteral("MICROSOFT BACKUP FILE (*.BAT *.bat)")});
        QCOMPARE(driver.offered, QString::fromStdString((m_home / "account-20240506.BAT").string()));
        // The overwrite question, then the message with its blanks.
        QCOMPARE(driver.boxes.size(), 2);
        QCOMPARE(driver.boxes.last(), QStringLiteral(" 已经备份好! "));
    }
    QVERIFY(setup::checkBackupFile(target.toStdString()));

    Driver failing{QString()};
    dialog.backUpTo(QStringLiteral("/proc/no/such.BAT"));
    QTRY_COMPARE(failing.boxes.size(), 1);
    QVERIFY2(failing.boxes[0].startsWith(QStringLiteral("备份失败")), qPrintable(failing.boxes[0]));
}

void TestBackupDialog::cancelledDialogsDoNothing()
{
    TempDatabase t;
    Host host(t.path());
    CBackupDialog dialog(&host, [] { return kNow; });
    const auto before = backupFiles(m_home);
    for (QPushButton *button : {dialog.backupButton(), dialog.restoreButton()}) {
        Driver driver{QString()};
        button->click();
        QVERIFY(!driver.title.isEmpty());
        QTest::qWait(30);
        QVERIFY(driver.boxes.isEmpty());
    }
    QCOMPARE(backupFiles(m_home), before);
    QCOMPARE(host.reloads, 0);
}

void TestBackupDialog::restoreChecksThenReloads()
{
    TempDatabase t;
    Host host(t.path());
    host.connection()->execute("insert into SysAllUser values ('张三','','')");
    const std::string backup = (m_home / "good.BAT").string();
    QVERIFY(setup::backupDatabase(*host.connection(), backup));
    host.connection()->execute("delete from SysAllUser where SysUserName='张三'");
    CBackupDialog dialog(&host, [] { return kNow; });
    {
        Driver driver(QString::fromStdString(backup));
        dialog.restoreButton()->click();
        QCOMPARE(driver.title, QStringLiteral("打开备份文件"));
        QCOMPARE(driver.mode, QFileDialog::AcceptOpen);
        QCOMPARE(driver.directory, QString::fromStdString(m_home.string()));
        QCOMPARE(driver.filters,
                 (QStringList{QStringLiteral("MyType Files (*.BAT *.bat)"), QStringLiteral("All Files (*)")}));
        QCOMPARE(driver.boxes,
                 QStringList{QStringLiteral(" 数据已经恢复!您需要重新启动程序才可以看到恢复的数据. ")});
    }
    QCOMPARE(host.reloads, 1);
    QCOMPARE(host.connection()->scalar("select count(*) as n from SysAllUser", "n"), std::string("2"));

    const std::string random = (m_home / "random.BAT").string();
    std::ofstream(random) << std::string(5000, 'z');
    Driver driver{QString()};
    dialog.restoreFrom(QString::fromStdString(random));
    QTRY_COMPARE(driver.boxes.size(), 1);
    QVERIFY2(driver.boxes[0].contains(QStringLiteral("没有恢复")), qPrintable(driver.boxes[0]));
    QCOMPARE(host.reloads, 1);
}

void TestBackupDialog::damagedBooksAreBackedUpOnlyWhenTheUserSaysSo()
{
    TempDatabase t;
    ledger::Entry e{"1", "2024/05/06 12:00", "付", "午餐", "5", "", "管理员", "现金银行", ""};
    QVERIFY(ledger::postEntry(t.connection(), e));
    t.connection().execute("PRAGMA writable_schema=ON");
    t.connection().execute("UPDATE sqlite_master SET sql='CREATE INDEX account_date ON account (说明)' "
                           "WHERE name='account_date'");
    Host host(t.path());
    CBackupDialog dialog(&host, [] { return kNow; });
    const std::string target = (m_home / "damaged.BAT").string();
    std::ofstream(target) << "old";
    for (const char *answer : {"no", "yes"}) {
        testing_support::BoxAnswerer boxes({QString::fromLatin1(answer)});
        dialog.backUpTo(QString::fromStdString(target));
        QTRY_COMPARE(boxes.texts.size(), 2);
        QVERIFY2(boxes.texts[0].contains(QStringLiteral("仍然写入这个备份吗")), qPrintable(boxes.texts[0]));
        QVERIFY2(boxes.texts[1].contains(QStringLiteral("帐本已经损坏")), qPrintable(boxes.texts[1]));
        QCOMPARE(std::filesystem::file_size(target) == 3, std::string(answer) == "no");
    }
}

// The automatic backups show newest first, a damaged one as such; the
// chosen one is restored after a question, and what could be undone goes.
void TestBackupDialog::automaticBackupsAreListedAndRestored()
{
    TempDatabase t;
    Host host(t.path());
    db::Connection &c = *host.connection();
    ledger::Entry e{"1", "2024/05/03 08:00", "付", "午餐", "35.5", "", "管理员", "现金银行", ""};
    QVERIFY(ledger::postEntry(c, e));
    QVERIFY(setup::makeAutomaticBackup(c, {2024, 5, 4, 20, 15, 0}));
    e.number = "2";
    e.date = "2024/05/05 08:00";
    QVERIFY(ledger::postEntry(c, e));
    QVERIFY(setup::makeAutomaticBackup(c, {2024, 5, 5, 21, 0, 0}));
    std::ofstream(t.folder() / "backups" / "account-20240506-070000.mdb") << "not a database";

    CBackupDialog dialog(&host, [] { return kNow; });
    QTreeWidget *list = dialog.automaticList();
    QCOMPARE(list->topLevelItemCount(), 3);
    auto row = [list](int i) {
        QStringList cells;
        for (int column = 0; column < 5; ++column)
            cells << list->topLevelItem(i)->text(column);
        return cells;
    };
    QCOMPARE(row(0), (QStringList{"2024/05/06", "07:00:00", "1 KB", "损坏", "读不出，不能用来恢复"}));
    QCOMPARE(row(1).mid(0, 2), (QStringList{"2024/05/05", "21:00:00"}));
    QCOMPARE(row(1).mid(3), (QStringList{"2", "2024/05/05"}));
    QCOMPARE(row(2).mid(3), (QStringList{"1", "2024/05/03"}));
    QVERIFY(!dialog.restoreAutomaticButton()->isEnabled());

    list->setCurrentItem(list->topLevelItem(2));
    QVERIFY(dialog.restoreAutomaticButton()->isEnabled());
    {
        Driver driver{QString()};
        dialog.restoreAutomaticButton()->click();
        QCOMPARE(driver.boxes.value(0),
                 QStringLiteral("用 2024/05/04 20:15:00 的自动备份替换现在的帐本吗？现在的帐本会另存一份在它旁边。"));
        QCOMPARE(driver.boxes.value(1), QString::fromUtf8(setup::kMsgRestored));
    }
    QCOMPARE(host.reloads, 1);
    QCOMPARE(host.connection()->scalar("select count(*) as n from account", "n"), std::string("1"));
    QVERIFY(db::listHistory(*host.connection()).empty());
}

QTEST_MAIN(TestBackupDialog)
#include "test_backup_dialog.moc"

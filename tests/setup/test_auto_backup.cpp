#include "db/connection.h"
#include "ledger/posting.h"
#include "setup/auto_backup.h"
#include "setup/backup.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using testing_support::TempDatabase;
using testing_support::modeOf;
using testing_support::namesIn;

namespace {

const db::DateTime kNow{2024, 5, 6, 9, 30, 0};

void post(db::Connection &c, const std::string &number)
{
    ledger::Entry e{number, "2024/05/06 12:30", "付", "午餐", "35.5", "", "管理员", "现金银行", ""};
    ASSERT_TRUE(ledger::postEntry(c, e));
}

} // namespace

TEST(AutomaticBackup, WritesACheckedCopyForItsOwnerBesideTheBooks)
{
    TempDatabase t;
    post(t.connection(), "1");
    const fs::path folder = t.folder() / "backups";
    setup::noteBackupFailure(t.connection(), "自动备份没有完成：磁盘已满");
    const setup::AutoBackupResult first = setup::makeAutomaticBackup(t.connection(), kNow);
    ASSERT_TRUE(first) << first.message;
    // A failure noted before is not reported once a copy was made.
    EXPECT_EQ(setup::takeBackupFailure(t.connection()), std::nullopt);
    EXPECT_EQ(first.path, (folder / "account-20240506-093000.mdb").string());
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(first.path), 0600u);
    EXPECT_TRUE(setup::checkBackupFile(first.path));
    EXPECT_EQ(testing_support::shellDump(first.path), testing_support::shellDump(t.path()));

    // Two in one second are told apart; files of others are left alone.
    std::ofstream(folder / "notes.txt") << "mine";
    std::ofstream(folder / "other-20240101-000000.mdb") << "other books";
    ASSERT_TRUE(setup::makeAutomaticBackup(t.connection(), kNow));
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"account-20240506-093000-1.mdb", "account-20240506-093000.mdb",
                                                          "notes.txt", "other-20240101-000000.mdb"}));
    const std::vector<setup::AutoBackupFile> listed = setup::automaticBackups(t.path());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(fs::path(listed[0].path).filename(), "account-20240506-093000-1.mdb");
    const setup::BackupSummary summary = setup::summarizeBackup(listed[0]);
    EXPECT_EQ(summary.entries, 1);
    EXPECT_EQ(summary.lastEntry, "2024/05/06");
    EXPECT_EQ(summary.size, static_cast<long long>(fs::file_size(listed[0].path)));
}

// Three copies a day for ten days, kept by the numbers of the books: the
// newest four, then the last copy of each earlier day up to six days back.
TEST(AutomaticBackup, KeepsTheNewestAndOneADayOverSimulatedDays)
{
    TempDatabase t;
    EXPECT_EQ(setup::readAutoBackupSettings(t.connection()).keepLast, 10);
    EXPECT_EQ(setup::readAutoBackupSettings(t.connection()).keepDays, 30);
    EXPECT_TRUE(setup::saveAutoBackupSettings(t.connection(), {0, 5}).refusedWith(setup::kMsgKeepNumbers));
    ASSERT_TRUE(setup::saveAutoBackupSettings(t.connection(), {4, 6}));
    for (int day = 1; day <= 10; ++day)
        for (int hour : {8, 12, 20})
            ASSERT_TRUE(setup::makeAutomaticBackup(t.connection(), db::DateTime{2024, 5, day, hour, 0, 0}));
    std::vector<std::string> kept;
    for (const setup::AutoBackupFile &file : setup::automaticBackups(t.path()))
        kept.push_back(fs::path(file.path).filename().string());
    EXPECT_EQ(kept, (std::vector<std::string>{
                        "account-20240510-200000.mdb", "account-20240510-120000.mdb", "account-20240510-080000.mdb",
                        "account-20240509-200000.mdb", "account-20240508-200000.mdb", "account-20240507-200000.mdb",
                        "account-20240506-200000.mdb", "account-20240505-200000.mdb", "account-20240504-200000.mdb"}));
}

// Damaged books give no copy: the failure is kept for the next start and
// told once. A copy damaged on disk shows as one that cannot be read.
TEST(AutomaticBackup, DamageIsFoundInTheBooksAndInACopy)
{
    TempDatabase t;
    post(t.connection(), "1");
    ASSERT_TRUE(setup::makeAutomaticBackup(t.connection(), kNow));
    {
        db::Connection other = db::Connection::openFile(t.path());
        other.execute("PRAGMA writable_schema=ON");
        other.execute("UPDATE sqlite_master SET sql='CREATE INDEX account_date ON account (说明)' WHERE "
                      "name='account_date'");
    }
    db::Connection books = db::Connection::openFile(t.path());
    const setup::AutoBackupResult failed = setup::makeAutomaticBackup(books, db::DateTime{2024, 5, 7, 9, 0, 0});
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.message.rfind("自动备份没有完成：帐本已经损坏", 0), 0u) << failed.message;
    EXPECT_EQ(namesIn(t.folder() / "backups"), std::vector<std::string>{"account-20240506-093000.mdb"});
    setup::noteBackupFailure(books, failed.message);
    EXPECT_EQ(setup::takeBackupFailure(books), failed.message);
    EXPECT_EQ(setup::takeBackupFailure(books), std::nullopt);

    const std::vector<setup::AutoBackupFile> copies = setup::automaticBackups(t.path());
    ASSERT_EQ(copies.size(), 1u);
    ASSERT_TRUE(setup::summarizeBackup(copies[0]).entries);
    {
        std::fstream file(copies[0].path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(0);
        file << "not a database any more";
    }
    const setup::BackupSummary damaged = setup::summarizeBackup(copies[0]);
    EXPECT_FALSE(damaged.entries);
    EXPECT_FALSE(damaged.problem.empty());
    EXPECT_FALSE(setup::checkBackupFile(copies[0].path));
}

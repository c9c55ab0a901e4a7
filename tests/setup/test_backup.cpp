#include "db/connection.h"
#include "ledger/posting.h"
#include "setup/backup.h"
#include "setup/backup_files.h"
#include "support/fake_database_host.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;
using Host = testing_support::FakeDatabaseHost;
using testing_support::StatementLog;
using testing_support::TempDatabase;
using testing_support::modeOf;
using testing_support::namesIn;

namespace {

const db::DateTime kNow{2024, 5, 6, 7, 8, 9};

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What the stock sqlite3 shell dumps of a file.
std::string dump(const fs::path &path) { return testing_support::shellDump(path); }

// The dump without the rows of the undo history.
std::string dumpWithoutHistory(const fs::path &path)
{
    std::istringstream in(dump(path));
    std::string kept;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("INSERT INTO Undo", 0) != 0)
            kept += line + "\n";
    return kept;
}

void post(db::Connection &c, const std::string &number, const std::string &amount)
{
    ledger::Entry e{number, "2024/05/06 12:00", "付", "午餐", amount, "", "管理员", "现金银行", ""};
    ASSERT_TRUE(ledger::postEntry(c, e));
}

int entries(const std::string &path, const std::string &number)
{
    db::Connection c = db::Connection::openFile(path);
    return std::stoi(c.scalar("select count(*) as n from account where 财务标识=" + number, "n"));
}

} // namespace

TEST(Backup, CopyEqualsTheDatabaseAndReplacesAnOlderFile)
{
    TempDatabase t;
    StatementLog log;
    post(t.connection(), "1", "35.5");
    post(t.connection(), "2", "12");
    const fs::path target = t.folder() / "old.BAT";
    writeFile(target, "an older file");
    ::chmod(target.c_str(), 0644);
    ASSERT_TRUE(setup::backupDatabase(t.connection(), target.string()));
    EXPECT_EQ(dump(target), dump(t.path()));
    EXPECT_NE(dump(target).find("INSERT INTO account VALUES(2,"), std::string::npos);
    EXPECT_EQ(modeOf(target), 0600u);
    // Only the database and the backup remain: no temporary file or journal.
    EXPECT_EQ(namesIn(t.folder()), (std::vector<std::string>{"account.mdb", "old.BAT"}));
    EXPECT_TRUE(setup::checkBackupFile(target.string()));
}

TEST(Backup, RefusedDuringATransactionOntoTheDatabaseAndIntoAnUnwritableFolder)
{
    TempDatabase t;
    const fs::path target = t.folder() / "b.BAT";
    {
        db::Transaction open(t.connection());
        post(t.connection(), "1", "5");
        const db::Result result = setup::backupDatabase(t.connection(), target.string());
        EXPECT_NE(result.message.find("正在写入"), std::string::npos) << result.message;
        EXPECT_FALSE(fs::exists(target));
    }
    EXPECT_FALSE(setup::backupDatabase(t.connection(), t.path()));
    EXPECT_FALSE(setup::backupDatabase(t.connection(), (t.folder() / "." / "account.mdb").string()));
    EXPECT_TRUE(setup::checkBackupFile(t.path()));

    std::vector<fs::path> unwritable = {"/proc/pennaro-backup.BAT", t.folder() / "missing" / "b.BAT"};
    const fs::path locked = t.folder() / "locked";
    fs::create_directory(locked);
    ::chmod(locked.c_str(), 0500);
    if (::access(locked.c_str(), W_OK) != 0) // the owner's rights do not bind root
        unwritable.push_back(locked / "b.BAT");
    for (const fs::path &path : unwritable) {
        const db::Result result = setup::backupDatabase(t.connection(), path.string());
        EXPECT_FALSE(result) << path;
        EXPECT_NE(result.message.find("备份失败"), std::string::npos) << result.message;
        EXPECT_FALSE(fs::exists(path));
    }
    ::chmod(locked.c_str(), 0700);
}

struct BadBackup {
    const char *name;
    void (*make)(TempDatabase &t, const fs::path &file);
    const char *says;
};

void PrintTo(const BadBackup &b, std::ostream *out) { *out << b.name; }

class RestoreRefusal : public ::testing::TestWithParam<BadBackup> {};

TEST_P(RestoreRefusal, LeavesTheDatabaseAndItsConnectionAlone)
{
    TempDatabase t;
    post(t.connection(), "1", "5");
    const fs::path offered = t.folder() / "offered.BAT";
    GetParam().make(t, offered);
    const std::string before = readFile(t.path());
    const std::vector<std::string> files = namesIn(t.folder());
    Host host(t.path());
    const db::Connection *working = host.connection();

    const db::Result result = setup::restoreDatabase(host, offered.string(), kNow);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find(GetParam().says), std::string::npos) << result.message;
    EXPECT_EQ(readFile(t.path()), before);
    EXPECT_EQ(namesIn(t.folder()), files);
    EXPECT_EQ(host.connection(), working);
    EXPECT_FALSE(setup::checkBackupFile(offered.string()));

    // Neither does it become a new book or open as one, for the same reason.
    const fs::path book = t.folder() / "new/account.mdb";
    const db::Result asNewBook = setup::restoreAsNewBook(offered.string(), book.string());
    EXPECT_NE(asNewBook.message.find(GetParam().says), std::string::npos) << asNewBook.message;
    EXPECT_FALSE(fs::exists(book.parent_path()));
    const db::Result opened = setup::checkBookFile(offered.string());
    EXPECT_NE(opened.message.find(GetParam().says), std::string::npos) << opened.message;
    EXPECT_EQ(opened.message.find("恢复"), std::string::npos) << opened.message;
}

TEST(Restore, BackupBecomesANewBookNeverOverAFile)
{
    TempDatabase t;
    post(t.connection(), "1", "5");
    const fs::path backup = t.folder() / "backup.BAT";
    ASSERT_TRUE(setup::backupDatabase(t.connection(), backup.string()));
    const fs::path book = t.folder() / "data/pennaro/account.mdb";
    ASSERT_TRUE(setup::restoreAsNewBook(backup.string(), book.string()));
    EXPECT_EQ(dumpWithoutHistory(book), dumpWithoutHistory(backup));
    EXPECT_EQ(dump(book).find("INSERT INTO Undo"), std::string::npos);
    EXPECT_EQ(modeOf(book), 0600u);
    EXPECT_EQ(namesIn(book.parent_path()), std::vector<std::string>{"account.mdb"});

    post(t.connection(), "2", "6");
    ASSERT_TRUE(setup::backupDatabase(t.connection(), backup.string()));
    const std::string before = readFile(book);
    EXPECT_FALSE(setup::restoreAsNewBook(backup.string(), book.string()));
    EXPECT_EQ(readFile(book), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RestoreRefusal,
    ::testing::Values(
        BadBackup{"Random", [](TempDatabase &, const fs::path &f) { writeFile(f, std::string(8192, 'x') + "@echo off"); },
                  "不是完好的帐本数据库"},
        BadBackup{"Truncated",
                  [](TempDatabase &t, const fs::path &f) {
                      db::Transaction batch(t.connection());
                      for (int i = 2; i < 300; ++i)
                          post(t.connection(), std::to_string(i), "1");
                      batch.commit();
                      const std::string whole = readFile(t.path());
                      writeFile(f, whole.substr(0, whole.size() / 2));
                  },
                  "不是完好的帐本数据库"},
        BadBackup{"DamagedIndex",
                  [](TempDatabase &t, const fs::path &f) {
                      ASSERT_TRUE(setup::backupDatabase(t.connection(), f.string()));
                      // The index now claims to hold another column than it does.
                      db::Connection other = db::Connection::openFile(f.string());
                      other.execute("PRAGMA writable_schema=ON");
                      other.execute("UPDATE sqlite_master SET sql='CREATE INDEX account_date ON account (说明)' "
                                    "WHERE name='account_date'");
                  },
                  "missing from index"},
        BadBackup{"LacksALedgerTable",
                  [](TempDatabase &t, const fs::path &f) {
                      ASSERT_TRUE(setup::backupDatabase(t.connection(), f.string()));
                      db::Connection other = db::Connection::openFile(f.string());
                      other.execute("drop table InvestMoney");
                  },
                  "缺少数据表 InvestMoney"},
        BadBackup{"LacksAColumn",
                  [](TempDatabase &t, const fs::path &f) {
                      ASSERT_TRUE(setup::backupDatabase(t.connection(), f.string()));
                      db::Connection other = db::Connection::openFile(f.string());
                      other.execute("alter table PayMoney drop column Operator");
                  },
                  "数据表 PayMoney 缺少 Operator"},
        BadBackup{"ForeignTrigger",
                  [](TempDatabase &t, const fs::path &f) {
                      ASSERT_TRUE(setup::backupDatabase(t.connection(), f.string()));
                      db::Connection other = db::Connection::openFile(f.string());
                      other.execute("CREATE TRIGGER steal AFTER INSERT ON account BEGIN DELETE FROM SysAllUser; END");
                  },
                  "不是本程序建立的触发器“steal”"},
        BadBackup{"Empty", [](TempDatabase &, const fs::path &f) { writeFile(f, ""); }, "缺少数据表"},
        BadBackup{"Missing", [](TempDatabase &, const fs::path &) {}, "找不到文件"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Restore, BringsBackTheBackupAndLaterEntriesLandInTheRestoredFile)
{
    TempDatabase t;
    Host host(t.path());
    post(*host.connection(), "1", "35.5");
    const fs::path backup = t.folder() / "b.BAT";
    ASSERT_TRUE(setup::backupDatabase(*host.connection(), backup.string()));
    host.connection()->execute("delete from account where 财务标识=1");
    post(*host.connection(), "2", "7");
    const std::string replaced = dump(t.path());

    ASSERT_TRUE(setup::restoreDatabase(host, backup.string(), kNow));
    ASSERT_NE(host.connection(), nullptr);
    // The books of the backup, without what could be undone in the books replaced.
    EXPECT_EQ(dumpWithoutHistory(t.path()), dumpWithoutHistory(backup));
    EXPECT_EQ(dump(t.path()).find("INSERT INTO Undo"), std::string::npos);
    EXPECT_EQ(host.connection()->scalar("select count(*) as n from account where 财务标识=1", "n"), "1");
    post(*host.connection(), "3", "9");
    EXPECT_EQ(entries(t.path(), "3"), 1);
    EXPECT_EQ(entries(t.path(), "2"), 0);
    EXPECT_EQ(modeOf(t.path()), 0600u);
    // The replaced database is kept beside it, under the time of the restore.
    const fs::path kept = t.path() + ".before-restore-20240506-070809";
    EXPECT_EQ(dump(kept), replaced);
    EXPECT_EQ(namesIn(t.folder()), (std::vector<std::string>{"account.mdb", "account.mdb.before-restore-20240506-070809",
                                                            "b.BAT"}));
    // A second restore in the same second keeps the first copy.
    ASSERT_TRUE(setup::restoreDatabase(host, backup.string(), kNow));
    EXPECT_EQ(dump(kept), replaced);
    EXPECT_TRUE(fs::exists(kept.string() + "-1"));
}

// Books with entry 1 in a backup and entry 2 made after it, open in a host.
class RestoreOverLaterEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        post(*host.connection(), "1", "5");
        ASSERT_TRUE(setup::backupDatabase(*host.connection(), backup.string()));
        post(*host.connection(), "2", "5");
    }

    TempDatabase t;
    Host host{t.path()};
    const fs::path backup = t.folder() / "b.BAT";
};

TEST_F(RestoreOverLaterEntry, RefusedDuringATransactionAndPutsTheOriginalBackWhenTheRestoredFileWillNotOpen)
{
    const std::string original = dump(t.path());
    {
        db::Transaction open(*host.connection());
        EXPECT_FALSE(setup::restoreDatabase(host, backup.string(), kNow));
    }
    EXPECT_EQ(dump(t.path()), original);

    host.failOpens = 1;
    const db::Result result = setup::restoreDatabase(host, backup.string(), kNow);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("已放回原来的数据库"), std::string::npos) << result.message;
    EXPECT_EQ(dump(t.path()), original);
    ASSERT_NE(host.connection(), nullptr);
    EXPECT_EQ(host.connection()->scalar("select count(*) as n from account", "n"), "2");
}

TEST_F(RestoreOverLaterEntry, AnotherConnectionToTheFileGoesOnWithTheRestoredBooks)
{
    // A second program on the same file, as the command line beside the window.
    db::Connection other = db::Connection::openFile(t.path());
    EXPECT_EQ(other.scalar("select count(*) as n from account", "n"), "2");

    ASSERT_TRUE(setup::restoreDatabase(host, backup.string(), kNow));
    EXPECT_EQ(other.scalar("select count(*) as n from account", "n"), "1");
    post(other, "3", "7");
    EXPECT_EQ(host.connection()->scalar("select count(*) as n from account", "n"), "2");
    EXPECT_EQ(entries(t.path(), "3"), 1);
}

TEST_F(RestoreOverLaterEntry, RefusedWhileAnotherProgramWritesAndTheBooksStayAsTheyWere)
{
    db::Connection other = db::Connection::openFile(t.path());
    other.execute("BEGIN IMMEDIATE");
    const db::Result result = setup::restoreDatabase(host, backup.string(), kNow);
    other.execute("ROLLBACK");
    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("另一个程序"), std::string::npos) << result.message;
    EXPECT_EQ(entries(t.path(), "2"), 1);
    // Nothing was replaced, so no copy of the replaced books is left behind.
    EXPECT_EQ(namesIn(t.folder()), (std::vector<std::string>{"account.mdb", "b.BAT"}));
    ASSERT_NE(host.connection(), nullptr);
}

TEST(Restore, ReplacesDamagedBooksAndKeepsThem)
{
    TempDatabase t;
    post(t.connection(), "1", "5");
    const fs::path backup = t.folder() / "b.BAT";
    ASSERT_TRUE(setup::backupDatabase(t.connection(), backup.string()));
    const std::string damaged(4096, 'x');
    writeFile(t.path(), damaged);
    Host host(t.path());
    ASSERT_EQ(host.connection(), nullptr);

    ASSERT_TRUE(setup::restoreDatabase(host, backup.string(), kNow));
    ASSERT_NE(host.connection(), nullptr);
    EXPECT_EQ(entries(t.path(), "1"), 1);
    EXPECT_EQ(readFile(t.path() + ".before-restore-20240506-070809"), damaged);
}

TEST(BackupAndRestore, WriteThroughASymbolicLinkIntoTheLinkedFile)
{
    TempDatabase t;
    post(t.connection(), "1", "5");
    const fs::path shelf = t.folder() / "shelf";
    fs::create_directory(shelf);
    writeFile(shelf / "nightly.BAT", "an older file");
    fs::create_symlink(shelf / "nightly.BAT", t.folder() / "nightly.BAT");
    ASSERT_TRUE(setup::backupDatabase(t.connection(), (t.folder() / "nightly.BAT").string()));
    EXPECT_TRUE(fs::is_symlink(t.folder() / "nightly.BAT"));
    EXPECT_EQ(dump(shelf / "nightly.BAT"), dump(t.path()));

    // Books reached through a link: the restore goes into the linked file.
    fs::rename(t.path(), shelf / "account.mdb");
    fs::create_symlink(shelf / "account.mdb", t.path());
    Host host(t.path());
    post(*host.connection(), "2", "5");
    ASSERT_TRUE(setup::restoreDatabase(host, (shelf / "nightly.BAT").string(), kNow));
    EXPECT_TRUE(fs::is_symlink(t.path()));
    EXPECT_EQ(entries((shelf / "account.mdb").string(), "2"), 0);
    EXPECT_TRUE(fs::exists(shelf / "account.mdb.before-restore-20240506-070809"));
}

// Damages the index of the journal as a failing disk would: the catalogue
// then claims that it holds another column than it does.
void damageIndex(const std::string &path)
{
    db::Connection other = db::Connection::openFile(path);
    other.execute("PRAGMA writable_schema=ON");
    other.execute("UPDATE sqlite_master SET sql='CREATE INDEX account_date ON account (说明)' WHERE name='account_date'");
}

TEST(Backup, DamagedBooksFailAndTheCopyIsWrittenOnlyWhenAskedFor)
{
    TempDatabase t;
    post(t.connection(), "1", "5");
    damageIndex(t.path());
    Host host(t.path());
    const fs::path target = t.folder() / "old.BAT";
    writeFile(target, "an older file");
    std::string asked;
    for (bool keep : {false, true}) {
        const setup::BackupResult result = setup::backupDatabase(*host.connection(), target.string(),
                                                                 [&](const std::string &cause) {
                                                                     asked = cause;
                                                                     return keep;
                                                                 });
        EXPECT_FALSE(result);
        EXPECT_TRUE(result.damaged);
        EXPECT_NE(asked.find("missing from index"), std::string::npos) << asked;
        EXPECT_NE(result.message.find("帐本已经损坏"), std::string::npos) << result.message;
        EXPECT_EQ(readFile(target) == "an older file", !keep);
        EXPECT_EQ(namesIn(t.folder()), (std::vector<std::string>{"account.mdb", "old.BAT"}));
    }
    EXPECT_EQ(dump(target), dump(t.path()));
}

// Starts a write on the books in a child process and kills it there: before
// the engine wrote the journal's header (a journal the engine ignores), or
// after it wrote pages of the books themselves (a hot journal, which the
// engine plays back).
void killInsideAWrite(const std::string &path, bool hot)
{
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            db::Connection c = db::Connection::openFile(path);
            c.execute(hot ? "PRAGMA cache_size=2" : "PRAGMA cache_size=1000");
            c.execute("BEGIN IMMEDIATE");
            for (int i = 0; i < (hot ? 500 : 1); ++i)
                c.execute("insert into account (财务标识,说明) values (" + std::to_string(1000 + i) + ",'" +
                          std::string(300, 'x') + "')");
            // Killed with the connection still open, in the write.
            ::raise(SIGKILL);
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
}

TEST(Restore, JournalsLeftByAKillBlockNothing)
{
    for (bool hot : {false, true}) {
        SCOPED_TRACE(hot ? "hot journal" : "journal with a zeroed header");
        TempDatabase t;
        Host host(t.path());
        post(*host.connection(), "1", "5");
        const fs::path backup = t.folder() / "b.BAT";
        ASSERT_TRUE(setup::backupDatabase(*host.connection(), backup.string()));
        post(*host.connection(), "2", "5");
        killInsideAWrite(t.path(), hot);
        const std::string journal = readFile(t.path() + "-journal");
        ASSERT_FALSE(journal.empty());
        EXPECT_EQ(journal[0] != 0, hot);
        if (hot) {
            // Books opened with a hot journal beside them are played back.
            const fs::path copy = t.folder() / "copy.mdb";
            fs::copy_file(t.path(), copy);
            fs::copy_file(t.path() + "-journal", copy.string() + "-journal");
            EXPECT_EQ(entries(copy.string(), "1000"), 0);
            EXPECT_FALSE(fs::exists(copy.string() + "-journal"));
            EXPECT_EQ(entries(copy.string(), "2"), 1);
        }

        const db::Result result = setup::restoreDatabase(host, backup.string(), kNow);
        ASSERT_TRUE(result) << result.message;
        EXPECT_EQ(entries(t.path(), "2"), 0);
        EXPECT_EQ(entries(t.path(), "1"), 1);
        const std::string kept = t.path() + ".before-restore-20240506-070809";
        EXPECT_EQ(entries(kept, "2"), 1);
        EXPECT_EQ(entries(kept, "1000"), 0);
        EXPECT_TRUE(setup::checkBackupFile(t.path()));
    }
}

TEST(Restore, FollowsALinkOnlyToBooksOrAnEmptyFile)
{
    TempDatabase t;
    post(t.connection(), "1", "5");
    const fs::path backup = t.folder() / "b.BAT";
    ASSERT_TRUE(setup::backupDatabase(t.connection(), backup.string()));
    fs::remove(t.path());
    const fs::path letter = t.folder() / "letter.txt";
    writeFile(letter, "Dear Sir");
    ::chmod(letter.c_str(), 0644);
    for (const fs::path &elsewhere : {letter, t.folder() / "nowhere", fs::path("/dev/null")}) {
        fs::create_symlink(elsewhere, t.path());
        Host host(t.path());
        const db::Result result = setup::restoreDatabase(host, backup.string(), kNow);
        EXPECT_FALSE(result) << elsewhere;
        EXPECT_NE(result.message.find("链接"), std::string::npos) << result.message;
        fs::remove(t.path());
    }
    EXPECT_EQ(readFile(letter), "Dear Sir");
    EXPECT_EQ(modeOf(letter), 0644u);
    EXPECT_FALSE(fs::exists(t.folder() / "nowhere"));

    const fs::path empty = t.folder() / "empty.mdb";
    writeFile(empty, "");
    fs::create_symlink(empty, t.path());
    Host host(t.path());
    ASSERT_TRUE(setup::restoreDatabase(host, backup.string(), kNow));
    EXPECT_EQ(entries(empty.string(), "1"), 1);
}

TEST(BackupAndRestore, RemoveTheTemporariesOfKilledRunsAndNothingElse)
{
    TempDatabase t;
    const fs::path backup = t.folder() / "b.BAT";
    const std::vector<std::string> stale = {"b.BAT.pennaro-tmp-Ab12Cd", "b.BAT.pennaro-tmp-Ab12Cd-journal",
                                            "c.BAT.pennaro-tmp-Zz99Yy-journal", "account.mdb.pennaro-tmp-Qq11Ww",
                                            "account.mdb.before-restore-20240101-000000.pennaro-tmp-Ee22Rr"};
    const std::vector<std::string> others = {"notes.tmp-Ab12Cd", "b.BAT.pennaro-tmp-toolong", "link.pennaro-tmp-Lk00Lk"};
    // A temporary file of a run that was killed, and one of a run that goes on.
    const pid_t child = ::fork();
    if (child == 0) {
        setup::TempFile killed((t.folder() / "d.BAT").string());
        ::raise(SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
    const auto live = std::make_unique<setup::TempFile>((t.folder() / "e.BAT").string());
    writeFile(live->path() + "-journal", "in use");
    for (const std::string &name : stale)
        writeFile(t.folder() / name, "left over");
    writeFile(t.folder() / others[0], "mine");
    writeFile(t.folder() / others[1], "mine");
    fs::create_symlink(t.folder() / others[0], t.folder() / others[2]);

    ASSERT_TRUE(setup::backupDatabase(t.connection(), backup.string()));
    std::vector<std::string> expected = {"account.mdb", "b.BAT", fs::path(live->path()).filename().string(),
                                         fs::path(live->path()).filename().string() + "-journal"};
    expected.insert(expected.end(), others.begin(), others.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(t.folder()), expected);

    // A restore clears the books' folder, and so does the program at start.
    writeFile(t.folder() / stale[3], "left over");
    Host host(t.path());
    ASSERT_TRUE(setup::restoreDatabase(host, backup.string(), kNow));
    EXPECT_FALSE(fs::exists(t.folder() / stale[3]));
    writeFile(t.folder() / stale[4], "left over");
    setup::removeStaleTemporaries(t.path());
    EXPECT_FALSE(fs::exists(t.folder() / stale[4]));
    EXPECT_TRUE(fs::exists(live->path()));
}

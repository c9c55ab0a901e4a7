#include "setup/backup.h"

#include "db/backup.h"
#include "db/connection.h"
#include "db/file_paths.h"
#include "db/history.h"
#include "db/init_database.h"
#include "db/schema_objects.h"
#include "setup/backup_files.h"
#include "setup/database_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace setup {

namespace {

using Access = db::Connection::Access;
using Check = db::Connection::Check;

const char *const kMsgNoDatabase = "数据库没有打开，不能备份。";
const char *const kMsgBackupBusy = "数据库正在写入，请稍后再备份。";
const char *const kMsgBackupOntoDatabase = "不能把备份写到数据库文件本身，请换一个文件名。";
const char *const kMsgBackupFailed = "备份失败：%1。原来的备份文件没有改动。";
const char *const kMsgBackupDamaged =
    "帐本已经损坏（%1），这样的备份不能用来恢复，所以没有写入，原来的备份文件没有改动。请用以前的备份恢复帐本。";
const char *const kMsgBackupDamagedKept = "帐本已经损坏（%1）。按您的要求仍然写了备份“%2”，但它不能用来恢复。";
const char *const kMsgBackupMissing = "找不到文件“%1”。";
// What a file that fails the checks is told, for a restore and for opening
// a book.
struct CheckTexts {
    const char *notADatabase;
    const char *missingTables;
    const char *missingColumns;
    const char *foreignObjects;
};
const CheckTexts kRestoreTexts = {
    "“%1”不是完好的帐本数据库（%2），没有恢复。请选择用本程序备份的文件。",
    "“%1”不是帐本数据库，缺少数据表 %2，没有恢复。请选择用本程序备份的文件。",
    "“%1”不是本程序的帐本数据库，数据表 %2 缺少 %3，没有恢复。请选择用本程序备份的文件。",
    "“%1”中有不是本程序建立的%2，没有恢复。请选择用本程序备份的文件。",
};
const CheckTexts kOpenTexts = {
    "“%1”不是完好的帐本数据库（%2），没有打开。请选择本程序的帐本文件。",
    "“%1”不是帐本数据库，缺少数据表 %2，没有打开。请选择本程序的帐本文件。",
    "“%1”不是本程序的帐本数据库，数据表 %2 缺少 %3，没有打开。请选择本程序的帐本文件。",
    "“%1”中有不是本程序建立的%2，没有打开。请选择本程序的帐本文件。",
};
const char *const kMsgNewBookExists = "“%1”已经存在，不会覆盖。请换一个位置。";
const char *const kMsgNewBookFailed = "从备份恢复失败：%1。";
const char *const kMsgRestoreBusy = "数据库正在写入，请稍后再恢复。";
const char *const kMsgUsedElsewhere = "数据库正被另一个程序使用，没有恢复，原来的数据库没有改动。请关闭它后再试。";
const char *const kMsgPendingJournal =
    "数据库还有没写完的日志文件“%1”，没有恢复，原来的数据库没有改动。请关闭其他使用帐本的程序后再试。";
const char *const kMsgLinkElsewhere = "“%1”是指向“%2”的链接，而那里不是帐本数据库，没有恢复。请检查这个链接。";
const char *const kMsgKeepCopyFailed = "不能保存当前数据库的副本（%1），没有恢复，原来的数据库没有改动。";
const char *const kMsgRestoreFailed = "恢复失败：%1。原来的数据库没有改动。";
const char *const kMsgReopenFailed = "恢复后的数据库“%1”打不开，已放回原来的数据库。";
const char *const kMsgPutBackFailed = "恢复后的数据库“%1”打不开，原来的数据库保存在“%2”。";

// The first bytes of every database file of the engine.
const char kDatabaseHeader[] = "SQLite format 3";

std::string fill(std::string pattern, std::initializer_list<std::string> values)
{
    int n = 1;
    for (const std::string &value : values) {
        const std::string mark = "%" + std::to_string(n++);
        const std::size_t at = pattern.find(mark);
        if (at != std::string::npos)
            pattern.replace(at, mark.size(), value);
    }
    return pattern;
}

// Copies every page of source's database into the file at path, which the
// engine writes and flushes like any database file. Throws db::Error.
void copyPages(db::Connection &source, const std::string &path)
{
    db::Connection target = db::Connection::openFile(path, Check::Nothing, Access::ReadWrite);
    db::Backup(target, source).step();
}

// Table and column names match without regard to ASCII case, as the engine
// matches them.
bool equalsNoCase(const std::string &a, const std::string &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The wanted names that present lacks, joined by ", "; empty when none is
// missing.
std::string absentNames(const std::vector<std::string> &wanted, const std::vector<std::string> &present)
{
    std::string absent;
    for (const std::string &name : wanted) {
        const bool found = std::any_of(present.begin(), present.end(),
                                       [&](const std::string &other) { return equalsNoCase(other, name); });
        if (!found)
            absent += (absent.empty() ? "" : ", ") + name;
    }
    return absent;
}

// The values of one column of a query's rows.
std::vector<std::string> columnOf(db::Connection &c, const std::string &sql, int column = 0)
{
    std::vector<std::string> values;
    db::Query q = c.query(sql);
    while (q.next())
        values.push_back(q.field(column));
    return values;
}

std::vector<std::string> columnsOfTable(db::Connection &c, const std::string &table)
{
    constexpr int kNameColumn = 1; // of PRAGMA table_info
    return columnOf(c, "PRAGMA table_info(\"" + table + "\")", kNameColumn);
}

// The columns that the program's own schema gives each ledger table.
const std::vector<std::vector<std::string>> &schemaColumns()
{
    static const std::vector<std::vector<std::string>> columns = [] {
        std::vector<std::vector<std::string>> byTable;
        db::Connection schema = db::Connection::createInMemory(db::kSchemaSql);
        for (const std::string &table : db::requiredTables())
            byTable.push_back(columnsOfTable(schema, table));
        return byTable;
    }();
    return columns;
}

// A backup file opened read-only, so that looking at it never changes it.
class OfferedBackup {
public:
    explicit OfferedBackup(const std::string &path, const CheckTexts &texts = kRestoreTexts)
        : m_path(path), m_texts(texts)
    {
    }

    // Refused with the message a restore shows; cause() then says what is
    // wrong in a few words.
    db::Result open()
    {
        std::error_code ec;
        if (!fs::is_regular_file(m_path, ec))
            return refused(fill(kMsgBackupMissing, {m_path}), "找不到文件");
        try {
            m_connection = db::Connection::openFile(m_path, Check::Nothing, Access::ReadOnly);
            // What the schema would run is looked at before anything reads
            // through it.
            const std::vector<db::CatalogueEntry> catalogue = m_connection.catalogue();
            if (const auto foreign = db::foreignSchemaObjects(m_connection, catalogue); !foreign.empty()) {
                const std::string objects = db::describeObjects(foreign);
                return refused(fill(m_texts.foreignObjects, {m_path, objects}), "有不是本程序建立的" + objects);
            }
            const std::vector<std::string> integrity = columnOf(m_connection, "PRAGMA integrity_check");
            if (integrity.size() != 1 || integrity.front() != "ok")
                return notADatabase(integrity.empty() ? std::string("integrity_check") : integrity.front());
            std::vector<std::string> tables;
            for (const db::CatalogueEntry &entry : catalogue)
                if (entry.type == "table")
                    tables.push_back(entry.name);
            if (const std::string missing = absentNames(db::requiredTables(), tables); !missing.empty())
                return refused(fill(m_texts.missingTables, {m_path, missing}), "缺少数据表 " + missing);
            const std::vector<std::string> &tableNames = db::requiredTables();
            for (std::size_t t = 0; t < tableNames.size(); ++t) {
                const std::vector<std::string> present = columnsOfTable(m_connection, tableNames[t]);
                if (const std::string absent = absentNames(schemaColumns()[t], present); !absent.empty())
                    return refused(fill(m_texts.missingColumns, {m_path, tableNames[t], absent}),
                                   "数据表 " + tableNames[t] + " 缺少 " + absent);
            }
        } catch (const db::Error &error) {
            return notADatabase(error.what());
        }
        return db::Result::ok();
    }

    const std::string &cause() const { return m_cause; }
    db::Connection &connection() { return m_connection; }
    void close() { m_connection = db::Connection(); }

private:
    db::Result refused(const std::string &message, const std::string &cause)
    {
        m_cause = cause;
        close();
        return db::Result::refused(message);
    }

    db::Result notADatabase(const std::string &cause) { return refused(fill(m_texts.notADatabase, {m_path, cause}), cause); }

    std::string m_path;
    const CheckTexts &m_texts;
    db::Connection m_connection;
    std::string m_cause;
};

// Keeps a copy of the database at kept: a snapshot taken through the engine,
// whole even while another program writes to the file; a file the engine
// cannot read is copied byte for byte.
Failure keepCopy(const std::string &database, const std::string &kept)
{
    try {
        db::Connection source = db::Connection::openFile(database, Check::Nothing, Access::ReadOnly);
        TempFile temp(kept);
        if (!temp.failure().empty())
            return temp.failure();
        copyPages(source, temp.path());
        return temp.moveTo(kept);
    } catch (const db::Error &error) {
        if (!error.isUnsoundFile())
            return error.what();
    }
    return copyFileDurably(database, kept);
}

// Whether the file at path begins as every database of the engine does.
bool hasDatabaseHeader(const std::string &path)
{
    char start[sizeof kDatabaseHeader] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool read = ::read(fd, start, sizeof start) == static_cast<ssize_t>(sizeof start);
    ::close(fd);
    return read && std::memcmp(start, kDatabaseHeader, sizeof start) == 0;
}

// A database name that is a link is followed only to books or to an empty
// file: anything else there (a document, a device, nothing at all) would be
// overwritten by the restore.
std::optional<std::string> linkElsewhere(const std::string &name)
{
    std::error_code ec;
    if (!fs::is_symlink(name, ec))
        return std::nullopt;
    const std::string target = db::resolvedPath(name);
    if (fs::is_regular_file(target, ec) && (fs::file_size(target, ec) == 0 || hasDatabaseHeader(target)))
        return std::nullopt;
    return fill(kMsgLinkElsewhere, {name, target});
}

// Whether a rollback journal is one the engine plays back: it is there and
// its header was written. A write killed before that leaves a journal with
// a zeroed header, which the engine ignores.
bool isHotJournal(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char first = 0;
    const bool hot = ::read(fd, &first, 1) == 1 && first != 0;
    ::close(fd);
    return hot;
}

// The journal or write-ahead log beside the books that the engine would
// apply to them, or "".
std::string pendingJournal(const std::string &database)
{
    std::error_code ec;
    if (isHotJournal(database + "-journal"))
        return database + "-journal";
    if (fs::exists(database + "-wal", ec) && fs::file_size(database + "-wal", ec) > 0)
        return database + "-wal";
    return {};
}

// A journal left by a killed write would be applied to a file put in place
// of the books. Opening the books plays it back (or merges the log), as
// any open does; what is still pending afterwards belongs to a program
// that is writing the books now.
Failure settleJournals(const std::string &database)
{
    if (pendingJournal(database).empty())
        return {};
    try {
        db::Connection books = db::Connection::openFile(database, Check::Nothing, Access::ReadWrite);
        books.scalar("select count(*) as n from sqlite_master", "n");
    } catch (const db::Error &) {
        // Books the engine cannot read are replaced whole; what is left of
        // the journal decides below.
    }
    const std::string pending = pendingJournal(database);
    return pending.empty() ? Failure() : fill(kMsgPendingJournal, {pending});
}

// Keeps the host's working connection open on leaving, whatever happened.
class ReopenOnExit {
public:
    explicit ReopenOnExit(DatabaseHost &host) : m_host(host) {}
    ~ReopenOnExit()
    {
        try {
            if (!m_host.connection())
                m_host.openConnection();
        } catch (...) {
            // A host that cannot open its connection reports it when it is used.
        }
    }

private:
    DatabaseHost &m_host;
};

bool inTransaction(db::Connection *c) { return c && c->inTransaction(); }

// Forgets the undo history of restored books, on the connection given or
// one of its own. A failure leaves them the history of their own day,
// which still matches their rows.
void clearHistoryOf(const std::string &book, db::Connection *open = nullptr)
{
    try {
        if (open) {
            db::clearHistory(*open);
            return;
        }
        db::Connection books = db::Connection::openFile(book);
        db::clearHistory(books);
    } catch (const db::Error &) {
    }
}

std::string uniquePath(const std::string &path)
{
    std::error_code ec;
    std::string candidate = path;
    for (int n = 1; fs::exists(candidate, ec); ++n)
        candidate = path + "-" + std::to_string(n);
    return candidate;
}

BackupResult backupRefused(const std::string &message, bool damaged = false)
{
    BackupResult result;
    result.done = false;
    result.message = message;
    result.damaged = damaged;
    return result;
}

// Puts the backup's pages in place of the database at path: into the file
// itself, under the engine's locks, so that another program that has it
// open (a second window, the command line) goes on with the restored books
// instead of writing into a file that is no longer there. A file that is
// no sound database, or none at all, is replaced whole.
db::Result putInPlace(OfferedBackup &backup, const std::string &database, const std::string &kept)
{
    std::error_code ec;
    if (fs::exists(database, ec)) {
        try {
            copyPages(backup.connection(), database);
            return db::Result::ok();
        } catch (const db::Error &error) {
            if (error.isBusy()) {
                fs::remove(kept, ec);
                return db::Result::refused(kMsgUsedElsewhere);
            }
            if (!error.isUnsoundFile())
                return db::Result::refused(fill(kMsgRestoreFailed, {error.what()}));
        }
    }
    TempFile temp(database);
    Failure failure = temp.failure();
    try {
        if (failure.empty())
            copyPages(backup.connection(), temp.path());
    } catch (const db::Error &error) {
        failure = error.what();
    }
    if (failure.empty())
        failure = temp.moveTo(database);
    if (!failure.empty())
        return db::Result::refused(fill(kMsgRestoreFailed, {failure}));
    return db::Result::ok();
}

} // namespace

BackupResult backupDatabase(db::Connection &working, const std::string &name, const KeepDamaged &keepDamaged)
{
    // A linked name keeps its link: the copy replaces the file it leads to.
    const std::string target = db::resolvedPath(name);
    if (!working.isOpen())
        return backupRefused(kMsgNoDatabase);
    // A copy taken halfway through an action would hold half of it.
    if (working.inTransaction())
        return backupRefused(kMsgBackupBusy);
    if (db::sameFile(target, working.path()))
        return backupRefused(kMsgBackupOntoDatabase);
    removeStaleTemporaries(target);
    removeStaleTemporaries(db::resolvedPath(working.path()));
    TempFile temp(target);
    if (!temp.failure().empty())
        return backupRefused(fill(kMsgBackupFailed, {temp.failure()}));
    try {
        copyPages(working, temp.path());
    } catch (const db::Error &error) {
        if (error.isUnsoundFile())
            return backupRefused(fill(kMsgBackupDamaged, {error.what()}), true);
        return backupRefused(fill(kMsgBackupFailed, {error.what()}));
    }
    // The copy holds the books' pages as they are: what a restore would
    // refuse in it is in the books.
    OfferedBackup copy(temp.path());
    const bool sound = static_cast<bool>(copy.open());
    copy.close();
    if (!sound && !(keepDamaged && keepDamaged(copy.cause())))
        return backupRefused(fill(kMsgBackupDamaged, {copy.cause()}), true);
    if (const Failure failure = temp.moveTo(target); !failure.empty())
        return backupRefused(fill(kMsgBackupFailed, {failure}), !sound);
    if (!sound)
        return backupRefused(fill(kMsgBackupDamagedKept, {copy.cause(), name}), true);
    return {};
}

db::Result checkBackupFile(const std::string &path)
{
    OfferedBackup backup(path);
    return backup.open();
}

db::Result checkBookFile(const std::string &path)
{
    OfferedBackup book(path, kOpenTexts);
    return book.open();
}

db::Result restoreAsNewBook(const std::string &backupPath, const std::string &book)
{
    OfferedBackup backup(backupPath);
    if (db::Result checked = backup.open(); !checked)
        return checked;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(book, ec)))
        return db::Result::refused(fill(kMsgNewBookExists, {book}));
    if (const std::string failure = db::createFoldersFor(book); !failure.empty())
        return db::Result::refused(fill(kMsgNewBookFailed, {failure}));
    try {
        db::copyDatabase(backup.connection().handle(), book);
    } catch (const db::Error &error) {
        return db::Result::refused(fill(kMsgNewBookFailed, {error.what()}));
    }
    // Restored books start without the undo history of the books they were
    // copied from, as after any restore.
    clearHistoryOf(book);
    return db::Result::ok();
}

std::string beforeRestorePath(const std::string &database, const db::DateTime &now)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    return database + ".before-restore-" + stamp;
}

db::Result restoreDatabase(DatabaseHost &host, const std::string &backupPath, const db::DateTime &now)
{
    if (const std::optional<std::string> refusal = linkElsewhere(host.databasePath()))
        return db::Result::refused(*refusal);
    const std::string database = db::resolvedPath(host.databasePath());
    OfferedBackup backup(backupPath);
    if (db::Result checked = backup.open(); !checked)
        return checked;
    if (inTransaction(host.connection()))
        return db::Result::refused(kMsgRestoreBusy);

    // The working connection goes, so that nothing is written into the file
    // being replaced; it comes back on leaving, on whichever file is in place.
    host.closeConnection();
    ReopenOnExit reopen(host);
    removeStaleTemporaries(database);
    if (const Failure pending = settleJournals(database); !pending.empty())
        return db::Result::refused(pending);
    std::string kept;
    std::error_code ec;
    if (fs::exists(database, ec)) {
        kept = uniquePath(beforeRestorePath(database, now));
        if (Failure failure = keepCopy(database, kept); !failure.empty())
            return db::Result::refused(fill(kMsgKeepCopyFailed, {failure}));
    }
    if (db::Result placed = putInPlace(backup, database, kept); !placed)
        return placed;
    backup.close();
    if (host.openConnection()) {
        // What could be undone belonged to the replaced books.
        clearHistoryOf(database, host.connection());
        return db::Result::ok();
    }

    if (kept.empty() || !copyFileDurably(kept, database).empty())
        return db::Result::refused(fill(kMsgPutBackFailed, {database, kept}));
    return db::Result::refused(fill(kMsgReopenFailed, {database}));
}

} // namespace setup

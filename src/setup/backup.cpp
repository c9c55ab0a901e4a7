#include "setup/backup.h"

#include "db/connection.h"
#include "db/file_paths.h"
#include "db/init_database.h"
#include "setup/database_host.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace setup {

namespace {

const char *const kMsgNoDatabase = "数据库没有打开，不能备份。";
const char *const kMsgBackupBusy = "数据库正在写入，请稍后再备份。";
const char *const kMsgBackupOntoDatabase = "不能把备份写到数据库文件本身，请换一个文件名。";
const char *const kMsgBackupFailed = "备份失败：%1。原来的备份文件没有改动。";
const char *const kMsgBackupMissing = "找不到文件“%1”。";
const char *const kMsgNotADatabase = "“%1”不是完好的帐本数据库（%2），没有恢复。请选择用本程序备份的文件。";
const char *const kMsgMissingTables = "“%1”不是帐本数据库，缺少数据表 %2，没有恢复。请选择用本程序备份的文件。";
const char *const kMsgMissingColumns =
    "“%1”不是本程序的帐本数据库，数据表 %2 缺少 %3，没有恢复。请选择用本程序备份的文件。";
const char *const kMsgRestoreBusy = "数据库正在写入，请稍后再恢复。";
const char *const kMsgUsedElsewhere = "数据库正被另一个程序使用，没有恢复，原来的数据库没有改动。请关闭它后再试。";
const char *const kMsgPendingJournal = "数据库还有没写完的日志文件“%1”，没有恢复。请重新启动程序后再试。";
const char *const kMsgKeepCopyFailed = "不能保存当前数据库的副本（%1），没有恢复，原来的数据库没有改动。";
const char *const kMsgRestoreFailed = "恢复失败：%1。原来的数据库没有改动。";
const char *const kMsgReopenFailed = "恢复后的数据库“%1”打不开，已放回原来的数据库。";
const char *const kMsgPutBackFailed = "恢复后的数据库“%1”打不开，原来的数据库保存在“%2”。";

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

std::string errnoText(const std::string &what)
{
    return what + "：" + db::systemErrorText(errno);
}

// A step of a copy that failed, with its cause; empty when it succeeded.
using Failure = std::string;

bool syncPath(const std::string &path, int flags)
{
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

std::string folderOf(const std::string &path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// A temporary file beside a target, created with mode 0600, removed unless
// it was renamed into place.
class TempFile {
public:
    explicit TempFile(const std::string &target) : m_path(target + ".tmp-XXXXXX")
    {
        const int fd = ::mkstemp(m_path.data());
        if (fd < 0) {
            m_failure = errnoText("不能在“" + folderOf(target) + "”中写文件");
            m_path.clear();
            return;
        }
        ::close(fd);
    }
    ~TempFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const Failure &failure() const { return m_failure; }
    const std::string &path() const { return m_path; }

    // Flushes the file, renames it over target and flushes the folder, so
    // the new name survives a crash.
    Failure moveTo(const std::string &target)
    {
        if (!syncPath(m_path, O_RDONLY))
            return errnoText("写入磁盘出错");
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            return errnoText("不能替换“" + target + "”");
        m_path.clear();
        syncPath(folderOf(target), O_RDONLY | O_DIRECTORY);
        return {};
    }

private:
    std::string m_path;
    Failure m_failure;
};

struct SqliteCloser {
    void operator()(sqlite3 *handle) const noexcept { sqlite3_close_v2(handle); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// The connection's own text when it holds the failure, else the code's.
std::string engineMessage(sqlite3 *handle, int rc)
{
    if (handle && sqlite3_errcode(handle) != SQLITE_OK)
        return sqlite3_errmsg(handle);
    return sqlite3_errstr(rc);
}

// How long a copy waits for another program's lock on a file.
constexpr int kBusyMilliseconds = 5000;

// Copies every page of the source connection's database into the file at
// path, which the engine writes and flushes like any database file: in one
// transaction of the file, so that other connections to it read the new
// pages at their next statement, and a crash half-way leaves the old ones.
Failure copyPages(sqlite3 *source, const std::string &path, int *code = nullptr)
{
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    SqliteHandle target(raw);
    if (code)
        *code = rc;
    if (rc != SQLITE_OK)
        return engineMessage(raw, rc);
    sqlite3_busy_timeout(raw, kBusyMilliseconds);
    sqlite3_backup *backup = sqlite3_backup_init(raw, "main", source, "main");
    if (!backup) {
        if (code)
            *code = sqlite3_errcode(raw);
        return engineMessage(raw, sqlite3_errcode(raw));
    }
    rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (code)
        *code = rc != SQLITE_DONE ? rc : finished;
    if (rc != SQLITE_DONE)
        return engineMessage(rc == SQLITE_BUSY || rc == SQLITE_NOTADB ? raw : source, rc);
    if (finished != SQLITE_OK)
        return engineMessage(raw, finished);
    return {};
}

// A file the engine cannot take as a database at all.
bool notSound(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_CANTOPEN;
}

Failure copyFileDurably(const std::string &source, const std::string &target)
{
    const int in = ::open(source.c_str(), O_RDONLY);
    if (in < 0)
        return errnoText("不能读“" + source + "”");
    TempFile temp(target);
    if (!temp.failure().empty()) {
        ::close(in);
        return temp.failure();
    }
    const int out = ::open(temp.path().c_str(), O_WRONLY | O_TRUNC);
    Failure failure = out < 0 ? errnoText("不能写“" + temp.path() + "”") : Failure();
    std::vector<char> buffer(1 << 16);
    while (failure.empty()) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failure = errnoText("不能读“" + source + "”");
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got && failure.empty();) {
            const ssize_t put = ::write(out, buffer.data() + done, got - done);
            if (put < 0 && errno != EINTR)
                failure = errnoText("不能写“" + temp.path() + "”");
            else if (put > 0)
                done += put;
        }
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0 && failure.empty())
        failure = errnoText("不能写“" + temp.path() + "”");
    return failure.empty() ? temp.moveTo(target) : failure;
}

bool equalsNoCase(const std::string &a, const std::string &b) { return sqlite3_stricmp(a.c_str(), b.c_str()) == 0; }

// The wanted names that present lacks (names match without regard to case),
// joined by ", "; empty when none is missing.
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

// The values of the first column of a query's rows, or of column
// valueColumn; failure receives the engine's text when the query fails.
std::vector<std::string> columnOf(sqlite3 *handle, const std::string &sql, Failure &failure, int valueColumn = 0)
{
    std::vector<std::string> values;
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const unsigned char *text = sqlite3_column_text(statement, valueColumn);
            values.emplace_back(text ? reinterpret_cast<const char *>(text) : "");
        }
    }
    if (rc != SQLITE_DONE)
        failure = engineMessage(handle, rc);
    sqlite3_finalize(statement);
    return values;
}

std::vector<std::string> columnsOfTable(sqlite3 *handle, const std::string &table, Failure &failure)
{
    constexpr int kNameColumn = 1; // of PRAGMA table_info
    return columnOf(handle, "PRAGMA table_info(\"" + table + "\")", failure, kNameColumn);
}

// The columns that the program's own schema gives each ledger table.
const std::vector<std::vector<std::string>> &schemaColumns()
{
    static const std::vector<std::vector<std::string>> columns = [] {
        std::vector<std::vector<std::string>> byTable;
        sqlite3 *raw = nullptr;
        sqlite3_open(":memory:", &raw);
        SqliteHandle schema(raw);
        sqlite3_exec(raw, db::kSchemaSql, nullptr, nullptr, nullptr);
        Failure ignored;
        for (const std::string &table : db::requiredTables())
            byTable.push_back(columnsOfTable(raw, table, ignored));
        return byTable;
    }();
    return columns;
}

// A backup file opened read-only, so that looking at it never changes it.
class OfferedBackup {
public:
    explicit OfferedBackup(const std::string &path) : m_path(path) {}

    db::Result open()
    {
        std::error_code ec;
        if (!fs::is_regular_file(m_path, ec))
            return db::Result::refused(fill(kMsgBackupMissing, {m_path}));
        sqlite3 *raw = nullptr;
        const int rc = sqlite3_open_v2(m_path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
        m_handle.reset(raw);
        if (rc != SQLITE_OK)
            return notADatabase(engineMessage(raw, rc));
        const std::vector<std::string> integrity = column("PRAGMA integrity_check");
        if (!m_failure.empty())
            return notADatabase(m_failure);
        if (integrity.size() != 1 || integrity.front() != "ok")
            return notADatabase(integrity.empty() ? std::string("integrity_check") : integrity.front());
        const std::vector<std::string> tables = column("select name from sqlite_master where type='table'");
        if (!m_failure.empty())
            return notADatabase(m_failure);
        if (const std::string missing = absentNames(db::requiredTables(), tables); !missing.empty())
            return db::Result::refused(fill(kMsgMissingTables, {m_path, missing}));
        const std::vector<std::string> &tableNames = db::requiredTables();
        for (std::size_t t = 0; t < tableNames.size(); ++t) {
            const std::vector<std::string> present = columnsOfTable(m_handle.get(), tableNames[t], m_failure);
            if (!m_failure.empty())
                return notADatabase(m_failure);
            if (const std::string absent = absentNames(schemaColumns()[t], present); !absent.empty())
                return db::Result::refused(fill(kMsgMissingColumns, {m_path, tableNames[t], absent}));
        }
        return db::Result::ok();
    }

    sqlite3 *handle() const { return m_handle.get(); }

private:
    db::Result notADatabase(const std::string &cause) const
    {
        return db::Result::refused(fill(kMsgNotADatabase, {m_path, cause}));
    }

    std::vector<std::string> column(const char *sql) { return columnOf(m_handle.get(), sql, m_failure); }

    std::string m_path;
    SqliteHandle m_handle;
    std::string m_failure;
};

// Keeps a copy of the database at kept: a snapshot taken through the engine,
// whole even while another program writes to the file; a file the engine
// cannot read is copied byte for byte.
Failure keepCopy(const std::string &database, const std::string &kept)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(database.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    SqliteHandle source(raw);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(raw, kBusyMilliseconds);
        TempFile temp(kept);
        if (!temp.failure().empty())
            return temp.failure();
        int code = SQLITE_OK;
        const Failure failure = copyPages(raw, temp.path(), &code);
        if (failure.empty())
            return temp.moveTo(kept);
        if (!notSound(code))
            return failure;
    }
    return copyFileDurably(database, kept);
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

bool inTransaction(db::Connection *c) { return c && c->isOpen() && sqlite3_get_autocommit(c->handle()) == 0; }

std::string uniquePath(const std::string &path)
{
    std::error_code ec;
    std::string candidate = path;
    for (int n = 1; fs::exists(candidate, ec); ++n)
        candidate = path + "-" + std::to_string(n);
    return candidate;
}

} // namespace

db::Result backupDatabase(db::Connection &working, const std::string &name)
{
    // A linked name keeps its link: the copy replaces the file it leads to.
    const std::string target = db::resolvedPath(name);
    if (!working.isOpen())
        return db::Result::refused(kMsgNoDatabase);
    // A copy taken halfway through an action would hold half of it.
    if (inTransaction(&working))
        return db::Result::refused(kMsgBackupBusy);
    if (db::sameFile(target, working.path()))
        return db::Result::refused(kMsgBackupOntoDatabase);
    TempFile temp(target);
    if (!temp.failure().empty())
        return db::Result::refused(fill(kMsgBackupFailed, {temp.failure()}));
    Failure failure = copyPages(working.handle(), temp.path());
    if (failure.empty())
        failure = temp.moveTo(target);
    if (!failure.empty())
        return db::Result::refused(fill(kMsgBackupFailed, {failure}));
    return db::Result::ok();
}

db::Result checkBackupFile(const std::string &path)
{
    OfferedBackup backup(path);
    return backup.open();
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
    std::error_code ec;
    for (const char *suffix : {"-journal", "-wal"}) {
        // A leftover journal would be applied to the restored file.
        if (fs::exists(database + suffix, ec))
            return db::Result::refused(fill(kMsgPendingJournal, {database + suffix}));
    }
    std::string kept;
    if (fs::exists(database, ec)) {
        kept = uniquePath(beforeRestorePath(database, now));
        if (Failure failure = keepCopy(database, kept); !failure.empty())
            return db::Result::refused(fill(kMsgKeepCopyFailed, {failure}));
    }
    // The backup's pages go into the database file itself, under the
    // engine's locks, so that another program that has the file open (a
    // second window, the command line) goes on with the restored books
    // instead of writing into a file that is no longer there.
    int code = SQLITE_OK;
    const Failure inPlace = copyPages(backup.handle(), database, &code);
    if (!inPlace.empty() && (code & 0xff) == SQLITE_BUSY) {
        std::error_code ignored;
        fs::remove(kept, ignored);
        return db::Result::refused(kMsgUsedElsewhere);
    }
    if (!inPlace.empty() && !notSound(code))
        return db::Result::refused(fill(kMsgRestoreFailed, {inPlace}));
    if (!inPlace.empty()) {
        // A file that is no sound database is replaced whole.
        TempFile temp(database);
        Failure failure = temp.failure();
        if (failure.empty())
            failure = copyPages(backup.handle(), temp.path());
        if (failure.empty())
            failure = temp.moveTo(database);
        if (!failure.empty())
            return db::Result::refused(fill(kMsgRestoreFailed, {failure}));
    }
    if (host.openConnection())
        return db::Result::ok();

    if (kept.empty() || !copyFileDurably(kept, database).empty())
        return db::Result::refused(fill(kMsgPutBackFailed, {database, kept}));
    return db::Result::refused(fill(kMsgReopenFailed, {database}));
}

} // namespace setup

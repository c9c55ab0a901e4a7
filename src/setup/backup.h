#pragma once

#include "db/dates.h"
#include "db/result.h"

#include <functional>
#include <string>

namespace db {
class Connection;
}

namespace setup {

class DatabaseHost;

inline constexpr const char *kMsgBackedUp = " 已经备份好! ";
inline constexpr const char *kMsgRestored = " 数据已经恢复!您需要重新启动程序才可以看到恢复的数据. ";

// The outcome of a backup. damaged: the books themselves failed the check
// that a restore makes of a backup (damaged pages, a missing table, a
// trigger the program did not make), so the copy could never be restored;
// it is written only when the caller agreed, and the outcome stays a
// failure either way.
struct BackupResult : db::Result {
    bool damaged = false;
};

// Asked, with the cause, when the copy of damaged books is ready; true
// writes it anyway.
using KeepDamaged = std::function<bool(const std::string &cause)>;

// Writes a copy of the working connection's database to target: into a
// temporary file beside it (mode 0600), checked as a restore would check
// it, flushed to disk, then renamed over target. Refused while a
// transaction is open, onto the database itself, and whenever a step fails
// (the message names the step and the cause). Removes the temporary files
// that killed runs left beside target and beside the database first.
BackupResult backupDatabase(db::Connection &working, const std::string &target, const KeepDamaged &keepDamaged = {});

// Whether a file can serve as a backup: it opens as a database, holds
// nothing in its schema that the program did not create, passes the
// integrity check and holds every ledger table with its columns.
db::Result checkBackupFile(const std::string &path);

// Whether a file can be opened as a book: the checks of a backup, with
// messages that say it was not opened.
db::Result checkBookFile(const std::string &path);

// Makes a backup the new book at path book, for a first run: the backup is
// checked as a restore checks it, missing folders are made, and the copy
// appears whole, readable by its owner only, never over an existing file.
db::Result restoreAsNewBook(const std::string &backup, const std::string &book);

// The name under which the replaced database is kept: database +
// ".before-restore-YYYYMMDD-HHMMSS".
std::string beforeRestorePath(const std::string &database, const db::DateTime &now);

// Puts a backup in place of the host's database: checks the backup, keeps
// the current database under beforeRestorePath, closes the working
// connection, copies the backup's pages into the database (a database file
// the engine cannot take is replaced whole by a flushed copy renamed into
// place), and opens the working connection again. A journal that a killed
// write left is rolled back first; one the engine ignores blocks nothing.
// A database name that is a link to anything but a database or an empty
// file is refused. Any failure leaves the original database in place, with
// the working connection open on it.
db::Result restoreDatabase(DatabaseHost &host, const std::string &backup, const db::DateTime &now);

} // namespace setup

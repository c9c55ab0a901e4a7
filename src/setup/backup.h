#pragma once

#include "db/dates.h"
#include "db/result.h"

#include <string>

namespace db {
class Connection;
}

namespace setup {

class DatabaseHost;

inline constexpr const char *kMsgBackedUp = " 已经备份好! ";
inline constexpr const char *kMsgRestored = " 数据已经恢复!您需要重新启动程序才可以看到恢复的数据. ";

// Writes a copy of the working connection's database to target: into a
// temporary file beside it (mode 0600), flushed to disk, then renamed over
// target. Refused while a transaction is open, onto the database itself, and
// whenever a step fails (the message names the step and the cause).
db::Result backupDatabase(db::Connection &working, const std::string &target);

// Whether a file can serve as a backup: it opens as a database, passes the
// integrity check and holds every ledger table.
db::Result checkBackupFile(const std::string &path);

// The name under which the replaced database is kept: database +
// ".before-restore-YYYYMMDD-HHMMSS".
std::string beforeRestorePath(const std::string &database, const db::DateTime &now);

// Puts a backup in place of the host's database: checks the backup, keeps
// the current database under beforeRestorePath, closes the working
// connection, copies the backup beside the database, flushes and renames it
// into place, and opens the working connection again. Any failure leaves the
// original database in place, with the working connection open on it.
db::Result restoreDatabase(DatabaseHost &host, const std::string &backup, const db::DateTime &now);

} // namespace setup

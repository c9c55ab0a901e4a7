#pragma once

#include "db/dates.h"
#include "db/result.h"

#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace setup {

// The folder beside the books that holds their automatic backups.
inline constexpr const char *kBackupFolderName = "backups";

inline constexpr const char *kMsgAutoBackupFailed = "自动备份没有完成：%1";
inline constexpr const char *kMsgKeepNumbers = "保留的份数至少是 1，天数不能是负数。";

// How many automatic backups are kept: the newest keepLast, and beyond
// them the newest of each day up to keepDays days back.
struct AutoBackupSettings {
    int keepLast = 10;
    int keepDays = 30;
};
AutoBackupSettings readAutoBackupSettings(db::Connection &c);
db::Result saveAutoBackupSettings(db::Connection &c, const AutoBackupSettings &settings);

// An automatic backup on disk: "<books>-YYYYMMDD-HHMMSS.mdb" in the folder.
struct AutoBackupFile {
    std::string path;
    db::DateTime taken;
};

// The folder of the automatic backups of the books at bookPath.
std::string backupFolderOf(const std::string &bookPath);
// The file name an automatic backup taken at `taken` gets.
std::string autoBackupName(const std::string &bookPath, const db::DateTime &taken);
// The automatic backups of the books, newest first; other files of the
// folder are not theirs and are left out.
std::vector<AutoBackupFile> automaticBackups(const std::string &bookPath);

// Of backups (newest first), those the keeping rule lets go at `now`: all
// but the newest keepLast, and of each earlier day the newest one while
// the day is at most keepDays days back and has no copy kept yet.
std::vector<std::string> backupsToRemove(const std::vector<AutoBackupFile> &newestFirst,
                                         const AutoBackupSettings &settings, const db::DateTime &now);

struct AutoBackupResult : db::Result {
    std::string path; // the copy written
};

// Writes a copy of the working books into their backups folder (made with
// mode 0700; the copy has mode 0600), named for `now`, checked as any
// backup is (damaged books give no copy); then lets go of the copies the
// keeping rule no longer keeps. Refused with kMsgAutoBackupFailed.
AutoBackupResult makeAutomaticBackup(db::Connection &working, const db::DateTime &now);

// A failed automatic backup is told at the next start of the program: kept
// in the books until taken.
void noteBackupFailure(db::Connection &c, const std::string &message);
std::optional<std::string> takeBackupFailure(db::Connection &c);

// What the restore dialog shows of an automatic backup.
struct BackupSummary {
    AutoBackupFile file;
    long long size = 0;
    std::optional<long long> entries; // none when the copy cannot be read
    std::string lastEntry;            // the date of the newest entry, "YYYY/MM/DD"
    std::string problem;              // why the copy cannot be read
};
BackupSummary summarizeBackup(const AutoBackupFile &file);

} // namespace setup

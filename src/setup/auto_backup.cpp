#include "setup/auto_backup.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/file_paths.h"
#include "db/text.h"
#include "setup/backup.h"
#include "setup/backup_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace setup {

namespace {

const char *const kSuffix = ".mdb";
// Settings outside these bounds are taken for the defaults.
constexpr int kMostKept = 100000;

std::string withCause(const std::string &cause)
{
    std::string text = kMsgAutoBackupFailed;
    text.replace(text.find("%1"), 2, db::trim(cause));
    return text;
}

AutoBackupResult failed(const std::string &cause)
{
    AutoBackupResult result;
    result.done = false;
    result.message = withCause(cause);
    return result;
}

std::string stemOf(const std::string &bookPath) { return fs::path(bookPath).stem().string(); }

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits)
{
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// The time in an automatic backup's name and the count that tells apart
// copies of one second, or nothing for a name that is not one.
std::optional<std::pair<db::DateTime, int>> parseName(const std::string &stem, std::string_view name)
{
    const std::string head = stem + "-";
    if (name.substr(0, head.size()) != head || name.size() < head.size() + 15 + 4 ||
        name.substr(name.size() - 4) != kSuffix)
        return std::nullopt;
    name = name.substr(head.size(), name.size() - head.size() - 4);
    const std::string_view day = name.substr(0, 8);
    const std::string_view time = name.substr(9, 6);
    if (!allDigits(day) || name[8] != '-' || !allDigits(time))
        return std::nullopt;
    int count = 0;
    if (name.size() > 15) {
        const std::string_view rest = name.substr(15);
        if (rest.size() < 2 || rest.size() > 6 || rest[0] != '-' || !allDigits(rest.substr(1)))
            return std::nullopt;
        count = number(rest.substr(1));
    }
    const db::DateTime taken{number(day.substr(0, 4)), number(day.substr(4, 2)), number(day.substr(6, 2)),
                             number(time.substr(0, 2)), number(time.substr(2, 2)), number(time.substr(4, 2))};
    if (taken.month < 1 || taken.month > 12 || taken.day < 1 || taken.day > db::daysInMonth(taken.year, taken.month) ||
        taken.hour > 23 || taken.minute > 59 || taken.second > 59)
        return std::nullopt;
    return std::pair{taken, count};
}

// The backups folder, made for its owner alone.
Failure makeFolder(const std::string &folder)
{
    if (::mkdir(folder.c_str(), 0700) == 0) {
        db::syncFolder(folderOf(folder));
        return {};
    }
    if (errno != EEXIST)
        return errnoText("不能建立文件夹“" + folder + "”");
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return "“" + folder + "”不是文件夹";
    // Copies of the books are for their owner only; a folder of someone
    // else keeps its mode.
    ::chmod(folder.c_str(), 0700);
    return {};
}

bool validCount(const std::string &text, int least)
{
    return !text.empty() && text.size() < 7 && allDigits(text) && number(text) >= least && number(text) <= kMostKept;
}

// The settings row, there once the tables are.
void ensureSettingsRow(db::Connection &c)
{
    db::ensureFeatureTables(c);
    c.execute("INSERT INTO AutoBackup (KeepLast,KeepDays) SELECT 10,30 WHERE NOT EXISTS (SELECT 1 FROM AutoBackup)");
}

} // namespace

AutoBackupSettings readAutoBackupSettings(db::Connection &c)
{
    db::ensureFeatureTables(c);
    AutoBackupSettings settings;
    db::Query q = c.query("SELECT KeepLast,KeepDays FROM AutoBackup LIMIT 1");
    if (q.next()) {
        if (const std::string last = q.field("KeepLast"); validCount(last, 1))
            settings.keepLast = number(last);
        if (const std::string days = q.field("KeepDays"); validCount(days, 0))
            settings.keepDays = number(days);
    }
    return settings;
}

db::Result saveAutoBackupSettings(db::Connection &c, const AutoBackupSettings &settings)
{
    if (settings.keepLast < 1 || settings.keepDays < 0 || settings.keepLast > kMostKept || settings.keepDays > kMostKept)
        return db::Result::refused(kMsgKeepNumbers);
    db::Transaction transaction(c);
    ensureSettingsRow(c);
    c.execute("UPDATE AutoBackup SET KeepLast=" + std::to_string(settings.keepLast) +
              ",KeepDays=" + std::to_string(settings.keepDays));
    transaction.commit();
    return db::Result::ok();
}

std::string backupFolderOf(const std::string &bookPath) { return (fs::path(folderOf(bookPath)) / kBackupFolderName).string(); }

std::string autoBackupName(const std::string &bookPath, const db::DateTime &taken)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-%04d%02d%02d-%02d%02d%02d", taken.year, taken.month, taken.day, taken.hour,
                  taken.minute, taken.second);
    return stemOf(bookPath) + stamp + kSuffix;
}

std::vector<AutoBackupFile> automaticBackups(const std::string &bookPath)
{
    const std::string stem = stemOf(bookPath);
    std::vector<std::pair<std::pair<db::DateTime, int>, AutoBackupFile>> found;
    std::error_code ec;
    for (auto it = fs::directory_iterator(backupFolderOf(bookPath), ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        if (const auto parsed = parseName(stem, it->path().filename().string()))
            found.push_back({*parsed, {it->path().string(), parsed->first}});
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<AutoBackupFile> files;
    for (auto &entry : found)
        files.push_back(std::move(entry.second));
    return files;
}

std::vector<std::string> backupsToRemove(const std::vector<AutoBackupFile> &newestFirst,
                                         const AutoBackupSettings &settings, const db::DateTime &now)
{
    std::vector<std::string> removed;
    std::set<long long> daysKept;
    const auto today = now.days();
    for (std::size_t i = 0; i < newestFirst.size(); ++i) {
        const auto day = newestFirst[i].taken.days();
        const bool kept = i < static_cast<std::size_t>(settings.keepLast) ||
                          ((today - day).count() <= settings.keepDays && !daysKept.count(day.time_since_epoch().count()));
        if (kept)
            daysKept.insert(day.time_since_epoch().count());
        else
            removed.push_back(newestFirst[i].path);
    }
    return removed;
}

namespace {

// The copy itself; a failure of the books throws db::Error.
AutoBackupResult backUp(db::Connection &working, const db::DateTime &now)
{
    const std::string book = working.path();
    const std::string folder = backupFolderOf(book);
    if (const Failure failure = makeFolder(folder); !failure.empty())
        return failed(failure);
    const AutoBackupSettings settings = readAutoBackupSettings(working);
    // Two copies in one second are told apart by a count.
    std::string target = (fs::path(folder) / autoBackupName(book, now)).string();
    std::error_code ec;
    for (int n = 1; fs::exists(fs::symlink_status(target, ec)); ++n) {
        std::string name = autoBackupName(book, now);
        name.insert(name.size() - 4, "-" + std::to_string(n));
        target = (fs::path(folder) / name).string();
    }
    const BackupResult copy = backupDatabase(working, target);
    if (!copy)
        return failed(copy.message);
    for (const std::string &old : backupsToRemove(automaticBackups(book), settings, now))
        fs::remove(old, ec);
    AutoBackupResult result;
    result.path = target;
    return result;
}

} // namespace

AutoBackupResult makeAutomaticBackup(db::Connection &working, const db::DateTime &now)
{
    if (!working.isOpen())
        return failed("数据库没有打开");
    try {
        // A failure noted earlier is no longer true once a copy is made, so
        // the next start must not report it; it is taken out before the copy
        // (which then holds the books as they are) and noted again when this
        // copy fails too.
        const std::optional<std::string> earlier = takeBackupFailure(working);
        AutoBackupResult result = backUp(working, now);
        if (!result && earlier)
            noteBackupFailure(working, *earlier);
        return result;
    } catch (const db::Error &error) {
        return failed(error.what());
    }
}

void noteBackupFailure(db::Connection &c, const std::string &message)
{
    db::Transaction transaction(c);
    ensureSettingsRow(c);
    c.execute("UPDATE AutoBackup SET Failure='" + db::quote(message) + "'");
    transaction.commit();
}

std::optional<std::string> takeBackupFailure(db::Connection &c)
{
    db::ensureFeatureTables(c);
    const std::string failure = c.scalar("SELECT Failure FROM AutoBackup WHERE Failure IS NOT NULL", "Failure");
    if (failure.empty())
        return std::nullopt;
    db::Transaction transaction(c);
    c.execute("UPDATE AutoBackup SET Failure=NULL");
    transaction.commit();
    return failure;
}

BackupSummary summarizeBackup(const AutoBackupFile &file)
{
    BackupSummary summary{file, 0, std::nullopt, {}, {}};
    std::error_code ec;
    summary.size = static_cast<long long>(fs::file_size(file.path, ec));
    try {
        db::Connection copy = db::Connection::openFile(file.path, db::Connection::Check::Book, db::Connection::Access::ReadOnly);
        summary.entries = std::stoll(copy.scalar("select count(*) as n from account", "n"));
        summary.lastEntry = copy.scalar("select max(日期) as d from account", "d").substr(0, 10);
    } catch (const db::Error &error) {
        summary.entries.reset();
        summary.problem = error.what();
    }
    return summary;
}

} // namespace setup

#include "app/books.h"

#include "db/file_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace app {

namespace {

const char *const kBookFile = "account.mdb";

bool exists(const std::string &path)
{
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec);
}

std::string homeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

// An XDG base folder: the variable when it holds an absolute path (the
// standard says to ignore a relative one), else the default under home.
fs::path baseFolder(const char *variable, const char *underHome)
{
    if (const char *value = std::getenv(variable); value && value[0] == '/')
        return value;
    return fs::path(homeFolder()) / underHome;
}

} // namespace

BookChoice chooseBook(const BookPlaces &places)
{
    const fs::path folder(places.workingFolder);
    if (!places.argument.empty()) {
        const std::string named = (folder / places.argument).lexically_normal().string();
        if (exists(named))
            return {BookSource::Argument, named, {}};
        return {BookSource::None, {}, named};
    }
    if (const std::string here = (folder / kBookFile).string(); exists(here))
        return {BookSource::WorkingFolder, here, {}};
    if (exists(places.lastBook))
        return {BookSource::LastBook, places.lastBook, {}};
    if (exists(places.userBook))
        return {BookSource::UserBook, places.userBook, {}};
    return {BookSource::None, {}, places.userBook};
}

std::string userBookPath() { return (baseFolder("XDG_DATA_HOME", ".local/share") / "pennaro" / kBookFile).string(); }

std::string userSettingsPath()
{
    return (baseFolder("XDG_CONFIG_HOME", ".config") / "pennaro" / "pennaro.conf").string();
}

std::string freeBookPath(const std::string &wanted)
{
    const fs::path path(wanted);
    std::string candidate = wanted;
    for (int n = 2; exists(candidate); ++n)
        candidate = (path.parent_path() / (path.stem().string() + "-" + std::to_string(n) + path.extension().string()))
                        .string();
    return candidate;
}

std::vector<std::string> withRecentBook(const std::vector<std::string> &recent, const std::string &path)
{
    std::vector<std::string> books{path};
    for (const std::string &book : recent)
        if (books.size() < kRecentBookCount && !book.empty() && !db::sameFile(book, path) &&
            std::none_of(books.begin(), books.end(), [&](const std::string &b) { return b == book; }))
            books.push_back(book);
    return books;
}

} // namespace app

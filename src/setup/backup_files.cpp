#include "setup/backup_files.h"

#include "db/file_paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <vector>

namespace fs = std::filesystem;

namespace setup {

namespace {

const char *const kTempMark = ".pennaro-tmp-";
const char *const kJournal = "-journal";
// How often a temporary name is drawn again when a cleaner took the last one.
constexpr int kTempAttempts = 8;

bool sameInode(int fd, const std::string &path)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// Removes a temporary file when no process holds its lock, with the journal
// the engine may have left beside it.
void removeIfStale(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        sameInode(fd, path)) {
        ::unlink(path.c_str());
        ::unlink((path + kJournal).c_str());
    }
    ::close(fd);
}

} // namespace

Failure errnoText(const std::string &what) { return what + "：" + db::systemErrorText(errno); }

std::string folderOf(const std::string &path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

TempFile::TempFile(const std::string &target)
{
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        std::string name = target + kTempMark + "XXXXXX";
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            m_failure = errnoText("不能在“" + folderOf(target) + "”中写文件");
            return;
        }
        // Locked at once; a cleaner that came first has removed the name,
        // and another is drawn.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameInode(fd, name)) {
            m_path = name;
            m_fd = fd;
            return;
        }
        ::close(fd);
    }
    errno = EBUSY;
    m_failure = errnoText("不能在“" + folderOf(target) + "”中写文件");
}

TempFile::~TempFile()
{
    if (!m_path.empty())
        ::unlink(m_path.c_str());
    if (m_fd >= 0)
        ::close(m_fd);
}

Failure TempFile::moveTo(const std::string &target)
{
    if (::fsync(m_fd) != 0)
        return errnoText("写入磁盘出错");
    if (::rename(m_path.c_str(), target.c_str()) != 0)
        return errnoText("不能替换“" + target + "”");
    m_path.clear();
    db::syncFolder(folderOf(target));
    return {};
}

Failure copyFileDurably(const std::string &source, const std::string &target)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errnoText("不能读“" + source + "”");
    TempFile temp(target);
    if (!temp.failure().empty()) {
        ::close(in);
        return temp.failure();
    }
    Failure failure;
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
            const ssize_t put = ::write(temp.descriptor(), buffer.data() + done, got - done);
            if (put < 0 && errno != EINTR)
                failure = errnoText("不能写“" + temp.path() + "”");
            else if (put > 0)
                done += put;
        }
    }
    ::close(in);
    return failure.empty() ? temp.moveTo(target) : failure;
}

void removeStaleTemporaries(const std::string &file)
{
    static const std::regex temporary(R"(.+\.pennaro-tmp-[A-Za-z0-9]{6}(-journal)?)");
    std::error_code ec;
    std::vector<std::string> temporaries;
    for (auto it = fs::directory_iterator(folderOf(file), ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (std::regex_match(name, temporary))
            temporaries.push_back(it->path().string());
    }
    for (const std::string &path : temporaries) {
        const std::size_t journalAt = path.size() - std::char_traits<char>::length(kJournal);
        if (path.compare(journalAt, std::string::npos, kJournal) != 0) {
            removeIfStale(path);
            continue;
        }
        // A journal is written only while its temporary file exists; once
        // that is gone, nothing uses the journal.
        struct stat info {};
        const std::string owner = path.substr(0, journalAt);
        if (::lstat(owner.c_str(), &info) != 0 && errno == ENOENT)
            ::unlink(path.c_str());
    }
}

} // namespace setup

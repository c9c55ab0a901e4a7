#include "db/file_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace db {

std::string resolvedPath(const std::string &path)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    if (ec)
        return path;
    const fs::path resolved = fs::weakly_canonical(absolute, ec);
    return ec ? absolute.string() : resolved.string();
}

bool sameFile(const std::string &a, const std::string &b)
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    return resolvedPath(a) == resolvedPath(b);
}

void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string createFoldersFor(const std::string &file)
{
    const fs::path folder = fs::absolute(fs::path(file)).parent_path();
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return {};
    // Each missing folder from the top down, so that every one gets the mode.
    fs::path built;
    for (const fs::path &part : folder) {
        built /= part;
        if (fs::is_directory(built, ec))
            continue;
        if (::mkdir(built.c_str(), 0700) != 0 && errno != EEXIST)
            return built.string() + ": " + systemErrorText(errno);
    }
    return {};
}

std::string systemErrorText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "没有权限";
    case ENOENT:
        return "文件或文件夹不存在";
    case ENOSPC:
        return "磁盘空间不足";
    case EDQUOT:
        return "超出磁盘配额";
    case EROFS:
        return "只读的文件系统";
    case ENOTDIR:
        return "路径中有一项不是文件夹";
    case EISDIR:
        return "这是一个文件夹";
    case ENAMETOOLONG:
        return "文件名太长";
    case EEXIST:
        return "文件已经存在";
    case EIO:
        return "磁盘读写出错";
    case EMFILE:
    case ENFILE:
        return "打开的文件太多";
    case EBUSY:
    case ETXTBSY:
        return "文件正在使用";
    default:
        return std::strerror(error);
    }
}

} // namespace db

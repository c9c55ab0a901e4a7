#include "db/file_paths.h"

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

} // namespace db

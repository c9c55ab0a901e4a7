#include "app/data_files.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace app {

std::string helpPagePath(const std::string &programFolder)
{
    const fs::path folder(programFolder);
    const fs::path beside = folder / kHelpFile;
    const fs::path installed = (folder / ".." / "share" / "pennaro" / kHelpFile).lexically_normal();
    std::error_code ec;
    if (!fs::is_regular_file(beside, ec) && fs::is_regular_file(installed, ec))
        return installed.string();
    return beside.string();
}

} // namespace app

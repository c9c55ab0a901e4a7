#pragma once

#include "db/connection.h"
#include "db/init_database.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

// A fresh database in a temporary folder, removed at the end.
struct Scratch {
    std::filesystem::path folder;
    db::Connection connection;

    Scratch() : folder(makeFolder()), connection(db::createDatabase((folder / "account.mdb").string())) {}
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    static std::filesystem::path makeFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pennaro-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }
};

template <typename F> double seconds(F &&body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace bench

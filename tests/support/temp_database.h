#pragma once

#include "db/connection.h"

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A fresh ledger database in a temporary folder, made like pennaro-initdb
// makes one; the folder is removed afterwards.
class TempDatabase {
public:
    explicit TempDatabase(const std::string &adminPassword = "");
    ~TempDatabase();
    TempDatabase(const TempDatabase &) = delete;
    TempDatabase &operator=(const TempDatabase &) = delete;

    db::Connection &connection() { return m_connection; }
    const std::filesystem::path &folder() const { return m_folder; }
    std::string path() const { return (m_folder / "account.mdb").string(); }

    // Values of one column of a query, row by row.
    std::vector<std::string> column(const std::string &sql, const std::string &name = "");
    std::string value(const std::string &sql);
    int count(const std::string &table);

private:
    std::filesystem::path m_folder;
    db::Connection m_connection;
};

// Captures the statements sent while it lives (through PENNARO_SQL_LOG).
class StatementLog {
public:
    StatementLog();
    ~StatementLog();
    // The statements logged so far, transaction control and the undo
    // history's bookkeeping left out.
    std::vector<std::string> statements() const;
    void clear();

private:
    std::filesystem::path m_file;
};

// Runs a body with the working directory changed, restoring it afterwards.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path &folder);
    ~WorkingDirectory();

private:
    std::filesystem::path m_previous;
};

std::filesystem::path makeTempFolder();

// The permission bits of a file (0600).
unsigned modeOf(const std::filesystem::path &path);
// The names of the entries of a folder, sorted.
std::vector<std::string> namesIn(const std::filesystem::path &folder);

// What the stock sqlite3 shell dumps of a file; options go before the
// command (".dump --preserve-rowids").
std::string shellDump(const std::filesystem::path &path, const std::string &command = ".dump");

} // namespace testing_support

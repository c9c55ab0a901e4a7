#pragma once

#include <functional>
#include <string>

struct sqlite3;

namespace db {

class Connection;

extern const char *const kSchemaSql;

struct InitOptions {
    std::string adminPassword; // password of the user "管理员"
};

// What else goes into a new database before it appears (the demo entries).
using InitFill = std::function<void(Connection &)>;

// Creates a new ledger database at path with the schema and the default rows
// (administrator, cash node, category trees), then whatever fill adds. The
// database is built in memory and appears at path in one step when complete,
// so an interrupted run leaves no file or a whole one. Refuses to overwrite
// an existing file. The file is readable by its owner only. Throws Error.
Connection createDatabase(const std::string &path, const InitOptions &options = {}, const InitFill &fill = {});

// Writes a copy of the database open on source at path the way
// createDatabase writes a new one: whole or not at all, readable by its
// owner only, never over an existing file. Throws Error.
void copyDatabase(sqlite3 *source, const std::string &path);

// Removes the partly written file of a creation in progress, where one is
// named on disk at all; safe to call from a signal handler.
void removePartialDatabase() noexcept;

} // namespace db

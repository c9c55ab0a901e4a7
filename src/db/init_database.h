#pragma once

#include <string>

namespace db {

class Connection;

extern const char *const kSchemaSql;

struct InitOptions {
    std::string adminPassword; // password of the user "管理员"
};

// Creates a new ledger database at path with the schema and the default rows
// (administrator, cash node, category trees). Refuses to overwrite an existing
// file. The file is made readable by its owner only. Throws Error.
Connection createDatabase(const std::string &path, const InitOptions &options = {});

} // namespace db

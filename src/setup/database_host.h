#pragma once

#include <string>

namespace db {
class Connection;
}

namespace setup {

// What the backup dialog needs of the window that owns the working
// connection: the connection, its file, and closing and reopening it around
// a restore. The main window implements it.
class DatabaseHost {
public:
    virtual ~DatabaseHost() = default;

    // The working connection; null when it could not be opened.
    virtual db::Connection *connection() const = 0;
    // The file the working connection opens.
    virtual std::string databasePath() const = 0;
    virtual void closeConnection() = 0;
    // Opens the working connection again; false when that failed. Never throws.
    virtual bool openConnection() = 0;
    // Loads the shown ledger again from the working connection.
    virtual void reloadLedger() = 0;
};

} // namespace setup

#pragma once

#include "db/connection.h"
#include "setup/database_host.h"

#include <memory>
#include <string>

namespace testing_support {

// Stands in for the main window, which owns the working connection: it
// opens the file by path, counts reloads, and can be told to fail opening.
class FakeDatabaseHost : public setup::DatabaseHost {
public:
    explicit FakeDatabaseHost(std::string path) : m_path(std::move(path)) { openConnection(); }
    db::Connection *connection() const override { return m_connection.get(); }
    std::string databasePath() const override { return m_path; }
    void closeConnection() override { m_connection.reset(); }
    bool openConnection() override
    {
        if (failOpens > 0) {
            --failOpens;
            return false;
        }
        try {
            m_connection = std::make_unique<db::Connection>(db::Connection::openFile(m_path));
        } catch (const db::Error &) {
            m_connection.reset();
        }
        return m_connection != nullptr;
    }
    void reloadLedger() override { ++reloads; }

    int failOpens = 0;
    int reloads = 0;

private:
    std::string m_path;
    std::unique_ptr<db::Connection> m_connection;
};

} // namespace testing_support

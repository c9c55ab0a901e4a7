#include "db/connection.h"

#include "db/dialect.h"
#include "db/sql_log.h"
#include "db/text.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

namespace db {

namespace {

std::string valueText(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return numberToText(sqlite3_column_double(statement, column));
    default: {
        const unsigned char *text = sqlite3_column_text(statement, column);
        return text ? std::string(reinterpret_cast<const char *>(text), sqlite3_column_bytes(statement, column))
                    : std::string();
    }
    }
}

bool equalsNoCase(const std::string &a, const std::string &b)
{
    return sqlite3_stricmp(a.c_str(), b.c_str()) == 0;
}

std::string unknownError(int rc)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Unknown error 0x%0lX", static_cast<unsigned long>(rc));
    return buffer;
}

} // namespace

const std::vector<std::string> &requiredTables()
{
    static const std::vector<std::string> tables = {"account",  "GetMoney", "PayMoney", "CashAccount", "BankAccount",
                                                    "InvestMoney", "PayStyle", "GetStyle", "Bank", "SysAllUser"};
    return tables;
}

std::string dataSourceOf(const std::string &connectionString)
{
    std::size_t start = 0;
    while (start <= connectionString.size()) {
        std::size_t end = connectionString.find(';', start);
        if (end == std::string::npos)
            end = connectionString.size();
        const std::string part = connectionString.substr(start, end - start);
        const std::size_t equals = part.find('=');
        if (equals != std::string::npos && equalsNoCase(trim(part.substr(0, equals)), "Data Source"))
            return trim(part.substr(equals + 1));
        start = end + 1;
    }
    return {};
}

// ---- Query ----

void Query::Finalizer::operator()(sqlite3_stmt *s) const noexcept { sqlite3_finalize(s); }

Query::Query(sqlite3_stmt *statement, Connection *owner) : m_statement(statement), m_owner(owner)
{
    const int count = sqlite3_column_count(statement);
    m_names.reserve(count);
    for (int i = 0; i < count; ++i) {
        const char *name = sqlite3_column_name(statement, i);
        m_names.emplace_back(name ? name : "");
    }
}

Query::Query(Query &&) noexcept = default;
Query &Query::operator=(Query &&) noexcept = default;
Query::~Query() = default;

bool Query::next()
{
    if (m_done || !m_statement)
        return false;
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW)
        return true;
    m_done = true;
    if (rc != SQLITE_DONE)
        m_owner->check(rc);
    return false;
}

int Query::indexOf(const std::string &name) const
{
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (equalsNoCase(m_names[i], name))
            return static_cast<int>(i);
    throw Error("Item cannot be found in the collection corresponding to the requested name: " + name);
}

std::string Query::field(const std::string &name) const { return valueText(m_statement.get(), indexOf(name)); }

bool Query::isNull(const std::string &name) const
{
    return sqlite3_column_type(m_statement.get(), indexOf(name)) == SQLITE_NULL;
}

int Query::columnCount() const { return static_cast<int>(m_names.size()); }

std::string Query::field(int column) const { return valueText(m_statement.get(), column); }

// ---- Connection ----

void Connection::Closer::operator()(sqlite3 *db) const noexcept { sqlite3_close_v2(db); }

Connection::Connection(const std::string &connectionString)
{
    const std::string source = dataSourceOf(connectionString);
    if (source.empty())
        throw Error("the connection string names no data source");
    openPath(source);
}

Connection::~Connection() = default;

Connection Connection::openFile(const std::string &path)
{
    Connection connection;
    connection.openPath(path);
    return connection;
}

void Connection::openPath(const std::string &path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error("database file not found: " + path);
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, Closer> guard(raw);
    if (rc != SQLITE_OK)
        throw Error(raw ? sqlite3_errmsg(raw) : unknownError(rc));
    sqlite3_extended_result_codes(raw, 0);
    sqlite3_busy_timeout(raw, 2000);
    registerDialect(raw);
    m_db = std::move(guard);
    m_path = path;

    std::string missing;
    for (const std::string &table : requiredTables()) {
        Query q = query("select count(*) as n from sqlite_master where type='table' and name='" + quote(table) +
                        "' collate nocase");
        if (q.next() && q.field("n") == "0")
            missing += (missing.empty() ? "" : ", ") + table;
    }
    if (!missing.empty()) {
        m_db.reset();
        throw Error("not a ledger database (" + path + "), missing tables: " + missing);
    }
}

void Connection::check(int rc) const
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    const char *message = m_db ? sqlite3_errmsg(m_db.get()) : nullptr;
    throw Error(message && *message ? message : unknownError(rc));
}

void Connection::requireOpen() const
{
    if (!m_db)
        throw Error("the database connection is not open");
}

void Connection::execute(const std::string &sql)
{
    requireOpen();
    logStatement(sql);
    const char *tail = sql.c_str();
    const char *end = tail + sql.size();
    while (tail < end) {
        sqlite3_stmt *raw = nullptr;
        check(sqlite3_prepare_v2(m_db.get(), tail, static_cast<int>(end - tail), &raw, &tail));
        if (!raw)
            break; // only blanks or comments left
        std::unique_ptr<sqlite3_stmt, Query::Finalizer> statement(raw);
        int rc;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        }
        check(rc);
    }
}

Query Connection::query(const std::string &sql)
{
    requireOpen();
    logStatement(sql);
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    check(sqlite3_prepare_v2(m_db.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, &tail));
    if (!raw)
        throw Error("empty query");
    return Query(raw, this);
}

std::string Connection::scalar(const std::string &sql, const std::string &column)
{
    Query q = query(sql);
    std::string value;
    while (q.next())
        value = q.field(column);
    return value;
}

// ---- Transaction ----

// Inside an enclosing transaction a nested one becomes a savepoint, so that a
// batch (a year of demo entries, a run of recurring postings) can hold many
// single actions and still roll each of them back on its own.
Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.requireOpen();
    m_nested = sqlite3_get_autocommit(m_connection.handle()) == 0;
    m_connection.execute(m_nested ? "SAVEPOINT pennaro_action" : "BEGIN");
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        if (m_nested)
            m_connection.execute("ROLLBACK TO pennaro_action; RELEASE pennaro_action");
        else
            m_connection.execute("ROLLBACK");
    } catch (...) {
        // A failed rollback leaves the engine to roll back on close.
    }
}

void Transaction::commit()
{
    m_connection.execute(m_nested ? "RELEASE pennaro_action" : "COMMIT");
    m_open = false;
}

} // namespace db

#pragma once

#include "db/value.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// The one connection string every owner opens. Only the data source is used;
// the password part is accepted for compatibility and ignored.
inline constexpr const char *kConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=account.mdb;Jet OLEDB:DataBase Password=QM417kas ";

// Shown whenever a connection cannot be opened.
inline constexpr const char *kConnectFailedMessage =
    "数据库连接失败，确认数据库Demo.mdb是否在当前路径下!";

// A database failure, carrying the engine's own message and result code.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string &message, int code = 0) : std::runtime_error(message), m_code(code) {}
    // The engine's extended result code, 0 when the failure is the program's.
    int code() const { return m_code; }
    // A row was refused by a unique key.
    bool isUniqueViolation() const;
    // Another connection held a lock for longer than the wait.
    bool isBusy() const;
    // The file is not a sound database: not one at all, damaged, or not to
    // be opened as one.
    bool isUnsoundFile() const;

private:
    int m_code;
};

// Books refused at open because their schema holds a trigger, a view or an
// index that computes values of its own which the program did not create.
class UntrustedBookError : public Error {
public:
    using Error::Error;
};

// What to show when the books cannot be opened: the refusal itself for books
// refused for what their schema holds, else kConnectFailedMessage.
std::string connectFailedText(const Error &error);

// The value of "Data Source=" in a connection string, "" when absent.
std::string dataSourceOf(const std::string &connectionString);

// The book file that every connection string opens in place of its data
// source: chosen at start-up (a file named on the command line, the book
// opened last, ...) and again when the user opens another book. Empty, the
// data source itself is opened, resolved in the working directory.
void setBookFile(const std::string &path);
// The file a connection string opens: the chosen book, else its data source.
std::string bookFileOf(const std::string &connectionString);

class Connection;
class Recorder;
class ExactSum;

// The storage class of a field.
enum class ValueType { Null, Integer, Real, Text, Blob };

// A row of a database's catalogue (sqlite_master).
struct CatalogueEntry {
    std::string type; // "table", "index", "view" or "trigger"
    std::string name;
    std::string table;
    std::string sql; // "" for an index the engine made for a key
};

// A forward-only result set. Fields are read by column name or alias; a null
// field reads as "" and other values in their text form (see valueToText).
class Query {
public:
    Query(Query &&) noexcept;
    Query &operator=(Query &&) noexcept;
    ~Query();

    // Moves to the next row; false at the end of the result.
    bool next();
    std::string field(const std::string &name) const;
    bool isNull(const std::string &name) const;
    int columnCount() const;
    const std::string &columnName(int column) const { return m_names[column]; }
    std::string field(int column) const;
    // The text of field(column) without a string of its own, for filling
    // large tables: the engine's text itself (valid until the next row) or
    // a number written into buffer.
    struct NumberBuffer {
        char text[40];
    };
    std::string_view fieldView(int column, NumberBuffer &buffer) const;
    // The value of a column with its type, exactly as stored.
    Value value(int column) const;

    // Typed reading, for code that adds up many rows itself.
    ValueType type(int column) const;
    long long integer(int column) const;
    double real(int column) const;
    // The bytes of a text or blob field, valid until the next row.
    std::string_view bytes(int column) const;
    // Adds the field to a sum the way sum() takes it.
    void addTo(ExactSum &sum, int column) const;

private:
    friend class Connection;
    Query(sqlite3_stmt *statement, Connection *owner);
    int indexOf(const std::string &name) const;

    struct Finalizer { void operator()(sqlite3_stmt *s) const noexcept; };
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
    Connection *m_owner = nullptr;
    std::vector<std::string> m_names;
    bool m_done = false;
};

class Connection {
public:
    Connection() = default;
    // Opens the book file of the connection string (bookFileOf). Never
    // creates a file: a missing file or one without the ledger tables throws
    // Error.
    explicit Connection(const std::string &connectionString);
    Connection(Connection &&) noexcept = default;
    Connection &operator=(Connection &&) noexcept = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection();

    // What an open checks before it hands the connection out.
    enum class Check {
        // Every ledger table, and no schema object the program did not create
        // (UntrustedBookError): what the program works on.
        Book,
        // Every ledger table; foreign schema objects are left to the caller
        // to report.
        LedgerTables,
        // Nothing: any database file, to look at or to copy pages into.
        Nothing,
    };
    enum class Access { ReadWrite, ReadOnly };

    // Every connection to a file runs with trusted_schema off, so that no
    // function of the program runs from a trigger, view or index of the file.
    static Connection openFile(const std::string &path, Check check = Check::Book,
                               Access access = Access::ReadWrite);
    // A database in memory made from a schema script, with the dialect.
    static Connection createInMemory(const std::string &schema);

    bool isOpen() const { return m_db != nullptr; }
    // Whether a transaction is open on this connection.
    bool inTransaction() const;
    const std::string &path() const { return m_path; }
    // A number that changes whenever the books change: at once for a write
    // of this connection, at its next statement for another program's.
    // Sends no statement.
    unsigned dataVersion() const;
    // How many rows this connection has inserted, changed or deleted since
    // it opened. Sends no statement.
    long long totalChanges() const;
    // The rowid of the last row this connection inserted.
    long long lastInsertRowId() const;

    // Runs exactly one statement that returns no rows; a text holding more
    // than one statement is refused before anything runs. Returns the number
    // of rows it inserted, changed or deleted.
    int execute(const std::string &sql);
    // Runs several statements in turn (the schema, a savepoint's rollback).
    void executeScript(const std::string &sql);
    // Runs exactly one query; read it with Query::next().
    Query query(const std::string &sql);
    // The text of the single value of the last row of a query ("" without rows).
    std::string scalar(const std::string &sql, const std::string &column);

    // Every row of the catalogue, in one statement. The schema is trusted
    // for that one read: books whose schema calls the program's functions
    // must be readable to be told apart, and reading the catalogue runs
    // none of it; every later statement is held to the untrusted rules.
    std::vector<CatalogueEntry> catalogue();

    sqlite3 *handle() const { return m_db.get(); }

private:
    friend class Query;
    friend class Transaction;
    friend class Backup;
    void check(int rc) const;
    void requireOpen() const;
    void openPath(const std::string &path, Check check, Access access);
    void requireLedgerTables(const std::vector<CatalogueEntry> &catalogue);
    sqlite3_stmt *prepareOne(const std::string &sql);

    struct Closer { void operator()(sqlite3 *db) const noexcept; };
    std::unique_ptr<sqlite3, Closer> m_db;
    std::string m_path;
};

// Rolls back in its destructor unless committed. One per user action. A
// write transaction starts with BEGIN IMMEDIATE, so a second writer waits
// under the busy timeout instead of failing halfway through the action.
// Inside another transaction it is a savepoint of that one.
class Transaction {
public:
    // Work that is no action of the user (making books, adding the tables
    // of a feature, demonstration data): not recorded for undo.
    explicit Transaction(Connection &connection);
    // A user's action, recorded under label ("新增 #12 午餐 35.50") in the
    // undo history of the books when it commits, with every row it
    // inserted, changed or deleted. Inside another transaction it is part of
    // that one's action, if that one is recorded.
    Transaction(Connection &connection, std::string label);
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    ~Transaction();
    // Names the action once its outcome is known (how many were posted).
    void setLabel(std::string label);
    void commit();

private:
    Connection &m_connection;
    bool m_nested = false;
    bool m_open = true;
    std::unique_ptr<Recorder> m_recorder;
};

// The names of the tables a ledger database must hold.
const std::vector<std::string> &requiredTables();

} // namespace db

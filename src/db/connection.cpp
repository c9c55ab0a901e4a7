#include "db/connection.h"

#include "db/dialect.h"
#include "db/exact_sum.h"
#include "db/history_recorder.h"
#include "db/schema_objects.h"
#include "db/sql_log.h"
#include "db/text.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
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

// Trusts the schema while it lives, and no longer afterwards.
class TrustedSchema {
public:
    explicit TrustedSchema(sqlite3 *db) : m_db(db) { setTrusted(true); }
    ~TrustedSchema() { setTrusted(false); }
    TrustedSchema(const TrustedSchema &) = delete;
    TrustedSchema &operator=(const TrustedSchema &) = delete;

private:
    void setTrusted(bool on) const
    {
        sqlite3_exec(m_db, on ? "PRAGMA trusted_schema=ON" : "PRAGMA trusted_schema=OFF", nullptr, nullptr, nullptr);
    }
    sqlite3 *m_db;
};

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

namespace {
std::string g_bookFile;
}

void setBookFile(const std::string &path) { g_bookFile = path; }

std::string bookFileOf(const std::string &connectionString)
{
    return g_bookFile.empty() ? dataSourceOf(connectionString) : g_bookFile;
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
    throw Error("结果中没有这一列: " + name);
}

std::string Query::field(const std::string &name) const { return valueText(m_statement.get(), indexOf(name)); }

bool Query::isNull(const std::string &name) const
{
    return sqlite3_column_type(m_statement.get(), indexOf(name)) == SQLITE_NULL;
}

int Query::columnCount() const { return static_cast<int>(m_names.size()); }

std::string Query::field(int column) const { return valueText(m_statement.get(), column); }

namespace {
// numberToText written without printf, for filling large tables. Amounts are
// mostly whole numbers of cents: for such a value (below 10^12) the digits of
// its cents are the 15-significant-digit rounding that "%.15g" prints, in
// fixed notation. Anything else goes through to_chars, which prints exactly
// what printf does for the same format and precision.
std::string_view numberView(double value, Query::NumberBuffer &buffer)
{
    char *const first = buffer.text;
    char *const last = buffer.text + sizeof buffer.text;
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return {first, std::to_chars(first, last, static_cast<long long>(value)).ptr};
    if (std::fabs(value) < 1e12) {
        const long long cents = std::llround(value * 100);
        // Division is rounded exactly: equal means value is the double
        // nearest to the decimal cents/100.
        if (static_cast<double>(cents) / 100.0 == value) {
            const long long whole = cents < 0 ? -cents : cents;
            char *p = first;
            if (cents < 0)
                *p++ = '-';
            p = std::to_chars(p, last, whole / 100).ptr;
            *p++ = '.';
            *p++ = static_cast<char>('0' + whole % 100 / 10);
            if (whole % 10 != 0)
                *p++ = static_cast<char>('0' + whole % 10);
            return {first, p};
        }
    }
    return {first, std::to_chars(first, last, value, std::chars_format::general, 15).ptr};
}
} // namespace

std::string_view Query::fieldView(int column, NumberBuffer &buffer) const
{
    sqlite3_stmt *statement = m_statement.get();
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        char *const first = buffer.text;
        return {first, std::to_chars(first, first + sizeof buffer.text, sqlite3_column_int64(statement, column)).ptr};
    }
    case SQLITE_FLOAT:
        return numberView(sqlite3_column_double(statement, column), buffer);
    default: {
        const unsigned char *text = sqlite3_column_text(statement, column);
        if (!text)
            return {};
        return {reinterpret_cast<const char *>(text), static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
    }
    }
}

Value Query::value(int column) const
{
    sqlite3_stmt *statement = m_statement.get();
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return Value::ofInteger(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return Value::ofReal(sqlite3_column_double(statement, column));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        return Value::ofText(std::string(text ? text : "", sqlite3_column_bytes(statement, column)));
    }
    case SQLITE_BLOB: {
        const auto *blob = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return Value::ofBlob(std::string(blob ? blob : "", sqlite3_column_bytes(statement, column)));
    }
    default:
        return Value::null();
    }
}

ValueType Query::type(int column) const
{
    switch (sqlite3_column_type(m_statement.get(), column)) {
    case SQLITE_NULL:
        return ValueType::Null;
    case SQLITE_INTEGER:
        return ValueType::Integer;
    case SQLITE_FLOAT:
        return ValueType::Real;
    case SQLITE_BLOB:
        return ValueType::Blob;
    default:
        return ValueType::Text;
    }
}

long long Query::integer(int column) const { return sqlite3_column_int64(m_statement.get(), column); }

double Query::real(int column) const { return sqlite3_column_double(m_statement.get(), column); }

std::string_view Query::bytes(int column) const
{
    sqlite3_stmt *statement = m_statement.get();
    const void *data = sqlite3_column_type(statement, column) == SQLITE_BLOB ? sqlite3_column_blob(statement, column)
                                                                              : sqlite3_column_text(statement, column);
    if (!data)
        return {};
    return {static_cast<const char *>(data), static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

void Query::addTo(ExactSum &sum, int column) const
{
    sqlite3_stmt *statement = m_statement.get();
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return;
    case SQLITE_INTEGER:
        sum.addInteger(sqlite3_column_int64(statement, column));
        return;
    case SQLITE_FLOAT:
        sum.addReal(sqlite3_column_double(statement, column));
        return;
    default: {
        // A text counts as the number it reads as; the engine decides that
        // on a copy of its own value.
        sqlite3_value *copy = sqlite3_value_dup(sqlite3_column_value(statement, column));
        if (!copy)
            throw Error("内存不足");
        sum.addValue(copy);
        sqlite3_value_free(copy);
    }
    }
}

// ---- Connection ----

void Connection::Closer::operator()(sqlite3 *db) const noexcept { sqlite3_close_v2(db); }

Connection::Connection(const std::string &connectionString)
{
    const std::string file = bookFileOf(connectionString);
    if (file.empty())
        throw Error("连接字符串中没有数据源");
    openPath(file, Check::Book, Access::ReadWrite);
}

Connection::~Connection() = default;

Connection Connection::openFile(const std::string &path, Check check, Access access)
{
    Connection connection;
    connection.openPath(path, check, access);
    return connection;
}

Connection Connection::createInMemory(const std::string &schema)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Connection connection;
    connection.m_db.reset(raw);
    if (rc != SQLITE_OK)
        throw Error(raw ? sqlite3_errmsg(raw) : unknownError(rc));
    sqlite3_extended_result_codes(raw, 0);
    registerDialect(raw);
    sqlite3_exec(raw, "PRAGMA trusted_schema=OFF", nullptr, nullptr, nullptr);
    connection.executeScript(schema);
    return connection;
}

void Connection::openPath(const std::string &path, Check check, Access access)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error("找不到数据库文件: " + path);
    sqlite3 *raw = nullptr;
    // A connection belongs to one thread at a time, so the engine need not
    // lock it around every call (a ledger load makes millions of them).
    const int flags = (access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    std::unique_ptr<sqlite3, Closer> guard(raw);
    if (rc != SQLITE_OK)
        throw Error(raw ? sqlite3_errmsg(raw) : unknownError(rc), rc);
    sqlite3_extended_result_codes(raw, 0);
    sqlite3_busy_timeout(raw, 5000);
    registerDialect(raw);
    // A file may come from someone else: its triggers, views and indexes may
    // not call the program's functions (Format computes other keys than the
    // engine's own format(), and nothing of a file should run them).
    sqlite3_exec(raw, "PRAGMA trusted_schema=OFF", nullptr, nullptr, nullptr);
    // The Bloom filter that this engine (3.40) puts on an automatic index
    // compares raw bytes, so a join on columns that ignore trailing blanks
    // ("午餐 " = '午餐') loses its rows. Joins use declared indexes instead.
    sqlite3_exec(raw, "PRAGMA automatic_index=OFF", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    m_db = std::move(guard);
    m_path = path;
    if (check == Check::Nothing)
        return;
    const std::vector<CatalogueEntry> entries = catalogue();
    requireLedgerTables(entries);
    if (check != Check::Book)
        return;
    if (const std::vector<SchemaObject> foreign = foreignSchemaObjects(*this, entries); !foreign.empty()) {
        m_db.reset();
        throw UntrustedBookError("数据库“" + path + "”中有不是本程序建立的" + describeObjects(foreign) +
                                 "，为了安全没有打开。请删除它，或从备份恢复。");
    }
}

std::vector<CatalogueEntry> Connection::catalogue()
{
    requireOpen();
    TrustedSchema trusted(m_db.get());
    std::vector<CatalogueEntry> entries;
    Query q = query("select type, name, tbl_name, sql from sqlite_master");
    while (q.next())
        entries.push_back({q.field(0), q.field(1), q.field(2), q.field(3)});
    return entries;
}

// Every ledger table must be there.
void Connection::requireLedgerTables(const std::vector<CatalogueEntry> &catalogue)
{
    std::string missing;
    for (const std::string &table : requiredTables()) {
        bool found = false;
        for (const CatalogueEntry &entry : catalogue)
            found = found || (entry.type == "table" && equalsNoCase(entry.name, table));
        if (!found)
            missing += (missing.empty() ? "" : ", ") + table;
    }
    if (!missing.empty()) {
        const std::string path = m_path;
        m_db.reset();
        throw Error("不是帐本数据库 (" + path + ")，缺少数据表: " + missing);
    }
}

std::string connectFailedText(const Error &error)
{
    return dynamic_cast<const UntrustedBookError *>(&error) ? std::string(error.what()) : kConnectFailedMessage;
}

bool Connection::inTransaction() const { return m_db && sqlite3_get_autocommit(m_db.get()) == 0; }

unsigned Connection::dataVersion() const
{
    unsigned version = 0;
    if (m_db)
        sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return version;
}

long long Connection::totalChanges() const { return m_db ? sqlite3_total_changes64(m_db.get()) : 0; }

long long Connection::lastInsertRowId() const { return m_db ? sqlite3_last_insert_rowid(m_db.get()) : 0; }

bool Error::isUniqueViolation() const
{
    return m_code == SQLITE_CONSTRAINT_UNIQUE || m_code == SQLITE_CONSTRAINT_PRIMARYKEY;
}

bool Error::isBusy() const { return (m_code & 0xff) == SQLITE_BUSY; }

bool Error::isUnsoundFile() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_CANTOPEN;
}

void Connection::check(int rc) const
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    // The connection holds the failure of its own calls; a failure it does
    // not hold (a lock the page copy waited for in vain) has the code's text.
    const bool held = m_db && sqlite3_errcode(m_db.get()) != SQLITE_OK;
    const char *message = held ? sqlite3_errmsg(m_db.get()) : sqlite3_errstr(rc);
    const int code = held ? sqlite3_extended_errcode(m_db.get()) : rc;
    std::string text = message && *message ? message : unknownError(rc);
    // What a user can do something about is said in words first.
    if ((code & 0xff) == SQLITE_READONLY)
        text = "帐本文件不能写入（只读，或没有写的权限）: " + text;
    else if ((code & 0xff) == SQLITE_FULL)
        text = "磁盘已满，没有写入: " + text;
    throw Error(text, code);
}

void Connection::requireOpen() const
{
    if (!m_db)
        throw Error("数据库连接没有打开");
}

namespace {
bool blankTail(const char *tail, const char *end)
{
    for (; tail < end; ++tail)
        if (*tail != ' ' && *tail != '\t' && *tail != '\n' && *tail != '\r' && *tail != ';')
            return false;
    return true;
}
} // namespace

// Prepares the one statement of a text. Whatever follows it other than blanks
// (a second statement, or a comment that hides the rest) is refused, so that a
// value that breaks out of its place can never run a statement of its own.
sqlite3_stmt *Connection::prepareOne(const std::string &sql)
{
    requireOpen();
    logStatement(sql);
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    const char *end = sql.c_str() + sql.size();
    check(sqlite3_prepare_v2(m_db.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, &tail));
    if (!raw)
        throw Error("空的语句");
    if (tail && !blankTail(tail, end)) {
        sqlite3_finalize(raw);
        throw Error("语句后面还有多余的内容，已拒绝执行: " + std::string(tail, end));
    }
    return raw;
}

int Connection::execute(const std::string &sql)
{
    std::unique_ptr<sqlite3_stmt, Query::Finalizer> statement(prepareOne(sql));
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    check(rc);
    return sqlite3_changes(m_db.get());
}

void Connection::executeScript(const std::string &sql)
{
    requireOpen();
    logStatement(sql);
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db.get(), sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throw Error(message.empty() ? unknownError(rc) : message);
}

Query Connection::query(const std::string &sql) { return Query(prepareOne(sql), this); }

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
    m_nested = m_connection.inTransaction();
    m_connection.execute(m_nested ? "SAVEPOINT pennaro_action" : "BEGIN IMMEDIATE");
}

// Recording starts after BEGIN, so that every statement of the action is
// prepared while the engine reports each row it changes.
Transaction::Transaction(Connection &connection, std::string label) : Transaction(connection)
{
    if (!m_nested)
        m_recorder = std::make_unique<Recorder>(m_connection, std::move(label));
}

void Transaction::setLabel(std::string label)
{
    if (m_recorder)
        m_recorder->setLabel(std::move(label));
}

Transaction::~Transaction()
{
    // An action that did not commit leaves nothing to record.
    m_recorder.reset();
    if (!m_open)
        return;
    try {
        if (m_nested)
            m_connection.executeScript("ROLLBACK TO pennaro_action; RELEASE pennaro_action");
        else
            m_connection.execute("ROLLBACK");
    } catch (...) {
        // A failed rollback leaves the engine to roll back on close.
    }
}

void Transaction::commit()
{
    // The history is written in the action's own transaction: the action and
    // the means to take it back are kept together or not at all.
    if (m_recorder) {
        m_recorder->writeHistory();
        m_recorder.reset();
    }
    m_connection.execute(m_nested ? "RELEASE pennaro_action" : "COMMIT");
    m_open = false;
}

} // namespace db

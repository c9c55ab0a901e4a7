// The engine's report of each row a statement changes is declared only on
// request; the system library is built with it.
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include "db/history_recorder.h"

#include "db/connection.h"
#include "db/dates.h"
#include "db/feature_schema.h"
#include "db/history.h"
#include "db/history_rows.h"
#include "db/text.h"

#include <sqlite3.h>

#include <cstring>
#include <vector>

namespace db {

namespace {

// Rows of the history written per statement.
constexpr std::size_t kChangesPerInsert = 100;

Value valueOf(sqlite3_value *value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return Value::ofInteger(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return Value::ofReal(sqlite3_value_double(value));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return Value::ofText(std::string(text ? text : "", sqlite3_value_bytes(value)));
    }
    case SQLITE_BLOB: {
        const auto *blob = static_cast<const char *>(sqlite3_value_blob(value));
        return Value::ofBlob(std::string(blob ? blob : "", sqlite3_value_bytes(value)));
    }
    default:
        return Value::null();
    }
}

std::string imageText(const std::optional<Row> &row)
{
    return row ? "'" + quote(rowLiterals(*row)) + "'" : std::string("NULL");
}

} // namespace

Recorder::Recorder(Connection &connection, std::string label) : m_connection(connection), m_label(std::move(label))
{
    sqlite3_preupdate_hook(m_connection.handle(), &Recorder::onChange, this);
    m_listening = true;
}

Recorder::~Recorder() { stop(); }

void Recorder::stop()
{
    if (m_listening && m_connection.isOpen())
        sqlite3_preupdate_hook(m_connection.handle(), nullptr, nullptr);
    m_listening = false;
}

void Recorder::onChange(void *self, sqlite3 *db, int op, const char *database, const char *table, long long oldKey,
                        long long newKey)
{
    auto *recorder = static_cast<Recorder *>(self);
    if (std::strcmp(database, "main") != 0 || std::strncmp(table, "sqlite_", 7) == 0 || history::isHistoryTable(table))
        return;
    // Nothing may leave this call; a row that cannot be noted fails the
    // action when it commits.
    try {
        if (op == SQLITE_INSERT) {
            recorder->noteRow(db, table, newKey, false);
        } else if (op == SQLITE_DELETE) {
            recorder->noteRow(db, table, oldKey, true);
        } else if (op == SQLITE_UPDATE) {
            recorder->noteRow(db, table, oldKey, true);
            // A change of the rowid moves the row: the new rowid was free.
            if (newKey != oldKey)
                recorder->noteRow(db, table, newKey, false);
        }
    } catch (...) {
        recorder->m_failed = true;
    }
}

void Recorder::noteRow(sqlite3 *db, const char *table, long long rowid, bool existed)
{
    std::map<long long, std::optional<Row>> &rows = m_before[table];
    if (rows.count(rowid))
        return;
    std::optional<Row> before;
    if (existed) {
        before.emplace();
        const int count = sqlite3_preupdate_count(db);
        for (int i = 0; i < count; ++i) {
            sqlite3_value *value = nullptr;
            if (sqlite3_preupdate_old(db, i, &value) != SQLITE_OK)
                throw Error("不能读出改动前的记录");
            before->push_back(valueOf(value));
        }
    }
    rows.emplace(rowid, std::move(before));
}

void Recorder::writeHistory()
{
    stop();
    if (m_failed)
        throw Error("不能记录这次操作的改动，操作没有完成");
    Connection &c = m_connection;
    std::vector<history::RowChange> changes;
    for (const auto &[table, rows] : m_before) {
        std::vector<long long> rowids;
        for (const auto &entry : rows)
            rowids.push_back(entry.first);
        const history::TableRows now = history::readRows(c, table, rowids);
        for (const auto &[rowid, before] : rows) {
            const auto found = now.rows.find(rowid);
            std::optional<Row> after;
            if (found != now.rows.end())
                after = found->second;
            if (before != after)
                changes.push_back({table, rowid, before, std::move(after)});
        }
    }
    if (changes.empty())
        return;

    const std::string mark = history::kMark;
    if (!history::tablesExist(c))
        ensureFeatureTables(c);
    // A new action ends what could be redone.
    c.execute(mark + "DELETE FROM UndoChange WHERE Action IN (SELECT Id FROM UndoAction WHERE Undone<>0)");
    c.execute(mark + "DELETE FROM UndoAction WHERE Undone<>0");
    c.execute(mark + "INSERT INTO UndoAction (Label,At,Undone) VALUES ('" + quote(m_label) + "','" +
              formatMoment(localNow()) + "',0)");
    const std::string action = std::to_string(c.lastInsertRowId());
    for (std::size_t start = 0; start < changes.size(); start += kChangesPerInsert) {
        std::string values;
        for (std::size_t i = start; i < changes.size() && i < start + kChangesPerInsert; ++i) {
            const history::RowChange &change = changes[i];
            values += std::string(i > start ? "," : "") + "(" + action + ",'" + quote(change.table) + "'," +
                      std::to_string(change.rowid) + "," + imageText(change.before) + "," + imageText(change.after) +
                      ")";
        }
        c.execute(mark + "INSERT INTO UndoChange (Action,TableName,RowId,Before,After) VALUES " + values);
    }
    // The oldest actions beyond the kept number go.
    const std::string oldestKept = c.scalar(mark + "SELECT Id FROM UndoAction ORDER BY Id DESC LIMIT 1 OFFSET " +
                                                std::to_string(kKeptActions - 1),
                                            "Id");
    if (!oldestKept.empty()) {
        c.execute(mark + "DELETE FROM UndoChange WHERE Action < " + oldestKept);
        c.execute(mark + "DELETE FROM UndoAction WHERE Id < " + oldestKept);
    }
}

} // namespace db

#include "db/history_rows.h"

#include "db/connection.h"

#include <sqlite3.h>

#include <cstddef>

namespace db::history {

namespace {

// Rowids per reading statement: long lists are read in parts.
constexpr std::size_t kRowidsPerRead = 500;

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && sqlite3_strnicmp(a.data(), b.data(), static_cast<int>(a.size())) == 0;
}

// Whether a statement compiles on the books: its tables exist. Nothing runs.
bool compiles(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    sqlite3_finalize(statement);
    return rc == SQLITE_OK;
}

} // namespace

bool isHistoryTable(std::string_view table)
{
    return equalsNoCase(table, "UndoAction") || equalsNoCase(table, "UndoChange");
}

std::string quotedName(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

TableRows readRows(Connection &c, const std::string &table, const std::vector<long long> &rowids)
{
    TableRows result;
    const std::string select = std::string(kMark) + "SELECT rowid,* FROM " + quotedName(table) + " WHERE rowid IN (";
    // At least one statement, for the column names.
    for (std::size_t start = 0; start == 0 || start < rowids.size(); start += kRowidsPerRead) {
        std::string list;
        for (std::size_t i = start; i < rowids.size() && i < start + kRowidsPerRead; ++i)
            list += (i > start ? "," : "") + std::to_string(rowids[i]);
        Query q = c.query(select + list + ")");
        if (start == 0) {
            result.rowidAliased = !equalsNoCase(q.columnName(0), "rowid");
            for (int i = 1; i < q.columnCount(); ++i)
                result.columns.push_back(q.columnName(i));
        }
        while (q.next()) {
            Row row;
            for (int i = 1; i < q.columnCount(); ++i)
                row.push_back(q.value(i));
            result.rows[q.value(0).integer] = std::move(row);
        }
    }
    return result;
}

bool tablesExist(Connection &c)
{
    return c.isOpen() && compiles(c.handle(), "SELECT Id,Label,At,Undone FROM UndoAction") &&
           compiles(c.handle(), "SELECT Action,TableName,RowId,Before,After FROM UndoChange");
}

} // namespace db::history

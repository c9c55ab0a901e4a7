#pragma once

#include "db/value.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

class Connection;

namespace history {

// Begins every statement of the history's own bookkeeping (reading rows to
// record or check them, writing the history), so that the statement log
// tells it from what the actions and their undoing send.
inline constexpr const char *kMark = "/* history */ ";

// The history's own tables, which an action's recording leaves out.
bool isHistoryTable(std::string_view table);

// A table or column name between double quotes.
std::string quotedName(std::string_view name);

// The rows of a table that have the given rowids, as they are now, by
// rowid; columns receives the table's column names. Throws Error.
struct TableRows {
    std::vector<std::string> columns;
    // Whether the first column of "rowid,*" is an alias of the rowid (an
    // INTEGER PRIMARY KEY), which then carries the rowid of an insert.
    bool rowidAliased = false;
    std::map<long long, Row> rows;
};
TableRows readRows(Connection &c, const std::string &table, const std::vector<long long> &rowids);

// Whether the books hold the history's tables; asked of the engine
// without running a statement.
bool tablesExist(Connection &c);

// One row that an action inserted (before absent), deleted (after absent)
// or changed.
struct RowChange {
    std::string table;
    long long rowid = 0;
    std::optional<Row> before;
    std::optional<Row> after;
};

} // namespace history
} // namespace db

#pragma once

#include <string>
#include <variant>
#include <vector>

namespace stats {

// "CREATE TABLE name (column TEXT, ...)": a new sheet with these columns.
struct CreateSheet {
    std::string sheet;
    std::vector<std::string> columns;
};

// "INSERT INTO name (column, ...) VALUES ('text', ...)": one row, each value
// for the column named at its place.
struct InsertRow {
    std::string sheet;
    std::vector<std::string> columns;
    std::vector<std::string> values;
};

using SheetStatement = std::variant<CreateSheet, InsertRow>;

// Reads one statement of the two forms the spreadsheet driver accepts.
// Keywords and the type TEXT in any case, blanks anywhere between the
// parts, values in single quotes with a quote inside written twice. Any
// other text throws SheetError naming the statement and what is wrong.
SheetStatement parseSheetStatement(const std::string &statement);

// The SheetError of a statement the driver does not take, for a reason.
[[noreturn]] void rejectStatement(const std::string &statement, const std::string &reason);

} // namespace stats

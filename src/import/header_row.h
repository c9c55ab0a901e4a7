#pragma once

#include "import/table.h"

#include <optional>
#include <string>
#include <vector>

namespace import {

// A column a reader looks for, under any of the names bills give it.
struct ColumnName {
    int field;
    std::vector<const char *> names;
};

// The header row of a table found by its column names.
struct HeaderMatch {
    std::size_t row = 0;          // index into the table's rows
    std::vector<int> columns;     // field -> column, -1 when absent
    std::size_t width = 0;        // the header's cells, trailing empty ones left out
    int known = 0;                // how many fields were found
};

// A header cell as compared with the names: no blanks, full-width brackets
// and slashes as ASCII ("金额（元）" reads "金额(元)").
std::string headerKey(const std::string &cell);

// The row among the first ones that holds the most of the wanted names (at
// least minimum of them), with where each field stands.
std::optional<HeaderMatch> findHeader(const Table &table, const std::vector<ColumnName> &wanted, int fieldCount,
                                      int minimum = 3);

// The header cells of a row joined by "|", by which a bank's mapping knows
// its next statement.
std::string headerSignature(const TableRow &row);

// The message for a row that does not fit its header: cells beyond the
// header's width that hold something, or too few cells for a column that is
// read. Empty when the row fits.
std::string rowShapeProblem(const TableRow &row, std::size_t headerWidth, int lastColumnRead);

// A row after the table that only says something in its first cell (a
// "------" line, "共23笔记录"), not a row cut off: those start with a digit.
bool isTrailerLine(const TableRow &row);

std::string rowPrefix(int line);

} // namespace import

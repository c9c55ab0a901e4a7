#pragma once

#include <string>
#include <vector>

namespace import {

// One cell of a bill read as a table. A spreadsheet cell holding a number
// keeps the number's text and says so: a time may then be a day count.
struct Cell {
    std::string text;
    bool number = false;
};

struct TableRow {
    int line = 0; // the file's line or the sheet's row number, 1-based
    std::vector<Cell> cells;

    // The text of a cell, "" beyond the row's end.
    const std::string &text(std::size_t column) const;
    bool isNumber(std::size_t column) const { return column < cells.size() && cells[column].number; }
    // True when no cell holds anything but blanks.
    bool isBlank() const;
};

// A bill as rows of cells: CSV, XLSX and XLS all come to this.
struct Table {
    std::vector<TableRow> rows;
    // The line a reader stopped at because the file went on past what a
    // bill may hold; 0 when it was read to its end.
    int stoppedAt = 0;
};

// A cell's text without the blanks, tabs and line breaks bills pad their
// cells with (Alipay puts a tab after every order number).
std::string cleanCell(const std::string &text);

} // namespace import

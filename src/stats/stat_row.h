#pragma once

#include <string>
#include <vector>

namespace stats {

// Where the rows of a statistic go: the list on screen, or a spreadsheet
// sheet of the export. The walk is the same; only a few head and detail
// statements differ between the two, and only the list gets columns.
enum class Output { List, Sheet };

// The section a row belongs to; it names the sheet a row is exported to.
enum class Section { Journal, Expense, Income, Bank, Cash, Day, Budget };

// What a row stands for inside its section.
enum class Role {
    Head,          // the section's one top row; its amount is the section total
    Detail,        // a journal row: one type and direction
    Category,      // a node of a category or bank tree with its branch summed
    Uncategorised, // a type that names no node of the category tree
    Direction,     // one of 付, 收, 存, 取 under the bank or cash head
    OutsideTree,   // a bank ledger account that names no node of the bank tree
    Day,           // one day of the day-by-day statistic
    DayDetail,     // one type and direction within a day
    Progress,      // how much of a budget's month or year has gone
};

struct Row {
    Section section = Section::Journal;
    Role role = Role::Head;
    // 0 for a head row; a row is a child of the last row one level up.
    int depth = 0;
    // The tree level of a Category row (1 directly under the root), else 0.
    int level = 0;
    std::string label;
    // Amount, count, direction and percentage, in this order. A row may
    // carry fewer cells; the missing ones show empty.
    std::vector<std::string> cells;

    bool isHead() const { return role == Role::Head; }
    const std::string &cell(std::size_t index) const;
};

struct Column {
    const char *caption;
    int width;
};

// Receives the rows of one walk in order: a parent always before its
// children, children in the order they are found.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Called first by every statistic shown in a list (not for a sheet).
    virtual void createColumns(const std::vector<Column> &columns) = 0;
    virtual void addRow(const Row &row) = 0;
};

// The columns of the class query statistics and of the day-by-day statistic.
const std::vector<Column> &categoryColumns();
const std::vector<Column> &dayColumns();

} // namespace stats

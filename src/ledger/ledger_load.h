#pragma once

#include "ledger/growing_buffer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db {
class Connection;
class Query;
}

namespace ledger {

inline constexpr int kLedgerCount = 6;

// The tab caption of a ledger; any other index gets the default caption.
std::string ledgerCaption(int index);

struct Column {
    const char *caption;
    int width;
};
// The columns of a ledger; none for an index outside the six.
const std::vector<Column> &ledgerColumns(int index);

// The load statement of a ledger for a range of eight-digit day texts.
std::string loadStatement(int index, const std::string &begin, const std::string &end);

// A loaded ledger: the rows in the order returned, then the summary row
// when at least one row was loaded. The cell texts of all rows lie in one
// arena, each cell a 32-bit offset into it, so that a million rows stay small;
// a cell becomes a display string only when it is shown.
class LedgerTable {
public:
    LedgerTable() : LedgerTable(0) {}
    explicit LedgerTable(int index);

    int index() const { return m_index; }
    int rowCount() const
    {
        return m_columns == 0 || m_offsets.size() == 0 ? 0 : static_cast<int>((m_offsets.size() - 1) / m_columns);
    }
    int columnCount() const { return m_columns; }
    // The text of a loaded row's cell; "" outside the rows.
    std::string_view cell(int row, int column) const;
    std::vector<std::string> row(int row) const;

    // Appends a row of cells (missing cells are empty, extra ones dropped).
    void appendRow(const std::vector<std::string_view> &cells);
    // Appends the current row of a query, one cell per column.
    void appendRow(const db::Query &query);
    // Gives back the room left over by growing.
    void shrink();

    // Removes a loaded row and makes the summary row count and sum the rows
    // that remain (none left: no summary row).
    void removeRow(int row);
    // Recomputes the summary row from the rows.
    void summarize();

    // Bytes held for the rows: the arena and the offsets.
    std::size_t bytesHeld() const;

    std::vector<std::string> summary; // empty when no row was loaded

private:
    void appendCell(std::string_view text);

    int m_index = 0;
    int m_columns = 0;
    GrowingBuffer m_text;
    // Start of every cell, row after row, and the end of the last one;
    // empty before the first cell.
    GrowingArray<std::uint32_t> m_offsets;
};

LedgerTable loadLedger(db::Connection &c, int index, const std::string &begin, const std::string &end);

// "￥" followed by "%15.2Lf" of the value without its leading blanks.
std::string yuan(long double value);

} // namespace ledger

#pragma once

#include "db/money.h"
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

// Rows of texts: the cell texts of all rows lie in one arena, each cell a
// 32-bit offset into it, so that a million rows stay small; a cell becomes a
// display string only when it is shown.
class CellTable {
public:
    explicit CellTable(int columns = 0) : m_columns(columns) {}

    int rowCount() const
    {
        return m_columns == 0 || m_offsets.size() == 0 ? 0 : static_cast<int>((m_offsets.size() - 1) / m_columns);
    }
    int columnCount() const { return m_columns; }
    // The text of a row's cell; "" outside the rows.
    std::string_view cell(int row, int column) const;
    std::vector<std::string> row(int row) const;

    // Appends a row of cells (missing cells are empty, extra ones dropped).
    void appendRow(const std::vector<std::string_view> &cells);
    // Appends the current row of a query, one cell per column.
    void appendRow(const db::Query &query);
    // Gives back the room left over by growing.
    void shrink();
    // Removes a row; the rows after it move up.
    void removeRow(int row);

    // Bytes held for the rows: the arena and the offsets.
    std::size_t bytesHeld() const;

    // The texts of all cells, row after row with nothing between them, and
    // where a row's cells start in it: a search can run over all rows at once.
    std::string_view arena() const { return {m_text.data(), m_text.size()}; }
    std::size_t cellStart(int row, int column) const
    {
        return m_offsets[static_cast<std::size_t>(row) * m_columns + column];
    }

private:
    void appendCell(std::string_view text);

    int m_columns = 0;
    GrowingBuffer m_text;
    // Start of every cell, row after row, and the end of the last one;
    // empty before the first cell.
    GrowingArray<std::uint32_t> m_offsets;
};

// A loaded ledger: the rows in the order returned, then the summary row
// when at least one row was loaded.
class LedgerTable : public CellTable {
public:
    LedgerTable() : LedgerTable(0) {}
    explicit LedgerTable(int index);

    int index() const { return m_index; }

    // Removes a loaded row and makes the summary row count and sum the rows
    // that remain (none left: no summary row).
    void removeRow(int row);
    // Recomputes the summary row from the rows.
    void summarize();

    std::vector<std::string> summary; // empty when no row was loaded

private:
    int m_index = 0;
};

// The columns a ledger's summary row sums, 0-based: the amount, or for the
// investment ledger the amount invested, the returns and the profit.
const std::vector<int> &summedColumns(int index);
// The summary row of count rows whose summed columns add up to sums (one
// per summed column). A filtered summary says so in its label.
std::vector<std::string> summaryRow(int index, std::size_t count, const std::vector<db::Money> &sums,
                                    bool filtered = false);

LedgerTable loadLedger(db::Connection &c, int index, const std::string &begin, const std::string &end);
// The rows of a statement that selects a ledger's columns, with the
// ledger's summary row.
LedgerTable loadRows(db::Connection &c, int index, const std::string &statement);

// "￥" and the amount to the cent, as "%15.2Lf" without its leading blanks
// shows it.
std::string yuan(const db::Money &value);

} // namespace ledger

#pragma once

#include <string>
#include <vector>

namespace db {
class Connection;
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
// when at least one row was loaded.
struct LedgerTable {
    int index = 0;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> summary; // empty when no row was loaded
    int rowCount() const { return static_cast<int>(rows.size()); }
    // Removes a loaded row and makes the summary row count and sum the rows
    // that remain (none left: no summary row).
    void removeRow(int row);
    // Recomputes the summary row from the rows.
    void summarize();
};

LedgerTable loadLedger(db::Connection &c, int index, const std::string &begin, const std::string &end);

// "￥" followed by "%15.2Lf" of the value without its leading blanks.
std::string yuan(long double value);

} // namespace ledger

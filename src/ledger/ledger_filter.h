#pragma once

#include "db/money.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledger {

class LedgerTable;

// What the filter bar of a ledger list asks for; an empty field asks for
// nothing.
struct RowFilter {
    // Found in any text column of the list (category, handler, description,
    // bank, state); ASCII letters match in either case.
    std::string text;
    // 收, 付, 存 or 取; "" for every type.
    std::string type;
    // Bounds on the size of the amount (a payment of 35.5 is -35.5 in the
    // cash ledger and is found between 30 and 40), both included.
    std::optional<db::Money> least;
    std::optional<db::Money> most;

    bool active() const { return !text.empty() || !type.empty() || least || most; }
    bool operator==(const RowFilter &) const = default;
};

enum class ColumnKind { Text, Number, Date };
// How a ledger's column compares when the list is sorted by it.
ColumnKind columnKind(int index, int column);
// The columns of a ledger that the filter's text is looked for in.
const std::vector<int> &textColumns(int index);

// The column the list is sorted by; -1 for the order of the load.
struct SortOrder {
    int column = -1;
    bool descending = false;
    bool operator==(const SortOrder &) const = default;
};

// Puts the distinct texts of a column in the order a reader expects; the
// default is the order of their bytes.
using TextOrder = std::function<void(std::vector<std::string_view> &)>;

// The rows of a loaded ledger that its list shows: those that pass the
// filter, in the chosen order, and the summary row over them. Without a
// filter and an order they are the loaded rows as loaded, with the loaded
// summary row. Works on the table's rows in memory; no statement runs.
class ShownRows {
public:
    // Starts over on a newly loaded table (which must outlive this, or be
    // set again), keeping the filter and the order.
    void setTable(const LedgerTable *table);
    void setFilter(const RowFilter &filter);
    void setOrder(SortOrder order, const TextOrder &textOrder = {});
    const RowFilter &filter() const { return m_filter; }
    SortOrder order() const { return m_order; }

    int count() const;
    // The table's row shown at a place of the list.
    int tableRow(int shown) const;
    // Empty when no row was loaded.
    const std::vector<std::string> &summary() const;

private:
    void sortRows();
    void filterRows(bool narrowing);
    void summarize();
    bool passes(int row) const;
    void cacheAmounts();
    void cacheTypes();

    const LedgerTable *m_table = nullptr;
    RowFilter m_filter;
    std::string m_foldedText; // the filter's text, ASCII letters in lower case
    SortOrder m_order;
    TextOrder m_textOrder;
    // Every row in the chosen order; empty for the order of the load.
    std::vector<int> m_ordered;
    // The rows shown, in order; unused (all rows in order) without a filter.
    std::vector<int> m_shown;
    // The summed columns' amounts and each row's entry type (a code), read
    // for every row once a bound or a type asks for them.
    std::vector<std::vector<db::Money>> m_amounts;
    std::vector<std::uint8_t> m_types;
    std::uint8_t m_typeCode = 0;
    // Rows holding the filter's text, where one search over all rows finds
    // them; else the text is looked for cell by cell.
    std::vector<std::uint8_t> m_textHits;
    bool m_cellSearch = false;
    bool m_letters = false; // the text has ASCII letters, to match in either case
    std::vector<std::string> m_summary;
};

} // namespace ledger

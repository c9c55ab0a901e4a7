#pragma once

#include "db/connection.h"
#include "stats/statements.h"

#include <functional>
#include <string>
#include <string_view>

namespace stats {

class Progress;

// One field of a row read, taken from the engine once.
struct Field {
    db::ValueType type = db::ValueType::Null;
    // The bytes of a text or blob; for a number, its text as a statement
    // reads it.
    std::string_view text;
    double real = 0;
    long long integer = 0;

    bool isNull() const { return type == db::ValueType::Null; }
};

// A row of a ledger as the statistics read it: its date, direction (type,
// PayGet), label (category, bank), amount, number (entry number, Num) and
// row id, and the day its date falls on.
struct LedgerRow {
    Field date;
    Field direction;
    Field label;
    Field amount;
    Field number;
    long long rowId = 0;
    std::string_view day;
    // The row itself, for adding an amount stored as text.
    const db::Query *query = nullptr;
    static constexpr int kAmountColumn = 3;
};

// A field of the current row of q; a number's text goes into numberText
// when wantText is set (a number where a text belongs).
Field fieldOf(const db::Query &q, int column, std::string &numberText, bool wantText = true);

// Reads the rows of a ledger whose date lies in a range, each row once. The
// date index is read over the years of the range only (and over the two
// places where texts that are no plain date sort: before the digits, and
// blobs), then every row's day is tested exactly as the statements test it,
// Format(date,'yyyymmdd') between begin and end: so a date written
// "2007-3-5" or " 2007/03/05", or a text that is no date at all, counts
// where the statements count it.
class RangeRows {
public:
    using RowFunction = std::function<void(const LedgerRow &row)>;

    RangeRows(db::Connection &connection, const Range &range, Progress *progress = nullptr);

    // Calls row for each row of table in the range. columns is the select
    // list: date, direction, label, amount, number, row id.
    void read(const char *table, const std::string &columns, const RowFunction &row);
    // The same for the rows a statement selects (with those columns).
    void readWhere(const std::string &statement, const RowFunction &row);

private:
    db::Connection &m_connection;
    Range m_range;
    Progress *m_progress;
};

} // namespace stats

#pragma once

#include "stats/statements.h"

#include <functional>
#include <string>
#include <string_view>

namespace db {
class Connection;
class Query;
} // namespace db

namespace stats {

class Progress;

// Reads the rows of a ledger whose date lies in a range, each row once. The
// date index is read over the years of the range only (and over the two
// places where texts that are no plain date sort: before the digits, and
// blobs), then every row's day is tested exactly as the statements test it,
// Format(date,'yyyymmdd') between begin and end: so a date written
// "2007-3-5" or " 2007/03/05", or a text that is no date at all, counts
// where the statements count it.
class RangeRows {
public:
    using RowFunction = std::function<void(const db::Query &row, std::string_view day)>;

    RangeRows(db::Connection &connection, const Range &range, Progress *progress);

    // Calls row for each row of table in the range. columns is the select
    // list; its first column is the date.
    void read(const char *table, const std::string &columns, const RowFunction &row);

private:
    void readWhere(const std::string &statement, const RowFunction &row);

    db::Connection &m_connection;
    Range m_range;
    Progress *m_progress;
};

} // namespace stats

#include "stats/ledger_read.h"

#include "db/connection.h"
#include "db/sums.h"
#include "db/text.h"
#include "stats/progress.h"
#include "stats/range_rows.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace stats {

namespace {

bool hasLabel(const LedgerColumns &columns) { return std::string(columns.label) != "NULL"; }

std::string rowColumns(const LedgerColumns &c)
{
    return std::string(c.date) + "," + c.direction + "," + c.label + "," + c.amount + "," + c.number + ",rowid";
}

// The year a stored date text begins with, or -1.
int yearOf(const std::string &date)
{
    if (date.size() < 4 || !std::all_of(date.begin(), date.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::atoi(date.substr(0, 4).c_str());
}

// Whether the range's years take in at least half of the years the ledger's
// dates span: two lookups in the date index, no scan.
bool takesMostOf(db::Connection &connection, const Range &range, const LedgerColumns &c)
{
    const auto digits = [](const std::string &t) {
        return t.size() == 8 && std::all_of(t.begin(), t.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    };
    if (!digits(range.begin) || !digits(range.end) || range.begin[0] == '0')
        return true; // every row is read either way
    const std::string table = c.table;
    const std::string date = c.date;
    const int first = yearOf(connection.scalar("SELECT " + date + " AS d FROM " + table + " WHERE " + date +
                                                   " >= '1000' ORDER BY " + date + " LIMIT 1",
                                               "d"));
    const int last = yearOf(connection.scalar("SELECT " + date + " AS d FROM " + table + " WHERE " + date +
                                                  " < ':' ORDER BY " + date + " DESC LIMIT 1",
                                              "d"));
    if (first < 0 || last < first)
        return false;
    const int begin = std::max(first, std::atoi(range.begin.substr(0, 4).c_str()));
    const int end = std::min(last, std::atoi(range.end.substr(0, 4).c_str()));
    return 2 * (end - begin + 1) >= last - first + 1;
}

Field textField(const std::optional<std::string> &text)
{
    Field field;
    if (text) {
        field.type = db::ValueType::Text;
        field.text = *text;
    }
    return field;
}

// One statement sums each group's rows of the range (RangeGroup). It meets
// each group's rows in the order of the direction index, as the statements
// it stands for do, so the texts it keeps for a group (those of the
// group's first row in the range) are theirs, even where the rows differ in
// trailing blanks.
void readGrouped(db::Connection &connection, const Range &range, const LedgerColumns &c, LedgerGroups &groups,
                 Progress *progress)
{
    const std::string direction = c.direction;
    const std::string label = c.label;
    db::Query q = connection.query("SELECT RangeGroup(" + std::string(c.date) + ",'" + db::quote(range.begin) +
                                   "','" + db::quote(range.end) + "'," + c.number + "," + c.amount + "," + direction +
                                   "," + label + ") FROM " + c.table + " GROUP BY " + direction +
                                   (hasLabel(c) ? "," + label : std::string()));
    while (q.next()) {
        checkProgress(progress);
        const db::RangeGroup found = db::RangeGroup::parse(q.bytes(0));
        if (found.rows == 0)
            continue;
        Group group;
        group.rows = found.rows;
        group.numbered = found.numbered;
        group.sum = found.sum;
        group.direction = found.first.value_or("");
        group.label = found.second.value_or("");
        groups.addGroup(textField(found.first), textField(found.second), group);
    }
}

} // namespace

std::unique_ptr<LedgerGroups> readLedger(db::Connection &connection, const Range &range,
                                         const LedgerColumns &columns, bool byDay, Progress *progress)
{
    auto groups = std::make_unique<LedgerGroups>(byDay);
    if (!byDay && takesMostOf(connection, range, columns)) {
        readGrouped(connection, range, columns, *groups, progress);
        return groups;
    }
    RangeRows(connection, range, progress).read(columns.table, rowColumns(columns), [&](const LedgerRow &row) {
        groups->add(row);
    });
    return groups;
}

} // namespace stats

#include "stats/range_rows.h"

#include "db/connection.h"
#include "db/dialect.h"
#include "db/text.h"
#include "stats/progress.h"

#include <algorithm>

namespace stats {

namespace {

// How many rows are read between two questions to the progress.
constexpr unsigned kRowsPerCheck = 4096;

bool isEightDigits(const std::string &text)
{
    return text.size() == 8 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

RangeRows::RangeRows(db::Connection &connection, const Range &range, Progress *progress)
    : m_connection(connection), m_range(range), m_progress(progress)
{
}

// Which rows can have a day in the range. A date the parser reads gives its
// year as four digits when that year is 1000 or later, so its text starts
// with those digits or with a blank; a text that is no date counts as
// itself, and one between begin and end starts with four characters from
// begin's year to end's. The index orders texts with their trailing blanks
// left out, which keeps both inside the stretch from begin's year up to the
// year after end's. Anything sorting before '0' (blanks, an empty text,
// numbers) and every blob is read as well; every row read is then tested.
void RangeRows::read(const char *table, const std::string &columns, const RowFunction &row)
{
    const std::string &begin = m_range.begin;
    const std::string &end = m_range.end;
    if (begin > end)
        return; // "between" finds nothing
    const std::string select = "SELECT " + columns + " FROM " + table;
    const std::string date = columns.substr(0, columns.find(','));
    if (!isEightDigits(begin) || !isEightDigits(end) || begin[0] == '0') {
        readWhere(select, row);
        return;
    }
    std::string after = end.substr(0, 4);
    ++after.back(); // "2026" → "2027", "2029" → "202:"
    readWhere(select + " WHERE " + date + " < '0'", row);
    readWhere(select + " WHERE " + date + " >= '" + db::quote(begin.substr(0, 4)) + "' AND " + date + " < '" +
                  db::quote(after) + "'",
              row);
    readWhere(select + " WHERE " + date + " >= x''", row);
}

void RangeRows::readWhere(const std::string &statement, const RowFunction &row)
{
    db::Query q = m_connection.query(statement);
    std::string text;
    char digits[8];
    unsigned sinceCheck = 0;
    while (q.next()) {
        if (++sinceCheck == kRowsPerCheck) {
            sinceCheck = 0;
            checkProgress(m_progress);
        }
        std::string_view day;
        switch (q.type(0)) {
        case db::ValueType::Null:
            continue;
        case db::ValueType::Integer:
        case db::ValueType::Real:
            // A number is no date: Format gives its text.
            text = q.field(0);
            day = text;
            break;
        default: {
            const std::string_view value = q.bytes(0);
            day = db::formatDayKey(value, digits) ? std::string_view(digits, 8) : value;
        }
        }
        if (day < m_range.begin || day > m_range.end)
            continue;
        row(q, day);
    }
}

} // namespace stats

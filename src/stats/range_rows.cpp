#include "stats/range_rows.h"

#include "db/connection.h"
#include "db/dialect.h"
#include "db/text.h"
#include "stats/progress.h"

#include <algorithm>

namespace stats {

namespace {

bool isEightDigits(const std::string &text)
{
    return text.size() == 8 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Field fieldOf(const db::Query &q, int column, std::string &numberText, bool wantText)
{
    Field field;
    field.type = q.type(column);
    switch (field.type) {
    case db::ValueType::Null:
        return field;
    case db::ValueType::Integer:
        field.integer = q.integer(column);
        field.real = static_cast<double>(field.integer);
        break;
    case db::ValueType::Real:
        field.real = q.real(column);
        break;
    default:
        field.text = q.bytes(column);
        return field;
    }
    if (wantText) {
        numberText = q.field(column);
        field.text = numberText;
    }
    return field;
}

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

namespace {

// How many rows are read between two questions to the progress.
constexpr unsigned kRowsPerQuestion = 1024;

// Numbers written as text, one buffer per text column of a row.
struct NumberTexts {
    std::string texts[3];
};
} // namespace

void RangeRows::readWhere(const std::string &statement, const RowFunction &rowFunction)
{
    db::Query q = m_connection.query(statement);
    char digits[8];
    LedgerRow row;
    row.query = &q;
    unsigned sinceAsked = 0;
    NumberTexts numbers;
    while (q.next()) {
        // Between two steps of the statement the progress may do anything.
        if (++sinceAsked == kRowsPerQuestion) {
            sinceAsked = 0;
            checkProgress(m_progress);
        }
        row.date = fieldOf(q, 0, numbers.texts[0]);
        if (row.date.isNull())
            continue;
        // A number is no date: Format gives its text.
        row.day = row.date.type != db::ValueType::Integer && row.date.type != db::ValueType::Real &&
                          db::formatDayKey(row.date.text, digits)
                      ? std::string_view(digits, 8)
                      : row.date.text;
        if (row.day < m_range.begin || row.day > m_range.end)
            continue;
        row.direction = fieldOf(q, 1, numbers.texts[1]);
        row.label = fieldOf(q, 2, numbers.texts[2]);
        row.amount = fieldOf(q, 3, numbers.texts[0], false);
        row.number = fieldOf(q, 4, numbers.texts[0], false);
        row.rowId = q.integer(5);
        rowFunction(row);
    }
}

} // namespace stats

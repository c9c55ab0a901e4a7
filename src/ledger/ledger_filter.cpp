#include "ledger/ledger_filter.h"

#include "db/dates.h"
#include "db/text.h"
#include "ledger/byte_search.h"
#include "ledger/ledger_load.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace ledger {

namespace {

const char *const kIncome = "收";
const char *const kExpense = "付";
const char *const kInvestStarted = "投资开始";
const char *const kInvestFinished = "投资完成";
// The entry types a filter asks for, coded by their place here plus one;
// 0 for a row of no such type.
const std::string_view kTypes[] = {"收", "付", "存", "取"};

std::uint8_t typeCode(std::string_view type)
{
    for (std::size_t i = 0; i < std::size(kTypes); ++i)
        if (type == kTypes[i])
            return static_cast<std::uint8_t>(i + 1);
    return 0;
}

constexpr __int128 kLowest = std::numeric_limits<__int128>::min();

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
char lower(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

bool hasLetters(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// Whether hay holds needle (already folded), ASCII letters in either case.
// UTF-8 never matches a character halfway, so bytes compare safely.
bool contains(std::string_view hay, std::string_view needle, bool letters)
{
    if (!letters)
        return hay.find(needle) != std::string_view::npos;
    if (needle.size() > hay.size())
        return false;
    const std::size_t last = hay.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        std::size_t j = 0;
        while (j < needle.size() && lower(hay[i + j]) == needle[j])
            ++j;
        if (j == needle.size())
            return true;
    }
    return false;
}

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The last row at or after `from` whose cells start at or before `at`,
// found by steps that double and then halve: the next hit is near.
int rowAt(const LedgerTable &table, int from, std::size_t at)
{
    const int rows = table.rowCount();
    int step = 1;
    while (from + step < rows && table.cellStart(from + step, 0) <= at)
        step *= 2;
    int low = from + step / 2;                       // starts at or before at
    int high = std::min(from + step, rows);          // starts after at, or the end
    if (step == 1)
        low = from;
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        if (table.cellStart(middle, 0) <= at)
            low = middle;
        else
            high = middle;
    }
    return low;
}

// Marks the rows that hold needle within one of their text cells, found by
// one search over all cells at once rather than one search in every cell;
// a hit elsewhere moves the search on to the next text cell.
std::vector<std::uint8_t> rowsHolding(const LedgerTable &table, std::string_view needle)
{
    const int rows = table.rowCount();
    const int columns = table.columnCount();
    std::vector<std::uint8_t> hit(rows, 0);
    const std::vector<int> &text = textColumns(table.index());
    if (rows == 0 || text.empty() || needle.empty())
        return hit;
    const std::string_view all = table.arena();
    // The start of the first text cell after a column of a row.
    auto nextTextCell = [&](int row, int column) {
        for (int t : text)
            if (t > column)
                return table.cellStart(row, t);
        return row + 1 < rows ? table.cellStart(row + 1, text.front()) : all.size();
    };
    std::size_t pos = table.cellStart(0, text.front());
    int row = 0;
    while (pos < all.size()) {
        const std::size_t at = findBytes(all, needle, pos);
        if (at == std::string_view::npos)
            break;
        row = rowAt(table, row, at);
        int column = columns - 1;
        while (table.cellStart(row, column) > at)
            --column;
        const std::size_t end = table.cellStart(row, column) + table.cell(row, column).size();
        if (at + needle.size() <= end && std::find(text.begin(), text.end(), column) != text.end()) {
            hit[row] = 1;
            if (row + 1 >= rows)
                break;
            pos = table.cellStart(row + 1, text.front());
        } else {
            pos = nextTextCell(row, column);
        }
    }
    return hit;
}

// The entry type of a row: its own column where the ledger has one; an
// income or expense ledger row is of its ledger's type, an investment row
// of the entry that started (an expense) or finished (an income) it.
std::string_view rowType(const LedgerTable &table, int row)
{
    switch (table.index()) {
    case 0:
        return withoutTrailingBlanks(table.cell(row, 2));
    case 1:
        return kIncome;
    case 2:
        return kExpense;
    case 3:
        return withoutTrailingBlanks(table.cell(row, 4));
    case 4:
        return withoutTrailingBlanks(table.cell(row, 3));
    case 5: {
        const std::string_view state = withoutTrailingBlanks(table.cell(row, 7));
        return state == kInvestStarted ? kExpense : state == kInvestFinished ? kIncome : std::string_view();
    }
    default:
        return {};
    }
}

__int128 numberKey(std::string_view text)
{
    const std::size_t blanks = std::min(text.find_first_not_of(" \t"), text.size());
    if (db::plainNumberLength(text.substr(blanks)) == 0)
        return kLowest; // an empty or non-number cell comes before every number
    return db::Money::leading(text).units();
}

int digits(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

__int128 dateKey(std::string_view text)
{
    auto key = [](int y, int mo, int d, int h, int mi, int s) {
        return ((((static_cast<__int128>(y) * 100 + mo) * 100 + d) * 100 + h) * 100 + mi) * 100 + s;
    };
    // The form every date column is written in, read without the general
    // parser: a million rows sort in a moment.
    if (text.size() == 16 && text[4] == '/' && text[7] == '/' && text[10] == ' ' && text[13] == ':') {
        const int y = digits(text, 0, 4), mo = digits(text, 5, 2), d = digits(text, 8, 2);
        const int h = digits(text, 11, 2), mi = digits(text, 14, 2);
        if (y >= 0 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && mi >= 0)
            return key(y, mo, d, h, mi, 0);
    }
    const std::optional<db::DateTime> t = db::parseDate(text);
    return t ? key(t->year, t->month, t->day, t->hour, t->minute, t->second) : kLowest;
}

} // namespace

ColumnKind columnKind(int index, int column)
{
    static const std::vector<int> numbers[kLedgerCount] = {{0, 4}, {0, 3}, {0, 3}, {3}, {0, 2}, {0, 3, 4, 5}};
    if (index < 0 || index >= kLedgerCount)
        return ColumnKind::Text;
    if (column == 1)
        return ColumnKind::Date;
    const std::vector<int> &n = numbers[index];
    return std::find(n.begin(), n.end(), column) != n.end() ? ColumnKind::Number : ColumnKind::Text;
}

const std::vector<int> &textColumns(int index)
{
    static const std::vector<int> columns[kLedgerCount] = {{3, 5, 6}, {2, 4}, {2}, {0, 2}, {4}, {2, 6, 7}};
    static const std::vector<int> none;
    return index >= 0 && index < kLedgerCount ? columns[index] : none;
}

void ShownRows::setTable(const LedgerTable *table)
{
    m_table = table;
    m_amounts.clear();
    m_types.clear();
    sortRows();
    filterRows(false);
}

void ShownRows::setFilter(const RowFilter &filter)
{
    if (filter == m_filter)
        return;
    // Typing on narrows what is shown already: only those rows are looked at.
    const std::string text = folded(filter.text);
    const bool narrowing = m_filter.active() && text.find(m_foldedText) != std::string::npos &&
                           (m_filter.type.empty() || m_filter.type == filter.type) &&
                           (!m_filter.least || (filter.least && *filter.least >= *m_filter.least)) &&
                           (!m_filter.most || (filter.most && *filter.most <= *m_filter.most));
    m_filter = filter;
    m_foldedText = text;
    filterRows(narrowing);
}

void ShownRows::setOrder(SortOrder order, const TextOrder &textOrder)
{
    m_order = order;
    m_textOrder = textOrder;
    sortRows();
    filterRows(false);
}

int ShownRows::count() const
{
    if (!m_table)
        return 0;
    return m_filter.active() ? static_cast<int>(m_shown.size()) : m_table->rowCount();
}

int ShownRows::tableRow(int shown) const
{
    if (shown < 0 || shown >= count())
        return -1;
    if (m_filter.active())
        return m_shown[shown];
    return m_ordered.empty() ? shown : m_ordered[shown];
}

const std::vector<std::string> &ShownRows::summary() const
{
    static const std::vector<std::string> none;
    if (!m_table)
        return none;
    return m_filter.active() ? m_summary : m_table->summary;
}

void ShownRows::sortRows()
{
    m_ordered.clear();
    if (!m_table || m_order.column < 0 || m_order.column >= m_table->columnCount())
        return;
    const int rows = m_table->rowCount();
    const int column = m_order.column;
    std::vector<__int128> keys(rows);
    switch (columnKind(m_table->index(), column)) {
    case ColumnKind::Number:
        for (int row = 0; row < rows; ++row)
            keys[row] = numberKey(m_table->cell(row, column));
        break;
    case ColumnKind::Date:
        for (int row = 0; row < rows; ++row)
            keys[row] = dateKey(m_table->cell(row, column));
        break;
    case ColumnKind::Text: {
        // Few distinct texts stand in a column: each row takes the number of
        // its text, the texts are put in order once, and each row the rank
        // of its text.
        std::unordered_map<std::string_view, int> ids;
        std::vector<std::string_view> texts;
        std::vector<int> idOf(rows);
        for (int row = 0; row < rows; ++row) {
            const auto [it, added] =
                ids.try_emplace(withoutTrailingBlanks(m_table->cell(row, column)), static_cast<int>(texts.size()));
            if (added)
                texts.push_back(it->first);
            idOf[row] = it->second;
        }
        std::vector<std::string_view> ordered = texts;
        if (m_textOrder)
            m_textOrder(ordered);
        else
            std::sort(ordered.begin(), ordered.end());
        std::vector<int> rank(texts.size());
        for (std::size_t i = 0; i < ordered.size(); ++i)
            rank[ids[ordered[i]]] = static_cast<int>(i);
        for (int row = 0; row < rows; ++row)
            keys[row] = rank[idOf[row]];
        break;
    }
    }
    m_ordered.resize(rows);
    std::iota(m_ordered.begin(), m_ordered.end(), 0);
    // Stable both ways: rows that compare equal keep the order of the load.
    if (m_order.descending)
        std::stable_sort(m_ordered.begin(), m_ordered.end(), [&](int a, int b) { return keys[a] > keys[b]; });
    else
        std::stable_sort(m_ordered.begin(), m_ordered.end(), [&](int a, int b) { return keys[a] < keys[b]; });
}

void ShownRows::cacheAmounts()
{
    if (!m_amounts.empty() || !m_table)
        return;
    const int rows = m_table->rowCount();
    for (int column : summedColumns(m_table->index())) {
        std::vector<db::Money> amounts(rows);
        for (int row = 0; row < rows; ++row)
            amounts[row] = db::Money::leading(m_table->cell(row, column));
        m_amounts.push_back(std::move(amounts));
    }
}

void ShownRows::cacheTypes()
{
    if (!m_types.empty() || !m_table)
        return;
    const int rows = m_table->rowCount();
    m_types.resize(rows);
    for (int row = 0; row < rows; ++row)
        m_types[row] = typeCode(rowType(*m_table, row));
}

bool ShownRows::passes(int row) const
{
    if (!m_filter.type.empty() && m_types[row] != m_typeCode)
        return false;
    if (m_filter.least || m_filter.most) {
        const db::Money size = m_amounts[0][row].abs();
        if ((m_filter.least && size < *m_filter.least) || (m_filter.most && size > *m_filter.most))
            return false;
    }
    if (m_foldedText.empty())
        return true;
    if (!m_cellSearch)
        return m_textHits[row] != 0;
    for (int column : textColumns(m_table->index()))
        if (contains(m_table->cell(row, column), m_foldedText, m_letters))
            return true;
    return false;
}

void ShownRows::filterRows(bool narrowing)
{
    if (!m_table || !m_filter.active()) {
        m_shown.clear();
        m_shown.shrink_to_fit();
        m_summary.clear();
        return;
    }
    if (m_filter.least || m_filter.most)
        cacheAmounts();
    if (!m_filter.type.empty()) {
        cacheTypes();
        // A type that is none of the four matches no row.
        m_typeCode = typeCode(m_filter.type);
        if (m_typeCode == 0)
            m_typeCode = 0xff;
    }
    // Letters to match in either case, or a text to look for in a few rows
    // shown already, are looked for cell by cell; any other text by one
    // search over all rows.
    m_letters = hasLetters(m_foldedText);
    m_cellSearch = m_letters || (narrowing && m_shown.size() < static_cast<std::size_t>(m_table->rowCount()) / 4);
    m_textHits.clear();
    if (!m_foldedText.empty() && !m_cellSearch)
        m_textHits = rowsHolding(*m_table, m_foldedText);
    std::vector<int> shown;
    if (narrowing) {
        for (int row : m_shown)
            if (passes(row))
                shown.push_back(row);
    } else {
        const int rows = m_table->rowCount();
        for (int i = 0; i < rows; ++i) {
            const int row = m_ordered.empty() ? i : m_ordered[i];
            if (passes(row))
                shown.push_back(row);
        }
    }
    m_shown = std::move(shown);
    summarize();
}

void ShownRows::summarize()
{
    m_summary.clear();
    if (m_table->rowCount() == 0)
        return; // nothing loaded: no summary row, as without a filter
    const std::vector<int> &summed = summedColumns(m_table->index());
    std::vector<db::Money> sums(summed.size());
    for (int row : m_shown)
        for (std::size_t i = 0; i < summed.size(); ++i)
            sums[i] += m_amounts.empty() ? db::Money::leading(m_table->cell(row, summed[i])) : m_amounts[i][row];
    m_summary = summaryRow(m_table->index(), m_shown.size(), sums, true);
}

} // namespace ledger

#include "ledger/ledger_filter.h"

#include "db/dates.h"
#include "db/text.h"
#include "ledger/ledger_load.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace ledger {

namespace {

const char *const kIncome = "收";
const char *const kExpense = "付";
const char *const kInvestStarted = "投资开始";
const char *const kInvestFinished = "投资完成";

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
        // Few distinct texts stand in a column: they are put in order once
        // and each row takes the rank of its text.
        std::unordered_map<std::string_view, int> ranks;
        for (int row = 0; row < rows; ++row)
            ranks.emplace(withoutTrailingBlanks(m_table->cell(row, column)), 0);
        std::vector<std::string_view> texts;
        texts.reserve(ranks.size());
        for (const auto &entry : ranks)
            texts.push_back(entry.first);
        if (m_textOrder)
            m_textOrder(texts);
        else
            std::sort(texts.begin(), texts.end());
        for (std::size_t i = 0; i < texts.size(); ++i)
            ranks[texts[i]] = static_cast<int>(i);
        for (int row = 0; row < rows; ++row)
            keys[row] = ranks[withoutTrailingBlanks(m_table->cell(row, column))];
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

bool ShownRows::passes(int row) const
{
    if (!m_filter.type.empty() && rowType(*m_table, row) != m_filter.type)
        return false;
    if ((m_filter.least || m_filter.most) && !m_amounts.empty()) {
        const db::Money size = m_amounts[0][row].abs();
        if ((m_filter.least && size < *m_filter.least) || (m_filter.most && size > *m_filter.most))
            return false;
    }
    if (m_foldedText.empty())
        return true;
    const bool letters = hasLetters(m_foldedText);
    for (int column : textColumns(m_table->index()))
        if (contains(m_table->cell(row, column), m_foldedText, letters))
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
    cacheAmounts();
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
    std::vector<db::Money> sums(m_amounts.size());
    for (int row : m_shown)
        for (std::size_t i = 0; i < m_amounts.size(); ++i)
            sums[i] += m_amounts[i][row];
    m_summary = summaryRow(m_table->index(), m_shown.size(), sums, true);
}

} // namespace ledger

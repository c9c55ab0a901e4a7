#include "stats/ledger_groups.h"

#include "db/connection.h"

#include <algorithm>
#include <cstdint>

namespace stats {

namespace {

// The columns of every row read.
constexpr int kDate = 0;
constexpr int kDirection = 1;
constexpr int kLabel = 2;
constexpr int kAmount = 3;
constexpr int kNumber = 4;
constexpr int kRowId = 5;

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool isNumber(db::ValueType type) { return type == db::ValueType::Integer || type == db::ValueType::Real; }

// The stored text of a field as a statement reads it ("" for NULL). A number
// is written into scratch.
std::string_view storedText(const db::Query &row, int column, std::string &scratch)
{
    if (isNumber(row.type(column))) {
        scratch = row.field(column);
        return scratch;
    }
    return row.bytes(column);
}

void appendKey(std::string &out, bool null, std::string_view text)
{
    if (null) {
        out += '\0';
        return;
    }
    out += '\1';
    const auto length = static_cast<std::uint32_t>(text.size());
    out.append(reinterpret_cast<const char *>(&length), sizeof length);
    out.append(text);
}

std::string encoded(const TextKey &key)
{
    std::string out;
    appendKey(out, key.null, key.text);
    return out;
}

RowPlace placeOf(const db::Query &row)
{
    std::string scratch;
    RowPlace place;
    place.date = withoutTrailingBlanks(storedText(row, kDate, scratch));
    const db::ValueType amount = row.type(kAmount);
    if (isNumber(amount)) {
        place.amountClass = 1;
        place.amount = row.real(kAmount);
    } else if (amount != db::ValueType::Null) {
        place.amountClass = 2;
        place.amountText = row.bytes(kAmount);
    }
    place.numberNull = row.type(kNumber) == db::ValueType::Null;
    place.number = place.numberNull ? 0 : row.integer(kNumber);
    place.rowId = row.integer(kRowId);
    return place;
}

int compare(const RowPlace &a, const RowPlace &b)
{
    if (const int c = a.date.compare(b.date))
        return c;
    if (a.amountClass != b.amountClass)
        return a.amountClass < b.amountClass ? -1 : 1;
    if (a.amountClass == 1 && a.amount != b.amount)
        return a.amount < b.amount ? -1 : 1;
    if (a.amountClass == 2)
        if (const int c = a.amountText.compare(b.amountText))
            return c;
    if (a.numberNull != b.numberNull)
        return a.numberNull ? -1 : 1;
    if (a.number != b.number)
        return a.number < b.number ? -1 : 1;
    return a.rowId < b.rowId ? -1 : a.rowId > b.rowId;
}

// Whether row comes before place; the date alone decides almost always.
bool comesBefore(const db::Query &row, const RowPlace &place)
{
    std::string scratch;
    const int byDate = withoutTrailingBlanks(storedText(row, kDate, scratch)).compare(place.date);
    if (byDate != 0)
        return byDate < 0;
    return compare(placeOf(row), place) < 0;
}

void addRow(Group &group, const db::Query &row)
{
    const bool first = group.rows == 0;
    ++group.rows;
    if (row.type(kNumber) != db::ValueType::Null)
        ++group.numbered;
    row.addTo(group.sum, kAmount);
    if (first || comesBefore(row, group.first)) {
        group.first = placeOf(row);
        std::string scratch;
        group.label = storedText(row, kLabel, scratch);
        group.direction = storedText(row, kDirection, scratch);
    }
}

} // namespace

TextKey TextKey::of(std::string_view text) { return TextKey{false, std::string(withoutTrailingBlanks(text))}; }

bool operator<(const TextKey &a, const TextKey &b)
{
    if (a.null != b.null)
        return a.null;
    return a.text < b.text;
}

void Group::merge(const Group &other)
{
    if (other.rows == 0)
        return;
    if (rows == 0 || compare(other.first, first) < 0) {
        first = other.first;
        label = other.label;
        direction = other.direction;
    }
    rows += other.rows;
    numbered += other.numbered;
    sum.add(other.sum);
}

int LedgerGroups::indexOf(const db::Query &row)
{
    std::string scratch;
    m_keyBuffer.clear();
    const bool noDirection = row.type(kDirection) == db::ValueType::Null;
    const std::string_view direction = withoutTrailingBlanks(storedText(row, kDirection, scratch));
    appendKey(m_keyBuffer, noDirection, direction);
    const std::size_t labelAt = m_keyBuffer.size();
    const bool noLabel = row.type(kLabel) == db::ValueType::Null;
    const std::string_view label = withoutTrailingBlanks(storedText(row, kLabel, scratch));
    appendKey(m_keyBuffer, noLabel, label);
    if (const auto it = m_index.find(m_keyBuffer); it != m_index.end())
        return it->second;
    const int index = static_cast<int>(m_keys.size());
    m_keys.push_back(Key{TextKey{noDirection, noDirection ? std::string() : std::string(direction)},
                         TextKey{noLabel, noLabel ? std::string() : std::string(label)}});
    m_index.emplace(m_keyBuffer, index);
    m_byLabel[m_keyBuffer.substr(labelAt)].push_back(index);
    if (!m_byDay)
        m_groups.emplace_back();
    return index;
}

void LedgerGroups::add(const db::Query &row, std::string_view day)
{
    const int index = indexOf(row);
    if (!m_byDay) {
        addRow(m_groups[index], row);
        return;
    }
    // The rows of a day mostly come one after another.
    if (!m_lastDayGroups || day != m_lastDay) {
        m_lastDay = day;
        m_lastDayGroups = &m_days[m_lastDay];
    }
    DayGroups &groups = *m_lastDayGroups;
    auto it = std::find_if(groups.begin(), groups.end(), [index](const auto &g) { return g.first == index; });
    if (it == groups.end()) {
        groups.emplace_back(index, Group());
        it = groups.end() - 1;
    }
    addRow(it->second, row);
}

std::vector<int> LedgerGroups::ordered() const
{
    std::vector<int> indexes(m_keys.size());
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = static_cast<int>(i);
    std::sort(indexes.begin(), indexes.end(), [this](int a, int b) {
        const Key &x = m_keys[a];
        const Key &y = m_keys[b];
        if (x.direction == y.direction)
            return x.label < y.label;
        return x.direction < y.direction;
    });
    return indexes;
}

const std::vector<int> &LedgerGroups::withLabel(const TextKey &label) const
{
    static const std::vector<int> none;
    const auto it = m_byLabel.find(encoded(label));
    return it == m_byLabel.end() ? none : it->second;
}

int LedgerGroups::find(const TextKey &direction, const TextKey &label) const
{
    const auto it = m_index.find(encoded(direction) + encoded(label));
    return it == m_index.end() ? -1 : it->second;
}

} // namespace stats

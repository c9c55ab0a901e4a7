#include "stats/ledger_groups.h"


#include <algorithm>
#include <cstdint>

namespace stats {

namespace {

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool isNumber(db::ValueType type) { return type == db::ValueType::Integer || type == db::ValueType::Real; }

void appendKey(std::string &out, const Field &field)
{
    if (field.isNull()) {
        out += '\0';
        return;
    }
    const std::string_view text = withoutTrailingBlanks(field.text);
    out += '\1';
    const auto length = static_cast<std::uint32_t>(text.size());
    out.append(reinterpret_cast<const char *>(&length), sizeof length);
    out.append(text);
}

std::string encoded(const TextKey &key)
{
    Field field;
    field.type = key.null ? db::ValueType::Null : db::ValueType::Text;
    field.text = key.text;
    std::string out;
    appendKey(out, field);
    return out;
}

TextKey keyOf(const Field &field)
{
    return field.isNull() ? TextKey{} : TextKey::of(field.text);
}

RowPlace placeOf(const LedgerRow &row)
{
    RowPlace place;
    place.date = withoutTrailingBlanks(row.date.text);
    if (isNumber(row.amount.type)) {
        place.amountClass = 1;
        place.amount = row.amount.real;
    } else if (!row.amount.isNull()) {
        place.amountClass = 2;
        place.amountText = row.amount.text;
    }
    place.numberNull = row.number.isNull();
    place.number = row.number.type == db::ValueType::Real ? static_cast<long long>(row.number.real)
                                                          : row.number.integer;
    place.rowId = row.rowId;
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
bool comesBefore(const LedgerRow &row, const RowPlace &place)
{
    const int byDate = withoutTrailingBlanks(row.date.text).compare(place.date);
    if (byDate != 0)
        return byDate < 0;
    return compare(placeOf(row), place) < 0;
}

void addAmount(db::ExactSum &sum, const LedgerRow &row)
{
    switch (row.amount.type) {
    case db::ValueType::Null:
        return;
    case db::ValueType::Integer:
        sum.addInteger(row.amount.integer);
        return;
    case db::ValueType::Real:
        sum.addReal(row.amount.real);
        return;
    default:
        row.query->addTo(sum, LedgerRow::kAmountColumn);
    }
}

void addRow(Group &group, const LedgerRow &row)
{
    const bool first = group.rows == 0;
    ++group.rows;
    if (!row.number.isNull())
        ++group.numbered;
    addAmount(group.sum, row);
    if (first || comesBefore(row, group.first)) {
        group.first = placeOf(row);
        group.label = row.label.text;
        group.direction = row.direction.text;
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

int LedgerGroups::indexOf(const Field &direction, const Field &label)
{
    m_keyBuffer.clear();
    appendKey(m_keyBuffer, direction);
    const std::size_t labelAt = m_keyBuffer.size();
    appendKey(m_keyBuffer, label);
    if (const auto it = m_index.find(m_keyBuffer); it != m_index.end())
        return it->second;
    const int index = static_cast<int>(m_keys.size());
    m_keys.push_back(Key{keyOf(direction), keyOf(label)});
    m_index.emplace(m_keyBuffer, index);
    m_byLabel[m_keyBuffer.substr(labelAt)].push_back(index);
    if (!m_byDay)
        m_groups.emplace_back();
    return index;
}

void LedgerGroups::addGroup(const Field &direction, const Field &label, const Group &group)
{
    m_groups[indexOf(direction, label)].merge(group);
}

void LedgerGroups::add(const LedgerRow &row)
{
    const int index = indexOf(row.direction, row.label);
    if (!m_byDay) {
        addRow(m_groups[index], row);
        return;
    }
    // The rows of a day mostly come one after another.
    if (!m_lastDayGroups || row.day != m_lastDay) {
        m_lastDay = row.day;
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

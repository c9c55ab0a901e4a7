#pragma once

#include "db/exact_sum.h"
#include "stats/range_rows.h"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stats {

// A text field as the engine groups and compares it: the ledger's text
// columns ignore trailing blanks, and NULL stands apart from every text.
struct TextKey {
    bool null = true;
    std::string text; // without its trailing blanks

    static TextKey of(std::string_view text);
    bool operator==(const TextKey &other) const { return null == other.null && text == other.text; }
};
// NULL first, then the texts byte by byte: the order of the indexes.
bool operator<(const TextKey &a, const TextKey &b);

// Where a row stands among the rows of its group in the order the engine's
// indexes meet them (date, amount, number, row id): the first one names a
// group whose rows differ in trailing blanks.
struct RowPlace {
    std::string date; // without trailing blanks
    int amountClass = 0; // 0 NULL, 1 number, 2 text
    double amount = 0;
    std::string amountText;
    bool numberNull = true;
    long long number = 0;
    long long rowId = 0;
};

// Rows summed together: count(1), the count of the rows whose number field
// is not NULL, the sum of their amounts, and the stored texts of the group's
// first row.
struct Group {
    long long rows = 0;
    long long numbered = 0;
    db::ExactSum sum;
    std::string label;
    std::string direction;
    RowPlace first;

    void merge(const Group &other);
};

// The rows of a ledger in a range, summed by direction and label (for the
// journal: type and category; the bank ledger: PayGet and bank), over the
// whole range or day by day.
class LedgerGroups {
public:
    struct Key {
        TextKey direction;
        TextKey label;
    };
    // A day's groups, by the index of their key.
    using DayGroups = std::vector<std::pair<int, Group>>;

    explicit LedgerGroups(bool byDay) : m_byDay(byDay) {}

    void add(const LedgerRow &row);
    // A group summed elsewhere (over the whole range only).
    void addGroup(const Field &direction, const Field &label, const Group &group);

    const std::vector<Key> &keys() const { return m_keys; }
    // The groups of the whole range (not by day), by the index of their key.
    const std::vector<Group> &groups() const { return m_groups; }
    // The days of the range in order, each with its groups (by day only).
    const std::map<std::string, DayGroups> &days() const { return m_days; }
    // The indexes of keys in the engine's order: by direction, then label.
    std::vector<int> ordered() const;
    // The indexes of the keys with a label, or -1 for none with the pair.
    const std::vector<int> &withLabel(const TextKey &label) const;
    int find(const TextKey &direction, const TextKey &label) const;

private:
    int indexOf(const Field &direction, const Field &label);

    bool m_byDay;
    std::vector<Key> m_keys;
    std::unordered_map<std::string, int> m_index;
    std::map<std::string, std::vector<int>> m_byLabel;
    std::vector<Group> m_groups;
    std::map<std::string, DayGroups> m_days;
    std::string m_lastDay;
    DayGroups *m_lastDayGroups = nullptr;
    std::string m_keyBuffer;
};

} // namespace stats

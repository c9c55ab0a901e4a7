#include "stats/tree_table.h"

#include "db/connection.h"
#include "db/dialect.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace stats {

namespace {

NumberKey integerKey(long long value)
{
    NumberKey key;
    key.kind = NumberKey::Whole;
    key.whole = value;
    return key;
}

NumberKey realKey(double value)
{
    // 2^63: every whole double below it in size is a 64-bit integer.
    constexpr double kWholeLimit = 9223372036854775808.0;
    if (value == std::floor(value) && std::fabs(value) < kWholeLimit)
        return integerKey(static_cast<long long>(value));
    NumberKey key;
    key.kind = NumberKey::Fraction;
    key.fraction = value;
    return key;
}

NumberKey numberOf(const db::Query &row, int column)
{
    switch (row.type(column)) {
    case db::ValueType::Integer:
        return integerKey(row.integer(column));
    case db::ValueType::Real:
        return realKey(row.real(column));
    default:
        return {};
    }
}

TextKey textKeyOf(const db::Query &row, int column)
{
    return row.type(column) == db::ValueType::Null ? TextKey{} : TextKey::of(row.field(column));
}

// val(Mid(path, start, 4)) as the dialect computes it: Mid of NULL is NULL,
// and val of NULL is 0.
NumberKey pathNumber(const TreeTable::Node &node, int start)
{
    if (node.noPathKey)
        return integerKey(0);
    return realKey(db::valOf(db::characterSlice(node.pathKey, static_cast<std::size_t>(start - 1), 4)));
}

} // namespace

bool NumberKey::operator<(const NumberKey &other) const
{
    return std::tie(kind, whole, fraction) < std::tie(other.kind, other.whole, other.fraction);
}

bool NumberKey::operator==(const NumberKey &other) const
{
    return kind != None && kind == other.kind && whole == other.whole && fraction == other.fraction;
}

TreeTable::TreeTable(db::Connection &connection, const char *table, const char *nameColumn, const char *parentColumn)
{
    db::Query q = connection.query(std::string("SELECT rowid, Num, ") + nameColumn + ", nLevel, " + parentColumn +
                                   ", FullID FROM " + table + " ORDER BY rowid");
    while (q.next()) {
        Node node;
        node.rowId = q.integer(0);
        node.number = numberOf(q, 1);
        node.name = q.field(2);
        node.nameKey = textKeyOf(q, 2);
        node.level = numberOf(q, 3);
        node.parentKey = textKeyOf(q, 4);
        node.noPathKey = q.type(5) == db::ValueType::Null;
        node.pathKey = q.field(5);
        m_nodes.push_back(std::move(node));
    }
    for (const Node &node : m_nodes) {
        if (!node.parentKey.null)
            m_byParent[node.parentKey.text].push_back(&node);
        if (node.nameKey.null)
            m_nullName = true;
        else
            m_names.insert(node.nameKey.text);
    }
}

const std::multimap<NumberKey, const TreeTable::Node *> &TreeTable::membersAt(int start) const
{
    auto [it, made] = m_members.try_emplace(start);
    if (made)
        for (const Node &node : m_nodes)
            it->second.emplace(pathNumber(node, start), &node);
    return it->second;
}

std::vector<TreeTable::Pair> TreeTable::pairs(const std::string &parent, int level, int start) const
{
    std::vector<Pair> out;
    const auto found = m_byParent.find(TextKey::of(parent).text);
    if (found == m_byParent.end())
        return out;
    std::vector<const Node *> children;
    for (const Node *node : found->second)
        if (node->level == integerKey(level))
            children.push_back(node);
    for (const Node *child : children)
        out.push_back(Pair{child, child});
    std::vector<Pair> branch;
    const auto &members = membersAt(start);
    for (const Node *child : children) {
        const auto [first, last] = members.equal_range(child->number);
        for (auto it = first; it != last; ++it)
            if (child->number == it->first)
                branch.push_back(Pair{child, it->second});
    }
    std::sort(branch.begin(), branch.end(), [](const Pair &a, const Pair &b) {
        return std::tie(a.member->rowId, a.child->rowId) < std::tie(b.member->rowId, b.child->rowId);
    });
    out.insert(out.end(), branch.begin(), branch.end());
    return out;
}

bool TreeTable::excludes(const TextKey &name) const
{
    if (m_nodes.empty())
        return true;
    if (name.null || m_nullName)
        return false;
    return m_names.count(name.text) == 0;
}

} // namespace stats

#pragma once

#include "stats/ledger_groups.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace stats {

// A number as the engine compares one: two numbers are equal when their
// values are, an integer and a real alike; nothing equals "none" (NULL, or
// a text in a number column).
struct NumberKey {
    enum Kind { None, Whole, Fraction } kind = None;
    long long whole = 0;
    double fraction = 0;

    bool operator<(const NumberKey &other) const;
    bool operator==(const NumberKey &other) const;
};

// A category or bank tree as the roll-up statements see its rows.
class TreeTable {
public:
    struct Node {
        long long rowId = 0;
        NumberKey number;
        std::string name; // as stored ("" for NULL)
        TextKey nameKey;
        TextKey parentKey;
        NumberKey level;
        bool noPathKey = true;
        std::string pathKey;
    };
    // A row of a roll-up's derived table: a child of the parent, and a member
    // of the child's branch (the child itself, or a node whose path key
    // carries the child's number).
    struct Pair {
        const Node *child;
        const Node *member;
    };

    // table with its name and parent columns: PayStyle, Style, ParentStyle.
    TreeTable(db::Connection &connection, const char *table, const char *nameColumn, const char *parentColumn);

    // The derived table of a roll-up in the order the engine makes it: each
    // child of parent at level paired with itself, in the order of the rows,
    // then every node paired with the child whose number stands in its path
    // key at start (Mid(FullID, start, 4)), in the order of the nodes.
    std::vector<Pair> pairs(const std::string &parent, int level, int start) const;
    // Whether "name NOT IN (the names of the tree)" holds.
    bool excludes(const TextKey &name) const;

private:
    const std::multimap<NumberKey, const Node *> &membersAt(int start) const;

    std::vector<Node> m_nodes; // in row order
    std::map<std::string, std::vector<const Node *>> m_byParent;
    std::set<std::string> m_names;
    bool m_nullName = false;
    mutable std::map<int, std::multimap<NumberKey, const Node *>> m_members;
};

} // namespace stats

#include "setup/tree_store.h"

#include "db/connection.h"
#include "db/text.h"

#include <cstdio>
#include <functional>

namespace setup {

using db::quote;

namespace {

const TreeSpec kSpecs[] = {
    {"GetStyle", "Style", "ParentStyle", "收入类型", "投资", kMsgProtectedCategory},
    {"PayStyle", "Style", "ParentStyle", "支出类型", "投资", kMsgProtectedCategory},
    {"Bank", "BankName", "ParentBank", "我的存款银行", "现金银行", kMsgProtectedCash},
};

std::string levelQuery(TreeKind kind, TreeQuery query, int level, const std::string &parent)
{
    const std::string n = std::to_string(level);
    switch (kind) {
    case TreeKind::Income:
        return (query == TreeQuery::Settings ? "SELECT Style FROM GetStyle where nLevel= "
                                             : "SELECT * FROM GetStyle where nLevel= ") +
               n + "  and ParentStyle = '" + quote(parent) + "' order by Num";
    case TreeKind::Expense:
        return (query == TreeQuery::Settings ? "SELECT Style FROM PayStyle where nLevel= "
                                             : "SELECT * FROM PayStyle where nLevel= ") +
               n + "  and ParentStyle = '" + quote(parent) + "' order by Num";
    case TreeKind::Bank:
        break;
    }
    return "SELECT * FROM Bank where nLevel= " + n + "  and ParentBank = '" + quote(parent) + "' order by Num";
}

void loadChildren(db::Connection &c, TreeKind kind, TreeQuery query, TreeNode &parent, int level)
{
    std::vector<std::string> names;
    {
        db::Query q = c.query(levelQuery(kind, query, level, parent.name));
        while (q.next())
            names.push_back(q.field(treeSpec(kind).nameColumn));
    }
    for (const std::string &name : names) {
        parent.children.push_back({name, {}});
        loadChildren(c, kind, query, parent.children.back(), level + 1);
    }
}

const TreeNode *findNode(const TreeNode &node, const std::string &name)
{
    if (node.name == name)
        return &node;
    for (const TreeNode &child : node.children)
        if (const TreeNode *found = findNode(child, name))
            return found;
    return nullptr;
}

void collectNames(const TreeNode &node, std::vector<std::string> &out)
{
    out.push_back(node.name);
    for (const TreeNode &child : node.children)
        collectNames(child, out);
}

struct NodePlace {
    std::string num;
    std::string level;
    std::string fullId;
};

// The number, level and key of a node read by name from its table.
std::optional<NodePlace> readPlace(db::Connection &c, const TreeSpec &spec, const std::string &name)
{
    db::Query q = c.query(std::string("SELECT * FROM ") + spec.table + " where " + spec.nameColumn + " = '" +
                          quote(name) + "' ");
    std::optional<NodePlace> place;
    while (q.next())
        place = NodePlace{q.field("Num"), q.field("nLevel"), q.field("FullID")};
    return place;
}

std::string plusOne(const std::string &level)
{
    return std::to_string(static_cast<long long>(db::leadingNumber(level)) + 1);
}

} // namespace

const TreeSpec &treeSpec(TreeKind kind) { return kSpecs[static_cast<int>(kind)]; }

std::optional<TreeKind> treeKindOfRoot(const std::string &rootText)
{
    for (TreeKind kind : {TreeKind::Income, TreeKind::Expense, TreeKind::Bank})
        if (rootText == treeSpec(kind).rootText)
            return kind;
    return std::nullopt;
}

std::string childFullId(const std::string &parentFullId, const std::string &parentNum)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04lld", static_cast<long long>(db::leadingNumber(parentNum)));
    return parentFullId + digits;
}

TreeNode loadTree(db::Connection &c, TreeKind kind, TreeQuery query)
{
    TreeNode root{treeSpec(kind).rootText, {}};
    loadChildren(c, kind, query, root, 1);
    return root;
}

bool treeContains(const TreeNode &root, const std::string &name) { return findNode(root, name) != nullptr; }

EditResult addNode(db::Connection &c, TreeKind kind, const std::string &parent, const std::string &name)
{
    const TreeSpec &spec = treeSpec(kind);
    if (parent.empty())
        return {false, kMsgNoParent};
    if (name.empty())
        return {false, ""};
    if (name == spec.rootText ||
        c.scalar(std::string("select count(*) as n from ") + spec.table + " where " + spec.nameColumn + " = '" +
                     quote(name) + "'",
                 "n") != "0")
        return {false, kMsgDuplicateName};

    db::Transaction transaction(c);
    std::string first;
    std::string level;
    std::string path;
    const std::string parentQuery =
        kind == TreeKind::Income    ? "SELECT Num,nLevel,Style,FullID FROM GetStyle where Style ='" + quote(parent) + "' "
        : kind == TreeKind::Expense ? "SELECT Num,Style,nLevel,FirstLevel,ParentStyle,FullID FROM PayStyle where Style ='" +
                                          quote(parent) + "' "
                                    : "SELECT Num,nLevel,BankName,FullID FROM Bank where BankName ='" + quote(parent) + "' ";
    bool parentFound = false;
    {
        db::Query q = c.query(parentQuery);
        while (q.next()) {
            parentFound = true;
            first = q.field("Num");
            level = plusOne(q.field("nLevel"));
            path = childFullId(q.field("FullID"), q.field("Num"));
        }
    }
    const std::string next = c.scalar(std::string("SELECT  iif((max(Num)+1) is null ,1,max(Num)+1)\t as nMax FROM ") +
                                          spec.table + " ",
                                      "nMax");
    if (parent == spec.rootText) {
        level = "1";
        first = "0";
        path = "0000";
    } else if (!parentFound) {
        return {false, kMsgNoParent};
    }
    c.execute(std::string("INSERT INTO ") + spec.table + " (Num," + spec.nameColumn + ",nLevel,FirstLevel," +
              spec.parentColumn + ",FullID)  VALUES (" + next + ", '" + quote(name) + "', " + level + "," + first +
              ",'" + quote(parent) + "','" + path + "')");
    transaction.commit();
    return {true, ""};
}

EditResult deleteNode(db::Connection &c, TreeKind kind, const std::string &name)
{
    const TreeSpec &spec = treeSpec(kind);
    if (name == spec.protectedName)
        return {false, spec.protectedMessage};
    if (name.empty() || name == spec.rootText)
        return {false, ""};
    // The branch as the tree shows it; a protected node inside it keeps the
    // whole branch from being deleted.
    const TreeNode root = loadTree(c, kind);
    std::vector<std::string> branch;
    if (const TreeNode *node = findNode(root, name))
        collectNames(*node, branch);
    else
        branch.push_back(name);
    for (const std::string &member : branch)
        if (member == spec.protectedName)
            return {false, spec.protectedMessage};

    db::Transaction transaction(c);
    for (const std::string &member : branch)
        c.execute(std::string("delete from ") + spec.table + " where " + spec.nameColumn + " ='" + quote(member) + "'");
    transaction.commit();
    return {true, ""};
}

EditResult moveNode(db::Connection &c, TreeKind kind, const std::string &dragged, const std::string &target)
{
    const TreeSpec &spec = treeSpec(kind);
    if (dragged.empty() || target.empty() || dragged == target || dragged == spec.rootText)
        return {false, ""};
    const TreeNode root = loadTree(c, kind);
    const TreeNode *node = findNode(root, dragged);
    if (!node || findNode(*node, target))
        return {false, ""}; // not in the tree, or a drop inside its own branch
    if (target != spec.rootText && !findNode(root, target))
        return {false, ""};

    db::Transaction transaction(c);
    // Rewrites one node under its new parent, then its children under it.
    std::function<void(const TreeNode &, const std::string &)> rewrite = [&](const TreeNode &moved,
                                                                             const std::string &parent) {
        std::string level = "1";
        std::string first = "0";
        std::string path = "0000";
        if (parent != spec.rootText) {
            const std::optional<NodePlace> place = readPlace(c, spec, parent);
            if (!place)
                throw db::Error("no row for " + parent);
            level = plusOne(place->level);
            first = place->num;
            path = childFullId(place->fullId, place->num);
        }
        c.execute(std::string("update ") + spec.table + " set " + spec.parentColumn + "= '" + quote(parent) +
                  "',nLevel=" + level + ",FirstLevel=" + first + ",FullID='" + path + "' where " + spec.nameColumn +
                  " = '" + quote(moved.name) + "' ");
        for (const TreeNode &child : moved.children)
            rewrite(child, moved.name);
    };
    rewrite(*node, target);
    transaction.commit();
    return {true, ""};
}

} // namespace setup

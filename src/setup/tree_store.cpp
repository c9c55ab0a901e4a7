#include "setup/tree_store.h"

#include "db/connection.h"
#include "db/text.h"
#include "db/tree_limits.h"
#include "setup/budgets.h"

#include <cstdio>
#include <functional>
#include <set>

namespace setup {

using db::quote;

static_assert(db::kMaxTreeDepth == 32, "kMsgTreeTooDeep names the deepest level");

namespace {

const TreeSpec kSpecs[] = {
    {"GetStyle", "Style", "ParentStyle", "收入类型", "投资", kMsgProtectedCategory, kMsgMoveProtectedCategory},
    {"PayStyle", "Style", "ParentStyle", "支出类型", "投资", kMsgProtectedCategory, kMsgMoveProtectedCategory},
    {"Bank", "BankName", "ParentBank", "我的存款银行", "现金银行", kMsgProtectedCash, kMsgMoveProtectedCash},
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

// One walk of a tree. A damaged or foreign table may hold a chain deeper
// than any tree the program builds, or one name on several rows, whose
// children every row of that name would load again (a tree of doublings):
// the walk stops at the deepest level it shows and loads the children of a
// name once, and says that it left rows out.
struct TreeWalk {
    db::Connection &c;
    TreeKind kind;
    TreeQuery query;
    std::set<std::string> seen; // names already in the tree, trailing blanks ignored
    bool cut = false;
};

void loadChildren(TreeWalk &walk, TreeNode &parent, int level)
{
    const std::string sql = levelQuery(walk.kind, walk.query, level, parent.name);
    if (level > db::kMaxTreeDepth) {
        walk.cut = walk.cut || walk.c.query(sql).next();
        return;
    }
    std::vector<std::string> names;
    {
        db::Query q = walk.c.query(sql);
        while (q.next())
            names.push_back(q.field(treeSpec(walk.kind).nameColumn));
    }
    for (const std::string &name : names) {
        parent.children.push_back({name, {}});
        if (walk.seen.insert(nameKey(name)).second)
            loadChildren(walk, parent.children.back(), level + 1);
        else
            walk.cut = true;
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

bool allDigits(const std::string &text, std::size_t maxLength)
{
    if (text.size() > maxLength)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Stored numbers and keys go into statements unquoted or unescaped: a row
// whose values are not what the program writes (a tampered or damaged file)
// is refused rather than allowed to run text of its own.
bool placeIsSound(const NodePlace &p)
{
    return !p.num.empty() && allDigits(p.num, 9) && allDigits(p.level, 9) && allDigits(p.fullId, 400);
}

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

std::string plusOne(const std::string &level) { return std::to_string(std::stoll(level.empty() ? "0" : level) + 1); }

// How the undo history names an edit of a tree: "增加支出类型 早餐".
std::string editLabel(const char *verb, TreeKind kind, const std::string &name)
{
    const char *const noun = kind == TreeKind::Income ? "收入类型" : kind == TreeKind::Expense ? "支出类型" : "银行";
    return std::string(verb) + noun + " " + name;
}

} // namespace

const TreeSpec &treeSpec(TreeKind kind) { return kSpecs[static_cast<int>(kind)]; }

std::string nameKey(std::string name)
{
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

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

TreeNode loadTree(db::Connection &c, TreeKind kind, TreeQuery query, std::string *cutMessage)
{
    TreeNode root{treeSpec(kind).rootText, {}};
    TreeWalk walk{c, kind, query, {root.name}, false};
    loadChildren(walk, root, 1);
    if (cutMessage)
        *cutMessage = walk.cut ? treeCutMessage(kind) : std::string();
    return root;
}

std::string treeCutMessage(TreeKind kind)
{
    return std::string(treeSpec(kind).rootText) + "的资料有问题（层次超过" + std::to_string(db::kMaxTreeDepth) +
           "层，或有重复的名称），这里只显示了一部分。请用 pennaro-cli check 检查帐本，或从备份恢复。";
}

bool treeContains(const TreeNode &root, const std::string &name) { return findNode(root, name) != nullptr; }

bool nameInUse(db::Connection &c, TreeKind kind, const std::string &name)
{
    const TreeSpec &spec = treeSpec(kind);
    const std::string trimmed = db::trim(name);
    return trimmed == spec.rootText ||
           c.scalar(std::string("select count(*) as n from ") + spec.table + " where " + spec.nameColumn + " = '" +
                        quote(trimmed) + "'",
                    "n") != "0";
}

db::Result checkNodeName(const std::string &name)
{
    if (name.find('\\') != std::string::npos)
        return db::Result::refused(kMsgBackslashInName);
    if (db::utf8Length(name) > kMaxNodeName)
        return db::Result::refused(kMsgNameTooLong);
    return db::Result::ok();
}

db::Result addNode(db::Connection &c, TreeKind kind, const std::string &parent, const std::string &typedName)
{
    const TreeSpec &spec = treeSpec(kind);
    const std::string name = db::trim(typedName);
    if (parent.empty())
        return db::Result::refused(kMsgNoParent);
    if (name.empty())
        return db::Result::refused("");
    if (db::Result sound = checkNodeName(name); !sound)
        return sound;
    if (nameInUse(c, kind, name))
        return db::Result::refused(kMsgDuplicateName);

    db::Transaction transaction(c, editLabel("增加", kind, name));
    NodePlace parentPlace;
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
            parentPlace = NodePlace{q.field("Num"), q.field("nLevel"), q.field("FullID")};
        }
    }
    const std::string next = c.scalar(std::string("SELECT  iif((max(Num)+1) is null ,1,max(Num)+1)\t as nMax FROM ") +
                                          spec.table + " ",
                                      "nMax");
    if (!allDigits(next, 9) || next.empty())
        return db::Result::refused(kMsgDamagedRow + std::string(spec.table));
    std::string first = "0";
    std::string level = "1";
    std::string path = "0000";
    if (parent != spec.rootText) {
        if (!parentFound)
            return db::Result::refused(kMsgNoParent);
        if (!placeIsSound(parentPlace))
            return db::Result::refused(kMsgDamagedRow + parent);
        first = parentPlace.num;
        level = plusOne(parentPlace.level);
        if (std::stoll(level) > db::kMaxTreeDepth)
            return db::Result::refused(kMsgTreeTooDeep);
        path = childFullId(parentPlace.fullId, parentPlace.num);
    }
    c.execute(std::string("INSERT INTO ") + spec.table + " (Num," + spec.nameColumn + ",nLevel,FirstLevel," +
              spec.parentColumn + ",FullID)  VALUES (" + next + ", '" + quote(name) + "', " + level + "," + first +
              ",'" + quote(parent) + "','" + path + "')");
    transaction.commit();
    return db::Result::ok();
}

namespace {

// The names a delete removes, the node's own first: its branch as the tree
// shows it. A protected node inside the branch keeps all of it.
db::Result branchToDelete(db::Connection &c, TreeKind kind, const std::string &name, std::vector<std::string> &branch)
{
    const TreeSpec &spec = treeSpec(kind);
    if (name == spec.protectedName)
        return db::Result::refused(spec.protectedMessage);
    if (name.empty() || name == spec.rootText)
        return db::Result::refused("");
    const TreeNode root = loadTree(c, kind);
    if (const TreeNode *node = findNode(root, name))
        collectNames(*node, branch);
    else
        branch.push_back(name);
    for (const std::string &member : branch)
        if (member == spec.protectedName)
            return db::Result::refused(spec.protectedMessage);
    return db::Result::ok();
}

} // namespace

db::Result deleteNode(db::Connection &c, TreeKind kind, const std::string &name)
{
    const TreeSpec &spec = treeSpec(kind);
    std::vector<std::string> branch;
    if (db::Result allowed = branchToDelete(c, kind, name, branch); !allowed)
        return allowed;
    db::Transaction transaction(c, editLabel("删除", kind, name));
    for (const std::string &member : branch)
        c.execute(std::string("delete from ") + spec.table + " where " + spec.nameColumn + " ='" + quote(member) + "'");
    if (kind == TreeKind::Expense)
        forgetBudgets(c, branch);
    transaction.commit();
    return db::Result::ok();
}

db::Result deleteImpact(db::Connection &c, TreeKind kind, const std::string &name, DeleteImpact &impact)
{
    std::vector<std::string> branch;
    if (db::Result allowed = branchToDelete(c, kind, name, branch); !allowed)
        return allowed;
    std::string names;
    for (const std::string &member : branch)
        names += (names.empty() ? "'" : ",'") + quote(member) + "'";
    const std::string where = kind == TreeKind::Bank     ? "银行 in (" + names + ")"
                              : kind == TreeKind::Income ? "收负类型 = '收' and 帐目类型 in (" + names + ")"
                                                         : "收负类型 = '付' and 帐目类型 in (" + names + ")";
    impact.below = static_cast<int>(branch.size()) - 1;
    impact.entries = std::stoll(c.scalar("select count(*) as n from account where " + where, "n"));
    return db::Result::ok();
}

std::string deleteQuestion(TreeKind kind, const std::string &name, const DeleteImpact &impact)
{
    const std::string them = impact.below > 0 ? "这些项目" : "它";
    std::string text = "确定要删除“" + name + "”吗？\n";
    text += impact.below > 0 ? "它下面的 " + std::to_string(impact.below) + " 项会一起删除。\n"
                             : std::string("它下面没有别的项目。\n");
    if (impact.entries > 0)
        text += "有 " + std::to_string(impact.entries) + " 笔帐目用到" + them + "：帐目会保留，但不再计入" +
                (kind == TreeKind::Bank ? "这个帐户" : "这一类") + "的统计。";
    else
        text += "没有帐目用到" + them + "。";
    return text;
}

db::Result moveNode(db::Connection &c, TreeKind kind, const std::string &dragged, const std::string &target)
{
    const TreeSpec &spec = treeSpec(kind);
    if (dragged.empty() || target.empty() || dragged == target || dragged == spec.rootText)
        return db::Result::refused("");
    const TreeNode root = loadTree(c, kind);
    const TreeNode *node = findNode(root, dragged);
    if (!node || findNode(*node, target))
        return db::Result::refused(""); // not in the tree, or a drop inside its own branch
    if (target != spec.rootText && !findNode(root, target))
        return db::Result::refused("");
    // Moving the investment node would make its children stop counting as
    // investments; the cash node stays where every reader expects it.
    std::vector<std::string> branch;
    collectNames(*node, branch);
    for (const std::string &member : branch)
        if (member == spec.protectedName)
            return db::Result::refused(spec.protectedMoveMessage);

    // Where each node of the branch goes, worked out before anything is
    // written: the moved node under the target, each child under its parent.
    struct Move {
        std::string name;
        std::string parent;
        NodePlace place; // the new level, first-level value (in num) and key
    };
    std::vector<Move> moves;
    NodePlace top{"0", "1", "0000"};
    if (target != spec.rootText) {
        const std::optional<NodePlace> place = readPlace(c, spec, target);
        if (!place)
            return db::Result::refused(kMsgNoSuchNode + target);
        if (!placeIsSound(*place))
            return db::Result::refused(kMsgDamagedRow + target);
        top = NodePlace{place->num, plusOne(place->level), childFullId(place->fullId, place->num)};
    }
    std::function<std::optional<std::string>(const TreeNode &, const std::string &, const NodePlace &)> plan =
        [&](const TreeNode &moved, const std::string &parent, const NodePlace &place) -> std::optional<std::string> {
        if (std::stoll(place.level) > db::kMaxTreeDepth)
            return kMsgTreeTooDeep;
        moves.push_back({moved.name, parent, place});
        if (moved.children.empty())
            return std::nullopt;
        const std::optional<NodePlace> own = readPlace(c, spec, moved.name);
        if (!own)
            return kMsgNoSuchNode + moved.name;
        if (!placeIsSound(*own))
            return kMsgDamagedRow + moved.name;
        const NodePlace below{own->num, plusOne(place.level), childFullId(place.fullId, own->num)};
        for (const TreeNode &child : moved.children)
            if (std::optional<std::string> problem = plan(child, moved.name, below))
                return problem;
        return std::nullopt;
    };
    if (std::optional<std::string> problem = plan(*node, target, top))
        return db::Result::refused(*problem);

    db::Transaction transaction(c, editLabel("移动", kind, dragged));
    for (const Move &m : moves)
        c.execute(std::string("update ") + spec.table + " set " + spec.parentColumn + "= '" + quote(m.parent) +
                  "',nLevel=" + m.place.level + ",FirstLevel=" + m.place.num + ",FullID='" + m.place.fullId +
                  "' where " + spec.nameColumn + " = '" + quote(m.name) + "' ");
    transaction.commit();
    return db::Result::ok();
}

} // namespace setup

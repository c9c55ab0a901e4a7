#pragma once

#include "db/result.h"

#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace setup {

enum class TreeKind { Income, Expense, Bank };

inline constexpr const char *kMsgDuplicateName = "该数据项已存在，请重新输入!";
inline constexpr const char *kMsgNoParent = "请先选择要在其下增加的项目";
inline constexpr const char *kMsgProtectedCategory = "投资类型关系到投资帐,请不要删除!";
inline constexpr const char *kMsgProtectedCash = "现金是不能删除的，您肯定是搞错了，请重新选择";
inline constexpr const char *kMsgMoveProtectedCategory = "投资类型关系到投资帐,请不要移动!";
inline constexpr const char *kMsgMoveProtectedCash = "现金银行不能移动到别处，请重新选择";
inline constexpr const char *kMsgDamagedRow = "数据库中这一项的资料已损坏，不能使用: ";
inline constexpr const char *kMsgNoSuchNode = "找不到这一项: ";
inline constexpr const char *kMsgBackslashInName = "名称里不能有反斜杠“\\”，请重新输入";
inline constexpr const char *kMsgNameTooLong = "名称太长，最多40个字，请重新输入";
inline constexpr const char *kMsgTreeTooDeep = "树最多只能有32层，请换一个位置";
// The longest name of a tree node, in characters.
inline constexpr std::size_t kMaxNodeName = 40;

struct TreeSpec {
    const char *table;
    const char *nameColumn;
    const char *parentColumn;
    const char *rootText;
    const char *protectedName;
    const char *protectedMessage;
    const char *protectedMoveMessage;
};
const TreeSpec &treeSpec(TreeKind kind);
// The tree whose root node bears this text, if any.
std::optional<TreeKind> treeKindOfRoot(const std::string &rootText);

// A name as the tables compare it: trailing blanks ignored.
std::string nameKey(std::string name);

struct TreeNode {
    std::string name;
    std::vector<TreeNode> children;
};

// Which columns the level queries read: the settings dialog reads the name
// only from the category tables, the pickers read whole rows.
enum class TreeQuery { Settings, Picker };

// Loads a tree level by level in Num order, depth first. The root carries
// the root node text; rows that the walk does not reach are left out. The
// walk goes no deeper than db::kMaxTreeDepth levels and loads the children
// of a name once (a repeated name is shown without them); when that left
// rows out, cutMessage (if given) receives treeCutMessage, otherwise "".
TreeNode loadTree(db::Connection &c, TreeKind kind, TreeQuery query = TreeQuery::Settings,
                  std::string *cutMessage = nullptr);
// What a window shows when a tree was loaded only in part.
std::string treeCutMessage(TreeKind kind);

// True when name is the root text or the name of any node of the tree.
bool treeContains(const TreeNode &root, const std::string &name);

// True when the name is the root text or is held by a row of the table,
// trailing blanks ignored (rows the tree walk does not reach count too).
bool nameInUse(db::Connection &c, TreeKind kind, const std::string &name);

// Whether a (trimmed) name may name a node: the pickers join the names of
// a path with "\", so a name holding one would record another node; and a
// name longer than kMaxNodeName fits no message or list.
db::Result checkNodeName(const std::string &name);

// Adds name (trimmed) under parent (the root node text for the first level),
// all in one transaction. Refused without a parent, for a name already used,
// for one that checkNodeName refuses and below the deepest level the trees
// show; an empty name is refused silently.
db::Result addNode(db::Connection &c, TreeKind kind, const std::string &parent, const std::string &name);

// Deletes a node with its whole branch. The protected node, or a branch that
// holds it, is refused with the tree's message.
db::Result deleteNode(db::Connection &c, TreeKind kind, const std::string &name);

// What deleting a node takes with it: the nodes below it, and the entries
// of the journal that name a node of the branch (a category on its side of
// the books, or a bank). Those entries stay, but no statistic of the tree
// counts them any more.
struct DeleteImpact {
    int below = 0;
    long long entries = 0;
};
// Refuses as deleteNode refuses; otherwise counts what the delete would take.
db::Result deleteImpact(db::Connection &c, TreeKind kind, const std::string &name, DeleteImpact &impact);
// The question asked before a delete, naming the node and both counts.
std::string deleteQuestion(TreeKind kind, const std::string &name, const DeleteImpact &impact);

// Moves a node under target, rewriting the level and path key of its whole
// branch. A drop on itself or inside its own branch changes nothing; the
// protected node, or a branch that holds it, and a move that would take a
// node below the deepest level the trees show are refused with a message.
db::Result moveNode(db::Connection &c, TreeKind kind, const std::string &dragged, const std::string &target);

// The path key of a child of a node: the node's key and its number as four digits.
std::string childFullId(const std::string &parentFullId, const std::string &parentNum);

} // namespace setup

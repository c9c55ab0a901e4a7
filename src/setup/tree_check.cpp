#include "setup/tree_check.h"

#include "db/connection.h"
#include "db/tree_limits.h"
#include "setup/tree_store.h"

#include <algorithm>
#include <map>
#include <set>

namespace setup {

namespace {

constexpr int kBroken = -1;            // below a missing parent or a circle
constexpr std::size_t kCircleShown = 6; // names of a circle printed at most

std::string circleText(const std::vector<std::string> &circle)
{
    std::string text;
    for (std::size_t i = 0; i < circle.size() && i < kCircleShown; ++i)
        text += circle[i] + " → ";
    if (circle.size() > kCircleShown)
        text += "…（共 " + std::to_string(circle.size()) + " 项） → ";
    return text + circle.front();
}

void checkTree(db::Connection &c, TreeKind kind, std::vector<std::string> &problems)
{
    const TreeSpec &spec = treeSpec(kind);
    const std::string tree = spec.rootText;
    std::map<std::string, std::string> parentOf; // names compare without trailing blanks
    std::map<std::string, int> rows;
    std::vector<std::string> order;
    {
        db::Query q = c.query(std::string("select ") + spec.nameColumn + " as name, " + spec.parentColumn +
                              " as parent from " + spec.table + " order by Num");
        while (q.next()) {
            const std::string name = nameKey(q.field("name"));
            if (rows[name]++ == 0) {
                parentOf[name] = nameKey(q.field("parent"));
                order.push_back(name);
            }
        }
    }
    for (const std::string &name : order) {
        if (rows[name] > 1)
            problems.push_back(tree + ": 名称“" + name + "”有 " + std::to_string(rows[name]) + " 行，名称应当唯一");
        if (name.find('\\') != std::string::npos)
            problems.push_back(tree + ": 名称“" + name + "”含有反斜杠，选它记帐会记成别的名称");
    }

    // Each node's depth by its parents (1 below the root), worked out once.
    std::map<std::string, int> depth;
    int tooDeep = 0;
    int deepest = 0;
    for (const std::string &name : order) {
        std::vector<std::string> path;
        std::set<std::string> onPath;
        std::string at = name;
        int base = 0;
        for (;;) {
            if (at == tree)
                break;
            if (const auto known = depth.find(at); known != depth.end()) {
                base = known->second;
                break;
            }
            const auto parent = parentOf.find(at);
            if (parent == parentOf.end()) {
                problems.push_back(tree + ": “" + path.back() + "”的上级“" + at + "”不存在");
                base = kBroken;
                break;
            }
            if (!onPath.insert(at).second) {
                std::vector<std::string> circle(std::find(path.begin(), path.end(), at), path.end());
                problems.push_back(tree + ": 上级关系绕成了圈: " + circleText(circle));
                base = kBroken;
                break;
            }
            path.push_back(at);
            at = parent->second;
        }
        for (std::size_t i = path.size(); i-- > 0;) {
            const int d = base == kBroken ? kBroken : base + static_cast<int>(path.size() - i);
            depth[path[i]] = d;
            if (d > db::kMaxTreeDepth)
                ++tooDeep;
            deepest = std::max(deepest, d);
        }
    }
    if (tooDeep > 0)
        problems.push_back(tree + ": " + std::to_string(tooDeep) + " 项的层次超过 " +
                           std::to_string(db::kMaxTreeDepth) + " 层（最深 " + std::to_string(deepest) +
                           " 层），窗口和统计只显示到第 " + std::to_string(db::kMaxTreeDepth) + " 层");
}

} // namespace

std::vector<std::string> checkTrees(db::Connection &c)
{
    std::vector<std::string> problems;
    for (TreeKind kind : {TreeKind::Income, TreeKind::Expense, TreeKind::Bank})
        checkTree(c, kind, problems);
    return problems;
}

} // namespace setup

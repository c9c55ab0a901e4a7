#include "db/tree_limits.h"
#include "setup/tree_check.h"
#include "setup/tree_store.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <array>

using setup::TreeKind;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

std::string place(TempDatabase &t, const std::string &table, const std::string &column, const std::string &name)
{
    return t.value("select Num || '|' || nLevel || '|' || FirstLevel || '|' || FullID from " + table + " where " +
                   column + "='" + name + "'");
}

std::vector<std::string> names(const setup::TreeNode &node)
{
    std::vector<std::string> out;
    for (const auto &child : node.children)
        out.push_back(child.name);
    return out;
}

} // namespace

TEST(TreeStore, LoadsLevelByLevelInNumOrder)
{
    TempDatabase t;
    t.connection().execute("delete from Bank");
    StatementLog log;
    auto empty = setup::loadTree(t.connection(), TreeKind::Bank);
    EXPECT_EQ(empty.name, "我的存款银行");
    EXPECT_TRUE(empty.children.empty());
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{"SELECT * FROM Bank where nLevel= 1  and ParentBank = '我的存款银行' order by Num"}));
    auto pay = setup::loadTree(t.connection(), TreeKind::Expense);
    EXPECT_EQ(pay.children.front().name, "餐饮");
    EXPECT_EQ(pay.children.back().name, "投资");
    EXPECT_EQ(names(pay.children.front()), (std::vector<std::string>{"早餐", "午餐", "晚餐"}));
    log.clear();
    setup::loadTree(t.connection(), TreeKind::Income);
    EXPECT_EQ(log.statements().front(),
              "SELECT Style FROM GetStyle where nLevel= 1  and ParentStyle = '收入类型' order by Num");
    log.clear();
    setup::loadTree(t.connection(), TreeKind::Income, setup::TreeQuery::Picker);
    EXPECT_EQ(log.statements().front(), "SELECT * FROM GetStyle where nLevel= 1  and ParentStyle = '收入类型' order by Num");
    // A row whose level does not follow its parent's is not reached.
    t.connection().execute("insert into PayStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) values "
                           "(200,'孤儿',5,1,'餐饮','00000001')");
    EXPECT_FALSE(setup::treeContains(setup::loadTree(t.connection(), TreeKind::Expense), "孤儿"));
}

TEST(TreeStore, AddingGivesLevelsKeysAndNumbers)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("delete from Bank");
    StatementLog log;
    EXPECT_TRUE(setup::addNode(c, TreeKind::Bank, "我的存款银行", "现金银行").done);
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "select count(*) as n from Bank where BankName = '现金银行'",
                  "SELECT Num,nLevel,BankName,FullID FROM Bank where BankName ='我的存款银行' ",
                  "SELECT  iif((max(Num)+1) is null ,1,max(Num)+1)\\t as nMax FROM Bank ",
                  "INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID)  VALUES (1, '现金银行', "
                  "1,0,'我的存款银行','0000')"}));
    EXPECT_EQ(place(t, "Bank", "BankName", "现金银行"), "1|1|0|0000");
    c.execute("insert into Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) values (5,'工商银行',1,0,'我的存款银行','0000')");
    EXPECT_TRUE(setup::addNode(c, TreeKind::Bank, "工商银行", "工资卡").done);
    EXPECT_EQ(place(t, "Bank", "BankName", "工资卡"), "6|2|5|00000005");
    EXPECT_EQ(t.value("select ParentBank from Bank where BankName='工资卡'"), "工商银行");
    EXPECT_TRUE(setup::addNode(c, TreeKind::Bank, "工资卡", "副卡").done);
    EXPECT_EQ(place(t, "Bank", "BankName", "副卡"), "7|3|6|000000050006");
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "午餐", "工作餐").done);
    EXPECT_EQ(place(t, "PayStyle", "Style", "工作餐"), "72|3|10|000000010010");
}

TEST(TreeStore, AddRefusals)
{
    TempDatabase t;
    auto &c = t.connection();
    const int before = t.count("PayStyle");
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "", "新类").refusedWith(setup::kMsgNoParent));
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "没有这个", "新类").refusedWith(setup::kMsgNoParent));
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "餐饮", "午餐").refusedWith(setup::kMsgDuplicateName));
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "餐饮", "午餐 ").refusedWith(setup::kMsgDuplicateName));
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "餐饮", "支出类型").refusedWith(setup::kMsgDuplicateName));
    EXPECT_FALSE(setup::addNode(c, TreeKind::Expense, "餐饮", "").done);
    EXPECT_EQ(t.count("PayStyle"), before);
    // Names no node of any tree may bear: a backslash would split the path
    // the pickers make, and length is bounded (in characters).
    const std::string longest = [] {
        std::string s;
        for (std::size_t i = 0; i < setup::kMaxNodeName; ++i)
            s += "很";
        return s;
    }();
    for (TreeKind kind : {TreeKind::Income, TreeKind::Expense, TreeKind::Bank}) {
        const std::string root = setup::treeSpec(kind).rootText;
        EXPECT_TRUE(setup::addNode(c, kind, root, "外卖\\晚餐").refusedWith(setup::kMsgBackslashInName));
        EXPECT_TRUE(setup::addNode(c, kind, root, "\\").refusedWith(setup::kMsgBackslashInName));
        EXPECT_TRUE(setup::addNode(c, kind, root, longest + "a").refusedWith(setup::kMsgNameTooLong));
        EXPECT_TRUE(setup::addNode(c, kind, root, longest + " "));
    }
    // The same name may stand in another tree, and quotes are kept.
    EXPECT_TRUE(setup::addNode(c, TreeKind::Income, "收入类型", "午餐").done);
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "餐饮", "Mom's").done);
    EXPECT_TRUE(setup::treeContains(setup::loadTree(c, TreeKind::Expense), "Mom's"));
}

TEST(TreeStore, DeletingRemovesTheBranchButNotProtectedNodes)
{
    TempDatabase t;
    auto &c = t.connection();
    EXPECT_TRUE(setup::deleteNode(c, TreeKind::Expense, "投资").refusedWith(setup::kMsgProtectedCategory));
    EXPECT_TRUE(setup::deleteNode(c, TreeKind::Income, "投资").refusedWith(setup::kMsgProtectedCategory));
    EXPECT_TRUE(setup::deleteNode(c, TreeKind::Bank, "现金银行").refusedWith(setup::kMsgProtectedCash));
    EXPECT_EQ(t.value("select count(*) from PayStyle where Style='投资'"), "1");
    StatementLog log;
    EXPECT_TRUE(setup::deleteNode(c, TreeKind::Expense, "餐饮").done);
    auto statements = log.statements();
    EXPECT_NE(std::find(statements.begin(), statements.end(), "delete from PayStyle where Style ='餐饮'"),
              statements.end());
    for (const char *gone : {"餐饮", "早餐", "午餐", "晚餐"})
        EXPECT_EQ(t.value(std::string("select count(*) from PayStyle where Style='") + gone + "'"), "0") << gone;
    EXPECT_EQ(t.value("select count(*) from PayStyle where Style='交通'"), "1");
    // A branch holding the cash node (an older file may have put it there)
    // is kept whole.
    setup::addNode(c, TreeKind::Bank, "我的存款银行", "家庭");
    c.execute("update Bank set ParentBank='家庭', nLevel=2, FirstLevel=2, FullID='00000002' where BankName='现金银行'");
    EXPECT_TRUE(setup::deleteNode(c, TreeKind::Bank, "家庭").refusedWith(setup::kMsgProtectedCash));
    EXPECT_EQ(t.count("Bank"), 2);
}

TEST(TreeStore, ADeleteIsCountedBeforeItIsAsked)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(setup::addNode(c, TreeKind::Bank, "我的存款银行", "工商银行"));
    ASSERT_TRUE(setup::addNode(c, TreeKind::Bank, "工商银行", "工商储蓄"));
    int number = 0;
    // A category counts on its own side of the books only; a trailing blank
    // (as the recurring posting writes it) still names it.
    for (const auto &[side, category, bank] : std::vector<std::array<const char *, 3>>{
             {"付", "交通", "现金银行"}, {"付", "公交地铁", "工商储蓄"}, {"付", "打车 ", "工商银行"},
             {"收", "打车", "现金银行"}, {"付", "餐饮", "现金银行"}, {"收", "工资", "工商银行"}})
        c.execute("insert into account (财务标识,日期,收负类型,帐目类型,钱额,银行) values (" + std::to_string(++number) +
                  ",'2007/03/20 08:00','" + side + "','" + category + "',1,'" + bank + "')");
    struct Case {
        TreeKind kind;
        const char *name;
        int below;
        long long entries;
    };
    for (const Case &e : {Case{TreeKind::Expense, "交通", 2, 3}, Case{TreeKind::Income, "工资", 0, 1},
                          Case{TreeKind::Bank, "工商银行", 1, 3}, Case{TreeKind::Income, "利息", 0, 0}}) {
        setup::DeleteImpact impact;
        ASSERT_TRUE(setup::deleteImpact(c, e.kind, e.name, impact)) << e.name;
        EXPECT_EQ(impact.below, e.below) << e.name;
        EXPECT_EQ(impact.entries, e.entries) << e.name;
    }
    setup::DeleteImpact impact;
    EXPECT_TRUE(setup::deleteImpact(c, TreeKind::Expense, "投资", impact).refusedWith(setup::kMsgProtectedCategory));
    EXPECT_TRUE(setup::deleteImpact(c, TreeKind::Bank, "现金银行", impact).refusedWith(setup::kMsgProtectedCash));
    const std::string question = setup::deleteQuestion(TreeKind::Expense, "交通", {2, 3});
    for (const char *part : {"“交通”", "2 项", "3 笔"})
        EXPECT_NE(question.find(part), std::string::npos) << question;
    // Counting writes nothing.
    EXPECT_EQ(t.value("select count(*) from PayStyle where Style in ('交通','公交地铁','打车')"), "3");
}

TEST(TreeStore, MovingRewritesTheWholeBranch)
{
    TempDatabase t;
    auto &c = t.connection();
    // 餐饮 (1) with 早餐/午餐/晚餐 moves under 居住 (3).
    StatementLog log;
    ASSERT_TRUE(setup::moveNode(c, TreeKind::Expense, "餐饮", "居住").done);
    auto statements = log.statements();
    EXPECT_NE(std::find(statements.begin(), statements.end(), "SELECT * FROM PayStyle where Style = '居住' "),
              statements.end());
    EXPECT_NE(std::find(statements.begin(), statements.end(),
                        "update PayStyle set ParentStyle= '居住',nLevel=2,FirstLevel=3,FullID='00000003' where Style = "
                        "'餐饮' "),
              statements.end());
    EXPECT_EQ(place(t, "PayStyle", "Style", "餐饮"), "1|2|3|00000003");
    EXPECT_EQ(place(t, "PayStyle", "Style", "午餐"), "10|3|1|000000030001");
    auto tree = setup::loadTree(c, TreeKind::Expense);
    EXPECT_TRUE(setup::treeContains(tree, "午餐"));
    // Back onto the root: level 1, key 0000, and the children follow.
    ASSERT_TRUE(setup::moveNode(c, TreeKind::Expense, "餐饮", "支出类型").done);
    EXPECT_EQ(place(t, "PayStyle", "Style", "餐饮"), "1|1|0|0000");
    EXPECT_EQ(place(t, "PayStyle", "Style", "午餐"), "10|2|1|00000001");
    // Onto itself or into its own branch: nothing changes.
    log.clear();
    EXPECT_FALSE(setup::moveNode(c, TreeKind::Expense, "餐饮", "餐饮").done);
    EXPECT_FALSE(setup::moveNode(c, TreeKind::Expense, "餐饮", "午餐").done);
    EXPECT_FALSE(setup::moveNode(c, TreeKind::Expense, "餐饮", "").done);
    EXPECT_FALSE(setup::moveNode(c, TreeKind::Expense, "支出类型", "餐饮").done);
    EXPECT_EQ(place(t, "PayStyle", "Style", "餐饮"), "1|1|0|0000");
    // A category moved into the investment branch becomes an investment type.
    ASSERT_TRUE(setup::moveNode(c, TreeKind::Expense, "交通", "股票").done);
    EXPECT_EQ(t.value("select Mid(FullID,5,4) from PayStyle where Style='打车'"), "0068");
    EXPECT_EQ(setup::treeKindOfRoot("我的存款银行"), TreeKind::Bank);
    EXPECT_FALSE(setup::treeKindOfRoot("x"));
}

TEST(TreeStore, ProtectedNodesStayWhereTheyAre)
{
    TempDatabase t;
    auto &c = t.connection();
    const std::string before = place(t, "PayStyle", "Style", "投资");
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Expense, "投资", "餐饮").refusedWith(setup::kMsgMoveProtectedCategory));
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Income, "投资", "工资").refusedWith(setup::kMsgMoveProtectedCategory));
    EXPECT_EQ(place(t, "PayStyle", "Style", "投资"), before);
    EXPECT_EQ(t.value("select Mid(FullID,5,4) from PayStyle where Style='股票'"), "0068");
    setup::addNode(c, TreeKind::Bank, "我的存款银行", "家庭");
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Bank, "现金银行", "家庭").refusedWith(setup::kMsgMoveProtectedCash));
    EXPECT_EQ(place(t, "Bank", "BankName", "现金银行"), "1|1|0|0000");
    // Their children move freely.
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Expense, "股票", "基金"));
}

TEST(TreeStore, NamesAreTrimmedBeforeTheyAreChecked)
{
    TempDatabase t;
    auto &c = t.connection();
    EXPECT_TRUE(setup::nameInUse(c, TreeKind::Expense, " 午餐\t"));
    EXPECT_TRUE(setup::nameInUse(c, TreeKind::Expense, "支出类型 "));
    EXPECT_FALSE(setup::nameInUse(c, TreeKind::Expense, "夜宵"));
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "餐饮", " 夜宵 \t"));
    EXPECT_EQ(t.value("select '[' || Style || ']' from PayStyle where Style='夜宵'"), "[夜宵]");
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, "餐饮", "\t午餐 ").refusedWith(setup::kMsgDuplicateName));
    EXPECT_FALSE(setup::addNode(c, TreeKind::Expense, "餐饮", " \t "));
}

// Stored values that go into statements unquoted, as a tampered file might
// hold them.
class DamagedRows : public testing::TestWithParam<const char *> {};

TEST_P(DamagedRows, AreRefusedBeforeAnythingRuns)
{
    TempDatabase t;
    auto &c = t.connection();
    const std::string bad = GetParam();
    c.execute("update PayStyle set " + bad + " where Style='餐饮'");
    const int rows = t.count("PayStyle");
    const db::Result add = setup::addNode(c, TreeKind::Expense, "餐饮", "夜宵");
    EXPECT_FALSE(add) << bad;
    EXPECT_EQ(add.message.rfind(setup::kMsgDamagedRow, 0), 0u) << add.message;
    const db::Result move = setup::moveNode(c, TreeKind::Expense, "交通", "餐饮");
    EXPECT_FALSE(move) << bad;
    EXPECT_EQ(t.count("PayStyle"), rows);
    EXPECT_EQ(t.count("SysAllUser"), 1);
    EXPECT_EQ(place(t, "PayStyle", "Style", "交通"), "2|1|0|0000");
}

INSTANTIATE_TEST_SUITE_P(Values, DamagedRows,
                         testing::Values("Num='1,0,0,0);DELETE FROM SysAllUser;--'", "nLevel='1);DELETE FROM SysAllUser'",
                                         "FullID='0000'');DELETE FROM SysAllUser;--'", "FullID='00x0'", "Num=''"));

namespace {

// A chain of expense categories L1 (under the root) to L<levels>.
void addChain(db::Connection &c, int levels)
{
    c.execute("INSERT INTO PayStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) WITH RECURSIVE n(k) AS "
              "(SELECT 1 UNION ALL SELECT k+1 FROM n WHERE k<" +
              std::to_string(levels) +
              ") SELECT 1000+k, 'L'||k, k, 0, CASE k WHEN 1 THEN '支出类型' ELSE 'L'||(k-1) END, '0000' FROM n");
}

// The income table as a file without the unique key on names may hold it,
// with two rows of each name D1 to D<levels>, each under the name before.
void addDoublings(db::Connection &c, int levels)
{
    c.executeScript("DROP TABLE GetStyle; CREATE TABLE GetStyle (Num INTEGER, Style TEXT COLLATE RTRIM, nLevel "
                    "INTEGER, FirstLevel INTEGER, ParentStyle TEXT COLLATE RTRIM, FullID TEXT)");
    c.execute("INSERT INTO GetStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) WITH RECURSIVE n(k) AS "
              "(SELECT 1 UNION ALL SELECT k+1 FROM n WHERE k<" +
              std::to_string(2 * levels) +
              ") SELECT k, 'D'||((k+1)/2), (k+1)/2, 0, CASE WHEN k<3 THEN '收入类型' ELSE 'D'||((k+1)/2-1) END, "
              "'0000' FROM n");
}

int depthOf(const setup::TreeNode &node)
{
    int deepest = 0;
    for (const auto &child : node.children)
        deepest = std::max(deepest, depthOf(child));
    return deepest + 1;
}

int sizeOf(const setup::TreeNode &node)
{
    int n = 1;
    for (const auto &child : node.children)
        n += sizeOf(child);
    return n;
}

} // namespace

TEST(TreeStore, DamagedTreesLoadInPartAndSaySo)
{
    TempDatabase t;
    auto &c = t.connection();
    std::string cut = "x";
    setup::loadTree(c, TreeKind::Expense, setup::TreeQuery::Settings, &cut);
    EXPECT_EQ(cut, "");
    addChain(c, db::kMaxTreeDepth + 8);
    const setup::TreeNode deep = setup::loadTree(c, TreeKind::Expense, setup::TreeQuery::Picker, &cut);
    EXPECT_EQ(depthOf(deep), db::kMaxTreeDepth + 1); // the root and the levels shown
    EXPECT_EQ(cut, setup::treeCutMessage(TreeKind::Expense));
    // A chain that ends at the deepest level shown is whole.
    c.execute("delete from PayStyle where nLevel > " + std::to_string(db::kMaxTreeDepth) + " and Num > 1000");
    setup::loadTree(c, TreeKind::Expense, setup::TreeQuery::Settings, &cut);
    EXPECT_EQ(cut, "");
    // Repeated names: each row is shown once, not once per row of its
    // parent's name (2^12 items).
    addDoublings(c, 12);
    const setup::TreeNode doubled = setup::loadTree(c, TreeKind::Income, setup::TreeQuery::Settings, &cut);
    EXPECT_LE(sizeOf(doubled), 1 + 24);
    EXPECT_EQ(cut, setup::treeCutMessage(TreeKind::Income));
}

TEST(TreeStore, CheckReportsWhatIsNoTree)
{
    TempDatabase t;
    auto &c = t.connection();
    EXPECT_EQ(setup::checkTrees(c), std::vector<std::string>{});
    addChain(c, db::kMaxTreeDepth + 8);
    addDoublings(c, 2);
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES (50,'甲',2,51,'乙','0000'), "
              "(51,'乙',2,50,'甲','0000'), (52,'丙',3,50,'甲','0000'), (53,'孤儿',2,99,'没有','0000'), "
              "(54,'外卖\\晚餐',1,0,'我的存款银行','0000')");
    EXPECT_EQ(setup::checkTrees(c),
              (std::vector<std::string>{
                  "收入类型: 名称“D1”有 2 行，名称应当唯一", "收入类型: 名称“D2”有 2 行，名称应当唯一",
                  "支出类型: 8 项的层次超过 32 层（最深 40 层），窗口和统计只显示到第 32 层",
                  "我的存款银行: 名称“外卖\\晚餐”含有反斜杠，选它记帐会记成别的名称",
                  "我的存款银行: 上级关系绕成了圈: 甲 → 乙 → 甲", "我的存款银行: “孤儿”的上级“没有”不存在"}));
}

TEST(TreeStore, NothingGoesBelowTheDeepestLevelShown)
{
    TempDatabase t;
    auto &c = t.connection();
    addChain(c, db::kMaxTreeDepth);
    const std::string deepest = "L" + std::to_string(db::kMaxTreeDepth);
    const std::string above = "L" + std::to_string(db::kMaxTreeDepth - 1);
    const int rows = t.count("PayStyle");
    EXPECT_TRUE(setup::addNode(c, TreeKind::Expense, deepest, "新类").refusedWith(setup::kMsgTreeTooDeep));
    EXPECT_EQ(t.count("PayStyle"), rows);
    ASSERT_TRUE(setup::addNode(c, TreeKind::Expense, above, "新类"));
    // 餐饮's children would fall below the deepest level; a leaf fits.
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Expense, "餐饮", above).refusedWith(setup::kMsgTreeTooDeep));
    EXPECT_EQ(place(t, "PayStyle", "Style", "餐饮"), "1|1|0|0000");
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Expense, "打车", deepest).refusedWith(setup::kMsgTreeTooDeep));
    EXPECT_TRUE(setup::moveNode(c, TreeKind::Expense, "打车", above));
    std::string cut;
    EXPECT_TRUE(setup::treeContains(setup::loadTree(c, TreeKind::Expense, setup::TreeQuery::Settings, &cut), "打车"));
    EXPECT_EQ(cut, "");
}

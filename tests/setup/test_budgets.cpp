#include "setup/budgets.h"
#include "setup/detail_rules.h"
#include "setup/tree_store.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using setup::BudgetAmounts;
using testing_support::TempDatabase;

namespace {

// Every budget kept, in name order, as the program reads it back.
std::string budgetRows(TempDatabase &t)
{
    std::string all;
    for (const auto &[name, amounts] : setup::loadBudgets(t.connection()))
        all += name + ":" + (amounts.monthly.empty() ? "-" : amounts.monthly) + "/" +
               (amounts.yearly.empty() ? "-" : amounts.yearly) + ";";
    return all;
}

struct AmountCase {
    std::string typed;
    bool accepted;
    std::string checked;
};

void PrintTo(const AmountCase &c, std::ostream *out) { *out << "'" << c.typed << "'"; }

class BudgetAmount : public testing::TestWithParam<AmountCase> {};

} // namespace

// Budget amounts go into the statement unquoted and are read back as money:
// only plain numbers of at least 0 with cents at most pass.
TEST_P(BudgetAmount, IsCheckedLikeAnEntryAmount)
{
    std::string checked = "left over";
    const db::Result result = setup::checkBudgetAmount(GetParam().typed, checked);
    EXPECT_EQ(result.done, GetParam().accepted);
    if (GetParam().accepted)
        EXPECT_EQ(checked, GetParam().checked);
    else
        EXPECT_EQ(result.message, setup::kMsgBudgetNotNumber);
}

INSTANTIATE_TEST_SUITE_P(Texts, BudgetAmount,
                         testing::Values(AmountCase{"2000", true, "2000"}, AmountCase{" 150.5 ", true, "150.5"},
                                         AmountCase{"+30", true, "30"}, AmountCase{"0", true, "0"},
                                         AmountCase{"", true, ""}, AmountCase{"  ", true, ""},
                                         AmountCase{"999999999999.99", true, "999999999999.99"},
                                         AmountCase{"-5", false, ""}, AmountCase{"12.345", false, ""},
                                         AmountCase{"1234567890123", false, ""}, AmountCase{"1e5", false, ""},
                                         AmountCase{"++5", false, ""}, AmountCase{"5,000", false, ""},
                                         AmountCase{"5);drop table Budget;--", false, ""}));

TEST(Budgets, SetChangeAndClearOneCategory)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(setup::setBudget(c, "餐饮", {"2000", ""}));
    ASSERT_TRUE(setup::setBudget(c, "居住 ", {"3000", "1200.5"}));
    EXPECT_EQ(budgetRows(t), "居住:3000/1200.5;餐饮:2000/-;");
    EXPECT_EQ(setup::loadBudget(c, "居住"), (BudgetAmounts{"3000", "1200.5"}));
    ASSERT_TRUE(setup::setBudget(c, "餐饮", {"", "500"}));
    ASSERT_TRUE(setup::setBudget(c, "居住", {"", ""}));
    EXPECT_EQ(budgetRows(t), "餐饮:-/500;");

    // Nothing is written for a refused amount or a name that is no expense category.
    EXPECT_TRUE(setup::setBudget(c, "餐饮", {"100", "-1"}).refusedWith(setup::kMsgBudgetNotNumber));
    EXPECT_TRUE(setup::setBudget(c, "工资", {"100", ""}).refusedWith(std::string(setup::kMsgNoSuchExpense) + "工资"));
    EXPECT_TRUE(setup::setBudget(c, "支出类型", {"100", ""}).refusedWith(std::string(setup::kMsgNoSuchExpense) + "支出类型"));
    EXPECT_EQ(budgetRows(t), "餐饮:-/500;");
}

TEST(Budgets, APlanIsWrittenWholeOrNotAtAll)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(setup::setBudget(c, "娱乐", {"300", ""}));
    const db::Result refused =
        setup::savePlan(c, {{"餐饮", {"2000", ""}}, {"交通", {"300", ""}}, {"居住", {"3000x", ""}}});
    EXPECT_TRUE(refused.refusedWith(std::string("居住: ") + setup::kMsgBudgetNotNumber)) << refused.message;
    EXPECT_EQ(budgetRows(t), "娱乐:300/-;");
    ASSERT_TRUE(setup::savePlan(c, {{"餐饮", {"2000", ""}}, {"交通", {"300", ""}}, {"居住", {"3000", "600"}}}));
    // A category the plan leaves out keeps its budget.
    EXPECT_EQ(budgetRows(t), "交通:300/-;娱乐:300/-;居住:3000/600;餐饮:2000/-;");
}

// A category made under the name of a deleted one starts without a budget,
// and books from before budgets get the table on first use.
TEST(Budgets, DeletingACategoryForgetsTheBudgetsOfItsBranch)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(setup::savePlan(c, {{"餐饮", {"2000", ""}}, {"早餐", {"300", ""}}, {"交通", {"300", ""}}}));
    ASSERT_TRUE(setup::deleteNode(c, setup::TreeKind::Expense, "餐饮"));
    EXPECT_EQ(budgetRows(t), "交通:300/-;");
    ASSERT_TRUE(setup::addNode(c, setup::TreeKind::Expense, "支出类型", "餐饮"));
    EXPECT_TRUE(setup::loadBudget(c, "餐饮").isEmpty());

    c.execute("drop table Budget");
    ASSERT_TRUE(setup::deleteNode(c, setup::TreeKind::Expense, "交通"));
    EXPECT_TRUE(setup::loadBudgets(c).empty());
}

namespace {

// A category loaded into the panel as the settings dialog loads it, unlocked.
struct Panel {
    setup::RecurringForm form;
    setup::LoadedExpense loaded;

    explicit Panel(db::Connection &c, const std::string &name = "餐饮")
    {
        const db::DateTime now{2026, 12, 7, 14, 30, 0};
        loaded.item = setup::loadRecurring(c, setup::TreeKind::Expense, name, now);
        loaded.budget = setup::loadBudget(c, name);
        const setup::RecurringItem &row = *loaded.item;
        form.unlocked = true;
        form.loaded = form.selected = name;
        form.fixed = row.fixed;
        form.autoPost = row.autoPost;
        form.amount = row.amount;
        form.dayNum = row.dayNum;
        form.selectType = row.selectType;
        form.bank = row.bankName;
        form.begin = row.begin;
        form.end = row.end;
        form.loadedBegin = row.begin;
    }
};

const setup::Question kNoQuestion = [](const std::string &) { return false; };

} // namespace

// A category that is no recurring item gets a budget without a bank; once
// its recurring settings are changed they are checked, and a refusal
// leaves the budget unwritten too. With the budget untouched, 保存 checks
// the recurring settings as it always did.
TEST(Budgets, ThePanelSavesTheBudgetAndOnlyChangedRecurringSettings)
{
    TempDatabase t;
    auto &c = t.connection();
    const std::string row = t.value("select quote(PMoney) || quote(BankName) from PayStyle where Style='餐饮'");
    Panel panel(c);
    ASSERT_TRUE(setup::saveExpenseSettings(c, panel.form, panel.loaded, {"2000", ""}, kNoQuestion));
    EXPECT_EQ(budgetRows(t), "餐饮:2000/-;");
    EXPECT_EQ(t.value("select quote(PMoney) || quote(BankName) from PayStyle where Style='餐饮'"), row);

    panel.form.amount = "100";
    panel.form.dayNum = "1";
    panel.form.selectType = "月";
    EXPECT_TRUE(setup::saveExpenseSettings(c, panel.form, panel.loaded, {"2500", ""}, kNoQuestion)
                    .refusedWith(setup::kMsgBankEmpty));
    EXPECT_EQ(budgetRows(t), "餐饮:2000/-;");

    panel.form.bank = "现金银行";
    ASSERT_TRUE(setup::saveExpenseSettings(c, panel.form, panel.loaded, {"2500", ""}, kNoQuestion));
    EXPECT_EQ(budgetRows(t), "餐饮:2500/-;");
    EXPECT_EQ(t.value("select PMoney || BankName from PayStyle where Style='餐饮'"), "100.0现金银行");

    Panel untouched(c, "交通");
    EXPECT_TRUE(setup::saveExpenseSettings(c, untouched.form, untouched.loaded, {" ", ""}, kNoQuestion)
                    .refusedWith(setup::kMsgAmountEmpty));
    EXPECT_TRUE(setup::saveExpenseSettings(c, panel.form, panel.loaded, {"x", ""}, kNoQuestion)
                    .refusedWith(setup::kMsgBudgetNotNumber));
    panel.form.unlocked = false;
    EXPECT_TRUE(setup::saveExpenseSettings(c, panel.form, panel.loaded, {"1", ""}, kNoQuestion)
                    .refusedWith(setup::kMsgPressModify));
    EXPECT_EQ(budgetRows(t), "餐饮:2500/-;");
}

// Asked while a budget is saved too, the start-date question of an item
// that has posted holds no lock on the books; Yes writes the new start, the
// restart and the budget together.
TEST(Budgets, TheStartDateQuestionHoldsTheBooksUnlocked)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("update PayStyle set EveryPay=1,IsAuto=1,PMoney=88,DayNum=1,SelectType='月',BeginDate='2026/01/20 ',"
              "EndDate='2029/12/31 ',MidDate='2026/11/20 00:00',BankName='现金银行' where Style='通讯'");
    Panel panel(c, "通讯");
    panel.form.loadedMid = panel.loaded.item->midText;
    panel.form.begin = db::DateTime{2026, 12, 20};
    std::vector<bool> locked;
    const setup::Question answerYes = [&](const std::string &) {
        locked.push_back(c.inTransaction());
        return true;
    };
    ASSERT_TRUE(setup::saveExpenseSettings(c, panel.form, panel.loaded, {"100", ""}, answerYes));
    EXPECT_EQ(locked, std::vector<bool>{false});
    EXPECT_EQ(budgetRows(t), "通讯:100/-;");
    EXPECT_EQ(t.value("select BeginDate || '|' || MidDate from PayStyle where Style='通讯'"), "2026/12/20 | ");
}

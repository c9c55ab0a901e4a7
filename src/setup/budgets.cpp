#include "setup/budgets.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/text.h"
#include "setup/detail_rules.h"
#include "setup/tree_store.h"

namespace setup {

using db::quote;

namespace {

constexpr std::size_t kMaxDecimals = 2;

std::string numberOrNull(const std::string &amount) { return amount.empty() ? "NULL" : amount; }

bool isExpenseCategory(db::Connection &c, const std::string &name)
{
    return !name.empty() && name != treeSpec(TreeKind::Expense).rootText && nameInUse(c, TreeKind::Expense, name);
}

db::Result checkAmounts(const BudgetAmounts &typed, BudgetAmounts &checked)
{
    if (db::Result monthly = checkBudgetAmount(typed.monthly, checked.monthly); !monthly)
        return monthly;
    return checkBudgetAmount(typed.yearly, checked.yearly);
}

// Writes checked amounts; the caller holds the transaction.
void writeBudget(db::Connection &c, const std::string &category, const BudgetAmounts &checked)
{
    c.execute("delete from Budget where Style='" + quote(category) + "'");
    if (!checked.isEmpty())
        c.execute("INSERT INTO Budget (Style,MonthMoney,YearMoney) VALUES ('" + quote(category) + "'," +
                  numberOrNull(checked.monthly) + "," + numberOrNull(checked.yearly) + ")");
}

// Whether the panel holds recurring values other than the loaded row's.
bool recurringChanged(const RecurringForm &form, const RecurringItem &loaded)
{
    return form.fixed != loaded.fixed || form.autoPost != loaded.autoPost ||
           db::trim(form.amount) != db::trim(loaded.amount) || db::trim(form.dayNum) != db::trim(loaded.dayNum) ||
           db::trim(form.selectType) != db::trim(loaded.selectType) || form.bank != loaded.bankName ||
           db::formatTreeDate(form.begin) != db::formatTreeDate(loaded.begin) ||
           db::formatTreeDate(form.end) != db::formatTreeDate(loaded.end);
}

} // namespace

db::Result checkBudgetAmount(const std::string &typed, std::string &checked)
{
    std::string text = db::trim(typed);
    if (!text.empty() && text.front() == '+')
        text.erase(0, 1);
    checked.clear();
    if (text.empty())
        return db::Result::ok();
    const std::size_t point = text.find('.');
    const bool fewDecimals = point == std::string::npos || text.size() - point - 1 <= kMaxDecimals;
    if (text.front() == '-' || text.front() == '+' || !isAmountText(text) || !fewDecimals)
        return db::Result::refused(kMsgBudgetNotNumber);
    checked = text;
    return db::Result::ok();
}

std::map<std::string, BudgetAmounts> loadBudgets(db::Connection &c)
{
    db::ensureFeatureTables(c);
    std::map<std::string, BudgetAmounts> budgets;
    db::Query q = c.query("select Style,MonthMoney,YearMoney from Budget");
    while (q.next())
        budgets[nameKey(q.field("Style"))] = BudgetAmounts{q.field("MonthMoney"), q.field("YearMoney")};
    return budgets;
}

BudgetAmounts loadBudget(db::Connection &c, const std::string &category)
{
    db::ensureFeatureTables(c);
    BudgetAmounts amounts;
    db::Query q = c.query("select MonthMoney,YearMoney from Budget where Style='" + quote(db::trim(category)) + "'");
    while (q.next())
        amounts = BudgetAmounts{q.field("MonthMoney"), q.field("YearMoney")};
    return amounts;
}

db::Result setBudget(db::Connection &c, const std::string &category, const BudgetAmounts &typed)
{
    BudgetAmounts checked;
    if (db::Result sound = checkAmounts(typed, checked); !sound)
        return sound;
    const std::string name = db::trim(category);
    if (!isExpenseCategory(c, name))
        return db::Result::refused(kMsgNoSuchExpense + name);
    db::ensureFeatureTables(c);
    db::Transaction transaction(c, "设定预算 " + name);
    writeBudget(c, name, checked);
    transaction.commit();
    return db::Result::ok();
}

db::Result savePlan(db::Connection &c, const std::vector<PlanLine> &plan)
{
    std::vector<PlanLine> checked;
    checked.reserve(plan.size());
    for (const PlanLine &line : plan) {
        PlanLine sound{db::trim(line.category), {}};
        if (db::Result amounts = checkAmounts(line.amounts, sound.amounts); !amounts)
            return db::Result::refused(sound.category + ": " + amounts.message);
        if (!isExpenseCategory(c, sound.category))
            return db::Result::refused(kMsgNoSuchExpense + sound.category);
        checked.push_back(std::move(sound));
    }
    db::ensureFeatureTables(c);
    db::Transaction transaction(c, "保存预算");
    for (const PlanLine &line : checked)
        writeBudget(c, line.category, line.amounts);
    transaction.commit();
    return db::Result::ok();
}

db::Result saveExpenseSettings(db::Connection &c, const RecurringForm &form, const LoadedExpense &loaded,
                               const BudgetAmounts &budget, const Question &ask)
{
    if (db::trim(budget.monthly) == loaded.budget.monthly && db::trim(budget.yearly) == loaded.budget.yearly)
        return saveRecurring(c, TreeKind::Expense, form, ask);
    if (!form.unlocked)
        return db::Result::refused(kMsgPressModify);
    if (form.selected.empty() || form.selected != form.loaded)
        return db::Result::refused(kMsgLoadFirst);
    BudgetAmounts checked;
    if (db::Result sound = checkAmounts(budget, checked); !sound)
        return sound;
    db::ensureFeatureTables(c);
    const std::string label = "保存固定收支 " + db::trim(form.selected);
    std::optional<db::Transaction> transaction(std::in_place, c, label);
    // The start-date question comes before anything is written: the books
    // are not held locked while the user thinks it over.
    const Question askUnlocked = [&](const std::string &question) {
        transaction.reset();
        const bool yes = ask && ask(question);
        transaction.emplace(c, label);
        return yes;
    };
    if (!loaded.item || recurringChanged(form, *loaded.item))
        if (db::Result saved = saveRecurring(c, TreeKind::Expense, form, askUnlocked); !saved)
            return saved;
    if (db::Result saved = setBudget(c, form.selected, budget); !saved)
        return saved;
    transaction->commit();
    return db::Result::ok();
}

void forgetBudgets(db::Connection &c, const std::vector<std::string> &categories)
{
    db::ensureFeatureTables(c);
    for (const std::string &category : categories)
        c.execute("delete from Budget where Style='" + quote(category) + "'");
}

} // namespace setup

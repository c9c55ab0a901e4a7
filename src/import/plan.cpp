#include "import/plan.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/text.h"
#include "import/values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_map>

namespace import {

namespace {

const char *const kInvestmentIncome = "投资收回要填原金额，请在记帐窗口里记，或选别的类型";

bool contains(const std::string &text, const char *piece) { return text.find(piece) != std::string::npos; }

std::string dayText(const db::DateTime &t)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", t.year, t.month, t.day);
    return buffer;
}

// Where the keys of one bill's rows live: order numbers are unique only
// within their own payment service or account.
std::string keySpace(const Bill &bill)
{
    switch (bill.format) {
    case Format::Alipay:
        return "支付宝";
    case Format::WeChat:
        return "微信";
    default:
        return bill.methodFallback;
    }
}

std::string baseKey(const Bill &bill, const BillRow &row)
{
    if (!row.orderNumber.empty())
        return keySpace(bill) + ":" + row.orderNumber + (row.refund ? ":退款" : "");
    char time[24];
    std::snprintf(time, sizeof time, "%04d%02d%02d%02d%02d%02d", row.time.year, row.time.month, row.time.day,
                  row.time.hour, row.time.minute, row.time.second);
    const long long signedCents = row.direction == Direction::Expense ? -row.cents : row.cents;
    return keySpace(bill) + ":" + time + ":" + std::to_string(signedCents) + ":" + row.counterparty;
}

// Why a row is left out unless the user takes it in; "" when it is posted.
std::string skipReasonOf(const Bill &bill, const BillRow &row)
{
    if (contains(row.status, "关闭"))
        return "交易关闭：钱没有付出，或已全部退回";
    if (contains(row.status, "失败"))
        return "交易失败：钱没有付出";
    if (row.direction != Direction::Neutral || row.refund)
        return {};
    std::string what = row.goods.empty() ? row.billCategory : row.goods;
    switch (bill.format) {
    case Format::Alipay:
        return "不计收支" + (what.empty() ? std::string() : "：" + what);
    case Format::WeChat:
        what = row.billCategory.empty() ? row.goods : row.billCategory;
        return "不是收入或支出" + (what.empty() ? std::string() : "：" + what);
    default:
        return row.cents == 0 ? "金额是 0" : "在自己的帐户之间转帐：" + row.billCategory;
    }
}

bool isCategoryOf(const Plan &plan, const std::string &type, const std::string &category)
{
    return type == "付" ? plan.names.expense.count(category) > 0 : plan.names.income.count(category) > 0;
}

// The names a bill category may suggest: no root, nothing of the
// investment branch (an investment is not an everyday purchase).
std::vector<std::string> suggestible(const Plan &plan, const std::string &type)
{
    std::vector<std::string> names;
    for (const std::string &name : type == "付" ? plan.names.expense : plan.names.income)
        if (!plan.names.investment.count(name) && name != "投资")
            names.push_back(name);
    return names;
}

void assignCategory(Plan &plan, PlanRow &row)
{
    if (row.categorySource == kFromUser || row.categorySource == kFromRefund)
        return;
    row.category.clear();
    row.categorySource.clear();
    if (row.type.empty())
        return;
    if (const Rule *rule = matchRule(plan.rules, row.bill, row.type); rule && isCategoryOf(plan, row.type, rule->category)) {
        row.category = rule->category;
        row.categorySource = kFromRule;
        return;
    }
    if (!row.bill.refund) {
        const std::string suggested = suggestCategory(row.bill.billCategory, suggestible(plan, row.type));
        if (!suggested.empty()) {
            row.category = suggested;
            row.categorySource = kFromSuggestion;
            return;
        }
    }
    const std::string &fallback =
        row.type == "付" ? plan.options.defaultExpenseCategory : plan.options.defaultIncomeCategory;
    if (!fallback.empty()) {
        row.category = fallback;
        row.categorySource = kFromDefault;
    }
}

void assignAccount(Plan &plan, PlanRow &row)
{
    if (row.accountByUser)
        return;
    const auto kept = plan.accountMap.find(methodOf(plan, row));
    if (kept != plan.accountMap.end() && plan.names.accounts.count(kept->second))
        row.account = kept->second;
    else
        row.account = plan.options.defaultAccount;
}

// The purchase a refund gives money back for: the same merchant's order
// number, or an order number the refund's own begins with.
long purchaseOf(const Plan &plan, const PlanRow &refund)
{
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const BillRow &p = plan.rows[i].bill;
        if (p.refund || p.direction != Direction::Expense)
            continue;
        if ((!refund.bill.merchantOrder.empty() && p.merchantOrder == refund.bill.merchantOrder) ||
            (!p.orderNumber.empty() && refund.bill.orderNumber.size() > p.orderNumber.size() &&
             refund.bill.orderNumber.rfind(p.orderNumber, 0) == 0))
            return static_cast<long>(i);
    }
    return -1;
}

// The category of an earlier import's purchase that a merchant's order
// number names.
std::string importedCategory(db::Connection &c, const std::string &merchantOrder)
{
    if (merchantOrder.empty())
        return {};
    return db::trim(c.scalar("select a.帐目类型 as c from ImportRow r join account a on a.财务标识 = r.AccNum "
                             "where r.Refer = '" + db::quote(merchantOrder) + "'",
                             "c"));
}

void placeRefund(db::Connection &c, Plan &plan, std::size_t index)
{
    PlanRow &row = plan.rows[index];
    row.purchase = purchaseOf(plan, row);
    if (row.purchase >= 0) {
        const PlanRow &purchase = plan.rows[static_cast<std::size_t>(row.purchase)];
        if (!purchase.skipReason.empty()) {
            row.skipReason = "原来那笔支出没有记 (" + purchase.skipReason + ")，退款也不记";
            row.included = false;
            return;
        }
        if (!purchase.category.empty()) {
            row.category = purchase.category;
            row.categorySource = kFromRefund;
            return;
        }
    }
    const std::string earlier = importedCategory(c, row.bill.merchantOrder);
    if (!earlier.empty() && plan.names.expense.count(earlier)) {
        row.category = earlier;
        row.categorySource = kFromRefund;
        return;
    }
    assignCategory(plan, row);
}

// Entries of the books not written by an import, by day, type and amount.
std::unordered_map<std::string, std::string> handEntries(db::Connection &c, const Bill &bill)
{
    std::unordered_map<std::string, std::string> entries;
    if (bill.rows.empty())
        return entries;
    db::DateTime first = bill.rows.front().time, last = first;
    for (const BillRow &row : bill.rows) {
        first = std::min(first, row.time);
        last = std::max(last, row.time);
    }
    const db::DateTime after = db::DateTime::fromDays(last.days() + std::chrono::days(1));
    db::Query q = c.query("select 财务标识 as n, 日期 as d, 收负类型 as t, 钱额 as m from account where 日期 >= '" +
                          dayText(first) + "' and 日期 < '" + dayText(after) +
                          "' and 财务标识 not in (select AccNum from ImportRow)");
    while (q.next()) {
        const std::string key = q.field("d").substr(0, 10) + db::trim(q.field("t")) + ":" +
                                std::to_string(std::llround(db::leadingNumber(q.field("m")) * 100.0));
        std::string &numbers = entries[key];
        numbers += (numbers.empty() ? "编号 " : "、") + q.field("n");
    }
    return entries;
}

} // namespace

const char *decisionName(Decision decision)
{
    switch (decision) {
    case Decision::Post:
        return "记帐";
    case Decision::Skip:
        return "跳过";
    case Decision::Duplicate:
        return "重复";
    case Decision::NeedsCategory:
        return "缺类型";
    case Decision::NeedsAccount:
        return "缺帐户";
    }
    return "";
}

BookNames loadBookNames(db::Connection &c)
{
    BookNames names;
    {
        db::Query q = c.query("select Style, FullID from PayStyle");
        while (q.next()) {
            const std::string name = db::trim(q.field("Style"));
            names.expense.insert(name);
            if (db::utf8Mid(q.field("FullID"), 4, 4) == "0068")
                names.investment.insert(name);
        }
    }
    {
        db::Query q = c.query("select Style from GetStyle");
        while (q.next())
            names.income.insert(db::trim(q.field("Style")));
    }
    db::Query q = c.query("select BankName from Bank");
    while (q.next())
        names.accounts.insert(db::trim(q.field("BankName")));
    return names;
}

std::string methodOf(const Plan &plan, const PlanRow &row)
{
    return row.bill.method.empty() ? plan.methodFallback : row.bill.method;
}

void decide(const Plan &plan, PlanRow &row)
{
    row.note.clear();
    if (!row.duplicateOf.empty()) {
        row.decision = Decision::Duplicate;
        row.note = row.duplicateOf.rfind("编号", 0) == 0 ? "已经导入过 (" + row.duplicateOf + ")"
                                                         : "与" + row.duplicateOf + "是同一笔";
    } else if (!row.included) {
        row.decision = Decision::Skip;
        row.note = row.skipReason.empty() ? "不记" : row.skipReason;
    } else if (row.type.empty()) {
        row.decision = Decision::NeedsCategory;
        row.note = "请选择收或付";
    } else if (row.account.empty() || !plan.names.accounts.count(row.account)) {
        row.decision = Decision::NeedsAccount;
        row.note = "“" + methodOf(plan, row) + "”还没有对应的帐户";
    } else if (row.category.empty()) {
        row.decision = Decision::NeedsCategory;
        row.note = "没有规则认得它，请选择类型";
    } else if (!isCategoryOf(plan, row.type, row.category)) {
        row.decision = Decision::NeedsCategory;
        row.note = std::string(row.type == "付" ? "没有这个支出类型：" : "没有这个收入类型：") + row.category;
    } else if ((row.type == "收" || row.bill.refund) && plan.names.investment.count(row.category)) {
        row.decision = Decision::NeedsCategory;
        row.note = kInvestmentIncome;
    } else {
        row.decision = Decision::Post;
        if (!row.sameDay.empty())
            row.note = "同一天已有同样金额的帐 (" + row.sameDay + ")，可能已经手工记过";
        else if (row.categorySource == kFromSuggestion)
            row.note = "按账单的分类“" + row.bill.billCategory + "”建议";
        else if (row.bill.refund && row.categorySource == kFromRefund)
            row.note = "退款，记回原来的类型";
        else if (row.bill.refund)
            row.note = "退款：没找到原来那笔支出";
    }
}

Plan makePlan(db::Connection &c, const Bill &bill, const PlanOptions &options)
{
    db::ensureFeatureTables(c);
    Plan plan;
    plan.format = bill.format;
    plan.methodFallback = bill.methodFallback;
    plan.names = loadBookNames(c);
    plan.rules = loadRules(c);
    plan.accountMap = loadAccountMap(c);
    plan.options = options;
    std::unordered_map<std::string, std::string> imported;
    {
        db::Query q = c.query("select r.RowKey as k, r.AccNum as n from ImportRow r join account a on a.财务标识 = "
                              "r.AccNum where substr(a.日期,1,10) = substr(r.DTime,1,10)");
        while (q.next())
            imported.emplace(q.field("k"), q.field("n"));
    }
    const std::unordered_map<std::string, std::string> hand = handEntries(c, bill);
    std::unordered_map<std::string, int> occurrences;
    std::unordered_map<std::string, int> firstLine;
    plan.rows.reserve(bill.rows.size());
    for (const BillRow &source : bill.rows) {
        PlanRow row;
        row.bill = source;
        const std::string base = baseKey(bill, source);
        const int seen = occurrences[base]++;
        // Rows without an order number that are alike in everything (two
        // coffees at one till in one minute) are told apart by their count.
        row.key = source.orderNumber.empty() ? base + "#" + std::to_string(seen + 1) : base;
        if (const auto in = imported.find(row.key); in != imported.end())
            row.duplicateOf = "编号 " + in->second;
        else if (!source.orderNumber.empty() && seen > 0)
            row.duplicateOf = "第 " + std::to_string(firstLine[base]) + " 行";
        firstLine.emplace(base, source.line);
        row.type = source.refund || source.direction == Direction::Expense ? "付"
                   : source.direction == Direction::Income                 ? "收"
                                                                           : "";
        row.skipReason = skipReasonOf(bill, source);
        row.included = row.skipReason.empty();
        assignAccount(plan, row);
        if (!source.refund)
            assignCategory(plan, row);
        if (!row.type.empty()) {
            const auto same = hand.find(dayText(source.time) + row.type + ":" + std::to_string(row.signedCents()));
            if (same != hand.end())
                row.sameDay = same->second;
        }
        plan.rows.push_back(std::move(row));
    }
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
        if (plan.rows[i].bill.refund)
            placeRefund(c, plan, i);
    for (PlanRow &row : plan.rows)
        decide(plan, row);
    return plan;
}

void setCategory(Plan &plan, std::size_t index, const std::string &category)
{
    PlanRow &row = plan.rows.at(index);
    row.category = db::trim(category);
    row.categorySource = kFromUser;
    decide(plan, row);
    // The refunds of a purchase follow its category.
    for (PlanRow &other : plan.rows)
        if (other.purchase == static_cast<long>(index) && other.categorySource == kFromRefund) {
            other.category = row.category;
            decide(plan, other);
        }
}

void setAccount(Plan &plan, std::size_t index, const std::string &account)
{
    PlanRow &row = plan.rows.at(index);
    row.account = db::trim(account);
    row.accountByUser = true;
    decide(plan, row);
}

void setType(Plan &plan, std::size_t index, const std::string &type)
{
    PlanRow &row = plan.rows.at(index);
    if (row.type == type)
        return;
    row.type = type;
    if (type == "收")
        row.bill.refund = false;
    if (row.categorySource == kFromRefund)
        row.categorySource.clear();
    if (row.categorySource == kFromUser && !isCategoryOf(plan, type, row.category))
        row.categorySource.clear();
    assignCategory(plan, row);
    decide(plan, row);
}

void setIncluded(Plan &plan, std::size_t index, bool included)
{
    PlanRow &row = plan.rows.at(index);
    row.included = included;
    if (included && row.type.empty()) {
        row.type = row.bill.direction == Direction::Income ? "收" : "付";
        assignCategory(plan, row);
    }
    decide(plan, row);
}

void mapMethod(Plan &plan, const std::string &method, const std::string &account)
{
    plan.accountMap[method] = account;
    plan.newAccounts[method] = account;
    for (PlanRow &row : plan.rows)
        if (methodOf(plan, row) == method && !row.accountByUser) {
            row.account = account;
            decide(plan, row);
        }
}

void addRule(Plan &plan, const Rule &rule)
{
    plan.newRules.push_back(rule);
    plan.rules.push_back(rule);
    // The newest rule comes first among rules of its kind and length.
    plan.rules.back().number = std::numeric_limits<int>::max() - static_cast<int>(plan.newRules.size());
    orderRules(plan.rules);
    for (PlanRow &row : plan.rows) {
        if (row.bill.refund && row.categorySource == kFromRefund)
            continue;
        assignCategory(plan, row);
        decide(plan, row);
    }
}

PlanTotals totalsOf(const Plan &plan)
{
    PlanTotals totals;
    for (const PlanRow &row : plan.rows) {
        switch (row.decision) {
        case Decision::Post:
            ++totals.post;
            if (row.type == "付")
                totals.spending += row.signedCents();
            else
                totals.income += row.signedCents();
            break;
        case Decision::Skip:
            ++totals.skip;
            break;
        case Decision::Duplicate:
            ++totals.duplicate;
            break;
        case Decision::NeedsCategory:
            ++totals.needsCategory;
            break;
        case Decision::NeedsAccount:
            ++totals.needsAccount;
            break;
        }
    }
    return totals;
}

} // namespace import

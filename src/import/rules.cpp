#include "import/rules.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/text.h"

#include <algorithm>

namespace import {

namespace {

const std::pair<RuleField, const char *> kFieldNames[] = {
    {RuleField::Counterparty, "对方"}, {RuleField::Goods, "商品"}, {RuleField::BillCategory, "分类"}};

// Bill categories whose everyday name differs from every category name.
const std::pair<const char *, const char *> kKnownPairs[] = {
    {"充值缴费", "通讯"}, {"文化休闲", "娱乐"}, {"住房物业", "居住"}, {"酒店旅游", "娱乐"},
    {"爱车养车", "交通"}, {"美容美发", "日用品"}, {"服饰装扮", "日用品"}, {"母婴亲子", "日用品"},
    {"运动户外", "娱乐"}, {"数码电器", "日用品"}, {"家居家装", "居住"}, {"生活服务", "日用品"},
};

std::string firstCharacters(const std::string &text, std::size_t count) { return db::utf8Mid(text, 0, count); }

bool contains(const std::string &text, const std::string &piece)
{
    return !piece.empty() && text.find(piece) != std::string::npos;
}

} // namespace

const char *ruleFieldName(RuleField field)
{
    for (const auto &[f, name] : kFieldNames)
        if (f == field)
            return name;
    return "";
}

bool ruleFieldNamed(const std::string &name, RuleField &field)
{
    for (const auto &[f, text] : kFieldNames)
        if (name == text) {
            field = f;
            return true;
        }
    return false;
}

void orderRules(std::vector<Rule> &rules)
{
    std::stable_sort(rules.begin(), rules.end(), [](const Rule &a, const Rule &b) {
        if (a.field != b.field)
            return a.field < b.field;
        if (a.pattern.size() != b.pattern.size())
            return a.pattern.size() > b.pattern.size();
        return a.number > b.number;
    });
}

std::vector<Rule> loadRules(db::Connection &c)
{
    db::ensureFeatureTables(c);
    std::vector<Rule> rules;
    db::Query q = c.query("select Num, Field, Pattern, PayGet, Style from ImportRule order by Num");
    while (q.next()) {
        Rule rule;
        if (!ruleFieldNamed(q.field("Field"), rule.field))
            continue;
        rule.number = std::stoi(q.field("Num"));
        rule.pattern = q.field("Pattern");
        rule.type = q.field("PayGet");
        rule.category = q.field("Style");
        rules.push_back(std::move(rule));
    }
    orderRules(rules);
    return rules;
}

const Rule *matchRule(const std::vector<Rule> &rules, const BillRow &row, const std::string &type)
{
    for (const Rule &rule : rules) {
        if (rule.type != type)
            continue;
        const bool hit = rule.field == RuleField::Counterparty ? contains(row.counterparty, rule.pattern)
                         : rule.field == RuleField::Goods      ? contains(row.goods, rule.pattern)
                                                               : row.billCategory == rule.pattern;
        if (hit)
            return &rule;
    }
    return nullptr;
}

db::Result saveRule(db::Connection &c, const Rule &rule)
{
    const std::string pattern = db::trim(rule.pattern);
    if (pattern.empty())
        return db::Result::refused("规则要有对方、商品或分类的文字");
    if (rule.category.empty())
        return db::Result::refused("请选择规则的类型");
    db::ensureFeatureTables(c);
    db::Transaction transaction(c, "保存导入规则 " + pattern);
    const std::string where = " where Field='" + db::quote(ruleFieldName(rule.field)) + "' and Pattern='" +
                              db::quote(pattern) + "' and PayGet='" + db::quote(rule.type) + "'";
    if (c.execute("update ImportRule set Style='" + db::quote(rule.category) + "'" + where) == 0) {
        const std::string next = c.scalar("select coalesce(max(Num),0)+1 as n from ImportRule", "n");
        c.execute("insert into ImportRule (Num, Field, Pattern, PayGet, Style) values (" + next + ",'" +
                  db::quote(ruleFieldName(rule.field)) + "','" + db::quote(pattern) + "','" + db::quote(rule.type) +
                  "','" + db::quote(rule.category) + "')");
    }
    transaction.commit();
    return db::Result::ok();
}

db::Result deleteRule(db::Connection &c, int number)
{
    db::ensureFeatureTables(c);
    db::Transaction transaction(c, "删除导入规则 #" + std::to_string(number));
    if (c.execute("delete from ImportRule where Num=" + std::to_string(number)) == 0)
        return db::Result::refused("没有编号为 " + std::to_string(number) + " 的规则");
    transaction.commit();
    return db::Result::ok();
}

Rule ruleFromCorrection(const BillRow &row, const std::string &type, const std::string &category)
{
    Rule rule;
    rule.type = type;
    rule.category = category;
    if (!row.counterparty.empty()) {
        rule.field = RuleField::Counterparty;
        rule.pattern = row.counterparty;
    } else if (!row.goods.empty()) {
        rule.field = RuleField::Goods;
        rule.pattern = row.goods;
    } else {
        rule.field = RuleField::BillCategory;
        rule.pattern = row.billCategory;
    }
    return rule;
}

std::string suggestCategory(const std::string &billCategory, const std::vector<std::string> &names)
{
    if (billCategory.empty())
        return {};
    std::string best;
    for (const std::string &name : names)
        if ((contains(billCategory, name) || contains(name, billCategory)) && db::utf8Length(name) > db::utf8Length(best))
            best = name;
    if (!best.empty())
        return best;
    const std::string start = firstCharacters(billCategory, 2);
    if (db::utf8Length(start) == 2)
        for (const std::string &name : names)
            if (firstCharacters(name, 2) == start)
                return name;
    for (const auto &[bill, name] : kKnownPairs)
        if (billCategory == bill && std::find(names.begin(), names.end(), name) != names.end())
            return name;
    return {};
}

std::map<std::string, std::string> loadAccountMap(db::Connection &c)
{
    db::ensureFeatureTables(c);
    std::map<std::string, std::string> map;
    db::Query q = c.query("select Method, BankName from ImportAccount");
    while (q.next())
        map[q.field("Method")] = q.field("BankName");
    return map;
}

void saveAccountMapping(db::Connection &c, const std::string &method, const std::string &account)
{
    db::ensureFeatureTables(c);
    db::Transaction transaction(c, "保存付款方式 " + method);
    c.execute("delete from ImportAccount where Method='" + db::quote(method) + "'");
    c.execute("insert into ImportAccount (Method, BankName) values ('" + db::quote(method) + "','" +
              db::quote(account) + "')");
    transaction.commit();
}

} // namespace import

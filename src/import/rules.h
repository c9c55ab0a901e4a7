#pragma once

#include "db/result.h"
#include "import/bill.h"

#include <map>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace import {

// What a category rule looks at.
enum class RuleField {
    Counterparty, // the counterparty contains the pattern
    Goods,        // the goods text contains the pattern
    BillCategory  // the bill's own category is the pattern
};

const char *ruleFieldName(RuleField field); // 对方, 商品, 分类
bool ruleFieldNamed(const std::string &name, RuleField &field);

// "Rows of this type whose field matches the pattern go to this category."
struct Rule {
    int number = 0;
    RuleField field = RuleField::Counterparty;
    std::string pattern;
    std::string type; // 付 or 收
    std::string category;
};

// The rules of the book in the order they are tried: counterparty rules,
// then goods rules, then bill categories; a longer pattern before a shorter
// one, a newer rule before an older one.
std::vector<Rule> loadRules(db::Connection &c);
void orderRules(std::vector<Rule> &rules);

// The first rule that takes a row of a type, or none.
const Rule *matchRule(const std::vector<Rule> &rules, const BillRow &row, const std::string &type);

// Saves a rule, replacing the one with the same field, pattern and type.
// Runs inside the caller's transaction when there is one.
db::Result saveRule(db::Connection &c, const Rule &rule);
db::Result deleteRule(db::Connection &c, int number);

// The rule a correction in the preview turns into: the row's counterparty
// (or, without one, its goods text) now means this category.
Rule ruleFromCorrection(const BillRow &row, const std::string &type, const std::string &category);

// The category a bill's own category suggests by name among the given
// category names, "" when none: a name the bill category contains or that
// contains it (餐饮美食 → 餐饮), one sharing its first two characters
// (日用百货 → 日用品), or one of a few known pairs (充值缴费 → 通讯).
std::string suggestCategory(const std::string &billCategory, const std::vector<std::string> &names);

// Which account each paying method is kept as.
std::map<std::string, std::string> loadAccountMap(db::Connection &c);
// Keeps a method's account, inside the caller's transaction when there is one.
void saveAccountMapping(db::Connection &c, const std::string &method, const std::string &account);

} // namespace import

#include "stats/statistics.h"

#include "db/text.h"
#include "db/tree_limits.h"
#include "stats/percent.h"

#include <algorithm>

namespace stats {

struct Statistics::CategorySection {
    CategoryTree tree;
    Section section;
    const char *root;
    const char *direction;
    std::string Statistics::*total;
};

namespace {

// Path keys hold four digits per level; the first level's ancestor number
// starts at the fifth character.
constexpr int kFirstStart = 5;
constexpr int kStartStep = 4;

} // namespace

std::string treeTooDeepMessage()
{
    return "有一棵分类树超过 " + std::to_string(db::kMaxTreeDepth) +
           " 层 (或上级分类绕成了圈)，更深的分类没有列出。请在参数设置中整理这棵树。";
}

Statistics::Statistics(db::Connection &connection, const Range &range, RowSink &sink, Output output,
                       const RunOptions &options)
    : Walk(connection, range, sink, output, options)
{
}

std::string Statistics::headRow(Section section, const Totals &totals, const char *label, const char *direction)
{
    Row row;
    row.section = section;
    row.role = Role::Head;
    row.label = label;
    row.cells = {totals.amount, totals.count, direction, kWholePercent};
    put(row);
    return totals.amount;
}

bool Statistics::withinDepth(int level, const std::vector<Record> &records)
{
    if (level <= db::kMaxTreeDepth)
        return true;
    if (!records.empty())
        note(treeTooDeepMessage());
    return false;
}

// ---- journal ----

void Statistics::journalSection(sql::JournalDetail form, const char *headLabel)
{
    m_journalTotal = headRow(Section::Journal, source().journalHead(), headLabel, "");
    for (const Record &record : source().journalDetail(form)) {
        Row row;
        row.section = Section::Journal;
        row.role = Role::Detail;
        row.depth = 1;
        row.label = record.label;
        row.cells = {record.amount, record.count, record.direction, sharePercent(record.amount, m_journalTotal)};
        put(row);
    }
}

// ---- income and expense ----

void Statistics::categorySection(const CategorySection &section, Output headForm, const char *headLabel)
{
    this->*section.total =
        headRow(section.section, source().categoryHead(section.tree, headForm), headLabel, section.direction);
    categoryRollUp(section, section.root, 1, kFirstStart, 1);
    for (const Record &record : source().uncategorised(section.tree)) {
        Row row;
        row.section = section.section;
        row.role = Role::Uncategorised;
        row.depth = 1;
        row.label = record.label;
        row.cells = {record.amount, record.count, section.direction,
                     sharePercent(record.amount, this->*section.total)};
        put(row);
    }
}

// Each child of parent that has entries in the range, summed with its whole
// branch, followed at once by its own children; the largest sums come first.
void Statistics::categoryRollUp(const CategorySection &section, const std::string &parent, int level, int start,
                                int depth)
{
    const std::vector<Record> records = source().categoryRollUp(section.tree, parent, level, start);
    if (!withinDepth(level, records))
        return;
    std::vector<Row> rows;
    for (const Record &record : records) {
        Row row;
        row.section = section.section;
        row.role = Role::Category;
        row.depth = depth;
        row.level = level;
        row.label = record.label;
        row.cells = {record.amount, record.count, section.direction,
                     sharePercent(record.amount, this->*section.total)};
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        return db::leadingNumber(a.cell(0)) > db::leadingNumber(b.cell(0));
    });
    for (const Row &row : rows) {
        put(row);
        categoryRollUp(section, row.label, level + 1, start + kStartStep, depth + 1);
    }
}

void Statistics::income()
{
    createColumns(categoryColumns());
    categorySection(incomeSection(), Output::List, kIncomeHead);
}

void Statistics::expense()
{
    createColumns(categoryColumns());
    categorySection(expenseSection(), Output::List, kExpenseHead);
}

void Statistics::journal()
{
    createColumns(categoryColumns());
    journalSection(sql::JournalDetail::Statistic, kJournalHead);
}

void Statistics::journalSheet() { journalSection(sql::JournalDetail::Sheet, kJournalSheetHead); }

void Statistics::expenseSheet() { categorySection(expenseSection(), Output::Sheet, kExpenseHead); }

void Statistics::incomeSheet() { categorySection(incomeSection(), Output::Sheet, kIncomeSheetHead); }

// ---- bank and cash ----

void Statistics::bankHead() { m_bankTotal = headRow(Section::Bank, source().bankHead(), kBankHead, ""); }

void Statistics::cashHead() { m_cashTotal = headRow(Section::Cash, source().cashHead(), kCashHead, ""); }

void Statistics::bankRollUp(const std::string &parent, int level, int start, int depth, const std::string &direction)
{
    const std::vector<Record> records = source().bankRollUp(parent, level, start, direction);
    if (!withinDepth(level, records))
        return;
    for (const Record &record : records) {
        Row row;
        row.section = Section::Bank;
        row.role = Role::Category;
        row.depth = depth;
        row.level = level;
        row.label = record.label;
        row.cells = {record.amount, record.count, direction == kAllDirections ? std::string() : direction,
                     sharePercent(record.amount, m_bankTotal)};
        put(row);
        bankRollUp(row.label, level + 1, start + kStartStep, depth + 1, direction);
    }
}

void Statistics::bankDirection(const std::string &direction)
{
    const Totals totals = source().bankDirection(direction);
    Row row;
    row.section = Section::Bank;
    row.role = Role::Direction;
    row.depth = 1;
    row.label = direction;
    row.cells = {totals.amount, totals.count, direction, sharePercent(totals.amount, m_bankTotal)};
    put(row);

    bankRollUp(kBankRoot, 1, kFirstStart, 2, direction);

    for (const Record &record : source().banksOutsideTree(direction)) {
        Row outside;
        outside.section = Section::Bank;
        outside.role = Role::OutsideTree;
        outside.depth = 2;
        outside.label = record.label;
        outside.cells = {record.amount, record.count, direction, sharePercent(record.amount, m_bankTotal)};
        put(outside);
    }
}

// Only the cash ledger's own figures stand under a cash direction; the bank
// ledger has its own statistic.
void Statistics::cashDirection(const std::string &direction)
{
    const Totals totals = source().cashDirection(direction);
    Row row;
    row.section = Section::Cash;
    row.role = Role::Direction;
    row.depth = 1;
    row.label = direction;
    row.cells = {totals.amount, totals.count, ""};
    if (!m_cashTotal.empty())
        row.cells.push_back(sharePercent(totals.amount, m_cashTotal));
    put(row);
}

void Statistics::bank()
{
    createColumns(categoryColumns());
    bankHead();
    for (const char *direction : kDirections)
        bankDirection(direction);
}

void Statistics::cash()
{
    createColumns(categoryColumns());
    cashHead();
    for (const char *direction : kDirections)
        cashDirection(direction);
}

void Statistics::summary()
{
    createColumns(categoryColumns());
    journalSection(sql::JournalDetail::Summary, kJournalHead);
    categorySection(expenseSection(), Output::List, kExpenseHead);
    categorySection(incomeSection(), Output::List, kIncomeHead);
    bankHead();
    bankRollUp(kBankRoot, 1, kFirstStart, 1, kAllDirections);
    cashHead();
    for (const char *direction : kDirections)
        cashDirection(direction);
}

Outcome Statistics::run(Kind kind)
{
    return guarded([&] {
        switch (kind) {
        case Kind::Summary:
            summary();
            return;
        case Kind::Journal:
            journal();
            return;
        case Kind::Bank:
            bank();
            return;
        case Kind::Cash:
            cash();
            return;
        case Kind::Income:
            income();
            return;
        case Kind::Expense:
            expense();
            return;
        }
    });
}

const Statistics::CategorySection &Statistics::expenseSection()
{
    static const CategorySection section{CategoryTree::Expense, Section::Expense, kExpenseRoot, "付",
                                         &Statistics::m_expenseTotal};
    return section;
}

const Statistics::CategorySection &Statistics::incomeSection()
{
    static const CategorySection section{CategoryTree::Income, Section::Income, kIncomeRoot, "收",
                                         &Statistics::m_incomeTotal};
    return section;
}

Outcome runStatistic(db::Connection &connection, Kind kind, const Range &range, RowSink &sink,
                     const RunOptions &options)
{
    Statistics statistics(connection, range, sink, Output::List, options);
    return statistics.run(kind);
}

} // namespace stats

#include "stats/statistics.h"

#include "db/connection.h"
#include "db/text.h"
#include "stats/amount_text.h"
#include "stats/percent.h"
#include "stats/totals.h"

#include <algorithm>

namespace stats {

struct Statistics::CategoryTree {
    Section section;
    const char *root;
    const char *direction;
    std::string (*rollUp)(const Range &, const std::string &, int, int);
    std::string (*uncategorised)(const Range &);
    std::string Statistics::*total;
};

namespace {

// Path keys hold four digits per level; the first level's ancestor number
// starts at the fifth character.
constexpr int kFirstStart = 5;
constexpr int kStartStep = 4;

} // namespace

Statistics::Statistics(db::Connection &connection, Range range, RowSink &sink, Output output)
    : m_connection(connection), m_range(std::move(range)), m_sink(sink), m_output(output)
{
}

void Statistics::createColumns()
{
    if (m_output == Output::List)
        m_sink.createColumns(categoryColumns());
}

std::string Statistics::headRow(Section section, const std::string &statement, const char *label,
                                const char *direction)
{
    const auto [amount, count] = readTotals(m_connection, statement);
    Row row;
    row.section = section;
    row.role = Role::Head;
    row.label = label;
    row.cells = {amount, count, direction, kWholePercent};
    m_sink.addRow(row);
    return amount;
}

// ---- journal ----

void Statistics::journalSection(sql::JournalDetail form, const char *headLabel)
{
    m_journalTotal = headRow(Section::Journal, sql::journalHead(m_range), headLabel, "");
    db::Query q = m_connection.query(sql::journalDetail(m_range, form));
    while (q.next()) {
        Row row;
        row.section = Section::Journal;
        row.role = Role::Detail;
        row.depth = 1;
        row.label = q.field("帐目类型");
        const std::string amount = cleanAmount(q.field("nMoney"));
        row.cells = {amount, q.field("nCount"), q.field("收负类型"), sharePercent(amount, m_journalTotal)};
        m_sink.addRow(row);
    }
}

// ---- income and expense ----

void Statistics::categorySection(const CategoryTree &tree, const std::string &headStatement, const char *headLabel)
{
    this->*tree.total = headRow(tree.section, headStatement, headLabel, tree.direction);
    categoryRollUp(tree, tree.root, 1, kFirstStart, 1);
    db::Query q = m_connection.query(tree.uncategorised(m_range));
    while (q.next()) {
        Row row;
        row.section = tree.section;
        row.role = Role::Uncategorised;
        row.depth = 1;
        row.label = q.field("aStyle");
        const std::string amount = cleanAmount(q.field("nMoney"));
        row.cells = {amount, q.field("nCount"), tree.direction, sharePercent(amount, this->*tree.total)};
        m_sink.addRow(row);
    }
}

// Each child of parent that has entries in the range, summed with its whole
// branch, followed at once by its own children; the largest sums come first.
// The levels only grow, so the walk ends at the deepest level of the table.
void Statistics::categoryRollUp(const CategoryTree &tree, const std::string &parent, int level, int start, int depth)
{
    std::vector<Row> rows;
    {
        db::Query q = m_connection.query(tree.rollUp(m_range, parent, level, start));
        while (q.next()) {
            Row row;
            row.section = tree.section;
            row.role = Role::Category;
            row.depth = depth;
            row.level = level;
            row.label = q.field("aStyle");
            const std::string amount = cleanAmount(q.field("nMoney"));
            row.cells = {amount, q.field("nCount"), tree.direction, sharePercent(amount, this->*tree.total)};
            rows.push_back(std::move(row));
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        return db::leadingNumber(a.cell(0)) > db::leadingNumber(b.cell(0));
    });
    for (const Row &row : rows) {
        m_sink.addRow(row);
        categoryRollUp(tree, row.label, level + 1, start + kStartStep, depth + 1);
    }
}

void Statistics::income()
{
    createColumns();
    categorySection(incomeTree(), sql::incomeHead(m_range), kIncomeHead);
}

void Statistics::expense()
{
    createColumns();
    categorySection(expenseTree(), sql::expenseHead(m_range, Output::List), kExpenseHead);
}

void Statistics::journal()
{
    createColumns();
    journalSection(sql::JournalDetail::Statistic, kJournalHead);
}

void Statistics::journalSheet() { journalSection(sql::JournalDetail::Sheet, kJournalSheetHead); }

void Statistics::expenseSheet()
{
    categorySection(expenseTree(), sql::expenseHead(m_range, Output::Sheet), kExpenseHead);
}

void Statistics::incomeSheet() { categorySection(incomeTree(), sql::incomeHead(m_range), kIncomeSheetHead); }

// ---- bank and cash ----

void Statistics::bankHead() { m_bankTotal = headRow(Section::Bank, sql::bankHead(m_range), kBankHead, ""); }

void Statistics::cashHead() { m_cashTotal = headRow(Section::Cash, sql::cashHead(m_range), kCashHead, ""); }

void Statistics::bankRollUp(const std::string &parent, int level, int start, int depth, const std::string &direction)
{
    db::Query q = m_connection.query(sql::bankRollUp(m_range, parent, level, start, direction));
    while (q.next()) {
        Row row;
        row.section = Section::Bank;
        row.role = Role::Category;
        row.depth = depth;
        row.level = level;
        row.label = q.field("aStyle");
        const std::string amount = cleanAmount(q.field("nMoney"));
        row.cells = {amount, q.field("nCount"), direction == kAllDirections ? std::string() : direction,
                     sharePercent(amount, m_bankTotal)};
        m_sink.addRow(row);
        bankRollUp(row.label, level + 1, start + kStartStep, depth + 1, direction);
    }
}

void Statistics::bankDirection(const std::string &direction)
{
    const auto [amount, count] = readTotals(m_connection, sql::bankDirection(m_range, direction));
    Row row;
    row.section = Section::Bank;
    row.role = Role::Direction;
    row.depth = 1;
    row.label = direction;
    row.cells = {amount, count, direction, sharePercent(amount, m_bankTotal)};
    m_sink.addRow(row);

    bankRollUp(kBankRoot, 1, kFirstStart, 2, direction);

    db::Query q = m_connection.query(sql::banksOutsideTree(m_range, direction));
    while (q.next()) {
        Row outside;
        outside.section = Section::Bank;
        outside.role = Role::OutsideTree;
        outside.depth = 2;
        outside.label = q.field("BankName");
        const std::string sum = cleanAmount(q.field("nMoney"));
        outside.cells = {sum, q.field("nCount"), direction, sharePercent(sum, m_bankTotal)};
        m_sink.addRow(outside);
    }
}

// Only the cash ledger's own figures stand under a cash direction; the bank
// ledger has its own statistic.
void Statistics::cashDirection(const std::string &direction)
{
    const auto [amount, count] = readTotals(m_connection, sql::cashDirection(m_range, direction));
    Row row;
    row.section = Section::Cash;
    row.role = Role::Direction;
    row.depth = 1;
    row.label = direction;
    row.cells = {amount, count, ""};
    if (!m_cashTotal.empty())
        row.cells.push_back(sharePercent(amount, m_cashTotal));
    m_sink.addRow(row);
}

void Statistics::bank()
{
    createColumns();
    bankHead();
    for (const char *direction : kDirections)
        bankDirection(direction);
}

void Statistics::cash()
{
    createColumns();
    cashHead();
    for (const char *direction : kDirections)
        cashDirection(direction);
}

void Statistics::summary()
{
    createColumns();
    journalSection(sql::JournalDetail::Summary, kJournalHead);
    categorySection(expenseTree(), sql::expenseHead(m_range, Output::List), kExpenseHead);
    categorySection(incomeTree(), sql::incomeHead(m_range), kIncomeHead);
    bankHead();
    bankRollUp(kBankRoot, 1, kFirstStart, 1, kAllDirections);
    cashHead();
    for (const char *direction : kDirections)
        cashDirection(direction);
}

void Statistics::run(Kind kind)
{
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
}

const Statistics::CategoryTree &Statistics::expenseTree()
{
    static const CategoryTree tree{Section::Expense, kExpenseRoot, "付", sql::expenseRollUp,
                                   sql::expenseUncategorised, &Statistics::m_expenseTotal};
    return tree;
}

const Statistics::CategoryTree &Statistics::incomeTree()
{
    static const CategoryTree tree{Section::Income, kIncomeRoot, "收", sql::incomeRollUp, sql::incomeUncategorised,
                                   &Statistics::m_incomeTotal};
    return tree;
}

void runStatistic(db::Connection &connection, Kind kind, const Range &range, RowSink &sink)
{
    Statistics statistics(connection, range, sink);
    statistics.run(kind);
}

} // namespace stats

#include "stats/statement_source.h"

#include "db/connection.h"

namespace stats {

namespace {

class StatementSource : public Source {
public:
    StatementSource(db::Connection &connection, Range range) : m_connection(connection), m_range(std::move(range)) {}

    Totals journalHead() override { return readTotals(m_connection, sql::journalHead(m_range)); }
    std::vector<Record> journalDetail(sql::JournalDetail form) override
    {
        return records(sql::journalDetail(m_range, form), "帐目类型", "收负类型");
    }
    Totals categoryHead(CategoryTree tree, Output form) override
    {
        return readTotals(m_connection,
                          tree == CategoryTree::Expense ? sql::expenseHead(m_range, form) : sql::incomeHead(m_range));
    }
    std::vector<Record> categoryRollUp(CategoryTree tree, const std::string &parent, int level, int start) override
    {
        return records(tree == CategoryTree::Expense ? sql::expenseRollUp(m_range, parent, level, start)
                                                     : sql::incomeRollUp(m_range, parent, level, start),
                       "aStyle");
    }
    std::vector<Record> uncategorised(CategoryTree tree) override
    {
        return records(tree == CategoryTree::Expense ? sql::expenseUncategorised(m_range)
                                                     : sql::incomeUncategorised(m_range),
                       "aStyle");
    }

    Totals bankHead() override { return readTotals(m_connection, sql::bankHead(m_range)); }
    Totals cashHead() override { return readTotals(m_connection, sql::cashHead(m_range)); }
    std::vector<Record> bankRollUp(const std::string &parent, int level, int start,
                                   const std::string &direction) override
    {
        return records(sql::bankRollUp(m_range, parent, level, start, direction), "aStyle");
    }
    Totals bankDirection(const std::string &direction) override
    {
        return readTotals(m_connection, sql::bankDirection(m_range, direction));
    }
    Totals cashDirection(const std::string &direction) override
    {
        return readTotals(m_connection, sql::cashDirection(m_range, direction));
    }
    std::vector<Record> banksOutsideTree(const std::string &direction) override
    {
        return records(sql::banksOutsideTree(m_range, direction), "BankName");
    }

    Totals dayHead(const std::string &filter) override { return readTotals(m_connection, sql::dayHead(m_range, filter)); }
    std::vector<Record> days(const std::string &filter) override { return records(sql::days(m_range, filter), "nDate"); }
    std::vector<Record> dayDetail(const std::string &day, const std::string &filter) override
    {
        return records(sql::dayDetail(day, filter), "nStyle", "nType");
    }

private:
    // The records of a statement: its label field, nCount, nMoney, and the
    // direction field where it has one.
    std::vector<Record> records(const std::string &statement, const char *label, const char *direction = nullptr)
    {
        std::vector<Record> out;
        db::Query q = m_connection.query(statement);
        while (q.next())
            out.push_back(Record{q.field(label), q.field("nCount"), q.field("nMoney"),
                                 direction ? q.field(direction) : std::string()});
        return out;
    }

    db::Connection &m_connection;
    Range m_range;
};

} // namespace

std::unique_ptr<Source> makeStatementSource(db::Connection &connection, const Range &range)
{
    return std::make_unique<StatementSource>(connection, range);
}

} // namespace stats

#pragma once

#include "stats/statements.h"
#include "stats/totals.h"

#include <memory>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace stats {

// One record of a statistics statement, the fields a row is made of.
struct Record {
    std::string label;
    std::string count;
    std::string amount;
    // The type of a journal record (收负类型, as stored); "" elsewhere.
    std::string direction;
};

enum class CategoryTree { Expense, Income };

// How a statistic finds its figures. Both give the same rows, byte for byte.
enum class Computation {
    // Each ledger's rows of the range read once, then added up along the
    // trees in memory.
    Fast,
    // The statements, one after another, each reading the ledger again.
    Reference,
};

// The records of the statements a statistic runs, in the order the
// statements return them. The walk (Statistics, DayStatistic) turns them
// into rows; the source only finds them.
class Source {
public:
    virtual ~Source() = default;

    virtual Totals journalHead() = 0;
    virtual std::vector<Record> journalDetail(sql::JournalDetail form) = 0;
    // The head of the expense (付) or income (收) section; form names the
    // spelling of the expense head statement.
    virtual Totals categoryHead(CategoryTree tree, Output form) = 0;
    // The children of parent at level, each with its whole branch summed;
    // start is where the descendants' path keys carry the child's number.
    virtual std::vector<Record> categoryRollUp(CategoryTree tree, const std::string &parent, int level,
                                               int start) = 0;
    // Types of the tree's direction that name no node of the tree.
    virtual std::vector<Record> uncategorised(CategoryTree tree) = 0;

    virtual Totals bankHead() = 0;
    virtual Totals cashHead() = 0;
    // direction: 付, 收, 存, 取, or "all".
    virtual std::vector<Record> bankRollUp(const std::string &parent, int level, int start,
                                           const std::string &direction) = 0;
    virtual Totals bankDirection(const std::string &direction) = 0;
    virtual Totals cashDirection(const std::string &direction) = 0;
    virtual std::vector<Record> banksOutsideTree(const std::string &direction) = 0;

    // The day-by-day statistic; filter: 收, 付, 存, 取, or "all".
    virtual Totals dayHead(const std::string &filter) = 0;
    virtual std::vector<Record> days(const std::string &filter) = 0;
    virtual std::vector<Record> dayDetail(const std::string &day, const std::string &filter) = 0;
};

class Progress;

// The source of a computation over a range. progress (may be null) is asked
// now and then while a ledger is read, between two rows the engine hands
// over, and may stop the read (Stopped).
std::unique_ptr<Source> makeSource(db::Connection &connection, const Range &range, Computation computation,
                                   Progress *progress);

} // namespace stats

#pragma once

#include "db/dates.h"
#include "stats/stat_row.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace cli {

class Options;

// What a subcommand works with.
struct Context {
    std::string databasePath;
    db::DateTime now;
    std::ostream &out;
    std::ostream &err;
    std::string command; // the command word, once known
};

// Each returns the exit status; the database is opened by the caller, but
// for restore and check, which open it themselves.
int addEntry(db::Connection &c, const Options &options, Context &context);
int changeEntry(db::Connection &c, const Options &options, Context &context);
int deleteEntry(db::Connection &c, const Options &options, Context &context);
int listLedger(db::Connection &c, const Options &options, Context &context);
int statistic(db::Connection &c, const Options &options, Context &context);
int days(db::Connection &c, const Options &options, Context &context);
int exportStatistic(db::Connection &c, const Options &options, Context &context);
int exportDays(db::Connection &c, const Options &options, Context &context);
int postRecurring(db::Connection &c, const Options &options, Context &context);
int backup(db::Connection &c, const Options &options, Context &context);
int restore(const Options &options, Context &context);
int check(const Options &options, Context &context);
int budget(db::Connection &c, const Options &options, Context &context);
int findEntries(db::Connection &c, const Options &options, Context &context);
int balances(db::Connection &c, const Options &options, Context &context);
// The safety nets: undo, redo, the history, automatic backups.
int undo(db::Connection &c, const Options &options, Context &context);
int redo(db::Connection &c, const Options &options, Context &context);
int history(db::Connection &c, const Options &options, Context &context);
int autoBackup(db::Connection &c, const Options &options, Context &context);
int backups(db::Connection &c, const Options &options, Context &context);

// Shared by the subcommands.
int refuse(Context &context, const std::string &message);
// A usage error: one line that names it and where to read the usage.
int usage(Context &context, const std::string &message);
// Prints the rows of a statistic as they come, depth first: the depth, the
// label and the four cells, a missing cell empty.
class PrintingSink : public stats::RowSink {
public:
    explicit PrintingSink(std::ostream &out) : m_out(out) {}
    void createColumns(const std::vector<stats::Column> &) override {}
    void addRow(const stats::Row &row) override;

private:
    std::ostream &m_out;
};
// A day bound "YYYYMMDD" that is a real date, or none.
bool isDayText(const std::string &text);
// A field as printed: without the blanks that stored texts may end with, and
// with a backslash, tab or line break inside it written as \\, \t, \n or
// \r, so that every record stays one line of tab-separated fields.
std::string printable(const std::string &text);
// One record: its fields, printable, separated by tabs.
void printRow(std::ostream &out, const std::vector<std::string> &cells);

} // namespace cli

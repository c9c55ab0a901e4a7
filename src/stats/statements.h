#pragma once

#include "stats/stat_row.h"

#include <string>

namespace stats {

// A date range of eight-digit "%Y%m%d" texts, both ends included. A begin
// after the end is used as it is and finds nothing.
struct Range {
    std::string begin;
    std::string end;
};

// The statements of the statistics. Every text value goes in quoted; tree
// levels and start positions are numbers the walk makes itself.
namespace sql {

// The three spellings of the journal's type-by-direction statement: under
// the summary's journal section, as the journal statistic, in the sheet.
enum class JournalDetail { Summary, Statistic, Sheet };

std::string journalHead(const Range &range);
std::string journalDetail(const Range &range, JournalDetail form);

std::string expenseHead(const Range &range, Output output);
std::string incomeHead(const Range &range);
// The children of parent at level, each with the entries of its whole
// branch: a node's descendants carry its number in the four characters of
// their path key starting at start.
std::string expenseRollUp(const Range &range, const std::string &parent, int level, int start);
std::string incomeRollUp(const Range &range, const std::string &parent, int level, int start);
std::string expenseUncategorised(const Range &range);
std::string incomeUncategorised(const Range &range);

std::string bankHead(const Range &range);
std::string cashHead(const Range &range);
// direction: 付, 收, 存, 取, or "all" for every bank ledger row.
std::string bankRollUp(const Range &range, const std::string &parent, int level, int start,
                       const std::string &direction);
std::string bankDirection(const Range &range, const std::string &direction);
std::string cashDirection(const Range &range, const std::string &direction);
std::string banksOutsideTree(const Range &range, const std::string &direction);

// filter: 收, 付, 存, 取, or "all".
std::string dayHead(const Range &range, const std::string &filter);
std::string days(const Range &range, const std::string &filter);
std::string dayDetail(const std::string &day, const std::string &filter);

} // namespace sql
} // namespace stats

#pragma once

#include "db/dates.h"

#include <string>

namespace bench {

// A journal of a heavy user: entries of every kind (cash and bank expenses,
// incomes, deposits, withdrawals, investments started and finished), spread
// evenly over the years that end on "today", in the order of their dates.
struct JournalShape {
    int entries = 100000;
    db::DateTime today{2026, 5, 20, 0, 0, 0};
    int years = 10;
};

// The path of a ledger file holding the journal. It is posted entry by entry
// through ledger::postEntry in one transaction the first time, and kept in
// the temporary folder under a name made of the shape and the schema, so that
// later runs open it at once.
std::string journalFile(const JournalShape &shape);

// The first day of the journal, "%Y%m%d".
std::string firstDay(const JournalShape &shape);

} // namespace bench

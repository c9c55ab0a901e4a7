#pragma once

#include "db/dates.h"

#include <string>

namespace db {
class Connection;
}

namespace bench {

// Gives a fresh book a household's trees (60 expense and 20 income
// categories on three levels, four banks beside the cash node, one below
// another), then writes count entries spread evenly over the ten years that
// end on lastDay, row for row as posting an entry writes them: the journal
// row, the income or expense ledger row, the cash or bank ledger rows. Most
// are expenses, on the leaves and inner nodes of the tree.
void generateEntries(db::Connection &c, int count, const db::DateTime &lastDay);

// The path of such a book in the temporary folder, made on first use under a
// name of its own (entries, last day, generator version and schema) and kept
// for later runs.
std::string statisticsBook(int count, const db::DateTime &lastDay);

} // namespace bench

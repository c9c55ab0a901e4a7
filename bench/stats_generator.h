#pragma once

#include "db/dates.h"

namespace db {
class Connection;
}

namespace bench {

// Replaces the category trees of a fresh database by a household's: 60
// expense and 20 income categories on three levels, and four banks beside
// the cash node, one of them below another.
void createHouseholdTrees(db::Connection &c);

// Writes count entries spread evenly over the ten years that end on
// lastDay, row for row as posting an entry writes them: the journal row,
// the income or expense ledger row, the cash or bank ledger rows.
// Most are expenses, on the leaves and inner nodes of the tree.
void generateEntries(db::Connection &c, int count, const db::DateTime &lastDay);

} // namespace bench

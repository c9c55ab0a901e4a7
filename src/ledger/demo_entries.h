#pragma once

#include "db/dates.h"

namespace db {
class Connection;
}

namespace ledger {

// Adds two bank accounts, a second user and a year of household entries
// ending on the given day, written row for row as the entry dialog writes
// them. Returns the number of entries written.
int addDemoEntries(db::Connection &c, const db::DateTime &lastDay);

} // namespace ledger

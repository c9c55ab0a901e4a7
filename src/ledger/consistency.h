#pragma once

#include "db/dates.h"

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace ledger {

// Looks the books over: the engine's integrity check; every journal entry
// with the ledger rows its type calls for (an expense one expense row and
// one cash or bank row of minus its amount, an income one income row and a
// plus row, a deposit or withdrawal a cash and a bank row of opposite signs,
// an investment its investment row, an opening balance its deposit and the
// income or the source's withdrawal); no ledger row without its entry; no
// recurring item that has posted beyond today. One line per problem found.
std::vector<std::string> checkBooks(db::Connection &c, const db::DateTime &today);

} // namespace ledger

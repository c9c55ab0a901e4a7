#pragma once

#include "stats/source.h"

namespace stats {

// The fast computation: each ledger's rows of the range read once (the
// journal, the bank and the cash ledger, as a statistic needs them), summed
// by type and category, by bank and direction, and by day, then added up
// along the trees in memory with the rules of the statements: the same
// records in the same order as the reference's.
std::unique_ptr<Source> makeScanSource(db::Connection &connection, const Range &range, Progress *progress);

} // namespace stats

#pragma once

#include "stats/source.h"

namespace stats {

// The reference computation: every statement of a statistic sent as it is
// written, one after another, each reading the ledger again.
std::unique_ptr<Source> makeStatementSource(db::Connection &connection, const Range &range);

} // namespace stats

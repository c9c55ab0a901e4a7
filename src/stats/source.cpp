#include "stats/source.h"

#include "stats/scan_source.h"
#include "stats/statement_source.h"

namespace stats {

std::unique_ptr<Source> makeSource(db::Connection &connection, const Range &range, Computation computation,
                                   Progress *progress)
{
    if (computation == Computation::Reference)
        return makeStatementSource(connection, range);
    return makeScanSource(connection, range, progress);
}

} // namespace stats

#include "stats/totals.h"

#include "db/connection.h"

namespace stats {

Totals readTotals(db::Connection &connection, const std::string &statement)
{
    Totals totals;
    db::Query q = connection.query(statement);
    while (q.next()) {
        totals.amount = q.field("nMoney");
        totals.count = q.field("nCount");
    }
    return totals;
}

} // namespace stats

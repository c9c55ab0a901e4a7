#pragma once

#include <string>

namespace db {
class Connection;
}

namespace stats {

// The count and sum that a head or direction statement returns (sum()
// adds exactly). Both stay empty when the statement returns no row; the
// last row counts when it returns several.
struct Totals {
    std::string amount;
    std::string count;
};

Totals readTotals(db::Connection &connection, const std::string &statement);

} // namespace stats

#pragma once

#include "db/exact_sum.h"

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace db {

// Registers the sums on a connection:
// - sum(x) in place of the engine's, whose double additions leave noise in
//   the last digits of money ("43736698.5899999"): it adds exactly
//   (ExactSum) and gives an integer, a real or NULL as the engine's does;
// - RangeGroup(date, begin, end, number, amount, first, second), the
//   figures of a group's rows whose day (Format(date,'yyyymmdd')) lies
//   between begin and end, for RangeGroup::parse.
void registerSums(sqlite3 *db);

// What RangeGroup gives for one group: its rows in the range, how many of
// them have a number, the exact sum of their amounts, and the texts first
// and second of the first of them in the order the statement meets them
// (nullopt for NULL).
struct RangeGroup {
    long long rows = 0;
    long long numbered = 0;
    ExactSum sum;
    std::optional<std::string> first;
    std::optional<std::string> second;

    // The group from the value RangeGroup returned; no rows for anything else.
    static RangeGroup parse(std::string_view value);
};

} // namespace db

#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace db {

// Registers Format, Mid and val on a connection (deterministic).
void registerDialect(sqlite3 *db);

// The functions themselves, for direct tests.
// Format(value, pattern) with date patterns: yyyy, yy, m, mm, mmm(m), d, dd,
// h, hh, n, nn, s, ss; "m"/"mm" right after an hour means minutes.
// nullopt when the value is not a date.
std::optional<std::string> formatDatePattern(std::string_view value, std::string_view pattern);
// val(s): the leading number with blanks ignored, 0 if none.
double valOf(std::string_view text);

} // namespace db

#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace db {

// Registers Format, Mid and val on a connection (deterministic), and the
// sums of sums.h.
void registerDialect(sqlite3 *db);

// The functions themselves, for direct tests.
// Format(value, pattern) with date patterns: yyyy, yy, m, mm, mmm(m), d, dd,
// h, hh, n, nn, s, ss; "m"/"mm" right after an hour means minutes.
// nullopt when the value is not a date.
std::optional<std::string> formatDatePattern(std::string_view value, std::string_view pattern);
// Format(value,'yyyymmdd') without building strings, the pattern of every
// range statement: writes the eight digits to out and returns true, or
// returns false when the value is not a date. The same result as
// formatDatePattern(value, "yyyymmdd").
bool formatDayKey(std::string_view value, char *out);
// The characters [start, start+count) of a UTF-8 text, 0-based, as a view
// into it; the same slice as utf8Mid.
std::string_view characterSlice(std::string_view utf8, std::size_t start, std::size_t count);
// val(s): the leading number, 0 if none. Blanks anywhere in it are skipped
// ("1 2 3" is 123); sign, digits and one point, no exponent.
double valOf(std::string_view text);

} // namespace db

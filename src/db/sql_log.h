#pragma once

#include <string_view>

namespace db {

// Appends a statement text to the file named by PENNARO_SQL_LOG, one a line,
// with tabs written as \t and newlines as \n. Does nothing when unset.
void logStatement(std::string_view sql);

} // namespace db

#pragma once

#include "db/dates.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kRefused = 1;  // input refused; the message on stderr, nothing written
inline constexpr int kUsage = 2;    // wrong usage
inline constexpr int kDatabase = 3; // the database failed; the engine's message on stderr

// Runs one command line (without the program name) and returns its exit
// status. "now" is the time an entry without --date takes.
int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, const db::DateTime &now);

} // namespace cli

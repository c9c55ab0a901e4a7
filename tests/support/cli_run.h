#pragma once

#include "db/dates.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

// What a run of the command line gave: its exit status and what it wrote.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The command line run on its arguments at a fixed moment.
inline CliRun runCommandLine(const std::vector<std::string> &args, const db::DateTime &now)
{
    std::ostringstream out;
    std::ostringstream err;
    CliRun ran;
    ran.status = cli::run(args, out, err, now);
    ran.out = out.str();
    ran.err = err.str();
    return ran;
}

// The same on a test's books (--db first).
inline CliRun runOnBooks(const TempDatabase &t, std::vector<std::string> args, const db::DateTime &now)
{
    args.insert(args.begin(), {"--db", t.path()});
    return runCommandLine(args, now);
}

} // namespace testing_support

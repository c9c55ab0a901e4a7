// pennaro-cli: the ledgers from the command line, through the same core
// functions as the windows.
#include "db/dates.h"
#include "tools/cli/cli.h"

#include <iostream>

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cli::run(args, std::cout, std::cerr, db::localNow());
}

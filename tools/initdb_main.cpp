// pennaro-initdb: creates a new ledger database with its default rows.
#include "db/connection.h"
#include "db/dates.h"
#include "db/init_database.h"
#include "tools/demo_entries.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void usage()
{
    std::fprintf(stderr, "usage: pennaro-initdb [--admin-password PASSWORD] [--demo] [PATH]\n"
                         "Creates PATH (default account.mdb); an existing file is never overwritten.\n");
}

} // namespace

int main(int argc, char *argv[])
{
    std::string path = "account.mdb";
    db::InitOptions options;
    bool demo = false;
    bool pathGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--admin-password" && i + 1 < argc) {
            options.adminPassword = argv[++i];
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "-h" || arg == "--help") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && !pathGiven) {
            path = arg;
            pathGiven = true;
        } else {
            usage();
            return 2;
        }
    }
    try {
        db::Connection connection = db::createDatabase(path, options);
        if (demo) {
            try {
                const int count = tools::addDemoEntries(connection, db::localNow());
                std::printf("%s: %d demo entries\n", path.c_str(), count);
            } catch (...) {
                std::remove(path.c_str());
                throw;
            }
        }
    } catch (const db::Error &error) {
        std::fprintf(stderr, "pennaro-initdb: %s\n", error.what());
        return 1;
    }
    std::printf("created %s\n", path.c_str());
    return 0;
}

// pennaro-initdb: creates a new ledger database with its default rows.
#include "db/connection.h"
#include "db/dates.h"
#include "db/init_database.h"
#include "tools/demo_entries.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// An interrupted run leaves no partly written file behind.
extern "C" void onSignal(int signal)
{
    db::removePartialDatabase();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

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
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, onSignal);
    int count = 0;
    try {
        db::InitFill fill;
        if (demo)
            fill = [&count](db::Connection &c) { count = tools::addDemoEntries(c, db::localNow()); };
        db::createDatabase(path, options, fill);
        if (demo)
            std::printf("%s: %d demo entries\n", path.c_str(), count);
    } catch (const db::Error &error) {
        std::fprintf(stderr, "pennaro-initdb: %s\n", error.what());
        return 1;
    }
    std::printf("created %s\n", path.c_str());
    return 0;
}

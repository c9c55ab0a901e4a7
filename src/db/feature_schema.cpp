#include "db/feature_schema.h"

#include "db/connection.h"

#include <regex>
#include <set>
#include <string>

namespace db {

namespace {

// The table names the feature script creates, read from the script itself so
// that a new block needs no second list.
const std::set<std::string> &featureTables()
{
    static const std::set<std::string> names = [] {
        std::set<std::string> found;
        const std::string script = kFeatureSchemaSql;
        static const std::regex create(R"(CREATE\s+TABLE\s+IF\s+NOT\s+EXISTS\s+(\w+))", std::regex::icase);
        for (auto it = std::sregex_iterator(script.begin(), script.end(), create); it != std::sregex_iterator(); ++it)
            found.insert((*it)[1].str());
        return found;
    }();
    return names;
}

bool allPresent(Connection &connection)
{
    const auto &wanted = featureTables();
    if (wanted.empty())
        return true;
    std::set<std::string> present;
    Query q = connection.query("SELECT name FROM sqlite_master WHERE type='table'");
    while (q.next())
        present.insert(q.field("name"));
    for (const auto &name : wanted)
        if (!present.count(name))
            return false;
    return true;
}

} // namespace

void ensureFeatureTables(Connection &connection)
{
    if (allPresent(connection))
        return;
    Transaction transaction(connection);
    connection.executeScript(kFeatureSchemaSql);
    transaction.commit();
}

} // namespace db

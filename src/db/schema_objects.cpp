#include "db/schema_objects.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/init_database.h"
#include "db/text.h"

#include <map>

namespace db {

namespace {

constexpr std::size_t kShownObjects = 3;
constexpr std::size_t kShownNameLength = 40;

struct Definition {
    std::string type;
    std::string sql;
};

std::string lowered(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The triggers, views and indexes the program's scripts create, by name
// (the engine matches names without regard to ASCII case), with the text
// the engine keeps of each.
const std::map<std::string, Definition> &ownDefinitions()
{
    static const std::map<std::string, Definition> own = [] {
        std::map<std::string, Definition> found;
        Connection built = Connection::createInMemory(kSchemaSql);
        built.executeScript(kFeatureSchemaSql);
        for (const CatalogueEntry &e : built.catalogue())
            if (e.type != "table")
                found[lowered(e.name)] = {e.type, e.sql};
        return found;
    }();
    return own;
}

bool isOwn(const std::string &type, const std::string &name, const std::string &sql)
{
    const auto &own = ownDefinitions();
    const auto found = own.find(lowered(name));
    return found != own.end() && found->second.type == type && found->second.sql == sql;
}

// Whether an index keys on an expression or holds only rows meeting a
// condition: both compute values when rows are written or looked up.
bool computesValues(Connection &c, const std::string &index, const std::string &table)
{
    const std::string expressions = c.scalar("select count(*) as n from pragma_index_xinfo('" + quote(index) +
                                                 "') where key and cid = -2",
                                             "n");
    const std::string partial = c.scalar("select count(*) as n from pragma_index_list('" + quote(table) +
                                             "') where name = '" + quote(index) + "' and partial",
                                         "n");
    return expressions != "0" || partial != "0";
}

const char *kindName(const std::string &type)
{
    if (type == "trigger")
        return "触发器";
    if (type == "view")
        return "视图";
    return "索引";
}

} // namespace

std::vector<SchemaObject> foreignSchemaObjects(Connection &connection)
{
    return foreignSchemaObjects(connection, connection.catalogue());
}

std::vector<SchemaObject> foreignSchemaObjects(Connection &connection, const std::vector<CatalogueEntry> &catalogue)
{
    std::vector<SchemaObject> foreign;
    for (const CatalogueEntry &e : catalogue) {
        if (e.type != "trigger" && e.type != "view" && e.type != "index")
            continue;
        if (e.sql.empty() || isOwn(e.type, e.name, e.sql))
            continue;
        if (e.type == "index" && !computesValues(connection, e.name, e.table))
            continue;
        foreign.push_back({e.type, e.name});
    }
    return foreign;
}

std::string describeObjects(const std::vector<SchemaObject> &objects)
{
    std::string text;
    for (std::size_t i = 0; i < objects.size() && i < kShownObjects; ++i) {
        std::string name = objects[i].name;
        if (utf8Length(name) > kShownNameLength)
            name = utf8Mid(name, 0, kShownNameLength) + "…";
        text += (i ? "、" : "") + std::string(kindName(objects[i].type)) + "“" + name + "”";
    }
    if (objects.size() > kShownObjects)
        text += "等 " + std::to_string(objects.size()) + " 个对象";
    return text;
}

} // namespace db

#pragma once

#include <string>
#include <vector>

namespace db {

class Connection;
struct CatalogueEntry;

// An entry of a database's catalogue: its kind ("trigger", "view", "index")
// and name.
struct SchemaObject {
    std::string type;
    std::string name;
};

// The objects of a database's schema that run code or compute values of
// their own and that the program's schema scripts do not create as they
// stand there: every trigger and view, and every index on an expression or
// with a condition. An index the engine makes for a key, and an index on
// plain columns, compute nothing of their own and pass. What the program
// creates is read from its scripts, so a table or index a feature adds
// passes without a list kept by hand.
std::vector<SchemaObject> foreignSchemaObjects(Connection &connection);
// The same, of catalogue rows already read from the connection.
std::vector<SchemaObject> foreignSchemaObjects(Connection &connection, const std::vector<CatalogueEntry> &catalogue);

// The objects named for a message: "触发器“a”、视图“b”", at most three of
// them with long names cut, then how many more there are.
std::string describeObjects(const std::vector<SchemaObject> &objects);

} // namespace db

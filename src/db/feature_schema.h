#pragma once

namespace db {

class Connection;

// The statements that create the tables of the program's own features.
extern const char *const kFeatureSchemaSql;

// Creates the feature tables a book made by an older program lacks, in one
// transaction of its own (or inside the caller's). Cheap when they exist:
// call it before a feature's first statement. Throws Error.
void ensureFeatureTables(Connection &connection);

} // namespace db

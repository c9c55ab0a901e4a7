#pragma once

namespace db {
class Connection;
}

namespace cli {

class Options;
struct Context;

// pennaro-cli import FILE ... and import --undo N.
int importBill(db::Connection &c, const Options &options, Context &context);
// pennaro-cli imports: the imports of the book, newest first.
int listImportsCommand(db::Connection &c, const Options &options, Context &context);
// pennaro-cli import-mapping NAME FILE --date ...: saves the columns of a bank's statement.
int saveImportMapping(db::Connection &c, const Options &options, Context &context);

} // namespace cli

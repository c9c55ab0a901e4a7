#pragma once

#include "db/connection.h"

namespace stats {

// A failure of the spreadsheet file's connection: the file cannot be made or
// written, or a statement is not one the driver accepts. Its text says which
// and names the file or the statement.
class SheetError : public db::Error {
public:
    using db::Error::Error;
};

} // namespace stats

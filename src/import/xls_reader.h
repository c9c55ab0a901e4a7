#pragma once

#include "db/result.h"
#include "import/table.h"

#include <string>

namespace import {

// Reads the first worksheet of an old binary workbook (.xls) with FreeXL.
// Dates come as "YYYY-MM-DD[ HH:MM:SS]" texts, numbers with number set.
db::Result readXls(const std::string &path, Table &table, int maxRows);

} // namespace import

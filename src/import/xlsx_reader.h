#pragma once

#include "db/result.h"
#include "import/table.h"

#include <string>

namespace import {

// Reads the first worksheet of an Office Open XML workbook (.xlsx): shared
// and inline strings, numbers (with number set on the cell) and booleans;
// formulas give their cached value. Refused, naming what is wrong, for a zip
// that holds no workbook or a damaged or cut-off file; reading stops after
// maxRows rows.
db::Result readXlsx(const std::string &path, Table &table, int maxRows);

} // namespace import

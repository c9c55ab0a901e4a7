#pragma once

#include "db/result.h"
#include "import/table.h"
#include "import/text_decoding.h"

#include <string>

namespace import {

// What kind of file a bill is, told by its first bytes, not its name.
enum class FileKind { Text, Xlsx, Xls, Empty };

// The first bytes of a file, enough to tell its kind and format.
db::Result readFileStart(const std::string &path, std::string &bytes, std::size_t count = 8192);
FileKind fileKindOf(std::string_view start);

// A table file of any kind as rows of cells: text decoded (the encoding
// given, or detected when Automatic; what was used is written back) and
// split at its separator, spreadsheets by their first sheet. Refused with a
// message for a file that cannot be read, is empty, or is far too long.
db::Result loadTable(const std::string &path, Encoding &encoding, Table &table);

// The whole of a file, refused when it is missing or larger than a bill
// can be.
db::Result readWholeFile(const std::string &path, std::string &bytes);

} // namespace import

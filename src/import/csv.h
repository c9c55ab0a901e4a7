#pragma once

#include "db/result.h"
#include "import/table.h"

#include <string_view>

namespace import {

// The separator a text table most likely uses: comma, tab or semicolon,
// whichever appears most often outside quotes in its first lines.
char guessDelimiter(std::string_view text);

// Splits a UTF-8 text into rows of cells: fields may be quoted with '"'
// (a doubled quote inside stands for one) and may then hold separators and
// line breaks; lines end with LF or CRLF. Refused when a quote is never
// closed (the file is cut off); reading stops after maxRows lines.
db::Result parseCsv(std::string_view text, char delimiter, Table &table, int maxRows);

// The message for a table file that goes on past the rows a bill may have.
std::string tooLong(int line);

} // namespace import

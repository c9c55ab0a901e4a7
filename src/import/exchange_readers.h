#pragma once

#include "import/bill.h"

#include <string>
#include <string_view>

namespace import {

// Whether a text is a QIF file (it opens with a "!Type:", "!Account" or
// "!Option" line) or an OFX statement (an OFX header or element).
bool looksLikeQif(std::string_view start);
bool looksLikeOfx(std::string_view start);

// A QIF file of bank, cash or credit-card records (D, T or U, P, M, L, N,
// ending with ^); lists of categories, classes and memorised items are
// passed over. Dates are read month first, or day first when some date
// cannot be month first. A transfer (L [account]) moves nothing.
BillRead readQif(std::string_view utf8);

// An OFX statement, 1.x (SGML) or 2.x (XML), read with libofx: every
// STMTTRN with DTPOSTED, TRNAMT, FITID, NAME or PAYEE, MEMO. Refused when
// the file is cut off (no closing </OFX>) or a transaction cannot be read.
BillRead readOfx(const std::string &path);

} // namespace import

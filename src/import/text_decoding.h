#pragma once

#include "db/result.h"

#include <string>
#include <string_view>

namespace import {

// How the bytes of a text bill are read. Alipay writes GBK (read as GB18030,
// its superset), WeChat and most banks UTF-8; spreadsheets saved as "Unicode
// text" are UTF-16.
enum class Encoding { Automatic, Utf8, Gb18030, Utf16 };

const char *encodingName(Encoding encoding);
// The encoding named by encodingName, Automatic for anything else.
Encoding encodingNamed(const std::string &name);

// The encoding a text seems to be in: a byte-order mark decides, then bytes
// that are valid UTF-8 throughout, else GB18030.
Encoding detectEncoding(std::string_view bytes);

// The text in UTF-8, without a byte-order mark. Refused with the line of the
// first byte that the encoding cannot read.
db::Result decodeText(std::string_view bytes, Encoding encoding, std::string &utf8);

// Whether a text is well-formed UTF-8; where it is not, the byte offset.
bool isValidUtf8(std::string_view text, std::size_t *badOffset = nullptr);

} // namespace import

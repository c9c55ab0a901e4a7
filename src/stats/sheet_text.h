#pragma once

#include <string>
#include <string_view>

namespace stats {

// The text with everything a workbook cannot hold replaced by U+FFFD: bytes
// that are not well-formed UTF-8 (stray or cut sequences, overlong forms,
// surrogates, values past U+10FFFF), NUL, and the two non-characters U+FFFE
// and U+FFFF, which XML does not allow. Valid text comes back unchanged.
std::string repairedUtf8(std::string_view text);

} // namespace stats

#pragma once

#include <string>

namespace stats {

inline constexpr const char *kWholePercent = "100%";

// A row's share of its section total as "%.2f%%": amount × 100 held as a
// 32-bit float, then divided by the total. Texts are read by their leading
// number (empty or not a number: 0). A total that reads as 0 gives an empty
// text instead of an endless or undefined share.
std::string sharePercent(const std::string &amount, const std::string &total);

// The same share computed in double precision throughout (day rows).
std::string dayPercent(const std::string &amount, const std::string &total);

} // namespace stats

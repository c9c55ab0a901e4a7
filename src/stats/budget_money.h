#pragma once

#include "db/money.h"

#include <string>

namespace stats {

// A budget figure: two decimals, or as many more (up to four) as the
// amount needs: "2000.00", "-35.50", "0.125".
inline std::string budgetText(db::Money amount) { return amount.decimals(4); }

// part as a share of whole: "60.00%", rounded half up; "" when whole is
// zero.
std::string shareOf(db::Money part, db::Money whole);
// n of total as a share with two decimals: "38.71%"; "" when total is 0.
std::string shareOf(long long n, long long total);

} // namespace stats

#include "stats/budget_money.h"


namespace stats {

namespace {

__int128 absolute(__int128 v) { return v < 0 ? -v : v; }

std::string digitsOf(__int128 v)
{
    if (v == 0)
        return "0";
    std::string out;
    for (; v > 0; v /= 10)
        out.insert(out.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    return out;
}

// numerator / denominator rounded half away from zero.
__int128 roundedQuotient(__int128 numerator, __int128 denominator)
{
    __int128 quotient = numerator / denominator;
    const __int128 remainder = numerator % denominator;
    if (2 * absolute(remainder) >= absolute(denominator))
        quotient += ((numerator < 0) != (denominator < 0)) ? -1 : 1;
    return quotient;
}

// Hundredths of a percent as "60.00%".
std::string percentText(__int128 hundredths)
{
    const bool negative = hundredths < 0;
    const __int128 a = absolute(hundredths);
    std::string fraction = digitsOf(a % 100);
    if (fraction.size() < 2)
        fraction.insert(fraction.begin(), '0');
    return (negative ? "-" : "") + digitsOf(a / 100) + "." + fraction + "%";
}

} // namespace

std::string shareOf(db::Money part, db::Money whole)
{
    if (whole.isZero())
        return {};
    return percentText(roundedQuotient(part.units() * 10000, whole.units()));
}

std::string shareOf(long long n, long long total)
{
    if (total == 0)
        return {};
    return percentText(roundedQuotient(static_cast<__int128>(n) * 10000, total));
}

} // namespace stats

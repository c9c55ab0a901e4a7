#include "stats/budget_money.h"

#include <cmath>
#include <cstdlib>

namespace stats {

namespace {

constexpr __int128 kScale = 10000;
// Far beyond any household sum, far below where ten-thousandths overflow.
constexpr int kMaxWholeDigits = 30;

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

std::optional<Money> Money::parse(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    __int128 units = 0;
    int whole = 0;
    int decimals = 0;
    bool digits = false;
    bool roundUp = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true) {
        if (++whole > kMaxWholeDigits)
            return std::nullopt;
        units = units * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true) {
            if (decimals < kDecimals) {
                units = units * 10 + (text[i] - '0');
                ++decimals;
            } else if (decimals++ == kDecimals) {
                roundUp = text[i] >= '5';
            }
        }
    }
    if (!digits || i != text.size())
        return std::nullopt;
    for (int d = std::min(decimals, kDecimals); d < kDecimals; ++d)
        units *= 10;
    if (roundUp)
        ++units;
    return fromUnits(negative ? -units : units);
}

Money Money::fromColumn(const std::string &text)
{
    if (const std::optional<Money> plain = parse(text))
        return *plain;
    const long double value = std::strtold(text.c_str(), nullptr);
    if (!std::isfinite(value) || std::fabs(value) >= 1e30L)
        return {};
    return fromUnits(static_cast<__int128>(std::roundl(value * 10000)));
}

std::string Money::text() const
{
    const __int128 a = absolute(m_units);
    const __int128 fraction = a % kScale;
    std::string decimals = digitsOf(fraction);
    decimals.insert(decimals.begin(), static_cast<std::size_t>(kDecimals) - decimals.size(), '0');
    while (decimals.size() > 2 && decimals.back() == '0')
        decimals.pop_back();
    return (m_units < 0 ? "-" : "") + digitsOf(a / kScale) + "." + decimals;
}

std::string Money::share(Money part, Money whole)
{
    if (whole.m_units == 0)
        return {};
    return percentText(roundedQuotient(part.m_units * 10000, whole.m_units));
}

std::string shareOf(long long n, long long total)
{
    if (total == 0)
        return {};
    return percentText(roundedQuotient(static_cast<__int128>(n) * 10000, total));
}

} // namespace stats

#include "db/money.h"

#include <algorithm>
#include <cstdint>

namespace db {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Far beyond any household sum, far below where millionths overflow.
constexpr int kMaxWholeDigits = 30;

// Reads the plain decimal number at the start of text (sign, digits, at
// most one point, at least one digit) in one pass; false when there is
// none (or one of more than kMaxWholeDigits whole digits). `used` receives
// its length. Up to 18 whole digits add up in 64 bits, longer ones in 128.
bool readPlain(std::string_view text, __int128 &units, std::size_t &used)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t small = 0;
    __int128 large = 0;
    int wholeDigits = 0;
    bool digits = false;
    for (; i < n && isDigit(text[i]); ++i, ++wholeDigits) {
        if (wholeDigits >= kMaxWholeDigits)
            continue; // refused below, before it could overflow
        if (wholeDigits < 18)
            small = small * 10 + static_cast<std::uint64_t>(text[i] - '0');
        else
            large = (wholeDigits == 18 ? static_cast<__int128>(small) : large) * 10 + (text[i] - '0');
        digits = true;
    }
    __int128 value = (wholeDigits > 18 ? large : static_cast<__int128>(small)) * Money::kUnitsPerYuan;
    if (i < n && text[i] == '.') {
        ++i;
        std::int64_t place = Money::kUnitsPerYuan / 10;
        for (; i < n && isDigit(text[i]); ++i) {
            const int digit = text[i] - '0';
            if (place > 0) {
                value += digit * place;
                place /= 10;
            } else if (place == 0) {
                // Only the first digit beyond the last unit decides the rounding.
                value += digit >= 5 ? 1 : 0;
                place = -1;
            }
            digits = true;
        }
    }
    if (!digits || wholeDigits > kMaxWholeDigits)
        return false;
    units = negative ? -value : value;
    used = i;
    return true;
}

// The power of ten of an exponent part ("e+15", "E-07") at the start of
// text; none without one.
std::optional<int> exponentOf(std::string_view text)
{
    if (text.size() < 2 || (text[0] != 'e' && text[0] != 'E'))
        return std::nullopt;
    std::size_t i = 1;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        ++i;
    if (i >= text.size() || !isDigit(text[i]))
        return std::nullopt;
    int exponent = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        exponent = std::min(exponent * 10 + (text[i] - '0'), 1000);
    return negative ? -exponent : exponent;
}

// units times ten to the power, rounded half away from zero to the unit;
// 0 beyond what 128 bits hold.
__int128 scaled(__int128 units, int power)
{
    const bool negative = units < 0;
    __int128 value = negative ? -units : units;
    if (power >= 0) {
        for (int i = 0; i < power && value != 0; ++i) {
            if (value > (static_cast<__int128>(1) << 120))
                return 0;
            value *= 10;
        }
    } else {
        if (power < -38)
            return 0;
        __int128 divisor = 1;
        for (int i = 0; i < -power; ++i)
            divisor *= 10;
        value = value / divisor + (value % divisor >= divisor / 2 ? 1 : 0);
    }
    return negative ? -value : value;
}

} // namespace

Money Money::leading(std::string_view text)
{
    // An amount the engine holds as a real reaches the lists as it writes
    // it, in exponent form when very large or small ("1.0e+15", "1e-07"),
    // and counts as that number.
    const std::string_view rest = text.substr(std::min(text.find_first_not_of(" \t"), text.size()));
    __int128 units = 0;
    std::size_t used = 0;
    if (!readPlain(rest, units, used))
        return Money();
    if (const std::optional<int> power = exponentOf(rest.substr(used)))
        units = scaled(units, *power);
    return fromUnits(units);
}

std::optional<Money> Money::parse(std::string_view text)
{
    __int128 units = 0;
    std::size_t used = 0;
    if (!readPlain(text, units, used) || used != text.size())
        return std::nullopt;
    return fromUnits(units);
}

std::string Money::decimals(int most) const
{
    most = std::clamp(most, 2, 6);
    __int128 step = 1;
    for (int i = most; i < 6; ++i)
        step *= 10;
    const bool negative = m_units < 0;
    __int128 value = negative ? -m_units : m_units;
    value = (value + step / 2) / step;
    std::string digits;
    do {
        digits += static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value > 0 || static_cast<int>(digits.size()) < most + 1);
    std::reverse(digits.begin(), digits.end());
    digits.insert(digits.size() - static_cast<std::size_t>(most), 1, '.');
    while (most-- > 2 && digits.back() == '0')
        digits.pop_back();
    // A value that rounds to nothing shows no sign.
    if (negative && digits.find_first_not_of("0.") != std::string::npos)
        digits.insert(0, 1, '-');
    return digits;
}

} // namespace db

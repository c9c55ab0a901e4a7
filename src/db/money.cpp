#include "db/money.h"

#include "db/text.h"

#include <algorithm>

namespace db {

namespace {

// The value of a plain number text (sign, digits, at most one point).
Money valueOf(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    __int128 units = 0;
    std::size_t at = 0;
    for (; at < number.size() && number[at] != '.'; ++at)
        units = units * 10 + (number[at] - '0');
    units *= Money::kUnitsPerYuan;
    __int128 place = Money::kUnitsPerYuan / 10;
    bool roundUp = false;
    for (++at; at < number.size(); ++at) {
        const int digit = number[at] - '0';
        if (place > 0) {
            units += digit * place;
            place /= 10;
        } else {
            // Only the first digit beyond the last unit decides the rounding.
            roundUp = digit >= 5;
            break;
        }
    }
    if (roundUp)
        ++units;
    return Money::fromUnits(negative ? -units : units);
}

} // namespace

Money Money::leading(std::string_view text)
{
    const std::size_t blanks = std::min(text.find_first_not_of(" \t"), text.size());
    text.remove_prefix(blanks);
    const std::size_t length = plainNumberLength(text);
    return length == 0 ? Money() : valueOf(text.substr(0, length));
}

std::optional<Money> Money::parse(std::string_view text)
{
    if (!isPlainNumber(text))
        return std::nullopt;
    return valueOf(text);
}

std::string Money::cents() const
{
    constexpr __int128 perCent = kUnitsPerYuan / 100;
    const bool negative = m_units < 0;
    __int128 value = negative ? -m_units : m_units;
    value = (value + perCent / 2) / perCent;
    std::string digits;
    do {
        digits += static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value > 0 || digits.size() < 3);
    std::reverse(digits.begin(), digits.end());
    digits.insert(digits.size() - 2, 1, '.');
    // A value that rounds to nothing shows no sign.
    if (negative && digits.find_first_not_of("0.") != std::string::npos)
        digits.insert(0, 1, '-');
    return digits;
}

} // namespace db

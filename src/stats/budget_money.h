#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace stats {

// An amount of money held exactly as a whole number of ten-thousandths, so
// that adding up a year of entries and budgets loses nothing.
class Money {
public:
    static constexpr int kDecimals = 4;

    Money() = default;

    // A plain decimal as a person types it or the engine writes a number
    // ("35.5", "-8", ".25", "2000"); digits past the fourth decimal are
    // rounded half away from zero. None for any other text.
    static std::optional<Money> parse(std::string_view text);
    // A value read from a money column: a plain decimal as parse reads it,
    // or a number in any form the engine writes ("1e+16"); 0 for a text
    // that holds no number.
    static Money fromColumn(const std::string &text);

    Money operator+(Money other) const { return fromUnits(m_units + other.m_units); }
    Money operator-(Money other) const { return fromUnits(m_units - other.m_units); }
    Money operator*(long long factor) const { return fromUnits(m_units * factor); }
    Money &operator+=(Money other)
    {
        m_units += other.m_units;
        return *this;
    }
    auto operator<=>(const Money &) const = default;

    bool isNegative() const { return m_units < 0; }
    bool isZero() const { return m_units == 0; }

    // With two decimals, or as many more (up to four) as the amount needs:
    // "2000.00", "-35.50", "0.125".
    std::string text() const;

    // part as a share of whole: "60.00%", rounded half up; "" when whole
    // is zero.
    static std::string share(Money part, Money whole);

private:
    static Money fromUnits(__int128 units)
    {
        Money m;
        m.m_units = units;
        return m;
    }

    __int128 m_units = 0;
};

// n of total as a share with two decimals: "38.71%"; "" when total is 0.
std::string shareOf(long long n, long long total);

} // namespace stats

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace db {

// An amount held exactly, in millionths of a yuan. Adding the doubles the
// engine hands back drifts in the last digits over many rows; adding these
// does not, so a sum of amounts comes out to the cent. 128 bits leave room
// for a million amounts of fifteen whole digits each.
class Money {
public:
    static constexpr long long kUnitsPerYuan = 1000000;

    constexpr Money() = default;
    // The number at the start of a text (blanks before it skipped): a plain
    // decimal, with the exponent part the engine writes for very large or
    // small reals ("1.0e+15", "1e-07"); 0 without one, or for one beyond
    // 30 whole digits. Digits beyond the sixth decimal are rounded half
    // away from zero.
    static Money leading(std::string_view text);
    // A text that is one plain number and nothing else; none otherwise.
    // A number of more than 30 whole digits is none (it would overflow).
    static std::optional<Money> parse(std::string_view text);
    static constexpr Money fromUnits(__int128 units)
    {
        Money m;
        m.m_units = units;
        return m;
    }

    constexpr __int128 units() const { return m_units; }
    constexpr Money abs() const { return fromUnits(m_units < 0 ? -m_units : m_units); }
    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }

    Money &operator+=(Money other)
    {
        m_units += other.m_units;
        return *this;
    }
    friend Money operator+(Money a, Money b) { return a += b; }
    friend Money operator-(Money a, Money b) { return fromUnits(a.m_units - b.m_units); }
    friend Money operator*(Money a, long long factor) { return fromUnits(a.m_units * factor); }
    friend constexpr bool operator==(Money a, Money b) { return a.m_units == b.m_units; }
    friend constexpr bool operator<(Money a, Money b) { return a.m_units < b.m_units; }
    friend constexpr bool operator>(Money a, Money b) { return b < a; }
    friend constexpr bool operator<=(Money a, Money b) { return !(b < a); }
    friend constexpr bool operator>=(Money a, Money b) { return !(a < b); }

    // Rounded to the cent, half away from zero, two decimals, no blanks:
    // "-70.00", "1234567.89". What "%15.2Lf" shows of the exact value.
    std::string cents() const { return decimals(2); }
    // Rounded half away from zero to at most `most` decimals (2 to 6), then
    // without the trailing zeros beyond the second: decimals(4) of 0.125 is
    // "0.125", of 35.5 "35.50".
    std::string decimals(int most) const;

private:
    __int128 m_units = 0;
};

} // namespace db

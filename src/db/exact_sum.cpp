#include "db/exact_sum.h"

#include "db/text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace db {

namespace {

// A double below this whose cents/100 rounds back to it is shown as exactly
// that decimal: it has at most fifteen significant digits.
constexpr double kCentsLimit = 1e13;
// A shown decimal with a mantissa below 10^15 joins the cents when it needs
// at most this many more zeros; the cents then stay far inside 128 bits.
constexpr int kMaxCentsShift = 9;
constexpr int kCentsExponent = -2;

using Wide = __int128;
using WideMagnitude = unsigned __int128;

WideMagnitude magnitudeOf(Wide value)
{
    return value < 0 ? WideMagnitude(0) - static_cast<WideMagnitude>(value) : static_cast<WideMagnitude>(value);
}

std::string digitsOf(WideMagnitude value)
{
    std::string reversed;
    do {
        reversed += static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return {reversed.rbegin(), reversed.rend()};
}

// Decimal digit texts without leading zeros ("0" for zero).
int compareDigits(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

std::string addDigits(const std::string &a, const std::string &b)
{
    std::string out;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int x = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        const int digit = x + y + carry;
        out += static_cast<char>('0' + digit % 10);
        carry = digit / 10;
    }
    return {out.rbegin(), out.rend()};
}

// a - b for a >= b.
std::string subtractDigits(const std::string &a, const std::string &b)
{
    std::string out;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int digit = a[a.size() - 1 - i] - '0' - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = digit < 0;
        out += static_cast<char>('0' + digit + (borrow ? 10 : 0));
    }
    while (out.size() > 1 && out.back() == '0')
        out.pop_back();
    return {out.rbegin(), out.rend()};
}

std::string signedDigits(Wide value) { return (value < 0 ? "-" : "") + digitsOf(magnitudeOf(value)); }

// The next blank-separated word of a text, taken off its front.
std::string_view nextWord(std::string_view &text)
{
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return word;
}

bool parseWide(std::string_view word, Wide &out)
{
    const bool negative = !word.empty() && word.front() == '-';
    if (negative)
        word.remove_prefix(1);
    if (word.empty() || word.size() > 38)
        return false;
    Wide value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    out = negative ? -value : value;
    return true;
}

} // namespace

void ExactSum::addInteger(long long value)
{
    ++m_count;
    m_cents += static_cast<Wide>(value) * 100;
}

void ExactSum::addReal(double value)
{
    ++m_count;
    m_real = true;
    if (std::fabs(value) < kCentsLimit) {
        // The nearest whole number of cents, rounded by the conversion itself.
        const double scaled = value * 100.0;
        const auto cents = static_cast<long long>(scaled + (scaled < 0 ? -0.5 : 0.5));
        // The division rounds exactly: equal means value is the double
        // nearest to the decimal cents/100.
        if (static_cast<double>(cents) / 100.0 == value) {
            m_cents += cents;
            return;
        }
    }
    addSlow(value, false);
}

void ExactSum::addValue(sqlite3_value *value, bool remove)
{
    const int type = sqlite3_value_numeric_type(value);
    if (type == SQLITE_NULL)
        return;
    if (type == SQLITE_INTEGER) {
        const Wide cents = static_cast<Wide>(sqlite3_value_int64(value)) * 100;
        m_cents += remove ? -cents : cents;
        m_count += remove ? -1 : 1;
        return;
    }
    // A text that is no number counts as the number it begins with, as the
    // engine's own sum reads it.
    const double real = sqlite3_value_double(value);
    if (!remove) {
        addReal(real);
        return;
    }
    --m_count;
    addSlow(real, true);
}

void ExactSum::addSlow(double value, bool remove)
{
    m_real = true;
    if (std::isnan(value)) {
        m_positiveInfinity = m_negativeInfinity = true;
        return;
    }
    if (std::isinf(value)) {
        if ((value > 0) != remove)
            m_positiveInfinity = true;
        else
            m_negativeInfinity = true;
        return;
    }
    // Fifteen significant digits, the rounding numberToText shows.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const char *p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    long long mantissa = 0;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa = mantissa * 10 + (*p - '0');
    const int exponent = (*p == 'e' ? std::atoi(p + 1) : 0) - 14;
    addScaled(negative ? -mantissa : mantissa, exponent, remove);
}

void ExactSum::addScaled(long long mantissa, int exponent, bool remove)
{
    if (mantissa == 0)
        return;
    while (mantissa % 10 == 0) {
        mantissa /= 10;
        ++exponent;
    }
    Wide value = remove ? -static_cast<Wide>(mantissa) : static_cast<Wide>(mantissa);
    if (exponent >= kCentsExponent && exponent - kCentsExponent <= kMaxCentsShift) {
        for (int e = kCentsExponent; e < exponent; ++e)
            value *= 10;
        m_cents += value;
        return;
    }
    m_scaled[exponent] += value;
}

void ExactSum::add(const ExactSum &other)
{
    m_count += other.m_count;
    m_real = m_real || other.m_real;
    m_positiveInfinity = m_positiveInfinity || other.m_positiveInfinity;
    m_negativeInfinity = m_negativeInfinity || other.m_negativeInfinity;
    m_cents += other.m_cents;
    for (const auto &[exponent, value] : other.m_scaled)
        m_scaled[exponent] += value;
}

bool ExactSum::isInteger() const
{
    if (isNull() || m_real || !m_scaled.empty())
        return false;
    const Wide whole = m_cents / 100;
    return whole >= std::numeric_limits<long long>::min() && whole <= std::numeric_limits<long long>::max();
}

long long ExactSum::integer() const { return static_cast<long long>(m_cents / 100); }

double ExactSum::real() const
{
    if (m_positiveInfinity && m_negativeInfinity)
        return std::numeric_limits<double>::quiet_NaN();
    if (m_positiveInfinity || m_negativeInfinity)
        return m_positiveInfinity ? HUGE_VAL : -HUGE_VAL;
    // The exact sum as digits and a power of ten, then the one rounding to
    // the nearest double that strtod does.
    int lowest = kCentsExponent;
    for (const auto &[exponent, value] : m_scaled)
        lowest = std::min(lowest, exponent);
    std::string positive = "0";
    std::string negative = "0";
    auto put = [&](Wide value, int exponent) {
        if (value == 0)
            return;
        std::string digits = digitsOf(magnitudeOf(value));
        digits.append(static_cast<std::size_t>(exponent - lowest), '0');
        std::string &side = value < 0 ? negative : positive;
        side = addDigits(side, digits);
    };
    put(m_cents, kCentsExponent);
    for (const auto &[exponent, value] : m_scaled)
        put(value, exponent);
    std::string decimal;
    if (compareDigits(positive, negative) >= 0)
        decimal = subtractDigits(positive, negative);
    else
        decimal = "-" + subtractDigits(negative, positive);
    decimal += "e" + std::to_string(lowest);
    return std::strtod(decimal.c_str(), nullptr);
}

std::string ExactSum::text() const
{
    if (isNull())
        return {};
    if (isInteger())
        return std::to_string(integer());
    const double value = real();
    return std::isnan(value) ? std::string() : numberToText(value);
}

std::string ExactSum::serialized() const
{
    std::string out = std::to_string(m_count) + " " + (m_real ? "1" : "0") + (m_positiveInfinity ? "1" : "0") +
                      (m_negativeInfinity ? "1" : "0") + " " + signedDigits(m_cents);
    for (const auto &[exponent, value] : m_scaled)
        out += " " + std::to_string(exponent) + " " + signedDigits(value);
    return out;
}

ExactSum ExactSum::parse(std::string_view text)
{
    ExactSum sum;
    const std::string_view count = nextWord(text);
    const std::string_view flags = nextWord(text);
    Wide number = 0;
    Wide cents = 0;
    if (!parseWide(count, number) || flags.size() != 3 || !parseWide(nextWord(text), cents))
        return {};
    sum.m_count = static_cast<long long>(number);
    sum.m_real = flags[0] == '1';
    sum.m_positiveInfinity = flags[1] == '1';
    sum.m_negativeInfinity = flags[2] == '1';
    sum.m_cents = cents;
    while (!text.empty()) {
        Wide exponent = 0;
        Wide value = 0;
        if (!parseWide(nextWord(text), exponent) || !parseWide(nextWord(text), value))
            return {};
        sum.m_scaled[static_cast<int>(exponent)] += value;
    }
    return sum;
}

} // namespace db

#pragma once

#include <map>
#include <string>
#include <string_view>

struct sqlite3_value;

namespace db {

// A sum of amounts that loses nothing however many it adds. Each amount
// counts as the decimal the lists show for it (at most fifteen significant
// digits, numberToText), so 0.1 + 0.2 is 0.3 and a hundred thousand entries
// add up to the cent. Partial sums merge exactly: adding in any order, or
// adding the sums of parts, gives the same result. The engine's sum() on
// every connection is this sum, so the statements and the statistics that
// add up rows themselves agree to the last digit.
class ExactSum {
public:
    void addInteger(long long value);
    void addReal(double value);
    // A value as the engine holds it, the way sum() takes it: NULL is left
    // out, an integer stays one, a text counts as the number it reads as.
    // remove takes a value out again (a window of rows moving on).
    void addValue(sqlite3_value *value, bool remove = false);
    void add(const ExactSum &other);

    // No value was added: the engine's sum is NULL.
    bool isNull() const { return m_count == 0; }
    // Only integers were added and their sum fits 64 bits: the engine's sum
    // is that integer.
    bool isInteger() const;
    long long integer() const;
    // The double nearest the exact sum (an infinity when one was added, NaN
    // when both were).
    double real() const;
    // As a list shows the sum: "" for NULL or NaN, the digits of an integer
    // sum, numberToText of real() otherwise.
    std::string text() const;

    // The sum written out without loss, so that a statement can hand a
    // partial sum to the program (RangeGroup, sums.h); read back by parse,
    // which gives an empty sum for a text it did not write.
    std::string serialized() const;
    static ExactSum parse(std::string_view text);

private:
    void addScaled(long long mantissa, int exponent, bool remove);
    void addSlow(double value, bool remove);

    long long m_count = 0; // values added, less those removed
    bool m_real = false;   // a non-integer value was added
    bool m_positiveInfinity = false;
    bool m_negativeInfinity = false;
    // Most amounts are whole cents.
    __int128 m_cents = 0;
    // The rest: the sum of the mantissas of each power of ten.
    std::map<int, __int128> m_scaled;
};

} // namespace db

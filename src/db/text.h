#pragma once

#include <string>
#include <string_view>

namespace db {

// Doubles every single quote so that a value can stand between the quotes of
// a statement fragment. The only place where values are made safe.
std::string quote(std::string_view value);

// The text form of a number as the lists and sums show it: integral values
// without decimals, others with at most 15 significant digits.
std::string numberToText(double value);

// The leading plain decimal number of a text: blanks before it skipped, then
// an optional sign, digits and at most one point ("12.5abc" 12.5, ".5" 0.5).
// 0 when the text does not begin with one; no hexadecimal, exponent, "inf"
// or "nan". Used wherever a shown value is summed or computed with.
double leadingNumber(std::string_view text);
// The length of the plain decimal number at the very start of a text (sign,
// digits, one point, at least one digit); 0 when there is none.
std::size_t plainNumberLength(std::string_view text);
// The whole text is one plain number as plainNumberLength reads it (a sign
// '+' or '-', digits, at most one point): an amount as a person types it.
bool isPlainNumber(std::string_view text);
// A plain number with a point and no '+', as the engine writes a real value
// ("12.50", "-0.5"; not "12", not "+1.5").
bool isRealNumberText(std::string_view text);
// The value of a text that plainNumberLength accepts whole, rounded exactly.
double plainNumberValue(std::string_view number);

// printf("%15.2Lf") of a value: right-aligned in 15 characters, two decimals.
std::string money15(long double value);
// money15 with the leading blanks removed.
std::string moneyTrimmed(long double value);

std::string trim(std::string_view text);

// A number text with a minus sign written before it, the two signs combined:
// "5" gives "-5", "-5" gives "5". Statements write "-" before an amount, and
// "--5" would turn the rest of the statement into a comment.
std::string negatedNumber(std::string_view number);

// Width of a text as GBK would count it: 1 for ASCII, 2 for any other
// character (UTF-8 input).
int gbkLength(std::string_view utf8);
// The longest start of a text whose GBK width is at most maxBytes, made of
// whole characters only: a character that does not fit is left out whole.
std::string gbkCut(std::string_view utf8, int maxBytes);

// The characters [start, start+count) of a UTF-8 text, 0-based in characters.
std::string utf8Mid(std::string_view utf8, std::size_t start, std::size_t count);
std::size_t utf8Length(std::string_view utf8);

} // namespace db

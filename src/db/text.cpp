#include "db/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace db {

std::string quote(std::string_view value)
{
    std::string out;
    out.reserve(value.size() + 2);
    for (char c : value) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}

std::string numberToText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
        return buffer;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::size_t plainNumberLength(std::string_view text)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    bool digits = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
        digits = true;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
            digits = true;
        }
    }
    return digits ? pos : 0;
}

bool isPlainNumber(std::string_view text) { return !text.empty() && plainNumberLength(text) == text.size(); }

bool isRealNumberText(std::string_view text)
{
    return isPlainNumber(text) && text.front() != '+' && text.find('.') != std::string_view::npos;
}

double plainNumberValue(std::string_view number)
{
    // from_chars reads the sign '-' but not '+'; it rounds exactly, whatever
    // the number of digits.
    const char *first = number.data();
    const char *last = first + number.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    const std::from_chars_result r = std::from_chars(first, last, value, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: strtod gives the infinity or the zero
        // the digits lean to, and the text is plain, so nothing else is read.
        return std::strtod(std::string(first, last).c_str(), nullptr);
    }
    return r.ec == std::errc() ? value : 0.0;
}

double leadingNumber(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    text.remove_prefix(pos);
    const std::size_t length = plainNumberLength(text);
    return length == 0 ? 0.0 : plainNumberValue(text.substr(0, length));
}

std::string money15(long double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%15.2Lf", value);
    return buffer;
}

std::string moneyTrimmed(long double value)
{
    std::string s = money15(value);
    std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string negatedNumber(std::string_view number)
{
    if (!number.empty() && number.front() == '-')
        return std::string(number.substr(1));
    return "-" + std::string(number);
}

std::string trim(std::string_view text)
{
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

namespace {
std::size_t charLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1; // stray continuation byte: count it alone
}
} // namespace

int gbkLength(std::string_view utf8)
{
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = charLength(static_cast<unsigned char>(utf8[i]));
        width += n == 1 && static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : 2;
        i += n;
    }
    return width;
}

std::string gbkCut(std::string_view utf8, int maxBytes)
{
    int width = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = std::min(charLength(lead), utf8.size() - i);
        const int w = lead < 0x80 ? 1 : 2;
        if (width + w > maxBytes)
            break;
        width += w;
        i += n;
    }
    return std::string(utf8.substr(0, i));
}

std::size_t utf8Length(std::string_view utf8)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); i += charLength(static_cast<unsigned char>(utf8[i])))
        ++count;
    return count;
}

std::string utf8Mid(std::string_view utf8, std::size_t start, std::size_t count)
{
    std::size_t i = 0;
    std::size_t index = 0;
    while (i < utf8.size() && index < start) {
        i += charLength(static_cast<unsigned char>(utf8[i]));
        ++index;
    }
    std::size_t begin = std::min(i, utf8.size());
    std::size_t taken = 0;
    while (i < utf8.size() && taken < count) {
        i += charLength(static_cast<unsigned char>(utf8[i]));
        ++taken;
    }
    return std::string(utf8.substr(begin, std::min(i, utf8.size()) - begin));
}

} // namespace db

#include "db/dialect.h"

#include "db/dates.h"
#include "db/text.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

namespace db {

namespace {

// The text of a function argument the way the engine would show it.
std::string argumentText(sqlite3_value *value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return std::to_string(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return numberToText(sqlite3_value_double(value));
    case SQLITE_NULL:
        return {};
    default: {
        const unsigned char *text = sqlite3_value_text(value);
        return text ? std::string(reinterpret_cast<const char *>(text), sqlite3_value_bytes(value)) : std::string();
    }
    }
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::size_t runLength(std::string_view pattern, std::size_t pos)
{
    std::size_t n = 1;
    while (pos + n < pattern.size() && lower(pattern[pos + n]) == lower(pattern[pos]))
        ++n;
    return n;
}

const char *const kMonthShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const kMonthLong[] = {"January", "February", "March", "April", "May", "June", "July",
                                  "August", "September", "October", "November", "December"};

void appendNumber(std::string &out, int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    out += buffer;
}

void formatFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::string value = argumentText(argv[0]);
    const std::string pattern = argumentText(argv[1]);
    std::optional<std::string> result = formatDatePattern(value, pattern);
    // A value that is not a date is returned as it is.
    const std::string &out = result ? *result : value;
    sqlite3_result_text(context, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void midFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::string text = argumentText(argv[0]);
    const sqlite3_int64 start = sqlite3_value_int64(argv[1]);
    if (start < 1) {
        sqlite3_result_error(context, "Mid: start must be 1 or more", -1);
        return;
    }
    std::size_t count = std::string::npos;
    if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const sqlite3_int64 length = sqlite3_value_int64(argv[2]);
        if (length < 0) {
            sqlite3_result_error(context, "Mid: length must not be negative", -1);
            return;
        }
        count = static_cast<std::size_t>(length);
    }
    const std::string out = utf8Mid(text, static_cast<std::size_t>(start - 1), count);
    sqlite3_result_text(context, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void valFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER) {
        sqlite3_result_int64(context, sqlite3_value_int64(argv[0]));
        return;
    }
    if (type == SQLITE_FLOAT) {
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    }
    const double v = valOf(argumentText(argv[0]));
    if (v == std::floor(v) && std::fabs(v) < 9e15)
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(v));
    else
        sqlite3_result_double(context, v);
}

} // namespace

std::optional<std::string> formatDatePattern(std::string_view value, std::string_view pattern)
{
    std::optional<DateTime> parsed = parseDate(value);
    if (!parsed)
        return std::nullopt;
    const DateTime &d = *parsed;
    std::string out;
    bool afterHour = false;
    for (std::size_t pos = 0; pos < pattern.size();) {
        const char c = lower(pattern[pos]);
        const std::size_t n = runLength(pattern, pos);
        switch (c) {
        case 'y':
            if (n >= 4) {
                appendNumber(out, d.year, 4);
                pos += 4;
            } else {
                appendNumber(out, d.year % 100, 2);
                pos += std::min<std::size_t>(n, 2);
            }
            afterHour = false;
            continue;
        case 'm':
            if (afterHour && n <= 2) {
                appendNumber(out, d.minute, n == 2 ? 2 : 1);
                afterHour = false;
            } else if (n >= 4) {
                out += kMonthLong[d.month - 1];
            } else if (n == 3) {
                out += kMonthShort[d.month - 1];
            } else {
                appendNumber(out, d.month, n == 2 ? 2 : 1);
            }
            pos += std::min<std::size_t>(n, 4);
            continue;
        case 'd':
            appendNumber(out, d.day, n >= 2 ? 2 : 1);
            pos += std::min<std::size_t>(n, 2);
            afterHour = false;
            continue;
        case 'h':
            appendNumber(out, d.hour, n >= 2 ? 2 : 1);
            pos += std::min<std::size_t>(n, 2);
            afterHour = true;
            continue;
        case 'n':
            appendNumber(out, d.minute, n >= 2 ? 2 : 1);
            pos += std::min<std::size_t>(n, 2);
            afterHour = false;
            continue;
        case 's':
            appendNumber(out, d.second, n >= 2 ? 2 : 1);
            pos += std::min<std::size_t>(n, 2);
            afterHour = false;
            continue;
        case '\\':
            if (pos + 1 < pattern.size())
                out += pattern[pos + 1];
            pos += 2;
            continue;
        case '"': {
            std::size_t close = pattern.find('"', pos + 1);
            if (close == std::string_view::npos)
                close = pattern.size();
            out += pattern.substr(pos + 1, close - pos - 1);
            pos = close + 1;
            continue;
        }
        default:
            // Separators keep an hour context alive ("hh:mm").
            out += pattern[pos];
            ++pos;
            continue;
        }
    }
    return out;
}

double valOf(std::string_view text)
{
    // Blanks are ignored anywhere in the number, as the dialect's val does.
    std::string digits;
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r'))
            ++pos;
    };
    skipBlanks();
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        digits += text[pos++];
    bool any = false;
    bool point = false;
    for (;; ++pos) {
        skipBlanks();
        if (pos >= text.size())
            break;
        const char c = text[pos];
        if (c >= '0' && c <= '9') {
            digits += c;
            any = true;
        } else if (c == '.' && !point) {
            digits += c;
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return 0.0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
        std::string exponent = "e";
        std::size_t p = pos + 1;
        if (p < text.size() && (text[p] == '-' || text[p] == '+'))
            exponent += text[p++];
        std::size_t firstDigit = p;
        while (p < text.size() && text[p] >= '0' && text[p] <= '9')
            exponent += text[p++];
        if (p > firstDigit)
            digits += exponent;
    }
    return std::strtod(digits.c_str(), nullptr);
}

void registerDialect(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "Format", 2, flags, nullptr, formatFunction, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 2, flags, nullptr, midFunction, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 3, flags, nullptr, midFunction, nullptr, nullptr);
    sqlite3_create_function(db, "val", 1, flags, nullptr, valFunction, nullptr, nullptr);
}

} // namespace db

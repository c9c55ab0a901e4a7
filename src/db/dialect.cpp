#include "db/dialect.h"

#include "db/dates.h"
#include "db/sums.h"
#include "db/text.h"

#include <sqlite3.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
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

// The bytes of a text (or blob) argument, read in place.
std::string_view argumentView(sqlite3_value *value)
{
    const unsigned char *text = sqlite3_value_text(value);
    return text ? std::string_view(reinterpret_cast<const char *>(text), sqlite3_value_bytes(value)) : std::string_view();
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

bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
int twoDigits(const char *p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

int monthLength(int year, int month)
{
    static const signed char lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))
        return 29;
    return lengths[month - 1];
}

void writeDigits(char *out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

struct Day {
    int year;
    int month;
    int day;
};

// The yyyymmdd texts handed to the engine as static texts: each is written
// once, into a block of its year, and never changes or goes away, so the
// engine keeps the pointer instead of copying the key for every row.
// Dates of the parser lie in the years 100 to 9999; a year's block is 3 KB.
[[gnu::noinline]] const char *internedDayKey(const Day &d)
{
    constexpr int kDaysInBlock = 12 * 31;
    static std::atomic<char *> years[10000];
    std::atomic<char *> &slot = years[d.year];
    char *block = slot.load(std::memory_order_acquire);
    if (!block) {
        static std::mutex mutex;
        const std::lock_guard<std::mutex> lock(mutex);
        block = slot.load(std::memory_order_relaxed);
        if (!block) {
            block = new char[kDaysInBlock * 8];
            for (int month = 1; month <= 12; ++month) {
                for (int day = 1; day <= 31; ++day) {
                    char *key = block + ((month - 1) * 31 + (day - 1)) * 8;
                    writeDigits(key, d.year, 4);
                    writeDigits(key + 4, month, 2);
                    writeDigits(key + 6, day, 2);
                }
            }
            slot.store(block, std::memory_order_release);
        }
    }
    return block + ((d.month - 1) * 31 + (d.day - 1)) * 8;
}

std::uint64_t load8(const char *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Eight bytes of a date text: a digit where the template holds '0', exactly
// the template's byte everywhere else. Bytes are numbered little-endian.
struct WordTemplate {
    std::uint64_t fixed = 0;  // the bytes that must be equal, zero in digit lanes
    std::uint64_t digits = 0; // 0xFF in every digit lane

    constexpr explicit WordTemplate(const char (&text)[9])
    {
        for (int lane = 0; lane < 8; ++lane) {
            const std::uint64_t byte = static_cast<unsigned char>(text[lane]);
            if (byte == '0')
                digits |= std::uint64_t{0xFF} << (8 * lane);
            else
                fixed |= byte << (8 * lane);
        }
    }

    // A digit is a byte whose high half is 3 and whose low half stays below
    // 16 when 6 is added (0x3A..0x3F become 0x40..0x45).
    bool matches(std::uint64_t word) const
    {
        const std::uint64_t high = digits & 0xF0F0F0F0F0F0F0F0ULL;
        const std::uint64_t threes = digits & 0x3030303030303030ULL;
        const std::uint64_t six = digits & 0x0606060606060606ULL;
        return (word & ~digits) == fixed && (word & high) == threes && ((word + six) & high) == threes;
    }
};

constexpr WordTemplate kDateHead("0000/00/");
constexpr WordTemplate kTimeTail("00 00:00");

// The date part ("2007/03/05") of the last text found to be a valid date,
// with its key: a scan meets the rows of one day one after another.
struct LastDate {
    std::uint64_t head = 0; // "2007/03/", 0 while nothing is remembered
    std::uint16_t day = 0;  // "05"
    const char *key = nullptr;
};
thread_local LastDate t_lastDate;

enum class Shape { Date, NotADate, Other };

// The shapes the program writes: "2007/03/05 12:30", "2006/02/28 " and
// "2006/02/28", read without the parser; Other for every other text, which
// the parser then reads. Digits compare as their values do, so "23" and
// "59" bound the hour and the minute as texts.
inline Shape fixedShapeKey(const char *p, std::size_t n, const char *&key)
{
    if (n == 16) {
        if (!kTimeTail.matches(load8(p + 8)) || p[11] > '2' || (p[11] == '2' && p[12] > '3') || p[14] > '5')
            return Shape::Other;
    } else if (n == 10 || n == 11) {
        if (!isDigit(p[8]) || !isDigit(p[9]) || (n == 11 && p[10] != ' '))
            return Shape::Other;
    } else {
        return Shape::Other;
    }
    const std::uint64_t head = load8(p);
    std::uint16_t dayDigits;
    std::memcpy(&dayDigits, p + 8, 2);
    LastDate &last = t_lastDate;
    if (head == last.head && dayDigits == last.day) {
        key = last.key;
        return Shape::Date;
    }
    if (!kDateHead.matches(head))
        return Shape::Other;
    const Day d{twoDigits(p) * 100 + twoDigits(p + 2), twoDigits(p + 5), twoDigits(p + 8)};
    if (d.year < 100 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > monthLength(d.year, d.month))
        return Shape::NotADate;
    key = internedDayKey(d);
    last = LastDate{head, dayDigits, key};
    return Shape::Date;
}

[[gnu::noinline]] const char *parsedDayKey(std::string_view value)
{
    const std::optional<DateTime> parsed = parseDate(value);
    return parsed ? internedDayKey(Day{parsed->year, parsed->month, parsed->day}) : nullptr;
}

// The interned yyyymmdd of a date text, nullptr when it is not a date.
inline const char *dayKeyOf(std::string_view value)
{
    const char *key = nullptr;
    switch (fixedShapeKey(value.data(), value.size(), key)) {
    case Shape::Date:
        return key;
    case Shape::NotADate:
        return nullptr;
    case Shape::Other:
        break;
    }
    return parsedDayKey(value);
}

// The pattern every range statement uses, in any case. Whatever the type of
// the argument, a text of "yyyymmdd" makes the general path read it so too.
bool isDayKeyPattern(sqlite3_value *pattern)
{
    const unsigned char *text = sqlite3_value_text(pattern);
    if (!text || sqlite3_value_bytes(pattern) != 8)
        return false;
    std::uint64_t bytes;
    std::memcpy(&bytes, text, 8);
    std::uint64_t key;
    std::memcpy(&key, "yyyymmdd", 8);
    // Setting bit 5 folds exactly 'Y', 'M', 'D' onto 'y', 'm', 'd'.
    return (bytes | 0x2020202020202020ULL) == key;
}

// Marks a pattern argument found to be yyyymmdd. The engine keeps the mark
// from row to row only while the argument is a constant of the statement.
char g_dayKeyMark;

[[gnu::noinline]] bool checkDayKeyPattern(sqlite3_context *context, sqlite3_value *pattern)
{
    if (!isDayKeyPattern(pattern))
        return false;
    sqlite3_set_auxdata(context, 1, &g_dayKeyMark, nullptr);
    return true;
}

inline bool hasDayKeyPattern(sqlite3_context *context, sqlite3_value *pattern)
{
    return sqlite3_get_auxdata(context, 1) == &g_dayKeyMark || checkDayKeyPattern(context, pattern);
}

void resultText(sqlite3_context *context, std::string_view text)
{
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Format for everything but a date text with the pattern yyyymmdd.
[[gnu::noinline]] void formatGeneral(sqlite3_context *context, sqlite3_value **argv, bool dayKey,
                                     std::string_view value)
{
    if (dayKey && sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        resultText(context, value); // not a date: returned as it is
        return;
    }
    const std::string text = argumentText(argv[0]);
    const std::string pattern = argumentText(argv[1]);
    std::optional<std::string> result = formatDatePattern(text, pattern);
    resultText(context, result ? *result : text);
}

// Called for every row a range statement scans, so the common case (a stored
// date text and the pattern yyyymmdd) costs as little as the engine allows.
void formatFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    // The text of a number never reads as a date, so reading the text first
    // (the engine converts numbers in place) loses nothing.
    const unsigned char *raw = sqlite3_value_text(argv[0]);
    if (!raw) {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
            sqlite3_result_null(context);
        else
            sqlite3_result_error_nomem(context);
        return;
    }
    const std::string_view value(reinterpret_cast<const char *>(raw), static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
    const bool dayKey = hasDayKeyPattern(context, argv[1]);
    if (dayKey) {
        if (const char *key = dayKeyOf(value)) {
            sqlite3_result_text(context, key, 8, SQLITE_STATIC);
            return;
        }
    }
    formatGeneral(context, argv, dayKey, value);
}

void midFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const sqlite3_int64 start = sqlite3_value_int64(argv[1]);
    if (start < 1) {
        sqlite3_result_error(context, "Mid 的起始位置必须不小于 1", -1);
        return;
    }
    std::size_t count = std::string::npos;
    if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const sqlite3_int64 length = sqlite3_value_int64(argv[2]);
        if (length < 0) {
            sqlite3_result_error(context, "Mid 的长度不能是负数", -1);
            return;
        }
        count = static_cast<std::size_t>(length);
    }
    const std::size_t first = static_cast<std::size_t>(start - 1);
    if (type == SQLITE_TEXT) {
        resultText(context, characterSlice(argumentView(argv[0]), first, count));
        return;
    }
    const std::string out = utf8Mid(argumentText(argv[0]), first, count);
    resultText(context, out);
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
    const double v = type == SQLITE_NULL ? 0.0 : valOf(argumentView(argv[0]));
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

bool formatDayKey(std::string_view value, char *out)
{
    const char *key = dayKeyOf(value);
    if (!key)
        return false;
    std::memcpy(out, key, 8);
    return true;
}

std::string_view characterSlice(std::string_view utf8, std::size_t start, std::size_t count)
{
    // Walks the lead bytes the way utf8Mid does: a stray continuation byte
    // or a cut sequence counts as one character.
    auto length = [](unsigned char lead) -> std::size_t {
        if (lead < 0x80) return 1;
        if ((lead >> 5) == 0x6) return 2;
        if ((lead >> 4) == 0xE) return 3;
        if ((lead >> 3) == 0x1E) return 4;
        return 1;
    };
    std::size_t i = 0;
    for (std::size_t index = 0; i < utf8.size() && index < start; ++index)
        i += length(static_cast<unsigned char>(utf8[i]));
    const std::size_t begin = std::min(i, utf8.size());
    for (std::size_t taken = 0; i < utf8.size() && taken < count; ++taken)
        i += length(static_cast<unsigned char>(utf8[i]));
    return utf8.substr(begin, std::min(i, utf8.size()) - begin);
}

double valOf(std::string_view text)
{
    // Blanks are ignored anywhere in the number ("1 2 3" is 123). The number
    // is gathered without its blanks, on the stack unless it is very long.
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    char buffer[64];
    std::string spill;
    std::size_t used = 0;
    auto keep = [&](char c) {
        if (used < sizeof buffer) {
            buffer[used++] = c;
            return;
        }
        if (spill.empty())
            spill.assign(buffer, used);
        spill += c;
    };
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        keep(text[pos++]);
    bool digits = false;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (isBlank(c))
            continue;
        if (isDigit(c))
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            break;
        keep(c);
    }
    if (!digits)
        return 0.0;
    return plainNumberValue(spill.empty() ? std::string_view(buffer, used) : std::string_view(spill));
}

void registerDialect(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "Format", 2, flags, nullptr, formatFunction, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 2, flags, nullptr, midFunction, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 3, flags, nullptr, midFunction, nullptr, nullptr);
    sqlite3_create_function(db, "val", 1, flags, nullptr, valFunction, nullptr, nullptr);
    registerSums(db);
}

} // namespace db

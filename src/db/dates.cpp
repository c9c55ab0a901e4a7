#include "db/dates.h"

#include <cstdio>
#include <ctime>

namespace db {

namespace {

// Reads 1 to maxDigits digits at pos.
bool readNumber(std::string_view text, std::size_t &pos, int maxDigits, int &out)
{
    int digits = 0;
    int value = 0;
    while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    out = value;
    return digits > 0;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

bool isDayKey(std::string_view text)
{
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const int year = std::stoi(std::string(text.substr(0, 4)));
    const int month = std::stoi(std::string(text.substr(4, 2)));
    const int day = std::stoi(std::string(text.substr(6, 2)));
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

int daysInMonth(int year, int month)
{
    using namespace std::chrono;
    return static_cast<int>(unsigned(year_month_day_last(std::chrono::year(year) / std::chrono::month(month) / last).day()));
}

std::chrono::year_month_day DateTime::date() const
{
    return std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day);
}

std::chrono::sys_days DateTime::days() const { return std::chrono::sys_days(date()); }

long long DateTime::serial() const
{
    return static_cast<long long>(days().time_since_epoch().count()) * 86400LL + hour * 3600LL + minute * 60LL + second;
}

DateTime DateTime::fromDays(std::chrono::sys_days d, int hour, int minute, int second)
{
    std::chrono::year_month_day ymd(d);
    return DateTime{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())), hour, minute, second};
}

DateTime DateTime::fromSerial(long long seconds)
{
    long long dayCount = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --dayCount;
    }
    return fromDays(std::chrono::sys_days(std::chrono::days(dayCount)), int(rest / 3600), int(rest % 3600 / 60), int(rest % 60));
}

std::optional<DateTime> parseDate(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    DateTime v;
    if (!readNumber(text, pos, 4, v.year))
        return std::nullopt;
    if (pos >= text.size() || (text[pos] != '/' && text[pos] != '-'))
        return std::nullopt;
    const char separator = text[pos++];
    if (!readNumber(text, pos, 2, v.month))
        return std::nullopt;
    if (pos >= text.size() || text[pos] != separator)
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, 2, v.day))
        return std::nullopt;
    // Optional time of day.
    std::size_t timePos = pos;
    if (timePos < text.size() && (text[timePos] == 'T' || isBlank(text[timePos]))) {
        ++timePos;
        while (timePos < text.size() && isBlank(text[timePos]))
            ++timePos;
        int hour = 0;
        std::size_t p = timePos;
        if (readNumber(text, p, 2, hour)) {
            if (p >= text.size() || text[p] != ':')
                return std::nullopt;
            ++p;
            if (!readNumber(text, p, 2, v.minute))
                return std::nullopt;
            if (p < text.size() && text[p] == ':') {
                ++p;
                if (!readNumber(text, p, 2, v.second))
                    return std::nullopt;
            }
            v.hour = hour;
            pos = p;
        } else {
            pos = timePos;
        }
    }
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    if (v.year < 100 || v.month < 1 || v.month > 12 || v.day < 1 || v.day > daysInMonth(v.year, v.month))
        return std::nullopt;
    if (v.hour > 23 || v.minute > 59 || v.second > 59)
        return std::nullopt;
    return v;
}

std::string formatDateTime(const DateTime &v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d", v.year, v.month, v.day, v.hour, v.minute);
    return buffer;
}

std::string formatMoment(const DateTime &value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", value.year, value.month, value.day, value.hour,
                  value.minute, value.second);
    return text;
}

std::string formatTreeDate(const DateTime &v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d ", v.year, v.month, v.day);
    return buffer;
}

std::string formatDay(const DateTime &v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", v.year, v.month, v.day);
    return buffer;
}

DateTime localNow()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace db

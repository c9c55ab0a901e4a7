#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace db {

// A local calendar date and time of day, as the stored date texts hold it.
struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    std::chrono::year_month_day date() const;
    std::chrono::sys_days days() const;
    // Seconds since the epoch, taking the fields as they are (no time zone).
    long long serial() const;
    DateTime startOfDay() const { return DateTime{year, month, day, 0, 0, 0}; }

    static DateTime fromDays(std::chrono::sys_days d, int hour = 0, int minute = 0, int second = 0);
    static DateTime fromSerial(long long seconds);

    auto operator<=>(const DateTime &) const = default;
};

// Parses every date text the program writes: "2007/03/05 12:30",
// "2006/02/28 " (tree dates, trailing blank), "2007-3-5", ISO forms with
// optional seconds and a "T" separator. Rejects impossible dates.
std::optional<DateTime> parseDate(std::string_view text);

// "%Y/%m/%d %H:%M", the form of every date/time column.
std::string formatDateTime(const DateTime &value);
// "%Y/%m/%d %H:%M:%S", a moment to the second (when an action was done, a
// backup taken).
std::string formatMoment(const DateTime &value);
// "%Y/%m/%d " with the trailing blank, the form of dates kept in tree rows.
std::string formatTreeDate(const DateTime &value);
// "%Y%m%d", the form of date range bounds.
std::string formatDay(const DateTime &value);

// Whether a text is a day "%Y%m%d" that exists: eight digits, a real date.
bool isDayKey(std::string_view text);

// Days in a month of a year.
int daysInMonth(int year, int month);

// The local wall clock, for callers that do not inject a time.
DateTime localNow();

} // namespace db

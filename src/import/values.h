#pragma once

#include "db/dates.h"

#include <optional>
#include <string>

namespace import {

// The order of day, month and year in a date written with a two-digit or
// separated first field; a four-digit first field is always the year.
enum class DateOrder { YearFirst, MonthFirst, DayFirst };

// An amount of a bill in cents, signed: "28.16", "¥28.16", "￥1,234.00",
// "-1,000.00", "+5", "(12.50)" (negative), "100元". At most two decimals,
// except for a spreadsheet number (number set), which is rounded to cents.
// Nothing when the text is no amount ("¥-", "", "12.3.4", "1.234").
std::optional<long long> parseAmount(const std::string &text, bool number = false);

// Cents as the statements write an amount: "28.16", "8000", "0.5", "-109.9".
std::string centsText(long long cents);

// A date and time of a bill: "2024-01-05 12:30:45", "2024/1/5 12:30",
// "20240105", "20240105103000", "2024年1月5日 12:30", "01/05/2024" or
// "5.1.2024" (as the order says), "1/5'24" (QIF's year 2000 onward), or a
// spreadsheet day count when number is set. Nothing for a date that does
// not exist (2024-02-30, 25:00).
std::optional<db::DateTime> parseBillTime(const std::string &text, bool number = false,
                                          DateOrder order = DateOrder::YearFirst);

// A time of day alone ("12:30", "12:30:45", "123045"), for banks that write
// it in a column of its own; sets hour, minute and second of into.
bool applyTimeOfDay(const std::string &text, db::DateTime &into);

} // namespace import

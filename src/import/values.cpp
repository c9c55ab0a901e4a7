#include "import/values.h"

#include "import/table.h"

#include <cmath>
#include <vector>

namespace import {

namespace {

// Texts that stand around an amount and mean nothing for its value.
const char *const kAmountNoise[] = {"\xC2\xA5", "\xEF\xBF\xA5", "\xE5\x85\x83", "RMB", "CNY", ",", " ",
                                    "\xEF\xBC\x8C"};
constexpr int kMaxWholeDigits = 15;

void eraseAll(std::string &text, const std::string &piece)
{
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at))
        text.erase(at, piece.size());
}

struct Group {
    long long value;
    int digits;
};

// The runs of digits of a text, with what separates the first ones.
std::vector<Group> digitGroups(const std::string &text, bool &apostrophe)
{
    std::vector<Group> groups;
    apostrophe = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] >= '0' && text[i] <= '9') {
            Group g{0, 0};
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                if (g.digits < 18)
                    g.value = g.value * 10 + (text[i] - '0');
                ++g.digits;
                ++i;
            }
            groups.push_back(g);
        } else {
            if (text[i] == '\'' && groups.size() == 2)
                apostrophe = true;
            ++i;
        }
    }
    return groups;
}

bool validTime(const db::DateTime &t)
{
    return t.year >= 1900 && t.year <= 2999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= db::daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 &&
           t.minute < 60 && t.second >= 0 && t.second < 60;
}

// A spreadsheet's day count (1900 date system): whole days since
// 1899-12-30 and the time of day as the fraction.
std::optional<db::DateTime> fromDayCount(const std::string &text)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value >= 1 && value < 2958466))
        return std::nullopt;
    const long long seconds = std::llround(value * 86400.0);
    const long long epochShift = 25569LL * 86400LL; // 1899-12-30 to 1970-01-01
    return db::DateTime::fromSerial(seconds - epochShift);
}

} // namespace

std::optional<long long> parseAmount(const std::string &raw, bool number)
{
    std::string text = cleanCell(raw);
    for (const char *noise : kAmountNoise)
        eraseAll(text, noise);
    bool negative = false;
    if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
        negative = true;
        text = text.substr(1, text.size() - 2);
    }
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = negative != (text[0] == '-');
        text.erase(0, 1);
    }
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    auto digitsOnly = [](const std::string &s) {
        for (char c : s)
            if (c < '0' || c > '9')
                return false;
        return true;
    };
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if (!digitsOnly(whole) || !digitsOnly(fraction) || (point != std::string::npos && fraction.empty() && whole.empty()))
        return std::nullopt;
    std::size_t significant = whole.find_first_not_of('0');
    if (significant != std::string::npos && whole.size() - significant > static_cast<std::size_t>(kMaxWholeDigits))
        return std::nullopt;
    long long cents = 0;
    for (char c : whole)
        cents = cents * 10 + (c - '0');
    cents *= 100;
    if (fraction.size() <= 2) {
        if (!fraction.empty())
            cents += (fraction[0] - '0') * 10 + (fraction.size() > 1 ? fraction[1] - '0' : 0);
    } else if (number) {
        // A spreadsheet keeps 28.16 as 28.159999999999997.
        cents = std::llround(std::strtod(("0." + fraction).c_str(), nullptr) * 100.0) + cents;
    } else {
        return std::nullopt;
    }
    return negative ? -cents : cents;
}

std::string centsText(long long cents)
{
    const bool negative = cents < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                                  : static_cast<unsigned long long>(cents);
    std::string text = std::to_string(magnitude / 100);
    const unsigned rest = static_cast<unsigned>(magnitude % 100);
    if (rest != 0) {
        text += '.';
        text += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0)
            text += static_cast<char>('0' + rest % 10);
    }
    return negative ? "-" + text : text;
}

std::optional<db::DateTime> parseBillTime(const std::string &raw, bool number, DateOrder order)
{
    const std::string text = cleanCell(raw);
    if (number)
        return fromDayCount(text);
    bool apostrophe = false;
    std::vector<Group> groups = digitGroups(text, apostrophe);
    if (groups.empty())
        return std::nullopt;
    // "20240105" and "20240105103000": the date and time run together.
    if (groups[0].digits == 8 || groups[0].digits == 12 || groups[0].digits == 14) {
        const std::string digits = text.substr(text.find_first_of("0123456789"), static_cast<std::size_t>(groups[0].digits));
        std::vector<Group> split;
        split.push_back({std::stoll(digits.substr(0, 4)), 4});
        for (std::size_t at = 4; at < digits.size(); at += 2)
            split.push_back({std::stoll(digits.substr(at, 2)), 2});
        split.insert(split.end(), groups.begin() + 1, groups.end());
        groups = split;
    }
    if (groups.size() < 3)
        return std::nullopt;
    db::DateTime t;
    long long year = 0, month = 0, day = 0;
    if (groups[0].digits == 4) {
        year = groups[0].value;
        month = groups[1].value;
        day = groups[2].value;
    } else if (groups[2].digits == 4 || groups[2].digits == 2) {
        const bool dayFirst = order == DateOrder::DayFirst;
        day = dayFirst ? groups[0].value : groups[1].value;
        month = dayFirst ? groups[1].value : groups[0].value;
        year = groups[2].value;
        if (groups[2].digits == 2)
            year += apostrophe || year < 70 ? 2000 : 1900;
    } else {
        return std::nullopt;
    }
    if (groups[1].digits > 2 || (groups[0].digits != 4 && groups[0].digits > 2))
        return std::nullopt;
    t.year = static_cast<int>(year);
    t.month = static_cast<int>(month);
    t.day = static_cast<int>(day);
    if (groups.size() >= 5) {
        if (groups[3].digits > 2 || groups[4].digits > 2)
            return std::nullopt;
        t.hour = static_cast<int>(groups[3].value);
        t.minute = static_cast<int>(groups[4].value);
        if (groups.size() >= 6) {
            if (groups[5].digits > 2)
                return std::nullopt;
            t.second = static_cast<int>(groups[5].value);
        }
    } else if (groups.size() == 4) {
        return std::nullopt;
    }
    if (!validTime(t))
        return std::nullopt;
    return t;
}

bool applyTimeOfDay(const std::string &raw, db::DateTime &into)
{
    const std::string text = cleanCell(raw);
    bool apostrophe = false;
    std::vector<Group> groups = digitGroups(text, apostrophe);
    if (groups.size() == 1 && (groups[0].digits == 6 || groups[0].digits == 4)) {
        const long long v = groups[0].value;
        groups = groups[0].digits == 6 ? std::vector<Group>{{v / 10000, 2}, {v / 100 % 100, 2}, {v % 100, 2}}
                                       : std::vector<Group>{{v / 100, 2}, {v % 100, 2}};
    }
    if (groups.size() < 2 || groups.size() > 3)
        return false;
    db::DateTime t = into;
    t.hour = static_cast<int>(groups[0].value);
    t.minute = static_cast<int>(groups[1].value);
    t.second = groups.size() == 3 ? static_cast<int>(groups[2].value) : 0;
    if (groups[0].digits > 2 || groups[1].digits > 2 || !validTime(t))
        return false;
    into = t;
    return true;
}

} // namespace import

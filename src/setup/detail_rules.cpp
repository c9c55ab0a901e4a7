#include "setup/detail_rules.h"

#include "db/connection.h"

namespace setup {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

bool isAmountText(const std::string &text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int whole = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++whole;
        ++i;
    }
    int fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++fraction;
            ++i;
        }
    }
    return i == text.size() && whole + fraction > 0 && whole <= 12 && fraction <= 4;
}

db::DateTime dateOrNow(const std::string &text, const db::DateTime &fallback)
{
    const std::optional<db::DateTime> parsed = db::parseDate(text);
    return parsed ? *parsed : fallback;
}

bool checkBoxValue(const std::string &columnText) { return columnText != "0"; }

std::optional<std::string> nextEntryNumber(db::Connection &c)
{
    const std::string number = c.scalar("select max(财务标识)+1 as num from account ", "num");
    if (number.empty())
        return "1";
    if (number.size() > 15)
        return std::nullopt;
    for (char ch : number)
        if (!isDigit(ch))
            return std::nullopt;
    return number;
}

} // namespace setup

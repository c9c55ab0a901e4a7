// Amounts and times as bills write them.
#include "import/values.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(BillValues, AmountsReadToCents)
{
    const struct {
        const char *text;
        bool number;
        std::optional<long long> cents;
    } cases[] = {
        {"28.16", false, 2816},         {"¥28.16", false, 2816},    {"￥1,234.00", false, 123400},
        {"-1,000.00", false, -100000},  {"+5", false, 500},          {"(12.50)", false, -1250},
        {" 100元 ", false, 10000},      {"0.5", false, 50},          {"28.159999999999997", true, 2816},
        {"28.159", false, std::nullopt}, {"¥-", false, std::nullopt}, {"", false, std::nullopt},
        {"12.3.4", false, std::nullopt}, {"1e5", false, std::nullopt}, {"1234567890123456", false, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(import::parseAmount(c.text, c.number), c.cents) << c.text;
    EXPECT_EQ(import::centsText(-10990), "-109.9");
    EXPECT_EQ(import::centsText(800000), "8000");
    EXPECT_EQ(import::centsText(5), "0.05");
}

TEST(BillValues, TimesReadInEveryWrittenForm)
{
    const struct {
        const char *text;
        import::DateOrder order;
        const char *expected; // "" when the text is no time that exists
    } cases[] = {
        {"2024-01-05 12:30:45", import::DateOrder::YearFirst, "2024-01-05 12:30:45"},
        {"2024/1/5 9:05", import::DateOrder::YearFirst, "2024-01-05 09:05:00"},
        {"20240105", import::DateOrder::YearFirst, "2024-01-05 00:00:00"},
        {"20240105103000[+8:CST]", import::DateOrder::YearFirst, "2024-01-05 10:30:00"},
        {"2024年1月5日 12:30", import::DateOrder::YearFirst, "2024-01-05 12:30:00"},
        {"01/05/2024", import::DateOrder::MonthFirst, "2024-01-05 00:00:00"},
        {"05.01.2024", import::DateOrder::DayFirst, "2024-01-05 00:00:00"},
        {"1/5'24", import::DateOrder::MonthFirst, "2024-01-05 00:00:00"},
        {"2024-02-29", import::DateOrder::YearFirst, "2024-02-29 00:00:00"},
        {"2023-02-29", import::DateOrder::YearFirst, ""},
        {"2024-01-05 24:00", import::DateOrder::YearFirst, ""},
        {"2024-13-01", import::DateOrder::YearFirst, ""},
        {"2024-01-05 12", import::DateOrder::YearFirst, ""},
        {"合计", import::DateOrder::YearFirst, ""},
    };
    for (const auto &c : cases) {
        const auto t = import::parseBillTime(c.text, false, c.order);
        char text[32] = "";
        if (t)
            std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                          t->minute, t->second);
        EXPECT_STREQ(text, c.expected) << c.text;
    }
}

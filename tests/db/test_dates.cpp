#include "db/dates.h"
#include "db/text.h"

#include <gtest/gtest.h>

// Texts the date parser must refuse or take, and what it reads.
struct DateCase {
    const char *text;
    const char *formatted; // "%Y/%m/%d %H:%M", or nullptr when refused
};

class DateParsing : public testing::TestWithParam<DateCase> {};

TEST_P(DateParsing, ReadsWhatTheProgramWrites)
{
    const auto parsed = db::parseDate(GetParam().text);
    if (!GetParam().formatted) {
        EXPECT_FALSE(parsed) << "took " << GetParam().text;
        return;
    }
    ASSERT_TRUE(parsed) << "refused " << GetParam().text;
    EXPECT_EQ(db::formatDateTime(*parsed), GetParam().formatted);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DateParsing,
    testing::Values(DateCase{"2007/03/05 12:30", "2007/03/05 12:30"}, DateCase{"2006/02/28 ", "2006/02/28 00:00"},
                    DateCase{"2007-3-5", "2007/03/05 00:00"}, DateCase{"2007-03-05T08:09:10", "2007/03/05 08:09"},
                    DateCase{"  2007/03/05 23:59  ", "2007/03/05 23:59"}, DateCase{"2008/02/29", "2008/02/29 00:00"},
                    DateCase{"2007/03/05 00:00", "2007/03/05 00:00"}, DateCase{"2007/03/05 24:00", nullptr},
                    DateCase{"2007/03/05 23:60", nullptr}, DateCase{"2007/03/05 12:30:60", nullptr},
                    DateCase{"2007/02/29", nullptr}, DateCase{"2007/13/01", nullptr}, DateCase{"2007/00/10", nullptr},
                    DateCase{"2007/01/00", nullptr}, DateCase{"2007/03-05", nullptr}, DateCase{"2007/03/05x", nullptr},
                    DateCase{"2007/03/05 12", nullptr}, DateCase{"", nullptr}, DateCase{" ", nullptr},
                    DateCase{"0099/01/01", nullptr}));

TEST(Text, TrimTakesBlanksAndTabsFromBothEnds)
{
    EXPECT_EQ(db::trim("  付 "), "付");
    EXPECT_EQ(db::trim("\t午餐\t"), "午餐");
    EXPECT_EQ(db::trim(" \t 午 餐 \t "), "午 餐");
    EXPECT_EQ(db::trim("\t"), "");
}

TEST(Text, NegatedNumbersCombineTheSigns)
{
    EXPECT_EQ(db::negatedNumber("5"), "-5");
    EXPECT_EQ(db::negatedNumber("35.5"), "-35.5");
    EXPECT_EQ(db::negatedNumber("-5"), "5");
    EXPECT_EQ(db::negatedNumber("+5"), "-+5");
    EXPECT_EQ(db::negatedNumber(".5"), "-.5");
}

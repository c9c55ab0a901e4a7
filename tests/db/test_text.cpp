#include "db/dates.h"
#include "db/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

TEST(Text, NumbersShowWithoutNoise)
{
    EXPECT_EQ(db::numberToText(100.0), "100");
    EXPECT_EQ(db::numberToText(35.5), "35.5");
    EXPECT_EQ(db::numberToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(db::numberToText(-70.0), "-70");
    EXPECT_EQ(db::numberToText(1234567.891), "1234567.891");
}

TEST(Text, MoneyFormats)
{
    EXPECT_EQ(db::money15(20), "          20.00");
    EXPECT_EQ(db::money15(20).size(), 15u);
    EXPECT_EQ(db::moneyTrimmed(-70), "-70.00");
    EXPECT_EQ(db::moneyTrimmed(0.005), "0.01");
}

struct NumberCase {
    const char *text;
    double value;
};

void PrintTo(const NumberCase &c, std::ostream *out) { *out << '"' << c.text << "\" as " << c.value; }

class LeadingNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumber, ReadsThePlainDecimalAtTheStart)
{
    const NumberCase &c = GetParam();
    const double value = db::leadingNumber(c.text);
    // Exactly the double nearest to the decimal, and zero with its sign.
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Text, LeadingNumber,
    testing::Values(NumberCase{".5", 0.5}, NumberCase{"-.5", -0.5}, NumberCase{"0x10", 0}, NumberCase{"1e3", 1},
                    NumberCase{"1E3", 1}, NumberCase{"  12.5abc", 12.5}, NumberCase{" 12.5元", 12.5},
                    NumberCase{"+3", 3}, NumberCase{"-", 0}, NumberCase{"+", 0}, NumberCase{".", 0},
                    NumberCase{"-.", 0}, NumberCase{"1.2.3", 1.2}, NumberCase{"inf", 0}, NumberCase{"-inf", 0},
                    NumberCase{"nan", 0}, NumberCase{"infinity", 0}, NumberCase{"ï¼ï¼", 0},
                    NumberCase{"abc", 0}, NumberCase{"", 0}, NumberCase{"5.", 5}, NumberCase{"	7", 7},
                    NumberCase{"1 2", 1}, NumberCase{"- 3", 0}, NumberCase{"-3", -3}, NumberCase{"-0", -0.0},
                    NumberCase{"007", 7}, NumberCase{"0.1", 0.1}, NumberCase{"2.675", 2.675},
                    NumberCase{"-35.5 ", -35.5}, NumberCase{"123456789012345678901234567890", 1.2345678901234568e29},
                    NumberCase{"0.30000000000000004441", 0.30000000000000004}));

// A typed amount may carry '+' and need not have a point; a real value as
// the engine writes it has a point and never '+'.
TEST(Text, TypedAmountsAndRealValueTexts)
{
    struct Case {
        const char *text;
        bool plain;
        bool real;
    };
    for (const Case &c : {Case{"12", true, false}, Case{"+3.5", true, false}, Case{"-3.5", true, true},
                          Case{".5", true, true}, Case{"5.", true, true}, Case{"1.2.3", false, false},
                          Case{"", false, false}, Case{"-", false, false}, Case{".", false, false},
                          Case{" 1", false, false}, Case{"1e3", false, false}, Case{"12元", false, false}}) {
        EXPECT_EQ(db::isPlainNumber(c.text), c.plain) << c.text;
        EXPECT_EQ(db::isRealNumberText(c.text), c.real) << c.text;
    }
}

TEST(Text, LeadingNumberBeyondTheRangeOfADouble)
{
    EXPECT_EQ(db::leadingNumber("1" + std::string(400, '0')), HUGE_VAL);
    EXPECT_EQ(db::leadingNumber("-1" + std::string(400, '0') + ".5"), -HUGE_VAL);
    EXPECT_EQ(db::leadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(Text, GbkWidthAndCharacterSlices)
{
    EXPECT_EQ(db::gbkLength("abc"), 3);
    EXPECT_EQ(db::gbkLength("  明  细  帐  "), 14);
    EXPECT_EQ(db::utf8Length("现金银行"), 4u);
    EXPECT_EQ(db::utf8Mid("现金银行", 1, 2), "金银");
    EXPECT_EQ(db::utf8Mid("ab", 5, 2), "");
    EXPECT_EQ(db::trim("  付 "), "付");
    EXPECT_EQ(db::trim("   "), "");
}

TEST(Dates, ParseAndFormat)
{
    auto d = db::parseDate("2007/03/05 12:30");
    ASSERT_TRUE(d);
    EXPECT_EQ(db::formatDateTime(*d), "2007/03/05 12:30");
    EXPECT_EQ(db::formatDay(*d), "20070305");
    EXPECT_EQ(db::formatTreeDate(*d), "2007/03/05 ");
    auto tree = db::parseDate("2006/02/28 ");
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->hour, 0);
    EXPECT_TRUE(db::parseDate("2008/02/29"));
    EXPECT_FALSE(db::parseDate("2007/02/29"));
    EXPECT_FALSE(db::parseDate("2007/13/01"));
    EXPECT_FALSE(db::parseDate(""));
    EXPECT_FALSE(db::parseDate(" "));
    EXPECT_FALSE(db::parseDate("2007/03/05 25:00"));
    EXPECT_FALSE(db::parseDate("2007/03-05"));
    EXPECT_EQ(db::DateTime::fromSerial(d->serial()), *d);
    EXPECT_EQ(db::daysInMonth(2024, 2), 29);
    EXPECT_EQ(db::daysInMonth(2100, 2), 28);
}

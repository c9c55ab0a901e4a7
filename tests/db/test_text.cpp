#include "db/dates.h"
#include "db/text.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(db::leadingNumber(" 12.5元"), 12.5);
    EXPECT_EQ(db::leadingNumber("abc"), 0);
    EXPECT_EQ(db::leadingNumber("inf"), 0);
    EXPECT_EQ(db::leadingNumber("-3"), -3);
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

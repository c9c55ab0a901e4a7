#include "db/money.h"

#include <gtest/gtest.h>

#include <string>

struct MoneyCase {
    const char *text;
    const char *cents;
};

void PrintTo(const MoneyCase &c, std::ostream *out) { *out << '"' << c.text << "\" shows " << c.cents; }

class MoneyText : public testing::TestWithParam<MoneyCase> {};

// The leading number of a text, as the lists sum it, shown to the cent:
// rounded half away from zero on the exact decimal, never on a binary
// approximation of it.
TEST_P(MoneyText, ReadsTheLeadingNumberAndShowsItToTheCent)
{
    EXPECT_EQ(db::Money::leading(GetParam().text).cents(), GetParam().cents);
}

INSTANTIATE_TEST_SUITE_P(
    Money, MoneyText,
    testing::Values(MoneyCase{"35.5", "35.50"}, MoneyCase{"-70", "-70.00"}, MoneyCase{"  12.5abc", "12.50"},
                    MoneyCase{"abc", "0.00"}, MoneyCase{"", "0.00"}, MoneyCase{"1e3", "1000.00"}, MoneyCase{"1.0e+15", "1000000000000000.00"},
                    MoneyCase{"2.5e-07", "0.00"}, MoneyCase{"-1.255e2", "-125.50"}, MoneyCase{"1e", "1.00"},
                    MoneyCase{"1e+99", "0.00"},
                    MoneyCase{".5", "0.50"}, MoneyCase{"+3", "3.00"}, MoneyCase{"2.675", "2.68"},
                    MoneyCase{"1.005", "1.01"}, MoneyCase{"-1.005", "-1.01"}, MoneyCase{"-0.004", "0.00"},
                    MoneyCase{"0.0000005", "0.00"}, MoneyCase{"999999999999999.99", "999999999999999.99"},
                    MoneyCase{"0.1234565", "0.12"}, MoneyCase{"123456789012345678901.5", "123456789012345678901.50"},
                    MoneyCase{"-123456789012345678901.005", "-123456789012345678901.01"},
                    MoneyCase{"123456789012345678901234567890", "123456789012345678901234567890.00"},
                    MoneyCase{"1234567890123456789012345678901", "0.00"}));

TEST(Money, SumsAreExactAndParseTakesOnlyWholeNumbers)
{
    // A million dimes and a million times 0.01 come to the cent, where a
    // sum of doubles drifts.
    db::Money sum;
    double drifting = 0;
    for (int i = 0; i < 1000000; ++i) {
        sum += db::Money::leading("0.1");
        sum += db::Money::leading("0.01");
        drifting += 0.1 + 0.01;
    }
    EXPECT_EQ(sum.cents(), "110000.00");
    EXPECT_NE(drifting, 110000.0);
    EXPECT_EQ((db::Money::leading("0.1") + db::Money::leading("0.2")), db::Money::leading("0.3"));
    EXPECT_EQ(db::Money::leading("-5").abs(), db::Money::leading("5"));
    EXPECT_TRUE(db::Money::parse("12.50"));
    EXPECT_FALSE(db::Money::parse("12.5abc"));
    EXPECT_FALSE(db::Money::parse(""));
    EXPECT_FALSE(db::Money::parse("1e3"));
    // Digits beyond the sixth decimal round the last unit.
    EXPECT_EQ(db::Money::leading("0.0000015").units(), 2);
    EXPECT_EQ(db::Money::leading("-0.0000015").units(), -2);
}

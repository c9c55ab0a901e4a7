#include "setup/amount_calculator.h"

#include <gtest/gtest.h>

using setup::applyCalculatorKey;
using setup::evaluateAmount;

TEST(AmountCalculator, KeysEditTheText)
{
    std::string text;
    for (int code : {1, 2, setup::calc::kPoint, 5, setup::calc::kMultiply, 2})
        text = applyCalculatorKey(text, code).text;
    EXPECT_EQ(text, "12.5*2");
    EXPECT_EQ(applyCalculatorKey(text, setup::calc::kEquals).text, "25.00");
    EXPECT_EQ(applyCalculatorKey("1", setup::calc::kPlus).text, "1+");
    EXPECT_EQ(applyCalculatorKey("1", setup::calc::kMinus).text, "1-");
    EXPECT_EQ(applyCalculatorKey("1", setup::calc::kDivide).text, "1/");
    EXPECT_EQ(applyCalculatorKey("123", setup::calc::kBackspace).text, "12");
    EXPECT_EQ(applyCalculatorKey("", setup::calc::kBackspace).text, "");
    EXPECT_EQ(applyCalculatorKey("12元", setup::calc::kBackspace).text, "12");
    EXPECT_EQ(applyCalculatorKey("7", 10).text, "7");
    EXPECT_EQ(applyCalculatorKey("7", 18).text, "7");
    EXPECT_EQ(applyCalculatorKey("7", -1).text, "7");
}

TEST(AmountCalculator, EvaluatesOneOperation)
{
    EXPECT_EQ(evaluateAmount("9").text, "9");
    EXPECT_EQ(evaluateAmount("-5-3").text, "-5.00");
    EXPECT_EQ(evaluateAmount("2+3*4").text, "8.00");
    EXPECT_EQ(evaluateAmount("1+2+3").text, "3.00");
    EXPECT_EQ(evaluateAmount("10/4").text, "2.50");
    EXPECT_EQ(evaluateAmount("abc+2").text, "2.00");
    EXPECT_EQ(evaluateAmount("0.1+0.2").text, "0.30");
    EXPECT_TRUE(evaluateAmount("10/4").status);
    auto zero = evaluateAmount("8/0");
    EXPECT_EQ(zero.text, "");
    EXPECT_TRUE(zero.status.refusedWith(setup::kMsgDivideByZero));
    // A zero written another way is refused too, rather than giving "inf".
    EXPECT_TRUE(evaluateAmount("8/0.0").status.refusedWith(setup::kMsgDivideByZero));
    EXPECT_TRUE(evaluateAmount("8/").status.refusedWith(setup::kMsgDivideByZero));
}

// Every key code on the text "7": what it appends, or nothing.
struct KeyCase {
    int code;
    const char *after;
};

class CalculatorKey : public testing::TestWithParam<KeyCase> {};

TEST_P(CalculatorKey, EditsTheAmountText)
{
    EXPECT_EQ(applyCalculatorKey("7", GetParam().code).text, GetParam().after) << "code " << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(EveryCode, CalculatorKey,
                         testing::Values(KeyCase{0, "70"}, KeyCase{1, "71"}, KeyCase{2, "72"}, KeyCase{3, "73"},
                                         KeyCase{4, "74"}, KeyCase{5, "75"}, KeyCase{6, "76"}, KeyCase{7, "77"},
                                         KeyCase{8, "78"}, KeyCase{9, "79"}, KeyCase{10, "7"}, KeyCase{11, "7."},
                                         KeyCase{12, "7+"}, KeyCase{13, "7-"}, KeyCase{14, "7"}, KeyCase{15, "7/"},
                                         KeyCase{16, "7*"}, KeyCase{17, ""}, KeyCase{18, "7"}, KeyCase{99, "7"},
                                         KeyCase{-1, "7"}));

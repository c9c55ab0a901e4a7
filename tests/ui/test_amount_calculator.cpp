#include "ui/amount_calculator.h"

#include <gtest/gtest.h>

using ui::applyCalculatorKey;
using ui::evaluateAmount;

TEST(AmountCalculator, KeysEditTheText)
{
    std::string text;
    for (int code : {1, 2, ui::calc::kPoint, 5, ui::calc::kMultiply, 2})
        text = applyCalculatorKey(text, code).text;
    EXPECT_EQ(text, "12.5*2");
    EXPECT_EQ(applyCalculatorKey(text, ui::calc::kEquals).text, "25.00");
    EXPECT_EQ(applyCalculatorKey("1", ui::calc::kPlus).text, "1+");
    EXPECT_EQ(applyCalculatorKey("1", ui::calc::kMinus).text, "1-");
    EXPECT_EQ(applyCalculatorKey("1", ui::calc::kDivide).text, "1/");
    EXPECT_EQ(applyCalculatorKey("123", ui::calc::kBackspace).text, "12");
    EXPECT_EQ(applyCalculatorKey("", ui::calc::kBackspace).text, "");
    EXPECT_EQ(applyCalculatorKey("12元", ui::calc::kBackspace).text, "12");
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
    EXPECT_TRUE(zero.status.refusedWith(ui::kMsgDivideByZero));
    // A zero written another way is refused too, rather than giving "inf".
    EXPECT_TRUE(evaluateAmount("8/0.0").status.refusedWith(ui::kMsgDivideByZero));
    EXPECT_TRUE(evaluateAmount("8/").status.refusedWith(ui::kMsgDivideByZero));
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

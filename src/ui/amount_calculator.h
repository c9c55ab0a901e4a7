#pragma once

#include "db/result.h"

#include <string>

namespace ui {

// Key codes the calculator sends to its owner.
namespace calc {
inline constexpr int kPoint = 11;
inline constexpr int kPlus = 12;
inline constexpr int kMinus = 13;
inline constexpr int kEquals = 14;
inline constexpr int kDivide = 15;
inline constexpr int kMultiply = 16;
inline constexpr int kBackspace = 17;
} // namespace calc

inline constexpr const char *kMsgDivideByZero = "除数不能为零!";

// The amount text after a key, and whether the key was refused (a division
// by zero, whose message is shown and whose text is empty).
struct CalculatorResult {
    std::string text;
    db::Result status;
};

// Applies one key code to an amount text: digits and operators are
// appended, 17 removes the last character, 14 evaluates the first operation.
CalculatorResult applyCalculatorKey(const std::string &text, int code);

// Evaluates one operation: the first of "*", "/", "+", "-" found splits the
// text; each side is read as its leading number.
CalculatorResult evaluateAmount(const std::string &text);

} // namespace ui

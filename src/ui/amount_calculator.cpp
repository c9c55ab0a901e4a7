#include "ui/amount_calculator.h"

#include "db/text.h"

namespace ui {

CalculatorResult evaluateAmount(const std::string &text)
{
    for (char op : {'*', '/', '+', '-'}) {
        const std::size_t at = text.find(op);
        if (at == std::string::npos)
            continue;
        const std::string right = text.substr(at + 1);
        const long double a = db::leadingNumber(text.substr(0, at));
        const long double b = db::leadingNumber(right);
        long double result = 0;
        switch (op) {
        case '*':
            result = a * b;
            break;
        case '/':
            // Any right side that reads as zero ("0", "0.0", "00") would give
            // an infinite amount.
            if (right == "0" || b == 0)
                return {"", db::Result::refused(kMsgDivideByZero)};
            result = a / b;
            break;
        case '+':
            result = a + b;
            break;
        default:
            result = a - b;
            break;
        }
        return {db::moneyTrimmed(result), db::Result::ok()};
    }
    return {text, db::Result::ok()};
}

CalculatorResult applyCalculatorKey(const std::string &text, int code)
{
    if (code >= 0 && code <= 9)
        return {text + static_cast<char>('0' + code), db::Result::ok()};
    switch (code) {
    case calc::kPoint:
        return {text + ".", db::Result::ok()};
    case calc::kPlus:
        return {text + "+", db::Result::ok()};
    case calc::kMinus:
        return {text + "-", db::Result::ok()};
    case calc::kDivide:
        return {text + "/", db::Result::ok()};
    case calc::kMultiply:
        return {text + "*", db::Result::ok()};
    case calc::kBackspace: {
        // Remove the last character, not just its last byte.
        std::string out = text;
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80)
            out.pop_back();
        if (!out.empty())
            out.pop_back();
        return {out, db::Result::ok()};
    }
    case calc::kEquals:
        return evaluateAmount(text);
    default:
        return {text, db::Result::ok()};
    }
}

} // namespace ui

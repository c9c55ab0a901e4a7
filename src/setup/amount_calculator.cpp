#include "setup/amount_calculator.h"

#include "db/text.h"

namespace setup {

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
                return {"", std::string(kMsgDivideByZero)};
            result = a / b;
            break;
        case '+':
            result = a + b;
            break;
        default:
            result = a - b;
            break;
        }
        return {db::moneyTrimmed(result), std::nullopt};
    }
    return {text, std::nullopt};
}

CalculatorResult applyCalculatorKey(const std::string &text, int code)
{
    if (code >= 0 && code <= 9)
        return {text + static_cast<char>('0' + code), std::nullopt};
    switch (code) {
    case calc::kPoint:
        return {text + ".", std::nullopt};
    case calc::kPlus:
        return {text + "+", std::nullopt};
    case calc::kMinus:
        return {text + "-", std::nullopt};
    case calc::kDivide:
        return {text + "/", std::nullopt};
    case calc::kMultiply:
        return {text + "*", std::nullopt};
    case calc::kBackspace: {
        // Remove the last character, not just its last byte.
        std::string out = text;
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80)
            out.pop_back();
        if (!out.empty())
            out.pop_back();
        return {out, std::nullopt};
    }
    case calc::kEquals:
        return evaluateAmount(text);
    default:
        return {text, std::nullopt};
    }
}

} // namespace setup

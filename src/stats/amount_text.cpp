#include "stats/amount_text.h"

#include "db/text.h"

#include <cmath>
#include <cstdio>

namespace stats {

namespace {

constexpr int kMaxDecimals = 6;
// Far below any decimal a person types, far above what adding up a year of
// household amounts leaves behind.
constexpr double kAbsoluteTolerance = 1e-7;
constexpr double kRelativeTolerance = 1e-15;

} // namespace

std::string cleanAmount(const std::string &text)
{
    if (!db::isRealNumberText(text))
        return text;
    const double value = db::leadingNumber(text);
    const double tolerance = std::max(kAbsoluteTolerance, kRelativeTolerance * std::fabs(value));
    double power = 1;
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals, power *= 10) {
        const double rounded = std::round(value * power) / power;
        if (std::fabs(rounded - value) <= tolerance) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
            std::string out = buffer;
            return out == "-0" ? "0" : out;
        }
    }
    return text;
}

} // namespace stats

#include "stats/percent.h"

#include "db/text.h"

#include <cmath>
#include <cstdio>

namespace stats {

namespace {

std::string formatted(double share)
{
    if (!std::isfinite(share))
        return {};
    if (share == 0.0)
        share = 0.0; // an empty amount over a negative total: "0.00%", not "-0.00%"
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f%%", share);
    return buffer;
}

} // namespace

std::string sharePercent(const std::string &amount, const std::string &total)
{
    const double divisor = db::leadingNumber(total);
    if (divisor == 0.0)
        return {};
    const float product = static_cast<float>(db::leadingNumber(amount) * 100.0);
    return formatted(static_cast<double>(product) / divisor);
}

std::string dayPercent(const std::string &amount, const std::string &total)
{
    const double divisor = db::leadingNumber(total);
    if (divisor == 0.0)
        return {};
    return formatted(db::leadingNumber(amount) * 100.0 / divisor);
}

} // namespace stats

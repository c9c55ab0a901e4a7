#pragma once

#include <string>

namespace stats {

// A sum as the engine returns it, without the noise that adding binary
// fractions leaves in the last digits: "90897.3200000001" reads "90897.32".
// A value that no short decimal (up to six places) matches is kept as it
// is, and so is any text that is not a plain decimal.
std::string cleanAmount(const std::string &text);

} // namespace stats

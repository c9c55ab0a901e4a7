#pragma once

#include <string>

namespace app {

inline constexpr const char *kHelpFile = "Pennaro.html";

// The help page of a program in programFolder: beside the program (a build
// folder), else in the data folder of an installed tree (bin/../share/pennaro).
// When neither holds it, the place beside the program, where the viewer
// then says that the page is missing.
std::string helpPagePath(const std::string &programFolder);

} // namespace app

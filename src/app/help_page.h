#pragma once

#include <QUrl>

namespace app {

// The help page: Pennaro.html beside the program or in the installed data
// folder (see helpPagePath).
QUrl helpPageUrl();
// Hands the help page to the desktop's viewer; its answer is not examined.
void openHelpPage();

} // namespace app

#pragma once

#include <QUrl>

namespace app {

// The help page, Pennaro.html in the program's own folder.
QUrl helpPageUrl();
// Hands the help page to the desktop's viewer; its answer is not examined.
void openHelpPage();

} // namespace app

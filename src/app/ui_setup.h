#pragma once

class QApplication;

namespace app {

// Maps the program's font names to the installed CJK font, loads the Chinese
// texts of the standard buttons and sets the application name.
void setUpApplication(QApplication &application);

} // namespace app

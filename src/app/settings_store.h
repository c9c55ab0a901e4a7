#pragma once

#include <QString>

namespace app {

// The per-machine settings value AccUser under software/Kassolt, kept in an
// INI file in the runtime folder, which is cleared at reboot.
QString settingsFilePath();
bool writeLastUser(const QString &userName);
QString readLastUser(); // "" when the value or the store is missing

} // namespace app

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace app {

// The per-machine settings value AccUser under software/Kassolt, kept in an
// INI file in the runtime folder, which is cleared at reboot.
QString settingsFilePath();
bool writeLastUser(const QString &userName);
QString readLastUser(); // "" when the value or the store is missing

// The books opened last, newest first, kept in the user's settings file
// (userSettingsPath, under the XDG config folder; it survives a reboot).
QStringList readRecentBooks();
// Puts a book that was opened first in that list. False when the settings
// could not be written.
bool rememberBook(const QString &path);

// How the chart pane of the class query window was left: shown or not,
// and where its splitter stood (empty: never moved).
struct ChartPaneState {
    bool shown = false;
    QByteArray splitter;
};
ChartPaneState readChartPane();
// False when the settings could not be written.
bool writeChartPane(const ChartPaneState &state);

} // namespace app

#include "app/settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace app {

namespace {
const char *const kKey = "software/Kassolt/AccUser";
}

QString settingsFilePath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/Kassolt.ini");
}

bool writeLastUser(const QString &userName)
{
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.setValue(QLatin1String(kKey), userName);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString readLastUser()
{
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    return settings.value(QLatin1String(kKey)).toString();
}

} // namespace app

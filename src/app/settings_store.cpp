#include "app/settings_store.h"

#include "app/books.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace app {

namespace {
const char *const kKey = "software/Kassolt/AccUser";
const char *const kRecentBooksKey = "books/recent";
const char *const kChartShownKey = "charts/shown";
const char *const kChartSplitterKey = "charts/splitter";

QSettings userSettings()
{
    return QSettings(QString::fromStdString(userSettingsPath()), QSettings::IniFormat);
}
} // namespace

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

QStringList readRecentBooks() { return userSettings().value(QLatin1String(kRecentBooksKey)).toStringList(); }

bool rememberBook(const QString &path)
{
    std::vector<std::string> recent;
    for (const QString &book : readRecentBooks())
        recent.push_back(book.toStdString());
    QStringList books;
    for (const std::string &book : withRecentBook(recent, path.toStdString()))
        books << QString::fromStdString(book);
    QSettings settings = userSettings();
    settings.setValue(QLatin1String(kRecentBooksKey), books);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

ChartPaneState readChartPane()
{
    const QSettings settings = userSettings();
    return {settings.value(QString::fromLatin1(kChartShownKey), false).toBool(),
            settings.value(QString::fromLatin1(kChartSplitterKey)).toByteArray()};
}

bool writeChartPane(const ChartPaneState &state)
{
    QSettings settings = userSettings();
    settings.setValue(QString::fromLatin1(kChartShownKey), state.shown);
    settings.setValue(QString::fromLatin1(kChartSplitterKey), state.splitter);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace app

#include "app/help_page.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace app {

namespace {
const char *const kHelpFile = "Pennaro.html";
}

QUrl helpPageUrl()
{
    return QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kHelpFile)));
}

void openHelpPage() { QDesktopServices::openUrl(helpPageUrl()); }

} // namespace app

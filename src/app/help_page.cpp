#include "app/help_page.h"

#include "app/data_files.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace app {

QUrl helpPageUrl()
{
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    return QUrl::fromLocalFile(QString::fromStdString(helpPagePath(folder)));
}

void openHelpPage() { QDesktopServices::openUrl(helpPageUrl()); }

} // namespace app

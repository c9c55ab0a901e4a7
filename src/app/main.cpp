#include "app/main_frame.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "app/ui_setup.h"
#include "db/connection.h"
#include "setup/backup_files.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    app::setUpApplication(application);

    // The application's own connection, used for the password check.
    std::unique_ptr<db::Connection> connection;
    // Unlike ui::openOrSay, a failure here ends the program: the box is its
    // last word and has no window to belong to.
    try {
        connection = std::make_unique<db::Connection>(db::kConnectionString);
    } catch (const db::Error &error) {
        QMessageBox::critical(nullptr, QString::fromUtf8(ui::kAppTitle),
                              QString::fromStdString(db::connectFailedText(error)));
        return 1;
    }
    // What a killed backup or restore left beside the books goes now.
    setup::removeStaleTemporaries(connection->path());

    const std::optional<QString> user = app::runLogin(*connection);
    if (!user)
        return 0;
    const QString userName = *user;
    CMainFrame frame(userName);
    if (!frame.create())
        return 1;
    // Without a window manager "maximised" means nothing: take the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    frame.repaint();
    QCoreApplication::processEvents();
    // The window is on screen before the due items post; the ledgers load
    // afterwards, so they show what was posted.
    frame.postRecurringItems();
    frame.initialUpdate();
    app::writeLastUser(userName);
    return application.exec();
}

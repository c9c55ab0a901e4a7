#include "app/login.h"
#include "app/login_dialog.h"
#include "app/main_frame.h"
#include "app/settings_store.h"
#include "app/ui_setup.h"
#include "db/connection.h"

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
    try {
        connection = std::make_unique<db::Connection>(db::kConnectionString);
    } catch (const db::Error &) {
        QMessageBox::critical(nullptr, QApplication::applicationDisplayName(),
                              QString::fromUtf8(db::kConnectFailedMessage));
        return 1;
    }

    CLoginDialog login;
    if (login.exec() != QDialog::Accepted)
        return 0;

    app::LoginResult result;
    try {
        result = app::checkLogin(*connection, login.userName().toStdString(), login.password().toStdString());
    } catch (const db::Error &error) {
        QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), QString::fromStdString(error.what()));
        return 1;
    }
    if (!result.accepted) {
        QMessageBox::warning(nullptr, QApplication::applicationDisplayName(), QString::fromUtf8(app::kMsgWrongPassword));
        return 1;
    }

    const QString userName = QString::fromStdString(result.userName);
    CMainFrame frame(userName);
    if (!frame.create())
        return 1;
    frame.initialUpdate();
    // Without a window manager "maximised" means nothing: take the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    frame.repaint();
    app::writeLastUser(userName);
    return application.exec();
}

#include "app/startup.h"

#include "app/book_dialog.h"
#include "app/books.h"
#include "app/login.h"
#include "app/login_dialog.h"
#include "app/main_frame.h"
#include "app/settings_store.h"
#include "db/connection.h"
#include "setup/backup_files.h"
#include "ui/carry_out.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QScreen>

#include <memory>

namespace app {

std::optional<QString> bookForRun(const BookChoice &choice)
{
    if (choice.source != BookSource::None)
        return QString::fromStdString(choice.path);
    CBookDialog firstRun(CBookDialog::Purpose::FirstRun, QString::fromStdString(choice.newBook));
    if (firstRun.exec() != QDialog::Accepted)
        return std::nullopt;
    return firstRun.book();
}

int runBooks(QString book)
{
    // Who logged in to the book switched to, before its window opens.
    std::optional<QString> switchedUser;
    for (;;) {
        // Every connection of the run opens the chosen book.
        db::setBookFile(QFile::encodeName(book).toStdString());
        // The application's own connection, used for the password check.
        // Unlike ui::openOrSay, a failure here ends the program: the box is
        // its last word and has no window to belong to.
        std::unique_ptr<db::Connection> connection;
        try {
            connection = std::make_unique<db::Connection>(db::kConnectionString);
        } catch (const db::Error &error) {
            QMessageBox::critical(nullptr, QString::fromUtf8(ui::kAppTitle),
                                  QString::fromStdString(db::connectFailedText(error)));
            return 1;
        }
        // What a killed backup or restore left beside the books goes now.
        setup::removeStaleTemporaries(connection->path());

        const std::optional<QString> user = switchedUser ? switchedUser : runLogin(*connection);
        if (!user)
            return 0;
        // Logged in: the book leads the menu's list from now on.
        rememberBook(book);
        CMainFrame frame(*user);
        if (!frame.create())
            return 1;
        // Without a window manager "maximised" means nothing: take the screen.
        if (QScreen *screen = QGuiApplication::primaryScreen())
            frame.setGeometry(screen->availableGeometry());
        frame.showMaximized();
        frame.repaint();
        QCoreApplication::processEvents();
        // The window is on screen before the due items post; the ledgers
        // load afterwards, so they show what was posted.
        frame.postRecurringItems();
        frame.initialUpdate();
        writeLastUser(*user);
        const int status = QApplication::exec();
        if (frame.nextBook().isEmpty())
            return status;
        book = frame.nextBook();
        switchedUser = frame.nextUser();
    }
}

std::optional<QString> runLogin(db::Connection &connection)
{
    CLoginDialog login;
    if (login.exec() != QDialog::Accepted)
        return std::nullopt;
    LoginResult result;
    if (!ui::carryOut(nullptr, [&] {
            result = checkLogin(connection, login.userName().toStdString(), login.password().toStdString());
        }))
        return std::nullopt;
    if (!result.accepted) {
        ui::warn(nullptr, QString::fromUtf8(kMsgWrongPassword));
        return std::nullopt;
    }
    return QString::fromStdString(result.userName);
}

} // namespace app

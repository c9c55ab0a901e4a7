#include "app/books.h"
#include "app/main_frame.h"
#include "app/program_arguments.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "app/ui_setup.h"
#include "db/connection.h"
#include "setup/backup_files.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>
#include <memory>

namespace {

std::vector<std::string> argumentsOf(const QStringList &list)
{
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < list.size(); ++i)
        arguments.push_back(list[i].toStdString());
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    // Help and the version answer without a display.
    const app::ProgramArguments early = app::parseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (early.action == app::ProgramArguments::Action::Help) {
        std::fputs(app::programHelpText().c_str(), stdout);
        return 0;
    }
    if (early.action == app::ProgramArguments::Action::Version) {
        std::fputs(app::programVersionText().c_str(), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    // The toolkit has taken its own options out by now.
    const app::ProgramArguments arguments = app::parseProgramArguments(argumentsOf(QCoreApplication::arguments()));
    if (arguments.action == app::ProgramArguments::Action::Refuse) {
        std::fprintf(stderr, "pennaro: %s\n%s", arguments.problem.c_str(), "用 pennaro --help 查看用法。\n");
        return 2;
    }
    app::setUpApplication(application);

    const QStringList recent = app::readRecentBooks();
    const std::optional<QString> book = app::bookForRun(
        app::chooseBook({arguments.book, QDir::currentPath().toStdString(),
                         recent.isEmpty() ? std::string() : recent.front().toStdString(), app::userBookPath()}));
    if (!book)
        return 0;
    // Every connection of the run opens the chosen book.
    db::setBookFile(QFile::encodeName(*book).toStdString());

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
    app::rememberBook(*book);
    return application.exec();
}

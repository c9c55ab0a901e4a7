#include "app/books.h"
#include "app/program_arguments.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "app/ui_setup.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

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
    return app::runBooks(*book);
}

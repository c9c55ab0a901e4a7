#pragma once

#include <QString>

#include <optional>

namespace db {
class Connection;
}

namespace app {

struct BookChoice;

// The book this run works on: the chosen one, or at a first run, when none
// was found, the one the first-run window makes, opens or restores; none
// when the user leaves that window.
std::optional<QString> bookForRun(const BookChoice &choice);

// Runs the program on a book, and then on every book the user switches to
// from the main window: the login, the main window, until that window closes
// for good. The program's exit status.
int runBooks(QString book);

// Shows the login dialog and checks the password on the application's
// connection. The logged-in user's stored name, or none when the user
// cancelled or the password was wrong (after saying so).
std::optional<QString> runLogin(db::Connection &connection);

} // namespace app

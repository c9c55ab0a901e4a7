#pragma once

#include <QString>

#include <optional>

namespace db {
class Connection;
}

namespace app {

// Shows the login dialog and checks the password on the application's
// connection. The logged-in user's stored name, or none when the user
// cancelled or the password was wrong (after saying so).
std::optional<QString> runLogin(db::Connection &connection);

} // namespace app

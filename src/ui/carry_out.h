#pragma once

#include "db/connection.h"
#include "db/result.h"
#include "ui/message_box.h"

#include <QString>

#include <memory>
#include <optional>
#include <type_traits>

class QWidget;

namespace ui {

// The connection to act on, or nullptr after telling the user that the
// books are not open.
db::Connection *connectionOrSay(QWidget *parent, db::Connection *connection);

// Opens the books named by the connection string; on failure tells the user
// and hands back nullptr.
std::unique_ptr<db::Connection> openOrSay(QWidget *parent);

// Why an action did not go through: the refusal's text (empty for a silent
// refusal) or the engine's text of a database failure.
struct Failure {
    QString text;
    bool database = false;
};

// Runs one core action and hands back its failure, nullopt when it went
// through. An action that returns a db::Result fails by its refusal; any
// other action (a read that fills the caller's variables) only by a
// database failure. This is the one place where windows catch db::Error.
template <typename Action> std::optional<Failure> attempt(Action &&action)
{
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Action>>) {
            action();
        } else if (const db::Result result = action(); !result) {
            return Failure{QString::fromStdString(result.message), false};
        }
        return std::nullopt;
    } catch (const db::Error &error) {
        return Failure{QString::fromUtf8(error.what()), true};
    }
}

// Shows a failure: a refusal in a plain box (none without text), a database
// failure as the engine's message.
void show(QWidget *parent, const Failure &failure);

// Runs one core action, shows its failure, and tells whether it went
// through. Every window runs its actions through here (or through attempt
// where the failure goes elsewhere than a box), so none can forget to.
template <typename Action> bool carryOut(QWidget *parent, Action &&action)
{
    const std::optional<Failure> failure = attempt(std::forward<Action>(action));
    if (failure)
        show(parent, *failure);
    return !failure;
}

// The same on a connection that may not be open: without one the user is
// told so and nothing runs. The action receives the open connection.
template <typename Action> bool carryOut(QWidget *parent, db::Connection *connection, Action &&action)
{
    if (!connectionOrSay(parent, connection))
        return false;
    return carryOut(parent, [&] { return action(*connection); });
}

} // namespace ui

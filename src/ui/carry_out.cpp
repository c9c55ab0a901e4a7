#include "ui/carry_out.h"

namespace ui {

db::Connection *connectionOrSay(QWidget *parent, db::Connection *connection)
{
    if (!connection)
        inform(parent, QString::fromUtf8(db::kConnectFailedMessage));
    return connection;
}

void show(QWidget *parent, const Failure &failure)
{
    if (failure.database)
        warn(parent, failure.text);
    else if (!failure.text.isEmpty())
        inform(parent, failure.text);
}

std::unique_ptr<db::Connection> openOrSay(QWidget *parent)
{
    try {
        return std::make_unique<db::Connection>(db::kConnectionString);
    } catch (const db::Error &error) {
        // The engine's reason is not shown: the message says what to check.
        // Books refused for what their schema holds are named instead.
        inform(parent, QString::fromStdString(db::connectFailedText(error)));
        return nullptr;
    }
}

} // namespace ui

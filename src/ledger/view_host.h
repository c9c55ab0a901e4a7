#pragma once

#include <QString>

namespace db {
class Connection;
}
class CKassoltView;

namespace ledger {

// What a ledger view needs of the window that holds it: the working
// connection, the date range, the tabs, and the commands that belong to
// windows of other folders. The main window implements it.
class ViewHost {
public:
    virtual ~ViewHost() = default;

    virtual db::Connection *connection() const = 0;
    virtual QString rangeBegin() const = 0;
    virtual QString rangeEnd() const = 0;
    virtual QString userName() const = 0;

    // Adds the view as a new tab with this caption and brings it to the front.
    virtual void addLedgerView(CKassoltView *view, const QString &caption) = 0;
    // Queued: they run after the command that asks for them.
    virtual void postAddLedgerTab(int index) = 0;
    virtual void postSelectLedgerTab(int index) = 0;

    // Whether a command's window exists yet (a command without one stays
    // disabled), and running a command that the view does not carry itself.
    virtual bool isCommandAvailable(int id) const = 0;
    virtual void runOtherCommand(int id) = 0;
};

} // namespace ledger

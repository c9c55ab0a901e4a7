#pragma once

namespace stats {

// Watches a statistic while it runs, and may stop it.
class Progress {
public:
    virtual ~Progress() = default;
    // Asked often while a statistic runs: after each row, and while a
    // ledger is read, between two rows (or groups) the engine hands over,
    // never while a statement is at work, so it may use the connection and
    // let windows handle their events. False stops the statistic at once;
    // the rows given so far stay with the sink.
    virtual bool carryOn() = 0;
};

// Thrown through a statistic when its progress says stop; the run turns it
// into its outcome, so it never reaches a caller.
struct Stopped {};

// Asks the progress (which may be null) and stops when it says so.
inline void checkProgress(Progress *progress)
{
    if (progress && !progress->carryOn())
        throw Stopped{};
}

} // namespace stats

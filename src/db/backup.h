#pragma once

#include <memory>

struct sqlite3_backup;

namespace db {

class Connection;

// Copies the pages of one connection's database into another's, as the
// engine's online backup does: the destination is written in one write
// transaction of its own, so that other connections to it read the new
// pages at their next statement and a crash half-way leaves the old ones.
// Finished in its destructor.
class Backup {
public:
    // Starts a copy of source's main database over destination's. Throws
    // Error (the destination is busy in a transaction of its own, the
    // page sizes cannot match).
    Backup(Connection &destination, Connection &source);
    Backup(const Backup &) = delete;
    Backup &operator=(const Backup &) = delete;
    ~Backup();

    // Copies up to pages pages, every remaining one when negative; true once
    // the whole database has been copied. A lock that another connection
    // held past the destination's busy wait, or any failure, throws Error
    // with the destination's message and code, and ends the copy.
    bool step(int pages = -1);
    // Pages still to copy, and the source's whole count, as of the last step.
    int remaining() const;
    int pageCount() const;

private:
    struct Finisher {
        void operator()(sqlite3_backup *backup) const noexcept;
    };
    Connection &m_destination;
    std::unique_ptr<sqlite3_backup, Finisher> m_backup;
};

} // namespace db

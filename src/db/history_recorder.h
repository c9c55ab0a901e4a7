#pragma once

#include "db/value.h"

#include <map>
#include <optional>
#include <string>

struct sqlite3;

namespace db {

class Connection;

// Records one user action while its transaction runs: the engine reports
// every row about to be inserted, changed or deleted, and the recorder keeps
// each row's first image (absent for a row the action inserted). When the
// action commits, the rows are read as they now are, and those that differ
// from their first image go into the undo history, in the same transaction.
// Reading the final images at the end, rather than following each change,
// keeps the record true when a statement or a savepoint inside the action
// was rolled back. Used by Transaction.
class Recorder {
public:
    Recorder(Connection &connection, std::string label);
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    void setLabel(std::string label) { m_label = std::move(label); }
    // Writes the action into the history; an action that changed no row
    // leaves none. Throws Error.
    void writeHistory();

private:
    static void onChange(void *self, sqlite3 *db, int op, const char *database, const char *table, long long oldKey,
                         long long newKey);
    void noteRow(sqlite3 *db, const char *table, long long rowid, bool existed);
    void stop();

    Connection &m_connection;
    std::string m_label;
    // table → rowid → the row before the action (absent: not there).
    std::map<std::string, std::map<long long, std::optional<Row>>> m_before;
    bool m_listening = false;
    bool m_failed = false;
};

} // namespace db

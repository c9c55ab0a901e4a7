#pragma once

#include "db/dates.h"
#include "db/result.h"
#include "import/plan.h"

#include <functional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace import {

struct CommitOptions {
    std::string fileName; // recorded in the import log
    std::string handler;  // the entries' handler: the user logged in
    db::DateTime now;     // the time the import is recorded at
    // Rows still needing a category or an account are left out instead of
    // refusing the import.
    bool skipUnresolved = false;
    // Told after each entry written (done, of total); returning false stops
    // the import, and nothing of it stays.
    std::function<bool(int done, int total)> progress;
};

struct CommitOutcome {
    db::Result result;
    int importNumber = 0; // 0 when nothing was new: no import is recorded
    int posted = 0;
    int duplicates = 0; // rows found in the books meanwhile are skipped as well
};

inline constexpr const char *kMsgImportStopped = "导入已取消，什么也没有写入";

// The description an entry of a bill row gets: the counterparty and the
// goods text.
std::string entryDescription(const BillRow &row);

// Writes every row the plan posts as an entry through the posting core, with
// the key of each, the rules and the account mappings made in the preview,
// the rules the accepted suggestions make, and a row of the import log, all
// in one transaction. Refused, with nothing written, while a row needs a
// category or an account (unless skipUnresolved), when an entry is refused
// (naming the row), or when stopped. Throws db::Error when the database fails.
CommitOutcome commitPlan(db::Connection &c, const Plan &plan, const CommitOptions &options);

struct ImportRecord {
    int number = 0;
    std::string fileName;
    std::string format;
    std::string time;
    std::string handler;
    int rows = 0;
    int posted = 0;
    std::string undone; // when it was taken back, "" while it stands
};

// The imports of the book, newest first.
std::vector<ImportRecord> listImports(db::Connection &c);

// Takes an import back as a whole in one transaction: deletes every entry it
// wrote that is still in the books (an entry deleted by hand meanwhile is
// passed over) and forgets their keys, so the same bill can be imported
// again; the log keeps the import, marked as taken back. Refused for an
// import that does not exist or was taken back already.
db::Result undoImport(db::Connection &c, int number, const db::DateTime &now, int *removed = nullptr);

} // namespace import

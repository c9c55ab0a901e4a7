#pragma once

#include "db/dates.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace app {

enum class Unit { Years, Months, Days, None };

// "年", "月", "天" (blanks around ignored); anything else never posts.
Unit unitOf(const std::string &selectType);

// How many occurrences the first run of an item posts, counted from its
// begin date up to today (or the end date when that has passed).
int firstRunCount(Unit unit, int n, const db::DateTime &begin, const db::DateTime &end, const db::DateTime &today);

// How many occurrences a later run posts after the last posted one.
int catchUpCount(Unit unit, int n, const db::DateTime &begin, const db::DateTime &end, const db::DateTime &last,
                 const db::DateTime &now);

// The occurrence after d. Months and years keep the begin date's day of the
// month, taking the month's last day where the month is shorter.
db::DateTime nextDate(Unit unit, int n, const db::DateTime &d, int anchorDay);

// The side of a recurring procedure: expenses or incomes.
enum class Side { Expense, Income };

struct RecurringRun {
    int posted = 0;                    // occurrences written
    std::vector<std::string> failures; // one line per item that failed
    bool stopped = false;              // the caller asked to stop between items
};

// What a long run tells its caller, and asks it.
struct RecurringProgress {
    // After each occurrence: the item, its occurrences posted so far and in all.
    std::function<void(const std::string &item, int done, int count)> posted;
    // Before each item: false stops the run there. An item is never stopped
    // half-way, since its occurrences are one transaction.
    std::function<bool()> keepGoing;
};

// Posts every occurrence due since each item last posted, items in ascending
// Num. Each item's occurrences and its progress date are written in one
// transaction; a failing item is reported and the others still post. An
// item whose interval or dates cannot be read (a begin date before 1900
// counts as unreadable) posts nothing and is reported.
RecurringRun postRecurring(db::Connection &c, Side side, const db::DateTime &now,
                           const RecurringProgress &progress = {});

// Expenses, then incomes; an expense failure does not keep incomes from posting.
RecurringRun postAllRecurring(db::Connection &c, const db::DateTime &now, const RecurringProgress &progress = {});

// How many occurrences a run at now would post, without writing anything.
int countDue(db::Connection &c, const db::DateTime &now);

} // namespace app

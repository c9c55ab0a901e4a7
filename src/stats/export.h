#pragma once

#include "db/result.h"
#include "stats/statements.h"
#include "stats/statistics.h"

#include <functional>
#include <string>

namespace db {
class Connection;
}

namespace stats {

class SheetConnection;

inline constexpr const char *kExportDoneMessage = "Excel文件写入成功！";

// The file a typed name stands for: ".xlsx" added when the name has no
// extension (what follows its last dot has no letter); any extension typed
// (".xls" among them) is the user's choice.
std::string exportFileName(const std::string &typed);

// Writes the sheets of a statistic kind of the class query window into a
// new workbook at path: the summary gives AccSum, GetSum, PaySum, BankSum
// and CashSum in this order, every other kind its own sheet. The ledger is
// only read. Done, or refused with a message that names what went wrong (the
// file cannot be made or written, a statement was not accepted, the ledger
// failed, path is the ledger's own file); then no file is left at path and
// one that was there is as it was.
db::Result exportStatistic(db::Connection &ledger, Kind kind, const Range &range, const std::string &path);

// The guard every export runs in: opens a new workbook at path, lets fill
// write its sheets and closes it; any failure becomes the refusal that names
// it, and what was begun is removed.
db::Result writeWorkbook(const db::Connection &ledger, const std::string &path,
                         const std::function<void(SheetConnection &)> &fill);

// The same for the date query window: the day-by-day statistic of a type
// filter in the sheet AccSum.
db::Result exportDayStatistic(db::Connection &ledger, const Range &range, const std::string &filter,
                              const std::string &path);

} // namespace stats

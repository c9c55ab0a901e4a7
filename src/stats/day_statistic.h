#pragma once

#include "stats/stat_row.h"
#include "stats/statements.h"
#include "stats/walk.h"

#include <string>

namespace db {
class Connection;
}

namespace stats {

inline constexpr const char *kDayHead = "日期";
// The head text of the day-by-day sheet.
inline constexpr const char *kDaySheetHead = " 合计";
inline constexpr const char *kAllTypes = "all";

// The general journal summed per day over a range, each day followed by its
// entries summed per type and direction. filter: 收, 付, 存, 取, or "all".
// Day rows are shares of the range's total in double precision; detail rows
// are shares of the same total with the product held as a 32-bit float.
class DayStatistic : public Walk {
public:
    DayStatistic(db::Connection &connection, const Range &range, std::string filter, RowSink &sink,
                 Output output = Output::List, const RunOptions &options = {});

    Outcome run();

    const std::string &dateTotal() const { return m_dateTotal; }

private:
    void walk();
    // The rows of one day below the day row just added.
    void dayDetail(const std::string &day);

    std::string m_filter;
    std::string m_dateTotal;
};

Outcome runDayStatistic(db::Connection &connection, const Range &range, const std::string &filter, RowSink &sink,
                        const RunOptions &options = {});

} // namespace stats

#pragma once

#include "stats/stat_row.h"
#include "stats/statements.h"

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
class DayStatistic {
public:
    DayStatistic(db::Connection &connection, Range range, std::string filter, RowSink &sink,
                 Output output = Output::List);

    void run();
    // The rows of one day below the day row just added.
    void dayDetail(const std::string &day);

    const std::string &dateTotal() const { return m_dateTotal; }

private:
    db::Connection &m_connection;
    Range m_range;
    std::string m_filter;
    RowSink &m_sink;
    Output m_output;
    std::string m_dateTotal;
};

void runDayStatistic(db::Connection &connection, const Range &range, const std::string &filter, RowSink &sink);

} // namespace stats

#include "stats/day_statistic.h"

#include "stats/percent.h"

namespace stats {

DayStatistic::DayStatistic(db::Connection &connection, const Range &range, std::string filter, RowSink &sink,
                           Output output, const RunOptions &options)
    : Walk(connection, range, sink, output, options), m_filter(std::move(filter))
{
}

Outcome DayStatistic::run()
{
    return guarded([this] { walk(); });
}

void DayStatistic::walk()
{
    createColumns(dayColumns());

    const Totals totals = source().dayHead(m_filter);
    m_dateTotal = totals.amount;
    Row head;
    head.section = Section::Day;
    head.role = Role::Head;
    head.label = output() == Output::List ? kDayHead : kDaySheetHead;
    head.cells = {m_dateTotal, totals.count, ""};
    if (totals.count != "0")
        head.cells.push_back(kWholePercent);
    put(head);

    for (const Record &record : source().days(m_filter)) {
        Row row;
        row.section = Section::Day;
        row.role = Role::Day;
        row.depth = 1;
        row.label = record.label;
        row.cells = {record.amount, record.count, "", dayPercent(record.amount, m_dateTotal)};
        put(row);
        dayDetail(row.label);
    }
}

void DayStatistic::dayDetail(const std::string &day)
{
    for (const Record &record : source().dayDetail(day, m_filter)) {
        Row row;
        row.section = Section::Day;
        row.role = Role::DayDetail;
        row.depth = 2;
        row.label = record.label;
        row.cells = {record.amount, record.count, record.direction, sharePercent(record.amount, m_dateTotal)};
        put(row);
    }
}

Outcome runDayStatistic(db::Connection &connection, const Range &range, const std::string &filter, RowSink &sink,
                        const RunOptions &options)
{
    return DayStatistic(connection, range, filter, sink, Output::List, options).run();
}

} // namespace stats

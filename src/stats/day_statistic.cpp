#include "stats/day_statistic.h"

#include "db/connection.h"
#include "stats/amount_text.h"
#include "stats/percent.h"
#include "stats/totals.h"

namespace stats {

DayStatistic::DayStatistic(db::Connection &connection, Range range, std::string filter, RowSink &sink, Output output)
    : m_connection(connection), m_range(std::move(range)), m_filter(std::move(filter)), m_sink(sink), m_output(output)
{
}

void DayStatistic::run()
{
    if (m_output == Output::List)
        m_sink.createColumns(dayColumns());

    const Totals totals = readTotals(m_connection, sql::dayHead(m_range, m_filter));
    m_dateTotal = totals.amount;
    const std::string &count = totals.count;
    Row head;
    head.section = Section::Day;
    head.role = Role::Head;
    head.label = m_output == Output::List ? kDayHead : kDaySheetHead;
    head.cells = {m_dateTotal, count, ""};
    if (count != "0")
        head.cells.push_back(kWholePercent);
    m_sink.addRow(head);

    db::Query q = m_connection.query(sql::days(m_range, m_filter));
    while (q.next()) {
        Row row;
        row.section = Section::Day;
        row.role = Role::Day;
        row.depth = 1;
        row.label = q.field("nDate");
        const std::string amount = cleanAmount(q.field("nMoney"));
        row.cells = {amount, q.field("nCount"), "", dayPercent(amount, m_dateTotal)};
        m_sink.addRow(row);
        dayDetail(row.label);
    }
}

void DayStatistic::dayDetail(const std::string &day)
{
    db::Query q = m_connection.query(sql::dayDetail(day, m_filter));
    while (q.next()) {
        Row row;
        row.section = Section::Day;
        row.role = Role::DayDetail;
        row.depth = 2;
        row.label = q.field("nStyle");
        const std::string amount = cleanAmount(q.field("nMoney"));
        row.cells = {amount, q.field("nCount"), q.field("nType"), sharePercent(amount, m_dateTotal)};
        m_sink.addRow(row);
    }
}

void runDayStatistic(db::Connection &connection, const Range &range, const std::string &filter, RowSink &sink)
{
    DayStatistic statistic(connection, range, filter, sink);
    statistic.run();
}

} // namespace stats

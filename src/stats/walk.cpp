#include "stats/walk.h"

namespace stats {

Walk::Walk(db::Connection &connection, const Range &range, RowSink &sink, Output output, const RunOptions &options)
    : m_source(makeSource(connection, range, options.computation, options.progress)), m_sink(sink),
      m_output(output), m_progress(options.progress)
{
}

Walk::~Walk() = default;

void Walk::createColumns(const std::vector<Column> &columns)
{
    if (m_output == Output::List)
        m_sink.createColumns(columns);
}

void Walk::put(const Row &row)
{
    m_sink.addRow(row);
    checkProgress(m_progress);
}

void Walk::note(const std::string &message)
{
    if (m_message.empty())
        m_message = message;
}

} // namespace stats

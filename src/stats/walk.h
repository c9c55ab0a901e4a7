#pragma once

#include "stats/progress.h"
#include "stats/source.h"
#include "stats/stat_row.h"

#include <memory>
#include <string>

namespace stats {

struct RunOptions {
    Computation computation = Computation::Fast;
    Progress *progress = nullptr;
};

// How a run of a statistic ended.
struct Outcome {
    bool stopped = false;
    // For the user when the rows leave something out (a tree deeper than
    // the walk goes); empty otherwise.
    std::string message;
};

// What the walks of the statistics share: the source of their records, the
// sink of their rows, and the progress that may stop them.
class Walk {
public:
    Walk(db::Connection &connection, const Range &range, RowSink &sink, Output output, const RunOptions &options);
    Walk(const Walk &) = delete;
    Walk &operator=(const Walk &) = delete;
    virtual ~Walk();

    const std::string &message() const { return m_message; }

protected:
    Source &source() { return *m_source; }
    Output output() const { return m_output; }
    void createColumns(const std::vector<Column> &columns);
    // Hands a row to the sink, then asks the progress.
    void put(const Row &row);
    void note(const std::string &message);
    // Runs a whole walk; a stop becomes the outcome instead of an error.
    template <typename Body> Outcome guarded(Body &&body)
    {
        Outcome outcome;
        try {
            body();
        } catch (const Stopped &) {
            outcome.stopped = true;
        }
        outcome.message = m_message;
        return outcome;
    }

private:
    std::unique_ptr<Source> m_source;
    RowSink &m_sink;
    Output m_output;
    Progress *m_progress;
    std::string m_message;
};

} // namespace stats

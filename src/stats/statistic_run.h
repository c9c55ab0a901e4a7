#pragma once

#include "stats/progress.h"
#include "stats/stat_row.h"

#include <QElapsedTimer>
#include <QObject>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

// What a query window shows while its statistic runs, and how the run is
// stopped. In the status bar: the rows listed so far with a 停止 button
// while it runs, and after a stop a note that the list holds only the rows
// found before it. It stands between the walk and the list: the walk's sink,
// passing the rows on, and its progress, letting the windows handle their
// events now and then so that 停止 (or Escape) is seen at once.
class CStatisticRun : public QObject, public stats::RowSink, public stats::Progress {
    Q_OBJECT
public:
    CStatisticRun(QStatusBar *statusBar, stats::RowSink &list);

    // Shows the progress and hides the note of an earlier stop.
    void begin();
    // Hides the progress; a stopped run leaves its note.
    void end(bool stopped);
    // Asks the run to end at its next question.
    void stop();
    bool stopAsked() const { return m_stopAsked; }
    // How often the windows handle their events while it runs (tests: 0).
    void setPaintInterval(int ms) { m_everyMs = ms; }

    QWidget *progressBar() const { return m_progress; }
    QPushButton *stopButton() const { return m_stop; }
    QLabel *note() const { return m_note; }

    void createColumns(const std::vector<stats::Column> &columns) override;
    void addRow(const stats::Row &row) override;
    bool carryOn() override;

private:
    void showCount();

    stats::RowSink &m_list;
    QWidget *m_progress = nullptr;
    QLabel *m_count = nullptr;
    QProgressBar *m_busy = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_note = nullptr;
    bool m_stopAsked = false;
    int m_rows = 0;
    qint64 m_everyMs = 100;
    qint64 m_lastEvents = 0;
    QElapsedTimer m_clock;
};

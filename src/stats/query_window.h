#pragma once

#include "db/dates.h"
#include "db/result.h"
#include "stats/stat_report.h"
#include "stats/stat_row.h"
#include "stats/statements.h"
#include "stats/walk.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace db {
class Connection;
}
class CStatList;
class CStatisticRun;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

// What the two query windows share: the toolbar in its band, the DAY menu
// and the interval dialog that choose the range, the status bar, the layout,
// and the statistic kind that every change of the range computes afresh.
// The window knows its kind, its range and its list, which is all that
// printing and exporting the statistic need. While a statistic runs, its
// progress and a 停止 button stand in the status bar, Escape stops it too,
// and every other command is off.
class CQueryWindow : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;

    // Layout of the client area.
    static constexpr int kBandHeight = 52;
    static constexpr int kToolBarHeight = 50;
    static constexpr int kListTop = 44;
    static constexpr int kListHeightLoss = 65;

    int kind() const { return m_kind; }
    const QString &rangeBegin() const { return m_begin; }
    const QString &rangeEnd() const { return m_end; }
    stats::Range range() const { return {m_begin.toStdString(), m_end.toStdString()}; }
    CStatList *statList() const { return m_list; }
    QToolBar *toolBar() const { return m_toolBar; }
    QWidget *band() const { return m_band; }
    QMenu *dayMenu() const { return m_dayMenu; }
    QStatusBar *statusBar() const { return m_statusBar; }
    QLabel *statusPart(int index) const { return m_statusParts[index]; }
    CStatisticRun *statisticRun() const { return m_run; }
    bool isRunning() const { return m_running; }
    // The toolbar's action of a command, or the DAY menu's.
    QAction *action(int id) const;

    // A command of the toolbar or the DAY menu, as a click sends it.
    void onCommand(int id);
    // How often a running statistic lets the screen paint (tests set 0).
    void setPaintInterval(int ms) { m_paintEveryMs = ms; }
    // Clears the list and its columns, then runs the statistic of the kind.
    // A database failure is shown once; the rows found before it stay, as
    // do those found before a stop.
    void chooseStatistic(int kind);
    // Closing while a statistic runs stops it; the window closes after.
    void reject() override;

protected:
    struct Button {
        int id;
        const char *text;
        int image;
        int kind; // the code of the statistic it sets; 0 for none
    };
    // The code the window keeps for a statistic of the subclass's kind.
    template <typename Kind> static constexpr int code(Kind kind) { return static_cast<int>(kind); }

    CQueryWindow(db::Connection &connection, Clock clock, const QString &caption, QWidget *parent);
    // Builds the band with the toolbar (a separator after separatorAfter and
    // one at the end), the status bar and the list.
    void createBars(const std::vector<Button> &buttons, int separatorAfter);
    void setRange(const QString &begin, const QString &end);
    QString today() const;
    // The day a printed report carries: today by the window's clock.
    QDate reportDate() const;
    db::Connection &connection() const { return m_connection; }
    // Runs the statistic of a kind into the sink (the list), asking the
    // progress as it goes; throws db::Error.
    virtual stats::Outcome runStatistic(int kind, stats::RowSink &sink, stats::Progress &progress) = 0;
    // Writes the statistic showing into a new workbook at path.
    virtual db::Result exportTo(const std::string &path) = 0;

    // Puts a widget that holds the list (a splitter) where the list goes.
    void setListArea(QWidget *area);
    // Opens the print preview of the statistic showing.
    virtual void previewReport(stats::StatReportKind kind);

    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createStatusBar();
    void createDayMenu();
    void layOut();
    // Sets a new range and posts the command of the statistic showing, so
    // that it runs again once the command that changed the range is over.
    void changeRange(const QString &begin, const QString &end);
    void chooseInterval();
    // Turns every command of the toolbar and the DAY menu on or off.
    void enableCommands(bool on);

    db::Connection &m_connection;
    Clock m_clock;
    int m_kind = 1;
    QString m_begin;
    QString m_end;
    std::vector<Button> m_buttons;
    std::map<int, QAction *> m_actions;
    QWidget *m_band = nullptr;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_dayMenu = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusParts[4] = {};
    CStatList *m_list = nullptr;
    CStatisticRun *m_run = nullptr;
    QWidget *m_listArea = nullptr;
    int m_paintEveryMs = 100;
    bool m_running = false;
    bool m_closeAfterRun = false;
    int m_pendingKind = 0; // a statistic asked for while one was running
};

#pragma once

#include "db/dates.h"
#include "ui/tab_sdi_frame_wnd.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace db {
class Connection;
}
class CKassoltDoc;
class CKassoltView;
class QAction;
class QComboBox;
class QLabel;
class QToolBar;

// The program's only top-level window: menu, toolbar with the date range,
// status bar with the clock, and the six ledger tabs.
class CMainFrame : public CTabSDIFrameWnd {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;
    static constexpr int kTabHeight = 20;

    explicit CMainFrame(const QString &userName, Clock clock = db::localNow, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Builds the bars, the tab strip and the date range, then posts the due
    // recurring items. False when the window cannot be completed.
    bool create();
    // Creates the general journal's view, which adds the six tabs.
    void initialUpdate();

    db::Connection *connection() const { return m_connection.get(); }
    const QString &userName() const { return m_userName; }
    CKassoltDoc *document() const { return m_document; }
    const QString &day() const { return m_day; }
    const QString &rangeBegin() const { return m_begin; }
    const QString &rangeEnd() const { return m_end; }
    QComboBox *dateCombo() const { return m_dateCombo; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *action(int id) const;
    QLabel *clockPane() const { return m_clockPane; }
    CKassoltView *ledgerView(int tab) const;

    // The private messages, run after the command that posts them.
    void postAddLedgerTab(int index);
    void postSelectLedgerTab(int index);
    // Their handlers.
    void onAddLedgerTab(int index);
    void selectLedgerTab(int index);

    void addLedgerView(CKassoltView *view, const QString &caption);
    // Applies the date drop-down item with this text.
    void applyDateChoice(const QString &text);
    // Writes the clock text into the message pane.
    void onClockTick();

protected:
    void onTabSelectionChanged(int index) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createDateCombo();
    void postRecurringItems();
    QAction *makeAction(int id, const QString &caption, const QString &shortcutText = {});
    void runCommand(int id);
    void showAbout();

    std::unique_ptr<db::Connection> m_connection;
    QString m_userName;
    Clock m_clock;
    CKassoltDoc *m_document;
    QString m_day;
    QString m_begin;
    QString m_end;
    QToolBar *m_toolBar = nullptr;
    QComboBox *m_dateCombo = nullptr;
    QLabel *m_clockPane = nullptr;
    std::map<int, QAction *> m_actions;
};

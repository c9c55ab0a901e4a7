#pragma once

#include "db/dates.h"
#include "ledger/balances.h"
#include "ledger/view_host.h"
#include "setup/database_host.h"
#include "ui/tab_sdi_frame_wnd.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace db {
class Connection;
}
class CBookMenu;
class CKassoltDoc;
class CKassoltView;
class QAction;
class QComboBox;
class QLabel;
class QProgressDialog;
class QToolBar;

// The program's only top-level window: menu, toolbar with the date range,
// status bar with the clock, and the six ledger tabs.
class CMainFrame : public CTabSDIFrameWnd, public ledger::ViewHost, public setup::DatabaseHost {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;
    static constexpr int kTabHeight = 20;
    // A start-up posting that runs longer than this shows its progress.
    static constexpr int kProgressDelayMs = 500;

    explicit CMainFrame(const QString &userName, Clock clock = db::localNow, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Builds the bars, the tab strip and the date range. False when the
    // window cannot be completed.
    bool create();
    // Posts the due recurring items, showing the progress of a long run
    // while the window stays painted; the failures in one box at the end.
    void postRecurringItems();
    // Creates the general journal's view, which adds the six tabs.
    void initialUpdate();
    void setProgressDelay(int ms) { m_progressDelayMs = ms; }
    QProgressDialog *progressDialog() const { return m_progress; }

    // ledger::ViewHost and setup::DatabaseHost
    db::Connection *connection() const override { return m_connection.get(); }
    QString userName() const override { return m_userName; }
    QString rangeBegin() const override { return m_begin; }
    QString rangeEnd() const override { return m_end; }
    void addLedgerView(CKassoltView *view, const QString &caption) override;
    void postAddLedgerTab(int index) override;
    void postSelectLedgerTab(int index) override;
    bool isCommandAvailable(int id) const override;
    void runOtherCommand(int id) override;

    // setup::DatabaseHost
    std::string databasePath() const override;
    void closeConnection() override;
    bool openConnection() override;
    void reloadLedger() override;

    // The book the user switched to, and who logged in to it; empty when
    // the window closed for good.
    const QString &nextBook() const { return m_nextBook; }
    const QString &nextUser() const { return m_nextUser; }
    // Asks for the login of another book; once it succeeds, closes the
    // window, the books with it, for the program to go on with that book.
    void switchToBook(const QString &path);
    CBookMenu *bookMenu() const { return m_bookMenu; }
    QLabel *bookPane() const { return m_bookPane; }

    CKassoltDoc *document() const { return m_document; }
    const QString &day() const { return m_day; }
    QComboBox *dateCombo() const { return m_dateCombo; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *action(int id) const;
    QLabel *clockPane() const { return m_clockPane; }
    CKassoltView *ledgerView(int tab) const;

    // The handlers of the private messages.
    void onAddLedgerTab(int index);
    void selectLedgerTab(int index);

    // The safety nets. Undo and redo of the newest action; their commands
    // name what they would take back or do again, read from the books when
    // these changed.
    void stepHistory(bool back);
    void refreshHistoryCommands();
    // An automatic backup when the books changed since the last one: on
    // close, and a day after the last one while the window is open. A
    // failure is never a box: on close it is kept for the next start, else
    // it shows in the status bar; it goes to the log (stderr) either way.
    void backUpIfChanged(bool closing);
    void checkDailyBackup();
    QLabel *noticePane() const { return m_noticePane; }

    // Applies the date drop-down item with this text.
    void applyDateChoice(const QString &text);
    // Writes the clock text into the message pane and the lock panes.
    void onClockTick();
    QLabel *lockPane(int which) const { return m_lockPanes[which]; }
    // The status bar's line with the total of all accounts today.
    QLabel *balancePane() const { return m_balancePane; }
    // Shows the total, read afresh when the books changed; a failure leaves
    // the line empty.
    void refreshBalancePane();

protected:
    void onTabSelectionChanged(int index) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createDateCombo();
    void createTabKeys();
    void updateLockPanes();
    QAction *makeAction(int id, const QString &caption, const QString &shortcutText = {});
    void runCommand(int id);
    void showAbout();
    // Imports a bill, or lists the imports to take one back.
    void runImportCommand(int id);
    void createSafetyNets();
    void refreshIfBooksChanged();
    void showNotice(const QString &text);

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
    QLabel *m_bookPane = nullptr;
    CBookMenu *m_bookMenu = nullptr;
    QString m_nextBook;
    QString m_nextUser;
    QLabel *m_lockPanes[3] = {};
    QLabel *m_balancePane = nullptr;
    ledger::TotalWatch m_totalWatch;
    std::map<int, QAction *> m_actions;
    int m_progressDelayMs = kProgressDelayMs;
    QProgressDialog *m_progress = nullptr;
    bool m_posting = false;
    bool m_stopPosting = false;
    bool m_closeAfterPosting = false; // the window was closed during the posting
    unsigned m_historyVersion = 0;    // the books' version the undo commands were read at
    long long m_backupChanges = 0;    // the rows written until the last automatic backup
    db::DateTime m_lastAutoBackup;    // when the last one was taken or tried
    QLabel *m_noticePane = nullptr;
};

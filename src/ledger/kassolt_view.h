#pragma once

#include "db/dates.h"

#include <QPoint>
#include <QTableView>

#include <functional>

class QTimer;

class CLedgerFilterBar;
class LedgerModel;
class QMenu;
struct EntryForm;
namespace db {
class Connection;
struct Result;
}
namespace ledger {
class ViewHost;
struct Entry;
}

// One ledger's list: the rows of the current date range, newest first, and
// a summary row. The general journal's view also carries the entry commands.
class CKassoltView : public QTableView {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;

    CKassoltView(ledger::ViewHost *host, int ledgerIndex, QWidget *parent = nullptr);
    // The time a new entry starts with.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    int ledgerIndex() const { return m_index; }
    const QString &title() const { return m_title; }
    const QString &loadedBegin() const { return m_begin; }
    const QString &loadedEnd() const { return m_end; }
    LedgerModel *ledgerModel() const { return m_model; }
    // The filter bar, to be placed above the list by the window that holds it.
    CLedgerFilterBar *filterBar() const { return m_filterBar; }
    void showFilterBar();
    // Hides the bar and shows every loaded row again.
    void hideFilterBar();

    // Fills the list with ledger k over the host's current range.
    void loadLedger(int k);
    // The entry number of the selected row; "" when none (or the summary row).
    QString selectedEntryNumber() const;
    // The selected row; -1 when none.
    int selectedRow() const;

    // Adds this view as the first tab and asks for the other five.
    void onInitialUpdate();
    // Commands that arrive at the active view.
    void onCommand(int id);
    // Enables the context menu's items for the commands that exist.
    void updateCommandStates();
    // Opens entry `number` in the entry dialog and writes what it confirms,
    // as the change command does for the selected row; message boxes and the
    // dialog open over parent. True when the entry was changed.
    bool changeEntryNumbered(const QString &number, QWidget *parent);

    QMenu *contextMenu() const { return m_contextMenu; }

signals:
    // The books may have changed: a ledger was loaded or an entry deleted.
    void booksShown();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setColumns(int k);
    // The entry commands.
    void newEntry();
    void changeEntry();
    void deleteEntry();
    // The connection to change or delete the selected entry on, with its
    // number; nullptr (after saying why, where the user must know) outside
    // the journal, without a selection or without open books.
    db::Connection *entryToActOn(QString &number);
    // The entry dialog on form until what it confirms is written (true) or
    // the user gives up.
    bool runEntryDialog(QWidget *parent, db::Connection &connection, EntryForm form, bool numberReadOnly,
                        const std::function<db::Result(const ledger::Entry &)> &write);
    void showJournal();
    void showSortIndicator();

    ledger::ViewHost *m_host;
    int m_index;
    QString m_title;
    QString m_begin;
    QString m_end;
    LedgerModel *m_model;
    CLedgerFilterBar *m_filterBar;
    QMenu *m_contextMenu;
    // The row under a resting pointer is selected once it has rested there
    // a moment, so that a pointer passing over rows on its way to the
    // toolbar leaves the chosen entry selected.
    QTimer *m_hoverTimer;
    QPoint m_hoverPoint;
    Clock m_clock = db::localNow;
};

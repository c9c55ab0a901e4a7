#pragma once

#include <QTableView>

class LedgerModel;
class QMenu;
namespace ledger {
class ViewHost;
}

// One ledger's list: the rows of the current date range, newest first, and
// a summary row. The general journal's view also carries the entry commands.
class CKassoltView : public QTableView {
    Q_OBJECT
public:
    CKassoltView(ledger::ViewHost *host, int ledgerIndex, QWidget *parent = nullptr);

    int ledgerIndex() const { return m_index; }
    const QString &title() const { return m_title; }
    const QString &loadedBegin() const { return m_begin; }
    const QString &loadedEnd() const { return m_end; }
    LedgerModel *ledgerModel() const { return m_model; }

    // Fills the list with ledger k over the host's current range.
    void loadLedger(int k);
    // The entry number of the selected row; "" when none (or the summary row).
    QString selectedEntryNumber() const;

    // Adds this view as the first tab and asks for the other five.
    void onInitialUpdate();
    // Commands that arrive at the active view.
    void onCommand(int id);
    // Enables the context menu's items for the commands that exist.
    void updateCommandStates();

    QMenu *contextMenu() const { return m_contextMenu; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void setColumns(int k);

    ledger::ViewHost *m_host;
    int m_index;
    QString m_title;
    QString m_begin;
    QString m_end;
    LedgerModel *m_model;
    QMenu *m_contextMenu;
};

#pragma once

#include "db/dates.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
namespace db {
class Connection;
}

// "帐户余额": every account of the bank tree with its balance at the end of
// a day (today at first), rolled up to the root, and the total of all. A
// double click lists the account's rows in its ledger.
class CBalancesWindow : public QDialog {
    Q_OBJECT
public:
    enum Column { kName, kTotal, kOwn };

    CBalancesWindow(db::Connection &connection, const db::DateTime &today, QWidget *parent = nullptr);

    // Reads the balances at the end of the chosen day.
    void refresh();
    // Lists the rows of the account of an item (not of the root).
    void showAccountRows(QTreeWidgetItem *item);

    QDateEdit *dayEdit() const { return m_day; }
    QTreeWidget *tree() const { return m_tree; }
    QLabel *totalLabel() const { return m_total; }
    // The day the balances are read at, "YYYYMMDD".
    QString day() const;

private:
    db::Connection &m_connection;
    QDateEdit *m_day;
    QTreeWidget *m_tree;
    QLabel *m_total;
};

// The rows of one account up to the end of a day, as its ledger lists them,
// with the ledger's summary row.
class CAccountRowsDialog : public QDialog {
    Q_OBJECT
public:
    CAccountRowsDialog(db::Connection &connection, const QString &account, const QString &day,
                       QWidget *parent = nullptr);
    QTableView *list() const { return m_list; }

private:
    QTableView *m_list;
};

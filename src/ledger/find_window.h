#pragma once

#include "db/dates.h"
#include "ledger/find.h"

#include <QDialog>

#include <functional>

class CellTableModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
namespace db {
class Connection;
}

// "查找记录": finds journal entries of any date by a text, the type, a range
// of the amount and, if asked, a range of dates; a double click opens the
// entry for change as the journal does.
class CFindWindow : public QDialog {
    Q_OBJECT
public:
    // Opens entry `number` for change over parent; true when it changed.
    using ChangeEntry = std::function<bool(const QString &number, QWidget *parent)>;

    CFindWindow(db::Connection &connection, ChangeEntry change, const db::DateTime &today, QWidget *parent = nullptr);

    ledger::FindQuery query() const;
    // Runs the search and shows what it found; a refused field is said.
    void find();
    // Opens the found entry of a row for change and, when it changed,
    // searches again.
    void openEntry(int row);

    QLineEdit *textField() const { return m_text; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *leastField() const { return m_least; }
    QLineEdit *mostField() const { return m_most; }
    QCheckBox *datesBox() const { return m_dates; }
    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *toEdit() const { return m_to; }
    QPushButton *findButton() const { return m_find; }
    QTableView *results() const { return m_results; }
    CellTableModel *resultModel() const { return m_model; }
    QLabel *summaryLabel() const { return m_summary; }

private:
    db::Connection &m_connection;
    ChangeEntry m_change;
    QLineEdit *m_text;
    QComboBox *m_type;
    QLineEdit *m_least;
    QLineEdit *m_most;
    QCheckBox *m_dates;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QPushButton *m_find;
    QTableView *m_results;
    CellTableModel *m_model;
    QLabel *m_summary;
};

#pragma once

#include "db/dates.h"

#include <QDialog>

#include <functional>

namespace db {
class Connection;
}
class QPushButton;
class QTableWidget;

// The imports of the book, newest first (number, time, file, format, rows,
// entries written, whether taken back); "撤销这次导入" takes the chosen one
// back as a whole after asking.
class CImportListDialog : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;

    CImportListDialog(db::Connection &connection, Clock clock, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }
    QPushButton *undoButton() const { return m_undo; }
    // Whether an import was taken back while the dialog was open.
    bool changedBooks() const { return m_changed; }

    void undoChosen();

private:
    void reload();
    void updateButton();

    db::Connection &m_connection;
    Clock m_clock;
    QTableWidget *m_table;
    QPushButton *m_undo;
    bool m_changed = false;
};

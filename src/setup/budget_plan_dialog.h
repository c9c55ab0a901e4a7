#pragma once

#include <QDialog>

namespace db {
class Connection;
}
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "预算设置": the whole expense tree with each category's monthly and
// yearly budget in cells that can be typed in, so that a family sets its
// plan in one place. 保存 writes every changed line in one transaction.
class CBudgetPlanDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, MonthlyColumn = 1, YearlyColumn = 2 };

    explicit CBudgetPlanDialog(db::Connection *connection, QWidget *parent = nullptr);

    QTreeWidget *tree() const { return m_tree; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *closeButton() const { return m_close; }
    // The row of a category, nullptr when the tree has none.
    QTreeWidgetItem *itemOf(const QString &category) const;
    // Lines typed since the last load or save.
    bool hasChanges() const;

    // Writes the changed lines; true when written (or nothing changed).
    bool save();

protected:
    void done(int result) override;

private:
    void load();

    db::Connection *m_connection;
    QTreeWidget *m_tree;
    QPushButton *m_save;
    QPushButton *m_close;
};

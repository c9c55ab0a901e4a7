#pragma once

#include "db/dates.h"
#include "import/plan.h"

#include <QDialog>
#include <QStyledItemDelegate>

namespace db {
class Connection;
}
class ImportPlanModel;
class QLabel;
class QPushButton;
class QTableView;

// Edits the type (付 or 收), the category (a category picker of the row's
// tree) and the account (a picker of the bank tree) of a preview row.
class CPlanDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CPlanDelegate(db::Connection *connection, QObject *parent);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

protected:
    // A picker's drop-down takes the focus from its cell: that is no end of
    // the edit.
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    db::Connection *m_connection;
};

// The preview of an import: every row of the bill with what becomes of it,
// editable, and the totals of what will be posted. 确定 writes it all in one
// transaction, showing the progress of a long bill; it stays disabled while
// a row needs a category or an account.
class CImportPreview : public QDialog {
    Q_OBJECT
public:
    // A long bill shows the progress of its posting.
    static constexpr int kProgressRows = 300;

    CImportPreview(import::Plan plan, db::Connection &connection, QString fileName, QString handler, db::DateTime now,
                   QWidget *parent = nullptr);

    ImportPlanModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *ruleButton() const { return m_rule; }
    QPushButton *accountButton() const { return m_newAccount; }
    QLabel *totalsLabel() const { return m_totals; }
    // What the import wrote, once confirmed.
    int posted() const { return m_posted; }
    int importNumber() const { return m_importNumber; }

    // The actions of the buttons.
    void makeRule();
    void createAccount();
    void confirm();

private:
    void refresh();
    int currentRow() const;

    db::Connection &m_connection;
    QString m_fileName;
    QString m_handler;
    db::DateTime m_now;
    ImportPlanModel *m_model;
    QTableView *m_table;
    QLabel *m_totals;
    QLabel *m_status;
    QPushButton *m_rule;
    QPushButton *m_newAccount;
    QPushButton *m_confirm;
    int m_posted = 0;
    int m_importNumber = 0;
};

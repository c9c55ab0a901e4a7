#pragma once

#include "db/dates.h"
#include "setup/budgets.h"
#include "setup/setup_ids.h"
#include "setup/tree_store.h"

#include <QAbstractItemDelegate>
#include <QDialog>

#include <functional>

namespace db {
class Connection;
}
class CDetailPanel;
class CDragTree;
class QPushButton;
class QVBoxLayout;
class QTreeWidgetItem;
struct PickedItem;

// "参数设置": the income, expense and bank trees under three stacked section
// buttons, with adding, deleting and moving of nodes, and the detail panel:
// a double-click loads a node's recurring settings or account details, 修改
// unlocks them and 保存 writes them back.
class CSettingsDialog : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;

    // clock gives the current date and time (the local clock when empty).
    explicit CSettingsDialog(db::Connection *connection, QWidget *parent = nullptr, Clock clock = {});

    // The open section, if any.
    std::optional<setup::TreeKind> openSection() const { return m_open; }
    CDragTree *tree(setup::TreeKind kind) const { return m_trees[static_cast<int>(kind)]; }
    QPushButton *sectionButton(setup::TreeKind kind) const { return m_sections[static_cast<int>(kind)]; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *modifyButton() const { return m_modify; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *closeButton() const { return m_close; }
    CDetailPanel *detailPanel() const { return m_detail; }

    // Pressing a section button.
    void pressSection(setup::TreeKind kind);
    void onAdd();
    // True while a new item's name is being typed or confirmed.
    bool isAdding() const { return m_newItem != nullptr; }
    void onDelete();
    // Loads a node of a tree into the detail panel, as a double-click does.
    void loadNode(setup::TreeKind kind, QTreeWidgetItem *item);
    void onModify();
    void onSave();
    // True once 修改 was pressed after the last load.
    bool isUnlocked() const { return m_unlocked; }
    // The node the panel shows, "" when none.
    const QString &loadedName() const { return m_loadedName; }
    // The bank last picked in a bank picker or loaded with a node.
    const QString &pickedBank() const { return m_pickedBank; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // A section button with its tree, stacked in the trees' column.
    void addSection(setup::TreeKind kind, QVBoxLayout *stack);
    void onEditorClosing(CDragTree *tree, QAbstractItemDelegate::EndEditHint hint);
    void openSectionTree(std::optional<setup::TreeKind> kind);
    void onEditClosed(CDragTree *tree);
    void restartEdit(CDragTree *tree);
    void cancelAdd();
    void showError(const QString &message);
    void onBankPicked(const PickedItem &item);
    // The panel's bank pickers follow a change of the bank tree; a picked
    // bank that is gone is forgotten.
    void banksChanged();
    void forgetLoaded();
    QString selectedName() const;
    setup::RecurringForm recurringForm(setup::TreeKind kind) const;
    // The recurring settings, and for an expense category its budget.
    db::Result saveRecurring(db::Connection &connection, setup::TreeKind kind);
    db::Result saveBank(db::Connection &connection);

    db::Connection *m_connection;
    std::optional<setup::TreeKind> m_open;
    CDragTree *m_trees[3] = {};
    QPushButton *m_sections[3] = {};
    QPushButton *m_add = nullptr;
    QPushButton *m_modify = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_close = nullptr;
    CDetailPanel *m_detail;
    Clock m_clock;
    bool m_unlocked = false;
    std::optional<setup::TreeKind> m_loadedKind;
    QString m_loadedName;
    QString m_pickedBank;
    // Of the loaded category: its progress text and start date.
    std::string m_loadedMid;
    db::DateTime m_loadedBegin;
    // The loaded expense category's row and budget, to tell what the panel changed.
    setup::LoadedExpense m_loadedExpense;
    QTreeWidgetItem *m_newItem = nullptr;
    QString m_newParent;
};

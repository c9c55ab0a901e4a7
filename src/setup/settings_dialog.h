#pragma once

#include "setup/tree_store.h"

#include <QDialog>

namespace db {
class Connection;
}
class CDragTree;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidgetItem;

namespace setup {
inline constexpr int IDC_ADD = 1025;
inline constexpr int IDC_MODIFY = 1026;
inline constexpr int IDC_DELETE = 1027;
inline constexpr int IDC_SAVE = 1032;
inline constexpr int IDC_SECTION_INCOME = 1029;
inline constexpr int IDC_SECTION_EXPENSE = 1028;
inline constexpr int IDC_SECTION_BANK = 1030;
inline constexpr int IDC_TREE_INCOME = 1009;
inline constexpr int IDC_TREE_EXPENSE = 1016;
inline constexpr int IDC_TREE_BANK = 1010;
} // namespace setup

// "参数设置": the income, expense and bank trees under three stacked section
// buttons, with adding, deleting and moving of nodes.
class CSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSettingsDialog(db::Connection *connection, QWidget *parent = nullptr);

    // The open section, if any.
    std::optional<setup::TreeKind> openSection() const { return m_open; }
    CDragTree *tree(setup::TreeKind kind) const { return m_trees[static_cast<int>(kind)]; }
    QPushButton *sectionButton(setup::TreeKind kind) const { return m_sections[static_cast<int>(kind)]; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *modifyButton() const { return m_modify; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *closeButton() const { return m_close; }
    QGroupBox *detailPanel() const { return m_detail; }

    // Pressing a section button.
    void pressSection(setup::TreeKind kind);
    void onAdd();
    // True while a new item's name is being typed or confirmed.
    bool isAdding() const { return m_newItem != nullptr; }
    void onDelete();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openSectionTree(std::optional<setup::TreeKind> kind);
    void onEditClosed(CDragTree *tree);
    void restartEdit(CDragTree *tree);
    void cancelAdd();
    void showError(const QString &message);

    db::Connection *m_connection;
    std::optional<setup::TreeKind> m_open;
    CDragTree *m_trees[3] = {};
    QPushButton *m_sections[3] = {};
    QPushButton *m_add;
    QPushButton *m_modify;
    QPushButton *m_delete;
    QPushButton *m_save;
    QPushButton *m_close;
    QGroupBox *m_detail;
    QLabel *m_detailTitle;
    QTreeWidgetItem *m_newItem = nullptr;
    QString m_newParent;
};

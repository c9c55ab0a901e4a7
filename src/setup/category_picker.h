#pragma once

#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <QWidget>

namespace db {
class Connection;
}
class QTreeWidgetItem;

// What a picked tree item tells its owner.
struct PickedItem {
    int image = 0;
    int expandedImage = 0;
    QString text; // the node's name
    QString path; // names from the root down, joined by "\"
};

// What a picker offers; the value is the code its selection notification
// carries.
enum class PickerKind {
    Bank = 1,       // the bank tree
    Income = 2,     // the income categories
    Expense = 3,    // the expense categories
    Deposit = 4,    // the one item "存钱"
    Withdrawal = 5, // the one item "取钱"
};

// A drop-down field whose list is a tree of banks, income categories or
// expense categories (or one fixed item), reporting the chosen node.
class CCategoryPicker : public QWidget {
    Q_OBJECT
public:
    explicit CCategoryPicker(QWidget *parent = nullptr);
    ~CCategoryPicker() override;

    bool create(int width, int height, PickerKind kind, db::Connection *connection);
    PickerKind kind() const { return m_kind; }
    int kindCode() const { return static_cast<int>(m_kind); }

    // Selects the first item below the root whose text is the trimmed text;
    // nothing happens when none matches.
    bool selectByText(const QString &text);
    void selectRoot();
    // Loads the tree again from the connection, keeping the chosen item where
    // it still is (without a notification); a chosen item that is gone
    // leaves the field empty.
    void reload();

    QTreeWidget *popupTree() const { return m_tree; }
    bool isDropDownShown() const;
    void showDropDown();
    void hideDropDown();
    // The current item's record; empty when there is none.
    PickedItem currentRecord() const;
    QTreeWidgetItem *currentItem() const { return m_current; }

    QSize sizeHint() const override;

signals:
    // The selection notification: the current item's record and the kind.
    void picked(const PickedItem &item, PickerKind kind);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
    void keyPressEvent(QKeyEvent *) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();
    void makeCurrent(QTreeWidgetItem *item, bool notify);
    // The first item below the root whose text is the trimmed text.
    QTreeWidgetItem *findBelowRoot(const QString &text) const;
    void showNothing();
    void openPathTo(QTreeWidgetItem *item);
    void pick(QTreeWidgetItem *item);
    QIcon imageFor(int index) const;

    PickerKind m_kind = PickerKind::Bank;
    db::Connection *m_connection = nullptr;
    // The popup lives in the owner's window, which may delete it first.
    QPointer<QTreeWidget> m_tree;
    QPointer<QWidget> m_viewport;
    QTreeWidgetItem *m_root = nullptr;
    QTreeWidgetItem *m_current = nullptr;
    int m_dropWidth = 0;
    int m_dropHeight = 100;
};

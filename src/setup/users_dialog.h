#pragma once

#include <QDialog>

namespace db {
class Connection;
}
class QLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace setup {
inline constexpr int IDC_USER_LIST = 1063;
inline constexpr int IDC_USER_NAME = 1067;
inline constexpr int IDC_USER_PASSWORD = 1068;
inline constexpr int IDC_USER_DETAILS = 1072;
inline constexpr int IDC_USER_ADD = 1069;
inline constexpr int IDC_USER_DELETE = 1070;
inline constexpr int IDC_USER_CLOSE = 1071;
} // namespace setup

// "经手人": the users other than the administrator, with adding and deleting.
class CUsersDialog : public QDialog {
    Q_OBJECT
public:
    // loggedInUser is the user of this session, who cannot be deleted.
    CUsersDialog(db::Connection *connection, const QString &loggedInUser, QWidget *parent = nullptr);

    QTableWidget *list() const { return m_list; }
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *passwordEdit() const { return m_password; }
    QLineEdit *detailsEdit() const { return m_details; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *closeButton() const { return m_close; }

    void onAdd();
    void onDelete();
    // Shows the user of a list row in the three edits.
    void showRow(int row);

private:
    void createList();
    QLayout *createEdits();
    QLayout *createButtons();
    void fillList();
    void appendRow(const QString &name, const QString &details);
    void clearEdits();

    db::Connection *m_connection;
    QString m_loggedInUser;
    QTableWidget *m_list = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_details = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_close = nullptr;
};

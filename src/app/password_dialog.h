#pragma once

#include <QDialog>

namespace db {
class Connection;
}
class QLineEdit;
class QPushButton;

namespace app {
inline constexpr int IDD_PASSWORD = 194;
inline constexpr int IDC_OLD_PASSWORD = 1067;
inline constexpr int IDC_NEW_PASSWORD = 1068;
inline constexpr int IDC_REPEAT_PASSWORD = 1069;
} // namespace app

// "修改密码": changes the password of the user who logged in last, as the
// settings store remembers them; without that value, of the given user.
class CPasswordDialog : public QDialog {
    Q_OBJECT
public:
    CPasswordDialog(db::Connection *connection, const QString &loggedInUser, QWidget *parent = nullptr);

    const QString &userName() const { return m_userName; }
    QLineEdit *oldEdit() const { return m_old; }
    QLineEdit *newEdit() const { return m_new; }
    QLineEdit *repeatEdit() const { return m_repeat; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *closeButton() const { return m_close; }

    void onOk();

private:
    void clearEdits();

    db::Connection *m_connection;
    QString m_userName;
    QLineEdit *m_old;
    QLineEdit *m_new;
    QLineEdit *m_repeat;
    QPushButton *m_ok;
    QPushButton *m_close;
};

#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace app {
inline constexpr int IDD_LOGIN = 192;
inline constexpr int IDC_USER_NAME = 1012;
inline constexpr int IDC_PASSWORD = 1067;
} // namespace app

// The login dialog: a sorted, editable list of the users and a masked
// password. It fills its list over a connection of its own.
class CLoginDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNameWidthChars = 16;

    explicit CLoginDialog(QWidget *parent = nullptr);

    QString userName() const;
    QString password() const;

    QComboBox *userBox() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_password; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    void fillUsers();

    QComboBox *m_user;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

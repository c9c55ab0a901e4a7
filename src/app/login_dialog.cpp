#include "app/login_dialog.h"

#include "app/login.h"
#include "db/connection.h"
#include "ui/carry_out.h"
#include "ui/name_order.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CLoginDialog::CLoginDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(app::kLoginTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_user = new QComboBox(this);
    m_user->setEditable(true);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    // However long a name, the dialog keeps its width: the list shows long
    // names shortened in the middle.
    m_user->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_user->setMinimumContentsLength(kNameWidthChars);
    m_user->setObjectName(QStringLiteral("user"));
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setObjectName(QStringLiteral("password"));
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("用户名："), this), 0, 0);
    grid->addWidget(m_user, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("密  码："), this), 1, 0);
    grid->addWidget(m_password, 1, 1);
    grid->setColumnMinimumWidth(1, 160);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_ok);
    setTabOrder(m_ok, m_cancel);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    fillUsers();
}

void CLoginDialog::fillUsers()
{
    // The dialog's own connection, released once the list is filled.
    if (const std::unique_ptr<db::Connection> connection = ui::openOrSay(this)) {
        ui::carryOut(this, [&] {
            QStringList names;
            for (const std::string &name : app::loginUserNames(*connection))
                names << QString::fromStdString(name);
            ui::sortNames(names);
            const int room = fontMetrics().averageCharWidth() * kNameWidthChars * 2;
            for (const QString &name : names)
                m_user->addItem(fontMetrics().elidedText(name, Qt::ElideMiddle, room), name);
        });
    }
    if (m_user->count() > 0)
        m_user->setCurrentIndex(0);
    m_password->setFocus();
}

QString CLoginDialog::userName() const
{
    // A picked name may show shortened: hand back the whole one.
    const int index = m_user->currentIndex();
    if (index >= 0 && m_user->currentText() == m_user->itemText(index))
        return m_user->itemData(index).toString();
    return m_user->currentText();
}

QString CLoginDialog::password() const { return m_password->text(); }

#include "app/password_dialog.h"

#include "app/password.h"
#include "app/settings_store.h"
#include "db/connection.h"
#include "ui/carry_out.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "修改密码";
}

CPasswordDialog::CPasswordDialog(db::Connection *connection, const QString &loggedInUser, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_userName(app::readLastUser())
{
    if (m_userName.isEmpty())
        m_userName = loggedInUser;
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto makeEdit = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setEchoMode(QLineEdit::Password);
        edit->setMinimumWidth(160);
        return edit;
    };
    m_old = makeEdit("old1067");
    m_new = makeEdit("new1068");
    m_repeat = makeEdit("repeat1069");
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("原密码："), m_old);
    form->addRow(QStringLiteral("现密码："), m_new);
    form->addRow(QStringLiteral("效验密码："), m_repeat);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    setTabOrder(m_old, m_new);
    setTabOrder(m_new, m_repeat);
    setTabOrder(m_repeat, m_ok);
    setTabOrder(m_ok, m_close);
    connect(m_ok, &QPushButton::clicked, this, &CPasswordDialog::onOk);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_old->setFocus();
}

void CPasswordDialog::clearEdits()
{
    m_old->clear();
    m_new->clear();
    m_repeat->clear();
    m_old->setFocus();
}

void CPasswordDialog::onOk()
{
    bool refused = false;
    if (!ui::carryOut(this, m_connection, [&](db::Connection &c) {
            const db::Result result =
                app::changePassword(c, m_userName.toStdString(), m_old->text().toStdString(),
                                    m_new->text().toStdString(), m_repeat->text().toStdString());
            refused = !result;
            return result;
        })) {
        // A refused change is typed again from the start.
        if (refused)
            clearEdits();
        return;
    }
    ui::inform(this, QString::fromUtf8(app::kMsgPasswordChanged));
    accept();
}

#include "setup/users_dialog.h"

#include "db/connection.h"
#include "setup/users.h"
#include "ui/carry_out.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "经手人";
const int kNameWidth = 70;
const int kDetailsWidth = 50;
} // namespace

CUsersDialog::CUsersDialog(db::Connection *connection, const QString &loggedInUser, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_loggedInUser(loggedInUser)
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_list = new QTableWidget(0, 2, this);
    m_list->setObjectName(QStringLiteral("list1063"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("姓名"), QStringLiteral("说明")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setColumnWidth(0, kNameWidth);
    m_list->setColumnWidth(1, kDetailsWidth);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setMinimumHeight(160);

    auto makeEdit = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    m_name = makeEdit("name1067");
    m_password = makeEdit("password1068");
    m_password->setEchoMode(QLineEdit::Password);
    m_details = makeEdit("details1072");

    auto *edits = new QGridLayout;
    const char *const labels[] = {"姓名", "密码", "说明"};
    QLineEdit *const fields[] = {m_name, m_password, m_details};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(QString::fromUtf8(labels[i]), this);
        label->setBuddy(fields[i]);
        edits->addWidget(label, 0, 2 * i);
        edits->addWidget(fields[i], 0, 2 * i + 1);
        edits->setColumnStretch(2 * i + 1, 1);
    }

    m_add = new QPushButton(QStringLiteral("增加"), this);
    m_delete = new QPushButton(QStringLiteral("删除"), this);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_add->setAutoDefault(false);
    m_delete->setAutoDefault(false);
    m_close->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(edits);
    layout->addLayout(buttons);
    resize(420, 320);

    setTabOrder(m_list, m_name);
    setTabOrder(m_name, m_password);
    setTabOrder(m_password, m_details);
    setTabOrder(m_details, m_add);
    setTabOrder(m_add, m_delete);
    setTabOrder(m_delete, m_close);

    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) { showRow(row); });
    connect(m_add, &QPushButton::clicked, this, &CUsersDialog::onAdd);
    connect(m_delete, &QPushButton::clicked, this, &CUsersDialog::onDelete);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    fillList();
}

void CUsersDialog::fillList()
{
    m_list->setRowCount(0);
    // Without open books the user hears it here, once; the other commands
    // of the dialog then do nothing.
    ui::carryOut(this, m_connection, [&](db::Connection &c) {
        for (const setup::User &user : setup::listUsers(c))
            appendRow(QString::fromStdString(user.name), QString::fromStdString(user.details));
    });
}

void CUsersDialog::appendRow(const QString &name, const QString &details)
{
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    m_list->setItem(row, 0, new QTableWidgetItem(name));
    m_list->setItem(row, 1, new QTableWidgetItem(details));
}

void CUsersDialog::clearEdits()
{
    m_name->clear();
    m_password->clear();
    m_details->clear();
}

void CUsersDialog::showRow(int row)
{
    QTableWidgetItem *item = m_list->item(row, 0);
    if (!item || !m_connection)
        return;
    ui::carryOut(this, [&] {
        const setup::User user = setup::findUser(*m_connection, item->text().toStdString());
        m_name->setText(QString::fromStdString(user.name));
        m_password->setText(QString::fromStdString(user.password));
        m_details->setText(QString::fromStdString(user.details));
    });
}

void CUsersDialog::onAdd()
{
    if (!m_connection)
        return;
    setup::User user{m_name->text().toStdString(), m_password->text().toStdString(),
                     m_details->text().toStdString()};
    if (!ui::carryOut(this, [&] { return setup::addUser(*m_connection, user); }))
        return;
    appendRow(QString::fromStdString(user.name), QString::fromStdString(user.details));
    clearEdits();
}

void CUsersDialog::onDelete()
{
    const QList<QTableWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty() || !m_connection)
        return;
    const int row = selected.first()->row();
    QTableWidgetItem *nameItem = m_list->item(row, 0);
    const std::string name = nameItem ? nameItem->text().toStdString() : std::string();
    if (!ui::carryOut(this, [&] { return setup::deleteUser(*m_connection, name, m_loggedInUser.toStdString()); }))
        return;
    m_list->removeRow(row);
    // The list must not pass the selection on: a second 删除 would take a
    // user nobody chose.
    m_list->clearSelection();
    m_list->setCurrentItem(nullptr);
    clearEdits();
}

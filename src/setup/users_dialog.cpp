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

    createList();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(createEdits());
    layout->addLayout(createButtons());
    resize(420, 320);

    const QList<QWidget *> order{m_list, m_name, m_password, m_details, m_add, m_delete, m_close};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    fillList();
}

void CUsersDialog::createList()
{
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
    connect(m_list, &QTableWidget::cellClicked, this, &CUsersDialog::showRow);
}

QLayout *CUsersDialog::createEdits()
{
    struct EditRow {
        QLineEdit *CUsersDialog::*member;
        const char *label;
        const char *name;
    };
    static const EditRow kEdits[] = {{&CUsersDialog::m_name, "姓名", "name1067"},
                                     {&CUsersDialog::m_password, "密码", "password1068"},
                                     {&CUsersDialog::m_details, "说明", "details1072"}};
    auto *edits = new QGridLayout;
    int column = 0;
    for (const EditRow &row : kEdits) {
        QLineEdit *edit = this->*row.member = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(row.name));
        auto *label = new QLabel(QString::fromUtf8(row.label), this);
        label->setBuddy(edit);
        edits->addWidget(label, 0, column++);
        edits->setColumnStretch(column, 1);
        edits->addWidget(edit, 0, column++);
    }
    m_password->setEchoMode(QLineEdit::Password);
    return edits;
}

QLayout *CUsersDialog::createButtons()
{
    struct ButtonRow {
        QPushButton *CUsersDialog::*member;
        const char *caption;
        void (CUsersDialog::*onClick)();
    };
    static const ButtonRow kButtons[] = {{&CUsersDialog::m_add, "增加", &CUsersDialog::onAdd},
                                         {&CUsersDialog::m_delete, "删除", &CUsersDialog::onDelete},
                                         {&CUsersDialog::m_close, "关闭", &CUsersDialog::accept}};
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const ButtonRow &row : kButtons) {
        QPushButton *button = this->*row.member = new QPushButton(QString::fromUtf8(row.caption), this);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, row.onClick);
    }
    m_close->setDefault(true);
    return buttons;
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

#include "setup/settings_dialog.h"

#include "db/connection.h"
#include "setup/drag_tree.h"
#include "setup/message_box.h"

#include <QAbstractItemDelegate>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using setup::TreeKind;

namespace {
const char *const kTitle = "参数设置";
const char *const kAskCaption = "提示";
const char *const kAskNewName = "新添加数据项名称 %1 ,确定吗?";
const char *const kSectionCaptions[] = {"收入类型", "支出类型", "银行"};
const TreeKind kOrder[] = {TreeKind::Income, TreeKind::Expense, TreeKind::Bank};
} // namespace

CSettingsDialog::CSettingsDialog(db::Connection *connection, QWidget *parent)
    : QDialog(parent), m_connection(connection)
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setFixedSize(620, 410);

    auto makeButton = [this](const char *caption, int x, int y, int w) {
        auto *button = new QPushButton(QString::fromUtf8(caption), this);
        button->setAutoDefault(false);
        button->setGeometry(x, y, w, 26);
        return button;
    };
    m_add = makeButton("增加", 20, 20, 50);
    m_modify = makeButton("修改", 75, 20, 50);
    m_delete = makeButton("删除", 130, 20, 50);
    m_save = makeButton("保存", 185, 20, 52);
    m_close = makeButton("关闭", 540, 374, 60);
    // Editing a node's details arrives with the detail panel.
    m_modify->setEnabled(false);
    m_save->setEnabled(false);

    auto *area = new QWidget(this);
    area->setGeometry(20, 56, 237 - 20, 367 - 56);
    auto *stack = new QVBoxLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    for (TreeKind kind : kOrder) {
        const int i = static_cast<int>(kind);
        m_sections[i] = new QPushButton(QString::fromUtf8(kSectionCaptions[i]), area);
        m_sections[i]->setAutoDefault(false);
        m_trees[i] = new CDragTree(kind, connection, area);
        m_trees[i]->hide();
        stack->addWidget(m_sections[i]);
        stack->addWidget(m_trees[i], 1);
        connect(m_sections[i], &QPushButton::clicked, this, [this, kind] { pressSection(kind); });
        connect(m_trees[i], &CDragTree::failed, this, &CSettingsDialog::showError);
        CDragTree *tree = m_trees[i];
        // Handled once the editor is gone, so that the questions asked then
        // do not run inside the closing editor.
        connect(tree->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
                [this, tree] { QTimer::singleShot(0, this, [this, tree] { onEditClosed(tree); }); });
    }
    stack->addStretch(0);

    m_detail = new QGroupBox(this);
    m_detail->setGeometry(255, 20, 345, 347);
    m_detailTitle = new QLabel(m_detail);
    m_detailTitle->setGeometry(16, 24, 300, 24);
    m_detail->setEnabled(false);

    connect(m_add, &QPushButton::clicked, this, &CSettingsDialog::onAdd);
    connect(m_delete, &QPushButton::clicked, this, &CSettingsDialog::onDelete);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    openSectionTree(TreeKind::Income);
}

void CSettingsDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter neither closes the dialog nor presses a button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CSettingsDialog::pressSection(TreeKind kind)
{
    if (m_open != kind) {
        openSectionTree(kind);
        return;
    }
    // The open section's button opens the next one; the last closes all.
    switch (kind) {
    case TreeKind::Income:
        openSectionTree(TreeKind::Expense);
        break;
    case TreeKind::Expense:
        openSectionTree(TreeKind::Bank);
        break;
    case TreeKind::Bank:
        openSectionTree(std::nullopt);
        break;
    }
}

void CSettingsDialog::cancelAdd()
{
    // A half-made item is dropped: the tree it stood in may be reloaded.
    if (!m_newItem)
        return;
    QTreeWidgetItem *item = m_newItem;
    m_newItem = nullptr;
    delete item;
}

void CSettingsDialog::openSectionTree(std::optional<TreeKind> kind)
{
    cancelAdd();
    m_open = kind;
    for (TreeKind k : kOrder)
        tree(k)->setVisible(kind == k);
    if (!kind) {
        m_detail->setTitle(QString());
        m_detailTitle->clear();
        return;
    }
    tree(*kind)->reload();
    const int i = static_cast<int>(*kind);
    m_detail->setTitle(QString::fromUtf8(kSectionCaptions[i]));
    m_detailTitle->setText(QString::fromUtf8(*kind == TreeKind::Bank ? "银行帐户资料" : "固定收支项目"));
}

void CSettingsDialog::onAdd()
{
    if (!m_open || m_newItem)
        return;
    CDragTree *t = tree(*m_open);
    QTreeWidgetItem *parent = t->currentItem();
    if (!parent) {
        setup::inform(this, QString::fromUtf8(setup::kMsgNoParent));
        return;
    }
    m_newParent = parent->text(0);
    m_newItem = new QTreeWidgetItem(parent, QStringList{QString()});
    m_newItem->setFlags(m_newItem->flags() | Qt::ItemIsEditable);
    m_newItem->setIcon(0, t->style()->standardIcon(QStyle::SP_DirIcon));
    parent->setExpanded(true);
    t->setCurrentItem(m_newItem);
    t->editItem(m_newItem, 0);
}

void CSettingsDialog::restartEdit(CDragTree *t)
{
    QTimer::singleShot(0, this, [this, t] {
        if (m_newItem)
            t->editItem(m_newItem, 0);
    });
}

void CSettingsDialog::onEditClosed(CDragTree *t)
{
    if (!m_newItem || !m_open || tree(*m_open) != t)
        return;
    QTreeWidgetItem *item = m_newItem;
    const QString name = item->text(0).trimmed();
    item->setText(0, name);
    if (name.isEmpty()) {
        cancelAdd();
        return;
    }
    if (!m_connection) {
        cancelAdd();
        setup::inform(this, QString::fromUtf8(db::kConnectFailedMessage));
        return;
    }
    // Any other item of the tree, the root included, or a row of the table
    // that the tree does not show, with the same name: type another.
    item->setText(0, QString());
    QTreeWidgetItem *same = t->findItem(name);
    item->setText(0, name);
    bool used = same != nullptr;
    try {
        used = used || setup::nameInUse(*m_connection, *m_open, name.toStdString());
    } catch (const db::Error &error) {
        cancelAdd();
        setup::reportError(this, error);
        return;
    }
    if (used) {
        setup::inform(this, QString::fromUtf8(setup::kMsgDuplicateName));
        restartEdit(t);
        return;
    }
    const auto answer = QMessageBox::question(this, QString::fromUtf8(kAskCaption),
                                              QString::fromUtf8(kAskNewName).arg(name),
                                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (!m_newItem)
        return; // the section was switched while the question was open
    if (answer != QMessageBox::Ok) {
        cancelAdd();
        return;
    }
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    setup::inform(this, m_newParent + name);
    try {
        const db::Result result = setup::addNode(*m_connection, *m_open, m_newParent.toStdString(), name.toStdString());
        if (!result) {
            cancelAdd();
            if (!result.message.empty())
                setup::inform(this, result.message);
            return;
        }
    } catch (const db::Error &error) {
        // Nothing was written: the tree must not show the item either.
        cancelAdd();
        setup::reportError(this, error);
        return;
    }
    m_newItem = nullptr;
}

void CSettingsDialog::onDelete()
{
    if (!m_open)
        return;
    CDragTree *t = tree(*m_open);
    QTreeWidgetItem *item = t->currentItem();
    if (!item || item == t->rootItem())
        return;
    if (!m_connection) {
        setup::inform(this, QString::fromUtf8(db::kConnectFailedMessage));
        return;
    }
    try {
        const db::Result result = setup::deleteNode(*m_connection, *m_open, item->text(0).toStdString());
        if (!result) {
            if (!result.message.empty())
                setup::inform(this, result.message);
            return;
        }
    } catch (const db::Error &error) {
        setup::reportError(this, error);
        return;
    }
    delete item;
}

void CSettingsDialog::showError(const QString &message) { setup::inform(this, message); }

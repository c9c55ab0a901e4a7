#include "setup/settings_dialog.h"

#include "db/connection.h"
#include "setup/bank_details.h"
#include "setup/category_picker.h"
#include "setup/detail_panel.h"
#include "setup/detail_rules.h"
#include "setup/drag_tree.h"
#include "setup/recurring_settings.h"
#include "ui/carry_out.h"

#include <QAbstractItemDelegate>
#include <QKeyEvent>
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
const char *const kLoadedMark = " ▲";

// The part of a path after its last backslash (all of it when there is none).
QString lastSegment(const QString &path)
{
    const int cut = path.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? path : path.mid(cut + 1);
}
} // namespace

CSettingsDialog::CSettingsDialog(db::Connection *connection, QWidget *parent, Clock clock)
    : QDialog(parent), m_connection(connection), m_clock(clock ? std::move(clock) : Clock(&db::localNow))
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setFixedSize(620, 410);

    struct ButtonRow {
        QPushButton *CSettingsDialog::*member;
        const char *caption;
        QRect rect;
        void (CSettingsDialog::*onClick)();
    };
    static const ButtonRow kButtons[] = {
        {&CSettingsDialog::m_add, "增加", {20, 20, 50, 26}, &CSettingsDialog::onAdd},
        {&CSettingsDialog::m_modify, "修改", {75, 20, 50, 26}, &CSettingsDialog::onModify},
        {&CSettingsDialog::m_delete, "删除", {130, 20, 50, 26}, &CSettingsDialog::onDelete},
        {&CSettingsDialog::m_save, "保存", {185, 20, 52, 26}, &CSettingsDialog::onSave},
        {&CSettingsDialog::m_close, "关闭", {540, 374, 60, 26}, &CSettingsDialog::accept},
    };
    for (const ButtonRow &row : kButtons) {
        QPushButton *button = this->*row.member = new QPushButton(QString::fromUtf8(row.caption), this);
        button->setAutoDefault(false);
        button->setGeometry(row.rect);
        connect(button, &QPushButton::clicked, this, row.onClick);
    }

    auto *area = new QWidget(this);
    area->setGeometry(20, 56, 237 - 20, 367 - 56);
    auto *stack = new QVBoxLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    for (TreeKind kind : kOrder)
        addSection(kind, stack);
    stack->addStretch(0);

    m_detail = new CDetailPanel(connection, m_clock(), this);
    m_detail->setGeometry(255, 20, 345, 347);
    connect(m_detail, &CDetailPanel::bankPicked, this, &CSettingsDialog::onBankPicked);

    // Tab runs from the buttons down the trees, then down the panel's fields.
    QList<QWidget *> order{m_add, m_modify, m_delete, m_save};
    for (TreeKind kind : kOrder)
        order << sectionButton(kind) << tree(kind);
    for (TreeKind kind : {TreeKind::Expense, TreeKind::Bank})
        order << m_detail->fields(kind);
    order << m_close;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    openSectionTree(TreeKind::Income);
}

void CSettingsDialog::addSection(TreeKind kind, QVBoxLayout *stack)
{
    QWidget *area = stack->parentWidget();
    const int i = static_cast<int>(kind);
    QPushButton *button = m_sections[i] = new QPushButton(QString::fromUtf8(kSectionCaptions[i]), area);
    button->setAutoDefault(false);
    CDragTree *tree = m_trees[i] = new CDragTree(kind, m_connection, area);
    tree->hide();
    stack->addWidget(button);
    stack->addWidget(tree, 1);
    connect(button, &QPushButton::clicked, this, [this, kind] { pressSection(kind); });
    connect(tree, &CDragTree::failed, this, &CSettingsDialog::showError);
    if (kind == TreeKind::Bank)
        connect(tree, &CDragTree::moved, this, &CSettingsDialog::banksChanged);
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, kind](QTreeWidgetItem *item) { loadNode(kind, item); });
    connect(tree->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this, tree](QWidget *, QAbstractItemDelegate::EndEditHint hint) { onEditorClosing(tree, hint); });
}

void CSettingsDialog::onEditorClosing(CDragTree *tree, QAbstractItemDelegate::EndEditHint hint)
{
    // Handled once the editor is gone, so that the questions asked then do
    // not run inside the closing editor. Escape gives the new item up, also
    // after a refused name.
    const bool givenUp = hint == QAbstractItemDelegate::RevertModelCache;
    QTimer::singleShot(0, this, [this, tree, givenUp] {
        if (givenUp && m_newItem && m_open && this->tree(*m_open) == tree)
            cancelAdd();
        else
            onEditClosed(tree);
    });
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
    // The panel held a node of another tree: it is locked until the next load.
    forgetLoaded();
    m_detail->showSection(kind);
    if (kind)
        tree(*kind)->reload();
}

void CSettingsDialog::forgetLoaded()
{
    m_unlocked = false;
    m_loadedKind.reset();
    m_loadedName.clear();
    m_loadedMid.clear();
    m_loadedExpense = {};
    m_detail->lockAll();
    m_detail->resetHeader();
}

QString CSettingsDialog::selectedName() const
{
    if (!m_open)
        return {};
    const QTreeWidgetItem *item = tree(*m_open)->currentItem();
    return item ? item->text(0) : QString();
}

void CSettingsDialog::onBankPicked(const PickedItem &item)
{
    setWindowTitle(item.path);
    m_pickedBank = lastSegment(item.path);
}

void CSettingsDialog::banksChanged()
{
    m_detail->reloadBanks();
    if (!m_pickedBank.isEmpty() && !tree(TreeKind::Bank)->findItem(m_pickedBank))
        m_pickedBank.clear();
}

void CSettingsDialog::loadNode(TreeKind kind, QTreeWidgetItem *item)
{
    if (!item || m_newItem)
        return;
    m_unlocked = false;
    m_detail->lockAll();
    const QString name = item->text(0);
    m_loadedKind = kind;
    m_loadedName = name;
    m_loadedExpense = {};
    m_detail->setHeader(QString::fromUtf8(kLoadedMark) + name);
    if (kind != TreeKind::Bank)
        m_detail->setFixedCaption(kind);
    const std::string key = name.toStdString();
    ui::carryOut(this, m_connection, [&](db::Connection &c) {
        if (kind == TreeKind::Bank) {
            const std::optional<setup::BankDetails> details = setup::loadBankDetails(c, key, m_clock());
            if (!details)
                return;
            m_detail->showBank(*details);
            m_pickedBank = QString::fromStdString(details->source);
        } else {
            const std::optional<setup::RecurringItem> row = setup::loadRecurring(c, kind, key, m_clock());
            if (!row)
                return;
            m_detail->showRecurring(*row);
            m_pickedBank = QString::fromStdString(row->bankName);
            m_loadedMid = row->midText;
            m_loadedBegin = row->begin;
            if (kind == TreeKind::Expense) {
                m_loadedExpense = {row, setup::loadBudget(c, key)};
                m_detail->showBudget(m_loadedExpense.budget);
            }
        }
    });
}

void CSettingsDialog::onModify()
{
    m_unlocked = true;
    if (m_open)
        m_detail->unlock(*m_open);
}

void CSettingsDialog::onSave()
{
    if (!m_open)
        return;
    const TreeKind kind = *m_open;
    const bool saved = kind == TreeKind::Bank
                           ? ui::carryOut(this, m_connection, [&](db::Connection &c) { return saveBank(c); })
                           : ui::carryOut(this, m_connection, [&](db::Connection &c) { return saveRecurring(c, kind); });
    if (saved)
        ui::inform(this, QString::fromUtf8(setup::kMsgSaved));
}

setup::RecurringForm CSettingsDialog::recurringForm(TreeKind kind) const
{
    setup::RecurringForm form;
    m_detail->readRecurring(form);
    form.unlocked = m_unlocked;
    form.loaded = m_loadedKind == kind ? m_loadedName.toStdString() : std::string();
    form.selected = selectedName().toStdString();
    form.bank = m_pickedBank.toStdString();
    form.loadedMid = m_loadedMid;
    form.loadedBegin = m_loadedBegin;
    return form;
}

db::Result CSettingsDialog::saveRecurring(db::Connection &connection, TreeKind kind)
{
    const setup::RecurringForm form = recurringForm(kind);
    bool restarted = false;
    const setup::Question ask = [&](const std::string &question) {
        restarted = ui::askYesNo(this, QString::fromStdString(question));
        return restarted;
    };
    db::Result result;
    if (kind == TreeKind::Expense) {
        setup::BudgetAmounts budget;
        m_detail->readBudget(budget);
        result = setup::saveExpenseSettings(connection, form, m_loadedExpense, budget, ask);
    } else {
        result = setup::saveRecurring(connection, kind, form, ask);
    }
    if (!result)
        return result;
    // The row now starts on the saved date, and has not posted from it.
    m_loadedBegin = form.begin;
    if (restarted)
        m_loadedMid = std::string(1, ' ');
    // The next save of an expense category compares with what is stored now.
    if (kind == TreeKind::Expense)
        m_loadedExpense = {setup::loadRecurring(connection, kind, form.selected, m_clock()),
                           setup::loadBudget(connection, form.selected)};
    return result;
}

db::Result CSettingsDialog::saveBank(db::Connection &connection)
{
    setup::BankForm form;
    m_detail->readBank(form);
    form.unlocked = m_unlocked;
    form.loaded = m_loadedKind == TreeKind::Bank ? m_loadedName.toStdString() : std::string();
    form.selected = selectedName().toStdString();
    form.source = m_pickedBank.toStdString();
    return setup::saveBankDetails(connection, form);
}

void CSettingsDialog::onAdd()
{
    if (!m_open || m_newItem)
        return;
    CDragTree *t = tree(*m_open);
    QTreeWidgetItem *parent = t->currentItem();
    if (!parent) {
        ui::inform(this, QString::fromUtf8(setup::kMsgNoParent));
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
    if (const db::Result sound = setup::checkNodeName(name.toStdString()); !sound) {
        ui::inform(this, sound.message);
        restartEdit(t);
        return;
    }
    // Any other item of the tree, the root included, or a row of the table
    // that the tree does not show, with the same name: type another.
    item->setText(0, QString());
    QTreeWidgetItem *same = t->findItem(name);
    item->setText(0, name);
    bool used = same != nullptr;
    const TreeKind kind = *m_open;
    if (!ui::carryOut(this, m_connection, [&](db::Connection &c) {
            used = used || setup::nameInUse(c, kind, name.toStdString());
        })) {
        cancelAdd();
        return;
    }
    if (used) {
        ui::inform(this, QString::fromUtf8(setup::kMsgDuplicateName));
        restartEdit(t);
        return;
    }
    const bool confirmed = ui::askOkCancel(this, QString::fromUtf8(kAskNewName).arg(name), kAskCaption);
    if (!m_newItem)
        return; // the section was switched while the question was open
    if (!confirmed) {
        cancelAdd();
        return;
    }
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    ui::inform(this, m_newParent + name);
    if (!ui::carryOut(this, m_connection, [&](db::Connection &c) {
            return setup::addNode(c, kind, m_newParent.toStdString(), name.toStdString());
        })) {
        // Nothing was written: the tree must not show the item either.
        cancelAdd();
        return;
    }
    m_newItem = nullptr;
    if (kind == TreeKind::Bank)
        banksChanged();
}

void CSettingsDialog::onDelete()
{
    if (!m_open)
        return;
    const TreeKind kind = *m_open;
    CDragTree *t = tree(kind);
    const QTreeWidgetItem *item = t->currentItem();
    if (!item || item == t->rootItem())
        return;
    const QString name = item->text(0);
    const std::string key = name.toStdString();
    // One click removes a whole branch for good: the user sees what goes
    // with it and answers, 否 being the default.
    setup::DeleteImpact impact;
    if (!ui::carryOut(this, m_connection,
                      [&](db::Connection &c) { return setup::deleteImpact(c, kind, key, impact); }))
        return;
    if (!ui::askYesNo(this, QString::fromStdString(setup::deleteQuestion(kind, key, impact))))
        return;
    if (!ui::carryOut(this, m_connection, [&](db::Connection &c) { return setup::deleteNode(c, kind, key); }))
        return;
    delete t->findItem(name);
    if (kind == TreeKind::Bank)
        banksChanged();
}

void CSettingsDialog::showError(const QString &message) { ui::inform(this, message); }

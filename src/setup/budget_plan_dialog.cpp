#include "setup/budget_plan_dialog.h"

#include "db/connection.h"
#include "setup/budgets.h"
#include "setup/detail_rules.h"
#include "setup/tree_store.h"
#include "ui/carry_out.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

const char *const kTitle = "预算设置";
const char *const kHint = "每月预算是每个月的计划；每年预算留给一年一次的开支（如保险、物业费），只在按年查看时计入。"
                          "一个类型的预算包括它下面所有类型的支出。留空表示没有预算。";
const char *const kAskSave = "预算已改动，还没有保存。要保存吗？";
const char *const kColumns[] = {"支出类型", "每月预算", "每年预算"};
// The amounts as loaded, kept with the row to see what was typed since.
constexpr int kStoredRole = Qt::UserRole + 1;

// Only the amount cells take typing.
class CAmountDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.column() == CBudgetPlanDialog::NameColumn)
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

void addNodes(QTreeWidgetItem *parent, const setup::TreeNode &node,
              const std::map<std::string, setup::BudgetAmounts> &budgets)
{
    for (const setup::TreeNode &child : node.children) {
        auto *item = new QTreeWidgetItem(parent, QStringList{QString::fromStdString(child.name)});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        const auto it = budgets.find(setup::nameKey(child.name));
        const setup::BudgetAmounts amounts = it == budgets.end() ? setup::BudgetAmounts{} : it->second;
        const QString stored[] = {QString::fromStdString(amounts.monthly), QString::fromStdString(amounts.yearly)};
        for (int column : {CBudgetPlanDialog::MonthlyColumn, CBudgetPlanDialog::YearlyColumn}) {
            item->setText(column, stored[column - 1]);
            item->setData(column, kStoredRole, stored[column - 1]);
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
        addNodes(item, child, budgets);
    }
}

bool changed(const QTreeWidgetItem *item)
{
    for (int column : {CBudgetPlanDialog::MonthlyColumn, CBudgetPlanDialog::YearlyColumn})
        if (item->text(column).trimmed() != item->data(column, kStoredRole).toString())
            return true;
    return false;
}

} // namespace

CBudgetPlanDialog::CBudgetPlanDialog(db::Connection *connection, QWidget *parent)
    : QDialog(parent), m_connection(connection)
{
    setWindowTitle(QString::fromUtf8(kTitle));
    resize(520, 520);

    auto *hint = new QLabel(QString::fromUtf8(kHint), this);
    hint->setWordWrap(true);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("budgetPlan"));
    m_tree->setColumnCount(3);
    QStringList captions;
    for (const char *caption : kColumns)
        captions << QString::fromUtf8(caption);
    m_tree->setHeaderLabels(captions);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column : {MonthlyColumn, YearlyColumn})
        m_tree->setColumnWidth(column, 120);
    m_tree->setItemDelegate(new CAmountDelegate(m_tree));
    m_tree->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_tree->setAlternatingRowColors(true);

    m_save = new QPushButton(QStringLiteral("保存"), this);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton *button : {m_save, m_close})
        button->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (save())
            ui::inform(this, QString::fromUtf8(setup::kMsgSaved));
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);
    load();
}

void CBudgetPlanDialog::load()
{
    m_tree->clear();
    std::string cut;
    ui::carryOut(this, m_connection, [&](db::Connection &c) {
        const setup::TreeNode root = setup::loadTree(c, setup::TreeKind::Expense, setup::TreeQuery::Settings, &cut);
        addNodes(m_tree->invisibleRootItem(), root, setup::loadBudgets(c));
    });
    m_tree->expandAll();
    if (!cut.empty())
        ui::inform(this, cut);
}

QTreeWidgetItem *CBudgetPlanDialog::itemOf(const QString &category) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if ((*it)->text(NameColumn) == category)
            return *it;
    return nullptr;
}

bool CBudgetPlanDialog::hasChanges() const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (changed(*it))
            return true;
    return false;
}

bool CBudgetPlanDialog::save()
{
    std::vector<setup::PlanLine> plan;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (changed(*it))
            plan.push_back({(*it)->text(NameColumn).toStdString(),
                            {(*it)->text(MonthlyColumn).toStdString(), (*it)->text(YearlyColumn).toStdString()}});
    if (plan.empty())
        return true;
    if (!ui::carryOut(this, m_connection, [&](db::Connection &c) { return setup::savePlan(c, plan); }))
        return false;
    // What is shown now is what is stored, in the form the table keeps.
    load();
    return true;
}

void CBudgetPlanDialog::done(int result)
{
    if (hasChanges() && ui::askYesNo(this, QString::fromUtf8(kAskSave), true) && !save())
        return;
    QDialog::done(result);
}

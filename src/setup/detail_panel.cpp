#include "setup/detail_panel.h"

#include "db/dates.h"
#include "setup/bank_details.h"
#include "setup/budgets.h"
#include "setup/category_picker.h"
#include "setup/recurring_settings.h"
#include "setup/setup_ids.h"
#include "ui/date_picker.h"
#include "ui/header_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using setup::TreeKind;

namespace {

const char *const kDefaultHeader = "说明:修改后点\"保存\"即可";
const char *const kDefaultAmount = "999";
const char *const kDefaultInterval = "1";
constexpr int kIntervalMax = 999999;
constexpr int kPickerHeight = 300;

// Rows of the panel: the header on top, then one field per row.
constexpr int kLeft = 14;
constexpr int kLabelWidth = 84;
constexpr int kFieldLeft = kLeft + kLabelWidth + 6;
constexpr int kFieldWidth = 345 - kFieldLeft - 14;
constexpr int kTop = 62;
constexpr int kRowHeight = 34;
constexpr int kFieldHeight = 24;

QRect fieldRect(int row, int left = kFieldLeft, int width = kFieldWidth)
{
    return {left, kTop + row * kRowHeight, width, kFieldHeight};
}

QDate toQDate(const db::DateTime &d) { return QDate(d.year, d.month, d.day); }
db::DateTime fromQDate(const QDate &d) { return db::DateTime{d.year(), d.month(), d.day()}; }

// A date field shows a stored date, or nothing where none was stored.
void showStoredDate(CDatePicker *picker, const std::string &text, const db::DateTime &date)
{
    if (text.empty())
        picker->showBlank(toQDate(date));
    else
        picker->showDate(toQDate(date));
}

void tag(QWidget *widget, int id) { widget->setObjectName(QString::number(id)); }

// A label of a field row.
struct LabelRow {
    const char *caption;
    int row;
    int id;
};
const LabelRow kRecurringLabels[] = {{"金额", 1, setup::IDC_AMOUNT_LABEL},
                                     {"频率：每隔", 2, setup::IDC_INTERVAL_LABEL},
                                     {"启始日期", 3, setup::IDC_BEGIN_LABEL},
                                     {"结束日期", 4, setup::IDC_END_LABEL}};
const LabelRow kBankLabels[] = {
    {"帐户类型", 0, setup::IDC_ACCOUNT_TYPE_LABEL}, {"开户银行", 1, setup::IDC_OPEN_BANK_LABEL},
    {"户主姓名", 2, setup::IDC_HOLDER_LABEL},       {"银行帐号", 3, setup::IDC_ACCOUNT_NUMBER_LABEL},
    {"开户日期", 4, setup::IDC_OPEN_DATE_LABEL},    {"初始金额", 5, setup::IDC_OPENING_BALANCE_LABEL},
    {"来自银行", 6, setup::IDC_SOURCE_LABEL}};
const LabelRow kBudgetLabels[] = {{"每月预算", 6, setup::IDC_MONTHLY_BUDGET_LABEL},
                                  {"每年预算", 7, setup::IDC_YEARLY_BUDGET_LABEL}};

// Where a field goes and the control id it answers to.
struct Placement {
    QWidget *widget;
    int id;
    QRect rect;
};

void place(std::initializer_list<Placement> placements)
{
    for (const Placement &p : placements) {
        p.widget->setGeometry(p.rect);
        tag(p.widget, p.id);
    }
}

template <typename Items> QComboBox *editableCombo(QWidget *parent, const Items &items, int current)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    for (const char *item : items)
        box->addItem(QString::fromUtf8(item));
    box->setCurrentIndex(current);
    return box;
}

CDatePicker *blankDatePicker(QWidget *parent, const db::DateTime &today)
{
    auto *picker = new CDatePicker(parent);
    picker->showBlank(toQDate(today));
    return picker;
}

} // namespace

CDetailPanel::CDetailPanel(db::Connection *connection, const db::DateTime &today, QWidget *parent)
    : QGroupBox(parent)
{
    m_header = new CHeaderText(this);
    place({{m_header, setup::IDC_HEADER, {kLeft, 24, 345 - 2 * kLeft, 24}}});
    resetHeader();
    createRecurringFields(today);
    createBankFields(today);
    createBudgetFields();
    for (CCategoryPicker *picker : {m_itemBank, m_source}) {
        picker->create(0, kPickerHeight, PickerKind::Bank, connection);
        connect(picker, &CCategoryPicker::picked, this, &CDetailPanel::onBankPicked);
    }
    // Tab goes down the fields of each set.
    for (const QList<QWidget *> *set : {&m_recurringFields, &m_bankFields, &m_budgetFields})
        for (int i = 1; i < set->size(); ++i)
            setTabOrder(set->at(i - 1), set->at(i));
    lockAll();
}

void CDetailPanel::createRecurringFields(const db::DateTime &today)
{
    m_fixed = new QCheckBox(QString::fromUtf8(setup::fixedCaption(TreeKind::Income)), this);
    m_autoPost = new QCheckBox(QStringLiteral("自动记帐"), this);
    m_autoPost->setChecked(true);
    m_amount = new QLineEdit(QString::fromUtf8(kDefaultAmount), this);
    m_interval = new QLineEdit(QString::fromUtf8(kDefaultInterval), this);
    m_interval->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_interval));
    m_interval->setMaxLength(6);
    m_spin = createSpinButtons();
    // Only the units that post can be chosen.
    m_unit = new QComboBox(this);
    for (const char *unit : setup::kRecurringUnits)
        m_unit->addItem(QString::fromUtf8(unit));
    m_begin = blankDatePicker(this, today);
    m_end = blankDatePicker(this, today);
    m_itemBank = new CCategoryPicker(this);
    place({{m_fixed, setup::IDC_FIXED, fieldRect(0, kLeft, 120)},
           {m_autoPost, setup::IDC_AUTO_POST, fieldRect(0, kFieldLeft + 60, 120)},
           {m_amount, setup::IDC_AMOUNT, fieldRect(1)},
           {m_interval, setup::IDC_INTERVAL, fieldRect(2, kFieldLeft, 64)},
           {m_spin, setup::IDC_INTERVAL_SPIN, fieldRect(2, kFieldLeft + 64, 16)},
           {m_unit, setup::IDC_UNIT, fieldRect(2, kFieldLeft + 90, kFieldWidth - 90)},
           {m_begin, setup::IDC_BEGIN, fieldRect(3)},
           {m_end, setup::IDC_END, fieldRect(4)},
           {m_itemBank, setup::IDC_ITEM_BANK, fieldRect(5)}});
    for (const LabelRow &label : kRecurringLabels)
        tag(addLabel(label.caption, label.row, m_recurringSet), label.id);
    m_incomeBankLabel = addLabel("存入银行", 5, m_recurringSet);
    tag(m_incomeBankLabel, setup::IDC_INCOME_BANK_LABEL);
    m_expenseBankLabel = addLabel("支出银行", 5, m_recurringSet);
    tag(m_expenseBankLabel, setup::IDC_EXPENSE_BANK_LABEL);
    m_recurringFields = {m_fixed, m_autoPost, m_amount, m_interval, m_spin, m_unit, m_begin, m_end, m_itemBank};
    m_recurringSet << m_recurringFields;
}

QWidget *CDetailPanel::createSpinButtons()
{
    auto *spin = new QWidget(this);
    auto *layout = new QVBoxLayout(spin);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(spin);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(spin);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, kFieldHeight / 2);
        layout->addWidget(button);
    }
    connect(m_up, &QToolButton::clicked, this, &CDetailPanel::stepUp);
    connect(m_down, &QToolButton::clicked, this, &CDetailPanel::stepDown);
    return spin;
}

void CDetailPanel::createBankFields(const db::DateTime &today)
{
    m_accountType = editableCombo(this, setup::kAccountTypes, -1);
    m_openBank = new QLineEdit(this);
    m_holder = new QLineEdit(this);
    m_accountNumber = new QLineEdit(this);
    m_openDate = blankDatePicker(this, today);
    m_openingBalance = new QLineEdit(this);
    m_source = new CCategoryPicker(this);
    place({{m_accountType, setup::IDC_ACCOUNT_TYPE, fieldRect(0)},
           {m_openBank, setup::IDC_OPEN_BANK, fieldRect(1)},
           {m_holder, setup::IDC_HOLDER, fieldRect(2)},
           {m_accountNumber, setup::IDC_ACCOUNT_NUMBER, fieldRect(3)},
           {m_openDate, setup::IDC_OPEN_DATE, fieldRect(4)},
           {m_openingBalance, setup::IDC_OPENING_BALANCE, fieldRect(5)},
           {m_source, setup::IDC_SOURCE_BANK, fieldRect(6)}});
    for (const LabelRow &label : kBankLabels)
        tag(addLabel(label.caption, label.row, m_bankSet), label.id);
    m_bankFields = {m_accountType, m_openBank, m_holder, m_accountNumber, m_openDate, m_openingBalance, m_source};
    m_bankSet << m_bankFields;
}

void CDetailPanel::createBudgetFields()
{
    m_monthlyBudget = new QLineEdit(this);
    m_yearlyBudget = new QLineEdit(this);
    place({{m_monthlyBudget, setup::IDC_MONTHLY_BUDGET, fieldRect(6)},
           {m_yearlyBudget, setup::IDC_YEARLY_BUDGET, fieldRect(7)}});
    for (const LabelRow &label : kBudgetLabels)
        tag(addLabel(label.caption, label.row, m_budgetSet), label.id);
    m_budgetFields = {m_monthlyBudget, m_yearlyBudget};
    m_budgetSet << m_budgetFields;
}

void CDetailPanel::onBankPicked(const PickedItem &item) { emit bankPicked(item); }

void CDetailPanel::reloadBanks()
{
    for (CCategoryPicker *picker : {m_itemBank, m_source})
        picker->reload();
}

void CDetailPanel::stepUp() { stepInterval(1); }

void CDetailPanel::stepDown() { stepInterval(-1); }

QLabel *CDetailPanel::addLabel(const char *caption, int row, QList<QWidget *> &set)
{
    auto *label = new QLabel(QString::fromUtf8(caption), this);
    label->setGeometry(fieldRect(row, kLeft, kLabelWidth));
    set << label;
    return label;
}

QLabel *CDetailPanel::itemBankLabel() const
{
    return m_section == TreeKind::Expense ? m_expenseBankLabel : m_incomeBankLabel;
}

QList<QWidget *> CDetailPanel::fields(TreeKind kind) const
{
    QList<QWidget *> chain = kind == TreeKind::Bank ? m_bankFields : m_recurringFields;
    chain.removeOne(m_spin); // its buttons take no focus
    if (kind == TreeKind::Expense)
        chain << m_budgetFields;
    return chain;
}

void CDetailPanel::showSection(std::optional<TreeKind> kind)
{
    m_section = kind;
    const bool recurring = kind && *kind != TreeKind::Bank;
    for (QWidget *w : m_recurringSet)
        w->setVisible(recurring);
    for (QWidget *w : m_bankSet)
        w->setVisible(kind == TreeKind::Bank);
    for (QWidget *w : m_budgetSet)
        w->setVisible(kind == TreeKind::Expense);
    m_incomeBankLabel->setVisible(kind == TreeKind::Income);
    m_expenseBankLabel->setVisible(kind == TreeKind::Expense);
    setTitle(!kind ? QString() : recurring ? QStringLiteral("固定收支项目") : QStringLiteral("银行帐户资料"));
    if (recurring)
        setFixedCaption(*kind);
}

void CDetailPanel::setEnabledAll(const QList<QWidget *> &widgets, bool enabled)
{
    for (QWidget *w : widgets)
        w->setEnabled(enabled);
}

void CDetailPanel::lockAll()
{
    setEnabledAll(m_recurringFields, false);
    setEnabledAll(m_bankFields, false);
    setEnabledAll(m_budgetFields, false);
}

void CDetailPanel::unlock(TreeKind kind)
{
    setEnabledAll(m_recurringFields, kind != TreeKind::Bank);
    setEnabledAll(m_bankFields, kind == TreeKind::Bank);
    setEnabledAll(m_budgetFields, kind == TreeKind::Expense);
    // A blank date is saved as the date its picker holds: once the fields
    // can be changed, they show what 保存 will write.
    const QList<CDatePicker *> dates =
        kind == TreeKind::Bank ? QList<CDatePicker *>{m_openDate} : QList<CDatePicker *>{m_begin, m_end};
    for (CDatePicker *date : dates)
        date->reveal();
}

void CDetailPanel::setHeader(const QString &text) { m_header->setText(text); }

void CDetailPanel::resetHeader() { m_header->setText(QString::fromUtf8(kDefaultHeader)); }

void CDetailPanel::setFixedCaption(TreeKind kind) { m_fixed->setText(QString::fromUtf8(setup::fixedCaption(kind))); }

void CDetailPanel::stepInterval(int by)
{
    bool ok = false;
    const int value = m_interval->text().toInt(&ok);
    const int next = ok ? std::clamp(value + by, 1, kIntervalMax) : 1;
    m_interval->setText(QString::number(next));
}

void CDetailPanel::showRecurring(const setup::RecurringItem &item)
{
    m_fixed->setChecked(item.fixed);
    m_autoPost->setChecked(item.autoPost);
    m_amount->setText(QString::fromStdString(item.amount));
    m_interval->setText(QString::fromStdString(item.dayNum));
    // A stored unit that does not post shows as none, and is not saved again.
    m_unit->setCurrentIndex(m_unit->findText(QString::fromStdString(item.selectType).trimmed()));
    m_itemBank->selectByText(QString::fromStdString(item.bankName));
    showStoredDate(m_end, item.endText, item.end);
    showStoredDate(m_begin, item.beginText, item.begin);
}

void CDetailPanel::readRecurring(setup::RecurringForm &form) const
{
    form.fixed = m_fixed->isChecked();
    form.autoPost = m_autoPost->isChecked();
    form.amount = m_amount->text().toStdString();
    form.dayNum = m_interval->text().toStdString();
    form.selectType = m_unit->currentText().toStdString();
    form.begin = fromQDate(m_begin->date());
    form.end = fromQDate(m_end->date());
}

void CDetailPanel::showBank(const setup::BankDetails &details)
{
    m_accountType->setEditText(QString::fromStdString(details.accountType));
    m_openBank->setText(QString::fromStdString(details.openBank));
    m_holder->setText(QString::fromStdString(details.holder));
    m_accountNumber->setText(QString::fromStdString(details.accountNumber));
    showStoredDate(m_openDate, details.activeText, details.activeDate);
    m_openingBalance->setText(QString::fromStdString(details.openingBalance));
    m_source->selectByText(QString::fromStdString(details.source));
}

void CDetailPanel::readBank(setup::BankForm &form) const
{
    form.accountType = m_accountType->currentText().toStdString();
    form.openBank = m_openBank->text().toStdString();
    form.holder = m_holder->text().toStdString();
    form.accountNumber = m_accountNumber->text().toStdString();
    form.openingBalance = m_openingBalance->text().toStdString();
    form.activeDate = fromQDate(m_openDate->date());
}

void CDetailPanel::showBudget(const setup::BudgetAmounts &amounts)
{
    m_monthlyBudget->setText(QString::fromStdString(amounts.monthly));
    m_yearlyBudget->setText(QString::fromStdString(amounts.yearly));
}

void CDetailPanel::readBudget(setup::BudgetAmounts &amounts) const
{
    amounts.monthly = m_monthlyBudget->text().toStdString();
    amounts.yearly = m_yearlyBudget->text().toStdString();
}

#include "import/import_preview.h"

#include "db/text.h"
#include "import/import_run.h"
#include "import/plan_model.h"
#include "import/values.h"
#include "setup/category_picker.h"
#include "setup/tree_store.h"
#include "ui/carry_out.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char *const kTitle = "导入账单 - %1";
const char *const kHeading = "%1：%2 行。双击收付、类型或帐户一格可以修改；为一行选的帐户会记住它的付款方式。";
const char *const kTotals = "要记 %1 笔：支出 %2 元，收入 %3 元。跳过 %4 笔，重复 %5 笔，缺类型 %6 笔，缺帐户 %7 笔。";
const char *const kBlocked = "缺类型或缺帐户的行选好之后，或者取消“记入”之后，才能确定。";
const char *const kNothingNew = "没有新的帐要记。";
const char *const kRuleMade = "已记为规则：%1包含“%2”的%3记到“%4”。";
const char *const kRuleMadeCategory = "已记为规则：账单分类是“%1”的%2记到“%3”。";
const char *const kNewAccountTitle = "新建帐户";
const char *const kNewAccountText = "为付款方式“%1”新建一个银行帐户，名字：";
const char *const kPosting = "正在记帐：%1 / %2 笔";
const char *const kDone = "导入了 %1 笔帐 (导入编号 %2)。在“导入记录”里可以撤销这次导入。";
constexpr int kDropDownHeight = 300;

QString text(const std::string &s) { return QString::fromStdString(s); }

} // namespace

CPlanDelegate::CPlanDelegate(db::Connection *connection, QObject *parent)
    : QStyledItemDelegate(parent), m_connection(connection)
{
}

QWidget *CPlanDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    if (index.column() == ImportPlanModel::Type) {
        auto *box = new QComboBox(parent);
        box->addItems({QStringLiteral("付"), QStringLiteral("收")});
        return box;
    }
    auto *picker = new CCategoryPicker(parent);
    const bool income = index.siblingAtColumn(ImportPlanModel::Type).data().toString() == QStringLiteral("收");
    const PickerKind kind = index.column() == ImportPlanModel::Account ? PickerKind::Bank
                            : income                                   ? PickerKind::Income
                                                                       : PickerKind::Expense;
    picker->create(0, kDropDownHeight, kind, m_connection);
    // A node below the root is a choice; the root is none.
    connect(picker, &CCategoryPicker::picked, this, [this, picker](const PickedItem &item) {
        if (!item.path.contains(QLatin1Char('\\')))
            return;
        emit const_cast<CPlanDelegate *>(this)->commitData(picker);
        emit const_cast<CPlanDelegate *>(this)->closeEditor(picker);
    });
    QTimer::singleShot(0, picker, [picker] { picker->showDropDown(); });
    return picker;
}

bool CPlanDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        if (auto *picker = qobject_cast<CCategoryPicker *>(object); picker && picker->isDropDownShown())
            return false;
    return QStyledItemDelegate::eventFilter(object, event);
}

void CPlanDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString value = index.data(Qt::EditRole).toString();
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        box->setCurrentText(value);
    } else if (auto *picker = qobject_cast<CCategoryPicker *>(editor)) {
        // Showing the present value is no choice.
        const QSignalBlocker quiet(picker);
        picker->selectByText(value);
    }
}

void CPlanDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        model->setData(index, box->currentText());
    } else if (auto *picker = qobject_cast<CCategoryPicker *>(editor)) {
        const PickedItem item = picker->currentRecord();
        if (item.path.contains(QLatin1Char('\\')))
            model->setData(index, item.text);
    }
}

CImportPreview::CImportPreview(import::Plan plan, db::Connection &connection, QString fileName, QString handler,
                               db::DateTime now, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_fileName(std::move(fileName)), m_handler(std::move(handler)),
      m_now(now), m_model(new ImportPlanModel(std::move(plan), this)), m_table(new QTableView(this)),
      m_totals(new QLabel(this)), m_status(new QLabel(this)), m_rule(new QPushButton(QStringLiteral("记为规则"), this)),
      m_newAccount(new QPushButton(QStringLiteral("新建帐户"), this)),
      m_confirm(new QPushButton(QStringLiteral("确定"), this))
{
    setWindowTitle(QString::fromUtf8(kTitle).arg(m_fileName));
    auto *heading = new QLabel(QString::fromUtf8(kHeading)
                                   .arg(QString::fromUtf8(import::formatName(m_model->plan().format)))
                                   .arg(m_model->rowCount()),
                               this);
    heading->setWordWrap(true);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new CPlanDelegate(&m_connection, this));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    const std::pair<int, int> widths[] = {{ImportPlanModel::Included, 40},  {ImportPlanModel::Line, 44},
                                          {ImportPlanModel::Decision, 56},  {ImportPlanModel::Time, 118},
                                          {ImportPlanModel::Type, 40},      {ImportPlanModel::Amount, 72},
                                          {ImportPlanModel::Category, 90},  {ImportPlanModel::Account, 96},
                                          {ImportPlanModel::Counterparty, 110}, {ImportPlanModel::Goods, 120},
                                          {ImportPlanModel::Method, 110}};
    for (const auto &[column, width] : widths)
        m_table->setColumnWidth(column, width);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_totals->setWordWrap(true);
    m_status->setWordWrap(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    m_confirm->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_rule);
    buttons->addWidget(m_newAccount);
    buttons->addStretch(1);
    buttons->addWidget(m_confirm);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_totals);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    resize(1080, 600);

    connect(m_model, &ImportPlanModel::planChanged, this, &CImportPreview::refresh);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, &CImportPreview::refresh);
    connect(m_rule, &QPushButton::clicked, this, &CImportPreview::makeRule);
    connect(m_newAccount, &QPushButton::clicked, this, &CImportPreview::createAccount);
    connect(m_confirm, &QPushButton::clicked, this, &CImportPreview::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

int CImportPreview::currentRow() const
{
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CImportPreview::refresh()
{
    const import::PlanTotals t = import::totalsOf(m_model->plan());
    const bool blocked = t.needsCategory + t.needsAccount > 0;
    QString totals = QString::fromUtf8(kTotals)
                         .arg(t.post)
                         .arg(text(import::centsText(t.spending)))
                         .arg(text(import::centsText(t.income)))
                         .arg(t.skip)
                         .arg(t.duplicate)
                         .arg(t.needsCategory)
                         .arg(t.needsAccount);
    if (blocked)
        totals += QString::fromUtf8(kBlocked);
    else if (t.post == 0)
        totals += QString::fromUtf8(kNothingNew);
    m_totals->setText(totals);
    m_confirm->setEnabled(!blocked && t.post > 0);
    const int row = currentRow();
    const bool usable = row >= 0 && m_model->row(row).decision != import::Decision::Duplicate;
    m_rule->setEnabled(usable && m_model->row(row).categorySource == import::kFromUser);
    m_newAccount->setEnabled(usable);
}

void CImportPreview::makeRule()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const import::PlanRow &r = m_model->row(row);
    const import::Rule rule = import::ruleFromCorrection(r.bill, r.type, r.category);
    const QString kind = r.type == "收" ? QStringLiteral("收入") : QStringLiteral("支出");
    if (rule.field == import::RuleField::BillCategory)
        m_status->setText(QString::fromUtf8(kRuleMadeCategory).arg(text(rule.pattern), kind, text(rule.category)));
    else
        m_status->setText(QString::fromUtf8(kRuleMade)
                              .arg(rule.field == import::RuleField::Counterparty ? QStringLiteral("对方")
                                                                                 : QStringLiteral("商品说明"),
                                   text(rule.pattern), kind, text(rule.category)));
    m_model->addRule(rule);
}

void CImportPreview::createAccount()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const QString method = text(import::methodOf(m_model->plan(), m_model->row(row)));
    bool ok = false;
    const QString name = QInputDialog::getText(this, QString::fromUtf8(kNewAccountTitle),
                                               QString::fromUtf8(kNewAccountText).arg(method), QLineEdit::Normal,
                                               method.section(QLatin1Char(':'), -1), &ok)
                             .trimmed();
    if (!ok || name.isEmpty())
        return;
    const std::string account = name.toStdString();
    const bool made = ui::carryOut(this, [&] {
        if (setup::nameInUse(m_connection, setup::TreeKind::Bank, account))
            return db::Result::ok();
        return setup::addNode(m_connection, setup::TreeKind::Bank, setup::treeSpec(setup::TreeKind::Bank).rootText,
                              account);
    });
    if (made)
        m_model->mapMethod(method, name);
}

void CImportPreview::confirm()
{
    QProgressDialog *progress = nullptr;
    import::CommitOptions options;
    options.fileName = m_fileName.toStdString();
    options.handler = m_handler.toStdString();
    options.now = m_now;
    options.progress = [&](int done, int total) {
        if (total < kProgressRows)
            return true;
        if (!progress) {
            progress = new QProgressDialog(QString(), QStringLiteral("取消"), 0, total, this);
            progress->setWindowTitle(windowTitle());
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        if (done % 50 == 0 || done == total) {
            progress->setLabelText(QString::fromUtf8(kPosting).arg(done).arg(total));
            progress->setValue(done);
            QCoreApplication::processEvents();
        }
        return !progress->wasCanceled();
    };
    import::CommitOutcome outcome;
    const bool done = ui::carryOut(this, [&] {
        outcome = import::commitPlan(m_connection, m_model->plan(), options);
        return outcome.result;
    });
    delete progress;
    if (!done)
        return;
    m_posted = outcome.posted;
    m_importNumber = outcome.importNumber;
    if (outcome.importNumber == 0)
        ui::inform(this, QString::fromUtf8(kNothingNew));
    else
        ui::inform(this, QString::fromUtf8(kDone).arg(outcome.posted).arg(outcome.importNumber));
    accept();
}

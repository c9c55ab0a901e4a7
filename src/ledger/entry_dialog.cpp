#include "ledger/entry_dialog.h"

#include "db/connection.h"
#include "db/dates.h"
#include "ledger/entry_lists.h"
#include "ledger/ledger_commands.h"
#include "setup/category_picker.h"
#include "ui/amount_calculator.h"
#include "ui/calculator_dialog.h"
#include "ui/carry_out.h"
#include "ui/date_typing.h"
#include "ui/name_order.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

using namespace ledger::ctl;

namespace {

const char *const kCaption = "日常收入或者支出";
const char *const kFontFamily = "宋体";
constexpr int kFontPoints = 9;
const char *const kDateTimeFormat = "yyyy'/'MM'/'dd  HH':'mm";
const char *const kTypes[] = {"收", "付", "存", "取"};
const char *const kIncomeRoot = "收入类型";
const char *const kBankRoot = "我的存款银行";
const char *const kInvestment = "投资";

struct ListColumn {
    const char *caption;
    int width;
};
const ListColumn kInvestColumns[] = {{"支出编号", 60}, {"投资类型", 95}, {"金额", 60}, {"时间", 110}};

// The fields that the investment pick list takes the place of.
const int kLowerFields[] = {
    IDC_ACCOUNT_LABEL, IDC_ACCOUNT, IDC_DESCRIPTION_LABEL, IDC_DESCRIPTION,   IDOK,        IDCANCEL,
    IDC_AMOUNT_LABEL,  IDC_AMOUNT,  IDC_CALCULATOR,        IDC_HANDLER_LABEL, IDC_HANDLER, IDC_FRAME};
// The starting entry of an investment and its amount.
const int kInvestmentFields[] = {IDC_START_LABEL, IDC_START_NUMBER, IDC_INVESTED_LABEL, IDC_INVESTED};

// The picker kind that holds the categories of an entry type.
PickerKind kindOfType(const QString &type)
{
    if (type == QStringLiteral("收"))
        return PickerKind::Income;
    if (type == QStringLiteral("存"))
        return PickerKind::Deposit;
    if (type == QStringLiteral("取"))
        return PickerKind::Withdrawal;
    return PickerKind::Expense;
}

// A small calculator: body, display and keys.
QIcon calculatorIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(2, 0, 11, 15);
    p.setBrush(QColor(150, 200, 150));
    p.drawRect(4, 2, 7, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            p.drawRect(4 + column * 3, 7 + row * 3, 2, 2);
    return QIcon(pixmap);
}

std::string text(const QString &value) { return value.toStdString(); }

// A label of the form, in dialog units.
struct LabelRow {
    int id; // 0 for a label nothing refers to
    const char *caption;
    int x, y, width, height;
};
const LabelRow kLabels[] = {
    {0, "序号", 4, 13, 21, 8},
    {0, "日期", 67, 13, 16, 8},
    {0, "类型", 174, 12, 17, 8},
    {0, "帐目类型", 4, 29, 33, 8},
    {IDC_AMOUNT_LABEL, "金额", 4, 49, 22, 8},
    {IDC_DESCRIPTION_LABEL, "说明", 4, 85, 19, 8},
    {IDC_HANDLER_LABEL, "经手人", 126, 49, 25, 9},
    {IDC_ACCOUNT_LABEL, "现金或银行", 4, 65, 41, 9},
    {IDC_INVESTED_LABEL, "原金额", 161, 29, 25, 9},
    {IDC_START_LABEL, "原编号", 112, 29, 24, 10},
};

} // namespace

CEntryDialog::CEntryDialog(db::Connection *connection, QWidget *parent) : QDialog(parent), m_connection(connection)
{
    setWindowTitle(QString::fromUtf8(kCaption));
    QFont font(QString::fromUtf8(kFontFamily));
    font.setPointSize(kFontPoints);
    setFont(font);
    // Dialog units: a quarter of the average width of the Latin letters and
    // an eighth of the character height of the dialog's font.
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_baseHeight = metrics.height();

    // The fields are created in the order of the form, which is also the
    // tab order; the labels take no focus and come from a table.
    for (const LabelRow &label : kLabels)
        addLabel(label.id, label.caption, label.x, label.y, label.width, label.height);
    m_ok = add(IDOK, new QPushButton(QStringLiteral("确定"), this), 50, 110, 42, 13);
    m_ok->setDefault(true);
    auto *close = add(IDCANCEL, new QPushButton(QStringLiteral("关闭"), this), 119, 110, 42, 13);
    close->setAutoDefault(false);
    m_number = add(IDC_NUMBER, new QLineEdit(this), 38, 11, 26, 12);
    m_dateTime = add(IDC_DATE_TIME, new QDateTimeEdit(this), 89, 10, 83, 12);
    m_dateTime->setCalendarPopup(true);
    ui::guardDateTyping(m_dateTime);
    m_amount = add(IDC_AMOUNT, new QLineEdit(this), 38, 47, 56, 12);
    m_description = add(IDC_DESCRIPTION, new QLineEdit(this), 38, 83, 183, 13);
    // The drop-down lists' own heights are those of their lists; the fields
    // are as high as an edit.
    m_type = add(IDC_TYPE, new QComboBox(this), 193, 9, 29, 12);
    for (const char *type : kTypes)
        m_type->addItem(QString::fromUtf8(type));
    m_category = add(IDC_CATEGORY, new CCategoryPicker(this), 38, 27, 71, 12);
    m_handler = add(IDC_HANDLER, new QComboBox(this), 153, 46, 69, 12);
    m_handler->setEditable(true);
    m_handler->setInsertPolicy(QComboBox::NoInsert);
    m_account = add(IDC_ACCOUNT, new CCategoryPicker(this), 46, 63, 176, 12);
    auto *calculator = add(IDC_CALCULATOR, new QPushButton(this), 95, 47, 17, 12);
    calculator->setAutoDefault(false);
    auto *frame = add(IDC_FRAME, new QGroupBox(this), 0, 0, 227, 102);
    frame->lower();
    m_investList = add(IDC_INVEST_LIST, new QTableWidget(this), 2, 47, 221, 83);
    setUpInvestmentList(metrics.height());
    m_invested = add(IDC_INVESTED, new QLineEdit(this), 187, 27, 34, 12);
    m_startNumber = add(IDC_START_NUMBER, new QLineEdit(this), 136, 27, 24, 12);
    setInvestmentFieldsVisible(false);
    setFixedSize(dialogRect(0, 0, 227, 131).size());

    connect(m_ok, &QPushButton::clicked, this, &CEntryDialog::confirm);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(calculator, &QPushButton::clicked, this, &CEntryDialog::openCalculator);
    connect(m_type, &QComboBox::currentIndexChanged, this, &CEntryDialog::onTypeChanged);
    connect(m_category, &CCategoryPicker::picked, this, &CEntryDialog::onPicked);
    connect(m_account, &CCategoryPicker::picked, this, &CEntryDialog::onPicked);
}

void CEntryDialog::setUpInvestmentList(int rowTextHeight)
{
    m_investList->setVisible(false);
    m_investList->verticalHeader()->hide();
    m_investList->verticalHeader()->setDefaultSectionSize(rowTextHeight + 6);
    m_investList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_investList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_investList->installEventFilter(this);
    connect(m_investList, &QTableWidget::cellDoubleClicked, this, &CEntryDialog::pickStartingEntry);
}

QRect CEntryDialog::dialogRect(int x, int y, int width, int height) const
{
    auto horizontal = [this](int units) { return (units * m_baseWidth + 2) / 4; };
    auto vertical = [this](int units) { return (units * m_baseHeight + 4) / 8; };
    return QRect(horizontal(x), vertical(y), horizontal(width), vertical(height));
}

template <class Widget> Widget *CEntryDialog::add(int id, Widget *widget, int x, int y, int width, int height)
{
    widget->setGeometry(dialogRect(x, y, width, height));
    if (id) {
        widget->setObjectName(QString::number(id));
        m_controls[id] = widget;
    }
    return widget;
}

QWidget *CEntryDialog::addLabel(int id, const char *caption, int x, int y, int width, int height)
{
    return add(id, new QLabel(QString::fromUtf8(caption), this), x, y, width, height);
}

QWidget *CEntryDialog::control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void CEntryDialog::setNumberReadOnly(bool readOnly) { m_number->setReadOnly(readOnly); }

void CEntryDialog::showEvent(QShowEvent *event)
{
    if (!m_initialized)
        initialize();
    QDialog::showEvent(event);
    m_amount->setFocus();
}

void CEntryDialog::initialize()
{
    m_initialized = true;
    // The values into the controls.
    m_number->setText(m_form.number);
    m_amount->setText(m_form.amount);
    m_description->setText(m_form.description);
    m_dateTime->setDateTime(m_form.dateTime);
    m_invested->setText(m_form.invested);
    m_startNumber->setText(m_form.startNumber);

    m_investList->setVisible(false);
    m_dateTime->setDisplayFormat(QString::fromUtf8(kDateTimeFormat));
    m_category->resize(kCategoryWidth, m_category->height());
    setInvestmentFieldsVisible(false);

    m_handler->clear();
    if (m_connection) {
        ui::carryOut(this, [&] {
            QStringList names;
            for (const std::string &name : ledger::handlerNames(*m_connection))
                names << QString::fromStdString(name);
            ui::sortNames(names);
            m_handler->addItems(names);
        });
    }
    // Kept after the list is filled: a change keeps the entry's handler.
    m_handler->setCurrentText(m_form.handler);

    const QString type = m_form.presetType.trimmed();
    {
        const QSignalBlocker blocker(m_type);
        m_type->setCurrentIndex(m_type->findText(type));
    }
    if (type == QStringLiteral("收")) {
        fillPicker(m_category, kindOfType(type));
        m_category->selectByText(m_form.presetCategory);
        fillPicker(m_account, PickerKind::Bank);
        m_account->selectByText(m_form.account);
        // An investment's income opens with the fields it filled, the list
        // put away.
        m_investList->setVisible(false);
        setLowerFieldsVisible(true);
    } else if (type == QStringLiteral("付")) {
        fillPicker(m_category, kindOfType(type));
        m_category->selectByText(m_form.presetCategory);
        fillPicker(m_account, PickerKind::Bank);
        m_account->selectByText(m_form.account);
    } else if (type == QStringLiteral("存") || type == QStringLiteral("取")) {
        fillPicker(m_category, kindOfType(type));
        m_category->selectRoot();
        fillPicker(m_account, PickerKind::Bank);
        m_account->selectByText(m_form.account);
    } else {
        fillPicker(m_account, PickerKind::Bank);
        fillPicker(m_category, kindOfType(QStringLiteral("付")));
        const QSignalBlocker blocker(m_type);
        m_type->setCurrentIndex(m_type->findText(QStringLiteral("付")));
    }
    static_cast<QPushButton *>(control(IDC_CALCULATOR))->setIcon(calculatorIcon());
}

void CEntryDialog::fillPicker(CCategoryPicker *picker, PickerKind kind)
{
    picker->create(0, kDropDownHeight, kind, m_connection);
}

void CEntryDialog::onTypeChanged()
{
    const QString type = m_type->currentText().trimmed();
    fillPicker(m_category, kindOfType(type));
    m_category->selectRoot();
}

void CEntryDialog::onPicked(const PickedItem &item, PickerKind kind)
{
    const QString &path = item.path;
    const QString last = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    if (kind == PickerKind::Bank) {
        // An account never changes the layout.
        m_form.account = last;
        return;
    }
    m_form.category = last;
    const int firstSeparator = path.indexOf(QLatin1Char('\\'));
    const QString first = firstSeparator < 0 ? QString() : path.left(firstSeparator);
    if (first == QString::fromUtf8(kBankRoot))
        return;
    if (first == QString::fromUtf8(kIncomeRoot) && path.indexOf(QString::fromUtf8(kInvestment), 1) > 0)
        showInvestmentLayout(item.text);
    else
        showNormalLayout();
}

void CEntryDialog::setLowerFieldsVisible(bool visible)
{
    for (int id : kLowerFields)
        control(id)->setVisible(visible);
}

void CEntryDialog::setInvestmentFieldsVisible(bool visible)
{
    for (int id : kInvestmentFields)
        control(id)->setVisible(visible);
}

void CEntryDialog::showNormalLayout()
{
    m_investmentMode = false;
    m_category->resize(kCategoryWidth, m_category->height());
    setInvestmentFieldsVisible(false);
    m_investList->setVisible(false);
    setLowerFieldsVisible(true);
}

void CEntryDialog::showInvestmentLayout(const QString &name)
{
    m_investmentMode = true;
    m_investList->setVisible(true);
    setLowerFieldsVisible(false);
    m_category->resize(kInvestCategoryWidth, m_category->height());
    setInvestmentFieldsVisible(true);
    loadInvestmentList(name);
}

void CEntryDialog::loadInvestmentList(const QString &name)
{
    m_investList->clear();
    m_investList->setRowCount(0);
    m_investList->setColumnCount(static_cast<int>(std::size(kInvestColumns)));
    for (int i = 0; i < m_investList->columnCount(); ++i) {
        auto *header = new QTableWidgetItem(QString::fromUtf8(kInvestColumns[i].caption));
        header->setTextAlignment(Qt::AlignCenter);
        m_investList->setHorizontalHeaderItem(i, header);
        m_investList->setColumnWidth(i, kInvestColumns[i].width);
    }
    if (m_connection) {
        ui::carryOut(this, [&] {
            const std::vector<ledger::InvestmentStart> rows = ledger::investmentStarts(*m_connection, text(name));
            m_investList->setRowCount(static_cast<int>(rows.size()));
            for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
                const ledger::InvestmentStart &row = rows[r];
                const std::string *cells[] = {&row.number, &row.category, &row.amount, &row.date};
                for (int c = 0; c < 4; ++c) {
                    auto *item = new QTableWidgetItem(QString::fromStdString(*cells[c]));
                    item->setTextAlignment(Qt::AlignCenter);
                    m_investList->setItem(r, c, item);
                }
            }
        });
    }
    m_investList->setShowGrid(true);
    m_investList->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void CEntryDialog::pickStartingEntry(int row)
{
    if (row < 0 || row >= m_investList->rowCount())
        return;
    auto cell = [this, row](int column) {
        const QTableWidgetItem *item = m_investList->item(row, column);
        return item ? item->text() : QString();
    };
    m_startNumber->setText(cell(0));
    m_startNumber->setEnabled(false);
    const QString amount = cell(2);
    m_invested->setText(amount.isEmpty() ? QStringLiteral("0") : amount);
    m_investList->setVisible(false);
    setLowerFieldsVisible(true);
    m_amount->setFocus();
}

bool CEntryDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row of the pick list takes it, as a double click does.
    if (watched == m_investList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pickStartingEntry(m_investList->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CEntryDialog::openCalculator()
{
    CCalculatorDialog calculator(frameGeometry(), this);
    connect(&calculator, &CCalculatorDialog::keyCode, this, &CEntryDialog::applyCalculatorKey);
    calculator.exec();
}

void CEntryDialog::applyCalculatorKey(int code)
{
    const ui::CalculatorResult result = ui::applyCalculatorKey(text(m_amount->text()), code);
    m_amount->setText(QString::fromStdString(result.text));
    if (!result.status)
        ui::inform(this, result.status.message);
}

void CEntryDialog::confirm()
{
    m_form.number = m_number->text();
    m_form.type = m_type->currentText();
    m_form.amount = m_amount->text();
    m_form.description = m_description->text();
    m_form.dateTime = m_dateTime->dateTime();
    m_form.handler = m_handler->currentText();
    m_form.invested = m_invested->text();
    m_form.startNumber = m_startNumber->text();
    accept();
}

ledger::Entry CEntryDialog::entry() const
{
    const QDateTime &when = m_form.dateTime;
    const db::DateTime date{when.date().year(), when.date().month(),  when.date().day(),
                            when.time().hour(), when.time().minute(), 0};
    ledger::Entry e;
    e.number = text(m_form.number);
    e.date = db::formatDateTime(date);
    e.type = text(m_form.type);
    e.category = text(m_form.category);
    e.amount = text(m_form.amount);
    e.description = text(m_form.description);
    e.handler = text(m_form.handler);
    e.bank = text(m_form.account);
    e.invested = text(m_form.invested);
    return e;
}

#include "import/bank_mapping_dialog.h"

#include "import/file_table.h"
#include "import/header_row.h"
#include "ui/carry_out.h"

#include <algorithm>
#include <iterator>

#include <QComboBox>
#include <QFont>
#include <QSignalBlocker>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *const kTitle = "对帐单格式 - %1";
const char *const kNone = "（无）";
const char *const kReads = "按这样设置能读出 %1 笔。";
const char *const kEncodings[] = {"自动", "UTF-8", "GBK", "UTF-16"};

// What a column holds, as its header often says it; the first match is taken.
const std::pair<const char *, std::vector<const char *>> kGuesses[] = {
    {"date", {"交易日期", "记账日期", "日期", "时间"}}, {"time", {"交易时间"}}, {"amount", {"交易金额", "金额", "发生额"}},
    {"debit", {"支出", "借方", "转出"}},               {"credit", {"收入", "贷方", "存入", "转入"}},
    {"counterparty", {"对方户名", "对方", "交易对手", "商户"}}, {"description", {"摘要", "交易备注", "说明", "用途", "交易类型", "备注"}},
    {"reference", {"流水号", "交易流水", "凭证号"}},
};

QString text(const std::string &s) { return QString::fromStdString(s); }

// The name a combo shows, "" for the none item.
std::string chosen(const QComboBox *box)
{
    const QString t = box->currentText();
    return t == QString::fromUtf8(kNone) ? std::string() : t.toStdString();
}

} // namespace

CBankMappingDialog::CBankMappingDialog(const QString &path, db::Connection &connection,
                                       const std::optional<import::BankMapping> &preset, QWidget *parent)
    : QDialog(parent), m_path(path), m_connection(connection), m_name(new QLineEdit(this)),
      m_encoding(new QComboBox(this)), m_headerRow(new QSpinBox(this)), m_date(new QComboBox(this)),
      m_time(new QComboBox(this)), m_amount(new QComboBox(this)), m_debit(new QComboBox(this)),
      m_credit(new QComboBox(this)), m_counterparty(new QComboBox(this)), m_description(new QComboBox(this)),
      m_reference(new QComboBox(this)), m_order(new QComboBox(this)), m_sign(new QComboBox(this)),
      m_oneColumn(new QRadioButton(QStringLiteral("一列金额"), this)),
      m_twoColumns(new QRadioButton(QStringLiteral("支出和收入分两列"), this)), m_preview(new QTableWidget(this)),
      m_trial(new QLabel(this))
{
    setWindowTitle(QString::fromUtf8(kTitle).arg(QFileInfo(path).fileName()));
    for (const char *name : kEncodings)
        m_encoding->addItem(QString::fromUtf8(name));
    for (import::DateOrder order : {import::DateOrder::YearFirst, import::DateOrder::MonthFirst, import::DateOrder::DayFirst})
        m_order->addItem(QString::fromUtf8(import::dateOrderName(order)));
    for (import::AmountSign sign : {import::AmountSign::NegativeIsSpending, import::AmountSign::PositiveIsSpending})
        m_sign->addItem(QString::fromUtf8(import::amountSignName(sign)));
    m_name->setText(preset ? text(preset->name) : QFileInfo(path).completeBaseName());
    if (preset) {
        m_encoding->setCurrentText(QString::fromUtf8(import::encodingName(preset->encoding)));
        m_order->setCurrentText(QString::fromUtf8(import::dateOrderName(preset->dateOrder)));
        m_sign->setCurrentText(QString::fromUtf8(import::amountSignName(preset->sign)));
    }
    m_headerRow->setMinimum(1);

    auto *grid = new QGridLayout;
    const std::pair<const char *, QWidget *> fields[] = {
        {"名称", m_name},         {"编码", m_encoding},      {"表头在第几行", m_headerRow}, {"日期", m_date},
        {"时间 (可选)", m_time},  {"日期的写法", m_order},   {"对方", m_counterparty},     {"说明", m_description},
        {"流水号 (可选)", m_reference},
    };
    int at = 0;
    for (const auto &[label, widget] : fields) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), at / 3, (at % 3) * 2);
        grid->addWidget(widget, at / 3, (at % 3) * 2 + 1);
        ++at;
    }
    for (int column : {1, 3, 5})
        grid->setColumnStretch(column, 1);
    auto *amounts = new QHBoxLayout;
    amounts->addWidget(m_oneColumn);
    amounts->addWidget(m_amount);
    amounts->addWidget(m_sign);
    amounts->addSpacing(24);
    amounts->addWidget(m_twoColumns);
    amounts->addWidget(new QLabel(QStringLiteral("支出"), this));
    amounts->addWidget(m_debit);
    amounts->addWidget(new QLabel(QStringLiteral("收入"), this));
    amounts->addWidget(m_credit);
    amounts->addStretch(1);
    m_oneColumn->setChecked(true);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_trial->setWordWrap(true);
    auto *save = new QPushButton(QStringLiteral("保存"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    save->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(amounts);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_trial);
    layout->addLayout(buttons);
    resize(980, 560);

    loadFile();
    if (preset) {
        if (const auto row = import::mappedHeaderRow(m_table, *preset))
            m_headerRow->setValue(static_cast<int>(*row) + 1);
    }
    fillColumns();
    guessColumns(preset);
    updateTrial();

    connect(m_encoding, &QComboBox::currentIndexChanged, this, [this] {
        loadFile();
        fillColumns();
        guessColumns(std::nullopt);
        updateTrial();
    });
    connect(m_headerRow, &QSpinBox::valueChanged, this, [this] {
        fillColumns();
        guessColumns(std::nullopt);
        updateTrial();
    });
    for (QComboBox *box : {m_date, m_time, m_amount, m_debit, m_credit, m_counterparty, m_description, m_reference,
                           m_order, m_sign})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            rememberColumns();
            updateTrial();
        });
    connect(m_oneColumn, &QRadioButton::toggled, this, &CBankMappingDialog::updateTrial);
    connect(save, &QPushButton::clicked, this, &CBankMappingDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QComboBox *CBankMappingDialog::columnBox(const char *which) const
{
    const std::pair<const char *, QComboBox *> boxes[] = {
        {"date", m_date},       {"time", m_time},           {"amount", m_amount},           {"debit", m_debit},
        {"credit", m_credit},   {"counterparty", m_counterparty}, {"description", m_description}, {"reference", m_reference}};
    for (const auto &[name, box] : boxes)
        if (std::string_view(name) == which)
            return box;
    return nullptr;
}

void CBankMappingDialog::loadFile()
{
    import::Encoding encoding = import::encodingNamed(m_encoding->currentText().toStdString());
    m_table = import::Table();
    m_loadProblem.clear();
    if (db::Result r = import::loadTable(m_path.toStdString(), encoding, m_table); !r)
        m_loadProblem = text(r.message);
    const int shown = static_cast<int>(std::min<std::size_t>(m_table.rows.size(), kPreviewRows));
    int width = 0;
    for (int r = 0; r < shown; ++r)
        width = std::max(width, static_cast<int>(m_table.rows[static_cast<std::size_t>(r)].cells.size()));
    m_preview->clear();
    m_preview->setRowCount(shown);
    m_preview->setColumnCount(width);
    for (int r = 0; r < shown; ++r) {
        const import::TableRow &row = m_table.rows[static_cast<std::size_t>(r)];
        m_preview->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(row.line)));
        for (std::size_t c = 0; c < row.cells.size(); ++c)
            m_preview->setItem(r, static_cast<int>(c), new QTableWidgetItem(text(import::cleanCell(row.cells[c].text))));
    }
    const QSignalBlocker quiet(m_headerRow);
    m_headerRow->setMaximum(std::max(1, shown));
    m_headerRow->setValue(static_cast<int>(import::guessHeaderRow(m_table)) + 1);
}

void CBankMappingDialog::fillColumns()
{
    QStringList names;
    const std::size_t row = static_cast<std::size_t>(m_headerRow->value() - 1);
    if (row < m_table.rows.size())
        for (const import::Cell &cell : m_table.rows[row].cells)
            if (const QString name = text(import::cleanCell(cell.text)); !name.isEmpty())
                names << name;
    for (int r = 0; r < m_preview->rowCount(); ++r)
        for (int c = 0; c < m_preview->columnCount(); ++c)
            if (QTableWidgetItem *item = m_preview->item(r, c)) {
                QFont font = item->font();
                font.setBold(r == static_cast<int>(row));
                item->setFont(font);
            }
    // A column chosen before stays chosen while the header still has it.
    for (QComboBox *box : {m_date, m_time, m_amount, m_debit, m_credit, m_counterparty, m_description, m_reference}) {
        const QSignalBlocker quiet(box);
        const QString previous = m_wanted.value(box, box->currentText());
        box->clear();
        if (box != m_date)
            box->addItem(QString::fromUtf8(kNone));
        box->addItems(names);
        // The date has no "none": left unset, it is guessed again.
        box->setCurrentIndex(box == m_date ? box->findText(previous) : std::max(0, box->findText(previous)));
    }
}

void CBankMappingDialog::guessColumns(const std::optional<import::BankMapping> &preset)
{
    const std::string *given[std::size(kGuesses)] = {};
    if (preset) {
        const std::string *columns[] = {&preset->dateColumn,        &preset->timeColumn,   &preset->amountColumn,
                                        &preset->debitColumn,       &preset->creditColumn, &preset->counterpartyColumn,
                                        &preset->descriptionColumn, &preset->referenceColumn};
        std::copy(std::begin(columns), std::end(columns), given);
    }
    for (std::size_t i = 0; i < std::size(kGuesses); ++i) {
        QComboBox *box = columnBox(kGuesses[i].first);
        const QSignalBlocker quiet(box);
        if (given[i]) {
            box->setCurrentText(given[i]->empty() ? QString::fromUtf8(kNone) : text(*given[i]));
            continue;
        }
        if (box->currentIndex() > 0 || (box == m_date && box->currentIndex() == 0))
            continue;
        for (const char *candidate : kGuesses[i].second) {
            const int found = box->findText(QString::fromUtf8(candidate), Qt::MatchContains);
            if (found >= 0) {
                box->setCurrentIndex(found);
                break;
            }
        }
    }
    if (m_date->currentIndex() < 0 && m_date->count() > 0)
        m_date->setCurrentIndex(0);
    // A file with a date and time in one column: no time column of its own.
    if (!preset && m_time->currentText() == m_date->currentText())
        m_time->setCurrentIndex(0);
    if (!m_chosen) {
        const bool two = preset ? preset->amountColumn.empty()
                                : m_amount->currentIndex() <= 0 || (m_debit->currentIndex() > 0 && m_credit->currentIndex() > 0);
        m_twoColumns->setChecked(two);
        m_oneColumn->setChecked(!two);
    }
    m_chosen = true;
    rememberColumns();
}

void CBankMappingDialog::rememberColumns()
{
    // A file that does not read in the chosen encoding has no names to keep.
    if (m_date->count() == 0)
        return;
    for (QComboBox *box : {m_date, m_time, m_amount, m_debit, m_credit, m_counterparty, m_description, m_reference})
        m_wanted[box] = box->currentText();
}

import::BankMapping CBankMappingDialog::mapping() const
{
    import::BankMapping m;
    m.name = m_name->text().trimmed().toStdString();
    m.encoding = import::encodingNamed(m_encoding->currentText().toStdString());
    m.dateColumn = chosen(m_date);
    m.timeColumn = chosen(m_time);
    if (m_oneColumn->isChecked()) {
        m.amountColumn = chosen(m_amount);
    } else {
        m.debitColumn = chosen(m_debit);
        m.creditColumn = chosen(m_credit);
    }
    m.sign = import::amountSignNamed(m_sign->currentText().toStdString());
    m.dateOrder = import::dateOrderNamed(m_order->currentText().toStdString());
    m.counterpartyColumn = chosen(m_counterparty);
    m.descriptionColumn = chosen(m_description);
    m.referenceColumn = chosen(m_reference);
    const std::size_t row = static_cast<std::size_t>(m_headerRow->value() - 1);
    if (row < m_table.rows.size())
        m.header = import::headerSignature(m_table.rows[row]);
    return m;
}

QString CBankMappingDialog::trialText() const
{
    if (!m_loadProblem.isEmpty())
        return m_loadProblem;
    const import::BankMapping m = mapping();
    if (db::Result checked = import::checkMapping(m); !checked)
        return text(checked.message);
    const import::BillRead read = import::readBank(m_table, m);
    return read.result ? QString::fromUtf8(kReads).arg(read.bill.rows.size()) : text(read.result.message);
}

void CBankMappingDialog::updateTrial()
{
    m_amount->setEnabled(m_oneColumn->isChecked());
    m_sign->setEnabled(m_oneColumn->isChecked());
    m_debit->setEnabled(!m_oneColumn->isChecked());
    m_credit->setEnabled(!m_oneColumn->isChecked());
    m_trial->setText(trialText());
}

void CBankMappingDialog::save()
{
    const import::BankMapping m = mapping();
    const bool saved = ui::carryOut(this, [&] {
        if (!m_loadProblem.isEmpty())
            return db::Result::refused(m_loadProblem.toStdString());
        if (db::Result checked = import::checkMapping(m); !checked)
            return checked;
        if (const import::BillRead read = import::readBank(m_table, m); !read.result)
            return read.result;
        return import::saveMapping(m_connection, m);
    });
    if (saved)
        accept();
}

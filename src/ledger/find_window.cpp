#include "ledger/find_window.h"

#include "ledger/cell_table_model.h"
#include "ui/carry_out.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "查找记录";
const char *const kTypes[] = {"全部", "收", "付", "存", "取"};
const char *const kTextHint = "类型、帐户、经手人或说明中的文字";
const char *const kDayFormat = "yyyy/MM/dd";
const char *const kNothingFound = "没有找到符合条件的记录";
const char *const kHint = "双击一条记录可以修改它";
const int kColumnWidths[] = {50, 130, 50, 100, 100, 100, 60, 200};

QDate toQDate(const db::DateTime &t) { return QDate(t.year, t.month, t.day); }
} // namespace

CFindWindow::CFindWindow(db::Connection &connection, ChangeEntry change, const db::DateTime &today, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_change(std::move(change))
{
    setWindowTitle(QString::fromUtf8(kTitle));
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(QString::fromUtf8(kTextHint));
    m_text->setClearButtonEnabled(true);
    m_type = new QComboBox(this);
    for (const char *type : kTypes)
        m_type->addItem(QString::fromUtf8(type));
    m_least = new QLineEdit(this);
    m_most = new QLineEdit(this);
    for (QLineEdit *field : {m_least, m_most})
        field->setPlaceholderText(QStringLiteral("不限"));
    m_dates = new QCheckBox(QStringLiteral("日期从"), this);
    m_from = new QDateEdit(toQDate(today).addMonths(-1), this);
    m_to = new QDateEdit(toQDate(today), this);
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setDisplayFormat(QString::fromLatin1(kDayFormat));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    m_find = new QPushButton(QStringLiteral("查找"), this);
    m_find->setDefault(true);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setAutoDefault(false);

    QStringList captions;
    for (int column = 0; column < ledger::kFoundColumns; ++column)
        captions << QString::fromUtf8(ledger::foundCaption(column));
    m_model = new CellTableModel(captions, this);
    m_results = new QTableView(this);
    m_results->setModel(m_model);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setWordWrap(false);
    m_results->verticalHeader()->hide();
    m_results->verticalHeader()->setDefaultSectionSize(m_results->fontMetrics().height() + 6);
    m_results->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < ledger::kFoundColumns; ++column)
        m_results->setColumnWidth(column, kColumnWidths[column]);
    m_summary = new QLabel(QString::fromUtf8(kHint), this);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("文字"), this), 0, 0);
    fields->addWidget(m_text, 0, 1, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("收付"), this), 0, 4);
    fields->addWidget(m_type, 0, 5);
    fields->addWidget(new QLabel(QStringLiteral("金额从"), this), 1, 0);
    fields->addWidget(m_least, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("到"), this), 1, 2);
    fields->addWidget(m_most, 1, 3);
    fields->addWidget(m_dates, 2, 0);
    fields->addWidget(m_from, 2, 1);
    fields->addWidget(new QLabel(QStringLiteral("到"), this), 2, 2);
    fields->addWidget(m_to, 2, 3);
    fields->addWidget(m_find, 2, 5);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_results, 1);
    layout->addLayout(bottom);
    resize(900, 520);

    connect(m_dates, &QCheckBox::toggled, this, [this](bool on) {
        m_from->setEnabled(on);
        m_to->setEnabled(on);
    });
    connect(m_find, &QPushButton::clicked, this, &CFindWindow::find);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_results, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { openEntry(index.row()); });
}

ledger::FindQuery CFindWindow::query() const
{
    ledger::FindQuery q;
    q.text = m_text->text().toStdString();
    if (m_type->currentIndex() > 0)
        q.type = m_type->currentText().toStdString();
    q.least = m_least->text().trimmed().toStdString();
    q.most = m_most->text().trimmed().toStdString();
    if (m_dates->isChecked()) {
        q.from = m_from->date().toString(QStringLiteral("yyyyMMdd")).toStdString();
        q.to = m_to->date().toString(QStringLiteral("yyyyMMdd")).toStdString();
    }
    return q;
}

void CFindWindow::find()
{
    ledger::FoundEntries found;
    if (!ui::carryOut(this, [&] { return ledger::findEntries(m_connection, query(), found); }))
        return;
    const bool none = found.rows.rowCount() == 0;
    m_summary->setText(none ? QString::fromUtf8(kNothingFound)
                            : QString::fromStdString(ledger::foundSummary(found)) + QStringLiteral("    ") +
                                  QString::fromUtf8(kHint));
    m_model->setRows(std::move(found.rows));
}

void CFindWindow::openEntry(int row)
{
    const QString number = m_model->cell(row, ledger::kFoundNumber);
    if (number.isEmpty() || !m_change)
        return;
    if (m_change(number, this))
        find();
}

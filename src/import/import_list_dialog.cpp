#include "import/import_list_dialog.h"

#include "import/import_run.h"
#include "ui/carry_out.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "导入记录";
const char *const kHeaders[] = {"编号", "时间", "文件", "格式", "行数", "记帐笔数", "撤销"};
const char *const kAsk = "撤销编号为 %1 的导入 (%2)？这次导入记的帐都将删除。";
const char *const kUndone = "已撤销编号为 %1 的导入，删除了 %2 笔帐。";
const char *const kUndoneAt = "已撤销 %1";
} // namespace

CImportListDialog::CImportListDialog(db::Connection &connection, Clock clock, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_clock(std::move(clock)), m_table(new QTableWidget(this)),
      m_undo(new QPushButton(QStringLiteral("撤销这次导入"), this))
{
    setWindowTitle(QString::fromUtf8(kTitle));
    m_table->setColumnCount(static_cast<int>(std::size(kHeaders)));
    QStringList headers;
    for (const char *header : kHeaders)
        headers << QString::fromUtf8(header);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {44, 118, 200, 80, 50, 70};
    for (int c = 0; c < static_cast<int>(std::size(widths)); ++c)
        m_table->setColumnWidth(c, widths[c]);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_undo);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(760, 380);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &CImportListDialog::updateButton);
    connect(m_undo, &QPushButton::clicked, this, &CImportListDialog::undoChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

void CImportListDialog::reload()
{
    std::vector<import::ImportRecord> records;
    ui::carryOut(this, [&] { records = import::listImports(m_connection); });
    m_table->setRowCount(static_cast<int>(records.size()));
    for (int r = 0; r < static_cast<int>(records.size()); ++r) {
        const import::ImportRecord &record = records[static_cast<std::size_t>(r)];
        const QString cells[] = {QString::number(record.number),
                                 QString::fromStdString(record.time),
                                 QString::fromStdString(record.fileName),
                                 QString::fromStdString(record.format),
                                 QString::number(record.rows),
                                 QString::number(record.posted),
                                 record.undone.empty() ? QString()
                                                       : QString::fromUtf8(kUndoneAt).arg(QString::fromStdString(record.undone))};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    if (!records.empty())
        m_table->selectRow(0);
    updateButton();
}

void CImportListDialog::updateButton()
{
    const int row = m_table->currentRow();
    m_undo->setEnabled(row >= 0 && m_table->item(row, 6) && m_table->item(row, 6)->text().isEmpty());
}

void CImportListDialog::undoChosen()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    const QString number = m_table->item(row, 0)->text();
    if (!ui::askYesNo(this, QString::fromUtf8(kAsk).arg(number, m_table->item(row, 2)->text())))
        return;
    int removed = 0;
    if (!ui::carryOut(this, [&] { return import::undoImport(m_connection, number.toInt(), m_clock(), &removed); }))
        return;
    m_changed = true;
    ui::inform(this, QString::fromUtf8(kUndone).arg(number).arg(removed));
    reload();
}

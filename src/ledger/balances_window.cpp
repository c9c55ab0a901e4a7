#include "ledger/balances_window.h"

#include "ledger/balances.h"
#include "ledger/ledger_model.h"
#include "ui/carry_out.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "帐户余额";
const char *const kDayLabel = "截至日期 (当天结束时):";
const char *const kColumns[] = {"帐户", "余额", "本帐户"};
const char *const kTotalText = "全部帐户合计: ";
const char *const kHint = "双击帐户可以看它的明细";
const char *const kRowsTitle = "帐户明细 - %1 (截至 %2)";
const char *const kDayFormat = "yyyy/MM/dd";
} // namespace

CBalancesWindow::CBalancesWindow(db::Connection &connection, const db::DateTime &today, QWidget *parent)
    : QDialog(parent), m_connection(connection)
{
    setWindowTitle(QString::fromUtf8(kTitle));
    m_day = new QDateEdit(QDate(today.year, today.month, today.day), this);
    m_day->setDisplayFormat(QString::fromLatin1(kDayFormat));
    m_day->setCalendarPopup(true);
    m_tree = new QTreeWidget(this);
    m_tree->setColumnCount(3);
    QStringList headers;
    for (const char *caption : kColumns)
        headers << QString::fromUtf8(caption);
    m_tree->setHeaderLabels(headers);
    m_tree->setColumnWidth(kName, 220);
    m_tree->setColumnWidth(kTotal, 140);
    m_total = new QLabel(this);
    QFont bold = m_total->font();
    bold.setBold(true);
    m_total->setFont(bold);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QString::fromUtf8(kDayLabel), this));
    top->addWidget(m_day);
    top->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_total, 1);
    bottom->addWidget(new QLabel(QString::fromUtf8(kHint), this));
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tree, 1);
    layout->addLayout(bottom);
    resize(560, 460);

    connect(m_day, &QDateEdit::dateChanged, this, &CBalancesWindow::refresh);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { showAccountRows(item); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

QString CBalancesWindow::day() const { return m_day->date().toString(QStringLiteral("yyyyMMdd")); }

void CBalancesWindow::refresh()
{
    std::vector<ledger::AccountBalance> balances;
    m_tree->clear();
    m_total->clear();
    if (!ui::carryOut(this, [&] { balances = ledger::accountBalances(m_connection, day().toStdString()); }))
        return;
    // Each line hangs under the last line one level up.
    std::vector<QTreeWidgetItem *> parents;
    for (const ledger::AccountBalance &b : balances) {
        parents.resize(static_cast<std::size_t>(b.depth));
        QTreeWidgetItem *item = parents.empty() ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parents.back());
        item->setText(kName, QString::fromStdString(ledger::balanceLabel(b)));
        item->setData(kName, Qt::UserRole, QString::fromStdString(b.name));
        item->setText(kTotal, QString::fromStdString(ledger::yuan(b.total)));
        if (b.depth > 0)
            item->setText(kOwn, QString::fromStdString(ledger::yuan(b.own)));
        item->setTextAlignment(kTotal, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(kOwn, Qt::AlignRight | Qt::AlignVCenter);
        parents.push_back(item);
    }
    m_tree->expandAll();
    if (!balances.empty())
        m_total->setText(QString::fromUtf8(kTotalText) + QString::fromStdString(ledger::yuan(balances.front().total)));
}

void CBalancesWindow::showAccountRows(QTreeWidgetItem *item)
{
    if (!item || !item->parent())
        return; // the root is no account
    CAccountRowsDialog dialog(m_connection, item->data(kName, Qt::UserRole).toString(), day(), this);
    dialog.exec();
}

CAccountRowsDialog::CAccountRowsDialog(db::Connection &connection, const QString &account, const QString &day,
                                       QWidget *parent)
    : QDialog(parent)
{
    const QDate shown = QDate::fromString(day, QStringLiteral("yyyyMMdd"));
    setWindowTitle(QString::fromUtf8(kRowsTitle).arg(account, shown.toString(QString::fromLatin1(kDayFormat))));
    auto *model = new LedgerModel(this);
    m_list = new QTableView(this);
    m_list->setModel(model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setStretchLastSection(true);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(780, 460);
    ledger::LedgerTable rows;
    if (ui::carryOut(this, [&] { rows = ledger::accountRows(connection, account.toStdString(), day.toStdString()); })) {
        const int index = rows.index();
        model->setLedger(index, std::move(rows));
        const auto &columns = ledger::ledgerColumns(index);
        for (std::size_t i = 0; i < columns.size(); ++i)
            m_list->setColumnWidth(static_cast<int>(i), columns[i].width);
    }
}

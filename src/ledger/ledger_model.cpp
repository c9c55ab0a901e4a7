#include "ledger/ledger_model.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace {

// Chinese texts in the order of their reading (pinyin), as a Chinese reader
// looks them up.
void readingOrder(std::vector<std::string_view> &texts)
{
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::vector<std::pair<QString, std::string_view>> keyed;
    keyed.reserve(texts.size());
    for (std::string_view text : texts)
        keyed.emplace_back(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), text);
    std::sort(keyed.begin(), keyed.end(),
              [&](const auto &a, const auto &b) { return collator.compare(a.first, b.first) < 0; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        texts[i] = keyed[i].second;
}

} // namespace

LedgerModel::LedgerModel(QObject *parent) : TextTableModel(parent) {}

void LedgerModel::setLedger(int index, ledger::LedgerTable table)
{
    beginResetModel();
    if (index != m_index) {
        m_rows.setFilter({});
        m_rows.setOrder({});
    }
    m_index = index;
    m_table = std::move(table);
    m_rows.setTable(&m_table);
    endResetModel();
}

void LedgerModel::clear()
{
    beginResetModel();
    m_table = ledger::LedgerTable(m_index);
    m_rows.setTable(&m_table);
    endResetModel();
}

void LedgerModel::removeLedgerRow(int row)
{
    const int tableRow = m_rows.tableRow(row);
    if (tableRow < 0)
        return;
    beginResetModel();
    m_table.removeRow(tableRow);
    m_rows.setTable(&m_table);
    endResetModel();
}

void LedgerModel::setFilter(const ledger::RowFilter &filter)
{
    if (filter == m_rows.filter())
        return;
    beginResetModel();
    m_rows.setFilter(filter);
    endResetModel();
}

void LedgerModel::sortBy(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    const ledger::SortOrder now = m_rows.order();
    beginResetModel();
    m_rows.setOrder({column, now.column == column && !now.descending}, readingOrder);
    endResetModel();
}

bool LedgerModel::isSummaryRow(int row) const { return !m_rows.summary().empty() && row == m_rows.count(); }

QString LedgerModel::cell(int row, int column) const
{
    const int tableRow = m_rows.tableRow(row);
    if (tableRow >= 0) {
        const std::string_view text = m_table.cell(tableRow, column);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::vector<std::string> &summary = m_rows.summary();
    if (isSummaryRow(row) && column >= 0 && column < static_cast<int>(summary.size()))
        return QString::fromStdString(summary[column]);
    return {};
}

int LedgerModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_rows.count() + (m_rows.summary().empty() ? 0 : 1);
}

int LedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ledger::ledgerColumns(m_index).size());
}

QString LedgerModel::caption(int column) const
{
    return QString::fromUtf8(ledger::ledgerColumns(m_index)[column].caption);
}

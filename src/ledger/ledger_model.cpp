#include "ledger/ledger_model.h"

LedgerModel::LedgerModel(QObject *parent) : QAbstractTableModel(parent) {}

void LedgerModel::setLedger(int index, ledger::LedgerTable table)
{
    beginResetModel();
    m_index = index;
    m_table = std::move(table);
    endResetModel();
}

void LedgerModel::clear()
{
    beginResetModel();
    m_table = ledger::LedgerTable(m_index);
    endResetModel();
}

void LedgerModel::removeLedgerRow(int row)
{
    if (row < 0 || row >= m_table.rowCount())
        return;
    beginResetModel();
    m_table.removeRow(row);
    endResetModel();
}

bool LedgerModel::isSummaryRow(int row) const
{
    return !m_table.summary.empty() && row == m_table.rowCount();
}

QString LedgerModel::cell(int row, int column) const
{
    if (row >= 0 && row < m_table.rowCount()) {
        const std::string_view text = m_table.cell(row, column);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (isSummaryRow(row) && column >= 0 && column < static_cast<int>(m_table.summary.size()))
        return QString::fromStdString(m_table.summary[column]);
    return {};
}

int LedgerModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_table.rowCount() + (m_table.summary.empty() ? 0 : 1);
}

int LedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ledger::ledgerColumns(m_index).size());
}

QVariant LedgerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(ledger::ledgerColumns(m_index)[section].caption);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

#include "ledger/cell_table_model.h"

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return caption(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

CellTableModel::CellTableModel(const QStringList &captions, QObject *parent)
    : TextTableModel(parent), m_captions(captions), m_rows(static_cast<int>(captions.size()))
{
}

void CellTableModel::setRows(ledger::CellTable rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString CellTableModel::cell(int row, int column) const
{
    const std::string_view text = m_rows.cell(row, column);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int CellTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows.rowCount(); }

int CellTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

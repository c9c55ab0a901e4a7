#pragma once

#include "ledger/ledger_load.h"

#include <QAbstractTableModel>
#include <QStringList>

// Rows of texts under fixed captions, converted to display text only when
// shown.
class CellTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CellTableModel(const QStringList &captions, QObject *parent = nullptr);

    void setRows(ledger::CellTable rows);
    const ledger::CellTable &rows() const { return m_rows; }
    QString cell(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_captions;
    ledger::CellTable m_rows;
};

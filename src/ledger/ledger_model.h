#pragma once

#include "ledger/ledger_load.h"

#include <QAbstractTableModel>

// The rows of one loaded ledger, converted to display text only when shown,
// so that a year of entries loads at once.
class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LedgerModel(QObject *parent = nullptr);

    void setLedger(int index, ledger::LedgerTable table);
    void clear();
    // Removes a loaded row (not the summary row); the summary row then
    // counts and sums the rows that remain.
    void removeLedgerRow(int row);
    int ledgerIndex() const { return m_index; }
    bool isSummaryRow(int row) const;
    QString cell(int row, int column) const;
    const ledger::LedgerTable &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int m_index = 0;
    ledger::LedgerTable m_table;
};

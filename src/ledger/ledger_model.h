#pragma once

#include "ledger/cell_table_model.h"
#include "ledger/ledger_filter.h"
#include "ledger/ledger_load.h"

// The rows of one loaded ledger, converted to display text only when shown,
// so that a year of entries loads at once. A filter and a sort order pick
// and arrange the loaded rows in memory; the summary row stays last.
class LedgerModel : public TextTableModel {
    Q_OBJECT
public:
    explicit LedgerModel(QObject *parent = nullptr);

    // Shows a newly loaded ledger through the filter and order in force
    // (both dropped when the ledger is another one).
    void setLedger(int index, ledger::LedgerTable table);
    void clear();
    // Removes a shown row (not the summary row); the summary row then
    // counts and sums the rows that remain.
    void removeLedgerRow(int row);
    int ledgerIndex() const { return m_index; }
    bool isSummaryRow(int row) const;
    QString cell(int row, int column) const override;
    const ledger::LedgerTable &table() const { return m_table; }

    void setFilter(const ledger::RowFilter &filter);
    const ledger::RowFilter &filter() const { return m_rows.filter(); }
    // Sorts by a column, the other way round when it is sorted by it already.
    void sortBy(int column);
    ledger::SortOrder order() const { return m_rows.order(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;

protected:
    QString caption(int column) const override;

private:
    int m_index = 0;
    ledger::LedgerTable m_table;
    ledger::ShownRows m_rows;
};

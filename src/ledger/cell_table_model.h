#pragma once

#include "ledger/ledger_load.h"

#include <QAbstractTableModel>
#include <QStringList>

// Rows of texts under captions, all centred; the cells become display text
// only when shown.
class TextTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual QString cell(int row, int column) const = 0;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    // The caption of a column that exists.
    virtual QString caption(int column) const = 0;
};

// The rows of a cell table under fixed captions.
class CellTableModel : public TextTableModel {
    Q_OBJECT
public:
    explicit CellTableModel(const QStringList &captions, QObject *parent = nullptr);

    void setRows(ledger::CellTable rows);
    const ledger::CellTable &rows() const { return m_rows; }
    QString cell(int row, int column) const override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;

protected:
    QString caption(int column) const override { return m_captions[column]; }

private:
    QStringList m_captions;
    ledger::CellTable m_rows;
};

#pragma once

#include "stats/stat_row.h"

#include <QStringList>
#include <QTreeWidget>

#include <vector>

// The statistics list of a query window: a tree of rows with a label and the
// amount, count, direction and percentage cells. It is the on-screen sink of
// the statistics walk; a child row arrives collapsed under its parent.
class CStatList : public QTreeWidget, public stats::RowSink {
    Q_OBJECT
public:
    explicit CStatList(QWidget *parent = nullptr);

    // stats::RowSink
    void createColumns(const std::vector<stats::Column> &columns) override;
    void addRow(const stats::Row &row) override;

    // Removes every row with its children, and the columns.
    void removeAll();

    // The texts of the rows the list displays, top to bottom, one text per
    // column: the children of a collapsed row are left out.
    std::vector<QStringList> displayedRowTexts() const;
    int displayedRowCount() const;

protected:
    // The row addRow made last.
    QTreeWidgetItem *lastAdded() const { return m_lastAtDepth.empty() ? nullptr : m_lastAtDepth.back(); }

private:
    std::vector<QTreeWidgetItem *> m_lastAtDepth;
};

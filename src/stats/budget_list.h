#pragma once

#include "stats/stat_list.h"

// The list of the budget window: the rows of the budget statistic, every
// row shown (nothing collapsed), a category over its budget in red, and the
// share spent drawn as a bar: green while spending keeps pace with the days
// gone, orange when it runs ahead of them, red beyond the budget; the row
// of the days gone has a grey bar to hold the others against.
class CBudgetList : public CStatList {
    Q_OBJECT
public:
    // What a row stands for, kept with its first cell.
    enum class Mark { Within, Over, Progress };
    static constexpr int kMarkRole = Qt::UserRole + 1;
    static constexpr int kShareColumn = 4;

    explicit CBudgetList(QWidget *parent = nullptr);

    void addRow(const stats::Row &row) override;

    // The share of the period gone, from the last row ("" before it came).
    QString periodShare() const;
    // The category rows (not the head, not the days gone).
    int categoryCount() const;

protected:
    // Nothing folds away, so no fold controls are drawn: what the list
    // shows is what prints.
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
};

// The number a share text holds: 60 for "60.00%", 0 for "".
double shareValue(const QString &text);

#include "stats/budget_list.h"

#include "stats/budget_statistic.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

const QColor kOverText(200, 0, 0);
const QColor kWithinBar(120, 200, 120);
const QColor kAheadBar(245, 175, 70);
const QColor kOverBar(235, 95, 85);
const QColor kProgressBar(185, 195, 210);
const QColor kGrid(212, 212, 212);

// The share column: a bar as long as the share (a full cell at 100 %),
// behind the share's text.
class CShareBarDelegate : public QStyledItemDelegate {
public:
    explicit CShareBarDelegate(CBudgetList *list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data().toString();
        const auto mark = static_cast<CBudgetList::Mark>(index.siblingAtColumn(0).data(CBudgetList::kMarkRole).toInt());
        const double share = shareValue(text);
        QColor colour = kWithinBar;
        if (mark == CBudgetList::Mark::Progress)
            colour = kProgressBar;
        else if (mark == CBudgetList::Mark::Over || share > 100)
            colour = kOverBar;
        else if (share > shareValue(m_list->periodShare()))
            colour = kAheadBar;
        if (!text.isEmpty()) {
            QRectF bar = QRectF(option.rect).adjusted(2, 3, -2, -3);
            bar.setWidth(bar.width() * std::clamp(share, 0.0, 100.0) / 100);
            painter->fillRect(bar, colour);
        }
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(kGrid);
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

private:
    const CBudgetList *m_list;
};

} // namespace

double shareValue(const QString &text)
{
    QString number = text.trimmed();
    if (number.endsWith(QLatin1Char('%')))
        number.chop(1);
    return number.toDouble();
}

CBudgetList::CBudgetList(QWidget *parent) : CStatList(parent)
{
    setObjectName(QStringLiteral("budgetList"));
    setItemDelegateForColumn(kShareColumn, new CShareBarDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
}

void CBudgetList::addRow(const stats::Row &row)
{
    CStatList::addRow(row);
    QTreeWidgetItem *item = lastAdded();
    if (!item)
        return;
    Mark mark = Mark::Within;
    if (row.role == stats::Role::Progress)
        mark = Mark::Progress;
    else if (stats::isOverBudget(row))
        mark = Mark::Over;
    item->setData(0, kMarkRole, static_cast<int>(mark));
    if (mark == Mark::Over)
        for (int column = 0; column < columnCount(); ++column)
            item->setForeground(column, kOverText);
    if (row.isHead()) {
        QFont bold = item->font(0);
        bold.setBold(true);
        for (int column = 0; column < columnCount(); ++column)
            item->setFont(column, bold);
    }
    // Every budget shows at once: a child arrives under an open parent.
    if (QTreeWidgetItem *parent = item->parent())
        parent->setExpanded(true);
}

void CBudgetList::drawBranches(QPainter *, const QRect &, const QModelIndex &) const {}

QString CBudgetList::periodShare() const
{
    const int count = topLevelItemCount();
    if (count == 0)
        return {};
    const QTreeWidgetItem *last = topLevelItem(count - 1);
    if (static_cast<Mark>(last->data(0, kMarkRole).toInt()) != Mark::Progress)
        return {};
    return last->text(kShareColumn);
}

int CBudgetList::categoryCount() const
{
    int count = 0;
    for (QTreeWidgetItemIterator it(const_cast<CBudgetList *>(this)); *it; ++it)
        if ((*it)->parent())
            ++count;
    return count;
}

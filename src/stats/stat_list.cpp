#include "stats/stat_list.h"

#include "stats/query_commands.h"
#include "stats/query_icons.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Draws the grid lines of the list and marks the row under the pointer.
class CGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if ((option.state & QStyle::State_MouseOver) && !(option.state & QStyle::State_Selected))
            painter->fillRect(option.rect, QColor(229, 241, 251));
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(212, 212, 212));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + 6));
        return size;
    }
};

void collectDisplayed(const QTreeWidgetItem *item, int columns, std::vector<QStringList> &out)
{
    QStringList texts;
    for (int c = 0; c < columns; ++c)
        texts << item->text(c);
    out.push_back(texts);
    if (!item->isExpanded())
        return;
    for (int i = 0; i < item->childCount(); ++i)
        collectDisplayed(item->child(i), columns, out);
}

} // namespace

CStatList::CStatList(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("statList%1").arg(stats::cmd::IDC_STAT_LIST));
    setColumnCount(0);
    setItemDelegate(new CGridDelegate(this));
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void CStatList::createColumns(const std::vector<stats::Column> &columns)
{
    QStringList captions;
    for (const stats::Column &column : columns)
        captions << QString::fromUtf8(column.caption);
    setColumnCount(static_cast<int>(columns.size()));
    setHeaderLabels(captions);
    for (std::size_t i = 0; i < columns.size(); ++i)
        setColumnWidth(static_cast<int>(i), columns[i].width);
}

void CStatList::addRow(const stats::Row &row)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(row.label));
    for (std::size_t i = 0; i < row.cells.size(); ++i)
        item->setText(static_cast<int>(i) + 1, QString::fromStdString(row.cells[i]));
    if (row.isHead())
        item->setIcon(0, stats::headRowIcon());

    // A row is a child of the last row one level up; a head row is a top row.
    const std::size_t depth = std::min<std::size_t>(row.depth, m_lastAtDepth.size());
    if (depth == 0)
        addTopLevelItem(item);
    else
        m_lastAtDepth[depth - 1]->addChild(item);
    m_lastAtDepth.resize(depth);
    m_lastAtDepth.push_back(item);
}

void CStatList::removeAll()
{
    m_lastAtDepth.clear();
    clear();
    setColumnCount(0);
}

std::vector<QStringList> CStatList::displayedRowTexts() const
{
    std::vector<QStringList> rows;
    for (int i = 0; i < topLevelItemCount(); ++i)
        collectDisplayed(topLevelItem(i), columnCount(), rows);
    return rows;
}

int CStatList::displayedRowCount() const { return static_cast<int>(displayedRowTexts().size()); }

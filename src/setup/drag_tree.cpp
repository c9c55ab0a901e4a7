#include "setup/drag_tree.h"

#include "ui/carry_out.h"

#include "db/connection.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

CDragTree::CDragTree(setup::TreeKind kind, db::Connection *connection, QWidget *parent)
    : QTreeWidget(parent), m_kind(kind), m_connection(connection)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setMouseTracking(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false); // the drag is this class's own
    m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CDragTree::onHoverTimer);
    m_scrollTimer.setInterval(kScrollMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, &CDragTree::onScrollTimer);
    if (m_kind == setup::TreeKind::Bank)
        connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *now, QTreeWidgetItem *before) {
            // Bank items show image 1 while selected.
            if (before && before != rootItem())
                before->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
            if (now && now != rootItem())
                now->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
        });
}

void CDragTree::addChildren(QTreeWidgetItem *parent, const setup::TreeNode &node)
{
    for (const setup::TreeNode &child : node.children) {
        auto *item = new QTreeWidgetItem(parent, QStringList{QString::fromStdString(child.name)});
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
        addChildren(item, child);
    }
}

void CDragTree::reload()
{
    clear();
    auto *root = new QTreeWidgetItem(this, QStringList{QString::fromUtf8(setup::treeSpec(m_kind).rootText)});
    root->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    if (m_connection) {
        // The owner shows what went wrong (a box now would interrupt its
        // own set-up), a tree loaded only in part among it.
        if (const auto failure = ui::attempt([&] {
                std::string cut;
                addChildren(root, setup::loadTree(*m_connection, m_kind, setup::TreeQuery::Settings, &cut));
                return cut.empty() ? db::Result::ok() : db::Result::refused(cut);
            }))
            emit failed(failure->text);
    }
    root->setExpanded(true);
}

QTreeWidgetItem *CDragTree::findItem(const QString &text) const
{
    std::function<QTreeWidgetItem *(QTreeWidgetItem *)> visit = [&](QTreeWidgetItem *item) -> QTreeWidgetItem * {
        if (item->text(0) == text)
            return item;
        for (int i = 0; i < item->childCount(); ++i)
            if (QTreeWidgetItem *found = visit(item->child(i)))
                return found;
        return nullptr;
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (QTreeWidgetItem *found = visit(topLevelItem(i)))
            return found;
    return nullptr;
}

int CDragTree::scrollDirection(int y, int top, int bottom, int tick)
{
    auto every = [](int beyond) {
        const int b = beyond / 20;
        return b < 6 ? 6 - b : 1;
    };
    if (y < top + 10) {
        const int c = every(top - y + 10);
        return tick % c == 0 ? -1 : 0;
    }
    if (y > bottom - 10) {
        const int c = every(y - (bottom - 10));
        return tick % c == 0 ? 1 : 0;
    }
    return 0;
}

void CDragTree::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressTime = m_clock();
        m_pressPos = event->position().toPoint();
        m_pressItem = itemAt(m_pressPos);
    }
    QTreeWidget::mousePressEvent(event);
}

void CDragTree::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_hoverTimer.start();
    m_lastPos = pos;
    if (m_dragging) {
        dragMoveTo(pos);
        return;
    }
    if ((event->buttons() & Qt::LeftButton) && m_pressItem &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        QTreeWidgetItem *item = m_pressItem;
        m_pressItem = nullptr;
        if (beginDrag(item, pos))
            return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void CDragTree::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressItem = nullptr;
    if (m_dragging && event->button() == Qt::LeftButton) {
        endDrag();
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

bool CDragTree::beginDrag(QTreeWidgetItem *item, const QPoint &pos)
{
    // A press shorter than 60 ms is a click, and the root never moves.
    if (!item || item == rootItem() || m_clock() - m_pressTime < kMinPressMs)
        return false;
    m_dragItem = item;
    m_dropTarget = nullptr;
    m_dragImage = new QLabel(this, Qt::ToolTip);
    m_dragImage->setText(item->text(0));
    m_dragImage->setStyleSheet(QStringLiteral("QLabel { background: palette(highlight); color: palette(highlighted-text); }"));
    m_dragImage->adjustSize();
    m_dragImage->move(viewport()->mapToGlobal(pos) - QPoint(8, 8));
    m_dragImage->show();
    // The press already holds the pointer for the viewport: no grab of our own,
    // so a message box opened at the drop can be clicked.
    m_dragging = true;
    m_scrollTicks = 0;
    m_scrollTimer.start();
    return true;
}

void CDragTree::setDropTarget(QTreeWidgetItem *item)
{
    if (m_dropTarget == item)
        return;
    if (m_dropTarget)
        m_dropTarget->setBackground(0, QBrush());
    m_dropTarget = item;
    if (item)
        item->setBackground(0, palette().brush(QPalette::Highlight).color().lighter(160));
}

void CDragTree::dragMoveTo(const QPoint &pos)
{
    m_lastPos = pos;
    if (m_dragImage)
        m_dragImage->move(viewport()->mapToGlobal(pos) - QPoint(8, 8));
    if (pos.x() < kLeftEdge) {
        setDropTarget(nullptr);
        return;
    }
    if (QTreeWidgetItem *item = itemAt(pos))
        setDropTarget(item);
}

void CDragTree::onHoverTimer()
{
    m_hoverTimer.stop();
    if (!m_dragging)
        return;
    if (QTreeWidgetItem *item = itemAt(m_lastPos)) {
        setCurrentItem(item);
        item->setExpanded(true);
    }
}

void CDragTree::onScrollTimer()
{
    ++m_scrollTicks;
    const QPoint global = QCursor::pos();
    const QRect client(viewport()->mapToGlobal(QPoint(0, 0)), viewport()->size());
    const int direction = scrollDirection(global.y(), client.top(), client.bottom(), m_scrollTicks);
    if (direction == 0)
        return;
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->value() + direction * bar->singleStep());
    setDropTarget(direction < 0 ? itemAt(QPoint(kLeftEdge + 1, 1)) : itemAt(QPoint(kLeftEdge + 1, viewport()->height() - 2)));
}

QTreeWidgetItem *CDragTree::cloneBranch(QTreeWidgetItem *item) const
{
    auto *copy = item->clone(); // text, icons, data and children
    copy->setBackground(0, QBrush());
    return copy;
}

void CDragTree::endDrag()
{
    // The view saw the press but not this release: without this it stays in
    // its drag-selecting state and takes the next click for part of it.
    setState(QAbstractItemView::NoState);
    m_dragging = false;
    delete m_dragImage;
    m_dragImage = nullptr;
    m_scrollTimer.stop();
    QTreeWidgetItem *dragged = m_dragItem;
    QTreeWidgetItem *target = m_dropTarget;
    setDropTarget(nullptr);
    m_dragItem = nullptr;
    if (!dragged || !target || target == dragged)
        return;
    for (QTreeWidgetItem *up = target; up; up = up->parent())
        if (up == dragged)
            return; // inside its own branch
    if (!m_connection)
        return;
    if (const auto failure = ui::attempt([&] {
            return setup::moveNode(*m_connection, m_kind, dragged->text(0).toStdString(),
                                   target->text(0).toStdString());
        })) {
        if (!failure->text.isEmpty())
            emit failed(failure->text);
        return;
    }
    target->setExpanded(true);
    QTreeWidgetItem *copy = cloneBranch(dragged);
    target->addChild(copy);
    delete dragged;
    setCurrentItem(copy);
    emit moved();
}

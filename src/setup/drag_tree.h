#pragma once

#include "setup/tree_store.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace db {
class Connection;
}
class QLabel;

// A tree of categories or banks whose nodes can be moved by drag and drop.
// A move is written to the database before the tree shows it.
class CDragTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kMinPressMs = 60;
    static constexpr int kHoverMs = 800;
    static constexpr int kScrollMs = 40;
    static constexpr int kLeftEdge = 20;

    CDragTree(setup::TreeKind kind, db::Connection *connection, QWidget *parent = nullptr);

    setup::TreeKind kind() const { return m_kind; }
    QTreeWidgetItem *rootItem() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }
    // Rebuilds the items from the table and expands the root.
    void reload();
    // The item whose text is exactly this, searched depth first from the root.
    QTreeWidgetItem *findItem(const QString &text) const;

    bool isDragging() const { return m_dragging; }
    QTreeWidgetItem *draggedItem() const { return m_dragItem; }
    QTreeWidgetItem *dropTarget() const { return m_dropTarget; }

    // Which way the scroll timer moves the tree this tick: -1 up, 1 down, 0 not.
    static int scrollDirection(int y, int top, int bottom, int tick);

    // The clock of the 60 ms rule, in milliseconds (tests replace it).
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Drag steps, also driven by the mouse events.
    bool beginDrag(QTreeWidgetItem *item, const QPoint &pos);
    void dragMoveTo(const QPoint &pos);
    void endDrag();
    void onHoverTimer();
    void onScrollTimer();

signals:
    // A move refused with a message, or a database failure while writing it.
    void failed(const QString &message);
    // A node was moved, in the table and in the tree.
    void moved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setDropTarget(QTreeWidgetItem *item);
    void addChildren(QTreeWidgetItem *parent, const setup::TreeNode &node);
    QTreeWidgetItem *cloneBranch(QTreeWidgetItem *item) const;

    setup::TreeKind m_kind;
    db::Connection *m_connection;
    qint64 m_pressTime = 0;
    QPoint m_pressPos;
    QTreeWidgetItem *m_pressItem = nullptr;
    bool m_dragging = false;
    QLabel *m_dragImage = nullptr;
    QTreeWidgetItem *m_dragItem = nullptr;
    QTreeWidgetItem *m_dropTarget = nullptr;
    QTimer m_hoverTimer;
    QTimer m_scrollTimer;
    int m_scrollTicks = 0;
    QPoint m_lastPos;
    std::function<qint64()> m_clock;
};

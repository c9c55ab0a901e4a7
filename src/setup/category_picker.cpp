#include "setup/category_picker.h"

#include "db/connection.h"
#include "setup/tree_store.h"
#include "ui/carry_out.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QTreeWidget>

#include <functional>

namespace {

constexpr int kTextRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;
constexpr int kExpandedImageRole = Qt::UserRole + 4;
constexpr int kItemHeight = 16;

} // namespace

CCategoryPicker::CCategoryPicker(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

CCategoryPicker::~CCategoryPicker()
{
    if (m_tree) {
        m_tree->removeEventFilter(this);
        if (m_viewport)
            m_viewport->removeEventFilter(this);
        delete m_tree;
    }
}

QSize CCategoryPicker::sizeHint() const { return {120, fontMetrics().height() + 8}; }

QIcon CCategoryPicker::imageFor(int index) const
{
    return style()->standardIcon(index == 1 ? QStyle::SP_DirOpenIcon : QStyle::SP_DirIcon);
}

bool CCategoryPicker::create(int width, int height, PickerKind kind, db::Connection *connection)
{
    m_kind = kind;
    m_connection = connection;
    m_dropWidth = width;
    m_dropHeight = height < 1 ? 100 : height;
    if (m_tree) {
        m_tree->removeEventFilter(this);
        m_viewport->removeEventFilter(this);
        delete m_tree;
    }
    // A popup owned by the field's window: it hides by itself when the user
    // clicks elsewhere, which is the focus-loss rule.
    m_tree = new QTreeWidget(window());
    m_tree->setWindowFlags(Qt::Popup);
    m_tree->setAttribute(Qt::WA_NoMouseReplay);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setMouseTracking(true);
    m_tree->setFrameShape(QFrame::Box);
    m_tree->setRootIsDecorated(true);
    m_tree->installEventFilter(this);
    m_viewport = m_tree->viewport();
    m_viewport->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemEntered, m_tree, [this](QTreeWidgetItem *item) { m_tree->setCurrentItem(item); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        item->setIcon(0, imageFor(item->data(0, kExpandedImageRole).toInt()));
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *item) { item->setIcon(0, imageFor(item->data(0, kImageRole).toInt())); });
    fill();
    return true;
}

namespace {
QTreeWidgetItem *makeItem(const QString &text, const QString &path, int image, int expandedImage)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kTextRole, text);
    item->setData(0, kPathRole, path);
    item->setData(0, kImageRole, image);
    item->setData(0, kExpandedImageRole, expandedImage);
    return item;
}
} // namespace

void CCategoryPicker::fill()
{
    m_tree->clear();
    m_root = nullptr;
    m_current = nullptr;
    if (m_kind == PickerKind::Deposit || m_kind == PickerKind::Withdrawal) {
        const QString text = m_kind == PickerKind::Deposit ? QStringLiteral("存钱") : QStringLiteral("取钱");
        QTreeWidgetItem *item = makeItem(text, text, 0, 0);
        item->setIcon(0, imageFor(0));
        m_tree->addTopLevelItem(item);
        m_root = item;
        makeCurrent(item, false);
        return;
    }
    const setup::TreeKind kind = m_kind == PickerKind::Income    ? setup::TreeKind::Income
                                 : m_kind == PickerKind::Expense ? setup::TreeKind::Expense
                                                                 : setup::TreeKind::Bank;
    const QString rootText = QString::fromUtf8(setup::treeSpec(kind).rootText);
    m_root = makeItem(rootText, rootText, 0, 0);
    m_root->setIcon(0, imageFor(0));
    m_tree->addTopLevelItem(m_root);
    if (m_connection) {
        ui::carryOut(this, [&] {
            std::string cut;
            const setup::TreeNode tree = setup::loadTree(*m_connection, kind, setup::TreeQuery::Picker, &cut);
            std::function<void(QTreeWidgetItem *, const setup::TreeNode &)> add = [&](QTreeWidgetItem *parent,
                                                                                  const setup::TreeNode &node) {
                for (const setup::TreeNode &child : node.children) {
                    const QString name = QString::fromStdString(child.name);
                    QTreeWidgetItem *item = makeItem(name, parent->data(0, kPathRole).toString() + QLatin1Char('\\') + name, 0, 1);
                    item->setIcon(0, imageFor(0));
                    parent->addChild(item);
                    add(item, child);
                }
            };
            add(m_root, tree);
            return cut.empty() ? db::Result::ok() : db::Result::refused(cut);
        });
    }
    m_root->setExpanded(true);
    makeCurrent(m_root, false);
}

PickedItem CCategoryPicker::currentRecord() const
{
    PickedItem record;
    if (!m_current)
        return record;
    record.image = m_current->data(0, kImageRole).toInt();
    record.expandedImage = m_current->data(0, kExpandedImageRole).toInt();
    record.text = m_current->data(0, kTextRole).toString();
    record.path = m_current->data(0, kPathRole).toString();
    return record;
}

void CCategoryPicker::makeCurrent(QTreeWidgetItem *item, bool notify)
{
    m_current = item;
    if (item) {
        m_tree->setCurrentItem(item);
        item->setSelected(true);
    }
    update();
    if (notify && item) {
        emit picked(currentRecord(), m_kind);
        setFocus();
    }
}

QTreeWidgetItem *CCategoryPicker::findBelowRoot(const QString &text) const
{
    if (!m_root)
        return nullptr;
    const QString wanted = text.trimmed();
    std::function<QTreeWidgetItem *(QTreeWidgetItem *)> find = [&](QTreeWidgetItem *parent) -> QTreeWidgetItem * {
        for (int i = 0; i < parent->childCount(); ++i) {
            QTreeWidgetItem *child = parent->child(i);
            if (child->data(0, kTextRole).toString() == wanted)
                return child;
            if (QTreeWidgetItem *found = find(child))
                return found;
        }
        return nullptr;
    };
    return find(m_root);
}

void CCategoryPicker::showNothing()
{
    m_current = nullptr;
    m_tree->clearSelection();
    update();
}

void CCategoryPicker::openPathTo(QTreeWidgetItem *item)
{
    // The arrow keys in the closed field move on from the item to its
    // visible neighbours.
    for (QTreeWidgetItem *up = item; up; up = up->parent())
        up->setExpanded(true);
}

bool CCategoryPicker::selectByText(const QString &text)
{
    if (!m_root)
        return false;
    QTreeWidgetItem *found = findBelowRoot(text);
    if (!found) {
        showNothing();
        return false;
    }
    openPathTo(found);
    makeCurrent(found, true);
    return true;
}

void CCategoryPicker::reload()
{
    if (!m_tree)
        return;
    const bool none = !m_current;
    const bool root = m_current && m_current == m_root;
    const QString chosen = m_current ? m_current->data(0, kTextRole).toString() : QString();
    fill();
    if (root)
        return;
    QTreeWidgetItem *found = none ? nullptr : findBelowRoot(chosen);
    if (!found) {
        showNothing();
        return;
    }
    openPathTo(found);
    makeCurrent(found, false);
}

void CCategoryPicker::selectRoot()
{
    if (!m_root)
        return;
    m_root->setExpanded(true);
    makeCurrent(m_root, true);
}

bool CCategoryPicker::isDropDownShown() const { return m_tree && m_tree->isVisible(); }

void CCategoryPicker::showDropDown()
{
    if (!m_tree)
        return;
    const int w = m_dropWidth > 0 ? m_dropWidth : width();
    m_tree->setGeometry(QRect(mapToGlobal(QPoint(0, height() + 1)), QSize(w, m_dropHeight)));
    if (m_current)
        m_tree->setCurrentItem(m_current);
    m_tree->show();
    m_tree->setFocus();
}

void CCategoryPicker::hideDropDown()
{
    if (m_tree)
        m_tree->hide();
}

void CCategoryPicker::pick(QTreeWidgetItem *item)
{
    hideDropDown();
    if (!item)
        item = m_tree->currentItem();
    if (item)
        makeCurrent(item, true);
}

void CCategoryPicker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    if (isDropDownShown())
        hideDropDown();
    else
        showDropDown();
}

void CCategoryPicker::mouseDoubleClickEvent(QMouseEvent *event) { mousePressEvent(event); }

void CCategoryPicker::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        showDropDown();
        return;
    }
    if (!m_current) {
        QWidget::keyPressEvent(event);
        return;
    }
    QTreeWidgetItem *next = nullptr;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        next = m_tree->itemAbove(m_current);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        next = m_tree->itemBelow(m_current);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (next)
        makeCurrent(next, true);
}

bool CCategoryPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_tree)
        return false;
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            pick(m_tree->currentItem());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            hideDropDown();
            return true;
        }
    }
    if (watched == m_viewport && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const QPoint pos = mouse->position().toPoint();
        QTreeWidgetItem *item = m_tree->itemAt(pos);
        // A click on an expand button only expands or collapses.
        if (item) {
            const QRect row = m_tree->visualItemRect(item);
            if (pos.x() < row.left())
                return false;
        }
        pick(item);
        return true;
    }
    return false;
}

void CCategoryPicker::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Framed like a drop-down list, with its arrow; the item is drawn over it.
    QStyleOptionComboBox box;
    box.initFrom(this);
    box.editable = false;
    box.frame = true;
    box.subControls = QStyle::SC_All;
    box.state &= ~QStyle::State_HasFocus; // the text area shows the focus below
    style()->drawComplexControl(QStyle::CC_ComboBox, &box, &p, this);
    if (!m_current)
        return;
    p.setClipRect(style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, this));
    const QIcon icon = imageFor(m_current->data(0, kImageRole).toInt());
    const int top = (height() - kItemHeight) / 2;
    icon.paint(&p, QRect(4, top, kItemHeight, kItemHeight));
    const QString text = m_current->data(0, kTextRole).toString();
    const QRect textRect(4 + kItemHeight + 2, 2, p.fontMetrics().horizontalAdvance(text) + 4, height() - 4);
    if (hasFocus()) {
        p.fillRect(textRect, palette().color(QPalette::Highlight));
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        p.setPen(palette().color(QPalette::HighlightedText));
    } else {
        p.setPen(palette().color(QPalette::WindowText));
    }
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text);
}

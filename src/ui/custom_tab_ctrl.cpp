#include "ui/custom_tab_ctrl.h"

#include "db/text.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

#include <algorithm>

namespace {

// The text of the record's fixed 32-byte field: at most 31 bytes of GBK,
// never cutting a character in half.
QString recordText(const QString &text)
{
    QString out;
    int width = 0;
    for (QChar c : text) {
        const int w = c.unicode() < 0x80 ? 1 : 2;
        if (width + w > 31)
            break;
        width += w;
        out += c;
    }
    return out;
}

} // namespace

CCustomTabCtrl::CCustomTabCtrl(unsigned style, int controlId, QWidget *parent)
    : QWidget(parent), m_style(style), m_controlId(controlId)
{
    m_normalFont = QFont(QStringLiteral("Arial"));
    m_normalFont.setPixelSize(14);
    m_normalFont.setWeight(QFont::Normal);
    m_boldFont = QFont(QStringLiteral("宋体"));
    m_boldFont.setPixelSize(12);
    m_boldFont.setWeight(QFont::Bold);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setBackgroundRole(QPalette::Button);
    m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    m_timer.setInterval(kTimerMs);
    connect(&m_timer, &QTimer::timeout, this, &CCustomTabCtrl::onRepeatTimer);
}

QSize CCustomTabCtrl::sizeHint() const { return {200, 20}; }

int CCustomTabCtrl::textWidth(const QString &text) const
{
    return QFontMetrics(m_boldFont).horizontalAdvance(text);
}

int CCustomTabCtrl::insertItem(int index, const QString &text, const QVariant &data)
{
    if (index < 0 || index > itemCount())
        return tabcode::kIndexOutOfRange;
    if (db::gbkLength(text.toStdString()) > kMaxTextLength)
        return tabcode::kTextTooLong;
    Tab tab;
    tab.text = text;
    tab.data = data;
    m_tabs.insert(m_tabs.begin() + index, tab);
    if (m_selected >= index)
        ++m_selected;
    recalcLayout();
    update();
    return index;
}

int CCustomTabCtrl::setCurSel(int index)
{
    if (index < 0 || index >= itemCount())
        return tabcode::kIndexOutOfRange;
    markSelected(index);
    // A selection made by the program brings the tab to the front of the
    // strip, as far as the tabs after it still fill it.
    if (m_buttonsShown)
        m_first = std::min(index, maxFirst());
    update();
    return index;
}

void CCustomTabCtrl::markSelected(int index)
{
    const int previous = m_selected;
    if (previous >= 0 && previous < itemCount())
        m_tabs[previous].selected = false;
    m_selected = index;
    m_tabs[index].selected = true;
    // Under 0x10 the selected tab carries the highlight while it is selected.
    if (m_style & tabstyle::kHighlight) {
        if (previous >= 0 && previous < itemCount() && previous != index)
            m_tabs[previous].highlighted = false;
        m_tabs[index].highlighted = true;
    }
}

QVariant CCustomTabCtrl::itemData(int index) const
{
    if (index < 0 || index >= itemCount())
        return QVariant(tabcode::kIndexOutOfRange);
    return m_tabs[index].data;
}

QString CCustomTabCtrl::itemText(int index) const
{
    return index >= 0 && index < itemCount() ? m_tabs[index].text : QString();
}

int CCustomTabCtrl::setItemTooltipText(int index, const QString &text)
{
    if (!(m_style & tabstyle::kToolTips))
        return tabcode::kToolTipsOff;
    if (index < 0 || index >= itemCount())
        return tabcode::kIndexOutOfRange;
    m_tabs[index].toolTip = text;
    return index;
}

QString CCustomTabCtrl::itemTooltipText(int index) const
{
    return index >= 0 && index < itemCount() ? m_tabs[index].toolTip : QString();
}

bool CCustomTabCtrl::isItemHighlighted(int index) const
{
    return index >= 0 && index < itemCount() && m_tabs[index].highlighted;
}

int CCustomTabCtrl::highlightItem(int index, bool on)
{
    if (!(m_style & tabstyle::kHighlight))
        return tabcode::kStyleForbids;
    if (index < 0 || index >= itemCount())
        return tabcode::kIndexOutOfRange;
    m_tabs[index].highlighted = on;
    update();
    return index;
}

void CCustomTabCtrl::modifyStyle(unsigned remove, unsigned add)
{
    const unsigned before = m_style;
    m_style = (m_style & ~remove) | add;
    if ((before & tabstyle::kToolTips) && !(m_style & tabstyle::kToolTips))
        for (Tab &tab : m_tabs)
            tab.toolTip.clear();
    if ((before & tabstyle::kHighlight) && !(m_style & tabstyle::kHighlight))
        for (Tab &tab : m_tabs)
            tab.highlighted = false;
    if (!(before & tabstyle::kHighlight) && (m_style & tabstyle::kHighlight) && m_selected >= 0)
        m_tabs[m_selected].highlighted = true;
    recalcLayout();
    update();
}

int CCustomTabCtrl::buttonCount() const { return (m_style & tabstyle::kFourButtons) ? 4 : 2; }

int CCustomTabCtrl::buttonIndex(int code) const
{
    if (buttonCount() == 4)
        return -code - 1; // -1..-4 -> 0..3
    if (code == tabcode::kPrevButton)
        return 0;
    if (code == tabcode::kNextButton)
        return 1;
    return -1;
}

QRect CCustomTabCtrl::buttonRect(int code) const
{
    const int slot = buttonIndex(code);
    if (!m_buttonsShown || slot < 0)
        return {};
    const int h = height();
    return QRect(slot * (h - 3) + 1, 1, h - 2, h - 2);
}

int CCustomTabCtrl::tabsStart() const { return m_buttonsShown ? (height() - 3) * buttonCount() + 3 : 0; }

int CCustomTabCtrl::extentFrom(int first) const
{
    if (first >= itemCount())
        return 0;
    return m_x.back() + m_tabs.back().width - m_x[first];
}

int CCustomTabCtrl::maxFirst() const
{
    const int room = width() - tabsStart();
    int first = itemCount() - 1;
    while (first > 0 && extentFrom(first - 1) <= room)
        --first;
    return std::max(first, 0);
}

void CCustomTabCtrl::recalcLayout()
{
    const int h = height();
    int widest = 0;
    for (Tab &tab : m_tabs) {
        tab.textWidth = textWidth(tab.text);
        widest = std::max(widest, tab.textWidth);
    }
    m_x.assign(m_tabs.size(), 0);
    int x = 0;
    for (std::size_t i = 0; i < m_tabs.size(); ++i) {
        Tab &tab = m_tabs[i];
        tab.width = ((m_style & tabstyle::kSameWidth) ? widest : tab.textWidth) + h + 4;
        m_x[i] = x;
        x += tab.width - h / 2;
    }
    const bool fits = m_tabs.empty() || extentFrom(0) <= width();
    m_buttonsShown = !((m_style & tabstyle::kAutoHideButtons) && (itemCount() <= 1 || fits));
    if (!m_buttonsShown)
        m_first = 0;
    else
        m_first = std::clamp(m_first, 0, maxFirst());
}

QRect CCustomTabCtrl::itemRect(int index) const
{
    if (index < 0 || index >= itemCount())
        return {};
    const int left = tabsStart() + m_x[index] - (m_x.empty() ? 0 : m_x[m_first]);
    return QRect(left, 0, m_tabs[index].width, height());
}

QRect CCustomTabCtrl::itemTextRect(int index) const
{
    const QRect outer = itemRect(index);
    if (outer.isNull())
        return {};
    return QRect(outer.left() + height() / 2, 0, m_tabs[index].textWidth + 4, height());
}

QPolygon CCustomTabCtrl::tabPolygon(int index) const
{
    const QRect r = itemRect(index);
    const int h = height();
    QPolygon polygon;
    polygon << QPoint(r.left(), 0) << QPoint(r.left() + h / 2, h - 1) << QPoint(r.right() - h / 2, h - 1)
            << QPoint(r.right(), 0);
    return polygon;
}

int CCustomTabCtrl::hitTest(const QPoint &point) const
{
    if (m_buttonsShown) {
        const int codes[] = {tabcode::kFirstButton, tabcode::kPrevButton, tabcode::kNextButton, tabcode::kLastButton};
        for (int code : codes)
            if (buttonRect(code).contains(point))
                return code;
        if (point.x() < tabsStart())
            return tabcode::kNothing;
    }
    // The selected tab lies in front, then later tabs over earlier ones.
    if (m_selected >= m_first && tabPolygon(m_selected).containsPoint(point, Qt::OddEvenFill))
        return m_selected;
    for (int i = itemCount() - 1; i >= m_first; --i)
        if (tabPolygon(i).containsPoint(point, Qt::OddEvenFill))
            return i;
    return tabcode::kNothing;
}

void CCustomTabCtrl::scroll(int code)
{
    switch (code) {
    case tabcode::kFirstButton:
        m_first = 0;
        break;
    case tabcode::kPrevButton:
        m_first = std::max(0, m_first - 1);
        break;
    case tabcode::kNextButton:
        m_first = std::min(maxFirst(), m_first + 1);
        break;
    case tabcode::kLastButton:
        m_first = maxFirst();
        break;
    default:
        break;
    }
    update();
}

void CCustomTabCtrl::ensureVisible(int index)
{
    if (!m_buttonsShown || index < 0 || index >= itemCount())
        return;
    if (index < m_first) {
        m_first = index;
    } else {
        while (m_first < maxFirst() && itemRect(index).right() >= width())
            ++m_first;
    }
}

void CCustomTabCtrl::send(int code, int index, const QPoint &point)
{
    CTabNotification record;
    record.strip = this;
    record.controlId = m_controlId;
    record.code = code;
    record.index = index;
    record.point = point;
    if (index >= 0 && index < itemCount()) {
        const Tab &tab = m_tabs[index];
        record.text = recordText(tab.text);
        record.data = tab.data;
        record.rect = itemRect(index);
        record.selected = tab.selected;
        record.highlighted = tab.highlighted;
    }
    emit notify(record);
    if (code == tabcode::kSelectionChanged)
        emit currentChanged(index);
    else if (code == tabcode::kHighlightChanged)
        emit highlightChanged(index, record.highlighted);
}

void CCustomTabCtrl::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int target = hitTest(point);
    if (event->button() == Qt::RightButton) {
        send(tabcode::kRightClick, target, point);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    // No grab of our own: the press holds the pointer until the release, and
    // a message box opened by a consumer of the notifications stays clickable.
    m_pressTarget = target;
    send(tabcode::kClick, target, point);
    if (target <= tabcode::kFirstButton && target >= tabcode::kLastButton) {
        m_buttonState[buttonIndex(target)] = ButtonState::Pressed;
        scroll(target);
        m_lastStep = m_clock();
        m_timer.start();
        return;
    }
    if (target < 0)
        return;
    std::vector<bool> before;
    for (const Tab &tab : m_tabs)
        before.push_back(tab.highlighted);
    if ((m_style & tabstyle::kHighlight) && (event->modifiers() & Qt::ControlModifier)) {
        if (target != m_selected)
            m_tabs[target].highlighted = !m_tabs[target].highlighted;
    } else {
        const int previous = m_selected;
        markSelected(target);
        ensureVisible(target);
        if (previous != target)
            send(tabcode::kSelectionChanged, target, point);
    }
    for (int i = 0; i < itemCount(); ++i)
        if (before[i] != m_tabs[i].highlighted)
            send(tabcode::kHighlightChanged, i, point);
    update();
}

void CCustomTabCtrl::mouseReleaseEvent(QMouseEvent *)
{
    m_pressTarget = tabcode::kNothing;
    for (ButtonState &state : m_buttonState)
        state = ButtonState::Normal;
    m_timer.stop();
    update();
}

void CCustomTabCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int target = hitTest(point);
    if (event->button() == Qt::RightButton)
        send(tabcode::kRightDoubleClick, target, point);
    else if (event->button() == Qt::LeftButton)
        send(tabcode::kDoubleClick, target, point);
}

void CCustomTabCtrl::leaveEvent(QEvent *)
{
    for (ButtonState &state : m_buttonState)
        state = ButtonState::Normal;
    m_timer.stop();
    update();
}

void CCustomTabCtrl::onRepeatTimer()
{
    const int target = m_pressTarget;
    if (target > tabcode::kFirstButton || target < tabcode::kLastButton)
        return;
    if (m_buttonState[buttonIndex(target)] != ButtonState::Pressed)
        return;
    const qint64 now = m_clock();
    if (now - m_lastStep < kRepeatDelayMs)
        return;
    scroll(target);
    m_lastStep = now;
}

bool CCustomTabCtrl::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && (m_style & tabstyle::kToolTips)) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int target = hitTest(help->pos());
        QString text;
        if (target >= 0)
            text = m_tabs[target].toolTip;
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void CCustomTabCtrl::resizeEvent(QResizeEvent *)
{
    recalcLayout();
}

void CCustomTabCtrl::drawButton(QPainter &p, int code) const
{
    const QRect r = buttonRect(code);
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = r;
    option.state |= m_buttonState[buttonIndex(code)] == ButtonState::Pressed ? QStyle::State_Sunken
                                                                              : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
    // The arrow glyph: a triangle, with a bar for first and last.
    const QPoint c = r.center();
    const bool left = code == tabcode::kFirstButton || code == tabcode::kPrevButton;
    QPolygon arrow;
    if (left)
        arrow << QPoint(c.x() - 2, c.y()) << QPoint(c.x() + 2, c.y() - 4) << QPoint(c.x() + 2, c.y() + 4);
    else
        arrow << QPoint(c.x() + 2, c.y()) << QPoint(c.x() - 2, c.y() - 4) << QPoint(c.x() - 2, c.y() + 4);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::ButtonText));
    p.drawPolygon(arrow);
    if (code == tabcode::kFirstButton)
        p.fillRect(c.x() - 4, c.y() - 4, 2, 9, palette().color(QPalette::ButtonText));
    if (code == tabcode::kLastButton)
        p.fillRect(c.x() + 3, c.y() - 4, 2, 9, palette().color(QPalette::ButtonText));
}

void CCustomTabCtrl::drawTab(QPainter &p, int index) const
{
    const Tab &tab = m_tabs[index];
    const QPolygon polygon = tabPolygon(index);
    p.setPen(palette().color(QPalette::Shadow));
    p.setBrush(tab.selected ? palette().color(QPalette::Base) : palette().color(QPalette::Button));
    p.drawPolygon(polygon);
    p.setFont(tab.selected || tab.highlighted ? m_boldFont : m_normalFont);
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(itemTextRect(index), Qt::AlignCenter | Qt::TextSingleLine, tab.text);
}

void CCustomTabCtrl::paintEvent(QPaintEvent *)
{
    // Drawn into an image first and copied in one piece, so nothing flickers.
    QPixmap image(size() * devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(palette().color(QPalette::Button));
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setClipRect(QRect(tabsStart(), 0, width() - tabsStart(), height()));
        for (int i = m_first; i < itemCount(); ++i) {
            if (itemRect(i).left() >= width())
                break;
            if (i != m_selected)
                drawTab(p, i);
        }
        // The line along the top of the row, broken under the selected tab.
        p.setPen(palette().color(QPalette::Shadow));
        const QRect selected = m_selected >= m_first ? itemRect(m_selected) : QRect();
        if (selected.isNull()) {
            p.drawLine(tabsStart(), 0, width(), 0);
        } else {
            p.drawLine(tabsStart(), 0, selected.left(), 0);
            p.drawLine(selected.right(), 0, width(), 0);
        }
        if (m_selected >= m_first && m_selected < itemCount())
            drawTab(p, m_selected);
        if (!selected.isNull()) {
            p.setPen(palette().color(QPalette::Base));
            p.drawLine(selected.left() + 1, 0, selected.right() - 1, 0);
        }
        p.setClipping(false);
        if (m_buttonsShown) {
            if (buttonCount() == 4) {
                drawButton(p, tabcode::kFirstButton);
                drawButton(p, tabcode::kLastButton);
            }
            drawButton(p, tabcode::kPrevButton);
            drawButton(p, tabcode::kNextButton);
        }
    }
    QPainter(this).drawPixmap(0, 0, image);
}

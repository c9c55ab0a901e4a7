#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <vector>

// Style bits of the strip.
namespace tabstyle {
inline constexpr unsigned kSameWidth = 0x01;
inline constexpr unsigned kFourButtons = 0x02;
inline constexpr unsigned kAutoHideButtons = 0x04;
inline constexpr unsigned kToolTips = 0x08;
inline constexpr unsigned kHighlight = 0x10;
inline constexpr unsigned kEditLabels = 0x20;
inline constexpr unsigned kDragMove = 0x40;
inline constexpr unsigned kDragCopy = 0x80;
} // namespace tabstyle

// Result codes and press targets.
namespace tabcode {
inline constexpr int kOutOfMemory = -1;
inline constexpr int kIndexOutOfRange = -2;
inline constexpr int kStyleForbids = -3;
inline constexpr int kTextTooLong = -7;
inline constexpr int kToolTipsOff = -8;
inline constexpr int kToolTipFailed = -9;

inline constexpr int kFirstButton = -1;
inline constexpr int kPrevButton = -2;
inline constexpr int kNextButton = -3;
inline constexpr int kLastButton = -4;
inline constexpr int kNothing = -5;

// Notification codes.
inline constexpr int kClick = -2;
inline constexpr int kDoubleClick = -3;
inline constexpr int kRightClick = -5;
inline constexpr int kRightDoubleClick = -6;
inline constexpr int kSelectionChanged = 0;
inline constexpr int kHighlightChanged = 1;
} // namespace tabcode

class CCustomTabCtrl;

// The record every notification carries.
struct CTabNotification {
    const CCustomTabCtrl *strip = nullptr;
    int controlId = 0;
    int code = 0;
    int index = -1;
    QString text; // at most 31 bytes of GBK, as the fixed field holds
    QVariant data;
    QRect rect;
    QPoint point;
    bool selected = false;
    bool highlighted = false;
};

// The strip of slanted tabs at the bottom of the frame.
class CCustomTabCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxTextLength = 29; // counted as GBK
    static constexpr int kRepeatDelayMs = 250;
    static constexpr int kTimerMs = 100;

    CCustomTabCtrl(unsigned style, int controlId, QWidget *parent = nullptr);

    int insertItem(int index, const QString &text, const QVariant &data = {});
    int setCurSel(int index);
    int curSel() const { return m_selected; }
    int itemCount() const { return static_cast<int>(m_tabs.size()); }
    QVariant itemData(int index) const;
    QString itemText(int index) const;
    int setItemTooltipText(int index, const QString &text);
    QString itemTooltipText(int index) const;
    bool isItemHighlighted(int index) const;
    int highlightItem(int index, bool on);
    void modifyStyle(unsigned remove, unsigned add);
    unsigned tabStyle() const { return m_style; }
    int controlId() const { return m_controlId; }

    // Layout, for callers and tests.
    int firstVisible() const { return m_first; }
    bool buttonsVisible() const { return m_buttonsShown; }
    int buttonCount() const;
    QRect buttonRect(int code) const; // code kFirstButton .. kLastButton
    QRect itemRect(int index) const;
    QRect itemTextRect(int index) const;
    int hitTest(const QPoint &point) const;
    // Measures used by the layout: the bold font decides tab widths.
    int textWidth(const QString &text) const;

    // The clock the scroll repeat reads, in milliseconds (tests replace it).
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // One tick of the 100 ms repeat timer.
    void onRepeatTimer();
    bool repeatTimerActive() const { return m_timer.isActive(); }

    QSize sizeHint() const override;

signals:
    // Every notification, with its record.
    void notify(const CTabNotification &record);
    // The user's press selected another tab.
    void currentChanged(int index);
    // The user's Ctrl+click changed a tab's highlight.
    void highlightChanged(int index, bool highlighted);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
    void leaveEvent(QEvent *) override;
    bool event(QEvent *) override;

private:
    struct Tab {
        QString text;
        QVariant data;
        QString toolTip;
        int width = 0;     // outer width
        int textWidth = 0; // measured in the bold font
        bool selected = false;
        bool highlighted = false;
    };
    enum class ButtonState { Normal, Pressed };

    void recalcLayout();
    void markSelected(int index);
    int tabsStart() const;
    int extentFrom(int first) const; // width the tabs from first on take
    int maxFirst() const;
    void scroll(int code);
    void ensureVisible(int index);
    QPolygon tabPolygon(int index) const;
    void send(int code, int index, const QPoint &point);
    void drawButton(QPainter &p, int code) const;
    void drawTab(QPainter &p, int index) const;
    int buttonIndex(int code) const;

    unsigned m_style;
    int m_controlId;
    std::vector<Tab> m_tabs;
    std::vector<int> m_x; // left edge of each tab before scrolling
    int m_selected = -1;
    int m_first = 0;
    bool m_buttonsShown = false;
    ButtonState m_buttonState[4] = {ButtonState::Normal, ButtonState::Normal, ButtonState::Normal, ButtonState::Normal};
    int m_pressTarget = tabcode::kNothing;
    qint64 m_lastStep = 0;
    QTimer m_timer;
    QFont m_normalFont;
    QFont m_boldFont;
    std::function<qint64()> m_clock;
};

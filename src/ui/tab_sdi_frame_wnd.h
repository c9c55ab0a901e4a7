#pragma once

#include "ui/custom_tab_ctrl.h"

#include <QMainWindow>

class QStackedWidget;

// A single-document frame showing, of several views, the one whose tab is
// selected in the strip docked along its bottom.
class CTabSDIFrameWnd : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kTabControlId = 100;
    // Four scroll buttons, tool tips, tab dragging (which never starts without
    // drag cursors); the buttons hide while all tabs fit once a view is added.
    static constexpr unsigned kCreateStyle = tabstyle::kFourButtons | tabstyle::kToolTips | tabstyle::kDragMove;
    static constexpr unsigned kRunStyle = kCreateStyle | tabstyle::kAutoHideButtons;

    explicit CTabSDIFrameWnd(QWidget *parent = nullptr);

    CCustomTabCtrl *tabCtrl() const { return m_tabs; }
    QWidget *activeView() const { return m_active; }
    // The views attached to the tabs, in tab order.
    QWidget *viewAt(int index) const;

    // Appends a tab for the view, selects it and brings the view to the front.
    // A bar, if given, stands above the view and comes and goes with it.
    bool addView(QWidget *view, const QString &caption, QWidget *bar = nullptr);

protected:
    // Creates the tab strip with the given height; false when it fails.
    bool createTabCtrl(int height);
    // Brings a view to the front (hiding the active one) and makes it active.
    void activateView(QWidget *view);
    // Called when the user's press selected another tab.
    virtual void onTabSelectionChanged(int index) = 0;

private:
    // What the stack holds for a view: the view, or the page of it and its bar.
    QWidget *pageOf(QWidget *view) const;

    CCustomTabCtrl *m_tabs = nullptr;
    QStackedWidget *m_views = nullptr;
    QWidget *m_active = nullptr;
};

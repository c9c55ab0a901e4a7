#include "ui/tab_sdi_frame_wnd.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
const char *const kPageProperty = "tabPage";
}

CTabSDIFrameWnd::CTabSDIFrameWnd(QWidget *parent) : QMainWindow(parent) {}

bool CTabSDIFrameWnd::createTabCtrl(int height)
{
    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_views = new QStackedWidget(client);
    m_tabs = new CCustomTabCtrl(kCreateStyle, kTabControlId, client);
    m_tabs->setFixedHeight(height);
    // The strip keeps its height along the bottom; the views fill the rest.
    layout->addWidget(m_views, 1);
    layout->addWidget(m_tabs, 0);
    setCentralWidget(client);
    connect(m_tabs, &CCustomTabCtrl::currentChanged, this, &CTabSDIFrameWnd::onTabSelectionChanged);
    return true;
}

QWidget *CTabSDIFrameWnd::viewAt(int index) const
{
    const QVariant data = m_tabs ? m_tabs->itemData(index) : QVariant();
    return data.canConvert<QObject *>() ? qobject_cast<QWidget *>(data.value<QObject *>()) : nullptr;
}

bool CTabSDIFrameWnd::addView(QWidget *view, const QString &caption, QWidget *bar)
{
    const QString title = windowTitle();
    const int previous = m_tabs->curSel();
    if (m_tabs->itemCount() == 0)
        m_tabs->modifyStyle(0, kRunStyle & ~kCreateStyle);
    const int index = m_tabs->insertItem(m_tabs->itemCount(), caption, QVariant::fromValue<QObject *>(view));
    if (index < 0)
        return false;
    m_tabs->setCurSel(index);
    m_tabs->setItemTooltipText(index, caption);
    if (bar) {
        auto *page = new QWidget(m_views);
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(bar);
        layout->addWidget(view, 1);
        view->setProperty(kPageProperty, QVariant::fromValue<QObject *>(page));
        m_views->addWidget(page);
    } else {
        m_views->addWidget(view);
    }
    if (previous >= 0 || !m_active)
        activateView(view);
    setWindowTitle(title);
    return true;
}

QWidget *CTabSDIFrameWnd::pageOf(QWidget *view) const
{
    QWidget *page = qobject_cast<QWidget *>(view->property(kPageProperty).value<QObject *>());
    return page ? page : view;
}

void CTabSDIFrameWnd::activateView(QWidget *view)
{
    QWidget *page = pageOf(view);
    if (m_views->indexOf(page) < 0)
        m_views->addWidget(page);
    m_views->setCurrentWidget(page);
    m_active = view;
}


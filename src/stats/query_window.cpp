#include "stats/query_window.h"

#include "db/connection.h"
#include "stats/export_dialog.h"
#include "stats/query_commands.h"
#include "stats/query_icons.h"
#include "stats/stat_list.h"
#include "stats/stat_report.h"
#include "stats/statistic_run.h"
#include "ui/carry_out.h"
#include "ui/date_dialog.h"

#include <QAction>
#include <QApplication>

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <utility>

using namespace stats::cmd;

namespace {

const char *const kDayMenuTitle = "DAY";
struct DayItem {
    int id;
    const char *text;
};
const DayItem kDayItems[] = {{ID_DAY_TODAY, "今天"},
                             {ID_DAY_THIS_MONTH, "本月"},
                             {ID_DAY_THIS_YEAR, "今年"},
                             {ID_DAY_INTERVAL, "设置日期间隔"}};

// Right edges of the status bar's parts, and their fixed texts.
const int kStatusRightEdges[] = {150, 200, 260, 349};
const char *const kStatusTexts[] = {"查询1", "时间1", "TEST", ""};

constexpr int kButtonMinWidth = 40;
constexpr int kButtonMaxWidth = 80;
constexpr int kInitialWidth = 860;
constexpr int kInitialHeight = 600;

} // namespace

CQueryWindow::CQueryWindow(db::Connection &connection, Clock clock, const QString &caption, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_connection(connection), m_clock(std::move(clock))
{
    setWindowTitle(caption);
    setWindowIcon(stats::queryWindowIcon());
    setModal(true);
    resize(kInitialWidth, kInitialHeight);
}

QAction *CQueryWindow::action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QString CQueryWindow::today() const { return QString::fromStdString(db::formatDay(m_clock())); }

QDate CQueryWindow::reportDate() const
{
    const db::DateTime now = m_clock();
    return QDate(now.year, now.month, now.day);
}

void CQueryWindow::createBars(const std::vector<Button> &buttons, int separatorAfter)
{
    m_buttons = buttons;
    m_band = new QWidget(this);
    m_band->setObjectName(QStringLiteral("band"));
    m_band->setAutoFillBackground(true);
    QPalette palette = m_band->palette();
    palette.setBrush(QPalette::Window, QBrush(stats::bandBackground(kBandHeight)));
    m_band->setPalette(palette);

    m_toolBar = new QToolBar(m_band);
    m_toolBar->setObjectName(QStringLiteral("queryToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(18, 18));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: none; }"));
    createDayMenu();
    for (const Button &button : buttons) {
        QAction *action = m_toolBar->addAction(stats::toolbarIcon(button.image), QString::fromUtf8(button.text));
        action->setData(button.id);
        m_actions[button.id] = action;
        connect(action, &QAction::triggered, this, [this, id = button.id] { onCommand(id); });
        auto *tool = qobject_cast<QToolButton *>(m_toolBar->widgetForAction(action));
        if (tool) {
            tool->setMinimumWidth(kButtonMinWidth);
            tool->setMaximumWidth(kButtonMaxWidth);
            tool->setAutoRaise(true);
        }
        if (button.id == ID_QUERY_SETTINGS && tool) {
            // A click opens the interval dialog; the arrow drops the DAY menu.
            tool->setMenu(m_dayMenu);
            tool->setPopupMode(QToolButton::MenuButtonPopup);
        }
        if (button.id == separatorAfter)
            m_toolBar->addSeparator();
    }
    m_toolBar->addSeparator();

    createStatusBar();
    m_list = new CStatList(this);
    m_list->raise();
    m_run = new CStatisticRun(m_statusBar, *m_list);
    layOut();
}

void CQueryWindow::createDayMenu()
{
    m_dayMenu = new QMenu(QString::fromUtf8(kDayMenuTitle), this);
    m_dayMenu->setObjectName(QStringLiteral("dayMenu%1").arg(IDR_DAY_MENU));
    for (const DayItem &item : kDayItems) {
        QAction *action = m_dayMenu->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        m_actions[item.id] = action;
        connect(action, &QAction::triggered, this, [this, id = item.id] { onCommand(id); });
    }
}

void CQueryWindow::createStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setSizeGripEnabled(false);
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        auto *part = new QLabel(QString::fromUtf8(kStatusTexts[i]), m_statusBar);
        part->setFixedWidth(kStatusRightEdges[i] - left);
        left = kStatusRightEdges[i];
        part->setFrameShape(i == 2 ? QFrame::NoFrame : QFrame::Panel);
        part->setFrameShadow(QFrame::Sunken);
        m_statusBar->addWidget(part);
        m_statusParts[i] = part;
    }
}

void CQueryWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void CQueryWindow::layOut()
{
    if (!m_band)
        return;
    const int w = width();
    const int h = height();
    m_band->setGeometry(0, 0, w, kBandHeight);
    m_toolBar->setGeometry(0, -2, w, kToolBarHeight);
    const int statusHeight = m_statusBar->sizeHint().height();
    m_statusBar->setGeometry(0, h - statusHeight, w, statusHeight);
    (m_listArea ? m_listArea : m_list)->setGeometry(0, kListTop, w, std::max(0, h - kListHeightLoss));
}

void CQueryWindow::setListArea(QWidget *area)
{
    m_listArea = area;
    layOut();
}

void CQueryWindow::previewReport(stats::StatReportKind kind)
{
    stats::previewStatistics(kind, *m_list, reportDate(), this);
}

void CQueryWindow::setRange(const QString &begin, const QString &end)
{
    m_begin = begin;
    m_end = end;
}

void CQueryWindow::enableCommands(bool on)
{
    for (const auto &[id, action] : m_actions)
        action->setEnabled(on);
}

void CQueryWindow::chooseStatistic(int kind)
{
    // A statistic asked for while one runs (a queued re-run reached while the
    // screen paints) runs when that one is over.
    if (m_running) {
        m_pendingKind = kind;
        return;
    }
    m_running = true;
    // The statistic makes its own columns.
    m_list->removeAll();
    m_kind = kind;
    // Clicks on the commands while it runs do nothing, now or later.
    enableCommands(false);
    m_run->setPaintInterval(m_paintEveryMs);
    m_run->begin();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    stats::Outcome outcome;
    const auto failure = ui::attempt([&] { outcome = runStatistic(kind, *m_run, *m_run); });
    QApplication::restoreOverrideCursor();
    m_run->end(outcome.stopped);
    enableCommands(true);
    if (failure)
        ui::show(this, *failure);
    else if (!outcome.message.empty())
        ui::inform(this, outcome.message);
    m_running = false;
    if (std::exchange(m_closeAfterRun, false)) {
        QDialog::reject();
        return;
    }
    if (const int pending = std::exchange(m_pendingKind, 0))
        chooseStatistic(pending);
}

void CQueryWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_running && event->key() == Qt::Key_Escape) {
        m_run->stop();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CQueryWindow::reject()
{
    if (m_running) {
        m_run->stop();
        m_closeAfterRun = true;
        return;
    }
    QDialog::reject();
}

void CQueryWindow::changeRange(const QString &begin, const QString &end)
{
    setRange(begin, end);
    for (const Button &button : m_buttons) {
        if (button.kind == m_kind) {
            QMetaObject::invokeMethod(this, [this, id = button.id] { onCommand(id); }, Qt::QueuedConnection);
            return;
        }
    }
}

void CQueryWindow::chooseInterval()
{
    CDateDialog dialog(m_clock(), this);
    if (dialog.exec() == QDialog::Accepted)
        changeRange(dialog.beginDay(), dialog.endDay());
}

void CQueryWindow::onCommand(int id)
{
    const QString day = today();
    switch (id) {
    case ID_DAY_TODAY:
        changeRange(day, day);
        return;
    case ID_DAY_THIS_MONTH:
        changeRange(day.left(6) + QStringLiteral("01"), day);
        return;
    case ID_DAY_THIS_YEAR:
        changeRange(day.left(4) + QStringLiteral("0101"), day);
        return;
    case ID_DAY_INTERVAL:
    case ID_QUERY_SETTINGS:
        chooseInterval();
        return;
    case ID_CLASS_PRINT_PREVIEW:
    case ID_DATE_PRINT_PREVIEW:
        if (action(id))
            previewReport(id == ID_CLASS_PRINT_PREVIEW ? stats::StatReportKind::Statistics
                                                       : stats::StatReportKind::QueryStatistics);
        return;
    case ID_EXPORT:
        stats::exportWithDialog(m_list, [this](const std::string &path) { return exportTo(path); });
        return;
    case ID_EXIT:
        reject();
        return;
    default:
        break;
    }
    for (const Button &button : m_buttons) {
        if (button.id == id && button.kind != 0) {
            chooseStatistic(button.kind);
            return;
        }
    }
}

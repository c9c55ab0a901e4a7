#include "app/main_frame.h"

#include "app/about_dialog.h"
#include "app/commands.h"
#include "app/help_page.h"
#include "app/links_dialog.h"
#include "app/lock_keys.h"
#include "app/password_dialog.h"
#include "app/recurring.h"
#include "db/connection.h"
#include "ledger/kassolt_doc.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_load.h"
#include "setup/backup_dialog.h"
#include "setup/users_dialog.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "ui/carry_out.h"
#include "ui/custom_tab_ctrl.h"
#include "ui/date_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QStatusBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

namespace {
const char *const kToday = "今天";
const char *const kThisMonth = "本月";
const char *const kThisYear = "今年";
const char *const kChooseDates = "日期选择";
const char *const kClockPrefix = "当前时间 ";
const char *const kLockTexts[] = {"CAP", "NUM", "SCRL"};
const char *const kPostingTitle = "自动记帐";
const char *const kPostingText = "正在记入固定收支项目：%1\n本项 %2 / %3 笔，共已记入 %4 笔";
const char *const kPostingStop = "停止";
const char *const kPostingStopping = "正在停止：%1 记完后停止\n本项 %2 / %3 笔，共已记入 %4 笔";
const char *const kPostingFailed = "以下固定收支项目没有自动记帐：";
const char *const kPostingStopped = "自动记帐已停止，其余项目将在下次启动时记帐。";
} // namespace

CMainFrame::CMainFrame(const QString &userName, Clock clock, QWidget *parent)
    : CTabSDIFrameWnd(parent), m_userName(userName), m_clock(std::move(clock)), m_document(new CKassoltDoc(this))
{
    setWindowTitle(QString::fromUtf8(ui::kAppTitle));
    m_connection = ui::openOrSay(this);
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::create()
{
    createMenus();
    createToolBar();
    createStatusBar();
    if (!createTabCtrl(kTabHeight))
        return false;
    createDateCombo();
    createTabKeys();
    const QString today = QString::fromStdString(db::formatDay(m_clock()));
    m_day = m_begin = m_end = today;

    // A lock key shows in its pane at once, not only at the next clock tick.
    qApp->installEventFilter(this);
    auto *clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, &CMainFrame::onClockTick);
    clockTimer->start(1000);
    onClockTick();
    return true;
}

QAction *CMainFrame::makeAction(int id, const QString &caption, const QString &shortcutText)
{
    // The shortcut stands as text after a tab, as the menus show it.
    auto *action = new QAction(shortcutText.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcutText, this);
    action->setData(id);
    m_actions[id] = action;
    connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    return action;
}

QAction *CMainFrame::action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::createMenus()
{
    using namespace cmd;
    QMenu *entries = menuBar()->addMenu(QStringLiteral("收入与支出(&F)"));
    entries->addAction(makeAction(ID_NEW_ENTRY, QStringLiteral("新增(&O)"), QStringLiteral("Ctrl+O")));
    entries->addAction(makeAction(ID_MODIFY_ENTRY, QStringLiteral("修改")));
    entries->addAction(makeAction(ID_DELETE_ENTRY, QStringLiteral("删除")));
    entries->addSeparator();
    entries->addAction(makeAction(ID_STOCKS_FUNDS, QStringLiteral("股票和基金")));
    entries->addAction(makeAction(ID_APP_EXIT, QStringLiteral("退出(&X)")));

    QMenu *view = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    QAction *toolbar = makeAction(ID_VIEW_TOOLBAR, QStringLiteral("工具栏(&T)"));
    QAction *status = makeAction(ID_VIEW_STATUS_BAR, QStringLiteral("状态栏(&S)"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    status->setCheckable(true);
    status->setChecked(true);
    view->addAction(toolbar);
    view->addAction(status);
    view->addAction(makeAction(ID_PRINT_PREVIEW, QStringLiteral("打印预览")));

    QMenu *queries = menuBar()->addMenu(QStringLiteral("查询及设置"));
    queries->addAction(makeAction(ID_SETTINGS, QStringLiteral("参数设置")));
    queries->addAction(makeAction(ID_QUERY_CLASS, QStringLiteral("分类查询(&S)"), QStringLiteral("Ctrl+S")));
    queries->addAction(makeAction(ID_QUERY_DATE, QStringLiteral("日期查询(&B)"), QStringLiteral("Ctrl+B")));
    queries->addAction(makeAction(ID_USERS, QStringLiteral("经手人设置(&O)"), QStringLiteral("Ctrl+O")));
    queries->addAction(makeAction(ID_CHANGE_PASSWORD, QStringLiteral("修改密码(&C)"), QStringLiteral("Ctrl+C")));
    queries->addAction(makeAction(ID_BACKUP_RESTORE, QStringLiteral("备份与恢复")));

    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(makeAction(ID_APP_ABOUT, QStringLiteral("关于 (&A)...")));
    help->addAction(makeAction(ID_HELP, QStringLiteral("帮助 (&H)")));

    makeAction(ID_STOCKS_FUNDS_TOOLBAR, QStringLiteral("股票和基金"));
    // The prompts the status bar shows while a command is under the pointer.
    m_actions[ID_CHANGE_PASSWORD]->setStatusTip(QStringLiteral("修改管理员密码"));
    m_actions[ID_STOCKS_FUNDS_TOOLBAR]->setStatusTip(QStringLiteral("最热门的理财"));
    m_actions[ID_STOCKS_FUNDS_TOOLBAR]->setToolTip(QStringLiteral("股票和基金"));

    // Commands handled by the ledger view stay disabled until their windows exist.
    const int viewCommands[] = {ID_NEW_ENTRY,   ID_MODIFY_ENTRY, ID_DELETE_ENTRY,        ID_STOCKS_FUNDS,
                                ID_PRINT_PREVIEW, ID_SETTINGS,   ID_QUERY_CLASS,         ID_QUERY_DATE,
                                ID_USERS,       ID_CHANGE_PASSWORD, ID_BACKUP_RESTORE,   ID_HELP,
                                ID_STOCKS_FUNDS_TOOLBAR};
    for (int id : viewCommands)
        m_actions[id]->setEnabled(isCommandAvailable(id));
}

void CMainFrame::createToolBar()
{
    using namespace cmd;
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar128"));
    m_toolBar->setMovable(true);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const int before[] = {ID_STOCKS_FUNDS_TOOLBAR, ID_NEW_ENTRY, ID_DELETE_ENTRY, ID_MODIFY_ENTRY};
    for (int id : before)
        m_toolBar->addAction(m_actions[id]);
    m_dateCombo = new QComboBox(m_toolBar);
    m_dateCombo->setObjectName(QStringLiteral("dateCombo32814"));
    m_dateCombo->setEditable(false);
    m_dateCombo->setFixedWidth(80);
    m_toolBar->addWidget(m_dateCombo);
    const int after[] = {ID_SETTINGS, ID_QUERY_DATE, ID_QUERY_CLASS};
    for (int id : after)
        m_toolBar->addAction(m_actions[id]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[ID_PRINT_PREVIEW]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[ID_APP_ABOUT]);
    // The buttons show short captions, without the menus' mnemonics and shortcuts.
    const std::pair<int, const char *> captions[] = {
        {ID_STOCKS_FUNDS_TOOLBAR, "股票基金"}, {ID_NEW_ENTRY, "新增"},     {ID_DELETE_ENTRY, "删除"},
        {ID_MODIFY_ENTRY, "修改"},             {ID_SETTINGS, "参数设置"},  {ID_QUERY_DATE, "日期查询"},
        {ID_QUERY_CLASS, "分类查询"},          {ID_PRINT_PREVIEW, "打印预览"}, {ID_APP_ABOUT, "关于"}};
    for (const auto &[id, caption] : captions)
        m_actions[id]->setIconText(QString::fromUtf8(caption));
}

void CMainFrame::createStatusBar()
{
    m_clockPane = new QLabel(this);
    statusBar()->addWidget(m_clockPane, 1);
    for (int i = 0; i < 3; ++i) {
        auto *pane = new QLabel(this);
        pane->setObjectName(QString::fromLatin1(kLockTexts[i]));
        pane->setMinimumWidth(40);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::StyledPanel);
        statusBar()->addPermanentWidget(pane);
        m_lockPanes[i] = pane;
    }
}

void CMainFrame::createDateCombo()
{
    for (const char *item : {kToday, kThisMonth, kThisYear, kChooseDates})
        m_dateCombo->addItem(QString::fromUtf8(item));
    m_dateCombo->setCurrentIndex(0);
    connect(m_dateCombo, &QComboBox::activated, this,
            [this](int index) { applyDateChoice(m_dateCombo->itemText(index)); });
}

// The ledger tabs can be reached without the mouse: Ctrl+PgDown and
// Ctrl+PgUp go to the next and the previous one, round the end.
void CMainFrame::createTabKeys()
{
    const std::pair<QKeyCombination, int> keys[] = {{Qt::CTRL | Qt::Key_PageDown, 1}, {Qt::CTRL | Qt::Key_PageUp, -1}};
    for (const auto &[key, step] : keys) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            const int count = tabCtrl()->itemCount();
            if (count > 1)
                selectLedgerTab((tabCtrl()->curSel() + step + count) % count);
        });
    }
}

void CMainFrame::postRecurringItems()
{
    if (!m_connection)
        return;
    m_posting = true;
    m_stopPosting = false;
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 lastPaint = -1000;
    int total = 0;
    app::RecurringProgress progress;
    progress.keepGoing = [this] { return !m_stopPosting; };
    progress.posted = [&](const std::string &item, int done, int count) {
        ++total;
        const qint64 now = elapsed.elapsed();
        // Keep the window painted and the dialog current a few times a second.
        if (now < m_progressDelayMs || now - lastPaint < 40)
            return;
        lastPaint = now;
        if (!m_progress) {
            m_progress = new QProgressDialog(this);
            m_progress->setWindowTitle(QString::fromUtf8(kPostingTitle));
            m_progress->setCancelButtonText(QString::fromUtf8(kPostingStop));
            m_progress->setWindowModality(Qt::WindowModal);
            m_progress->setMinimumDuration(0);
            m_progress->setAutoClose(false);
            m_progress->setAutoReset(false);
            connect(m_progress, &QProgressDialog::canceled, this, [this] { m_stopPosting = true; });
        }
        m_progress->setMaximum(count);
        m_progress->setValue(done);
        // A stop asked for is seen at once, though it waits for the item's end.
        if (QPushButton *stop = m_progress->findChild<QPushButton *>())
            stop->setEnabled(!m_stopPosting);
        m_progress->setLabelText(QString::fromUtf8(m_stopPosting ? kPostingStopping : kPostingText)
                                     .arg(QString::fromStdString(item))
                                     .arg(done)
                                     .arg(count)
                                     .arg(total));
        m_progress->show();
        QCoreApplication::processEvents();
    };
    const app::RecurringRun run = app::postAllRecurring(*m_connection, m_clock(), progress);
    delete m_progress;
    m_progress = nullptr;
    m_posting = false;
    QStringList lines;
    for (const std::string &failure : run.failures)
        lines << QString::fromStdString(failure);
    if (!lines.isEmpty())
        lines.prepend(QString::fromUtf8(kPostingFailed));
    if (run.stopped)
        lines << QString::fromUtf8(kPostingStopped);
    if (!lines.isEmpty())
        ui::inform(this, lines.join(QLatin1Char('\n')));
    // The window closed during the posting closes now that it is over.
    if (m_closeAfterPosting)
        QTimer::singleShot(0, this, &QWidget::close);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // Closing during the start-up posting stops it after the current item.
    if (m_posting) {
        m_stopPosting = true;
        m_closeAfterPosting = true;
        event->ignore();
        return;
    }
    CTabSDIFrameWnd::closeEvent(event);
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            QTimer::singleShot(50, this, &CMainFrame::updateLockPanes);
    }
    return CTabSDIFrameWnd::eventFilter(watched, event);
}

bool CMainFrame::isCommandAvailable(int id) const { return cmd::isViewCommandAvailable(id); }

void CMainFrame::runOtherCommand(int id)
{
    // The query, user, password, backup, link and help windows open here.
    using namespace cmd;
    switch (id) {
    case ID_QUERY_CLASS:
    case ID_QUERY_DATE:
        if (!ui::connectionOrSay(this, connection()))
            break;
        if (id == ID_QUERY_CLASS) {
            CClassQueryWindow window(*m_connection, m_clock, this);
            window.exec();
        } else {
            CDateQueryWindow window(*m_connection, m_clock, this);
            window.exec();
        }
        break;
    case ID_USERS: {
        CUsersDialog dialog(connection(), m_userName, this);
        dialog.exec();
        break;
    }
    case ID_CHANGE_PASSWORD: {
        CPasswordDialog dialog(connection(), m_userName, this);
        dialog.exec();
        break;
    }
    case ID_BACKUP_RESTORE: {
        CBackupDialog dialog(this, m_clock, this);
        dialog.exec();
        break;
    }
    case ID_STOCKS_FUNDS:
    case ID_STOCKS_FUNDS_TOOLBAR: {
        CLinksDialog dialog(this);
        dialog.exec();
        break;
    }
    case ID_HELP:
        app::openHelpPage();
        break;
    default:
        break;
    }
}

std::string CMainFrame::databasePath() const
{
    return m_connection ? m_connection->path() : db::dataSourceOf(db::kConnectionString);
}

void CMainFrame::closeConnection() { m_connection.reset(); }

bool CMainFrame::openConnection()
{
    // Silent: the restore that reopens the books says itself what failed.
    try {
        m_connection = std::make_unique<db::Connection>(db::kConnectionString);
    } catch (const db::Error &) {
        m_connection.reset();
    }
    return m_connection != nullptr;
}

void CMainFrame::reloadLedger()
{
    if (auto *view = qobject_cast<CKassoltView *>(activeView()))
        view->loadLedger(view->ledgerIndex());
}

void CMainFrame::initialUpdate()
{
    auto *view = new CKassoltView(this, 0);
    view->onInitialUpdate();
}

CKassoltView *CMainFrame::ledgerView(int tab) const { return qobject_cast<CKassoltView *>(viewAt(tab)); }

void CMainFrame::postAddLedgerTab(int index)
{
    QMetaObject::invokeMethod(this, [this, index] { onAddLedgerTab(index); }, Qt::QueuedConnection);
}

void CMainFrame::postSelectLedgerTab(int index)
{
    QMetaObject::invokeMethod(this, [this, index] { selectLedgerTab(index); }, Qt::QueuedConnection);
}

void CMainFrame::onAddLedgerTab(int index)
{
    auto *view = new CKassoltView(this, index);
    addLedgerView(view, QString::fromStdString(ledger::ledgerCaption(index)));
}

void CMainFrame::addLedgerView(CKassoltView *view, const QString &caption)
{
    const QString title = m_document->title();
    QWidget *previous = activeView();
    addView(view, caption);
    if (previous)
        m_document->detachView(previous);
    m_document->attachView(view);
    m_document->setTitle(title);
}

void CMainFrame::selectLedgerTab(int index)
{
    CCustomTabCtrl *strip = tabCtrl();
    if (strip->itemCount() == 1 || index < 0 || index >= strip->itemCount())
        return;
    strip->setCurSel(index);
    auto *view = ledgerView(index);
    if (!view || view == activeView())
        return;
    QWidget *previous = activeView();
    activateView(view);
    view->loadLedger(index);
    m_document->detachView(previous);
    m_document->attachView(view);
}

void CMainFrame::onTabSelectionChanged(int index) { selectLedgerTab(index); }

void CMainFrame::applyDateChoice(const QString &text)
{
    const db::DateTime now = m_clock();
    const QString today = QString::fromStdString(db::formatDay(now));
    if (text == QString::fromUtf8(kToday)) {
        m_day = m_begin = m_end = today;
    } else if (text == QString::fromUtf8(kThisMonth)) {
        m_day = m_end = today;
        m_begin = today.left(6) + QStringLiteral("01");
    } else if (text == QString::fromUtf8(kThisYear)) {
        m_day = m_end = today;
        m_begin = today.left(4) + QStringLiteral("0101");
    } else if (text == QString::fromUtf8(kChooseDates)) {
        CDateDialog dialog(now, this);
        if (dialog.exec() == QDialog::Accepted) {
            m_begin = dialog.beginDay();
            m_end = dialog.endDay();
        }
    } else {
        return;
    }
    // The general journal comes to the front, reloaded even when it was shown.
    selectLedgerTab(1);
    selectLedgerTab(0);
}

void CMainFrame::onClockTick()
{
    const db::DateTime t = m_clock();
    m_clockPane->setText(QString::fromUtf8(kClockPrefix) +
                         QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                                           t.second));
    updateLockPanes();
}

void CMainFrame::updateLockPanes()
{
    const std::optional<app::LockKeys> keys = app::readLockKeys();
    const bool on[] = {keys && keys->caps, keys && keys->num, keys && keys->scroll};
    for (int i = 0; i < 3; ++i)
        m_lockPanes[i]->setText(on[i] ? QString::fromLatin1(kLockTexts[i]) : QString());
}

void CMainFrame::runCommand(int id)
{
    using namespace cmd;
    switch (id) {
    case ID_APP_EXIT:
        close();
        return;
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(m_toolBar->isHidden());
        m_actions[id]->setChecked(!m_toolBar->isHidden());
        return;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        m_actions[id]->setChecked(!statusBar()->isHidden());
        return;
    case ID_APP_ABOUT:
        showAbout();
        return;
    default:
        if (auto *view = qobject_cast<CKassoltView *>(activeView()))
            view->onCommand(id);
        return;
    }
}

void CMainFrame::showAbout()
{
    CAboutDialog dialog(this);
    dialog.exec();
}

#include "app/main_frame.h"

#include "app/about_dialog.h"
#include "app/book_menu.h"
#include "app/commands.h"
#include "app/lock_keys.h"
#include "app/recurring.h"
#include "app/startup.h"
#include "db/connection.h"
#include "ledger/filter_bar.h"
#include "ledger/kassolt_doc.h"
#include "ledger/kassolt_view.h"
#include "ledger/ledger_load.h"
#include "ui/carry_out.h"
#include "ui/custom_tab_ctrl.h"
#include "ui/date_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QStatusBar>
#include <QPushButton>
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
const char *const kBalanceLine = "帐户余额合计 ";
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
    createSafetyNets();
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

void CMainFrame::createStatusBar()
{
    m_clockPane = new QLabel(this);
    statusBar()->addWidget(m_clockPane, 1);
    // Which book is open, its path shortened in the middle.
    const QString book = QString::fromStdString(databasePath());
    m_bookPane = new QLabel(shortenedPath(this, book, CBookMenu::kPathChars), this);
    m_bookPane->setObjectName(QStringLiteral("book"));
    m_bookPane->setToolTip(book);
    m_bookPane->setFrameShape(QFrame::StyledPanel);
    statusBar()->addPermanentWidget(m_bookPane);
    m_balancePane = new QLabel(this);
    m_balancePane->setObjectName(QStringLiteral("balancePane"));
    statusBar()->addPermanentWidget(m_balancePane);
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
            // 停止 takes no focus and is no default button: a stray Enter or
            // Space does not stop the catch-up, a click or Escape does.
            if (QPushButton *stop = m_progress->findChild<QPushButton *>()) {
                stop->setAutoDefault(false);
                stop->setDefault(false);
                stop->setFocusPolicy(Qt::NoFocus);
            }
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

void CMainFrame::switchToBook(const QString &path)
{
    // The new book's login comes first: cancelled or refused, the window
    // stays on its own book, whose user has logged in already.
    const std::string current = db::bookFileOf(db::kConnectionString);
    db::setBookFile(QFile::encodeName(path).toStdString());
    std::optional<QString> user;
    if (const std::unique_ptr<db::Connection> books = ui::openOrSay(this))
        user = app::runLogin(*books);
    if (!user) {
        db::setBookFile(current);
        return;
    }
    m_nextBook = path;
    m_nextUser = *user;
    close();
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
    backUpIfChanged(true);
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

std::string CMainFrame::databasePath() const
{
    return m_connection ? m_connection->path() : db::bookFileOf(db::kConnectionString);
}

void CMainFrame::closeConnection()
{
    m_connection.reset();
    m_totalWatch.forget();
}

bool CMainFrame::openConnection()
{
    // Silent: the restore that reopens the books says itself what failed.
    try {
        m_connection = std::make_unique<db::Connection>(db::kConnectionString);
        m_totalWatch.forget();
    } catch (const db::Error &) {
        m_connection.reset();
    }
    return m_connection != nullptr;
}

void CMainFrame::reloadLedger()
{
    if (auto *view = qobject_cast<CKassoltView *>(activeView()))
        view->loadLedger(view->ledgerIndex());
    // Other books may be open now (a restore), with another history.
    refreshHistoryCommands();
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
    addView(view, caption, view->filterBar());
    // Whatever a view shows afresh may have changed the money in the accounts.
    connect(view, &CKassoltView::booksShown, this, &CMainFrame::refreshBalancePane);
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

void CMainFrame::refreshBalancePane()
{
    m_balancePane->clear();
    if (!m_connection)
        return;
    const std::string today = db::formatDay(m_clock());
    db::Money total;
    if (!ui::attempt([&] { total = m_totalWatch.totalAt(*m_connection, today); }))
        m_balancePane->setText(QString::fromUtf8(kBalanceLine) + QString::fromStdString(ledger::yuan(total)));
}

void CMainFrame::onClockTick()
{
    const db::DateTime t = m_clock();
    m_clockPane->setText(QString::fromUtf8(kClockPrefix) +
                         QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                                           t.second));
    updateLockPanes();
    refreshIfBooksChanged();
}

void CMainFrame::updateLockPanes()
{
    const std::optional<app::LockKeys> keys = app::readLockKeys();
    const bool on[] = {keys && keys->caps, keys && keys->num, keys && keys->scroll};
    for (int i = 0; i < 3; ++i)
        m_lockPanes[i]->setText(on[i] ? QString::fromLatin1(kLockTexts[i]) : QString());
}

void CMainFrame::showAbout()
{
    CAboutDialog dialog(this);
    dialog.exec();
}

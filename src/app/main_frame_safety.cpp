// The main window's safety nets: undo and redo of the user's actions, and
// the automatic backups taken on close and once a day.
#include "app/commands.h"
#include "app/main_frame.h"
#include "db/connection.h"
#include "db/history.h"
#include "setup/auto_backup.h"
#include "ui/carry_out.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QtDebug>

namespace {

const char *const kUndo = "撤销";
const char *const kRedo = "重做";
const char *const kUndoKey = "Ctrl+Z";
const char *const kRedoKey = "Ctrl+Y";
const char *const kUndone = "已撤销：%1";
const char *const kRedone = "已重做：%1";
const char *const kBackedUp = "已自动备份：%1";
// A day between the automatic backups of a window left open.
constexpr long long kBackupInterval = 24 * 60 * 60;
constexpr int kBackupCheckMs = 60 * 1000;
constexpr int kMessageMs = 10 * 1000;

} // namespace

void CMainFrame::createSafetyNets()
{
    m_noticePane = new QLabel(this);
    m_noticePane->setObjectName(QStringLiteral("noticePane"));
    m_noticePane->setStyleSheet(QStringLiteral("color: #b00000"));
    m_noticePane->hide();
    statusBar()->addWidget(m_noticePane);

    const db::DateTime now = m_clock();
    m_lastAutoBackup = now;
    if (m_connection) {
        const std::vector<setup::AutoBackupFile> copies = setup::automaticBackups(m_connection->path());
        if (!copies.empty())
            m_lastAutoBackup = copies.front().taken;
        // A backup that failed as the program closed last time is told now, once.
        std::optional<std::string> earlier;
        ui::attempt([&] { earlier = setup::takeBackupFailure(*m_connection); });
        if (earlier)
            showNotice(QString::fromStdString(*earlier));
        m_backupChanges = m_connection->totalChanges();
    }
    auto *daily = new QTimer(this);
    connect(daily, &QTimer::timeout, this, &CMainFrame::checkDailyBackup);
    daily->start(kBackupCheckMs);
    refreshHistoryCommands();
}

void CMainFrame::showNotice(const QString &text)
{
    qWarning().noquote() << text;
    m_noticePane->setText(text);
    m_noticePane->setToolTip(text);
    m_noticePane->show();
}

void CMainFrame::refreshHistoryCommands()
{
    db::NextSteps next;
    if (m_connection) {
        ui::attempt([&] { next = db::nextSteps(*m_connection); });
        m_historyVersion = m_connection->dataVersion();
    }
    const std::tuple<int, const char *, const char *, const std::optional<std::string> &> steps[] = {
        {cmd::ID_EDIT_UNDO, kUndo, kUndoKey, next.undo}, {cmd::ID_EDIT_REDO, kRedo, kRedoKey, next.redo}};
    for (const auto &[id, verb, key, label] : steps) {
        QAction *command = action(id);
        const QString text =
            QString::fromUtf8(verb) + (label ? QLatin1Char(' ') + QString::fromStdString(*label) : QString());
        command->setText(text + QLatin1Char('\t') + QString::fromLatin1(key));
        command->setToolTip(text);
        command->setEnabled(label.has_value());
    }
}

void CMainFrame::refreshIfBooksChanged()
{
    if (m_connection && m_connection->dataVersion() != m_historyVersion)
        refreshHistoryCommands();
}

void CMainFrame::stepHistory(bool back)
{
    db::StepResult result;
    const bool done = ui::carryOut(this, connection(), [&](db::Connection &c) {
        result = back ? db::undoLast(c) : db::redoNext(c);
        return static_cast<db::Result>(result);
    });
    if (done) {
        reloadLedger();
        statusBar()->showMessage(QString::fromUtf8(back ? kUndone : kRedone).arg(QString::fromStdString(result.label)),
                                 kMessageMs);
    }
    refreshHistoryCommands();
}

void CMainFrame::backUpIfChanged(bool closing)
{
    if (!m_connection || m_connection->inTransaction() || m_connection->totalChanges() == m_backupChanges)
        return;
    m_lastAutoBackup = m_clock();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const setup::AutoBackupResult result = setup::makeAutomaticBackup(*m_connection, m_lastAutoBackup);
    QApplication::restoreOverrideCursor();
    if (result) {
        m_backupChanges = m_connection->totalChanges();
        if (!closing)
            statusBar()->showMessage(QString::fromUtf8(kBackedUp).arg(QString::fromStdString(result.path)), kMessageMs);
        return;
    }
    const QString message = QString::fromStdString(result.message);
    if (!closing) {
        showNotice(message);
        return;
    }
    qWarning().noquote() << message;
    ui::attempt([&] { setup::noteBackupFailure(*m_connection, result.message); });
}

void CMainFrame::checkDailyBackup()
{
    if (!m_posting && m_clock().serial() - m_lastAutoBackup.serial() >= kBackupInterval)
        backUpIfChanged(false);
}

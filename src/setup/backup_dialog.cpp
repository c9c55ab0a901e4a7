#include "setup/backup_dialog.h"

#include "db/connection.h"
#include "setup/backup.h"
#include "setup/database_host.h"
#include "ui/carry_out.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace {
const char *const kTitle = "备份与恢复";
const char *const kSaveTitle = "请输入要保存的文件名";
const char *const kSaveFilter = "MICROSOFT BACKUP FILE (*.BAT *.bat)";
const char *const kOpenTitle = "打开备份文件";
const char *const kOpenFilters[] = {"MyType Files (*.BAT *.bat)", "All Files (*)"};
const char *const kSuffix = "BAT";
const char *const kAskKeepDamaged = "帐本已经损坏（%1），它的备份不能用来恢复。仍然写入这个备份吗？";

// Keeps the wait cursor up while a copy runs.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

CBackupDialog::CBackupDialog(setup::DatabaseHost *host, Clock clock, QWidget *parent)
    : QDialog(parent), m_host(host), m_clock(std::move(clock))
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_backup = new QPushButton(QStringLiteral("备份"), this);
    m_restore = new QPushButton(QStringLiteral("恢复"), this);
    for (QPushButton *button : {m_backup, m_restore}) {
        button->setAutoDefault(false);
        button->setMinimumSize(96, 40);
    }
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(24);
    layout->addWidget(m_backup);
    layout->addWidget(m_restore);
    connect(m_backup, &QPushButton::clicked, this, &CBackupDialog::onBackup);
    connect(m_restore, &QPushButton::clicked, this, &CBackupDialog::onRestore);
}

QString CBackupDialog::suggestedBackupPath() const
{
    const db::DateTime today = m_clock();
    return QDir::home().filePath(QStringLiteral("account-%1.BAT").arg(QString::fromStdString(db::formatDay(today))));
}

void CBackupDialog::onBackup()
{
    QFileDialog chooser(this, QString::fromUtf8(kSaveTitle));
    chooser.setObjectName(QStringLiteral("backupFileDialog"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setNameFilter(QString::fromUtf8(kSaveFilter));
    chooser.setDefaultSuffix(QString::fromLatin1(kSuffix));
    const QString suggested = suggestedBackupPath();
    chooser.setDirectory(QFileInfo(suggested).absolutePath());
    chooser.selectFile(QFileInfo(suggested).fileName());
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    backUpTo(chooser.selectedFiles().first());
}

void CBackupDialog::backUpTo(const QString &path)
{
    db::Connection *connection = ui::connectionOrSay(this, m_host ? m_host->connection() : nullptr);
    if (!connection)
        return;
    // Damaged books give a copy that no restore takes: written only when
    // the user says so.
    auto keepDamaged = [this](const std::string &cause) {
        QApplication::restoreOverrideCursor();
        const bool keep = ui::askYesNo(this, QString::fromUtf8(kAskKeepDamaged).arg(QString::fromStdString(cause)));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return keep;
    };
    setup::BackupResult result;
    {
        WaitCursor wait;
        result = setup::backupDatabase(*connection, QFile::encodeName(path).toStdString(), keepDamaged);
    }
    ui::inform(this, result ? std::string(setup::kMsgBackedUp) : result.message);
}

void CBackupDialog::onRestore()
{
    QFileDialog chooser(this, QString::fromUtf8(kOpenTitle), QDir::homePath());
    chooser.setObjectName(QStringLiteral("restoreFileDialog"));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    QStringList filters;
    for (const char *filter : kOpenFilters)
        filters << QString::fromUtf8(filter);
    chooser.setNameFilters(filters);
    chooser.setDefaultSuffix(QString::fromLatin1(kSuffix));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    restoreFrom(chooser.selectedFiles().first());
}

void CBackupDialog::restoreFrom(const QString &path)
{
    if (!m_host)
        return;
    db::Result result;
    {
        WaitCursor wait;
        result = setup::restoreDatabase(*m_host, QFile::encodeName(path).toStdString(), m_clock());
    }
    if (!result) {
        // The original file is in place again, and the lists still show it.
        ui::inform(this, result.message);
        return;
    }
    m_host->reloadLedger();
    ui::inform(this, QString::fromUtf8(setup::kMsgRestored));
}

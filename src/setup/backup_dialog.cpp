#include "setup/backup_dialog.h"

#include "db/connection.h"
#include "setup/auto_backup.h"
#include "setup/backup.h"
#include "setup/database_host.h"
#include "ui/carry_out.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "备份与恢复";
const char *const kSaveTitle = "请输入要保存的文件名";
const char *const kSaveFilter = "MICROSOFT BACKUP FILE (*.BAT *.bat)";
const char *const kOpenTitle = "打开备份文件";
const char *const kOpenFilters[] = {"MyType Files (*.BAT *.bat)", "All Files (*)"};
const char *const kSuffix = "BAT";
const char *const kAskKeepDamaged = "帐本已经损坏（%1），它的备份不能用来恢复。仍然写入这个备份吗？";
const char *const kAutomaticCaption = "自动备份（帐本旁的 backups 文件夹，新的在前）：";
const char *const kAutomaticColumns[] = {"日期", "时间", "大小", "笔数", "最后一笔"};
const char *const kRestoreAutomatic = "从所选的自动备份恢复";
const char *const kUnreadable = "损坏";
const char *const kUnusable = "读不出，不能用来恢复";
const char *const kAskRestoreAutomatic = "用 %1 %2 的自动备份替换现在的帐本吗？现在的帐本会另存一份在它旁边。";

QString sizeText(long long bytes)
{
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024 * 1024), 0, 'f', 1);
}

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
    m_automatic = new QTreeWidget(this);
    m_automatic->setObjectName(QStringLiteral("automaticBackups"));
    m_automatic->setRootIsDecorated(false);
    m_automatic->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList columns;
    for (const char *column : kAutomaticColumns)
        columns << QString::fromUtf8(column);
    m_automatic->setHeaderLabels(columns);
    m_automatic->setMinimumSize(520, 180);
    m_restoreAutomatic = new QPushButton(QString::fromUtf8(kRestoreAutomatic), this);
    m_restoreAutomatic->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(24);
    buttons->addStretch();
    buttons->addWidget(m_backup);
    buttons->addWidget(m_restore);
    buttons->addStretch();
    auto *restoreRow = new QHBoxLayout;
    restoreRow->addStretch();
    restoreRow->addWidget(m_restoreAutomatic);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);
    layout->addLayout(buttons);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QString::fromUtf8(kAutomaticCaption), this));
    layout->addWidget(m_automatic);
    layout->addLayout(restoreRow);
    connect(m_backup, &QPushButton::clicked, this, &CBackupDialog::onBackup);
    connect(m_restore, &QPushButton::clicked, this, &CBackupDialog::onRestore);
    connect(m_restoreAutomatic, &QPushButton::clicked, this, &CBackupDialog::onRestoreAutomatic);
    connect(m_automatic, &QTreeWidget::itemDoubleClicked, this, &CBackupDialog::onRestoreAutomatic);
    connect(m_automatic, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_restoreAutomatic->setEnabled(!m_automatic->selectedItems().isEmpty()); });
    listAutomaticBackups();
}

void CBackupDialog::listAutomaticBackups()
{
    m_automatic->clear();
    if (m_host) {
        for (const setup::AutoBackupFile &file : setup::automaticBackups(m_host->databasePath())) {
            const setup::BackupSummary summary = setup::summarizeBackup(file);
            const std::string moment = db::formatMoment(file.taken);
            auto *item = new QTreeWidgetItem(m_automatic);
            item->setText(0, QString::fromStdString(moment.substr(0, 10)));
            item->setText(1, QString::fromStdString(moment.substr(11)));
            item->setText(2, sizeText(summary.size));
            item->setText(3, summary.entries ? QString::number(*summary.entries) : QString::fromUtf8(kUnreadable));
            item->setText(4, summary.entries ? QString::fromStdString(summary.lastEntry) : QString::fromUtf8(kUnusable));
            item->setToolTip(4, QString::fromStdString(summary.problem));
            item->setData(0, Qt::UserRole, QString::fromStdString(file.path));
            for (int column : {2, 3})
                item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    for (int column = 0; column < m_automatic->columnCount(); ++column)
        m_automatic->resizeColumnToContents(column);
    m_restoreAutomatic->setEnabled(false);
}

void CBackupDialog::onRestoreAutomatic()
{
    const QList<QTreeWidgetItem *> chosen = m_automatic->selectedItems();
    if (chosen.isEmpty())
        return;
    const QTreeWidgetItem *item = chosen.first();
    if (!ui::askYesNo(this, QString::fromUtf8(kAskRestoreAutomatic).arg(item->text(0), item->text(1))))
        return;
    restoreFrom(item->data(0, Qt::UserRole).toString());
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
    listAutomaticBackups();
    ui::inform(this, QString::fromUtf8(setup::kMsgRestored));
}

#pragma once

#include "db/dates.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTreeWidget;

namespace setup {
class DatabaseHost;
inline constexpr int IDC_BACKUP = 1068;
inline constexpr int IDC_RESTORE = 1069;
} // namespace setup

// "备份与恢复": copies the database to a file the user names, and puts a
// chosen backup in its place: a file, or one of the automatic backups it
// lists, newest first. Closed with the window's close box.
class CBackupDialog : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;

    CBackupDialog(setup::DatabaseHost *host, Clock clock = db::localNow, QWidget *parent = nullptr);

    QPushButton *backupButton() const { return m_backup; }
    QPushButton *restoreButton() const { return m_restore; }
    QTreeWidget *automaticList() const { return m_automatic; }
    QPushButton *restoreAutomaticButton() const { return m_restoreAutomatic; }

    // Ask for a file, then back up to it or restore from it.
    void onBackup();
    void onRestore();
    // The work after the choice of a file, with its message.
    void backUpTo(const QString &path);
    void restoreFrom(const QString &path);
    // The backup file offered in the save dialog: today's date in the home folder.
    QString suggestedBackupPath() const;
    // Lists the automatic backups of the books again.
    void listAutomaticBackups();
    // Asks, then restores the automatic backup selected in the list.
    void onRestoreAutomatic();

private:
    setup::DatabaseHost *m_host;
    Clock m_clock;
    QPushButton *m_backup;
    QPushButton *m_restore;
    QTreeWidget *m_automatic;
    QPushButton *m_restoreAutomatic;
};

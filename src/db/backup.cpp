#include "db/backup.h"

#include "db/connection.h"

#include <sqlite3.h>

namespace db {

void Backup::Finisher::operator()(sqlite3_backup *backup) const noexcept { sqlite3_backup_finish(backup); }

Backup::Backup(Connection &destination, Connection &source) : m_destination(destination)
{
    destination.requireOpen();
    source.requireOpen();
    m_backup.reset(sqlite3_backup_init(destination.handle(), "main", source.handle(), "main"));
    if (!m_backup)
        destination.check(sqlite3_errcode(destination.handle()));
}

Backup::~Backup() = default;

bool Backup::step(int pages)
{
    if (!m_backup)
        throw Error("页面复制已经结束");
    const int rc = sqlite3_backup_step(m_backup.get(), pages);
    if (rc == SQLITE_DONE)
        return true;
    if (rc == SQLITE_OK)
        return false;
    // Finishing puts the failure of the copy into the destination connection.
    m_backup.reset();
    m_destination.check(rc);
    return false;
}

int Backup::remaining() const { return m_backup ? sqlite3_backup_remaining(m_backup.get()) : 0; }

int Backup::pageCount() const { return m_backup ? sqlite3_backup_pagecount(m_backup.get()) : 0; }

} // namespace db

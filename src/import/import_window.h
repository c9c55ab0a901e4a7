#pragma once

#include "db/dates.h"

#include <QString>

namespace db {
class Connection;
}
class QWidget;

namespace import {

enum class FormatChoice;

// The file dialog's choices of bill; the first tells the format from the content.
QStringList billFileFilters();
FormatChoice formatOfFilter(const QString &filter);

// Imports one bill file through the windows: reads it (asking for the
// columns of a bank's statement that no saved mapping fits, or whenever the
// user chose the bank statement format), shows the preview and writes what
// the user confirms. True when entries were written.
bool importBillFile(QWidget *parent, db::Connection &connection, const QString &path, FormatChoice format,
                    const QString &handler, const db::DateTime &now);

// Asks for a bill file and imports it; true when entries were written.
bool importBill(QWidget *parent, db::Connection *connection, const QString &handler, const db::DateTime &now);

} // namespace import

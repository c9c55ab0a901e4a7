#pragma once

#include "ui/table_report.h"

#include <QDate>

class LedgerModel;
class QWidget;

namespace ledger {

// The printed table of a ledger: its tab title, captions, column boundaries
// and cell limits. An index outside the six has no columns.
ui::TableLayout reportLayout(int ledgerIndex);

// The report of the rows a ledger list shows, summary row included, read
// from the list whenever a page is drawn.
std::unique_ptr<ui::TableReport> makeLedgerReport(const LedgerModel &model, QDate today);

// Opens the print preview of a ledger list; nothing happens when the list
// has no rows.
void previewLedger(const LedgerModel &model, QDate today, QWidget *owner);

} // namespace ledger

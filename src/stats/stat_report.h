#pragma once

#include "ui/table_report.h"

#include <QDate>

#include <memory>

class CStatList;
class QWidget;

namespace stats {

// The two printed forms of a statistics list: "统计报表" of the class query
// window and "查询统计报表" of the date query window.
enum class StatReportKind { Statistics, QueryStatistics };

// Title, captions, column boundaries and cell limits of a statistics report.
// Cells are centred in their boxes.
ui::TableLayout statReportLayout(StatReportKind kind);

// The report of the rows the list displays (the children of a collapsed row
// are left out), read from the list whenever a page is drawn.
std::unique_ptr<ui::TableReport> makeStatReport(StatReportKind kind, const CStatList &list, QDate today);

// The same report in a layout of the caller's.
std::unique_ptr<ui::TableReport> makeListReport(ui::TableLayout layout, const CStatList &list, QDate today);

// Opens the print preview of a statistics list; nothing happens when the
// list displays no row.
// With a cover, the report's first page holds what the cover draws (a
// chart) and the table follows.
void previewStatistics(StatReportKind kind, const CStatList &list, QDate today, QWidget *owner,
                       ui::CoveredReport::Cover cover = {});
// The report the preview shows: covered when a cover is given.
std::unique_ptr<ui::Report> makeStatReport(StatReportKind kind, const CStatList &list, QDate today,
                                           ui::CoveredReport::Cover cover);
void previewList(ui::TableLayout layout, const CStatList &list, QDate today, QWidget *owner);

} // namespace stats

#pragma once

#include "ui/report_pages.h"

#include <QDate>
#include <QString>

class QPainter;

namespace ui {

// Where a report reads its rows: the rows a list shows, in order, each cell
// as the list shows it. Read whenever a page is drawn.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    virtual int rowCount() const = 0;
    virtual QString cell(int row, int column) const = 0;
    // Whether a row prints its cells whole, never cut to a column's limit:
    // a summary row, whose count and balance must not lose their figures.
    virtual bool printsWhole(int /*row*/) const { return false; }
    // Called as a page begins, before its rows are read: a source that is
    // costly to read cell by cell takes its look at the list here.
    virtual void pageStarting() const {}
};

// A report that the preview shows, prints and exports: its title, its date,
// its rows and the routine that draws one of its pages.
class Report {
public:
    virtual ~Report() = default;

    // Names the print document and the suggested PDF file.
    virtual QString title() const = 0;
    // The day the report is made, printed under its table.
    virtual QDate date() const = 0;
    // The number of rows to report; the page count follows from it.
    virtual int rowCount() const = 0;
    // The pages the report fills: those of its rows unless it has more.
    virtual int pageCount() const { return ui::pageCount(rowCount()); }
    // Draws page `page` (from 1) of `pageCount` pages. The painter's unit is
    // one millimetre with the origin at the page's top left corner; its
    // device tells the resolution. `printing` is false in the preview (the
    // page outline is drawn) and true on a printer or in a PDF.
    virtual void drawPage(QPainter &painter, int page, int pageCount, bool printing) const = 0;
};

} // namespace ui

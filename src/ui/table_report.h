#pragma once

#include "ui/report.h"

#include <QFont>
#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

namespace ui {

// One column of a ruled report table: its caption, its box between two x
// positions (millimetres) and how many bytes of a cell's text are printed,
// counted as GBK counts them.
struct TableColumn {
    QString caption;
    double left = 0;
    double right = 0;
    int byteLimit = 31;
};

struct TableLayout {
    QString title;
    std::vector<TableColumn> columns;
    // Left-aligned cells whose text is wider than the box run on over the
    // empty cells to their right; centred cells stay in their own box, a
    // text too wide for it drawn from the box's left.
    Qt::Alignment cellAlignment = Qt::AlignLeft;
};

// The report every list of the program prints: a title on the first page, a
// ruled table of 29 rows on the first page and 30 on later ones, and under
// the last row the report date and the page number.
class TableReport : public Report {
public:
    TableReport(TableLayout layout, std::unique_ptr<const ReportRows> rows, QDate date);

    QString title() const override { return m_layout.title; }
    QDate date() const override { return m_date; }
    int rowCount() const override;
    void drawPage(QPainter &painter, int page, int pageCount, bool printing) const override;

    const TableLayout &layout() const { return m_layout; }
    // Pages of another kind that come before the table (a chart): the
    // table's pages follow them and are numbered on from them.
    void setLeadingPages(int pages) { m_leadingPages = pages; }
    int leadingPages() const { return m_leadingPages; }
    // The text a cell prints: the list's text cut to the column's limit,
    // or whole in a row that prints whole (in smaller type, or on two lines,
    // where its box is too narrow).
    QString cellText(int row, int column) const;

private:
    void drawRow(QPainter &painter, int row, double top) const;

    TableLayout m_layout;
    std::unique_ptr<const ReportRows> m_rows;
    QDate m_date;
    int m_leadingPages = 0;
};

// A table report with a page of its own before the table: the cover's
// routine draws into the box of the page below the title, in millimetres.
class CoveredReport : public Report {
public:
    using Cover = std::function<void(QPainter &painter, const QRectF &box)>;
    CoveredReport(std::unique_ptr<TableReport> table, Cover cover);

    QString title() const override { return m_table->title(); }
    QDate date() const override { return m_table->date(); }
    int rowCount() const override { return m_table->rowCount(); }
    int pageCount() const override;
    void drawPage(QPainter &painter, int page, int pageCount, bool printing) const override;

private:
    std::unique_ptr<TableReport> m_table;
    Cover m_cover;
};

// The fonts of the reports: the title in 黑体 14 pt, the table in 宋体 10 pt.
QFont reportTitleFont();
QFont reportTableFont();

// Makes the painter's unit one millimetre on its device.
void useMillimetres(QPainter &painter);
// Draws text in a box given in millimetres with the font at its real size:
// the text is laid out in device pixels, so the millimetre scale does not
// enlarge the font. The text is clipped to the box.
void drawTextInBox(QPainter &painter, const QRectF &box, int flags, const QString &text);
// The width in millimetres that a text takes in the painter's font.
double textWidth(const QPainter &painter, const QString &text);

// "报表日期:%Y-%m-%d" and "第 %i 页/共 %i 页".
QString reportDateLine(QDate date);
QString reportPageLine(int page, int pageCount);

} // namespace ui

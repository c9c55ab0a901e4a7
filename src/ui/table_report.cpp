#include "ui/table_report.h"

#include "ui/report_pages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPaintDevice>

#include <algorithm>

namespace ui {

namespace {

constexpr int kCellFlags = Qt::AlignVCenter | Qt::TextSingleLine;
// The smallest type a whole text is set in on one line; below it, it takes
// two lines of the row.
constexpr double kSmallestPoints = 6;
constexpr double kPointStep = 0.25;

QFont makeFont(const char *family, int points)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSize(points);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void drawOutline(QPainter &painter)
{
    QPen pen(Qt::black, 2);
    pen.setCosmetic(true);
    // In device pixels and one pixel inside the page, so that all four
    // sides of the 2-pixel pen fall on the page.
    const QRectF page = painter.transform().mapRect(QRectF(0, 0, kPageWidth, kPageHeight)).adjusted(1, 1, -1, -1);
    painter.save();
    painter.resetTransform();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(page);
    painter.restore();
}

// Draws a text that must be printed whole in a box narrower than it: in
// smaller type on one line, or, where even the smallest is too wide, on two
// lines in a type that fits them.
void drawWholeText(QPainter &painter, const QRectF &box, int alignment, const QString &text)
{
    const QFont normal = painter.font();
    QFont smaller = normal;
    double points = normal.pointSizeF();
    auto fits = [&](double lines) {
        smaller.setPointSizeF(points);
        painter.setFont(smaller);
        return textWidth(painter, text) <= box.width() * lines;
    };
    while (points > kSmallestPoints && !fits(1))
        points -= kPointStep;
    int flags = alignment | kCellFlags;
    if (!fits(1)) {
        // Two lines share the row's height; they break between words where
        // they can, so that the figure stays on one line.
        auto twoLinesFit = [&] {
            if (!fits(1.9))
                return false;
            const double lineHeight = QFontMetricsF(smaller, painter.device()).lineSpacing() / painter.transform().m22();
            return 2 * lineHeight <= box.height();
        };
        points = normal.pointSizeF();
        while (points > kPointStep && !twoLinesFit())
            points -= kPointStep;
        flags = alignment | Qt::AlignVCenter | Qt::TextWordWrap;
    }
    drawTextInBox(painter, box, flags, text);
    painter.setFont(normal);
}

} // namespace

TableReport::TableReport(TableLayout layout, std::unique_ptr<const ReportRows> rows, QDate date)
    : m_layout(std::move(layout)), m_rows(std::move(rows)), m_date(date)
{
}

int TableReport::rowCount() const { return m_rows ? m_rows->rowCount() : 0; }

QString TableReport::cellText(int row, int column) const
{
    if (!m_rows || column < 0 || column >= static_cast<int>(m_layout.columns.size()))
        return {};
    const QString whole = m_rows->cell(row, column);
    if (m_rows->printsWhole(row))
        return whole;
    return QString::fromStdString(printedCellText(whole.toStdString(), m_layout.columns[column].byteLimit));
}

void TableReport::drawPage(QPainter &painter, int page, int pageCount, bool printing) const
{
    if (m_rows)
        m_rows->pageStarting();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!printing)
        drawOutline(painter);
    painter.setPen(QPen(Qt::black, 0));
    page -= m_leadingPages;
    if (page == 1) {
        painter.setFont(reportTitleFont());
        drawTextInBox(painter, QRectF(0, kTitleTop, kPageWidth, kTitleBottom - kTitleTop),
                      Qt::AlignCenter | Qt::TextSingleLine, m_layout.title);
    }
    painter.setFont(reportTableFont());
    const auto &columns = m_layout.columns;
    const double top = tableTop(page);
    double y = top;
    painter.drawLine(QLineF(kTableLeft, y, kTableRight, y));
    if (!columns.empty()) {
        for (const TableColumn &column : columns)
            drawTextInBox(painter, QRectF(column.left, y, column.right - column.left, kRowHeight),
                          Qt::AlignCenter | Qt::TextSingleLine, column.caption);
        for (std::size_t c = 1; c < columns.size(); ++c)
            painter.drawLine(QLineF(columns[c].left, y, columns[c].left, y + kRowHeight));
        y += kRowHeight;
        painter.drawLine(QLineF(kTableLeft, y, kTableRight, y));

        const int first = firstRowOfPage(page);
        const int end = std::min(rowCount(), first + pageRowQuota(page));
        for (int row = first; row < end; ++row) {
            drawRow(painter, row, y);
            y += kRowHeight;
        }
    }
    painter.drawLine(QLineF(kTableLeft, top, kTableLeft, y));
    painter.drawLine(QLineF(kTableRight, top, kTableRight, y));

    const QRectF footer(kTableLeft, y, kTableRight - kTableLeft, kRowHeight);
    drawTextInBox(painter, footer, Qt::AlignLeft | kCellFlags, reportDateLine(m_date));
    drawTextInBox(painter, footer, Qt::AlignRight | kCellFlags, reportPageLine(page + m_leadingPages, pageCount));
    painter.restore();
}

// The chart of a cover page fills the table's width at two thirds of it in
// height, below the title.
constexpr double kCoverHeight = (kTableRight - kTableLeft) * 2 / 3;

CoveredReport::CoveredReport(std::unique_ptr<TableReport> table, Cover cover)
    : m_table(std::move(table)), m_cover(std::move(cover))
{
    m_table->setLeadingPages(1);
}

int CoveredReport::pageCount() const
{
    const int tablePages = ui::pageCount(rowCount());
    return tablePages > 0 ? tablePages + 1 : 0;
}

void CoveredReport::drawPage(QPainter &painter, int page, int pageCount, bool printing) const
{
    if (page > 1) {
        m_table->drawPage(painter, page, pageCount, printing);
        return;
    }
    painter.save();
    if (!printing)
        drawOutline(painter);
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(reportTitleFont());
    drawTextInBox(painter, QRectF(0, kTitleTop, kPageWidth, kTitleBottom - kTitleTop),
                  Qt::AlignCenter | Qt::TextSingleLine, title());
    const QRectF box(kTableLeft, kFirstPageTableTop, kTableRight - kTableLeft, kCoverHeight);
    painter.save();
    m_cover(painter, box);
    painter.restore();
    painter.setFont(reportTableFont());
    const QRectF footer(kTableLeft, box.bottom(), box.width(), kRowHeight);
    drawTextInBox(painter, footer, Qt::AlignLeft | kCellFlags, reportDateLine(date()));
    drawTextInBox(painter, footer, Qt::AlignRight | kCellFlags, reportPageLine(page, pageCount));
    painter.restore();
}

void TableReport::drawRow(QPainter &painter, int row, double top) const
{
    const auto &columns = m_layout.columns;
    const bool spills = !(m_layout.cellAlignment & Qt::AlignHCenter);
    std::vector<bool> ruleHidden(columns.size(), false);
    for (std::size_t c = 0; c < columns.size();) {
        const QString text = cellText(row, static_cast<int>(c));
        const double textLeft = columns[c].left + kTextInset;
        double right = columns[c].right;
        std::size_t next = c + 1;
        if (spills && !text.isEmpty()) {
            // A long text (the summary's count and balance) runs on over
            // empty neighbours instead of being clipped at its own box.
            const double width = textWidth(painter, text);
            while (width > right - textLeft && next < columns.size() &&
                   cellText(row, static_cast<int>(next)).isEmpty()) {
                ruleHidden[next] = true;
                right = columns[next].right;
                ++next;
            }
            // Past a last column that ends short of the table's right edge
            // there is no rule to cross.
            if (next == columns.size() && width > right - textLeft)
                right = std::max(right, kTableRight);
        }
        int alignment = static_cast<int>(m_layout.cellAlignment);
        const QRectF box(textLeft, top, right - textLeft, kRowHeight);
        const bool tooWide = textWidth(painter, text) > box.width();
        // Centred in a box too narrow for it, a text would lose both its
        // ends; it keeps its beginning instead.
        if (!spills && tooWide)
            alignment = Qt::AlignLeft;
        if (tooWide && m_rows->printsWhole(row))
            drawWholeText(painter, box, alignment, text);
        else
            drawTextInBox(painter, box, alignment | kCellFlags, text);
        c = next;
    }
    const double bottom = top + kRowHeight;
    painter.drawLine(QLineF(kTableLeft, bottom, kTableRight, bottom));
    for (std::size_t c = 1; c < columns.size(); ++c)
        if (!ruleHidden[c])
            painter.drawLine(QLineF(columns[c].left, top, columns[c].left, bottom));
}

QFont reportTitleFont() { return makeFont("黑体", 14); }

QFont reportTableFont() { return makeFont("宋体", 10); }

void useMillimetres(QPainter &painter)
{
    QPaintDevice *device = painter.device();
    painter.scale(device->logicalDpiX() / 25.4, device->logicalDpiY() / 25.4);
}

void drawTextInBox(QPainter &painter, const QRectF &box, int flags, const QString &text)
{
    if (text.isEmpty())
        return;
    const QRectF device = painter.transform().mapRect(box);
    painter.save();
    painter.resetTransform();
    painter.drawText(device, flags, text);
    painter.restore();
}

double textWidth(const QPainter &painter, const QString &text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double scale = painter.transform().m11();
    return scale > 0 ? metrics.horizontalAdvance(text) / scale : 0;
}

QString reportDateLine(QDate date)
{
    return QStringLiteral("报表日期:") + date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString reportPageLine(int page, int pageCount)
{
    return QStringLiteral("第 %1 页/共 %2 页").arg(page).arg(pageCount);
}

} // namespace ui

#include "ui/preview_pane.h"

#include "ui/report.h"
#include "ui/report_pages.h"
#include "ui/table_report.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

QBrush backgroundTile()
{
    QPixmap tile(8, 8);
    tile.fill(QColor(0x8c, 0x8c, 0x8c));
    QPainter painter(&tile);
    painter.fillRect(0, 0, 4, 4, QColor(0x98, 0x98, 0x98));
    painter.fillRect(4, 4, 4, 4, QColor(0x98, 0x98, 0x98));
    return QBrush(tile);
}

} // namespace

CPreviewPane::CPreviewPane(const ui::Report &report, QWidget *parent)
    : QAbstractScrollArea(parent), m_report(report), m_background(backgroundTile())
{
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setSingleStep(kLineStep);
    updateScrollRanges();
}

QSize CPreviewPane::pagePixels() const
{
    return {static_cast<int>(std::lround(ui::kPageWidth * logicalDpiX() / 25.4)),
            static_cast<int>(std::lround(ui::kPageHeight * logicalDpiY() / 25.4))};
}

void CPreviewPane::showPage(int page, int pageCount)
{
    m_page = page;
    // Drawn off-screen at the screen's resolution, the print flag clear.
    m_image = QImage(pagePixels(), QImage::Format_RGB32);
    m_image.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
    m_image.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
    m_image.fill(Qt::white);
    QPainter painter(&m_image);
    ui::useMillimetres(painter);
    m_report.drawPage(painter, page, pageCount, false);
    painter.end();
    viewport()->update();
}

QPoint CPreviewPane::pageOrigin() const
{
    return {logicalDpiX() / 2 - horizontalScrollBar()->value(), logicalDpiY() / 2 - verticalScrollBar()->value()};
}

void CPreviewPane::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), m_background);
    if (!m_image.isNull())
        painter.drawImage(pageOrigin(), m_image);
}

void CPreviewPane::updateScrollRanges()
{
    // The page and an inch around it (half before, half after) can be
    // scrolled into view; a page step is what the pane shows.
    const QSize page = pagePixels();
    const QSize shown = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, page.width() + logicalDpiX() - shown.width()));
    horizontalScrollBar()->setPageStep(shown.width());
    verticalScrollBar()->setRange(0, std::max(0, page.height() + logicalDpiY() - shown.height()));
    verticalScrollBar()->setPageStep(shown.height());
}

void CPreviewPane::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void CPreviewPane::wheelEvent(QWheelEvent *event)
{
    // One line per 120 / (the system's wheel scroll lines) units, forward
    // movement scrolling up.
    const int lines = QApplication::wheelScrollLines();
    if (lines <= 0) {
        event->ignore();
        return;
    }
    const int unit = std::max(1, 120 / lines);
    m_wheelRemainder += event->angleDelta().y();
    const int steps = m_wheelRemainder / unit;
    m_wheelRemainder -= steps * unit;
    verticalScrollBar()->setValue(verticalScrollBar()->value() - steps * kLineStep);
    event->accept();
}

void CPreviewPane::keyPressEvent(QKeyEvent *event)
{
    // These move through the pages: they belong to the preview window.
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        event->ignore();
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

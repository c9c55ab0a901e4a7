#pragma once

#include <QAbstractScrollArea>
#include <QBrush>
#include <QImage>

namespace ui {
class Report;
}

// The page pane of the print preview: one page at its real size, half an
// inch from the pane's left and top edges, over a tiled background.
class CPreviewPane : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kLineStep = 15;

    explicit CPreviewPane(const ui::Report &report, QWidget *parent = nullptr);

    // Draws page `page` of `pageCount` anew and shows it.
    void showPage(int page, int pageCount);
    int page() const { return m_page; }
    // The shown page as drawn at the screen's resolution.
    const QImage &pageImage() const { return m_image; }
    // Where the page's top left corner lies in the pane, scrolling included.
    QPoint pageOrigin() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateScrollRanges();
    QSize pagePixels() const;

    const ui::Report &m_report;
    int m_page = 0;
    QImage m_image;
    QBrush m_background;
    int m_wheelRemainder = 0;
};

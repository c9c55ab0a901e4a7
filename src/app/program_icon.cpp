#include "app/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app {

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // The tile.
    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, QColor(0x2f, 0x7d, 0xc9));
    tile.setColorAt(1, QColor(0x1b, 0x4f, 0x8f));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // The open book: two pages with ruled lines.
    p.setBrush(QColor(0xfb, 0xfb, 0xf5));
    QPainterPath left;
    left.moveTo(32, 17);
    left.cubicTo(25, 13, 16, 13, 10, 15);
    left.lineTo(10, 47);
    left.cubicTo(16, 45, 25, 45, 32, 49);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(32, 17);
    right.cubicTo(39, 13, 48, 13, 54, 15);
    right.lineTo(54, 47);
    right.cubicTo(48, 45, 39, 45, 32, 49);
    right.closeSubpath();
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(QPen(QColor(0x9d, 0xb4, 0xcc), 1.4));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 22 + i * 6;
        p.drawLine(QPointF(14, y), QPointF(28, y + 1.5));
        p.drawLine(QPointF(36, y + 1.5), QPointF(50, y));
    }
    p.setPen(QPen(QColor(0x1b, 0x4f, 0x8f), 1.2));
    p.drawLine(QPointF(32, 17), QPointF(32, 49));

    // The coin with the yuan sign.
    p.setPen(QPen(QColor(0xb8, 0x86, 0x0b), 1.5));
    p.setBrush(QColor(0xf5, 0xc2, 0x31));
    p.drawEllipse(QPointF(46, 45), 11, 11);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(42, 39), QPointF(46, 45));
    p.drawLine(QPointF(50, 39), QPointF(46, 45));
    p.drawLine(QPointF(46, 45), QPointF(46, 52));
    p.drawLine(QPointF(42.5, 46), QPointF(49.5, 46));
    p.drawLine(QPointF(42.5, 49.5), QPointF(49.5, 49.5));
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

} // namespace app

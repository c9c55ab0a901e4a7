#include "stats/query_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace stats {

namespace {

constexpr int kToolbarSize = 18;

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawLedger(QPainter &p)
{
    p.setPen(QPen(QColor(30, 80, 150), 1));
    p.setBrush(QColor(90, 150, 220));
    p.drawRoundedRect(QRectF(3.5, 1.5, 11, 15), 1.5, 1.5);
    p.setPen(QPen(Qt::white, 1));
    for (int y = 5; y <= 13; y += 3)
        p.drawLine(QPointF(6, y + 0.5), QPointF(12, y + 0.5));
}

void drawExpense(QPainter &p)
{
    p.setPen(QPen(QColor(150, 40, 30), 1));
    p.setBrush(QColor(225, 90, 70));
    p.drawRoundedRect(QRectF(1.5, 4.5, 15, 10), 2, 2);
    p.setBrush(QColor(250, 210, 90));
    p.drawEllipse(QRectF(10, 7.5, 4, 4));
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(QPointF(4, 9.5), QPointF(8, 9.5));
}

void drawSummary(QPainter &p)
{
    QPainterPath sigma;
    sigma.moveTo(14, 3);
    sigma.lineTo(4, 3);
    sigma.lineTo(9.5, 9);
    sigma.lineTo(4, 15);
    sigma.lineTo(14, 15);
    p.setPen(QPen(QColor(40, 120, 60), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(sigma);
}

void drawPie(QPainter &p)
{
    const QRectF box(2, 2, 14, 14);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(78, 121, 167));
    p.drawPie(box, 90 * 16, 250 * 16);
    p.setBrush(QColor(242, 142, 43));
    p.drawPie(box, 340 * 16, 110 * 16);
}

void drawCalendar(QPainter &p)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 3.5, 13, 12));
    p.fillRect(QRectF(3, 4, 12, 3), QColor(200, 60, 50));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int x = 5; x <= 13; x += 4)
        for (int y = 9; y <= 13; y += 3)
            p.drawPoint(x, y);
}

void drawPrinter(QPainter &p)
{
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 1.5, 7, 6));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(1.5, 6.5, 15, 7), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 11.5, 7, 5));
    p.fillRect(QRectF(13, 8, 2, 1.5), QColor(60, 200, 80));
}

void drawExit(QPainter &p)
{
    p.setPen(QPen(QColor(110, 70, 40), 1));
    p.setBrush(QColor(180, 130, 80));
    p.drawRect(QRectF(2.5, 1.5, 8, 15));
    p.setPen(QPen(QColor(200, 40, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(8, 9), QPointF(16, 9));
    p.drawLine(QPointF(13, 6), QPointF(16, 9));
    p.drawLine(QPointF(13, 12), QPointF(16, 9));
}

} // namespace

QIcon toolbarIcon(int index)
{
    QPixmap pixmap = canvas(kToolbarSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
        drawLedger(p);
        break;
    case 1:
        drawExpense(p);
        break;
    case 2:
        drawSummary(p);
        break;
    case 3:
        drawCalendar(p);
        break;
    case 4:
        drawPrinter(p);
        break;
    case 6:
        drawPie(p);
        break;
    default:
        drawExit(p);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

QIcon headRowIcon()
{
    QPixmap pixmap = canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 110, 20), 1));
    p.setBrush(QColor(245, 200, 80));
    QPainterPath folder;
    folder.moveTo(1.5, 4.5);
    folder.lineTo(6, 4.5);
    folder.lineTo(7.5, 6);
    folder.lineTo(14.5, 6);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.drawPath(folder);
    p.end();
    return QIcon(pixmap);
}

QIcon queryWindowIcon()
{
    QPixmap pixmap = canvas(16);
    QPainter p(&pixmap);
    p.fillRect(QRect(2, 9, 3, 6), QColor(70, 130, 200));
    p.fillRect(QRect(6, 5, 3, 10), QColor(220, 90, 70));
    p.fillRect(QRect(10, 2, 3, 13), QColor(60, 160, 80));
    p.end();
    return QIcon(pixmap);
}

QPixmap bandBackground(int height)
{
    QPixmap pixmap(8, height);
    QPainter p(&pixmap);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(250, 251, 253));
    gradient.setColorAt(1, QColor(218, 226, 238));
    p.fillRect(pixmap.rect(), gradient);
    p.end();
    return pixmap;
}

} // namespace stats

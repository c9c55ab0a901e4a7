#include "ui/header_text.h"

#include <QPainter>

namespace {
const QColor kFill(91, 91, 255);
constexpr int kFontHeight = 12;
constexpr int kMargin = 4;

QFont headerFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(kFontHeight);
    font.setBold(true);
    return font;
}
} // namespace

CHeaderText::CHeaderText(QWidget *parent) : QWidget(parent) { setFont(headerFont()); }

void CHeaderText::setText(const QString &text)
{
    m_text = text;
    setToolTip(text);
    update();
}

QString CHeaderText::shownText() const
{
    return fontMetrics().elidedText(m_text, Qt::ElideMiddle, width() - 2 * kMargin);
}

QSize CHeaderText::sizeHint() const { return {200, fontMetrics().height() + 8}; }

void CHeaderText::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kFill);
    p.setPen(Qt::white);
    p.setFont(font());
    p.drawText(rect().adjusted(kMargin, 0, -kMargin, 0), Qt::AlignCenter | Qt::TextSingleLine, shownText());
}

#pragma once

// Reading a printed report back: the text of a PDF page through pdftotext,
// and a page rendered through pdftoppm, with probes for rules and ink.

#include <QImage>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace pdf_pages {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of one page, laid out as on the page.
inline QString pageText(const QString &pdf, int page)
{
    const QString p = QString::number(page);
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QStringLiteral("-f"), p, QStringLiteral("-l"), p, pdf, QStringLiteral("-")});
}

// The words of a page's text and where each stands, in millimetres from the
// page's top left corner. A word is what pdftotext finds between blanks; a
// clipped word keeps its whole width.
inline QList<QPair<QString, QRectF>> wordBoxes(const QString &pdf, int page)
{
    const QString p = QString::number(page);
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), p,
                                                          QStringLiteral("-l"), p, pdf, QStringLiteral("-")});
    const QRegularExpression pattern(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                                                    "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const double toMm = 25.4 / 72;
    QList<QPair<QString, QRectF>> words;
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble() * toMm, m.captured(2).toDouble() * toMm),
                                            QPointF(m.captured(3).toDouble() * toMm, m.captured(4).toDouble() * toMm))});
    }
    return words;
}

// A page rendered at 72 pixels per inch.
inline QImage pageImage(const QString &pdf, int page, const QString &folder)
{
    const QString p = QString::number(page);
    const QString stem = folder + QStringLiteral("/page") + p;
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), p,
                                     QStringLiteral("-l"), p, QStringLiteral("-singlefile"), QStringLiteral("-png"),
                                     pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

inline int px(double mm) { return int(std::lround(mm * 72 / 25.4)); }

inline bool isDark(const QImage &image, int x, int y) { return image.pixelColor(x, y).lightness() < 160; }

// Share of dark pixels along a horizontal rule at y (mm) from x0 to x1 (mm),
// or a vertical one at x from y0 to y1; the better of the two pixel lines
// nearest to the position, since the rule may fall on either.
inline double ruleShare(const QImage &image, bool horizontal, double at, double from, double to)
{
    double best = 0;
    const int centre = int(at * 72 / 25.4);
    for (int line = centre; line <= centre + 1; ++line) {
        int dark = 0;
        const int a = px(from) + 1;
        const int b = px(to) - 1;
        for (int i = a; i <= b; ++i)
            dark += horizontal ? isDark(image, i, line) : isDark(image, line, i);
        best = std::max(best, double(dark) / (b - a + 1));
    }
    return best;
}

// Whether any pixel of the box (mm) is dark.
inline bool anyDark(const QImage &image, double x0, double y0, double x1, double y1)
{
    for (int y = px(y0); y <= px(y1); ++y)
        for (int x = px(x0); x <= px(x1); ++x)
            if (isDark(image, x, y))
                return true;
    return false;
}

} // namespace pdf_pages

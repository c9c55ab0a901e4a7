#include "stats/chart_drawing.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QBarSeries>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace stats {

namespace {

// Sixteen colours far enough apart to tell slices apart, then grey.
const QRgb kPalette[kPaletteSize + 1] = {
    0x4e79a7, 0xf28e2b, 0xe15759, 0x76b7b2, 0x59a14f, 0xedc948, 0xb07aa1, 0xff9da7,
    0x9c755f, 0x2f4b7c, 0xd45087, 0x7fb800, 0x00a2d1, 0xa05195, 0xffa600, 0x3d9970, 0xbab0ac};

const QColor kIncomeColour(0x59a14f);
const QColor kSpendingColour(0xe15759);
const QColor kDifferenceColour(0x2f4b7c);
const QColor kBalanceColour(0x4e79a7);

// A slice below this share of its ring shows no label beside it.
constexpr double kLabelledShare = 0.04;
// Up to this many months each month is labelled; beyond, each year.
constexpr int kMostMonthLabels = 24;
// Up to this many points a line marks each of them.
constexpr std::size_t kMostMarkedPoints = 36;

QChart *newChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->attachToChart();
    chart->setBackgroundRoundness(0);
    return chart;
}

QString text(const std::string &value) { return QString::fromStdString(value); }

// The months along the bottom: the month's place is its index. The labels
// name each month ("3月" within one year, "2025-03" across years), or each
// year when the months are many.
QCategoryAxis *monthAxis(const std::vector<std::string> &months)
{
    auto *axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    const int n = static_cast<int>(months.size());
    axis->setRange(-0.5, std::max(0, n - 1) + 0.5);
    axis->setStartValue(-0.5);
    const bool byYear = n > kMostMonthLabels;
    const bool oneYear = n > 0 && months.front().substr(0, 4) == months.back().substr(0, 4);
    for (int i = 0; i < n; ++i) {
        const std::string &month = months[i];
        if (byYear) {
            if (i + 1 == n || months[i + 1].substr(0, 4) != month.substr(0, 4))
                axis->append(text(month.substr(0, 4)), i + 0.5);
        } else if (oneYear) {
            axis->append(QString::number(std::stoi(month.substr(4, 2))) + QStringLiteral("月"), i + 0.5);
        } else {
            axis->append(text(monthLabel(month)), i + 0.5);
        }
    }
    if (oneYear && !byYear)
        axis->setTitleText(text(months.front().substr(0, 4)) + QStringLiteral("年"));
    else if (!byYear && n > 6)
        axis->setLabelsAngle(-90);
    axis->setGridLineVisible(false);
    return axis;
}

QValueAxis *moneyAxis(double low, double high)
{
    auto *axis = new QValueAxis;
    if (low == high)
        high = low + 1;
    axis->setRange(std::min(0.0, low), std::max(0.0, high));
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return axis;
}

// A line over the months, its points marked while they are few.
QLineSeries *monthLine(const QString &name, const QColor &colour, std::size_t points)
{
    auto *line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(colour, 2));
    line->setPointsVisible(points <= kMostMarkedPoints);
    return line;
}

// The months along the bottom and the money up the side, spanning low to
// high and zero, for every series of the chart.
void addMonthAxes(QChart *chart, const std::vector<std::string> &months, double low, double high)
{
    QCategoryAxis *x = monthAxis(months);
    QValueAxis *y = moneyAxis(low, high);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

} // namespace

QColor paletteColour(int index)
{
    return QColor(kPalette[std::clamp(index, 0, kPaletteSize)]);
}

QChart *makePieChart(const Pie &pie)
{
    QChart *chart = newChart(text(pie.title) + QStringLiteral("  合计 ") + text(pie.total));
    chart->legend()->setAlignment(Qt::AlignRight);
    auto *series = new QPieSeries;
    series->setHoleSize(0.35);
    series->setPieSize(0.55);
    for (const Slice &s : pie.slices) {
        QPieSlice *slice = series->append(text(s.label) + QLatin1Char(' ') + text(s.percent), s.value);
        slice->setColor(paletteColour(s.colour));
        slice->setBorderColor(Qt::white);
    }
    // Small slices crowd their labels; the legend names them all.
    const double sum = series->sum();
    for (QPieSlice *slice : series->slices())
        slice->setLabelVisible(sum > 0 && slice->value() / sum >= kLabelledShare);
    chart->addSeries(series);
    // The legend gives each slice's amount as well.
    const auto markers = chart->legend()->markers(series);
    for (int i = 0; i < markers.size() && i < static_cast<int>(pie.slices.size()); ++i) {
        const Slice &s = pie.slices[i];
        markers[i]->setLabel(text(s.label) + QLatin1Char(' ') + text(s.amount) + QStringLiteral(" (") +
                             text(s.percent) + QLatin1Char(')'));
    }
    return chart;
}

QChart *makeFlowChart(const std::vector<MonthFlow> &flows)
{
    QChart *chart = newChart(QStringLiteral("每月收支"));
    auto *income = new QBarSet(QStringLiteral("收入"));
    auto *spending = new QBarSet(QStringLiteral("支出"));
    income->setColor(kIncomeColour);
    spending->setColor(kSpendingColour);
    QLineSeries *difference = monthLine(QStringLiteral("差额"), kDifferenceColour, flows.size());
    std::vector<std::string> months;
    double low = 0;
    double high = 0;
    for (std::size_t i = 0; i < flows.size(); ++i) {
        const MonthFlow &f = flows[i];
        income->append(f.income);
        spending->append(f.spending);
        difference->append(double(i), f.difference());
        months.push_back(f.month);
        low = std::min({low, f.income, f.spending, f.difference()});
        high = std::max({high, f.income, f.spending, f.difference()});
    }
    auto *bars = new QBarSeries;
    bars->append(income);
    bars->append(spending);
    bars->setBarWidth(0.8);
    chart->addSeries(bars);
    chart->addSeries(difference);
    addMonthAxes(chart, months, low, high);
    return chart;
}

QChart *makeBalanceChart(const std::vector<MonthEndTotal> &totals)
{
    QChart *chart = newChart(QStringLiteral("月末余额"));
    QLineSeries *line = monthLine(QStringLiteral("现金和全部银行帐户合计"), kBalanceColour, totals.size());
    std::vector<std::string> months;
    double low = 0;
    double high = 0;
    for (std::size_t i = 0; i < totals.size(); ++i) {
        const double value = totals[i].value();
        line->append(double(i), value);
        months.push_back(totals[i].day.substr(0, 6));
        low = std::min(low, value);
        high = std::max(high, value);
    }
    chart->addSeries(line);
    addMonthAxes(chart, months, low, high);
    return chart;
}

QChart *makeEmptyChart(const QString &title, const QString &note)
{
    QChart *chart = newChart(title + QStringLiteral("\n") + note);
    chart->legend()->hide();
    return chart;
}

QPieSlice *chartSlice(QChart *chart, int index)
{
    const auto series = chart->series();
    auto *pie = series.isEmpty() ? nullptr : qobject_cast<QPieSeries *>(series.first());
    if (!pie || index < 0 || index >= pie->count())
        return nullptr;
    return pie->slices().at(index);
}

void drawChart(QChart *chart, QPainter &painter, const QRectF &box, QSize layoutSize)
{
    // A chart shown in a view is lent to a scene of its own and given back
    // with its place and size.
    QGraphicsScene *const previous = chart->scene();
    const QRectF shownAt = chart->geometry();
    QGraphicsScene scene;
    if (previous)
        previous->removeItem(chart);
    scene.addItem(chart);
    chart->resize(layoutSize);
    scene.setSceneRect(QRectF(QPointF(0, 0), QSizeF(layoutSize)));
    scene.render(&painter, box, scene.sceneRect(), Qt::KeepAspectRatio);
    scene.removeItem(chart);
    if (previous) {
        previous->addItem(chart);
        chart->setGeometry(shownAt);
    }
}

QImage chartImage(QChart *chart, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawChart(chart, painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
    return image;
}

bool saveChart(QChart *chart, const QString &fileName, QSize size)
{
    // Written whole through a temporary file, so that a failure (a full
    // disk, a folder without rights) is told and leaves any earlier file as
    // it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(chart->title());
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        drawChart(chart, painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
        painter.end();
    } else if (!chartImage(chart, size).save(&file, "PNG")) {
        return false;
    }
    return file.commit();
}

} // namespace stats

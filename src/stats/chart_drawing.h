#pragma once

#include "stats/chart_sink.h"
#include "stats/month_figures.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <string>
#include <vector>

class QPainter;
class QChart;
class QPieSlice;

namespace stats {

// The colour of a palette index (kGreyColour is the grey of 其他).
QColor paletteColour(int index);

// The charts of the statistics, made from the figures alone. Each chart
// has its legend beside the plot, never over it.
// The pie of a category as a ring: each slice says its name, amount and
// share; slices are in the pie's order, clockwise from the top.
QChart *makePieChart(const Pie &pie);
// Income and spending of each month as paired bars and the difference as a
// line over them.
QChart *makeFlowChart(const std::vector<MonthFlow> &flows);
// The total of all accounts at each month's end as a line.
QChart *makeBalanceChart(const std::vector<MonthEndTotal> &totals);
// The text a chart shows when it has nothing to draw.
QChart *makeEmptyChart(const QString &title, const QString &note);

// The slice of a pie chart that stands for slice `index` of its pie.
QPieSlice *chartSlice(QChart *chart, int index);

// Draws a chart into a box of the painter (any unit): the chart is laid out
// at layoutSize pixels and scaled to the box.
void drawChart(QChart *chart, QPainter &painter, const QRectF &box, QSize layoutSize);
// The chart as an image of a size.
QImage chartImage(QChart *chart, QSize size);
// Writes the chart as PNG, or as SVG when the name ends in ".svg" (in any
// case). False when the file could not be written.
bool saveChart(QChart *chart, const QString &fileName, QSize size);

} // namespace stats

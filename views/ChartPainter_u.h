#pragma once
// Paints a chart model with QPainter: background, title, legend, walls, axes and series,
// with a modest 3D depth for walls, bars and lines and a tilted pie when the chart's view
// is not orthogonal. Fonts are DejaVu Sans.
#include "core/DisplayFormat.h"

class QPainter;
class QRect;

namespace brindle {

class TChart;

// Draws the whole chart inside Rect; nothing outside it is touched. Format gives the
// dates of date axes and the decimal separator of numbers.
void DrawChart(const TChart& chart, QPainter& painter, const QRect& rect,
               const DisplayFormat& format = DefaultDisplayFormat());

}  // namespace brindle

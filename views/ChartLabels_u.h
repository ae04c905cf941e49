#pragma once
// Texts the chart painter fits into its legend and along its axes.
#include <QString>

#include "core/DisplayFormat.h"

class QFontMetrics;

namespace brindle {

// Fits Text into Width pixels, cutting it once. A label the renderer has already cut
// ("..." at one end) loses more characters at that same end and keeps its one "...";
// any other long label is elided as Uncut says.
QString FitChartLabel(const QString& text, const QFontMetrics& metrics, int width, Qt::TextElideMode uncut);

// A pie value's share for the legend, always with two decimals as the table beside the
// chart shows it: "12.50 %", "50.00 %".
QString LegendPercentText(double part, double total, const DisplayFormat& format = DefaultDisplayFormat());

}  // namespace brindle

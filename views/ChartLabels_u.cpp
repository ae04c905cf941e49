#include "views/ChartLabels_u.h"

#include <QFontMetrics>

#include "core/CommonUtils_u.h"
#include "views/DisplayText_u.h"

namespace brindle {

QString FitChartLabel(const QString& text, const QFontMetrics& metrics, int width, Qt::TextElideMode uncut) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    if (text.size() > dots.size() && text.endsWith(dots)) {
        QString kept = text.chopped(dots.size());
        while (!kept.isEmpty() && metrics.horizontalAdvance(kept + dots) > width) {
            kept.chop(1);
            // Never half a surrogate pair.
            if (!kept.isEmpty() && kept.back().isHighSurrogate()) kept.chop(1);
        }
        return kept + dots;
    }
    if (text.size() > dots.size() && text.startsWith(dots)) {
        QString kept = text.mid(dots.size());
        while (!kept.isEmpty() && metrics.horizontalAdvance(dots + kept) > width) {
            kept.remove(0, 1);
            if (!kept.isEmpty() && kept.front().isLowSurrogate()) kept.remove(0, 1);
        }
        return dots + kept;
    }
    return metrics.elidedText(text, uncut, width);
}

QString LegendPercentText(double part, double total, const DisplayFormat& format) {
    return DisplayText(FormatFixed(total == 0 ? 0 : part / total * 100, 2, format)) + QStringLiteral(" %");
}

}  // namespace brindle

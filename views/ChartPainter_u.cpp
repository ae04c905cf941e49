#include "views/ChartPainter_u.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "core/CommonUtils_u.h"
#include "views/ChartLabels_u.h"
#include "views/ChartModel_u.h"
#include "views/DisplayText_u.h"

namespace brindle {
namespace {

constexpr int kFontPixels = 11;
constexpr int kTitlePixels = 13;
const QColor kGridColor(128, 128, 128);

QColor ToQColor(TColor color) { return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF); }

QString ToQString(const std::string& text) { return DisplayText(text); }

QFont ChartFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QPen FramePen(const QColor& color = Qt::black) {
    QPen pen(color);
    pen.setWidth(0);  // cosmetic: one pixel whatever the transform
    return pen;
}

QColor PointColor(const TChartSeries& series, const TChartPoint& point) {
    return ToQColor(series.ColorEachPoint ? point.Color : series.SeriesColor);
}

// ---- Title and legend ------------------------------------------------------------------

QRect DrawTitle(QPainter& painter, const TChart& chart, QRect area) {
    if (!chart.Title.Visible || chart.Title.Text.empty()) return area;
    painter.setFont(ChartFont(kTitlePixels, true));
    painter.setPen(Qt::black);
    const int lineHeight = painter.fontMetrics().height();
    for (const std::string& line : chart.Title.Text) {
        painter.drawText(QRect(area.left(), area.top(), area.width(), lineHeight), Qt::AlignCenter, ToQString(line));
        area.setTop(area.top() + lineHeight);
    }
    area.setTop(area.top() + 4);
    return area;
}

struct TLegendEntry {
    QColor Color;
    QString Text;
    QString Percent;
};

std::vector<TLegendEntry> LegendEntries(const TChart& chart, const DisplayFormat& format) {
    std::vector<TLegendEntry> entries;
    const std::vector<TChartSeries>& all = chart.AllSeries();
    TLegendStyle style = chart.Legend.LegendStyle;
    if (style == lsAuto) style = all.size() == 1 ? lsValues : lsSeries;
    if (style == lsSeries) {
        for (const TChartSeries& series : all)
            entries.push_back({ToQColor(series.SeriesColor), ToQString(series.Title), {}});
        return entries;
    }
    if (all.empty()) return entries;
    const TChartSeries& series = all.front();
    double total = 0;
    for (const TChartPoint& point : series.Points()) total += std::abs(point.Y);
    for (const TChartPoint& point : series.Points()) {
        TLegendEntry entry{PointColor(series, point), ToQString(point.Label), {}};
        if (chart.Legend.TextStyle == ltsRightPercent)
            entry.Percent = LegendPercentText(std::abs(point.Y), total, format);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Draws the legend at its side of Area; returns what is left for the plot.
QRect DrawLegend(QPainter& painter, const TChart& chart, QRect area, const DisplayFormat& format) {
    if (!chart.Legend.Visible) return area;
    std::vector<TLegendEntry> entries = LegendEntries(chart, format);
    if (entries.empty()) return area;

    painter.setFont(ChartFont(kFontPixels));
    const QFontMetrics metrics = painter.fontMetrics();
    constexpr int kPad = 5;
    constexpr int kGap = 5;
    const int rowHeight = metrics.height() + 3;
    const bool vertical = chart.Legend.Alignment == laLeft || chart.Legend.Alignment == laRight;

    int textWidth = 0;
    int percentWidth = 0;
    for (const TLegendEntry& entry : entries) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.Text));
        percentWidth = std::max(percentWidth, metrics.horizontalAdvance(entry.Percent));
    }
    const int maxWidth = vertical ? area.width() * 2 / 5 : area.width() / 2;
    const int percentPart = percentWidth > 0 ? percentWidth + 2 * kGap : 0;
    // A little slack: elision measures more strictly than the advance.
    textWidth = std::max(10, std::min(textWidth + 3, maxWidth - percentPart));
    // The colour sample takes ColorWidth percent of the legend's width.
    const int colorPercent = std::clamp(chart.Legend.ColorWidth, 1, 60);
    const int textPart = kGap + textWidth + percentPart;
    const int sampleWidth = std::max(8, textPart * colorPercent / (100 - colorPercent));
    const int itemWidth = sampleWidth + textPart;

    const int columns = vertical ? 1 : std::max(1, (area.width() - 2 * kPad) / (itemWidth + kGap));
    const int maxRows = std::max(1, (area.height() - 2 * kPad) / rowHeight);
    const int rows = std::min(maxRows, static_cast<int>((entries.size() + columns - 1) / columns));
    entries.resize(std::min(entries.size(), static_cast<std::size_t>(rows * columns)));
    const int usedColumns = std::min(columns, static_cast<int>(entries.size()));
    const int width = 2 * kPad + usedColumns * itemWidth + (usedColumns - 1) * kGap;
    const int height = 2 * kPad + rows * rowHeight;

    QRect box(0, 0, width, height);
    switch (chart.Legend.Alignment) {
        case laRight:
            box.moveTopLeft({area.right() - width - 2, area.center().y() - height / 2});
            area.setRight(box.left() - 2 * kGap);
            break;
        case laLeft:
            box.moveTopLeft({area.left(), area.center().y() - height / 2});
            area.setLeft(box.right() + 2 * kGap);
            break;
        case laTop:
            box.moveTopLeft({area.center().x() - width / 2, area.top()});
            area.setTop(box.bottom() + 2 * kGap);
            break;
        case laBottom:
            box.moveTopLeft({area.center().x() - width / 2, area.bottom() - height - 2});
            area.setBottom(box.top() - 2 * kGap);
            break;
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(box.translated(2, 2));
    painter.setPen(FramePen());
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TLegendEntry& entry = entries[i];
        const int column = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        const int x = box.left() + kPad + column * (itemWidth + kGap);
        const int y = box.top() + kPad + row * rowHeight;
        painter.setPen(FramePen());
        painter.setBrush(entry.Color);
        painter.drawRect(QRect(x, y + 2, sampleWidth, rowHeight - 5));
        const int textLeft = x + sampleWidth + kGap;
        painter.drawText(QRect(textLeft, y, textWidth, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         FitChartLabel(entry.Text, metrics, textWidth, Qt::ElideRight));
        if (!entry.Percent.isEmpty())
            painter.drawText(QRect(textLeft + textWidth + kGap, y, percentWidth + kGap, rowHeight),
                             Qt::AlignRight | Qt::AlignVCenter, entry.Percent);
    }
    return area;
}

// ---- Pie -------------------------------------------------------------------------------

struct TPieSlice {
    int Start;
    int Span;
    double EndDegrees;
    QColor Color;
};

void DrawPieSlice(QPainter& painter, const QRectF& ellipse, const TPieSlice& slice) {
    // A whole turn drawn as a pie shows the radius where it starts and ends.
    if (std::abs(slice.Span) >= 360 * 16)
        painter.drawEllipse(ellipse);
    else
        painter.drawPie(ellipse, slice.Start, slice.Span);
}

void DrawPie(QPainter& painter, const TChart& chart, const TChartSeries& pie, const QRect& area) {
    double total = 0;
    for (const TChartPoint& point : pie.Points()) total += std::max(point.Y, 0.0);
    if (total <= 0 || area.width() < 10 || area.height() < 10) return;

    const bool tilted = chart.View3D && !chart.View3DOptions.Orthogonal;
    const double ratio = tilted ? 0.6 : 1.0;
    const double thicknessRatio = tilted ? 0.08 : 0.0;
    const double diameter = std::min(area.width() * 0.92, area.height() * 0.92 / (ratio + thicknessRatio));
    const double thickness = std::round(diameter * thicknessRatio);
    const QRectF ellipse(area.center().x() - diameter / 2, area.center().y() - (diameter * ratio + thickness) / 2,
                         diameter, diameter * ratio);

    std::vector<TPieSlice> slices;
    // Clockwise from twelve o'clock; spans are rounded from running sums so that no gap opens.
    double sum = 0;
    for (const TChartPoint& point : pie.Points()) {
        const double value = std::max(point.Y, 0.0);
        const int start = static_cast<int>(std::lround((90 - sum / total * 360) * 16));
        sum += value;
        const double endDegrees = 90 - sum / total * 360;
        const int end = static_cast<int>(std::lround(endDegrees * 16));
        if (end != start) slices.push_back({start, end - start, endDegrees, PointColor(pie, point)});
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    if (thickness > 0) {
        // The side: the pie stacked downwards in darker colours.
        for (int k = static_cast<int>(thickness); k >= 1; --k) {
            painter.setPen(k == static_cast<int>(thickness) ? FramePen() : QPen(Qt::NoPen));
            for (const TPieSlice& slice : slices) {
                painter.setBrush(slice.Color.darker(135));
                DrawPieSlice(painter, ellipse.translated(0, k), slice);
            }
        }
        painter.setPen(FramePen());
        const double cy = ellipse.center().y();
        painter.drawLine(QPointF(ellipse.left(), cy), QPointF(ellipse.left(), cy + thickness));
        painter.drawLine(QPointF(ellipse.right(), cy), QPointF(ellipse.right(), cy + thickness));
        for (const TPieSlice& slice : slices) {
            if (slices.size() == 1) break;  // one slice has no edge between slices
            const double radians = slice.EndDegrees * M_PI / 180;
            if (std::sin(radians) >= 0) continue;  // the back half's edges are hidden
            const QPointF edge(ellipse.center().x() + ellipse.width() / 2 * std::cos(radians),
                               cy - ellipse.height() / 2 * std::sin(radians));
            painter.drawLine(edge, edge + QPointF(0, thickness));
        }
    }
    painter.setPen(FramePen());
    for (const TPieSlice& slice : slices) {
        painter.setBrush(slice.Color);
        DrawPieSlice(painter, ellipse, slice);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// ---- Axes ------------------------------------------------------------------------------

enum class TScaleKind { Numbers, Positions, Dates };

struct TTick {
    double Value = 0;
    QString Text;
};

struct TExtent {
    double Min = std::numeric_limits<double>::infinity();
    double Max = -std::numeric_limits<double>::infinity();
    bool Integers = true;

    void Add(double value) {
        Min = std::min(Min, value);
        Max = std::max(Max, value);
        if (value != std::floor(value)) Integers = false;
    }
    bool Empty() const { return Min > Max; }
};

// One axis: its range, how it is labelled and where it lies in pixels.
struct TScale {
    const TChartAxis* Axis = nullptr;
    TScaleKind Kind = TScaleKind::Numbers;
    bool Horizontal = true;
    TExtent Data;
    bool IncludeZero = false;  // bars grow from 0
    bool HalfUnitPad = false;  // bars centred on positions need half a unit either side
    std::map<double, QString> Labels;  // position labels taken from the points
    double Min = 0;
    double Max = 1;
    double Step = 1;
    double From = 0;  // pixel of Min
    double To = 1;  // pixel of Max

    double ToPixel(double value) const { return Max == Min ? From : From + (value - Min) / (Max - Min) * (To - From); }
    double UnitPixels() const { return std::abs(ToPixel(1) - ToPixel(0)); }
    double Clamp(double value) const { return std::clamp(value, Min, Max); }
};

// 1, 2, 2.5 (from 25 up) or 5 times a power of ten, at least Raw.
double NiceStep(double raw) {
    if (!(raw > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (factor == 2.5 && power < 10) continue;
        if (factor * power >= raw * (1 - 1e-9)) return factor * power;
    }
    return 10 * power;
}

// Whole days between date labels: at least Raw, from a readable set.
double NiceDayStep(double raw) {
    for (double days : {1.0, 2.0, 3.0, 4.0, 5.0, 7.0, 14.0, 21.0, 28.0, 56.0, 91.0, 182.0, 364.0})
        if (days >= raw) return days;
    return std::ceil(raw / 364) * 364;
}

QString NumberText(double value, double step, const DisplayFormat& format) {
    if (step >= 1 && step == std::floor(step)) return QString::number(static_cast<long long>(std::llround(value)));
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
    return ToQString(FormatFixed(value, decimals, format));
}

class TAxisChartPainter {
public:
    TAxisChartPainter(const TChart& chart, QPainter& painter, const DisplayFormat& format)
        : chart_(chart), painter_(painter), format_(format), font_(ChartFont(kFontPixels)), metrics_(font_) {
        bottom_.Axis = &chart.BottomAxis;
        left_.Axis = &chart.LeftAxis;
        left_.Horizontal = false;
        Gather();
    }

    void Draw(const QRect& area) {
        Layout(area);
        DrawWalls();
        DrawGrid();
        DrawAxisLabels(area);
        DrawSeries();
    }

private:
    // Ranges and labels of both axes from the series.
    void Gather() {
        bool horizontalBars = false;
        bool dates = false;
        for (const TChartSeries& series : chart_.AllSeries()) {
            horizontalBars = horizontalBars || series.Kind == skHorizBar;
            dates = dates || (series.Kind == skLine && series.XValues.DateTime);
        }
        bottom_.Kind = horizontalBars ? TScaleKind::Numbers : (dates ? TScaleKind::Dates : TScaleKind::Positions);
        left_.Kind = horizontalBars ? TScaleKind::Positions : TScaleKind::Numbers;
        for (const TChartSeries& series : chart_.AllSeries()) {
            const bool horizontal = series.Kind == skHorizBar;
            TScale& positions = horizontal ? left_ : bottom_;
            TScale& values = horizontal ? bottom_ : left_;
            const bool bars = series.Kind == skBar || horizontal;
            positions.HalfUnitPad = positions.HalfUnitPad || bars;
            values.IncludeZero = values.IncludeZero || bars;
            for (const TChartPoint& point : series.Points()) {
                const double position = horizontal ? point.Y : point.X;
                positions.Data.Add(position);
                values.Data.Add(horizontal ? point.X : point.Y);
                if (!point.Label.empty()) positions.Labels.emplace(position, ToQString(point.Label));
            }
        }
        for (TScale* scale : {&bottom_, &left_}) {
            if (scale->Kind == TScaleKind::Numbers) continue;
            if (scale->Data.Empty()) {
                scale->Min = 0;
                scale->Max = 1;
                continue;
            }
            const double pad = scale->HalfUnitPad ? 0.5 : 0.0;
            scale->Min = scale->Data.Min - pad;
            scale->Max = scale->Data.Max + pad;
            if (scale->Max <= scale->Min) {
                scale->Min -= 0.5;
                scale->Max += 0.5;
            }
        }
    }

    // A value axis' range and step for Length pixels.
    void FitNumbers(TScale& scale, double length) const {
        const TChartAxis& axis = *scale.Axis;
        TExtent data = scale.Data;
        if (scale.IncludeZero) data.Add(0);
        double min = !axis.AutomaticMinimum ? axis.Minimum : (data.Empty() ? 0 : data.Min);
        double max = !axis.AutomaticMaximum ? axis.Maximum : (data.Empty() ? min + 1 : data.Max);
        if (max <= min) max = min + 1;
        const double labelSize = scale.Horizontal ? metrics_.horizontalAdvance(NumberText(max, 1, format_)) + 24.0
                                                  : metrics_.height() * (2.0 + axis.LabelsSeparation / 100.0);
        const double wanted = std::max(1.0, std::floor(length / labelSize));
        double step = NiceStep((max - min) / wanted);
        if (data.Integers && step < 1) step = 1;
        if (axis.AutomaticMaximum) max = std::ceil(max / step - 1e-9) * step;
        if (axis.AutomaticMinimum) min = std::floor(min / step + 1e-9) * step;
        scale.Min = min;
        scale.Max = max;
        scale.Step = step;
    }

    QString DateText(double day) const {
        const auto seconds = static_cast<TSeconds>(std::llround(day * kSecondsPerDay));
        const std::string& pattern = chart_.BottomAxis.DateTimeFormat;
        if (pattern.empty() || pattern == "c") return ToQString(FormatDateTimeText(seconds, format_));
        return ToQString(FormatDateTimePattern(pattern, seconds, format_));
    }

    // Every label position of the axis, before overlapping ones are dropped.
    std::vector<TTick> Candidates(const TScale& scale, const QFontMetrics& metrics) const {
        std::vector<TTick> ticks;
        if (scale.Kind == TScaleKind::Numbers) {
            const double first = std::ceil(scale.Min / scale.Step - 1e-9) * scale.Step;
            for (int i = 0; i < 1000; ++i) {
                const double value = first + i * scale.Step;
                if (value > scale.Max + scale.Step * 1e-9) break;
                ticks.push_back({value, NumberText(value, scale.Step, format_)});
            }
            return ticks;
        }
        if (scale.Data.Empty()) return ticks;
        double step = std::max(1.0, scale.Axis->Increment);
        const double unit = std::max(scale.UnitPixels(), 1e-6);
        if (scale.Kind == TScaleKind::Dates) {
            const double labelWidth = metrics.horizontalAdvance(DateText(std::ceil(scale.Min))) + 12.0;
            step = std::max(step, NiceDayStep(labelWidth / unit));
        } else {
            // Every k-th position, k as small as lets the widest label fit.
            double widest = LabelExtent(scale, QString::number(static_cast<long long>(scale.Max)), metrics);
            for (const auto& [position, text] : scale.Labels)
                widest = std::max(widest, LabelExtent(scale, text, metrics));
            step = std::max(step, std::ceil((widest + LabelGap(scale, metrics)) / unit - 1e-9));
        }
        const double first = std::ceil(scale.Min - 1e-9);
        for (double value = first; value <= scale.Max + 1e-9 && ticks.size() < 5000; value += step) {
            QString text;
            if (scale.Kind == TScaleKind::Dates) {
                text = DateText(value);
            } else if (auto label = scale.Labels.find(value); label != scale.Labels.end()) {
                text = label->second;
            } else if (scale.Axis->LabelStyle != talMark) {
                text = QString::number(static_cast<long long>(std::llround(value)));
            }
            ticks.push_back({value, text});
        }
        return ticks;
    }

    double LabelExtent(const TScale& scale, const QString& text, const QFontMetrics& metrics) const {
        if (scale.Horizontal && !rotateBottom_) return metrics.horizontalAdvance(text);
        // Item labels stacked on the left may touch: their line spacing keeps them apart.
        return ItemsUpright(scale) ? metrics.height() - 1 : metrics.height();
    }

    static bool ItemsUpright(const TScale& scale) { return scale.Kind == TScaleKind::Positions && !scale.Horizontal; }

    static double LabelGap(const TScale& scale, const QFontMetrics& metrics) {
        return ItemsUpright(scale) ? 0.0 : std::max(2.0, metrics.height() * scale.Axis->LabelsSeparation / 100.0);
    }

    // Drops the labels that would overlap the previous one kept.
    std::vector<TTick> Ticks(const TScale& scale, const QFontMetrics& metrics) const {
        std::vector<TTick> kept;
        const double gap = LabelGap(scale, metrics);
        double lastEnd = -std::numeric_limits<double>::infinity();
        std::vector<TTick> ticks = Candidates(scale, metrics);
        if (scale.ToPixel(scale.Max) < scale.ToPixel(scale.Min)) std::reverse(ticks.begin(), ticks.end());
        for (TTick& tick : ticks) {
            const double centre = scale.ToPixel(tick.Value);
            const double half = tick.Text.isEmpty() ? 0 : LabelExtent(scale, tick.Text, metrics) / 2;
            if (!tick.Text.isEmpty() && centre - half < lastEnd + gap) {
                if (scale.Kind != TScaleKind::Positions) continue;
                tick.Text.clear();  // keep the grid line, drop the label
            }
            if (!tick.Text.isEmpty()) lastEnd = centre + half;
            kept.push_back(std::move(tick));
        }
        return kept;
    }

    void MapScales() {
        bottom_.From = bottom_.Axis->Inverted ? front_.right() : front_.left();
        bottom_.To = bottom_.Axis->Inverted ? front_.left() : front_.right();
        left_.From = left_.Axis->Inverted ? front_.top() : front_.bottom();
        left_.To = left_.Axis->Inverted ? front_.bottom() : front_.top();
    }

    // Label font of the left axis: smaller when many item labels share little height.
    QFont LeftFont() const {
        if (left_.Kind != TScaleKind::Positions) return font_;
        const int pixels = static_cast<int>(std::floor(left_.UnitPixels())) - 1;
        return ChartFont(std::clamp(pixels, 8, kFontPixels));
    }

    void FitScales() {
        MapScales();
        if (left_.Kind == TScaleKind::Numbers) FitNumbers(left_, front_.height());
        if (bottom_.Kind == TScaleKind::Numbers) FitNumbers(bottom_, front_.width());
        MapScales();
    }

    void Layout(const QRect& area) {
        const bool walls = chart_.View3D && chart_.View3DWalls;
        depth_ = walls ? std::round(std::clamp(std::min(area.width(), area.height()) * 0.05, 6.0, 18.0)) : 0;
        const int lineHeight = metrics_.height();
        const int leftTitle = chart_.LeftAxis.Title.Caption.empty() ? 0 : lineHeight + 4;
        const int bottomTitle = chart_.BottomAxis.Title.Caption.empty() ? 0 : lineHeight + 4;
        maxLeftLabel_ = area.width() * 0.45;
        maxBottomLabel_ = area.height() * 0.3;

        double leftLabels = 30;
        double bottomLabels = lineHeight + 4;
        rotateBottom_ = false;
        for (int pass = 0; pass < 3; ++pass) {
            front_ = QRectF(
                QPointF(area.left() + leftTitle + leftLabels + 8, area.top() + depth_ + lineHeight / 2.0),
                QPointF(area.right() - std::max(depth_, lineHeight * 1.5), area.bottom() - bottomTitle - bottomLabels));
            if (front_.width() < 10 || front_.height() < 10) break;
            FitScales();
            leftTicks_ = Ticks(left_, QFontMetrics(LeftFont()));
            leftLabels = 0;
            const QFontMetrics leftMetrics(LeftFont());
            for (const TTick& tick : leftTicks_)
                leftLabels = std::max<double>(leftLabels, leftMetrics.horizontalAdvance(tick.Text));
            leftLabels = std::min(leftLabels, maxLeftLabel_);

            // Item labels along the bottom turn upright when they do not fit side by side.
            rotateBottom_ = false;
            if (bottom_.Kind == TScaleKind::Positions && !bottom_.Labels.empty() &&
                bottom_.UnitPixels() >= lineHeight) {
                double widest = 0;
                for (const auto& [position, text] : bottom_.Labels)
                    widest = std::max<double>(widest, metrics_.horizontalAdvance(text));
                // Short labels (day numbers) are thinned out instead.
                if (widest + 6 > bottom_.UnitPixels() && widest > 2.5 * lineHeight) {
                    rotateBottom_ = true;
                    bottomLabels = std::min(widest, maxBottomLabel_) + 6;
                }
            }
            if (!rotateBottom_) bottomLabels = lineHeight + 4;
        }
        FitScales();
        leftTicks_ = Ticks(left_, QFontMetrics(LeftFont()));
        bottomTicks_ = Ticks(bottom_, metrics_);
    }

    QPointF Back(QPointF point, double z) const { return point + QPointF(z, -z); }

    void DrawWalls() {
        painter_.setPen(FramePen());
        const double d = depth_;
        if (d > 0) {
            painter_.setBrush(ToQColor(chart_.LeftWall.Color));
            painter_.drawPolygon(QPolygonF(
                {front_.topLeft(), Back(front_.topLeft(), d), Back(front_.bottomLeft(), d), front_.bottomLeft()}));
            painter_.setBrush(ToQColor(chart_.BottomWall.Color));
            painter_.drawPolygon(QPolygonF({front_.bottomLeft(), Back(front_.bottomLeft(), d),
                                            Back(front_.bottomRight(), d), front_.bottomRight()}));
        }
        painter_.setBrush(ToQColor(chart_.BackWall.Color));
        painter_.drawRect(front_.translated(d, -d));
    }

    static QPen GridPen(const TChartAxis& axis) {
        QPen pen(kGridColor);
        pen.setWidth(0);
        pen.setStyle(axis.Grid.Style == psDot ? Qt::DotLine : Qt::SolidLine);
        return pen;
    }

    void DrawGrid() {
        const double d = depth_;
        if (chart_.LeftAxis.Grid.Visible) {
            painter_.setPen(GridPen(chart_.LeftAxis));
            for (const TTick& tick : leftTicks_) {
                const double y = left_.ToPixel(tick.Value);
                if (y <= front_.top() + 0.5 || y >= front_.bottom() - 0.5) continue;
                painter_.drawLine(Back({front_.left(), y}, d), Back({front_.right(), y}, d));
                if (d > 0) painter_.drawLine(QPointF(front_.left(), y), Back({front_.left(), y}, d));
            }
        }
        if (chart_.BottomAxis.Grid.Visible) {
            painter_.setPen(GridPen(chart_.BottomAxis));
            for (const TTick& tick : bottomTicks_) {
                const double x = bottom_.ToPixel(tick.Value);
                if (x <= front_.left() + 0.5 || x >= front_.right() - 0.5) continue;
                painter_.drawLine(Back({x, front_.top()}, d), Back({x, front_.bottom()}, d));
                if (d > 0) painter_.drawLine(QPointF(x, front_.bottom()), Back({x, front_.bottom()}, d));
            }
        }
    }

    void DrawAxisLabels(const QRect& area) {
        painter_.setPen(FramePen());
        const QFont leftFont = LeftFont();
        const QFontMetrics leftMetrics(leftFont);
        painter_.setFont(leftFont);
        const double labelRight = front_.left() - 5;
        for (const TTick& tick : leftTicks_) {
            const double y = left_.ToPixel(tick.Value);
            painter_.drawLine(QPointF(front_.left() - 3, y), QPointF(front_.left(), y));
            if (tick.Text.isEmpty()) continue;
            const QString text =
                FitChartLabel(tick.Text, leftMetrics, static_cast<int>(maxLeftLabel_), Qt::ElideMiddle);
            painter_.drawText(
                QRectF(area.left(), y - leftMetrics.height() / 2.0, labelRight - area.left(), leftMetrics.height()),
                Qt::AlignRight | Qt::AlignVCenter, text);
        }

        painter_.setFont(font_);
        const double lineHeight = metrics_.height();
        for (const TTick& tick : bottomTicks_) {
            const double x = bottom_.ToPixel(tick.Value);
            painter_.drawLine(QPointF(x, front_.bottom()), QPointF(x, front_.bottom() + 3));
            if (tick.Text.isEmpty()) continue;
            if (rotateBottom_) {
                const QString text =
                    FitChartLabel(tick.Text, metrics_, static_cast<int>(maxBottomLabel_), Qt::ElideRight);
                // Read upwards, ending at the axis.
                painter_.save();
                painter_.translate(x - lineHeight / 2, front_.bottom() + 5);
                painter_.rotate(-90);
                painter_.drawText(QRectF(-maxBottomLabel_, 0, maxBottomLabel_, lineHeight),
                                  Qt::AlignRight | Qt::AlignVCenter, text);
                painter_.restore();
            } else {
                const double width = metrics_.horizontalAdvance(tick.Text) + 2;
                painter_.drawText(QRectF(x - width / 2, front_.bottom() + 4, width, lineHeight), Qt::AlignCenter,
                                  tick.Text);
            }
        }

        if (const std::string& caption = chart_.BottomAxis.Title.Caption; !caption.empty())
            painter_.drawText(QRectF(front_.left(), area.bottom() - lineHeight - 1, front_.width(), lineHeight),
                              Qt::AlignCenter, ToQString(caption));
        if (const std::string& caption = chart_.LeftAxis.Title.Caption; !caption.empty()) {
            painter_.save();
            painter_.translate(area.left(), front_.bottom());
            painter_.rotate(-90);
            painter_.drawText(QRectF(0, 0, front_.height(), lineHeight), Qt::AlignCenter, ToQString(caption));
            painter_.restore();
        }
    }

    // A bar: its front face, and with depth its top and right side.
    void DrawBox(const QRectF& face, double depth, const QColor& color) {
        painter_.setPen(FramePen());
        if (depth > 0) {
            painter_.setBrush(color.darker(115));
            painter_.drawPolygon(QPolygonF(
                {face.topLeft(), Back(face.topLeft(), depth), Back(face.topRight(), depth), face.topRight()}));
            painter_.setBrush(color.darker(145));
            painter_.drawPolygon(QPolygonF(
                {face.topRight(), Back(face.topRight(), depth), Back(face.bottomRight(), depth), face.bottomRight()}));
        }
        painter_.setBrush(color);
        painter_.drawRect(face);
    }

    void DrawBars(const TChartSeries& series, double z0, double slot) {
        const bool horizontal = series.Kind == skHorizBar;
        const TScale& positions = horizontal ? left_ : bottom_;
        const TScale& values = horizontal ? bottom_ : left_;
        const double thickness = std::max(1.0, positions.UnitPixels() * 0.7);
        const double base = values.ToPixel(values.Clamp(0));
        struct TBar {
            QRectF Face;
            QColor Color;
        };
        std::vector<TBar> bars;
        for (const TChartPoint& point : series.Points()) {
            const double centre = positions.ToPixel(horizontal ? point.Y : point.X);
            const double end = values.ToPixel(values.Clamp(horizontal ? point.X : point.Y));
            QRectF face = horizontal
                              ? QRectF(QPointF(base, centre - thickness / 2), QPointF(end, centre + thickness / 2))
                              : QRectF(QPointF(centre - thickness / 2, end), QPointF(centre + thickness / 2, base));
            bars.push_back({face.normalized().translated(z0, -z0), PointColor(series, point)});
        }
        // Far bars first: those further down, then those further left.
        std::stable_sort(bars.begin(), bars.end(), [](const TBar& a, const TBar& b) {
            if (a.Face.bottom() != b.Face.bottom()) return a.Face.bottom() > b.Face.bottom();
            return a.Face.left() < b.Face.left();
        });
        for (const TBar& bar : bars) DrawBox(bar.Face, slot * 0.8, bar.Color);
    }

    void DrawLine(const TChartSeries& series, double z0, double slot) {
        std::vector<TChartPoint> points = series.Points();
        std::stable_sort(points.begin(), points.end(),
                         [](const TChartPoint& a, const TChartPoint& b) { return a.X < b.X; });
        if (points.empty()) return;
        QPolygonF line;
        for (const TChartPoint& point : points)
            line << QPointF(bottom_.ToPixel(point.X), left_.ToPixel(left_.Clamp(point.Y))) + QPointF(z0, -z0);
        const QColor color = ToQColor(series.SeriesColor);
        painter_.setRenderHint(QPainter::Antialiasing, true);
        const double ribbon = slot * 0.8;
        if (ribbon >= 3) {
            painter_.setPen(FramePen(color.darker(170)));
            painter_.setBrush(color.darker(115));
            for (qsizetype i = 1; i < line.size(); ++i)
                painter_.drawPolygon(
                    QPolygonF({line[i - 1], line[i], Back(line[i], ribbon), Back(line[i - 1], ribbon)}));
            painter_.setPen(QPen(color, 2));
            painter_.drawPolyline(line);
        } else {
            painter_.setPen(QPen(color.darker(160), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter_.drawPolyline(line);
            painter_.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter_.drawPolyline(line);
        }
        if (line.size() == 1) painter_.drawPoint(line[0]);
        painter_.setRenderHint(QPainter::Antialiasing, false);
    }

    // Each series has its own slice of the depth; the first series lies furthest back.
    void DrawSeries() {
        const auto& all = chart_.AllSeries();
        if (all.empty()) return;
        const double slot = depth_ / static_cast<double>(all.size());
        for (std::size_t s = 0; s < all.size(); ++s) {
            const double z0 = slot * static_cast<double>(all.size() - 1 - s);
            if (all[s].Kind == skLine)
                DrawLine(all[s], z0, slot);
            else if (all[s].Kind != skPie)
                DrawBars(all[s], z0, slot);
        }
    }

    const TChart& chart_;
    QPainter& painter_;
    const DisplayFormat& format_;
    QFont font_;
    QFontMetrics metrics_;
    TScale bottom_;
    TScale left_;
    QRectF front_;
    double depth_ = 0;
    bool rotateBottom_ = false;
    double maxLeftLabel_ = 0;
    double maxBottomLabel_ = 0;
    std::vector<TTick> leftTicks_;
    std::vector<TTick> bottomTicks_;
};

}  // namespace

void DrawChart(const TChart& chart, QPainter& painter, const QRect& rect, const DisplayFormat& format) {
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, ToQColor(chart.Color));
    QRect area = rect.adjusted(rect.width() * chart.MarginLeft / 100, rect.height() * chart.MarginTop / 100,
                               -rect.width() * chart.MarginRight / 100, -rect.height() * chart.MarginBottom / 100);
    area = DrawTitle(painter, chart, area);
    area = DrawLegend(painter, chart, area, format);
    const auto& all = chart.AllSeries();
    const auto pie = std::find_if(all.begin(), all.end(), [](const TChartSeries& s) { return s.Kind == skPie; });
    if (pie != all.end())
        DrawPie(painter, chart, *pie, area);
    else if (area.width() > 20 && area.height() > 20)
        TAxisChartPainter(chart, painter, format).Draw(area);
    painter.restore();
}

}  // namespace brindle

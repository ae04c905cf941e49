#pragma once
// The drawing model of a chart: the settings, series and points the chart renderer fills
// and the painter draws. It holds no pixels, so a chart can be checked without drawing it.
// Names follow the charting component the renderer was designed against.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

// 0xRRGGBB.
using TColor = std::uint32_t;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlack = 0x000000;

enum TLegendAlignment : std::uint8_t { laLeft, laRight, laTop, laBottom };
// lsSeries: one entry per series; lsValues: one per value of the first series.
enum TLegendStyle : std::uint8_t { lsAuto, lsSeries, lsValues };
// ltsRightPercent: the label, then the value's share of the series on the right.
enum TLegendTextStyle : std::uint8_t { ltsPlain, ltsRightPercent };
// talAuto: numbers, or the points' labels where they have some; talMark: the labels only.
enum TAxisLabelStyle : std::uint8_t { talAuto, talValue, talMark };
enum TPenStyle : std::uint8_t { psSolid, psDot };
enum TSeriesKind : std::uint8_t { skBar, skHorizBar, skLine, skPie };
enum TMultiBar : std::uint8_t { mbNone, mbSide, mbStacked };
enum TSeriesMarksStyle : std::uint8_t { smsValue, smsLabel };
// poNone: small slices are not grouped by the component.
enum TPieOtherStyle : std::uint8_t { poNone, poBelowPercent, poBelowValue };
enum TChartListOrder : std::uint8_t { loNone, loAscending, loDescending };

struct TChartPoint {
    double X = 0;
    double Y = 0;  // a pie's value
    std::string Label;
    TColor Color = clBlack;

    friend bool operator==(const TChartPoint&, const TChartPoint&) = default;
};

struct TSeriesMarks {
    bool Visible = true;
    TSeriesMarksStyle Style = smsValue;
};

struct TPieOtherSlice {
    TPieOtherStyle Style = poBelowPercent;
};

struct TChartValueList {
    TChartListOrder Order = loAscending;
};

struct TChartDateValues {
    bool DateTime = false;  // X values are dates: whole days since 1899-12-30
};

// One series. Points keep the order they were added in; a line is drawn in X order.
class TChartSeries {
public:
    explicit TChartSeries(TSeriesKind kind) : Kind(kind) {}

    TSeriesKind Kind;
    TColor SeriesColor = clBlack;
    bool ColorEachPoint = false;
    TSeriesMarks Marks;
    std::string Title;
    TMultiBar MultiBar = mbSide;  // bar series only
    TChartDateValues XValues;
    TPieOtherSlice OtherSlice;  // pie only
    TChartValueList PieValues;  // pie only

    // A point in the series' own colour.
    void AddXY(double x, double y, std::string label = {});
    // A pie value; its X is its position.
    void Add(double value, std::string label);
    // Out-of-range positions are ignored.
    void SetValueColor(std::size_t index, TColor color);
    std::size_t Count() const { return points_.size(); }
    double YValue(std::size_t index) const { return points_.at(index).Y; }
    const TChartPoint& Point(std::size_t index) const { return points_.at(index); }
    const std::vector<TChartPoint>& Points() const { return points_; }

private:
    std::vector<TChartPoint> points_;
};

struct TChartTitle {
    std::vector<std::string> Text;  // one entry per line
    bool Visible = true;
};

struct TChartLegend {
    bool Visible = true;
    TLegendAlignment Alignment = laRight;
    TLegendStyle LegendStyle = lsAuto;
    TLegendTextStyle TextStyle = ltsPlain;
    int ColorWidth = 12;  // width of the colour sample, percent of the legend's width
};

struct TAxisGrid {
    bool Visible = true;
    TPenStyle Style = psSolid;
};

struct TAxisTitle {
    std::string Caption;
};

struct TChartAxis {
    TAxisLabelStyle LabelStyle = talAuto;
    bool Inverted = false;
    TAxisGrid Grid;
    TAxisTitle Title;
    bool Automatic = true;
    bool AutomaticMinimum = true;
    bool AutomaticMaximum = true;
    double Minimum = 0;
    double Maximum = 0;
    double Increment = 0;  // smallest step between labels; 0 lets the painter choose
    std::string DateTimeFormat;  // "c": short date, and the time when it is not midnight
    bool MinorTicks = true;
    int LabelsSeparation = 10;  // least gap between labels, percent of a label's size
};

struct TChartWall {
    TColor Color = clWhite;
};

struct TView3DOptions {
    bool Orthogonal = true;
};

// The chart: settings and the attached series, which it owns.
class TChart {
public:
    TColor Color = clWhite;  // background
    TChartTitle Title;
    TChartLegend Legend;
    TChartAxis LeftAxis;
    TChartAxis BottomAxis;
    TChartWall BackWall;
    TChartWall LeftWall;
    TChartWall BottomWall;
    bool View3D = true;
    bool View3DWalls = true;
    TView3DOptions View3DOptions;
    // Percent of the chart's width (left, right) or height (top, bottom).
    int MarginLeft = 3;
    int MarginTop = 4;
    int MarginRight = 3;
    int MarginBottom = 4;

    // Frees the series from the last to the first.
    void FreeAllSeries();
    // Attaches a filled series; the chart owns it from now on.
    void AddSeries(TChartSeries series);
    std::size_t SeriesCount() const { return series_.size(); }
    const TChartSeries& Series(std::size_t index) const { return series_.at(index); }
    const std::vector<TChartSeries>& AllSeries() const { return series_; }

private:
    std::vector<TChartSeries> series_;
};

}  // namespace brindle

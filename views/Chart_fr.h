#pragma once
// The chart renderer: turns one report of the current analysis into a chart (the drawing
// model in Chart) and writes it as a PNG image. It draws off screen only.
#include <array>
#include <cstdint>
#include <string>

#include "core/DisplayFormat.h"
#include "views/ChartModel_u.h"

class QImage;

namespace brindle {

class TProfile;
class TStatistics;
struct TReportTxt;

// Colours of the top items of pie and daily charts, in item order; 0 and 1 are also the
// hits and visits series.
inline constexpr std::array<TColor, 10> ChartColors = {
    0x4040FF, 0xFF4040, 0xFFFF40, 0x40C040, 0xFFC0C0, 0xC0C0FF, 0xC0FFFF, 0xC0C080, 0x80C0FF, 0xFF80FF,
};

// "dir/name@<Scale>x.png" for "dir/name.png".
std::string HighResolutionName(const std::string& fileName, int scale);

class TfrChart {
public:
    // Reads (and re-sorts in place) the lists of the analysis result LogConvert, which must
    // outlive the frame. Format gives the dates of the date axes.
    explicit TfrChart(TStatistics& LogConvert, DisplayFormat Format = DefaultDisplayFormat());

    // Builds the chart of one report and writes it to FileName as a Width x Height PNG
    // image (8-bit RGB). Daily 1 asks for the report's daily chart. Raises EPngWriter when
    // the file cannot be created or written; the earlier file then stays as it was. Drawing
    // text needs a QGuiApplication; GUI thread only.
    void SaveChartAsPng(const TProfile& Profile, std::uint8_t ReportId, const TReportTxt& Lang,
                        const std::string& FileName, std::int32_t Width, std::int32_t Height, std::uint8_t Daily);

    // Stores the four report arguments and builds the chart into Chart without drawing it.
    void BuildChart(const TProfile& Profile, std::uint8_t ReportId, const TReportTxt& Lang, std::uint8_t Daily);

    // Screen pixels per image pixel where the image is shown; above 1 a sharper copy is
    // written beside the file as well ("name@2x.png", the name Qt's viewers look for).
    // The file itself is always Width x Height.
    double PixelRatio = 1.0;

    TChart Chart;
    std::uint8_t ReportId = 0;
    const TProfile* Profile = nullptr;  // borrowed
    const TReportTxt* Lang = nullptr;  // borrowed
    std::uint8_t Daily = 0;

    // Size of the last image.
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

private:
    // Builds the chart the four members above describe.
    void BuildChart();
    // The built chart drawn on a white image Scale times Width x Height; null when empty.
    QImage DrawImage(std::int32_t Width, std::int32_t Height, int scale) const;

    TStatistics& logConvert_;
    DisplayFormat format_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace brindle

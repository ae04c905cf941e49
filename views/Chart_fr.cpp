#include "views/Chart_fr.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <span>
#include <utility>

#include "core/CommonUtils_u.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "engine/Statistics_u.h"
#include "views/ChartPainter_u.h"
#include "views/PngWriter_u.h"

namespace brindle {

namespace {

using TChartText = std::string TRecChartTxt::*;

enum class TValue : std::uint8_t { Hits, Visits };
// Rows a report never shows; they neither count as items nor add to the other slice.
enum class TSkip : std::uint8_t { None, EmptyName, OtherKind, NotError };
enum class TLabel : std::uint8_t {
    CutRight,
    CutLeft,
    Country,
    CountryName,
    Region,
    Browser,
    OS,
    FileType,
    Status,
    Referrer
};
enum class TStyle : std::uint8_t { Pie, HorizBars };

// A report drawn from one of the lists: its top items as a pie or as horizontal bars, and
// (when DailyTitle is set) one line per top item over the days.
// NOLINTNEXTLINE(clang-analyzer-optin.performance.Padding): a small constant table, ordered as it reads.
struct TListReport {
    std::uint8_t Id;
    TStyle Style;
    TLstStat TStatistics::*List;
    TValue Value;  // the value drawn, and the list's sort (descending)
    TSkip Skip;
    std::uint8_t Kind;  // TSkip::OtherKind: the file kind shown
    TLabel Label;
    TChartText Title;
    TChartText DailyTitle;
    TChartText ValueAxis;  // bottom axis of the bars, left axis of the daily chart
};

using C = TRecChartTxt;
using S = TStatistics;
constexpr TStyle kPie = TStyle::Pie;
constexpr TStyle kBars = TStyle::HorizBars;
constexpr TValue kHits = TValue::Hits;
constexpr TValue kVisits = TValue::Visits;
constexpr TSkip kAll = TSkip::None;

constexpr TListReport kListReports[] = {
    {31, kPie, &S::StatByTld, kVisits, kAll, 0, TLabel::Country, &C::ByTldTitle, &C::ByTldDailyTitle, &C::AxisVisits},
    {132, kPie, &S::StatByCountry, kVisits, kAll, 0, TLabel::CountryName, &C::ByCountryTitle, &C::ByCountryDailyTitle,
     &C::AxisVisits},
    {133, kPie, &S::StatByRegion, kVisits, kAll, 0, TLabel::Region, &C::ByRegionTitle, &C::ByRegionDailyTitle,
     &C::AxisVisits},
    {33, kPie, &S::StatByBrowser, kHits, kAll, 0, TLabel::Browser, &C::ByBrowserTitle, &C::ByBrowserDailyTitle,
     &C::AxisVisits},
    {34, kPie, &S::StatByOS, kHits, kAll, 0, TLabel::OS, &C::ByOSTitle, &C::ByOSDailyTitle, &C::AxisVisits},
    {35, kPie, &S::StatBySpider, kHits, TSkip::EmptyName, 0, TLabel::CutRight, &C::BySpiderTitle,
     &C::BySpiderDailyTitle, &C::AxisVisits},
    {142, kPie, &S::StatByFileType, kHits, kAll, 0, TLabel::FileType, &C::ByFileTypeTitle, &C::ByFileTypeDailyTitle,
     &C::AxisHits},
    {63, kPie, &S::StatByStatus, kHits, TSkip::NotError, 0, TLabel::Status, &C::ByErrTypeTitle, &C::ByErrTypeDailyTitle,
     &C::AxisHits},

    {32, kBars, &S::StatByDomain, kVisits, kAll, 0, TLabel::CutRight, &C::ByDomainTitle, nullptr, &C::AxisVisits},
    {134, kBars, &S::StatByUSState, kVisits, kAll, 0, TLabel::CutRight, &C::ByUSStateTitle, nullptr, &C::AxisVisits},
    {135, kBars, &S::StatByCAProv, kVisits, kAll, 0, TLabel::CutRight, &C::ByCAProvTitle, nullptr, &C::AxisVisits},
    {136, kBars, &S::StatByCNProv, kVisits, kAll, 0, TLabel::CutRight, &C::ByCNProvTitle, nullptr, &C::AxisVisits},
    {137, kBars, &S::StatByCity, kVisits, kAll, 0, TLabel::CutRight, &C::ByCityTitle, nullptr, &C::AxisVisits},

    {39, kBars, &S::StatByUserName, kVisits, kAll, 0, TLabel::CutRight, &C::ByUserNameTitle, &C::ByUserNameDailyTitle,
     &C::AxisVisits},
    {41, kBars, &S::StatByAllFiles, kVisits, kAll, 0, TLabel::CutLeft, &C::ByAllFilesTitle, &C::ByAllFilesDailyTitle,
     &C::AxisVisits},
    {42, kBars, &S::StatByAllFiles, kVisits, TSkip::OtherKind, 2, TLabel::CutLeft, &C::ByFileDocTitle,
     &C::ByFileDocDailyTitle, &C::AxisVisits},
    {43, kBars, &S::StatByAllFiles, kVisits, TSkip::OtherKind, 3, TLabel::CutLeft, &C::ByFileFileTitle,
     &C::ByFileFileDailyTitle, &C::AxisVisits},
    {44, kBars, &S::StatByAllFiles, kVisits, TSkip::OtherKind, 4, TLabel::CutLeft, &C::ByFileImgTitle,
     &C::ByFileImgDailyTitle, &C::AxisVisits},
    {45, kBars, &S::StatByAllFiles, kVisits, TSkip::OtherKind, 1, TLabel::CutLeft, &C::ByFileAudioTitle,
     &C::ByFileAudioDailyTitle, &C::AxisVisits},
    {46, kBars, &S::StatByAllFiles, kVisits, TSkip::OtherKind, 5, TLabel::CutLeft, &C::ByFileVideoTitle,
     &C::ByFileVideoDailyTitle, &C::AxisVisits},
    {141, kBars, &S::StatByFileDir, kVisits, kAll, 0, TLabel::CutLeft, &C::ByFileDirTitle, &C::ByFileDirDailyTitle,
     &C::AxisVisits},
    {47, kBars, &S::StatByFileExt, kHits, kAll, 0, TLabel::CutRight, &C::ByFileExtTitle, &C::ByFileExtDailyTitle,
     &C::AxisHits},
    {48, kBars, &S::StatByTopIn, kHits, kAll, 0, TLabel::CutLeft, &C::ByTopInTitle, &C::ByTopInDailyTitle,
     &C::AxisEntries},
    {49, kBars, &S::StatByTopOut, kHits, kAll, 0, TLabel::CutLeft, &C::ByTopOutTitle, &C::ByTopOutDailyTitle,
     &C::AxisExits},
    {51, kBars, &S::StatByRefDomain, kVisits, kAll, 0, TLabel::Referrer, &C::ByRefDomainTitle,
     &C::ByRefDomainDailyTitle, &C::AxisVisits},
    {52, kBars, &S::StatByRefPage, kVisits, kAll, 0, TLabel::Referrer, &C::ByRefPageTitle, &C::ByRefPageDailyTitle,
     &C::AxisVisits},
    {53, kBars, &S::StatByRefSE, kVisits, TSkip::EmptyName, 0, TLabel::CutRight, &C::ByRefSETitle,
     &C::ByRefSEDailyTitle, &C::AxisSearches},
    {54, kBars, &S::StatByRefSEP, kVisits, TSkip::EmptyName, 0, TLabel::CutRight, &C::ByRefSEPTitle,
     &C::ByRefSEPDailyTitle, &C::AxisSearches},
    {55, kBars, &S::StatByRefSEK, kVisits, TSkip::EmptyName, 0, TLabel::CutRight, &C::ByRefSEKTitle,
     &C::ByRefSEKDailyTitle, &C::AxisSearches},
};

constexpr std::uint8_t kByMon = 21, kByDay = 22, kByHod = 23, kByDow = 24, kByDom = 25;
constexpr std::uint8_t kByNbVisit = 38, kByLenVisit = 131, kByFileExt = 47;

// Longest label of a pie slice or a daily line, and of a horizontal bar.
constexpr int kShortLabel = 30;
constexpr int kBarLabel = 50;
// A pie or daily chart never shows more items than there are colours.
constexpr int kMaxColoredItems = static_cast<int>(ChartColors.size());

const TListReport* FindListReport(std::uint8_t id) {
    for (const TListReport& report : kListReports)
        if (report.Id == id) return &report;
    return nullptr;
}

bool Skipped(const TListReport& report, const TRecStat& row) {
    switch (report.Skip) {
        case TSkip::None: return false;
        case TSkip::EmptyName: return row.Name.empty();
        case TSkip::OtherKind: return row.Kind != report.Kind;
        case TSkip::NotError: return row.Code < 400 || row.Code > 599;
    }
    return false;
}

double RowValue(const TListReport& report, const TRecStat& row) {
    return report.Value == kHits ? row.Hits : row.Visits;
}

std::string OrText(const std::string& text, const std::string& whenEmpty) { return text.empty() ? whenEmpty : text; }

std::string RowLabel(const TListReport& report, const TRecStat& row, int limit, const TReportTxt& lang) {
    const std::string name = row.Name.Str();
    switch (report.Label) {
        case TLabel::CutRight: return TruncateRight(name, limit);
        case TLabel::CutLeft: return TruncateLeft(name, limit);
        case TLabel::Country:
            return OrText(TruncateRight(FormatCountry(name, &lang), limit), GetTextDomainUnresolved(&lang));
        case TLabel::CountryName:
            return OrText(TruncateRight(GetCountryNameByTLD(name, &lang), limit), GetTextCountryUnknown(&lang));
        case TLabel::Region: return TruncateRight(GetRegionName(name, &lang), limit);
        case TLabel::Browser: return name.empty() ? GetTextBrowserUnknown(&lang) : TruncateRight(name, limit);
        case TLabel::OS: return name.empty() ? GetTextOSUnknown(&lang) : TruncateRight(name, limit);
        case TLabel::FileType: return GetFileTypeGroupName(row.Kind, &lang);
        case TLabel::Status:
            return TruncateRight(std::to_string(row.Code) + " " + GetStatusCodeName(row.Code, &lang), limit);
        case TLabel::Referrer: return name.empty() ? GetTextReferrerNoneDirect(&lang) : TruncateRight(name, limit);
    }
    return {};
}

void SetFullyAutomatic(TChartAxis& axis) {
    axis.Automatic = true;
    axis.AutomaticMinimum = true;
    axis.AutomaticMaximum = true;
}

void SetMinimumZero(TChartAxis& axis) {
    axis.Automatic = false;
    axis.AutomaticMinimum = false;
    axis.Minimum = 0;
    axis.AutomaticMaximum = true;
}

enum class TKind : std::uint8_t { Bars, Line, Pie, HorizBars, Daily };

TChartSeries MakeSeries(TSeriesKind kind, TColor color, std::string title = {}) {
    TChartSeries series(kind);
    series.SeriesColor = color;
    series.ColorEachPoint = false;
    series.Marks.Visible = false;
    series.Title = std::move(title);
    return series;
}

// A series holding a single point gets two more with its value half a day before and
// after Day, so that one day shows as a short level line.
void WidenSinglePoint(TChartSeries& series, double day) {
    if (series.Count() != 1) return;
    const double y = series.YValue(0);
    series.AddXY(day - 0.5, y);
    series.AddXY(day + 0.5, y);
}

class TChartBuilder {
public:
    TChartBuilder(TChart& chart, TStatistics& stats, const TReportTxt& lang, const TRecReportProperty& settings)
        : chart_(chart), stats_(stats), lang_(lang), settings_(settings) {}

    void Build(std::uint8_t reportId, std::uint8_t daily) {
        const TRecChartTxt& txt = lang_.Chart;
        switch (reportId) {
            case kByMon: return BuildByMon();
            case kByDay: return BuildByDay();
            case kByHod: return BuildFixedBars(txt.ByHodTitle, txt.AxisHour, stats_.StatByHod, {});
            case kByDow: return BuildFixedBars(txt.ByDowTitle, {}, stats_.StatByDow, lang_.LongDayNames);
            case kByDom: return BuildFixedBars(txt.ByDomTitle, txt.AxisDay, stats_.StatByDom, kDayNumbers);
            case kByNbVisit:
                return BuildFixedHorizBars(txt.ByNbVisitTitle, txt.AxisVisitors, stats_.StatByNbVisit, lang_.NbVisits);
            case kByLenVisit:
                return BuildFixedHorizBars(txt.ByLenVisitTitle, txt.AxisVisits, stats_.StatByLenVisit, lang_.LenVisits);
            default: break;
        }
        const TListReport* report = FindListReport(reportId);
        if (!report) return;  // no drawing for this report
        if (report->DailyTitle && daily == 1) return BuildDaily(*report);
        if (report->Style == kPie) return BuildPie(*report);
        BuildListHorizBars(*report);
    }

private:
    static const std::array<TRecKeyText, 31> kDayNumbers;

    void AddTitle(const std::string& text) { chart_.Title.Text.push_back(text); }

    void ApplyKind(TKind kind, const std::string& leftTitle, const std::string& bottomTitle, int colorWidth = 10) {
        TChartLegend& legend = chart_.Legend;
        legend.Visible = kind != TKind::HorizBars;
        if (legend.Visible) {
            legend.Alignment = laRight;
            legend.LegendStyle = kind == TKind::Pie ? lsValues : lsSeries;
            legend.TextStyle = kind == TKind::Pie ? ltsRightPercent : ltsPlain;
            legend.ColorWidth = colorWidth;
        }
        chart_.View3DWalls = kind != TKind::Pie;
        chart_.View3DOptions.Orthogonal = kind != TKind::Pie;

        TChartAxis& left = chart_.LeftAxis;
        TChartAxis& bottom = chart_.BottomAxis;
        left.LabelStyle = kind == TKind::HorizBars ? talMark : talAuto;
        left.Inverted = kind == TKind::HorizBars;
        if (kind == TKind::Line || kind == TKind::Daily)
            SetMinimumZero(left);
        else
            SetFullyAutomatic(left);
        left.Title.Caption = leftTitle;
        bottom.Title.Caption = bottomTitle;
        for (TChartAxis* axis : {&left, &bottom}) {
            axis->Grid.Visible = true;
            axis->Grid.Style = psDot;
        }
        bottom.Increment = 1;
        bottom.DateTimeFormat = "c";
    }

    std::pair<TChartSeries, TChartSeries> HitsAndVisits(TSeriesKind kind) {
        TChartSeries hits = MakeSeries(kind, ChartColors[0], lang_.Chart.SerieHits);
        TChartSeries visits = MakeSeries(kind, ChartColors[1], lang_.Chart.SerieVisits);
        if (kind == skBar) hits.MultiBar = visits.MultiBar = mbNone;
        if (kind == skLine) hits.XValues.DateTime = visits.XValues.DateTime = true;
        return {std::move(hits), std::move(visits)};
    }

    void AttachBoth(std::pair<TChartSeries, TChartSeries> series) {
        chart_.AddSeries(std::move(series.first));
        chart_.AddSeries(std::move(series.second));
    }

    void BuildByMon() {
        AddTitle(lang_.Chart.ByMonTitle);
        ApplyKind(TKind::Bars, {}, {});
        auto series = HitsAndVisits(skBar);
        stats_.StatByMon.SortByKey(1);
        double x = 0;
        for (const TRecStat& row : stats_.StatByMon) {
            const std::string label = FormatMonthYear(&lang_, row.Key);
            series.first.AddXY(x, row.Hits, label);
            series.second.AddXY(x, row.Visits, label);
            ++x;
        }
        AttachBoth(std::move(series));
    }

    void BuildByDay() {
        AddTitle(lang_.Chart.ByDayTitle);
        ApplyKind(TKind::Line, {}, lang_.Chart.AxisDate);
        auto series = HitsAndVisits(skLine);
        TLstStat& list = stats_.StatByDay;
        list.SortByKey(1);
        for (const TRecStat& row : list) {
            const double day = SecondsToDateTime(row.Key);
            series.first.AddXY(day, row.Hits);
            series.second.AddXY(day, row.Visits);
        }
        if (!list.Empty()) {
            const double first = SecondsToDateTime(list.Get(0).Key);
            WidenSinglePoint(series.first, first);
            WidenSinglePoint(series.second, first);
        }
        AttachBoth(std::move(series));
    }

    // Names: the label of row i is Names[i - First]; no names leaves the bars unlabelled.
    template <class Table>
    void BuildFixedBars(const std::string& title, const std::string& bottomTitle, const Table& table,
                        std::span<const TRecKeyText> names) {
        AddTitle(title);
        ApplyKind(TKind::Bars, {}, bottomTitle);
        auto series = HitsAndVisits(skBar);
        for (int i = Table::kFirst; i <= Table::kLast; ++i) {
            const std::string label = names.empty() ? "" : names[static_cast<std::size_t>(i - Table::kFirst)].Text;
            series.first.AddXY(i, table[i].Hits, label);
            series.second.AddXY(i, table[i].Visits, label);
        }
        AttachBoth(std::move(series));
    }

    TChartSeries MakeHorizBars() {
        TChartSeries bars = MakeSeries(skHorizBar, ChartColors[0]);
        bars.Marks.Style = smsLabel;
        return bars;
    }

    template <class Table>
    void BuildFixedHorizBars(const std::string& title, const std::string& bottomTitle, const Table& table,
                             std::span<const TRecKeyText> bands) {
        AddTitle(title);
        ApplyKind(TKind::HorizBars, {}, bottomTitle);
        TChartSeries bars = MakeHorizBars();
        for (int i = Table::kFirst; i <= Table::kLast; ++i)
            bars.AddXY(table[i].Visits, i, bands[static_cast<std::size_t>(i - Table::kFirst)].Text);
        chart_.AddSeries(std::move(bars));
    }

    TLstStat& SortedList(const TListReport& report) {
        TLstStat& list = stats_.*(report.List);
        if (report.Value == kHits)
            list.SortByHits(0);
        else
            list.SortByVisits(0);
        return list;
    }

    void BuildPie(const TListReport& report) {
        AddTitle(lang_.Chart.*(report.Title));
        ApplyKind(TKind::Pie, {}, {});
        TChartSeries pie(skPie);
        pie.ColorEachPoint = true;
        pie.Marks.Visible = false;
        pie.OtherSlice.Style = poNone;
        pie.PieValues.Order = loNone;
        int count = 0;
        double other = 0;
        for (const TRecStat& row : SortedList(report)) {
            if (Skipped(report, row)) continue;
            ++count;
            if (count <= settings_.NbItemsChart && count <= kMaxColoredItems) {
                pie.Add(RowValue(report, row), RowLabel(report, row, kShortLabel, lang_));
                pie.SetValueColor(pie.Count() - 1, ChartColors[static_cast<std::size_t>(count - 1)]);
            } else {
                other += RowValue(report, row);
            }
        }
        if (other != 0) {
            pie.Add(other, lang_.Chart.PieOther);
            pie.SetValueColor(pie.Count() - 1, clWhite);
        }
        chart_.AddSeries(std::move(pie));
    }

    void BuildListHorizBars(const TListReport& report) {
        AddTitle(lang_.Chart.*(report.Title));
        ApplyKind(TKind::HorizBars, {}, lang_.Chart.*(report.ValueAxis));
        TChartSeries bars = MakeHorizBars();
        int count = 0;
        for (const TRecStat& row : SortedList(report)) {
            if (Skipped(report, row)) continue;
            if (++count > settings_.NbItemsChart) break;
            bars.AddXY(RowValue(report, row), count, RowLabel(report, row, kBarLabel, lang_));
        }
        chart_.AddSeries(std::move(bars));
    }

    void BuildDaily(const TListReport& report) {
        AddTitle(lang_.Chart.*(report.DailyTitle));
        ApplyKind(TKind::Daily, lang_.Chart.*(report.ValueAxis), lang_.Chart.AxisDate,
                  report.Id == kByFileExt ? 20 : 10);
        const double firstDay = stats_.FirstDay;
        int count = 0;
        for (const TRecStat& row : SortedList(report)) {
            if (Skipped(report, row)) continue;
            ++count;
            if (count > settings_.NbItemsChartDaily || count > kMaxColoredItems) break;
            TChartSeries line = MakeSeries(skLine, ChartColors[static_cast<std::size_t>(count - 1)],
                                           RowLabel(report, row, kShortLabel, lang_));
            line.XValues.DateTime = true;
            double day = firstDay;
            for (const std::int32_t count : row.PerDay) line.AddXY(day++, count);
            WidenSinglePoint(line, firstDay);
            chart_.AddSeries(std::move(line));
        }
    }

    TChart& chart_;
    TStatistics& stats_;
    const TReportTxt& lang_;
    const TRecReportProperty& settings_;
};

// Labels "1".."31" of the days of the month.
const std::array<TRecKeyText, 31> TChartBuilder::kDayNumbers = [] {
    std::array<TRecKeyText, 31> days;
    for (std::size_t i = 0; i < days.size(); ++i) days[i].Text = std::to_string(i + 1);
    return days;
}();

}  // namespace

TfrChart::TfrChart(TStatistics& LogConvert, DisplayFormat Format)
    : logConvert_(LogConvert), format_(std::move(Format)) {
    // The frame's fixed look; builds change only what their chart kind needs.
    Chart.Color = 0xFFFBE8;
    Chart.BackWall.Color = 0xFFFBE8;
    Chart.LeftWall.Color = 0xE1E1E1;
    Chart.BottomWall.Color = 0xE1E1E1;
    Chart.View3D = true;
    Chart.BottomAxis.MinorTicks = false;
    Chart.LeftAxis.LabelsSeparation = 20;
    Chart.MarginLeft = Chart.MarginTop = Chart.MarginRight = Chart.MarginBottom = 5;
    Chart.Legend.Alignment = laBottom;
}

void TfrChart::SaveChartAsPng(const TProfile& Profile, std::uint8_t ReportId, const TReportTxt& Lang,
                              const std::string& FileName, std::int32_t Width, std::int32_t Height,
                              std::uint8_t Daily) {
    // The page shows the title as the image's alternative text.
    Chart.Title.Visible = false;
    BuildChart(Profile, ReportId, Lang, Daily);
    width_ = Width;
    height_ = Height;

    WritePngFile(FileName, DrawImage(Width, Height, 1));
    const int scale = static_cast<int>(std::ceil(PixelRatio - 1e-6));
    if (scale > 1) WritePngFile(HighResolutionName(FileName, scale), DrawImage(Width, Height, scale));
}

QImage TfrChart::DrawImage(std::int32_t Width, std::int32_t Height, int scale) const {
    if (Width <= 0 || Height <= 0) return {};
    QImage image(Width * scale, Height * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (scale > 1) painter.scale(scale, scale);
    // One pixel right and down: the top row and the left column keep the fill.
    DrawChart(Chart, painter, QRect(1, 1, Width, Height), format_);
    return image;
}

std::string HighResolutionName(const std::string& fileName, int scale) {
    const std::filesystem::path path(fileName);
    std::filesystem::path sharp = path.parent_path() / path.stem();
    sharp += "@" + std::to_string(scale) + "x";
    sharp += path.extension();
    return sharp.string();
}

void TfrChart::BuildChart(const TProfile& Profile, std::uint8_t ReportId, const TReportTxt& Lang, std::uint8_t Daily) {
    this->Profile = &Profile;
    this->ReportId = ReportId;
    this->Lang = &Lang;
    this->Daily = Daily;
    BuildChart();
}

void TfrChart::BuildChart() {
    Chart.FreeAllSeries();
    Chart.Title.Text.clear();
    Chart.MarginLeft = 3;
    Chart.MarginRight = 3;
    Chart.MarginBottom = 4;
    Chart.MarginTop = 4;

    TRecReportProperty settings;
    Profile->Reports.Find(ReportId, settings, true);
    TChartBuilder builder{Chart, logConvert_, *Lang, settings};
    builder.Build(ReportId, Daily);
}

}  // namespace brindle

// What the chart builder puts into the drawing model, per chart kind and report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChartSamples.h"
#include "core/ReportTxt_u.h"
#include "views/Chart_fr.h"

using namespace brindle;
using brindle::test::ProfileWithLimits;
using brindle::test::StatRow;

namespace {

class ChartModelTest : public ::testing::Test {
protected:
    const TChart& Build(int id, std::int32_t items, std::int32_t dailyItems, std::uint8_t daily = 0) {
        profile_ = ProfileWithLimits(id, items, dailyItems);
        frame_.BuildChart(profile_, static_cast<std::uint8_t>(id), lang_, daily);
        return frame_.Chart;
    }

    static std::vector<double> Values(const TChartSeries& series) {
        std::vector<double> values;
        for (const TChartPoint& point : series.Points()) values.push_back(point.Y);
        return values;
    }
    static std::vector<std::string> Labels(const TChartSeries& series) {
        std::vector<std::string> labels;
        for (const TChartPoint& point : series.Points()) labels.push_back(point.Label);
        return labels;
    }
    static std::vector<TColor> Colors(const TChartSeries& series) {
        std::vector<TColor> colors;
        for (const TChartPoint& point : series.Points()) colors.push_back(point.Color);
        return colors;
    }

    // Twelve countries by visits 120, 110, ..., 10, listed out of order.
    void TwelveTlds() {
        const char* tlds[] = {"fr", "de", "it", "es", "nl", "be", "at", "ch", "se", "no", "dk", "fi"};
        for (int i = 11; i >= 0; --i) stats_.StatByTld.Add(StatRow(tlds[i], 1, 120 - 10 * i));
    }

    TStatistics stats_;
    TReportTxt lang_ = BuiltInReportTxt();
    TProfile profile_;
    TfrChart frame_{stats_};
};

TEST_F(ChartModelTest, PieTakesTopItemsInListOrderAndGroupsTheRest) {
    TwelveTlds();
    const TChart& chart = Build(31, 6, 5);
    ASSERT_EQ(chart.SeriesCount(), 1u);
    const TChartSeries& pie = chart.Series(0);
    EXPECT_EQ(pie.Kind, skPie);
    EXPECT_EQ(Values(pie), (std::vector<double>{120, 110, 100, 90, 80, 70, 10 + 20 + 30 + 40 + 50 + 60}));
    EXPECT_EQ(Colors(pie), (std::vector<TColor>{ChartColors[0], ChartColors[1], ChartColors[2], ChartColors[3],
                                                ChartColors[4], ChartColors[5], clWhite}));
    EXPECT_EQ(Labels(pie).front(), "France (.fr)");
    EXPECT_EQ(Labels(pie).back(), "Other");
    // The list itself is left sorted by visits, descending.
    EXPECT_EQ(stats_.StatByTld.Get(0).Name, "fr");

    const TChart& fifteen = Build(31, 15, 5);
    const TChartSeries& capped = fifteen.Series(0);
    ASSERT_EQ(capped.Count(), 11u);
    EXPECT_EQ(capped.Point(9).Color, ChartColors[9]);
    EXPECT_EQ(capped.YValue(10), 20 + 10);
    EXPECT_EQ(capped.Point(10).Color, clWhite);
}

TEST_F(ChartModelTest, PieOtherSliceEdges) {
    TwelveTlds();
    // No item allowed: one white slice holding everything.
    const TChartSeries& none = Build(31, 0, 5).Series(0);
    ASSERT_EQ(none.Count(), 1u);
    EXPECT_EQ(none.YValue(0), 780);
    EXPECT_EQ(none.Point(0).Color, clWhite);

    // Remaining rows worth nothing: no other slice.
    for (std::size_t i = 3; i < stats_.StatByTld.Count(); ++i) stats_.StatByTld.Mutable(i).Visits = 0;
    EXPECT_EQ(Build(31, 3, 5).Series(0).Count(), 3u);

    // An empty list: the pie has no slice at all.
    stats_.StatByTld.Clear();
    const TChart& empty = Build(31, 6, 5);
    ASSERT_EQ(empty.SeriesCount(), 1u);
    EXPECT_EQ(empty.Series(0).Count(), 0u);
}

TEST_F(ChartModelTest, SkippedRowsNeitherCountNorAddToOther) {
    stats_.StatBySpider.Add(StatRow("", 500, 1));
    stats_.StatBySpider.Add(StatRow("Googlebot", 300, 1));
    stats_.StatBySpider.Add(StatRow("bingbot", 200, 1));
    const TChartSeries& spiders = Build(35, 1, 5).Series(0);
    EXPECT_EQ(Values(spiders), (std::vector<double>{300, 200}));
    EXPECT_EQ(Labels(spiders), (std::vector<std::string>{"Googlebot", "Other"}));

    const std::int32_t codes[] = {200, 404, 399, 600, 503, 304};
    for (std::int32_t code : codes) {
        TRecStat row = StatRow("", 1000 - code, 0);
        row.Code = code;
        stats_.StatByStatus.Add(row);
    }
    const TChartSeries& errors = Build(63, 10, 5).Series(0);
    EXPECT_EQ(Labels(errors), (std::vector<std::string>{"404 Not Found", "503 Out of Resources"}));
    EXPECT_EQ(errors.Point(1).Color, ChartColors[1]);

    int visits = 20;
    for (const char* name : {"", "google", "", "bing"}) stats_.StatByRefSE.Add(StatRow(name, 1, --visits));
    EXPECT_EQ(Labels(Build(53, 5, 5).Series(0)), (std::vector<std::string>{"google", "bing"}));
    EXPECT_EQ(Build(53, 5, 5, 1).SeriesCount(), 2u);
}

TEST_F(ChartModelTest, LabelsPerReport) {
    TReportTxt& l = lang_;
    l.Misc.BrowserUnknown = "A browser nobody could identify at all";
    stats_.StatByTld.Add(StatRow("de", 0, 9));
    stats_.StatByTld.Add(StatRow("zz", 0, 8));
    EXPECT_EQ(Labels(Build(31, 5, 5).Series(0)), (std::vector<std::string>{"Germany (.de)", "Unresolved/Unknown"}));

    stats_.StatByCountry.Add(StatRow("fr", 0, 9));
    stats_.StatByCountry.Add(StatRow("zz", 0, 8));
    EXPECT_EQ(Labels(Build(132, 5, 5).Series(0)), (std::vector<std::string>{"France", "Unknown"}));

    stats_.StatByBrowser.Add(StatRow("", 9, 0));
    stats_.StatByBrowser.Add(StatRow(std::string(31, 'b'), 8, 0));
    EXPECT_EQ(Labels(Build(33, 5, 5).Series(0)),
              (std::vector<std::string>{"A browser nobody could identify at all", std::string(27, 'b') + "..."}));

    for (std::uint8_t kind : {2, 4}) {
        TRecStat row = StatRow("", 10 - kind, 0);
        row.Kind = kind;
        stats_.StatByFileType.Add(row);
    }
    EXPECT_EQ(Labels(Build(142, 5, 5).Series(0)), (std::vector<std::string>{"Page Files", "Image Files"}));

    TRecStat teapot = StatRow("", 5, 0);
    teapot.Code = 418;  // no status text
    stats_.StatByStatus.Add(teapot);
    EXPECT_EQ(Labels(Build(63, 5, 5).Series(0)), (std::vector<std::string>{"418 "}));

    stats_.StatByRefDomain.Add(StatRow("", 0, 9));
    stats_.StatByRefDomain.Add(StatRow("http://example.org", 0, 8));
    EXPECT_EQ(Labels(Build(51, 5, 5).Series(0)),
              (std::vector<std::string>{"No Referrer (Direct Request)", "http://example.org"}));
}

TEST_F(ChartModelTest, LabelsAreCutAtThirtyForPiesAndLinesAndFiftyForBars) {
    const std::string thirty(30, 'x');
    const std::string longPath = "/" + std::string(26, 'a') + "/" + std::string(23, 'z');  // 51 characters
    stats_.StatByAllFiles.Add(StatRow(longPath, 0, 9, {1}));
    stats_.StatByAllFiles.Add(StatRow("/" + std::string(29, 'p'), 0, 8, {1}));
    const TChartSeries& bars = Build(41, 5, 5).Series(0);
    EXPECT_EQ(bars.Point(0).Label, "..." + longPath.substr(longPath.size() - 47));
    EXPECT_EQ(bars.Point(1).Label, "/" + std::string(29, 'p'));

    const TChart& daily = Build(41, 5, 5, 1);
    EXPECT_EQ(daily.Series(0).Title, "..." + longPath.substr(longPath.size() - 27));
    EXPECT_EQ(daily.Series(1).Title, "/" + std::string(29, 'p'));

    stats_.StatByUserName.Add(StatRow(thirty + "y", 0, 9, {1}));
    stats_.StatByUserName.Add(StatRow(thirty, 0, 8, {1}));
    const TChart& users = Build(39, 5, 5, 1);
    EXPECT_EQ(users.Series(0).Title, std::string(27, 'x') + "...");
    EXPECT_EQ(users.Series(1).Title, thirty);
    stats_.StatByDomain.Add(StatRow(std::string(51, 'd'), 0, 7));
    EXPECT_EQ(Build(32, 5, 5).Series(0).Point(0).Label, std::string(47, 'd') + "...");
}

TEST_F(ChartModelTest, HorizontalBarsHaveNoCapOfTenAndStopAtTheLimit) {
    for (int i = 0; i < 30; ++i) stats_.StatByDomain.Add(StatRow("d" + std::to_string(i), 0, 100 + i));
    const TChart& chart = Build(32, 25, 5);
    ASSERT_EQ(chart.SeriesCount(), 1u);
    const TChartSeries& bars = chart.Series(0);
    EXPECT_EQ(bars.Kind, skHorizBar);
    ASSERT_EQ(bars.Count(), 25u);
    for (std::size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(bars.Point(i).Y, static_cast<double>(i + 1));
        EXPECT_EQ(bars.Point(i).X, 129.0 - static_cast<double>(i));
        EXPECT_EQ(bars.Point(i).Label, "d" + std::to_string(29 - i));
        EXPECT_EQ(bars.Point(i).Color, ChartColors[0]);
    }
    EXPECT_TRUE(chart.LeftAxis.Inverted);
    EXPECT_EQ(chart.LeftAxis.LabelStyle, talMark);
    EXPECT_EQ(bars.Marks.Style, smsLabel);
    EXPECT_FALSE(bars.Marks.Visible);
    EXPECT_EQ(Build(32, 0, 5).Series(0).Count(), 0u);
}

TEST_F(ChartModelTest, FileKindReportsTakeOnlyTheirKind) {
    const std::uint8_t kinds[] = {2, 4, 2, 3, 1, 5, 4};
    for (int i = 0; i < 7; ++i) {
        TRecStat row = StatRow("/f" + std::to_string(i), 0, 70 - i, {i});
        row.Kind = kinds[i];
        stats_.StatByAllFiles.Add(row);
    }
    EXPECT_EQ(Labels(Build(42, 10, 5).Series(0)), (std::vector<std::string>{"/f0", "/f2"}));
    EXPECT_EQ(Labels(Build(44, 1, 5).Series(0)), (std::vector<std::string>{"/f1"}));
    EXPECT_EQ(Labels(Build(43, 10, 5).Series(0)), (std::vector<std::string>{"/f3"}));
    EXPECT_EQ(Labels(Build(45, 10, 5).Series(0)), (std::vector<std::string>{"/f4"}));
    EXPECT_EQ(Labels(Build(46, 10, 5).Series(0)), (std::vector<std::string>{"/f5"}));
    // The daily chart skips the same rows.
    const TChart& daily = Build(44, 10, 10, 1);
    ASSERT_EQ(daily.SeriesCount(), 2u);
    EXPECT_EQ(daily.Series(1).Title, "/f6");
}

TEST_F(ChartModelTest, DailyLinesPerTopItem) {
    stats_.FirstDay = 45000;
    stats_.DaySpan = 3;
    for (int i = 0; i < 12; ++i) stats_.StatByBrowser.Add(StatRow("b" + std::to_string(i), 100 - i, 1, {i, 2 * i, 3}));
    stats_.StatByBrowser.Mutable(4).PerDay.clear();

    const TChart& three = Build(33, 5, 3, 1);
    ASSERT_EQ(three.SeriesCount(), 3u);
    for (std::size_t s = 0; s < 3; ++s) {
        const TChartSeries& line = three.Series(s);
        EXPECT_EQ(line.Kind, skLine);
        EXPECT_EQ(line.SeriesColor, ChartColors[s]);
        EXPECT_EQ(line.Title, "b" + std::to_string(s));
        EXPECT_TRUE(line.XValues.DateTime);
        EXPECT_FALSE(line.Marks.Visible);
        ASSERT_EQ(line.Count(), 3u);
        for (std::size_t d = 0; d < 3; ++d) EXPECT_EQ(line.Point(d).X, 45000.0 + static_cast<double>(d));
    }
    EXPECT_EQ(Values(three.Series(2)), (std::vector<double>{2, 4, 3}));

    const TChart& many = Build(33, 5, 25, 1);
    ASSERT_EQ(many.SeriesCount(), 10u);
    // A row without daily counts still has its line, without points.
    EXPECT_EQ(many.Series(4).Title, "b4");
    EXPECT_EQ(many.Series(4).SeriesColor, ChartColors[4]);
    EXPECT_EQ(many.Series(4).Count(), 0u);
    EXPECT_EQ(many.Series(9).SeriesColor, ChartColors[9]);

    stats_.StatByBrowser.Clear();
    EXPECT_EQ(Build(33, 5, 5, 1).SeriesCount(), 0u);
}

TEST_F(ChartModelTest, OneDayShowsAsALevelLine) {
    stats_.FirstDay = stats_.LastDay = 45100;
    stats_.DaySpan = 1;
    stats_.StatByTld.Add(StatRow("de", 1, 7, {7}));
    TRecStat day = StatRow("", 40, 9);
    day.Key = StartOfDay(45100);
    stats_.StatByDay.Add(day);

    const TChartSeries& line = Build(31, 5, 5, 1).Series(0);
    ASSERT_EQ(line.Count(), 3u);
    EXPECT_EQ(line.Point(0).X, 45100.0);
    EXPECT_EQ(line.Point(1).X, 45099.5);
    EXPECT_EQ(line.Point(2).X, 45100.5);
    EXPECT_EQ(Values(line), (std::vector<double>{7, 7, 7}));

    const TChart& byDay = Build(22, 5, 5);
    ASSERT_EQ(byDay.SeriesCount(), 2u);
    EXPECT_EQ(Values(byDay.Series(0)), (std::vector<double>{40, 40, 40}));
    EXPECT_EQ(Values(byDay.Series(1)), (std::vector<double>{9, 9, 9}));
    EXPECT_EQ(byDay.Series(1).Point(2).X, 45100.5);
}

TEST_F(ChartModelTest, ByDayIsTwoDateLinesInDayOrder) {
    for (int d : {3, 1, 2}) {
        TRecStat row = StatRow("", 10 * d, d);
        row.Key = StartOfDay(45000 + d);
        stats_.StatByDay.Add(row);
    }
    const TChart& chart = Build(22, 5, 5);
    ASSERT_EQ(chart.SeriesCount(), 2u);
    const TChartSeries& hits = chart.Series(0);
    const TChartSeries& visits = chart.Series(1);
    EXPECT_EQ(hits.Kind, skLine);
    EXPECT_EQ(hits.Title, "Hits");
    EXPECT_EQ(visits.Title, "Visits");
    EXPECT_EQ(hits.SeriesColor, ChartColors[0]);
    EXPECT_EQ(visits.SeriesColor, ChartColors[1]);
    EXPECT_TRUE(hits.XValues.DateTime);
    EXPECT_EQ(Values(hits), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(Values(visits), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(hits.Point(0).X, 45001.0);
    EXPECT_EQ(Labels(hits), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(chart.Title.Text, (std::vector<std::string>{"Daily Access"}));
    EXPECT_EQ(chart.BottomAxis.Title.Caption, "Date");
    EXPECT_FALSE(chart.LeftAxis.AutomaticMinimum);
    EXPECT_EQ(chart.LeftAxis.Minimum, 0);
}

TEST_F(ChartModelTest, VerticalBarReports) {
    for (int m : {3, 1, 2}) {
        TRecStat row = StatRow("", 100 * m, 10 * m);
        row.Key = StartOfDay(EncodeDate(2007, m, 1));
        stats_.StatByMon.Add(row);
    }
    for (int h = 0; h <= 23; ++h) stats_.StatByHod[h] = StatRow("", h, h / 2);
    stats_.StatByDow[7] = StatRow("", 70, 7);
    stats_.StatByDom[31] = StatRow("", 31, 3);

    const TChart& months = Build(21, 5, 5, 1);  // no daily chart: the flag is ignored
    ASSERT_EQ(months.SeriesCount(), 2u);
    const TChartSeries& hits = months.Series(0);
    EXPECT_EQ(hits.Kind, skBar);
    EXPECT_EQ(hits.MultiBar, mbNone);
    EXPECT_FALSE(hits.ColorEachPoint);
    EXPECT_EQ(Labels(hits), (std::vector<std::string>{"January 2007", "February 2007", "March 2007"}));
    EXPECT_EQ(hits.Point(2).X, 2.0);
    EXPECT_EQ(Values(months.Series(1)), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(months.BottomAxis.Title.Caption, "");

    const TChart& hours = Build(23, 5, 5);
    ASSERT_EQ(hours.Series(0).Count(), 24u);
    EXPECT_EQ(hours.Series(0).Point(23).X, 23.0);
    EXPECT_EQ(hours.Series(0).YValue(23), 23.0);
    EXPECT_EQ(hours.Series(1).YValue(23), 11.0);
    EXPECT_EQ(hours.Series(0).Point(23).Label, "");
    EXPECT_EQ(hours.BottomAxis.Title.Caption, "Hour");

    const TChart& days = Build(24, 5, 5);
    ASSERT_EQ(days.Series(0).Count(), 7u);
    EXPECT_EQ(days.Series(0).Point(0).X, 1.0);
    EXPECT_EQ(days.Series(0).Point(0).Label, "Monday");
    EXPECT_EQ(days.Series(0).Point(6).Label, "Sunday");
    EXPECT_EQ(days.Series(1).YValue(6), 7.0);

    const TChart& dom = Build(25, 5, 5);
    ASSERT_EQ(dom.Series(0).Count(), 31u);
    EXPECT_EQ(dom.Series(0).Point(30).Label, "31");
    EXPECT_EQ(dom.Series(0).YValue(30), 31.0);
    EXPECT_EQ(dom.BottomAxis.Title.Caption, "Day");
}

TEST_F(ChartModelTest, VisitBandsShowEveryRowWhateverTheLimit) {
    for (int i = 1; i <= 15; ++i) stats_.StatByNbVisit[i] = StatRow("", 0, 100 - i);
    const TChart& counts = Build(38, 2, 2);
    const TChartSeries& bars = counts.Series(0);
    ASSERT_EQ(bars.Count(), 15u);
    EXPECT_EQ(bars.Point(0).X, 99.0);
    EXPECT_EQ(bars.Point(14).Y, 15.0);
    EXPECT_EQ(bars.Point(0).Label, "1 visit");
    EXPECT_EQ(bars.Point(14).Label, "15+ visits");
    EXPECT_EQ(counts.BottomAxis.Title.Caption, "Visitors");

    const TChart& lengths = Build(131, 0, 0);
    ASSERT_EQ(lengths.Series(0).Count(), 11u);
    EXPECT_EQ(lengths.Series(0).Point(0).Label, lang_.LenVisits[0].Text);
    EXPECT_EQ(lengths.BottomAxis.Title.Caption, "Visits");
}

TEST_F(ChartModelTest, SettingsOfEachKind) {
    stats_.StatByTld.Add(StatRow("de", 1, 1, {1}));
    stats_.StatByFileExt.Add(StatRow("html", 1, 1, {1}));

    const TChart& bars = Build(21, 5, 5);
    EXPECT_TRUE(bars.Legend.Visible);
    EXPECT_EQ(bars.Legend.Alignment, laRight);
    EXPECT_EQ(bars.Legend.LegendStyle, lsSeries);
    EXPECT_EQ(bars.Legend.TextStyle, ltsPlain);
    EXPECT_EQ(bars.Legend.ColorWidth, 10);
    EXPECT_TRUE(bars.View3DWalls);
    EXPECT_TRUE(bars.LeftAxis.AutomaticMinimum);
    EXPECT_TRUE(bars.LeftAxis.Grid.Visible);
    EXPECT_EQ(bars.LeftAxis.Grid.Style, psDot);
    EXPECT_EQ(bars.BottomAxis.Grid.Style, psDot);
    EXPECT_EQ(bars.BottomAxis.Increment, 1);
    EXPECT_EQ(bars.BottomAxis.DateTimeFormat, "c");
    EXPECT_EQ((std::vector<int>{bars.MarginLeft, bars.MarginTop, bars.MarginRight, bars.MarginBottom}),
              (std::vector<int>{3, 4, 3, 4}));

    const TChart& pie = Build(31, 5, 5);
    EXPECT_EQ(pie.Legend.LegendStyle, lsValues);
    EXPECT_EQ(pie.Legend.TextStyle, ltsRightPercent);
    EXPECT_FALSE(pie.View3DWalls);
    EXPECT_FALSE(pie.View3DOptions.Orthogonal);
    EXPECT_EQ(pie.Series(0).OtherSlice.Style, poNone);
    EXPECT_EQ(pie.Series(0).PieValues.Order, loNone);
    EXPECT_TRUE(pie.Series(0).ColorEachPoint);
    EXPECT_EQ(pie.Title.Text, (std::vector<std::string>{lang_.Chart.ByTldTitle}));

    const TChart& horizontal = Build(47, 5, 5);
    EXPECT_FALSE(horizontal.Legend.Visible);
    EXPECT_TRUE(horizontal.View3DOptions.Orthogonal);
    EXPECT_EQ(horizontal.BottomAxis.Title.Caption, "Hits");
    EXPECT_EQ(horizontal.LeftAxis.Title.Caption, "");

    const TChart& daily = Build(47, 5, 5, 1);
    EXPECT_TRUE(daily.Legend.Visible);
    EXPECT_EQ(daily.Legend.LegendStyle, lsSeries);
    EXPECT_EQ(daily.Legend.ColorWidth, 20);
    EXPECT_FALSE(daily.LeftAxis.Inverted);
    EXPECT_EQ(daily.LeftAxis.LabelStyle, talAuto);
    EXPECT_FALSE(daily.LeftAxis.AutomaticMinimum);
    EXPECT_TRUE(daily.LeftAxis.AutomaticMaximum);
    EXPECT_EQ(daily.LeftAxis.Title.Caption, "Hits");
    EXPECT_EQ(daily.BottomAxis.Title.Caption, "Date");
    EXPECT_EQ(daily.Title.Text, (std::vector<std::string>{lang_.Chart.ByFileExtDailyTitle}));
    EXPECT_EQ(Build(31, 5, 5, 1).Legend.ColorWidth, 10);
    EXPECT_EQ(Build(48, 5, 5).BottomAxis.Title.Caption, "Entries");
    EXPECT_EQ(Build(49, 5, 5, 1).LeftAxis.Title.Caption, "Exits");
    EXPECT_EQ(Build(54, 5, 5).BottomAxis.Title.Caption, "Searches");
}

TEST_F(ChartModelTest, DailyFlagOtherThanOneDrawsTheMainChart) {
    stats_.StatByTld.Add(StatRow("de", 1, 1, {1}));
    EXPECT_EQ(Build(31, 5, 5, 2).Series(0).Kind, skPie);
    EXPECT_EQ(Build(31, 5, 5, 1).Series(0).Kind, skLine);
    // ByDomain has bars only.
    stats_.StatByDomain.Add(StatRow("a.com", 1, 1, {1}));
    EXPECT_EQ(Build(32, 5, 5, 1).Series(0).Kind, skHorizBar);
}

TEST_F(ChartModelTest, ReportWithoutDrawingLeavesNoSeriesAndKeepsSettings) {
    stats_.StatByTld.Add(StatRow("de", 1, 1, {1}));
    Build(31, 5, 5);
    for (int id : {10, 36, 37, 56, 57, 61, 62, 200}) {
        const TChart& chart = Build(id, 5, 5);
        EXPECT_EQ(chart.SeriesCount(), 0u) << id;
        EXPECT_TRUE(chart.Title.Text.empty()) << id;
        EXPECT_EQ(chart.Legend.LegendStyle, lsValues) << id;
        EXPECT_FALSE(chart.View3DWalls) << id;
        EXPECT_EQ(chart.MarginTop, 4) << id;
    }
}

TEST_F(ChartModelTest, MissingReportSettingsFallBackToTheDefaults) {
    for (int i = 0; i < 30; ++i) stats_.StatByDomain.Add(StatRow("d" + std::to_string(i), 0, 100 - i));
    const TProfile bare;
    frame_.BuildChart(bare, 32, lang_, 0);
    const TRecReportProperty* defaults = FindDefaultReportProperty(32);
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(frame_.Chart.Series(0).Count(), static_cast<std::size_t>(defaults->NbItemsChart));
    EXPECT_EQ(frame_.ReportId, 32);
    EXPECT_EQ(frame_.Profile, &bare);
    EXPECT_EQ(frame_.Lang, &lang_);
}

TEST_F(ChartModelTest, RebuildFreesThePreviousSeries) {
    stats_.StatByTld.Add(StatRow("de", 1, 1, {1}));
    Build(21, 5, 5);
    EXPECT_EQ(frame_.Chart.SeriesCount(), 2u);
    EXPECT_EQ(Build(31, 5, 5).SeriesCount(), 1u);
}

}  // namespace

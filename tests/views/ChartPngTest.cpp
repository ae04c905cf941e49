// Chart images on disk: size, PNG layout, text chunk, content, and failed writes.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ChartSamples.h"
#include "core/ReportTxt_u.h"
#include "support/TestFolder.h"
#include "views/Chart_fr.h"
#include "views/PngWriter_u.h"

using namespace brindle;
using brindle::test::TestFolder;

namespace {

struct TReadPng {
    bool Ok = false;
    png_uint_32 Width = 0;
    png_uint_32 Height = 0;
    int BitDepth = 0;
    int ColorType = 0;
    int Interlace = 0;
    bool HasTransparency = false;
    std::vector<std::pair<std::string, std::string>> Texts;
    std::vector<std::uint8_t> Rgb;

    TColor Pixel(png_uint_32 x, png_uint_32 y) const {
        const std::size_t at = (static_cast<std::size_t>(y) * Width + x) * 3;
        return (TColor{Rgb[at]} << 16) | (TColor{Rgb[at + 1]} << 8) | Rgb[at + 2];
    }
    int CountColor(TColor color) const {
        int count = 0;
        for (png_uint_32 y = 0; y < Height; ++y)
            for (png_uint_32 x = 0; x < Width; ++x) count += Pixel(x, y) == color;
        return count;
    }
};

// Reads the file back with libpng's low-level reader (no conversions).
TReadPng ReadPng(const std::string& fileName) {
    TReadPng result;
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return result;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return TReadPng{};
    }
    png_init_io(png, file);
    png_read_info(png, info);
    int compression = 0;
    int filter = 0;
    png_get_IHDR(png, info, &result.Width, &result.Height, &result.BitDepth, &result.ColorType, &result.Interlace,
                 &compression, &filter);
    result.HasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (result.BitDepth == 8 && result.ColorType == PNG_COLOR_TYPE_RGB) {
        result.Rgb.resize(static_cast<std::size_t>(result.Width) * result.Height * 3);
        for (png_uint_32 y = 0; y < result.Height; ++y)
            rows.push_back(result.Rgb.data() + static_cast<std::size_t>(y) * result.Width * 3);
        png_read_image(png, rows.data());
    }
    png_read_end(png, info);
    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < count; ++i) result.Texts.emplace_back(texts[i].key, texts[i].text);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    result.Ok = true;
    return result;
}

class ChartPngTest : public ::testing::Test {
protected:
    // CHART_PNG_DIR keeps the images for a look.
    std::string Path(const std::string& name) const {
        if (const char* keep = std::getenv("CHART_PNG_DIR")) return std::string(keep) + "/" + name;
        return folder_.file(name);
    }

    TReadPng Save(int id, std::uint8_t daily, const std::string& name, int items = 8) {
        const TProfile profile = test::ProfileWithLimits(id, items, items);
        const std::string file = Path(name);
        frame_.SaveChartAsPng(profile, static_cast<std::uint8_t>(id), BuiltInReportTxt(), file, 600, 350, daily);
        return ReadPng(file);
    }

    TestFolder folder_;
    TStatistics stats_ = test::SampleStatistics();
    TfrChart frame_{stats_};
};

TEST_F(ChartPngTest, EveryKindIsAProperRgbImageWithItsColours) {
    struct TCase {
        int Id;
        std::uint8_t Daily;
        const char* Name;
        int Items = 8;
    };
    const TCase cases[] = {
        {21, 0, "bymon.png"},
        {22, 0, "byday.png"},
        {23, 0, "byhod.png"},
        {24, 0, "bydow.png"},
        {25, 0, "bydom.png"},
        {31, 0, "bytld.png"},
        {31, 1, "bytld_daily.png"},
        {32, 0, "bydomain.png", 25},
        {38, 0, "bynbvisit.png"},
        {41, 0, "byallfiles.png"},
        {41, 1, "byallfiles_daily.png", 3},
        {33, 0, "bybrowser.png"},
        {63, 0, "byerrtype.png"},
        {131, 0, "bylenvisit.png"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TReadPng png = Save(c.Id, c.Daily, c.Name, c.Items);
        ASSERT_TRUE(png.Ok);
        EXPECT_EQ(png.Width, 600u);
        EXPECT_EQ(png.Height, 350u);
        EXPECT_EQ(png.BitDepth, 8);
        EXPECT_EQ(png.ColorType, PNG_COLOR_TYPE_RGB);
        EXPECT_EQ(png.Interlace, PNG_INTERLACE_NONE);
        EXPECT_FALSE(png.HasTransparency);
        ASSERT_EQ(png.Texts.size(), 1u);
        EXPECT_EQ(png.Texts[0].first, "Software");
        EXPECT_FALSE(png.Texts[0].second.empty());

        // The first item's colour fills a visible part of every chart.
        EXPECT_GT(png.CountColor(ChartColors[0]), 300);
        // Background, walls and the initial fill of the top row and left column.
        EXPECT_GT(png.CountColor(0xFFFBE8), 10000);
        for (png_uint_32 x = 0; x < png.Width; ++x) ASSERT_EQ(png.Pixel(x, 0), clWhite) << x;
        for (png_uint_32 y = 0; y < png.Height; ++y) ASSERT_EQ(png.Pixel(0, y), clWhite) << y;
        EXPECT_EQ(png.Pixel(1, 1), 0xFFFBE8u);
    }
}

TEST_F(ChartPngTest, TwoSeriesChartsShowBothColours) {
    for (int id : {21, 22, 23}) {
        const TReadPng png = Save(id, 0, "two.png");
        EXPECT_GT(png.CountColor(ChartColors[1]), 200) << id;
    }
    const TReadPng pie = Save(31, 0, "pie.png", 6);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_GT(pie.CountColor(ChartColors[i]), 50) << i;
}

TEST_F(ChartPngTest, EmptyAnalysisStillWritesEveryImage) {
    TStatistics empty;
    TfrChart frame(empty);
    const TProfile profile;
    for (int id : {21, 22, 23, 31, 32, 38, 41, 10}) {
        for (std::uint8_t daily : {0, 1}) {
            const std::string file = Path("empty" + std::to_string(id) + "_" + std::to_string(daily) + ".png");
            frame.SaveChartAsPng(profile, static_cast<std::uint8_t>(id), BuiltInReportTxt(), file, 600, 350, daily);
            const TReadPng png = ReadPng(file);
            ASSERT_TRUE(png.Ok) << id;
            EXPECT_EQ(png.Width, 600u);
            // At most the flat tops of the fixed tables' empty bars.
            EXPECT_LT(png.CountColor(ChartColors[0]), 200) << id;
        }
    }
}

TEST_F(ChartPngTest, OneDayAnalysisShowsItsLines) {
    TStatistics oneDay;
    oneDay.FirstDay = oneDay.LastDay = static_cast<std::int32_t>(EncodeDate(2024, 5, 17));
    oneDay.DaySpan = 1;
    TRecStat day = test::StatRow("", 420, 77);
    day.Key = StartOfDay(oneDay.FirstDay);
    oneDay.StatByDay.Add(day);
    oneDay.StatByTld.Add(test::StatRow("de", 50, 40, {40}));
    oneDay.StatByTld.Add(test::StatRow("fr", 30, 20, {20}));
    TfrChart frame(oneDay);
    const TProfile profile;
    for (std::uint8_t id : {22, 31}) {
        const std::string file = Path("oneday" + std::to_string(id) + ".png");
        frame.SaveChartAsPng(profile, id, BuiltInReportTxt(), file, 600, 350, id == 31 ? 1 : 0);
        const TReadPng png = ReadPng(file);
        EXPECT_GT(png.CountColor(ChartColors[0]), 150) << int{id};
        EXPECT_GT(png.CountColor(ChartColors[1]), 150) << int{id};
    }
}

TEST_F(ChartPngTest, SizeFollowsTheArguments) {
    const TProfile profile = test::ProfileWithLimits(21, 5, 5);
    const std::string file = folder_.file("small.png");
    frame_.SaveChartAsPng(profile, 21, BuiltInReportTxt(), file, 120, 90, 0);
    const TReadPng png = ReadPng(file);
    EXPECT_EQ(png.Width, 120u);
    EXPECT_EQ(png.Height, 90u);
    EXPECT_EQ(frame_.Width(), 120);
    EXPECT_EQ(frame_.Height(), 90);
}

// On a screen scaled 2x the window's charts get a sharper copy beside them; the image the
// page names stays byte for byte what an unscaled run writes.
TEST_F(ChartPngTest, ScaledScreenGetsASharperCopyBeside) {
    for (const int id : {21, 31}) {
        SCOPED_TRACE(id);
        const TProfile profile = test::ProfileWithLimits(id, 8, 8);
        const std::string plain = folder_.file("plain.png");
        frame_.SaveChartAsPng(profile, static_cast<std::uint8_t>(id), BuiltInReportTxt(), plain, 600, 350, 0);
        EXPECT_FALSE(std::filesystem::exists(folder_.file("plain@2x.png")));

        TfrChart scaled{stats_};
        scaled.PixelRatio = 2.0;
        const std::string file = folder_.file("scaled.png");
        scaled.SaveChartAsPng(profile, static_cast<std::uint8_t>(id), BuiltInReportTxt(), file, 600, 350, 0);
        EXPECT_EQ(test::ReadFileBytes(file), test::ReadFileBytes(plain));
        const TReadPng sharp = ReadPng(folder_.file("scaled@2x.png"));
        ASSERT_TRUE(sharp.Ok);
        EXPECT_EQ(sharp.Width, 1200u);
        EXPECT_EQ(sharp.Height, 700u);
    }
    EXPECT_EQ(HighResolutionName("/t/a.b/ByTld.png", 2), "/t/a.b/ByTld@2x.png");
    EXPECT_EQ(HighResolutionName("ByTldDaily.png", 3), "ByTldDaily@3x.png");
}

TEST_F(ChartPngTest, OverwritesAnEarlierImage) {
    const std::string file = folder_.write("bymon.png", "old");
    const TProfile profile;
    frame_.SaveChartAsPng(profile, 21, BuiltInReportTxt(), file, 600, 350, 0);
    EXPECT_TRUE(ReadPng(file).Ok);
}

TEST_F(ChartPngTest, FileThatCannotBeCreatedRaisesAndLeavesNothing) {
    const std::string blocker = folder_.write("not-a-folder", "x");
    const std::string file = blocker + "/bymon.png";
    const TProfile profile;
    try {
        frame_.SaveChartAsPng(profile, 21, BuiltInReportTxt(), file, 600, 350, 0);
        FAIL() << "no error";
    } catch (const EPngWriter& e) {
        EXPECT_EQ(std::string(e.what()), "Error Opening File " + file + "!");
    }
    // The chart stays built.
    EXPECT_EQ(frame_.Chart.SeriesCount(), 2u);
    EXPECT_EQ(test::ReadFileBytes(blocker), "x");
}

TEST_F(ChartPngTest, FailedWriteLeavesTheTargetAndNoTemporaryFile) {
    // The target is a folder: the image is encoded but cannot replace it.
    const std::string target = folder_.file("taken.png");
    std::filesystem::create_directory(target);
    const TProfile profile;
    try {
        frame_.SaveChartAsPng(profile, 21, BuiltInReportTxt(), target, 600, 350, 0);
        FAIL() << "no error";
    } catch (const EPngWriter& e) {
        EXPECT_STREQ(e.what(), "Error Writing PNG File!");
    }
    EXPECT_TRUE(std::filesystem::is_directory(target));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(PngWriter, RefusesPixelsThatDoNotMatchTheSize) {
    TestFolder folder;
    const std::string file = folder.file("bad.png");
    const std::vector<std::uint8_t> rgb(10 * 10 * 3 - 1);
    EXPECT_THROW(WritePngFile(file, 10, 10, rgb), EPngWriter);
    EXPECT_THROW(WritePngFile(file, 0, 0, {}), EPngWriter);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(PngWriter, PixelsRoundTrip) {
    TestFolder folder;
    const std::string file = folder.file("round.png");
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < 7 * 5; ++i) {
        rgb.push_back(static_cast<std::uint8_t>(i * 7));
        rgb.push_back(static_cast<std::uint8_t>(255 - i));
        rgb.push_back(static_cast<std::uint8_t>(i * 3));
    }
    WritePngFile(file, 7, 5, rgb);
    const TReadPng png = ReadPng(file);
    ASSERT_TRUE(png.Ok);
    EXPECT_EQ(png.Rgb, rgb);
    ASSERT_EQ(png.Texts.size(), 1u);
    EXPECT_EQ(png.Texts[0], std::make_pair(std::string("Software"), std::string(kPngSoftware)));
}

}  // namespace

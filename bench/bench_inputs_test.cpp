// The benchmark's inputs as the program reads them: the profile the template gives is the
// one the benchmark means, and every generated shape is read line for line. A benchmark fed
// lines the engine rejects would time nothing and still look fast.
//
//     bench_inputs_test DATA_DIR   (DATA_DIR written by the BenchInputs ctest fixture)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/LogConvert_split.h"
#include "engine/LogConvert_u.h"

using namespace brindle;

namespace {

std::string gDataDir;

std::string DataPath(const std::string& name) { return gDataDir + "/" + name; }

TProfile LoadBenchProfile() {
    TProfiles profiles;
    EXPECT_TRUE(profiles.LoadFromFile(DataPath("home/Profiles.xml")));
    EXPECT_EQ(profiles.Profiles.Count(), 1u);
    TProfile profile;
    if (profiles.Profiles.Count() == 1) profile.Assign(profiles.Profiles[0]);
    return profile;
}

TEST(BenchProfile, TemplateGivesTheProfileTheBenchmarkMeans) {
    const TProfile profile = LoadBenchProfile();
    // The fixture writes a name and paths with every character XML must escape.
    EXPECT_EQ(profile.Name, "Bench <&\"'>");
    ASSERT_EQ(profile.LogFiles.Count(), 1u);
    const TRecLogFileProperty& location = profile.LogFiles[0];
    EXPECT_EQ(location.LogFileType, "file://");
    EXPECT_EQ(location.LogFileURL, DataPath("w3c & co/*.log"));
    EXPECT_EQ(location.Enable, 1);
    EXPECT_EQ(profile.LogFileFormat, lfIISW3C);
    EXPECT_EQ(profile.DNSLookup, 0);
    EXPECT_EQ(profile.AutoExport, 1);
    EXPECT_EQ(profile.AutoExportType, 3);  // CSV
    EXPECT_EQ(profile.AutoExportFile, DataPath("out <1>/report.csv"));

    // Every report of the sample profile is on, as a user's full analysis would have them.
    TProfiles samples;
    ASSERT_TRUE(samples.LoadFromFile(std::string(BRINDLE_SOURCE_DIR) + "/tests/data/startup/Profiles.samples.xml"));
    EXPECT_TRUE(profile.GetEnabledReports() == samples.Profiles[0].GetEnabledReports());
    EXPECT_TRUE(profile.Reports == samples.Profiles[0].Reports);
}

struct TShape {
    const char* Files;
    std::int64_t Lines;
    int MinDaySpan;
    double MinSearchPhrasesPerLine;  // distinct search phrases found, per line
};

TEST(BenchData, EveryShapeIsReadLineForLine) {
    const TShape shapes[] = {
        {"real.log", 20000, 25, 0.01},
        {"search.log", 20000, 380, 0.6},
        {"w3c & co/*.log", 3000, 365, 0.01},
        {"classic.log", 20000, 20, 0.01},
    };
    TOptions options;
    options.LoadDefaults();
    for (const TShape& shape : shapes) {
        SCOPED_TRACE(shape.Files);
        TProfile profile;
        profile.Name = "bench";
        profile.OffsetSign = 1;
        TRecLogFileProperty location;
        location.LogFileType = "file://";
        location.LogFileURL = DataPath(shape.Files);
        location.Enable = 1;
        profile.LogFiles.Add(location);

        const std::string work = DataPath("work/");
        std::filesystem::create_directories(work);
        TLogConvert engine;
        ASSERT_TRUE(engine.Analyze(profile, work, work + "dns.dat", "", options));
        EXPECT_EQ(static_cast<std::int64_t>(engine.Records.Count()), shape.Lines);
        EXPECT_EQ(engine.BadLineCount, 0);
        EXPECT_GE(engine.DaySpan, shape.MinDaySpan);
        EXPECT_GE(static_cast<double>(engine.StatByRefSEP.Count()), shape.MinSearchPhrasesPerLine * shape.Lines);
        EXPECT_GT(engine.StatByBrowser.Count(), 3u);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 2;
    }
    gDataDir = argv[1];
    return RUN_ALL_TESTS();
}

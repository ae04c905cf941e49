#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/CommonConsts_catalogue.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "support/TestFolder.h"
#include "ui/Migration_u.h"
#include "ui/SampleProfiles_u.h"

namespace brindle {
namespace {

using test::DataPath;

std::vector<std::string> IDs(const TLstUAType& list) {
    std::vector<std::string> ids;
    for (const TRecUAType& rec : list) ids.push_back(rec.ID);
    return ids;
}

std::vector<std::string> Exts(const TLstFileExt& list) {
    std::vector<std::string> exts;
    for (const TRecFileExt& rec : list) exts.push_back(rec.Ext);
    return exts;
}

std::vector<int> ReportIDs(const TProfile& profile) {
    std::vector<int> ids;
    for (const TRecReportProperty& rec : profile.Reports) ids.push_back(rec.ID);
    return ids;
}

bool HasReport(const TProfile& profile, int id) {
    TRecReportProperty rec;
    return profile.Reports.Find(id, rec, false);
}

const TRecReportProperty& Row(int id) { return *FindDefaultReportProperty(id); }

// One profile on which every profile step leaves its own mark.
TLstProfile MarkedProfiles() {
    auto profile = std::make_unique<TProfile>();
    TRecLogFileProperty location;
    location.LogFileURL = "/old.log";
    location.Enable = 0;
    profile->LogFiles.Add(location);
    profile->OffsetSign = -1;
    profile->AutoExportLanguageID = "xx";
    TLstProfile list;
    list.Add(std::move(profile));
    return list;
}

std::string ProfileStepsRun(double stored, double target) {
    TLstProfile list = MarkedProfiles();
    MigrateProfiles(list, stored, target);
    const TProfile& p = list[0];
    std::string steps;
    if (HasReport(p, 36)) steps += " 1.10";
    if (p.LogFiles.Count() == 2) steps += " 1.20";
    if (p.OffsetSign == 1) steps += " 1.30";
    if (HasReport(p, 39)) steps += " 2.00";
    if (p.AutoExportLanguageID == "default") steps += " 2.10";
    if (p.LogFiles[0].Enable == 1) steps += " 2.20";
    return steps;
}

std::string OptionStepsRun(double stored, double target) {
    TOptions options;
    options.ShowGridLines = 1;
    options.Export.LanguageID = "fr";
    MigrateOptions(options, stored, target);
    std::string steps;
    if (options.OSs.IndexOfID("Windows NT 5.2") >= 0) steps += " 1.10";
    if (options.ShowGridLines == 0) steps += " 1.20";
    if (options.Export.LanguageID == "en") steps += " 1.30";
    if (options.OSs.IndexOfID("Windows NT 6.0") >= 0) steps += " 1.40";
    return steps;
}

TEST(MigrationTest, StepsChosenByVersionPair) {
    struct TCase {
        double Stored;
        double Target;
        const char* Profiles;
        const char* Options;
    };
    const TCase cases[] = {
        {1.0, 2.2, " 1.10 1.20 1.30 2.00 2.10 2.20", ""},
        {1.1, 2.2, " 1.20 1.30 2.00 2.10 2.20", ""},
        {1.3, 2.0, " 2.00", ""},
        {2.1, 2.2, " 2.20", ""},
        {2.05, 2.2, "", ""},  // not a known version: saved as it is, nothing upgraded
        {0.9, 2.2, "", ""},
        {2.2, 2.2, "", ""},
        {2.0, 1.1, "", ""},  // downwards runs nothing
        {1.004, 2.2, " 1.10 1.20 1.30 2.00 2.10 2.20", ""},  // read as "1.00"
        {1.0, 1.4, "", " 1.10 1.20 1.30 1.40"},  // 1.40 is no profiles version
        {1.1, 1.4, "", " 1.20 1.30 1.40"},
        {1.2, 1.4, "", " 1.30 1.40"},
        {1.3, 1.4, "", " 1.40"},
        {1.05, 1.4, "", ""},
        {1.0, 1.3, " 1.10 1.20 1.30", " 1.10 1.20 1.30"},
        {1.4, 1.4, "", ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ProfileStepsRun(c.Stored, c.Target), c.Profiles) << c.Stored << " -> " << c.Target;
        EXPECT_EQ(OptionStepsRun(c.Stored, c.Target), c.Options) << c.Stored << " -> " << c.Target;
    }
}

TEST(MigrationTest, StoredVersionText) {
    EXPECT_DOUBLE_EQ(StoredFileVersion(""), 1.0);
    EXPECT_DOUBLE_EQ(StoredFileVersion("abc"), 1.0);
    EXPECT_DOUBLE_EQ(StoredFileVersion("1,10"), 1.0);
    EXPECT_DOUBLE_EQ(StoredFileVersion("2.05"), 2.05);
    EXPECT_DOUBLE_EQ(StoredFileVersion("1.1"), 1.1);
}

TEST(MigrationTest, StepsChangeNothingOnTheBuiltInOptions) {
    TOptions defaults;
    defaults.LoadDefaults();
    TOptions upgraded = defaults;
    MigrateOptions(upgraded, 1.0, kCurrentOptionsVersion);
    EXPECT_EQ(upgraded, defaults);
}

TEST(MigrationTest, OptionsFromVersion100) {
    TOptions options;
    ASSERT_TRUE(options.LoadFromFile(DataPath("startup/options-1.00.xml")));
    MigrateOptions(options, StoredFileVersion(options.Ver), kCurrentOptionsVersion);

    EXPECT_EQ(IDs(options.OSs), (std::vector<std::string>{"Windows NT 6.0", "Windows NT 5.2", "Windows NT 5.1",
                                                          "Windows NT", "Win16", "Windows CE", "Linux"}));
    EXPECT_EQ(IDs(options.Browsers),
              (std::vector<std::string>{"MSIE 5.",     "MSIE 6.",          "MSIE 7.",    "DA",         "Firebird",
                                        "Firefox",     "Go!Zilla",         "Konqueror",  "NetAnts",    "Netscape6/",
                                        "Netscape/7.", "Offline Explorer", "OmniWeb",    "Opera",      "RealDownload",
                                        "Safari",      "Mozilla/4.",       "Mozilla/2.", "Mozilla/3.", "Mozilla/5."}));
    EXPECT_EQ(options.Browsers[16].Name, "Mozilla/4.x (compatible)");
    EXPECT_EQ(options.Browsers[19].Name, "Mozilla/5.x (compatible)");
    EXPECT_EQ(
        IDs(options.Spiders),
        (std::vector<std::string>{"Googlebot", "Morning Paper", "msnbot", "oBot", "Overture-WebCrawler",
                                  "Xenu Link Sleuth", "Yahoo-MMCrawler", "YahooSeeker", "Yahoo-VerticalCrawler"}));
    EXPECT_EQ(Exts(options.Files), (std::vector<std::string>{"asp", "aspx", "html", "gif", "zip"}));
    EXPECT_EQ(options.Files[1].FileType, 2);
    EXPECT_EQ(options.Export.LanguageID, "en");
    EXPECT_EQ(options.RemoveTxtQuestionRequestURL, 1);
    EXPECT_EQ(options.RemoveTxtQuestionReferrerURL, 0);
    EXPECT_EQ(options.RemoveTxtSharpRequestURL, 1);
    EXPECT_EQ(options.RemoveTxtSharpReferrerURL, 1);
    EXPECT_EQ(options.ConvertLowerCaseRequestURL, 0);
    EXPECT_EQ(options.ConvertLowerCaseReferrerURL, 0);
    // What the user set stays.
    EXPECT_EQ(options.SessionLength, 20);
    EXPECT_EQ(options.NbThread, 50);
    EXPECT_EQ(options.Export.MSWordCompany, "Example Ltd");
}

TEST(MigrationTest, OptionsFromVersion110KeepADeletedEntryDeleted) {
    TOptions options;
    ASSERT_TRUE(options.LoadFromFile(DataPath("startup/options-1.10.xml")));
    MigrateOptions(options, StoredFileVersion(options.Ver), kCurrentOptionsVersion);
    EXPECT_EQ(IDs(options.OSs), (std::vector<std::string>{"Windows NT 6.0", "Windows NT 5.1", "Win16", "Windows CE"}));
    // No anchors at all: each goes to the top, so later ones stand before earlier ones.
    EXPECT_EQ(
        IDs(options.Browsers),
        (std::vector<std::string>{"Safari", "OmniWeb", "Netscape6/", "Netscape/7.", "Konqueror", "Firebird", "Firefox",
                                  "MSIE 6.", "MSIE 7.", "Mozilla/5.", "Mozilla/2.", "Mozilla/3.", "Mozilla/4."}));
    EXPECT_EQ(options.Browsers[9].Name, "Mozilla/5.x (compatible)");
}

TEST(MigrationTest, OptionsFromVersion120) {
    TOptions options;
    ASSERT_TRUE(options.LoadFromFile(DataPath("startup/options-1.20.xml")));
    MigrateOptions(options, StoredFileVersion(options.Ver), kCurrentOptionsVersion);
    // "DA" stands last: "Firebird" goes right after it, at the end, and "Firefox" after that.
    const std::vector<std::string> browsers = IDs(options.Browsers);
    ASSERT_GE(browsers.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(browsers.end() - 8, browsers.end()),
              (std::vector<std::string>{"Opera", "DA", "Firebird", "Firefox", "Mozilla/2.", "Mozilla/3.", "Mozilla/4.",
                                        "Mozilla/5."}));
    EXPECT_EQ(options.Browsers.IndexOfID("MSIE 7."), options.Browsers.IndexOfID("MSIE 6.") + 1);
    EXPECT_EQ(Exts(options.Files), (std::vector<std::string>{"aspx", "asp", "htm"}));  // no second "aspx"
    // Step 1.20 did not run on a 1.20 file: the user's switches stay.
    EXPECT_EQ(options.ShowEmptyReports, 1);
    EXPECT_EQ(options.ShowGridLines, 1);
    EXPECT_EQ(options.Export.LanguageID, "en");
    EXPECT_EQ(options.RemoveTxtQuestionRequestURL, 1);
}

TEST(MigrationTest, FirebirdGoesToTheTopWithoutDA) {
    TOptions options;
    options.Browsers.Add({"Opera", "Opera"});
    options.Browsers.Add({"da", "lower case is no anchor"});
    UpgradeOptionsTo130(options);
    const std::vector<std::string> browsers = IDs(options.Browsers);
    const auto firebird = std::find(browsers.begin(), browsers.end(), "Firebird");
    ASSERT_NE(firebird, browsers.end());
    EXPECT_EQ(*(firebird + 1), "Firefox");
    EXPECT_LT(firebird - browsers.begin(), std::find(browsers.begin(), browsers.end(), "Opera") - browsers.begin());
}

TEST(MigrationTest, ProfilesWithoutVersionRunEveryStep) {
    TProfiles profiles;
    ASSERT_TRUE(profiles.LoadFromFile(DataPath("startup/profiles-1.00.xml")));
    EXPECT_EQ(profiles.Ver, "");
    MigrateProfiles(profiles.Profiles, StoredFileVersion(profiles.Ver), kCurrentProfilesVersion);
    ASSERT_EQ(profiles.Profiles.Count(), 2u);

    const TProfile& shop = profiles.Profiles[0];
    ASSERT_EQ(shop.LogFiles.Count(), 1u);
    const TRecLogFileProperty& location = shop.LogFiles[0];
    EXPECT_EQ(location.LogFileType, "ftp://");
    EXPECT_EQ(location.LogFileURL, "ftp.example.com/logs/access.log");
    EXPECT_EQ(location.LoginUserName, "webmaster");
    EXPECT_EQ(location.LoginPassword, "s&cret");
    EXPECT_EQ(location.LoginPort, 2121);
    EXPECT_EQ(location.PassiveMode, 0);
    EXPECT_EQ(location.Enable, 1);
    EXPECT_EQ(shop.AutoExport, 0);
    EXPECT_EQ(shop.AutoExportType, 0);
    EXPECT_EQ(shop.AutoExportFile, "");
    EXPECT_EQ(shop.AutoExportLanguageID, "default");
    EXPECT_EQ(shop.OffsetSign, 1);
    EXPECT_EQ(shop.DNSLookup, 1);

    EXPECT_EQ(ReportIDs(shop),
              (std::vector<int>{10, 37, 36, 38, 39, 131, 132, 133, 134, 135, 136, 137, 141, 142, 56, 57, 63}));
    // An enabled record takes the default view flags and sizes.
    EXPECT_EQ(shop.Reports[0], Row(10));
    // A disabled one stays disabled, loses its view flags and takes the default sizes.
    const TRecReportProperty& host = shop.Reports[1];
    EXPECT_EQ(host.Enable, 0);
    EXPECT_EQ(host.EnableList, 0);
    EXPECT_EQ(host.EnableChart, 0);
    EXPECT_EQ(host.EnableChartDaily, 0);
    EXPECT_EQ(host.NbItemsList, Row(37).NbItemsList);
    EXPECT_EQ(host.NbItemsChart, Row(37).NbItemsChart);
    EXPECT_EQ(host.NbItemsChartDaily, Row(37).NbItemsChartDaily);
    for (std::size_t i = 2; i < shop.Reports.Count(); ++i) EXPECT_EQ(shop.Reports[i], Row(shop.Reports[i].ID));

    // A profile without the legacy elements gains a location with empty texts.
    const TProfile& blog = profiles.Profiles[1];
    ASSERT_EQ(blog.LogFiles.Count(), 1u);
    EXPECT_EQ(blog.LogFiles[0].LogFileType, "");
    EXPECT_EQ(blog.LogFiles[0].LogFileURL, "");
    EXPECT_EQ(blog.LogFiles[0].LoginPort, 0);
    EXPECT_EQ(blog.LogFiles[0].Enable, 1);
    EXPECT_EQ(ReportIDs(blog),
              (std::vector<int>{36, 37, 38, 39, 131, 132, 133, 134, 135, 136, 137, 141, 142, 56, 57, 63}));
}

TEST(MigrationTest, ProfilesFromVersion110SkipTheFirstStep) {
    TProfiles profiles;
    ASSERT_TRUE(profiles.LoadFromFile(DataPath("startup/profiles-1.10.xml")));
    MigrateProfiles(profiles.Profiles, StoredFileVersion(profiles.Ver), kCurrentProfilesVersion);
    const TProfile& p = profiles.Profiles[0];
    EXPECT_EQ(ReportIDs(p), (std::vector<int>{10, 36, 39, 131, 132, 133, 134, 135, 136, 137, 141, 142, 56, 57, 63}));
    ASSERT_EQ(p.LogFiles.Count(), 1u);
    EXPECT_EQ(p.LogFiles[0].LogFileURL, "/var/log/apache2/access.log");
    EXPECT_EQ(p.LogFiles[0].LoginPort, 21);
}

TEST(MigrationTest, ProfilesFromVersion120KeepLocationsAndExport) {
    TProfiles profiles;
    ASSERT_TRUE(profiles.LoadFromFile(DataPath("startup/profiles-1.20.xml")));
    MigrateProfiles(profiles.Profiles, StoredFileVersion(profiles.Ver), kCurrentProfilesVersion);
    const TProfile& p = profiles.Profiles[0];
    ASSERT_EQ(p.LogFiles.Count(), 2u);
    EXPECT_EQ(p.LogFiles[1].LogFileType, "http://");
    EXPECT_EQ(p.LogFiles[1].LoginPassword, "pw");
    EXPECT_EQ(p.LogFiles[1].Enable, 1);
    EXPECT_EQ(p.AutoExport, 1);
    EXPECT_EQ(p.AutoExportType, 3);
    EXPECT_EQ(p.AutoExportFile, "/srv/reports/stats.csv");
    EXPECT_EQ(p.AutoExportLanguageID, "default");
    EXPECT_EQ(p.Reports.Count(), 13u);
}

TEST(MigrationTest, RecordsWithoutDefaultRowStayAsTheyAre) {
    TLstProfile list;
    auto profile = std::make_unique<TProfile>();
    profile->Reports.Add({20, 1, 1, 1, 1, 7, 7, 7});  // a group id
    profile->Reports.Add({200, 0, 1, 1, 1, 7, 7, 7});  // unknown
    list.Add(std::move(profile));
    UpgradeProfilesTo200(list);
    EXPECT_EQ(list[0].Reports[0], (TRecReportProperty{20, 1, 1, 1, 1, 7, 7, 7}));
    EXPECT_EQ(list[0].Reports[1], (TRecReportProperty{200, 0, 1, 1, 1, 7, 7, 7}));
}

TEST(MigrationTest, SampleProfilesOnlyWhenTheNameIsFree) {
    TLstProfile list;
    auto own = std::make_unique<TProfile>();
    own->Name = "Sample1";
    own->Description = "mine";
    list.Add(std::move(own));
    auto lower = std::make_unique<TProfile>();
    lower->Name = "sample2";
    list.Add(std::move(lower));

    CreateSampleProfiles(list, "/opt/samples/");
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[0].Description, "mine");
    EXPECT_EQ(list[2].Name, "Sample2");
    EXPECT_EQ(list[2].LogFiles[0].LogFileURL, "/opt/samples/sample2.log");
    EXPECT_EQ(list[2].Reports.Count(), static_cast<std::size_t>(kReportCount));

    CreateSampleProfiles(list, "/opt/samples/");
    EXPECT_EQ(list.Count(), 3u);
}

}  // namespace
}  // namespace brindle

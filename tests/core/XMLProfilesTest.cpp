#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "ProfileSamples.h"
#include "core/Profiles_u.h"
#include "core/XMLProfiles_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace std::string_literals;
using test::DataPath;
using test::ReadFileBytes;
using test::TestFolder;

namespace {

bool HaveXmllint() { return std::system("command -v xmllint >/dev/null 2>&1") == 0; }

bool XmllintAccepts(const std::string& path) {
    return std::system(("xmllint --noout '" + path + "' 2>/dev/null").c_str()) == 0;
}

// The golden profiles as a reader gives them back: the legacy source is never written.
TProfiles GoldenAsRead() {
    TProfiles expected = test::GoldenProfiles();
    for (std::size_t i = 0; i < expected.Profiles.Count(); ++i) expected.Profiles[i].Obsolete110 = {};
    expected.Description = "Brindle Analyzer Profiles";
    expected.Ver = "2.20";
    return expected;
}

void ExpectSameProfiles(const TProfiles& actual, const TProfiles& expected) {
    EXPECT_EQ(actual.Description, expected.Description);
    EXPECT_EQ(actual.Ver, expected.Ver);
    EXPECT_TRUE(actual.Profiles == expected.Profiles);
}

// A profile file holding one Profile element with the given children.
std::string OneProfile(const std::string& children) {
    return "<DATA Ver=\"2.20\"><Profiles><Profile>" + children + "</Profile></Profiles></DATA>";
}

}  // namespace

TEST(XMLProfiles, SavesTheGoldenFileByteForByte) {
    TestFolder folder;
    const TProfiles profiles = test::GoldenProfiles();
    const std::string path = folder.file("Profiles.xml");
    ASSERT_TRUE(profiles.SaveToFile(path));
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(DataPath("golden/Profiles.xml")));
    EXPECT_EQ(profiles.Description, "ignored on save");
    EXPECT_EQ(profiles.Ver, "1.00");

    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // it holds passwords
    if (HaveXmllint()) {
        EXPECT_TRUE(XmllintAccepts(path));
    }
}

TEST(XMLProfiles, LoadsTheGoldenFileBackWithoutTheLegacySource) {
    TProfiles loaded;
    ASSERT_TRUE(loaded.LoadFromFile(DataPath("golden/Profiles.xml")));
    ExpectSameProfiles(loaded, GoldenAsRead());
}

TEST(XMLProfiles, MissingValuesTakeDefaultsOrDropTheirElement) {
    TProfiles loaded;
    ASSERT_TRUE(loaded.LoadFromFile(DataPath("profiles/missing-values.xml")));
    ASSERT_EQ(loaded.Profiles.Count(), 2u);
    const TProfile& p = loaded.Profiles[0];
    ASSERT_EQ(p.LogFiles.Count(), 3u);
    EXPECT_EQ(p.LogFiles[0], (TRecLogFileProperty{"file://", "/logs/a.log", "", "", 0, 0, 1}));
    EXPECT_EQ(p.LogFiles[1], (TRecLogFileProperty{"ftp://", "", "", "", 0, 0, 0}));
    EXPECT_EQ(p.LogFiles[2], (TRecLogFileProperty{"", "", "", "", 0, 0, 1}));
    EXPECT_EQ(p.Obsolete110, TRecObsolete110{});
    EXPECT_EQ(p.OffsetSign, 1);
    EXPECT_EQ(p.OffsetHour, 0);
    EXPECT_EQ(p.LogFileFormat, 0);
    EXPECT_EQ(p.AutoExportLanguageID, "");

    ASSERT_EQ(p.Reports.Count(), 3u);
    EXPECT_EQ(p.Reports[0], (TRecReportProperty{31, 1, 1, 0, 1, 20, 10, 5}));  // no EnableChart: 0
    EXPECT_EQ(p.Reports[1], (TRecReportProperty{33, 0, 0, 0, 0, 7, 8, 0}));  // 32 had no NbItemsList
    EXPECT_EQ(p.Reports[2], (TRecReportProperty{35, -1, 0, 0, 0, 4, 6, 0}));  // id 291 keeps its low byte

    ASSERT_EQ(p.Filters.Count(), 2u);
    EXPECT_EQ(p.Filters[0], (TRecFilterProperty{2, 17, "", "", ""}));
    EXPECT_EQ(p.Filters[1], (TRecFilterProperty{2, 255, "low bits", "v1", "v2"}));

    EXPECT_EQ(loaded.Profiles[1].OffsetSign, 1);  // empty counts as missing
    EXPECT_EQ(loaded.Profiles[1].OffsetHour, 3);
}

TEST(XMLProfiles, IntegerFormsOfProfileValues) {
    struct Case {
        const char* text;
        std::int32_t hour;
    };
    const Case cases[] = {{"7", 7},
                          {" 7\n", 7},
                          {"+3", 3},
                          {"-12", -12},
                          {"", 0},
                          {"abc", 0},
                          {"1.5", 0},
                          {"--3", 0},
                          {"+-3", 0},
                          {"3x", 0},
                          {"2147483647", 2147483647},
                          {"-2147483648", -2147483648LL},
                          {"2147483648", 0},
                          {"99999999999", 0},
                          {"<![CDATA[42]]>", 42},
                          {"0x10", 0}};
    for (const auto& c : cases) {
        TProfiles loaded;
        ASSERT_TRUE(xmlprofiles::ReadProfilesXml(OneProfile("<OffsetHour>"s + c.text + "</OffsetHour>"), loaded))
            << c.text;
        ASSERT_EQ(loaded.Profiles.Count(), 1u);
        EXPECT_EQ(loaded.Profiles[0].OffsetHour, c.hour) << c.text;
        EXPECT_EQ(loaded.Profiles[0].OffsetSign, 1) << c.text;
    }
    // 8-bit fields keep the low eight bits.
    TProfiles loaded;
    ASSERT_TRUE(xmlprofiles::ReadProfilesXml(
        OneProfile(
            "<LogFileFormat>257</LogFileFormat><DateFormat>-1</DateFormat><AutoExportType>1028</AutoExportType>"),
        loaded));
    EXPECT_EQ(loaded.Profiles[0].LogFileFormat, 1);
    EXPECT_EQ(loaded.Profiles[0].DateFormat, 255);
    EXPECT_EQ(loaded.Profiles[0].AutoExportType, 4);
}

TEST(XMLProfiles, OldFormatElementsFillTheLegacySourceAndAreNeverWritten) {
    TProfiles loaded;
    ASSERT_TRUE(loaded.LoadFromFile(DataPath("profiles/legacy-1.10.xml")));
    EXPECT_EQ(loaded.Ver, "1.10");
    EXPECT_EQ(loaded.Description, "Old Profiles");
    ASSERT_EQ(loaded.Profiles.Count(), 1u);
    const TProfile& p = loaded.Profiles[0];
    EXPECT_EQ(p.Obsolete110, (TRecObsolete110{"ftp://", "ftp.example.org/logs/ex*.log", "anna", "s&cret", 2121}));
    EXPECT_TRUE(p.LogFiles.IsEmpty());
    EXPECT_EQ(p.OffsetSign, -1);
    EXPECT_EQ(p.LogFileFormat, 3);

    const std::string written = xmlprofiles::WriteProfilesXml(loaded);
    EXPECT_EQ(written.find("Login"), std::string::npos);
    EXPECT_EQ(written.find("<LogFileType"), std::string::npos);
    EXPECT_NE(written.find("Description=\"Brindle Analyzer Profiles\" Ver=\"2.20\""), std::string::npos);
}

TEST(XMLProfiles, AFailedLoadLeavesTheProfilesUnchanged) {
    TestFolder folder;
    const std::string golden = ReadFileBytes(DataPath("golden/Profiles.xml"));
    ASSERT_FALSE(golden.empty());
    struct Case {
        std::string bytes;
        const char* what;
    };
    const Case cases[] = {
        {golden.substr(0, golden.size() / 2), "cut in half"},
        {golden.substr(0, golden.size() - 3), "last end tag cut"},
        {"hello", "plain text"},
        {golden + "junk", "text after the document element"},
        {golden + "<DATA/>", "two document elements"},
        {"<![CDATA[x]]>" + golden, "character data before the document element"},
        {OneProfile("<Name>a</Name>") + "<", "a stray markup character"},
        {"<DATA><Profiles><Profile><Name>ok</Name></Profile><Profile><Name>a<b/></Name></Profile></Profiles></DATA>",
         "a text element holding an element, in the second profile"},
        {OneProfile("<OffsetHour>\n  <Value>3</Value>\n</OffsetHour>"), "an integer element holding an element"},
        {OneProfile("<LoginPassword><x/></LoginPassword>"), "a legacy element holding an element"},
    };
    for (const auto& c : cases) {
        TProfiles target = test::GoldenProfiles();
        const std::string path = folder.write("broken.xml", c.bytes);
        EXPECT_FALSE(target.LoadFromFile(path)) << c.what;
        ExpectSameProfiles(target, test::GoldenProfiles());
    }
    TProfiles target = test::GoldenProfiles();
    EXPECT_FALSE(target.LoadFromFile(folder.file("missing.xml")));
    ExpectSameProfiles(target, test::GoldenProfiles());
}

TEST(XMLProfiles, LoadsThatSucceedWithoutProfiles) {
    struct Case {
        std::string bytes;
        std::string ver;
        const char* what;
    };
    const Case cases[] = {
        {"", "", "empty file"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- nothing -->\n", "", "no document element"},
        {"<DATA Description=\"d\" Ver=\"2.20\"/>", "2.20", "no Profiles element"},
        {"<DATA Description=\"d\"><Profiles>\n  </Profiles></DATA>", "", "no Ver attribute"},
        {"<ROOT Ver=\"2.10\"><Profiles/></ROOT>", "2.10", "another document element name"},
        {"<DATA Ver=\"2.20\"><Profiles><Other/></Profiles></DATA>", "2.20", "no Profile element"},
    };
    for (const auto& c : cases) {
        TProfiles target = test::GoldenProfiles();
        ASSERT_TRUE(xmlprofiles::ReadProfilesXml(c.bytes, target)) << c.what;
        EXPECT_EQ(target.Ver, c.ver) << c.what;
        EXPECT_TRUE(target.Profiles.IsEmpty()) << c.what;
    }
}

TEST(XMLProfiles, AFailedSaveLeavesTheEarlierFile) {
    TestFolder folder;
    // A parent that is a regular file cannot hold the new file.
    const std::string notAFolder = folder.write("plain", "x");
    EXPECT_FALSE(test::GoldenProfiles().SaveToFile(notAFolder + "/Profiles.xml"));

    const std::string path = folder.file("Profiles.xml");
    TProfiles small;
    ASSERT_TRUE(small.SaveToFile(path));
    const std::string before = ReadFileBytes(path);

    // A file size limit makes the write itself fail, also for root.
    TProfiles large = test::GoldenProfiles();
    for (int i = 0; i < 50; ++i) large.Profiles.Add(std::make_unique<TProfile>(test::GoldenProfiles().Profiles[0]));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved_ok = large.SaveToFile(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadFileBytes(path), before);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++files;
    EXPECT_EQ(files, 2u);  // "plain" and Profiles.xml: no temporary file left behind
}

TEST(XMLProfiles, TextsAreWrittenAsValidXml) {
    TProfiles profiles;
    auto p = std::make_unique<TProfile>();
    p->Name =
        "a\x01"
        "b\x92"
        "c\xFF";  // a control character and Windows-1252 bytes
    p->Description = "nul\0here\x1F\x7F"s + "\xEF\xBF\xBE";  // NUL, US, DEL and U+FFFE
    p->DomainName =
        "\xED\xA0\x80"
        "x\xC0\xAF";  // a surrogate and an overlong form
    p->LogFiles.Add({"file://",
                     "/logs/\x0B"
                     "a.log",
                     "", "pa\x1Bss", 0, 0, 1});
    p->Filters.Add({1, 11, "tab\tcr\rlf\n", "\xE9t\xE9", ""});
    profiles.Profiles.Add(std::move(p));

    TestFolder folder;
    const std::string path = folder.file("Profiles.xml");
    ASSERT_TRUE(profiles.SaveToFile(path));
    if (HaveXmllint()) {
        EXPECT_TRUE(XmllintAccepts(path));
    }

    TProfiles loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    const TProfile& read = loaded.Profiles[0];
    EXPECT_EQ(read.Name, "a\ufffdb\u2019c\u00ff");  // forbidden characters become U+FFFD
    EXPECT_EQ(read.Description, "nul\ufffdhere\ufffd\x7F\ufffd");
    EXPECT_EQ(read.DomainName, "\u00ed\u00a0\u20acx\u00c0\u00af");
    EXPECT_EQ(read.LogFiles[0].LogFileURL, "/logs/\ufffda.log");
    EXPECT_EQ(read.LogFiles[0].LoginPassword, "pa\ufffdss");
    EXPECT_EQ(read.Filters[0].Name, "tab\tcr\rlf\n");
    EXPECT_EQ(read.Filters[0].Value1, "\u00e9t\u00e9");
}

TEST(XMLProfiles, RandomProfileListsSurviveSaveAndLoad) {
    std::mt19937 rng(20240611);
    TestFolder folder;
    for (int round = 0; round < 60; ++round) {
        TProfiles profiles;
        for (int i = std::uniform_int_distribution<int>(0, 4)(rng); i > 0; --i)
            profiles.Profiles.Add(std::make_unique<TProfile>(test::RandomProfile(rng)));
        const std::string xml = xmlprofiles::WriteProfilesXml(profiles);
        TProfiles loaded;
        ASSERT_TRUE(xmlprofiles::ReadProfilesXml(xml, loaded)) << xml;
        EXPECT_TRUE(loaded.Profiles == profiles.Profiles) << xml;
        if (round % 20 == 0 && HaveXmllint()) {
            const std::string path = folder.write("random.xml", xml);
            EXPECT_TRUE(XmllintAccepts(path)) << xml;
        }
    }
}

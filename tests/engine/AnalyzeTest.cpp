#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "LogConvertTestUtil.h"
#include "core/AppPaths.h"
#include "core/CommonUtils_u.h"
#include "support/FileSizeLimit.h"
#include "support/servers/ServerProcess.h"
#include "support/servers/TransferLog.h"

using namespace brindle;
using namespace brindle::test;

namespace {

using Strings = std::vector<std::string>;

const char* const kFormatLogs[] = {"common.log", "combined.log", "iis_dmy.log", "iis_mdy.log", "iis_ymd.log",
                                   "w3c.log",    "isa.log",      "nul.log",     "noeol.log",   "garbage.log"};

const std::string kNoLogFiles = "There are no log files to analyze.";
const std::string kNoValidData =
    "The analyzed log files don't contain valid log file data.\r\nThe log files could be corrupt or it could have "
    "an invalid format.\r\n\r\nFor more information about supported log file types, see the 'Help'.";

std::string CouldNotOpen(const std::string& url) {
    return "Could not open the log file '" + url +
           "'.\r\nYou should check the specified log file directory/file/wildcard.";
}

const std::string kCommonLine = "10.0.0.1 - - [13/Feb/2003:10:00:00 +0100] \"GET /index.html HTTP/1.0\" 200 1043\n";

// Writes an archive of named members: a ".zip", or with one member a plain ".gz".
void WriteArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
    archive* writer = archive_write_new();
    if (path.ends_with(".gz")) {
        archive_write_set_format_raw(writer);
        archive_write_add_filter_gzip(writer);
    } else {
        archive_write_set_format_zip(writer);
    }
    ASSERT_EQ(archive_write_open_filename(writer, path.c_str()), ARCHIVE_OK);
    for (const auto& [name, content] : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(content.size()));
        ASSERT_EQ(archive_write_header(writer, entry), ARCHIVE_OK);
        ASSERT_EQ(archive_write_data(writer, content.data(), content.size()), static_cast<la_ssize_t>(content.size()));
        archive_entry_free(entry);
    }
    ASSERT_EQ(archive_write_close(writer), ARCHIVE_OK);
    archive_write_free(writer);
}

class Analyze : public ::testing::Test {
protected:
    void SetUp() override { events.Bind(engine); }

    bool Run(const TProfile& profile) {
        return engine.Analyze(profile, work.path(), work.file("dns.dat"), "", options);
    }
    std::string ErrorRunning(const TProfile& profile) {
        return ErrorOf([&] { Run(profile); });
    }

    TestFolder logs;
    TestFolder work;
    TOptions options = DefaultOptions();
    TLogConvert engine;
    TEngineEvents events;
};

}  // namespace

TEST_F(Analyze, FolderOfEveryFormatThroughAWildcard) {
    for (const char* name : kFormatLogs) CopyLog(logs, std::string("formats/") + name);
    // Files are taken in case-insensitive order of their paths.
    std::filesystem::rename(logs.file("isa.log"), logs.file("ISA.log"));
    CopyLog(logs, "custom.fc");  // not matched

    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.path() + "*.log")})));
    EXPECT_EQ(engine.Records.Count(), 26u);
    EXPECT_EQ(engine.BadLineCount, 5);
    EXPECT_EQ(events.Statuses(), (Strings{"Analyzing : combined.log", "Analyzing : common.log", "Skipped : garbage.log",
                                          "Analyzing : iis_dmy.log", "Analyzing : iis_mdy.log",
                                          "Analyzing : iis_ymd.log", "Analyzing : ISA.log", "Analyzing : noeol.log",
                                          "Analyzing : nul.log", "Analyzing : w3c.log", "Processing statistics..."}));
    ASSERT_FALSE(events.Events.empty());
    EXPECT_EQ(events.Events.back().Text, "Processing statistics");
    EXPECT_EQ(events.Events.back().Value, 100);
    // 0 before the pass, its 29 steps, then 100 when the run ends.
    std::vector<int> statistics{0};
    for (int step = 1; step <= 29; ++step) statistics.push_back(step * 100 / 29);
    statistics.push_back(100);
    EXPECT_EQ(events.Progress("Processing statistics"), statistics);

    // Post-passes ran: addresses numbered, visits cut.
    EXPECT_GT(engine.VisitCount, 0);
    for (const TRecLog& rec : engine.Records) {
        EXPECT_GE(rec.VisitId, 1);
        if (engine.HostTable.GetString(rec.HostIdx) == "10.0.0.1") {
            EXPECT_EQ(engine.HostIPs.at(static_cast<std::size_t>(rec.HostIdx)), 0x0100000A);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("dns.dat")));

    // A second run starts from nothing.
    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.path() + "*.log")})));
    EXPECT_EQ(engine.Records.Count(), 26u);
    EXPECT_EQ(engine.BadLineCount, 5);
}

// The window keeps the result while the same engine runs again: the rows name texts of the
// tables the engine clears, so the result must hold those texts itself.
TEST_F(Analyze, TheTakenResultOutlivesTheEnginesNextRuns) {
    for (const char* name : kFormatLogs) CopyLog(logs, std::string("formats/") + name);
    const TProfile profile = ProfileOf({FileLocation(logs.path() + "*.log")});
    ASSERT_TRUE(Run(profile));
    const TStatistics made = engine;  // a copy owns its names
    ASSERT_FALSE(made.StatByRefPage.Empty());
    ASSERT_FALSE(made.StatByAllFiles.Empty());

    TAnalysisResult result = engine.TakeResult();
    EXPECT_EQ(result.Statistics, made);
    EXPECT_EQ(result.Profile.Name, profile.Name);
    EXPECT_EQ(result.BadLineCount, 5);
    EXPECT_EQ(result.AnalysisTime, engine.AnalysisTime);
    EXPECT_TRUE(engine.Records.Empty());
    for (const TBucketString* table : engine.Tables()) EXPECT_EQ(table->Count(), 0);
    EXPECT_TRUE(engine.StatByRefPage.Empty());
    EXPECT_EQ(engine.BadLineCount, 0);

    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.file("common.log"))})));
    engine.ReleaseRun();
    ASSERT_TRUE(Run(profile));
    EXPECT_EQ(static_cast<const TStatistics&>(engine), made);
    engine.ReleaseRun();
    EXPECT_EQ(result.Statistics, made);
}

TEST_F(Analyze, NothingToAnalyze) {
    EXPECT_EQ(ErrorRunning(ProfileOf({})), kNoLogFiles);
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.path() + "*.log")})), kNoLogFiles);
    // Several locations, none with a wildcard.
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.file("a.log")), FileLocation(logs.file("b.log"))})),
              kNoLogFiles);
    // One location: its text as stored, date macros not expanded.
    const std::string stored = logs.path() + "ex%yy%%mm%%dd%.log";
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(stored)})), CouldNotOpen(stored));
    TRecLogFileProperty unknown = FileLocation("elsewhere/a.log");
    unknown.LogFileType = "FILE://";
    EXPECT_EQ(ErrorRunning(ProfileOf({unknown})), CouldNotOpen("elsewhere/a.log"));
    // A folder is not a log file.
    std::filesystem::create_directory(logs.file("folder.log"));
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.path() + "*.log")})), kNoLogFiles);
}

TEST_F(Analyze, DisabledLocationsAreSkipped) {
    CopyLog(logs, "formats/common.log");
    CopyLog(logs, "formats/combined.log");
    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.file("common.log")), FileLocation(logs.file("combined.log"), 0)})));
    EXPECT_EQ(events.Statuses().front(), "Analyzing : common.log");
    EXPECT_EQ(engine.Records.Count(), 4u);

    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.file("common.log"), 0)})), kNoLogFiles);
    // The one enabled location counts alone.
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.file("combined.log"), 0), FileLocation(logs.file("x.log"))})),
              CouldNotOpen(logs.file("x.log")));
}

TEST_F(Analyze, OneFileItsOwnErrorSeveralFilesSkipped) {
    const std::string garbage = CopyLog(logs, "formats/garbage.log");
    // A wildcard that finds one file: that file's failure is reported.
    const std::string notValid =
        "The file '" + garbage +
        "' does not contain valid log file data.\r\nThe log file could be corrupt or it could have an invalid "
        "format.\r\n\r\nFor more information about supported log file types, see the 'Help'.";
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.path() + "*.log")})), notValid);

    CopyLog(logs, "formats/garbage.log", "more.log");
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.path() + "*.log")})), kNoValidData);
    EXPECT_EQ(events.Statuses(), (Strings{"Skipped : garbage.log", "Skipped : more.log"}));

    const std::string iis =
        logs.write("ex.iis", "10.1.2.1, -, 02-03-2003, 11:00:00, W3SVC1, S, 1, 1, 1, 1, 200, 0, GET, /a.htm, -,\n");
    SetFileDate(iis, 2010, 7, 20);
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(iis)})),
              "Could not determine the date format of '" + iis +
                  "'.\r\n\r\nFor more information about supported log file types, see the 'Help'.");
}

TEST_F(Analyze, EachFileOnceNamesDifferingInCaseAreTwo) {
    CopyLog(logs, "formats/noeol.log", "a.log");
    CopyLog(logs, "formats/noeol.log", "A.log");
    const TProfile profile = ProfileOf(
        {FileLocation(logs.file("a.log")), FileLocation(logs.path() + "?.log"), FileLocation(logs.file("a.log"))});
    ASSERT_TRUE(Run(profile));
    EXPECT_EQ(engine.Records.Count(), 4u);
    const Strings statuses = events.Statuses();
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Analyzing : a.log"), 1);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Analyzing : A.log"), 1);
}

TEST_F(Analyze, HiddenFilesOnlyWhenNamed) {
    logs.write(".hidden.log", kCommonLine);
    logs.write("shown.log", kCommonLine);
    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.path() + "*.log")})));
    EXPECT_EQ(engine.Records.Count(), 1u);
    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.path() + ".*.log")})));
    EXPECT_EQ(engine.Records.Count(), 1u);
    EXPECT_EQ(events.Statuses()[events.Statuses().size() - 2], "Analyzing : .hidden.log");
}

TEST_F(Analyze, CancelFromTheProgressCallback) {
    std::string text;
    for (int i = 0; i < 500; ++i) text += kCommonLine;
    logs.write("a.log", text);
    logs.write("b.log", text);
    engine.OnProgress = [&](const void*, int value, const std::string& step) {
        if (step == "Analyzing : a.log" && value >= 50) engine.Cancel();
    };
    EXPECT_FALSE(Run(ProfileOf({FileLocation(logs.path() + "*.log")})));
    for (const std::string& status : events.Statuses()) EXPECT_NE(status, "Analyzing : b.log");
    EXPECT_EQ(engine.VisitCount, 0);
}

TEST_F(Analyze, ArchivesAreUnpackedInPasses) {
    const std::string combined = ReadFileBytes(DataPath("logs/formats/combined.log"));
    const std::string common = ReadFileBytes(DataPath("logs/formats/common.log"));
    const std::string inner = logs.file("inner.gz");
    WriteArchive(inner, {{"inner.log", common}});
    WriteArchive(logs.file("logs.zip"),
                 {{"one.log", combined}, {"broken.log", "not a log\n"}, {"inner.gz", ReadFileBytes(inner)}});
    std::filesystem::remove(inner);

    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.file("logs.zip"))})));
    EXPECT_EQ(engine.Records.Count(), 8u);  // combined.log and common.log; the broken member skipped
    const Strings statuses = events.Statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[0], "Decompressing : logs.zip");
    EXPECT_EQ(statuses[1], "Decompressing : inner.gz");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Skipped : broken.log"), statuses.end());
    EXPECT_TRUE(std::filesystem::exists(logs.file("logs.zip")));  // the archive itself stays

    logs.write("bad.zip", "this is no zip archive");
    EXPECT_EQ(ErrorRunning(ProfileOf({FileLocation(logs.file("bad.zip"))})),
              "Could not decompress the file '" + logs.file("bad.zip") +
                  "'.\r\nThe compressed file could be corrupt or it could have an invalid format.");
}

// A disk that fills up (here a file-size limit) is named as the cause, never as a damaged
// archive or a server that could not be reached; nothing half-written is left.
TEST_F(Analyze, AFullDiskIsNamedAsTheCause) {
    const std::string big(256 * 1024, 'x');
    WriteArchive(logs.file("big.log.gz"), {{"big.log", kCommonLine + big}});
    TestFolder served;
    served.write("site/access.log", kCommonLine + big);
    TServerProcess server("http_server.py", {"--root", served.path()});
    ASSERT_GT(server.Port(), 0) << "the HTTP test server did not start";
    TRecLogFileProperty remote;
    remote.LogFileType = "http://";
    remote.LogFileURL = "127.0.0.1:" + std::to_string(server.Port()) + "/site/access.log";
    remote.Enable = 1;

    const std::string tooLarge = std::strerror(EFBIG);
    struct Case {
        const char* what;
        TProfile profile;
        std::string expected;
    };
    const Case cases[] = {
        {"unpacking", ProfileOf({FileLocation(logs.file("big.log.gz"))}),
         "Could not decompress the file '" + logs.file("big.log.gz") + "'.\r\nCould not write the file '" +
             work.file("big.log") + "'.\r\n" + tooLarge + "."},
        {"downloading", ProfileOf({remote}),
         "Could not write the file '" + work.file("access.log") + "'.\r\n" + tooLarge + "."},
    };
    for (const Case& c : cases) {
        const std::string error = test::RunWithFileSizeLimit(64 * 1024, [&] { return ErrorRunning(c.profile); });
        EXPECT_EQ(error, c.expected) << c.what;
        EXPECT_TRUE(test::EntriesBelow(work.path()).empty()) << c.what;
    }
}

TEST_F(Analyze, ArchivesNestedTooDeepAreRefused) {
    // Each level is a zip holding the one inside; a zip that holds itself would never end.
    const auto nested = [&](int levels) {
        std::string name = "deep.log";
        std::string bytes = ReadFileBytes(DataPath("logs/formats/common.log"));
        for (int level = 0; level < levels; ++level) {
            const std::string inner = name;
            name = "deep" + std::to_string(level) + ".zip";
            WriteArchive(logs.file(name), {{inner, bytes}, {"other.log", bytes}});
            bytes = ReadFileBytes(logs.file(name));
            std::filesystem::remove(logs.file(name));
        }
        logs.write(name, bytes);
        return logs.file(name);
    };
    ASSERT_TRUE(Run(ProfileOf({FileLocation(nested(16))})));
    EXPECT_GT(engine.Records.Count(), 0u);

    const std::string tooDeep = nested(17);
    const std::string error = ErrorRunning(ProfileOf({FileLocation(tooDeep)}));
    EXPECT_EQ(error.rfind("Could not decompress the file '" + work.path(), 0), 0u) << error;
}

TEST_F(Analyze, HTTPLocation) {
    TestFolder served;
    served.write("site/access.log", ReadFileBytes(DataPath("logs/formats/combined.log")));
    TServerProcess server("http_server.py", {"--root", served.path()});
    ASSERT_GT(server.Port(), 0) << "the HTTP test server did not start";
    TRecLogFileProperty location;
    location.LogFileType = "http://";
    location.LogFileURL = "127.0.0.1:" + std::to_string(server.Port()) + "/site/access.log";
    location.Enable = 1;
    ASSERT_TRUE(Run(ProfileOf({location})));
    EXPECT_EQ(engine.Records.Count(), 4u);
    EXPECT_TRUE(std::filesystem::exists(work.file("access.log")));
    EXPECT_FALSE(engine.HTTPBusy);

    location.LogFileURL = "127.0.0.1:" + std::to_string(server.Port()) + "/site/missing.log";
    // The server answered: the message says what, not that it could not be reached.
    EXPECT_EQ(ErrorRunning(ProfileOf({location})),
              "The HTTP server answered 404 File not found for 'http://" + location.LogFileURL + "'.");
}

TEST_F(Analyze, FTPLocationAndCancel) {
    TestFolder served;
    served.write("logs/a.log", ReadFileBytes(DataPath("logs/formats/common.log")));
    served.write("logs/b.log", ReadFileBytes(DataPath("logs/formats/combined.log")));
    std::string big;
    while (big.size() < 2 * 1024 * 1024) big += kCommonLine;
    served.write("big/big.log", big);
    TServerProcess server("ftp_server.py",
                          {"--root", served.path(), "--user", "u", "--password", "p", "--throttle", "200000"});
    ASSERT_GT(server.Port(), 0) << "the FTP test server did not start";
    TRecLogFileProperty location;
    location.LogFileType = "ftp://";
    location.LogFileURL = "127.0.0.1/logs/*.log";
    location.LoginUserName = "u";
    location.LoginPassword = "p";
    location.LoginPort = server.Port();
    location.PassiveMode = 1;
    location.Enable = 1;
    ASSERT_TRUE(Run(ProfileOf({location})));
    EXPECT_EQ(engine.Records.Count(), 8u);
    EXPECT_FALSE(engine.FTPBusy);

    // Cancel while the download runs: no error, the run returns false.
    location.LogFileURL = "127.0.0.1/big/big.log";
    engine.OnProgress = [&](const void*, int, const std::string& step) {
        if (step.starts_with("FTP Downloading")) {
            EXPECT_TRUE(engine.FTPBusy);
            engine.Cancel();
        }
    };
    EXPECT_FALSE(Run(ProfileOf({location})));
    EXPECT_FALSE(engine.FTPBusy);

    location.LoginPassword = "wrong";
    events.Bind(engine);
    EXPECT_EQ(ErrorRunning(ProfileOf({location})),
              "The FTP server answered 530 Authentication failed for 'ftp://" + location.LogFileURL + "'.");
}

TEST_F(Analyze, ReverseDNSRenamesHostsFromTheCache) {
    CopyLog(logs, "formats/common.log");
    // Every address has a fresh entry, so nothing is looked up on the network.
    TDNSCache cache;
    const TSeconds now = NowLocal();
    cache.Cache.Add({IPToLong("10.0.0.1"), now, "one.example"});
    cache.Cache.Add({IPToLong("10.0.0.2"), now, ""});
    cache.Cache.Add({IPToLong("10.0.0.3"), now, "three.example"});
    ASSERT_TRUE(cache.SaveToFile(work.file("dns.dat")));

    TProfile profile = ProfileOf({FileLocation(logs.file("common.log"))});
    profile.DNSLookup = 1;
    ASSERT_TRUE(Run(profile));
    EXPECT_EQ(TableTexts(engine.HostTable), (Strings{"one.example", "10.0.0.2", "three.example"}));
    // The address as logged stays in the hit.
    EXPECT_EQ(engine.HostIPs.at(static_cast<std::size_t>(engine.Records[0].HostIdx)),
              static_cast<std::int32_t>(IPToLong("10.0.0.1")));
    EXPECT_EQ(engine.DNSCache.Cache.Count(), 0u);
    EXPECT_FALSE(engine.DNSBusy);
}

// In a wildcard run a file with an overlong line keeps its other lines, wherever the line is.
TEST_F(Analyze, OverlongLineKeepsItsFileInAWildcardRun) {
    const std::string longLine = std::string(600000, 'y') + "\n";
    logs.write("a.log", longLine + kCommonLine + kCommonLine);
    logs.write("b.log", kCommonLine + longLine + kCommonLine);
    ASSERT_TRUE(Run(ProfileOf({FileLocation(logs.path() + "*.log")})));
    EXPECT_EQ(engine.Records.Count(), 4u);
    EXPECT_EQ(engine.BadLineCount, 2);
    EXPECT_EQ(events.Statuses()[0], "Analyzing : a.log");
    EXPECT_EQ(events.Statuses()[1], "Analyzing : b.log");
}

namespace {

// Knows one address, and counts how often it is opened.
class CountingCountryReader final : public IGeoIPCountryReader {
public:
    explicit CountingCountryReader(std::vector<std::string>& opened) : opened_(opened) {}
    bool Open(const std::string& fileName) override {
        opened_.push_back(fileName);
        return true;
    }
    void Close() override {}
    TGeoIPCountry LookupCountry(std::string_view address) const override {
        if (address == "10.0.0.1") return {true, "FR", "France"};
        return {};
    }

private:
    std::vector<std::string>& opened_;
};

}  // namespace

// The country reader an engine is given serves every run, with the program's own database
// file; the search-engine list of each run is the one used, whatever the run before had.
TEST_F(Analyze, StandInsAndKeptListsServeEachRun) {
    std::vector<std::string> opened;
    engine.CountryReaderFactory = [&] { return std::make_unique<CountingCountryReader>(opened); };
    const std::string line =
        "10.0.0.1 - - [13/Feb/2003:10:00:00 +0100] \"GET / HTTP/1.0\" 200 10 \"http://find.example/?q=blue\" "
        "\"Mozilla/4.0\"\n";
    const TProfile profile = ProfileOf({FileLocation(logs.write("access.log", line))});
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"find.", "Finder"}, {"find.", "Seeker"}, {"elsewhere.", "Finder"}};
    for (const auto& [id, name] : lists) {
        SCOPED_TRACE(id + " " + name);
        options.SEs.Clear();
        options.SEs.Add({id, "q=", "", "", name});
        ASSERT_TRUE(Run(profile));
        ASSERT_EQ(engine.StatByCountry.Count(), 1u);
        EXPECT_EQ(engine.StatByCountry[0].Name, "fr");
        const bool found = id == "find.";
        ASSERT_EQ(engine.StatByRefSE.Count(), found ? 1u : 0u);
        if (found) {
            EXPECT_EQ(engine.StatByRefSE[0].Name, name);
        }
    }
    EXPECT_EQ(opened, Strings(3, AppPaths::GeoIPCountryFile()));
}

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LogConvertTestUtil.h"
#include "core/FileStreamEx_u.h"

using namespace brindle;
using namespace brindle::test;

namespace {

class ParseFile : public ::testing::Test {
protected:
    void Begin(std::uint8_t format, std::uint8_t dateOrder = 0) {
        TProfile profile = ProfileOf({}, format);
        profile.DateFormat = dateOrder;
        engine.BeginAnalysis(profile, DefaultOptions());
        events.Bind(engine);
    }
    std::vector<std::string> URIs() const {
        std::vector<std::string> uris;
        for (const TRecLog& rec : engine.Records) uris.emplace_back(engine.URITable.GetString(rec.URIIdx));
        return uris;
    }

    TestFolder folder;
    TLogConvert engine;
    TEngineEvents events;
};

std::string NotValid(const std::string& path) {
    return "The file '" + path +
           "' does not contain valid log file data.\r\nThe log file could be corrupt or it could have an invalid "
           "format.\r\n\r\nFor more information about supported log file types, see the 'Help'.";
}

}  // namespace

// Every fixture, with its format given and detected: hits and bad lines.
TEST_F(ParseFile, EveryFormat) {
    const struct {
        std::string file;
        std::uint8_t format;
        std::uint8_t dateOrder;  // given in the profile; 0 detects
        std::size_t hits;
        std::int64_t bad;
        std::vector<std::string> uris;
    } cases[] = {
        {"common.log",
         lfNCSACommon,
         0,
         4,
         2,
         {"/index.html", "/img/logo.gif", "/docs/index.html", "/cgi-bin/form.cgi"}},
        {"common.log",
         lfApacheCommon,
         0,
         4,
         2,
         {"/index.html", "/img/logo.gif", "/docs/index.html", "/cgi-bin/form.cgi"}},
        {"combined.log", lfNCSACombined, 0, 4, 1, {"/shop/index.html", "/shop/style.css", "/robots.txt", "/a b.html"}},
        {"iis_dmy.log", lfIIS, 0, 3, 1, {"/default.htm", "/missing.gif", ""}},
        {"iis_dmy.log", lfIIS, doDMY, 3, 1, {"/default.htm", "/missing.gif", ""}},
        {"iis_mdy.log", lfIIS, 0, 2, 0, {"/a.htm", "/b.htm"}},
        {"iis_ymd.log", lfIIS, 0, 2, 0, {"/c.htm", "/d.htm"}},
        {"w3c.log", lfIISW3C, 0, 4, 1, {"/index.htm", "/pics/a.jpg", "/members/index.html", "/members/list.htm"}},
        {"isa.log",
         lfISAW3C,
         0,
         3,
         0,
         {"http://www.example.net/news/index.html", "http://www.example.net/news/logo.png",
          "http://www.example.net/upload.asp"}},
        {"nul.log", lfNCSACommon, 0, 2, 0, {"/nul.html", "/two.html"}},
        {"noeol.log", lfNCSACommon, 0, 2, 0, {"/first.html", "/last.html"}},
    };
    for (const auto& c : cases) {
        for (const std::uint8_t format : {c.format, std::uint8_t{0}}) {
            SCOPED_TRACE(c.file + " format " + std::to_string(format));
            const std::string path = CopyLog(folder, "formats/" + c.file);
            Begin(format, c.dateOrder);
            engine.ClearStatistics();
            ASSERT_TRUE(engine.ParseLogFile(path));
            EXPECT_EQ(engine.Records.Count(), c.hits);
            EXPECT_EQ(engine.BadLineCount, c.bad);
            EXPECT_EQ(URIs(), c.uris);
        }
    }
}

TEST_F(ParseFile, CustomLayoutOnlyWhenChosen) {
    const std::string path = folder.write("custom.fc", ReadFileBytes(DataPath("logs/custom.fc")));
    Begin(lfCustomFC);
    ASSERT_TRUE(engine.ParseLogFile(path));
    ASSERT_EQ(engine.Records.Count(), 2u);
    EXPECT_EQ(TableTexts(engine.HostTable), (std::vector<std::string>{"10.4.0.1", "10.4.0.2"}));
    EXPECT_EQ(TableTexts(engine.UserTable), (std::vector<std::string>{"", "eve"}));
    // Detection takes the layout for the combined one: the client is then field 1.
    Begin(lfAutoDetect);
    engine.ClearStatistics();
    ASSERT_TRUE(engine.ParseLogFile(path));
    EXPECT_EQ(TableTexts(engine.HostTable), (std::vector<std::string>{"www.example.com"}));
}

TEST_F(ParseFile, FieldsOfTheDirectiveFormats) {
    Begin(lfAutoDetect);
    ASSERT_TRUE(engine.ParseLogFile(CopyLog(folder, "formats/w3c.log")));
    ASSERT_EQ(engine.Records.Count(), 4u);
    const TRecLog& first = engine.Records[0];
    EXPECT_EQ(first.Time, EncodeDateTime(2003, 2, 15, 9, 0, 0));
    // A hit keeps no agent or method index: the tables hold the texts in the order hits brought them.
    EXPECT_EQ(TableTexts(engine.AgentTable),
              (std::vector<std::string>{"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", ""}));
    EXPECT_EQ(engine.ReferrerTable.GetString(first.ReferrerIdx), "http://www.example.org/links.html");
    EXPECT_EQ(first.Bytes, 1500);
    // After the second "#Fields:": the date of the second "#Date:", user, no bytes, no agent.
    const TRecLog& third = engine.Records[2];
    EXPECT_EQ(third.Time, EncodeDateTime(2003, 2, 16, 10, 0, 0));
    EXPECT_EQ(engine.UserTable.GetString(third.UserIdx), "carol");
    EXPECT_EQ(third.Bytes, 0);
    EXPECT_EQ(TableTexts(engine.MethodTable), (std::vector<std::string>{"GET", "HEAD"}));
    EXPECT_TRUE(engine.Records[3].NotModified);

    // The next file starts without those directives: its data line is bad.
    const std::string next =
        folder.write("next.log", "#Date: 2003-02-17 00:00:00\n10:00:00 10.2.0.2 carol GET /late.htm 200\n");
    Begin(lfIISW3C);
    ASSERT_TRUE(engine.ParseLogFile(next));
    EXPECT_EQ(engine.Records.Count(), 4u);
    EXPECT_EQ(engine.BadLineCount, 2);  // one from w3c.log, one here
}

TEST_F(ParseFile, IISDateOrderFromTheFileDate) {
    // 02-03-2003 decides nothing by itself; a file last changed on 3 February makes 02 the month.
    const std::string path =
        folder.write("ex.log", "10.1.2.1, -, 02-03-2003, 11:00:00, W3SVC1, S, 1, 1, 1, 1, 200, 0, GET, /a.htm, -,\n");
    SetFileDate(path, 2003, 2, 3);
    Begin(lfIIS);
    ASSERT_TRUE(engine.ParseLogFile(path));
    EXPECT_EQ(engine.DateOrder, doMDY);
    EXPECT_EQ(engine.Records[0].Time, EncodeDateTime(2003, 2, 3, 11, 0, 0));

    SetFileDate(path, 2010, 7, 20);
    Begin(lfIIS);
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(path); }),
              "Could not determine the date format of '" + path +
                  "'.\r\n\r\nFor more information about supported log file types, see the 'Help'.");
    // A date order in the profile needs no detection.
    Begin(lfIIS, doDMY);
    ASSERT_TRUE(engine.ParseLogFile(path));
    EXPECT_EQ(engine.Records[engine.Records.Count() - 1].Time, EncodeDateTime(2003, 3, 2, 11, 0, 0));
}

TEST_F(ParseFile, FilesWithoutValidData) {
    Begin(lfAutoDetect);
    const std::string empty = folder.write("empty.log", "");
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(empty); }), NotValid(empty));
    const std::string garbage = CopyLog(folder, "formats/garbage.log");
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(garbage); }), NotValid(garbage));
    const std::string missing = folder.file("missing.log");
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(missing); }),
              "Could not read the log file '" + missing +
                  "'.\r\nThe log file could be corrupt or it could be used already by another application.");
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(folder.path()); }),
              "Could not read the log file '" + folder.path() +
                  "'.\r\nThe log file could be corrupt or it could be used already by another application.");

    // Every line bad: not valid (its bad lines still counted); one good line is enough.
    const std::string bad = "1.2.3.4 - - [99/Feb/2003:10:00:00 +0000] \"GET / HTTP/1.0\" 200 1\n";
    const std::string good = "1.2.3.4 - - [13/Feb/2003:10:00:00 +0000] \"GET / HTTP/1.0\" 200 1\n";
    Begin(lfNCSACommon);
    const std::string allBad = folder.write("bad.log", bad + bad + bad);
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(allBad); }), NotValid(allBad));
    EXPECT_EQ(engine.BadLineCount, 3);
    const std::string oneGood = folder.write("good.log", bad + good + bad);
    EXPECT_TRUE(engine.ParseLogFile(oneGood));
    EXPECT_EQ(engine.Records.Count(), 1u);

    // Lines that are no hits and not bad: a file of directives only is valid and empty.
    Begin(lfIISW3C);
    EXPECT_TRUE(engine.ParseLogFile(folder.write("directives.log", "#Version: 1.0\n#Date: 2003-02-17 00:00:00\n")));
}

TEST_F(ParseFile, LineOfFiftyOneFieldsIsNoHitAndNotBad) {
    std::string wide;
    for (int i = 0; i < 51; ++i) wide += "x ";
    wide.pop_back();
    const std::string good = "1.2.3.4 - - [13/Feb/2003:10:00:00 +0000] \"GET / HTTP/1.0\" 200 1\n";
    Begin(lfNCSACommon);
    EXPECT_TRUE(engine.ParseLogFile(folder.write("wide.log", wide + "\n" + good)));
    EXPECT_EQ(engine.Records.Count(), 1u);
    EXPECT_EQ(engine.BadLineCount, 0);
}

// Lines around the reader's 512 KB chunk boundary arrive whole.
TEST_F(ParseFile, LinesAcrossChunkBoundaries) {
    std::string text;
    int lines = 0;
    while (text.size() < 3 * TFileStreamEx::ReadChunkSize) {
        const std::string n = std::to_string(lines++);
        text += "10.0." + std::to_string(lines % 200) + ".1 - - [13/Feb/2003:10:00:00 +0000] \"GET /p" + n +
                ".html HTTP/1.0\" 200 " + n + " \"http://ref.example/" + std::string(lines % 97, 'r') + "\" \"agent " +
                n + "\"" + (lines % 3 == 0 ? "\r\n" : "\n");
    }
    const std::string path = folder.write("big.log", text);
    Begin(lfAutoDetect);
    ASSERT_TRUE(engine.ParseLogFile(path));
    ASSERT_EQ(engine.Records.Count(), static_cast<std::size_t>(lines));
    EXPECT_EQ(engine.BadLineCount, 0);
    for (int i = 0; i < lines; ++i) {
        const TRecLog& rec = engine.Records[static_cast<std::size_t>(i)];
        ASSERT_EQ(engine.URITable.GetString(rec.URIIdx), "/p" + std::to_string(i) + ".html");
        ASSERT_EQ(rec.Bytes, i);
        ASSERT_EQ(engine.AgentTable.GetString(i), "agent " + std::to_string(i));
    }

    // Progress: the status line, then rising percentages ending at 100, about one per percent.
    EXPECT_EQ(events.Statuses(), (std::vector<std::string>{"Analyzing : big.log"}));
    const std::vector<int> values = events.Progress("Analyzing : big.log");
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 100);
    EXPECT_TRUE(std::adjacent_find(values.begin(), values.end(), std::greater_equal<int>()) == values.end());
    EXPECT_LE(values.size(), 101u);
    EXPECT_GE(values.size(), 50u);
}

TEST_F(ParseFile, CancelFromTheProgressCallback) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "1.2.3.4 - - [13/Feb/2003:10:00:00 +0000] \"GET / HTTP/1.0\" 200 1\n";
    const std::string path = folder.write("c.log", text);
    Begin(lfNCSACommon);
    engine.OnProgress = [&](const void* sender, int value, const std::string&) {
        EXPECT_EQ(sender, &engine);
        if (value >= 10) engine.Cancel();
    };
    EXPECT_FALSE(engine.ParseLogFile(path));
    EXPECT_TRUE(engine.IsCancelled());
    EXPECT_GT(engine.Records.Count(), 0u);
    EXPECT_LT(engine.Records.Count(), 1000u);
}

TEST_F(ParseFile, FilteredHitsNeverReachTheRecords) {
    TProfile profile = ProfileOf({}, lfNCSACommon);
    profile.Filters.Add({ftExclude, fiURI, "gifs", "*.gif", ""});
    engine.BeginAnalysis(profile, DefaultOptions());
    ASSERT_TRUE(engine.ParseLogFile(CopyLog(folder, "formats/common.log")));
    EXPECT_EQ(URIs(), (std::vector<std::string>{"/index.html", "/docs/index.html", "/cgi-bin/form.cgi"}));
}

// A line longer than a read chunk is one bad line, at the start of a file or inside it,
// detected format or fixed; the lines around it are read.
TEST_F(ParseFile, OverlongLineIsOneBadLine) {
    const std::string good = "10.0.0.1 - - [13/Feb/2003:10:00:00 +0000] \"GET /a.html HTTP/1.0\" 200 10\n";
    const std::string longLine =
        "10.0.0.9 - - [13/Feb/2003:10:00:00 +0000] \"GET /" + std::string(600000, 'x') + " HTTP/1.0\" 200 10\n";
    const struct {
        const char* name;
        std::string text;
        std::uint8_t format;
    } cases[] = {
        {"first.log", longLine + good + good, lfAutoDetect},
        {"fixed.log", longLine + good + good, lfNCSACommon},
        {"middle.log", good + longLine + good, lfAutoDetect},
        {"last.log", good + good + longLine.substr(0, longLine.size() - 1), lfAutoDetect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLogConvert fresh;
        TProfile profile = ProfileOf({}, c.format);
        fresh.BeginAnalysis(profile, DefaultOptions());
        ASSERT_TRUE(fresh.ParseLogFile(folder.write(c.name, c.text)));
        EXPECT_EQ(fresh.Records.Count(), 2u);
        EXPECT_EQ(fresh.BadLineCount, 1);
    }
    Begin(lfAutoDetect);
    const std::string only = folder.write("only.log", longLine);
    EXPECT_EQ(ErrorOf([&] { engine.ParseLogFile(only); }), NotValid(only));
}

// A byte-order mark is no part of the first line: a W3C header is still recognised and an
// NCSA file's first host has no stray bytes.
TEST_F(ParseFile, ByteOrderMarkIsSkipped) {
    const std::string bom = "\xEF\xBB\xBF";
    Begin(lfAutoDetect);
    ASSERT_TRUE(engine.ParseLogFile(
        folder.write("ncsa.log", bom + "10.0.0.1 - - [13/Feb/2003:10:00:00 +0000] \"GET /a.html HTTP/1.0\" 200 10\n")));
    ASSERT_EQ(engine.Records.Count(), 1u);
    EXPECT_EQ(engine.HostTable.GetString(engine.Records[0].HostIdx), "10.0.0.1");

    TLogConvert w3c;
    w3c.BeginAnalysis(ProfileOf({}, lfAutoDetect), DefaultOptions());
    ASSERT_TRUE(
        w3c.ParseLogFile(folder.write("w3c.log", bom + "#Software: Microsoft Internet Information Services 6.0\n"
                                                       "#Fields: date time c-ip cs-method cs-uri-stem sc-status\n"
                                                       "2003-02-13 10:00:00 10.0.0.2 GET /b.html 200\n")));
    ASSERT_EQ(w3c.Records.Count(), 1u);
    EXPECT_EQ(w3c.HostTable.GetString(w3c.Records[0].HostIdx), "10.0.0.2");
    EXPECT_EQ(w3c.BadLineCount, 0);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogConvertTestUtil.h"

using namespace brindle;
using namespace brindle::test;

namespace {

class Mappers : public ::testing::Test {
protected:
    void SetUp() override { Begin(); }
    void Begin() { engine.BeginAnalysis(profile, options); }

    TLineResult Map(const std::string& line, std::uint8_t format) {
        engine.SplitLine(line);
        return engine.MapLine(format);
    }
    const TCurrentHit& Hit() const { return engine.CurrentHit; }

    TOptions options = DefaultOptions();
    TProfile profile = ProfileOf({});
    TLogConvert engine;
};

void ExpectTime(const THitTime& t, int y, int mo, int d, int h, int mi, int s) {
    EXPECT_EQ(t.Time, EncodeDateTime(y, mo, d, h, mi, s));
    EXPECT_EQ(t.Year, y);
    EXPECT_EQ(t.Month, mo);
    EXPECT_EQ(t.Day, d);
    EXPECT_EQ(t.Hour, h);
    EXPECT_EQ(t.Minute, mi);
    EXPECT_EQ(t.Second, s);
    EXPECT_EQ(t.DayNo, EncodeDate(y, mo, d));
    EXPECT_EQ(t.MonthStart, EncodeDate(y, mo, 1));
    EXPECT_EQ(t.DayOfWeek, IsoDayOfWeek(EncodeDate(y, mo, d)));
}

}  // namespace

TEST_F(Mappers, CommonLines) {
    const struct {
        std::string line;
        TLineResult result;
        std::string host, user, method, uri;
        int status;
        std::int64_t bytes;
    } cases[] = {
        {R"(10.0.0.1 - - [13/Feb/2003:10:00:00 +0100] "GET /index.html HTTP/1.0" 200 1043)", TLineResult::Hit,
         "10.0.0.1", "", "GET", "/index.html", 200, 1043},
        {R"(h.example.com - alice [13/Feb/2003:10:00:00 +0100] "POST /f.cgi?a=1 HTTP/1.1" 302 7)", TLineResult::Hit,
         "h.example.com", "alice", "POST", "/f.cgi", 302, 7},
        {R"(- - - [13/Feb/2003:10:00:00 +0100] "GET /a.gif HTTP/1.0" 304 -)", TLineResult::Hit, "", "", "GET", "/a.gif",
         304, 0},
        {R"(1.2.3.4 - - [13/Feb/2003:10:00:00 +0100] "GET /big.iso HTTP/1.0" 200 99999999999)", TLineResult::Hit,
         "1.2.3.4", "", "GET", "/big.iso", 200, 99999999999},
        {R"(1.2.3.4 - - [13/Feb/2003:10:00:00 +0100] "-" 400 0)", TLineResult::Hit, "1.2.3.4", "", "GET", "", 400, 0},
        {R"(1.2.3.4 - - [13/Feb/2003:10:00:00 +0100] "HEAD /x" - -)", TLineResult::Hit, "1.2.3.4", "", "HEAD", "", 0,
         0},
        // A "%" that starts no escape is kept as it stands.
        {R"(1.2.3.4 - - [13/Feb/2003:10:00:00 +0100] "GET /100%.html HTTP/1.0" 200 1)", TLineResult::Hit, "1.2.3.4", "",
         "GET", "/100%.html", 200, 1},
        // A quoted request with a bracketed word still splits after the closing quote.
        {R"(1.2.3.4 - - [13/Feb/2003:10:00:00 +0100] "GET /[x].html HTTP/1.0" 200 5)", TLineResult::Hit, "1.2.3.4", "",
         "GET", "/[x].html", 200, 5},
        {R"(1.2.3.4 - - [31/Feb/2003:10:00:00 +0100] "GET / HTTP/1.0" 200 1)", TLineResult::Bad, "", "", "", "", 0, 0},
        {R"(1.2.3.4 - - [13/feb/2003:10:00:00 +0100] "GET / HTTP/1.0" 200 1)", TLineResult::Bad, "", "", "", "", 0, 0},
        {R"(1.2.3.4 - - [13/Feb/1899:10:00:00 +0100] "GET / HTTP/1.0" 200 1)", TLineResult::Bad, "", "", "", "", 0, 0},
        {R"(1.2.3.4 - - [13/Feb/2003:10:60:00 +0100] "GET / HTTP/1.0" 200 1)", TLineResult::Bad, "", "", "", "", 0, 0},
        // Fields beyond the line read as empty, whatever an earlier line held.
        {"1.2.3.4 - -", TLineResult::Bad, "", "", "", "", 0, 0},
        {"", TLineResult::Bad, "", "", "", "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(Map(c.line, lfNCSACommon), c.result);
        if (c.result != TLineResult::Hit) continue;
        EXPECT_EQ(Hit().Host, c.host);
        EXPECT_EQ(Hit().User, c.user);
        EXPECT_EQ(Hit().Method, c.method);
        EXPECT_EQ(Hit().URI, c.uri);
        EXPECT_EQ(Hit().Status, c.status);
        EXPECT_EQ(Hit().Bytes, c.bytes);
        ExpectTime(Hit(), 2003, 2, 13, 10, 0, 0);
    }
}

TEST_F(Mappers, StatusFlags) {
    const struct {
        std::string text;
        int status;
        bool notModified, partial, error;
    } cases[] = {
        {"200", 200, false, false, false}, {"206", 206, false, true, false},  {"304", 304, true, false, false},
        {"399", 399, false, false, false}, {"400", 400, false, false, true},  {"404", 404, false, false, true},
        {"599", 599, false, false, true},  {"600", 600, false, false, false}, {"-", 0, false, false, false},
        {"abc", 0, false, false, false},   {"", 0, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        engine.ParseStatus(c.text);
        EXPECT_EQ(Hit().Status, c.status);
        EXPECT_EQ(Hit().NotModified, c.notModified);
        EXPECT_EQ(Hit().Partial, c.partial);
        EXPECT_EQ(Hit().IsError, c.error);
    }
}

TEST_F(Mappers, RequestURICleaning) {
    profile.DefaultPage = "index.htm";
    Begin();
    const struct {
        std::string request, uri, ext, path;
        int kind;
    } cases[] = {
        {"GET /a%20b.html?x=1 HTTP/1.1", "/a b.html", "html", "/", 2},
        {"GET /shop HTTP/1.0", "/shop/index.htm", "htm", "/shop/", 2},
        {"GET /shop/ HTTP/1.0", "/shop/index.htm", "htm", "/shop/", 2},
        {"GET / HTTP/1.0", "/index.htm", "htm", "/", 2},
        {"GET /img/Logo.GIF#x HTTP/1.0", "/img/Logo.GIF", "GIF", "/img/", 4},
        {"GET /dl/tool.zip HTTP/1.0", "/dl/tool.zip", "zip", "/dl/", 3},
        {"GET /v.1/readme HTTP/1.0", "/v.1/readme/index.htm", "htm", "/v.1/readme/", 2},
        {"GET /x.unknown HTTP/1.0", "/x.unknown", "unknown", "/", 0},
    };
    // Each twice: the second time the remembered cleaning answers.
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.request);
            engine.ParseRequestLine(c.request);
            EXPECT_EQ(Hit().URI, c.uri);
            EXPECT_EQ(Hit().Ext, c.ext);
            EXPECT_EQ(Hit().Path, c.path);
            EXPECT_EQ(Hit().Request.Kind, c.kind);
            EXPECT_EQ(Hit().Request.IsPage, c.kind == 2);
            EXPECT_EQ(engine.URITable.GetString(Hit().URIIdx), c.uri);
            EXPECT_EQ(engine.ExtTable.GetString(Hit().ExtIdx), c.ext);
            EXPECT_EQ(engine.PathTable.GetString(Hit().PathIdx), c.path);
        }
    }
    EXPECT_EQ(engine.AppendDefaultPage("/docs"), "/docs/index.htm");
    EXPECT_EQ(engine.AppendDefaultPage(""), "index.htm");

    // New switches for a new run: nothing remembered from the last one.
    options.ConvertLowerCaseRequestURL = 1;
    options.RemoveTxtQuestionRequestURL = 0;
    Begin();
    engine.ParseRequestLine("GET /img/Logo.GIF?A=B HTTP/1.0");
    EXPECT_EQ(Hit().URI, "/img/logo.gif?a=b");
    EXPECT_EQ(Hit().Ext, "gif?a=b");
}

TEST_F(Mappers, CombinedReferrerAndAgent) {
    const std::string ie = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
    ASSERT_EQ(Map(R"(1.2.3.4 - - [14/Feb/2003:08:00:00 +0000] "GET / HTTP/1.1" 200 1 )"
                  R"("http://www.google.com/search?q=brindle+tools#top" ")" +
                      ie + "\"",
                  lfNCSACombined),
              TLineResult::Hit);
    EXPECT_EQ(Hit().Referrer, "http://www.google.com/search?q=brindle tools");
    EXPECT_EQ(Hit().UserAgent, ie);
    EXPECT_EQ(Hit().Browser, "Internet Explorer 6.x");
    EXPECT_EQ(Hit().OS, "Windows XP");
    EXPECT_EQ(Hit().Spider, "");
    EXPECT_EQ(engine.AgentTable.GetString(Hit().AgentIdx), ie);
    EXPECT_EQ(engine.BrowserTable.GetString(Hit().BrowserIdx), "Internet Explorer 6.x");

    ASSERT_EQ(
        Map(R"(1.2.3.4 - - [14/Feb/2003:08:00:00 +0000] "GET / HTTP/1.1" 200 1 "-" "Googlebot/2.1")", lfApacheCombined),
        TLineResult::Hit);
    EXPECT_EQ(Hit().Referrer, "");
    EXPECT_EQ(Hit().Spider, "Google");
    EXPECT_EQ(Hit().Browser, "");

    ASSERT_EQ(Map(R"(1.2.3.4 - - [14/Feb/2003:08:00:00 +0000] "GET / HTTP/1.1" 200 1 "-" "-")", lfNCSACombined),
              TLineResult::Hit);
    EXPECT_EQ(Hit().UserAgent, "");
    EXPECT_EQ(Hit().Browser, "");
    EXPECT_EQ(Hit().OS, "");
    EXPECT_EQ(Hit().Spider, "");
}

TEST_F(Mappers, FirstListedBrowserNamesTheAgent) {
    options.Browsers.Clear();
    options.Browsers.Add({"Opera", "Opera"});
    options.Browsers.Add({"MSIE", "IE"});
    Begin();
    const std::string both = "Mozilla/4.0 (compatible; MSIE 6.0; Opera 7.0)";
    engine.ParseUserAgent(both);
    EXPECT_EQ(Hit().Browser, "Opera");
    engine.ParseUserAgent("Mozilla/4.0 (compatible; MSIE 5.5)");
    EXPECT_EQ(Hit().Browser, "IE");
    // Seen before: the remembered classification.
    engine.ParseUserAgent(both);
    EXPECT_EQ(Hit().Browser, "Opera");
    EXPECT_EQ(engine.AgentTable.Count(), 2);

    // Another list in another run classifies afresh.
    options.Browsers.Clear();
    options.Browsers.Add({"MSIE", "IE"});
    Begin();
    engine.ParseUserAgent(both);
    EXPECT_EQ(Hit().Browser, "IE");
}

// The matchers are kept from run to run while the lists stay the same: lists as long as the
// last run's that differ in one ID, one name or the order are other lists all the same.
TEST_F(Mappers, ListsOfTheLastRunsLengthStillClassifyAfresh) {
    const std::string agent = "Mozilla/4.0 (compatible; MSIE 6.0; Opera 7.0)";
    const struct {
        std::vector<TRecUAType> list;
        std::string browser;
    } runs[] = {
        {{{"Opera", "Opera"}, {"MSIE", "IE"}}, "Opera"}, {{{"Opera", "O"}, {"MSIE", "IE"}}, "O"},
        {{{"MSIE", "IE"}, {"Opera", "O"}}, "IE"},        {{{"Gecko", "IE"}, {"Opera", "O"}}, "O"},
        {{{"Gecko", "IE"}, {"Opera", "O"}}, "O"},
    };
    for (const auto& run : runs) {
        options.Browsers.Clear();
        for (const TRecUAType& rec : run.list) options.Browsers.Add(rec);
        options.Spiders = options.Browsers;
        Begin();
        engine.ParseUserAgent(agent);
        EXPECT_EQ(Hit().Browser, run.browser) << run.list.front().ID << "," << run.list.front().Name;
        EXPECT_EQ(Hit().Spider, run.browser);
    }
}

TEST_F(Mappers, TextsAFormatDoesNotCarryAreEmptied) {
    engine.DateOrder = doDMY;
    const std::string combined =
        R"(1.2.3.4 - - [14/Feb/2003:08:00:00 +0000] "GET / HTTP/1.1" 200 1 "http://r.example/" "Googlebot/2.1")";
    auto expectCombined = [&] {
        ASSERT_EQ(Map(combined, lfNCSACombined), TLineResult::Hit);
        EXPECT_EQ(Hit().VDomain, "");
        EXPECT_EQ(Hit().Referrer, "http://r.example/");
        EXPECT_EQ(Hit().Spider, "Google");
    };
    ASSERT_EQ(
        Map(R"(10.1.1.2, bob, 13/02/2003, 10:00:30, W3SVC2, S, 10.0.0.9, 1, 2, 150, 404, 2, GET, /m.gif, -,)", lfIIS),
        TLineResult::Hit);
    EXPECT_EQ(Hit().VDomain, "W3SVC2");
    expectCombined();
    ASSERT_EQ(Map(R"(1.2.3.4 - - [14/Feb/2003:08:00:00 +0000] "GET / HTTP/1.1" 200 1)", lfNCSACommon),
              TLineResult::Hit);
    EXPECT_EQ(Hit().Referrer, "");
    EXPECT_EQ(Hit().UserAgent, "");
    EXPECT_EQ(Hit().Spider, "");
    // The same referrer and agent again after the emptying are read again.
    expectCombined();
    EXPECT_EQ(Map("anything at all", 99), TLineResult::NoHit);
}

TEST_F(Mappers, CustomLayout) {
    ASSERT_EQ(Map(R"(www.example.com - eve [16/Feb/2003:11:00:09 +0000] "GET /d.html HTTP/1.0" 200 98 )"
                  R"("http://www.example.com/?a#b" "Wget/1.9.1" 10.4.0.2)",
                  lfCustomFC),
              TLineResult::Hit);
    EXPECT_EQ(Hit().Host, "10.4.0.2");
    EXPECT_EQ(Hit().User, "eve");
    EXPECT_EQ(Hit().URI, "/d.html");
    EXPECT_EQ(Hit().Bytes, 98);
    EXPECT_EQ(Hit().Referrer, "http://www.example.com/?a");
    EXPECT_EQ(Hit().Browser, "Wget");
    ExpectTime(Hit(), 2003, 2, 16, 11, 0, 9);
}

TEST_F(Mappers, IISCommaFormat) {
    engine.DateOrder = doDMY;
    ASSERT_EQ(Map("10.1.1.2, bob, 13/02/2003, 10:00:30, W3SVC2, SRV1, 10.0.0.9, 10, 200, 150, 404, 2, GET, "
                  "/missing.gif, -,",
                  lfIIS),
              TLineResult::Hit);
    EXPECT_EQ(Hit().Host, "10.1.1.2");
    EXPECT_EQ(Hit().User, "bob");
    EXPECT_EQ(Hit().VDomain, "W3SVC2");
    EXPECT_EQ(Hit().Bytes, 150);
    EXPECT_EQ(Hit().Status, 404);
    EXPECT_TRUE(Hit().IsError);
    EXPECT_EQ(Hit().Method, "GET");
    EXPECT_EQ(Hit().URI, "/missing.gif");
    EXPECT_EQ(Hit().Request.Kind, 4);
    ExpectTime(Hit(), 2003, 2, 13, 10, 0, 30);

    ASSERT_EQ(Map("10.1.1.2, -, 13/02/2003, 10:01:00, W3SVC1, S, 10.0.0.9, 10, 200, -, 200, 0, -, -, -,", lfIIS),
              TLineResult::Hit);
    EXPECT_EQ(Hit().User, "");
    EXPECT_EQ(Hit().Bytes, 0);
    EXPECT_EQ(Hit().Method, "GET");
    EXPECT_EQ(Hit().URI, "");
    EXPECT_EQ(Hit().Ext, "");
    EXPECT_EQ(Hit().Path, "");
    EXPECT_EQ(Hit().Request.Kind, 0);
    EXPECT_EQ(engine.URITable.GetString(Hit().URIIdx), "");

    // Every field must end with a comma.
    EXPECT_EQ(
        Map("10.1.1.3, -, 13/02/2003, 10:02:00, W3SVC1, S, 10.0.0.9, 10, 200, 150, 200, 0, GET, /x.htm, -", lfIIS),
        TLineResult::Bad);
    EXPECT_EQ(Map("10.1.1.3, -, 13/02/2003, 10:02:00,", lfIIS), TLineResult::Bad);
}

TEST_F(Mappers, IISDateOrders) {
    const struct {
        std::string date;
        int order;
        int y, m, d;  // 0: a bad line
    } cases[] = {
        {"1/2/03", doDMY, 2003, 2, 1},
        {"1/2/03", doMDY, 2003, 1, 2},
        {"2/03/1", doDYM, 2003, 1, 2},
        {"03.2.1", doYDM, 2003, 1, 2},
        {"1-2003-2", doMYD, 2003, 1, 2},
        {"03/01/02", doYMD, 2003, 1, 2},
        {"2003-02-13", doYMD, 2003, 2, 13},
        {"1/2/49", doDMY, 2049, 2, 1},
        {"1/2/50", doDMY, 1950, 2, 1},
        {"1/2/99", doDMY, 1999, 2, 1},
        {"1/2/0", doDMY, 2000, 2, 1},
        {"1/2/100", doDMY, 0, 0, 0},
        {"1/2/03", 0, 0, 0, 0},
        {"1/2/03", 7, 0, 0, 0},
        {"1/2/3/4", doDMY, 0, 0, 0},
        {"13/13/03", doDMY, 0, 0, 0},
        {"1/2", doDMY, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date + " order " + std::to_string(c.order));
        engine.DateOrder = static_cast<std::uint8_t>(c.order);
        const TLineResult result = Map("h, -, " + c.date + ", 7:05:09, S, S, 1, 1, 1, 1, 200, 0, GET, /, -,", lfIIS);
        if (c.y == 0) {
            EXPECT_EQ(result, TLineResult::Bad);
        } else {
            ASSERT_EQ(result, TLineResult::Hit);
            ExpectTime(Hit(), c.y, c.m, c.d, 7, 5, 9);
        }
    }
}

TEST_F(Mappers, W3CDirectivesAndColumns) {
    // Columns are unknown before a "#Fields:" line.
    EXPECT_EQ(Map("2003-02-15 09:00:00 10.0.0.1 GET /a.htm 200", lfIISW3C), TLineResult::Bad);
    EXPECT_EQ(Map("#Software: Microsoft Internet Information Services 6.0", lfIISW3C), TLineResult::NoHit);
    EXPECT_EQ(Map("#Date: 2003-02-15 08:00:00", lfIISW3C), TLineResult::NoHit);
    EXPECT_EQ(engine.DirectiveDate, "2003-02-15");
    EXPECT_EQ(engine.DirectiveTime, "08:00:00");
    EXPECT_EQ(Map("#Fields: time c-ip cs-method cs-uri-stem sc-status cs(User-Agent) cs(Referer) cs-username sc-bytes",
                  lfIISW3C),
              TLineResult::NoHit);
    EXPECT_EQ(engine.W3CColumns.Time, 1);
    EXPECT_EQ(engine.W3CColumns.CIP, 2);
    EXPECT_EQ(engine.W3CColumns.Date, 0);
    EXPECT_EQ(engine.W3CColumns.SCBytes, 9);

    ASSERT_EQ(Map("09:30:15 10.0.0.1 POST /Form.asp 302 Mozilla/5.0+(X11;+Linux+i686)+Firefox/1.5 "
                  "http://x.example/p?q=1 dan 777",
                  lfIISW3C),
              TLineResult::Hit);
    ExpectTime(Hit(), 2003, 2, 15, 9, 30, 15);
    EXPECT_EQ(Hit().Host, "10.0.0.1");
    EXPECT_EQ(Hit().Method, "POST");
    EXPECT_EQ(Hit().URI, "/Form.asp");
    EXPECT_EQ(Hit().Status, 302);
    EXPECT_EQ(Hit().UserAgent, "Mozilla/5.0 (X11; Linux i686) Firefox/1.5");
    EXPECT_EQ(Hit().Browser, "Firefox");
    EXPECT_EQ(Hit().OS, "Linux");
    EXPECT_EQ(Hit().Referrer, "http://x.example/p?q=1");
    EXPECT_EQ(Hit().User, "dan");
    EXPECT_EQ(Hit().Bytes, 777);
    EXPECT_EQ(Hit().VDomain, "");

    ASSERT_EQ(Map("09:30:16 - - - 200 - - - -", lfIISW3C), TLineResult::Hit);
    EXPECT_EQ(Hit().Host, "");
    EXPECT_EQ(Hit().Method, "GET");
    EXPECT_EQ(Hit().URI, "");
    EXPECT_EQ(Hit().User, "");
    EXPECT_EQ(Hit().Referrer, "");
    EXPECT_EQ(Hit().UserAgent, "");
    EXPECT_EQ(Hit().Bytes, 0);

    // A new "#Fields:" line in mid-stream: only a date column; the time comes from "#Date:".
    EXPECT_EQ(Map("#Fields: date c-ip", lfIISW3C), TLineResult::NoHit);
    ASSERT_EQ(Map("2003-02-20 10.9.9.9", lfIISW3C), TLineResult::Hit);
    ExpectTime(Hit(), 2003, 2, 20, 8, 0, 0);
    EXPECT_EQ(Hit().Host, "10.9.9.9");
    EXPECT_EQ(Hit().Status, 0);
    EXPECT_EQ(Hit().Method, "GET");
    EXPECT_EQ(Hit().URI, "");
    EXPECT_EQ(Hit().Request.Kind, 0);

    // Neither date nor time: both from "#Date:".
    EXPECT_EQ(Map("#Fields: c-ip cs-uri-stem", lfIISW3C), TLineResult::NoHit);
    ASSERT_EQ(Map("10.9.9.8 /b.htm", lfIISW3C), TLineResult::Hit);
    ExpectTime(Hit(), 2003, 2, 15, 8, 0, 0);
    EXPECT_EQ(Hit().URI, "/b.htm");
}

TEST_F(Mappers, ISAWithTabs) {
    EXPECT_EQ(Map("c-ip\tfoo", lfISAW3C), TLineResult::Bad);
    EXPECT_EQ(Map("#Date: 2005-03-01 00:00:00", lfISAW3C), TLineResult::NoHit);
    EXPECT_EQ(Map("#Fields: c-ip\tcs-username\tc-agent\tsc-authenticated\tdate\ttime\ts-operation\tcs-uri\t"
                  "sc-status\tsc-bytes",
                  lfISAW3C),
              TLineResult::NoHit);
    EXPECT_EQ(engine.ISAColumns.CIP, 1);
    EXPECT_EQ(engine.ISAColumns.SCBytes, 10);
    ASSERT_EQ(Map("10.3.0.2\tDOMAIN\\dave\tMozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\tY\t2005-03-01\t"
                  "12:30:00\tPOST\thttp://www.example.net/upload.asp\t500\t12",
                  lfISAW3C),
              TLineResult::Hit);
    EXPECT_EQ(Hit().Host, "10.3.0.2");
    EXPECT_EQ(Hit().User, "DOMAIN\\dave");
    EXPECT_EQ(Hit().UserAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
    EXPECT_EQ(Hit().Browser, "Internet Explorer 6.x");
    EXPECT_EQ(Hit().Method, "POST");
    EXPECT_EQ(Hit().URI, "http://www.example.net/upload.asp");
    EXPECT_EQ(Hit().Status, 500);
    EXPECT_EQ(Hit().Bytes, 12);
    EXPECT_EQ(Hit().Referrer, "");
    ExpectTime(Hit(), 2005, 3, 1, 12, 30, 0);
}

TEST_F(Mappers, TimeOffsetMovesEveryPart) {
    profile.OffsetSign = -1;
    profile.OffsetHour = 1;
    Begin();
    EXPECT_EQ(engine.TimeOffset, -3600);
    const std::string line = R"(1.2.3.4 - - [01/Jan/2004:00:30:00 +0000] "GET / HTTP/1.0" 200 1)";
    ASSERT_EQ(Map(line, lfNCSACommon), TLineResult::Hit);
    ExpectTime(Hit(), 2003, 12, 31, 23, 30, 0);
    EXPECT_EQ(Hit().DayOfWeek, 3);  // a Wednesday

    // The same text under another offset is read again, not taken from the line before.
    profile.OffsetSign = 1;
    profile.OffsetHour = 2;
    profile.OffsetMinute = 45;
    Begin();
    ASSERT_EQ(Map(line, lfNCSACommon), TLineResult::Hit);
    ExpectTime(Hit(), 2004, 1, 1, 3, 15, 0);
    engine.TimeOffset = 0;
    ASSERT_EQ(Map(line, lfNCSACommon), TLineResult::Hit);
    ExpectTime(Hit(), 2004, 1, 1, 0, 30, 0);
}

TEST_F(Mappers, StoredRecords) {
    const std::string lines[] = {
        R"(10.0.0.1 - - [13/Feb/2003:10:00:00 +0000] "GET /a.html HTTP/1.0" 206 5000000000)",
        R"(host.Example.com - - [13/Feb/2003:10:00:01 +0000] "GET /b.gif HTTP/1.0" 304 -)",
        R"(10.0.0.1 - - [13/Feb/2003:10:00:02 +0000] "GET /c.zip HTTP/1.0" 404 1)",
        R"(HOST.example.com - - [13/Feb/2003:10:00:03 +0000] "GET /a.html HTTP/1.0" 200 1)",
    };
    for (const std::string& line : lines) {
        ASSERT_EQ(Map(line, lfNCSACommon), TLineResult::Hit);
        engine.AddRecord();
    }
    ASSERT_EQ(engine.Records.Count(), 4u);
    const TRecLog& first = engine.Records[0];
    EXPECT_EQ(first.VisitId, -1);
    EXPECT_TRUE(engine.HostIPs.empty());
    EXPECT_EQ(first.Bytes, 5000000000);
    EXPECT_TRUE(first.Partial);
    EXPECT_FALSE(first.NotModified);
    EXPECT_TRUE(first.IsPage);
    EXPECT_EQ(first.Kind, 2);
    EXPECT_EQ(engine.Records[1].Kind, 4);
    EXPECT_TRUE(engine.Records[1].NotModified);
    EXPECT_TRUE(engine.Records[2].IsError);
    // Same text, same index; another letter case, another text.
    EXPECT_EQ(engine.Records[2].HostIdx, first.HostIdx);
    EXPECT_NE(engine.Records[3].HostIdx, engine.Records[1].HostIdx);
    EXPECT_EQ(engine.Records[3].URIIdx, first.URIIdx);
    EXPECT_EQ(TableTexts(engine.HostTable),
              (std::vector<std::string>{"10.0.0.1", "host.Example.com", "HOST.example.com"}));
    // A hit keeps no method index: the table holds the methods in the order hits brought them.
    EXPECT_EQ(TableTexts(engine.MethodTable), (std::vector<std::string>{"GET"}));
    EXPECT_EQ(engine.UserTable.GetString(first.UserIdx), "");
    EXPECT_EQ(engine.ReferrerTable.GetString(first.ReferrerIdx), "");
    EXPECT_EQ(engine.PathTable.GetString(engine.Records.PathIdx(engine.Records[2])), "/");
    EXPECT_EQ(engine.ExtTable.GetString(engine.Records.ExtIdx(engine.Records[2])), "zip");
    EXPECT_EQ(first.Time, EncodeDateTime(2003, 2, 13, 10, 0, 0));

    engine.ClearStatistics();
    EXPECT_EQ(engine.Records.Count(), 0u);
    EXPECT_EQ(engine.HostTable.Count(), 0);
    ASSERT_EQ(Map(lines[1], lfNCSACommon), TLineResult::Hit);
    engine.AddRecord();
    EXPECT_EQ(engine.Records.Count(), 1u);
    EXPECT_EQ(engine.Records[0].HostIdx, 0);
    EXPECT_EQ(engine.URITable.GetString(engine.Records[0].URIIdx), "/b.gif");
    EXPECT_EQ(TableTexts(engine.AgentTable), (std::vector<std::string>{""}));
}

TEST_F(Mappers, FiltersDecideOnTheCurrentHit) {
    profile.Filters.Add({ftInclude, fiHost, "hosts", "10.1.*", ""});
    profile.Filters.Add({ftExclude, fiURI, "images", "*.gif", ""});
    Begin();
    auto passes = [&](const std::string& host, const std::string& uri) {
        EXPECT_EQ(Map(host + R"( - - [13/Feb/2003:10:00:00 +0000] "GET )" + uri + R"( HTTP/1.0" 200 1)", lfNCSACommon),
                  TLineResult::Hit);
        return engine.PassesFilters();
    };
    EXPECT_FALSE(passes("10.1.2.3", "/a.gif"));
    EXPECT_TRUE(passes("10.1.2.3", "/a.html"));
    EXPECT_FALSE(passes("10.2.0.1", "/a.html"));
    EXPECT_TRUE(engine.MatchFilter({ftInclude, fiStatusRange, "", "200", "299"}));
    EXPECT_FALSE(engine.MatchFilter({ftInclude, fiStatusRange, "", "400", "499"}));
    EXPECT_FALSE(engine.MatchFilter({ftInclude, fiDateRange, "", "200302130000", "20030214000000"}));
    EXPECT_TRUE(engine.MatchFilter({ftInclude, fiDateRange, "", "20030213100000", "20030213100000"}));
    // No spider: an exclude filter on the empty spider name drops the hit.
    EXPECT_TRUE(engine.MatchFilter({ftExclude, fiSpider, "", "", ""}));

    profile.Filters.Clear();
    Begin();
    EXPECT_TRUE(passes("10.2.0.1", "/a.gif"));
}

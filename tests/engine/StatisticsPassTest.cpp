#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "engine/AnalysisDocument_u.h"
#include "engine/ELogConvert.h"
#include "engine/GeoHelpers_u.h"
#include "engine/LogConvert_time.h"
#include "engine/StatisticsPass_u.h"
#include "support/TestFolder.h"

using namespace brindle;

// Expected rows name only the fields that count something; the rest stay empty or zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

const std::vector<int> kAllProgress = {3,  6,  10, 13, 17, 20, 24, 27, 31, 34, 37, 41, 44, 48, 51,
                                       55, 58, 62, 65, 68, 72, 75, 79, 82, 86, 89, 93, 96, 100};

class FakeCountryReader final : public IGeoIPCountryReader {
public:
    bool Open(const std::string& fileName) override { return !fileName.empty(); }
    void Close() override {}
    TGeoIPCountry LookupCountry(std::string_view address) const override {
        if (address == "192.0.2.10" || address == "192.0.2.99") return {true, "FR", "France"};
        return {};
    }
};

class FakeCityReader final : public IGeoIPCityReader {
public:
    bool Open(const std::string& fileName) override { return !fileName.empty(); }
    void Close() override {}
    TGeoIPCity LookupCity(std::string_view address) const override {
        if (address == "192.0.2.10") return {true, "FR", "France", "A8", "Paris"};
        if (address == "198.51.100.7") return {true, "US", "United States", "CA", "San Francisco"};
        return {};
    }
};

// Every field of a row on one line, so that a mismatch shows where it is.
std::string Describe(const TRecStat& r) {
    std::string text =
        r.Name.Str() + " | key " + std::to_string(r.Key) + " dur " + std::to_string(r.Duration) + " kind " +
        std::to_string(r.Kind) + " code " + std::to_string(r.Code) + " | " + std::to_string(r.Hits) + " hits " +
        std::to_string(r.Visits) + " visits " + std::to_string(r.Bytes) + " bytes " + std::to_string(r.Pages) +
        " pages " + std::to_string(r.NotModified) + "/" + std::to_string(r.Partial) + "/" + std::to_string(r.Errors) +
        " | ip " + std::to_string(r.IP) + " country " + std::to_string(r.Country) + " | days";
    for (const std::int32_t d : r.PerDay) text += " " + std::to_string(d);
    return text;
}

template <class Rows>
std::vector<std::string> DescribeAll(const Rows& rows) {
    std::vector<std::string> lines;
    for (const TRecStat& row : rows) lines.push_back(Describe(row));
    return lines;
}

class PassTest : public testing::Test {
protected:
    TBucketString Hosts, Users, URIs, Exts, Paths, Referrers, Browsers, OSs, Spiders;
    TLstSEType Engines;
    TLstRecLog Records;
    std::vector<std::int32_t> HostIPs;
    TStatistics Stats;
    std::vector<int> Progress;
    std::vector<std::string> Texts;
    bool CancelFlag = false;
    int CancelAfter = -1;  // progress value after which the user cancels
    std::uint64_t MemoryLimit = 0;

    TStatisticsPassInput Input() {
        // As the analysis numbers them: each host's own address, -1 for a name.
        HostIPs.clear();
        for (std::int32_t host = 0; host < Hosts.Count(); ++host) {
            const std::uint32_t ip = IPToLong(Hosts.GetString(host));
            HostIPs.push_back(ip == kIPNone ? -1 : static_cast<std::int32_t>(ip));
        }
        return {.Records = Records,
                .HostTable = Hosts,
                .HostIPs = HostIPs,
                .UserTable = Users,
                .URITable = URIs,
                .ExtTable = Exts,
                .PathTable = Paths,
                .ReferrerTable = Referrers,
                .BrowserTable = Browsers,
                .OSTable = OSs,
                .SpiderTable = Spiders,
                .SearchEngines = Engines,
                .CountryDbFile = "GeoIP.dat",
                .CityDbPath = "GeoIPCity.dat",
                .CountryReaderFactory = [] { return std::make_unique<FakeCountryReader>(); },
                .CityReaderFactory = [] { return std::make_unique<FakeCityReader>(); },
                .IsCancelled = [this] { return CancelFlag; },
                .Progress =
                    [this](int value, const std::string& text) {
                        Progress.push_back(value);
                        Texts.push_back(text);
                        if (value == CancelAfter) CancelFlag = true;
                    },
                .PerDayDocumentLimit = MemoryLimit};
    }
    bool Run() { return RunStatisticsPass(Input(), Stats); }

    static TRecLog HitAt(const char* date, const char* time) {
        THitTime parsed;
        EXPECT_TRUE(ParseW3CDateTime(date, time, 0, parsed));
        TRecLog rec;
        rec.SetTime(parsed);
        return rec;
    }
};

// The hand-made analysis: five hosts, nine visits, 24 hits over 2005-02-28 .. 2005-03-02.
class ScenarioTest : public PassTest {
protected:
    struct THostAttr {
        std::int32_t Browser, OS, Spider, User;
    };
    struct TURIAttr {
        std::int32_t Ext, Path;
        std::uint8_t Kind;
    };
    std::vector<THostAttr> HostAttrs = {{0, 0, 0, 0}, {1, 1, 0, 1}, {0, 0, 0, 2}, {2, 2, 1, 0}, {1, 0, 0, 0}};
    std::vector<TURIAttr> URIAttrs = {{0, 0, 2}, {1, 1, 4}, {0, 0, 2}, {0, 0, 2}, {2, 2, 2}};

    void SetUp() override {
        for (const char* t : {"192.0.2.10", "www.example.co.uk", "198.51.100.7", "proxy.co.uk", "192.0.2.99"})
            Hosts.AddString(t);
        for (const char* t : {"", "alice", "bob"}) Users.AddString(t);
        for (const char* t : {"/index.html", "/img/logo.gif", "/about.html", "/missing.html", "/scripts/fail.php"})
            URIs.AddString(t);
        for (const char* t : {"html", "gif", "php"}) Exts.AddString(t);
        for (const char* t : {"/", "/img/", "/scripts/"}) Paths.AddString(t);
        for (const char* t : {"", "http://www.google.com/search?q=Blue Widget&hl=en",
                              "http://www.example.org/links.html", "http://search.yahoo.com/search?p=blue tools"})
            Referrers.AddString(t);
        for (const char* t : {"MSIE 6.0", "Firefox 1.5", ""}) Browsers.AddString(t);
        for (const char* t : {"Windows XP", "Linux", ""}) OSs.AddString(t);
        for (const char* t : {"", "Googlebot"}) Spiders.AddString(t);
        Engines.Add({"google.", "q=", "", "", "Google"});
        Engines.Add({"search.yahoo.", "p=", "", "", "Yahoo"});

        // host, date, time, URI, status, bytes, referrer, visit, visit length, entry, exit
        Hit(0, "2005-02-28", "10:00:00", 0, 200, 1000, 1, 1, 301, true, false);
        Hit(0, "2005-02-28", "10:00:00", 1, 200, 500, 0, 1, 301, false, false);
        Hit(0, "2005-02-28", "10:05:00", 2, 200, 800, 0, 1, 301, false, true);
        Hit(0, "2005-02-28", "10:05:01", 1, 304, 0, 0, 1, 301, false, false);
        Hit(0, "2005-03-01", "09:00:00", 0, 200, 1000, 3, 2, 1810, true, false);
        Hit(0, "2005-03-01", "09:20:00", 3, 404, 300, 2, 2, 1810, false, false);
        Hit(0, "2005-03-01", "09:30:10", 0, 206, 400, 0, 2, 1810, false, true);
        Hit(1, "2005-02-28", "23:50:00", 0, 200, 1000, 2, 3, 1790, true, false);
        Hit(1, "2005-03-01", "00:10:00", 1, 200, 500, 0, 3, 1790, false, false);
        Hit(1, "2005-03-01", "00:19:50", 2, 200, 800, 0, 3, 1790, false, true);
        Hit(1, "2005-03-02", "12:00:00", 4, 500, 0, 1, 4, 30, true, false);
        Hit(1, "2005-03-02", "12:00:30", 4, 404, 0, 1, 4, 30, false, true);
        Hit(2, "2005-03-01", "09:00:00", 0, 200, 1000, 0, 5, 60, true, false);  // same second as host 0
        Hit(2, "2005-03-01", "09:00:00", 3, 404, 300, 0, 5, 60, false, false);
        Hit(2, "2005-03-01", "09:00:00", 1, 200, 500, 0, 5, 60, false, false);
        Hit(2, "2005-03-01", "09:01:00", 0, 200, 1000, 0, 5, 60, false, true);
        Hit(3, "2005-03-02", "03:00:00", 0, 200, 1000, 0, 6, 10, true, false);
        Hit(3, "2005-03-02", "03:00:05", 2, 200, 800, 0, 6, 10, false, true);
        Hit(3, "2005-03-02", "03:00:10", 1, 200, 500, 0, 6, 10, false, false);
        Hit(4, "2005-03-01", "14:00:00", 1, 200, 500, 0, 7, 0, false, false);
        Hit(4, "2005-03-01", "15:00:00", 0, 200, 1000, 1, 8, 0, true, true);
        Hit(4, "2005-03-02", "16:00:00", 2, 200, 800, 1, 9, 1200, true, false);
        Hit(4, "2005-03-02", "16:10:00", 0, 200, 1000, 0, 9, 1200, false, true);
        Hit(4, "2005-03-02", "16:20:00", 1, 200, 500, 0, 9, 1200, false, false);
        Stats.VisitCount = 9;
    }

    void Hit(int host, const char* date, const char* time, int uri, int status, std::int64_t bytes, int referrer,
             int visit, int length, bool entry, bool exit) {
        TRecLog rec = HitAt(date, time);
        const THostAttr& h = HostAttrs[static_cast<std::size_t>(host)];
        const TURIAttr& u = URIAttrs[static_cast<std::size_t>(uri)];
        rec.HostIdx = host;
        rec.BrowserIdx = h.Browser;
        rec.OSIdx = h.OS;
        rec.SpiderIdx = h.Spider;
        rec.UserIdx = h.User;
        rec.URIIdx = uri;
        rec.Kind = u.Kind;
        rec.IsPage = u.Kind == 2;
        rec.Status = status;
        rec.NotModified = status == 304;
        rec.Partial = status == 206;
        rec.IsError = status >= 400 && status <= 599;
        rec.Bytes = bytes;
        rec.ReferrerIdx = referrer;
        rec.VisitId = visit;
        rec.VisitDuration = length;
        rec.IsEntry = entry;
        rec.IsExit = exit;
        Records.Add(rec);
        Records.URIParts().Set(rec, {u.Ext, u.Path});
    }

    static std::int32_t IP(const char* text) { return static_cast<std::int32_t>(IPToLong(text)); }
    static TSeconds At(int month, int day, int h, int m, int s) { return EncodeDateTime(2005, month, day, h, m, s); }

    // Visit 3 runs from 23:50 on the first day to 00:19:50 on the second; a row holding hits
    // of both days counts it on whichever day the walk meets first.
    void ExpectRows(const TLstStat& list, std::vector<TRecStat> expected, std::set<std::string> midnight = {}) {
        std::vector<TRecStat> actual(list.begin(), list.end());
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            if (!midnight.contains(expected[i].Name.Str()) || actual[i].PerDay.size() != 3) continue;
            std::vector<std::int32_t> onFirst = expected[i].PerDay, onSecond = expected[i].PerDay;
            ++onFirst[0];
            ++onSecond[1];
            EXPECT_TRUE(actual[i].PerDay == onFirst || actual[i].PerDay == onSecond) << Describe(actual[i]);
            actual[i].PerDay = expected[i].PerDay;
        }
        EXPECT_EQ(DescribeAll(actual), DescribeAll(expected));
    }
};

TEST_F(ScenarioTest, EveryTableWorkedByHand) {
    ASSERT_TRUE(Run());
    EXPECT_EQ(Progress, kAllProgress);
    EXPECT_EQ(std::set<std::string>(Texts.begin(), Texts.end()), std::set<std::string>{"Processing statistics"});

    const TSeconds feb28 = StartOfDay(EncodeDate(2005, 2, 28));
    EXPECT_EQ(Stats.FirstHitTime, At(2, 28, 10, 0, 0));
    EXPECT_EQ(Stats.LastHitTime, At(3, 2, 16, 20, 0));
    EXPECT_EQ(Stats.FirstDay, DayOf(feb28));
    EXPECT_EQ(Stats.LastDay, DayOf(feb28) + 2);
    EXPECT_EQ(Stats.DaySpan, 3);

    EXPECT_EQ(Describe(Stats.Summary), Describe({.Duration = 5201,
                                                 .Hits = 24,
                                                 .Visits = 9,
                                                 .Bytes = 15200,
                                                 .Pages = 17,
                                                 .NotModified = 1,
                                                 .Partial = 1,
                                                 .Errors = 4}));

    const TRecStat day1{.Duration = 2091, .Hits = 5, .Visits = 2, .Bytes = 3300, .Pages = 3, .NotModified = 1};
    const TRecStat day2{
        .Duration = 3660, .Hits = 11, .Visits = 5, .Bytes = 7300, .Pages = 8, .Partial = 1, .Errors = 2};
    const TRecStat day3{.Duration = 1240, .Hits = 8, .Visits = 3, .Bytes = 4600, .Pages = 6, .Errors = 2};
    auto keyed = [](TRecStat row, TSeconds key) {
        row.Key = key;
        return row;
    };
    ExpectRows(Stats.StatByDay, {keyed(day1, feb28), keyed(day2, feb28 + 86400), keyed(day3, feb28 + 2 * 86400)});
    ExpectRows(Stats.StatByMon, {keyed(day1, StartOfDay(EncodeDate(2005, 2, 1))),
                                 {.Key = StartOfDay(EncodeDate(2005, 3, 1)),
                                  .Duration = 4900,
                                  .Hits = 19,
                                  .Visits = 8,
                                  .Bytes = 11900,
                                  .Pages = 14,
                                  .Partial = 1,
                                  .Errors = 4}});

    std::vector<TRecStat> hours(24);
    hours[0] = {.Duration = 1790, .Hits = 2, .Visits = 1, .Bytes = 1300, .Pages = 1};
    hours[3] = {.Duration = 10, .Hits = 3, .Visits = 1, .Bytes = 2300, .Pages = 2};
    hours[9] = {.Duration = 1870, .Hits = 7, .Visits = 2, .Bytes = 4500, .Pages = 6, .Partial = 1, .Errors = 2};
    hours[10] = {.Duration = 301, .Hits = 4, .Visits = 1, .Bytes = 2300, .Pages = 2, .NotModified = 1};
    hours[12] = {.Duration = 30, .Hits = 2, .Visits = 1, .Pages = 2, .Errors = 2};
    hours[14] = {.Hits = 1, .Visits = 1, .Bytes = 500};
    hours[15] = {.Hits = 1, .Visits = 1, .Bytes = 1000, .Pages = 1};
    hours[16] = {.Duration = 1200, .Hits = 3, .Visits = 1, .Bytes = 2300, .Pages = 2};
    hours[23] = {.Duration = 1790, .Hits = 1, .Visits = 1, .Bytes = 1000, .Pages = 1};
    EXPECT_EQ(DescribeAll(Stats.StatByHod), DescribeAll(hours));
    std::vector<TRecStat> weekdays(7);  // Monday, Tuesday, Wednesday
    weekdays[0] = day1, weekdays[1] = day2, weekdays[2] = day3;
    EXPECT_EQ(DescribeAll(Stats.StatByDow), DescribeAll(weekdays));
    std::vector<TRecStat> monthDays(31);
    monthDays[27] = day1, monthDays[0] = day2, monthDays[1] = day3;
    EXPECT_EQ(DescribeAll(Stats.StatByDom), DescribeAll(monthDays));

    const int fr = GetCountryIndex("fr"), gb = GetCountryIndex("uk");
    ASSERT_NE(fr * gb, 0);
    const TRecStat h0{.Name = "192.0.2.10",
                      .Key = At(3, 1, 9, 30, 10),
                      .Duration = 2111,
                      .Hits = 7,
                      .Visits = 2,
                      .Bytes = 4000,
                      .Pages = 5,
                      .NotModified = 1,
                      .Partial = 1,
                      .Errors = 1,
                      .IP = IP("192.0.2.10"),
                      .Country = fr,
                      .PerDay = {1, 1, 0}};
    const TRecStat h1{.Name = "www.example.co.uk",
                      .Key = At(3, 2, 12, 0, 30),
                      .Duration = 1820,
                      .Hits = 5,
                      .Visits = 2,
                      .Bytes = 2300,
                      .Pages = 4,
                      .Errors = 2,
                      .IP = -1,
                      .Country = gb,
                      .PerDay = {0, 0, 1}};  // and visit 3
    const TRecStat h2{.Name = "198.51.100.7",
                      .Key = At(3, 1, 9, 1, 0),
                      .Duration = 60,
                      .Hits = 4,
                      .Visits = 1,
                      .Bytes = 2800,
                      .Pages = 3,
                      .Errors = 1,
                      .IP = IP("198.51.100.7"),
                      .PerDay = {0, 1, 0}};
    const TRecStat h3{.Name = "proxy.co.uk",
                      .Key = At(3, 2, 3, 0, 10),
                      .Duration = 10,
                      .Hits = 3,
                      .Visits = 1,
                      .Bytes = 2300,
                      .Pages = 2,
                      .IP = -1,
                      .Country = gb,
                      .PerDay = {0, 0, 1}};
    const TRecStat h4{.Name = "192.0.2.99",
                      .Key = At(3, 2, 16, 20, 0),
                      .Duration = 1200,
                      .Hits = 5,
                      .Visits = 3,
                      .Bytes = 3800,
                      .Pages = 3,
                      .IP = IP("192.0.2.99"),
                      .Country = fr,
                      .PerDay = {0, 2, 1}};
    const std::set<std::string> midnight = {h1.Name.Str()};
    ExpectRows(Stats.StatByHost, {h0, h1, h2, h3, h4}, midnight);

    std::vector<TRecStat> nbVisit(15);
    nbVisit[0] = {.Duration = 70, .Hits = 7, .Visits = 2, .Bytes = 5100, .Pages = 5, .Errors = 1};
    nbVisit[1] = {.Duration = 3931,
                  .Hits = 12,
                  .Visits = 4,
                  .Bytes = 6300,
                  .Pages = 9,
                  .NotModified = 1,
                  .Partial = 1,
                  .Errors = 3};
    nbVisit[2] = {.Duration = 1200, .Hits = 5, .Visits = 3, .Bytes = 3800, .Pages = 3};
    EXPECT_EQ(DescribeAll(Stats.StatByNbVisit), DescribeAll(nbVisit));

    // Regrouped rows keep the first host's key, address and country.
    auto renamed = [](TRecStat row, std::string name) {
        row.Name = std::move(name);
        return row;
    };
    TRecStat coUk = renamed(h1, "co.uk");  // hosts 1 and 3; a domain keeps its first host's days
    coUk.Duration = 1830, coUk.Hits = 8, coUk.Visits = 3, coUk.Bytes = 4600, coUk.Pages = 6;
    ExpectRows(Stats.StatByDomain, {h0, h4, h2, coUk}, {"co.uk"});
    TRecStat numeric = renamed(h0, "");  // hosts 0, 2 and 4
    numeric.Duration = 3371, numeric.Hits = 16, numeric.Visits = 6, numeric.Bytes = 10600, numeric.Pages = 11;
    numeric.Errors = 2, numeric.PerDay = {1, 4, 1};
    TRecStat uk = renamed(coUk, "uk");
    uk.PerDay = {0, 0, 2};
    ExpectRows(Stats.StatByTld, {numeric, uk}, {"uk"});
    TRecStat france = renamed(h0, "fr");
    france.Duration = 3311, france.Hits = 12, france.Visits = 5, france.Bytes = 7800, france.Pages = 8;
    france.PerDay = {1, 3, 1};
    ExpectRows(Stats.StatByCountry, {renamed(h2, ""), france, renamed(uk, "gb")}, {"gb"});
    TRecStat europe = renamed(h0, "Europe");  // hosts 0, 1, 3 and 4
    europe.Duration = 5141, europe.Hits = 20, europe.Visits = 8, europe.Bytes = 12400, europe.Pages = 14;
    europe.Errors = 3, europe.PerDay = {1, 3, 3};
    ExpectRows(Stats.StatByRegion, {europe, renamed(h2, "None")}, {"Europe"});
    ExpectRows(Stats.StatByUSState, {renamed(h2, "California")});
    EXPECT_TRUE(Stats.StatByCAProv.Empty());
    EXPECT_TRUE(Stats.StatByCNProv.Empty());
    ExpectRows(Stats.StatByCity,
               {renamed(h0, "Paris, France"), renamed(h2, "San Francisco, California, United States")});

    auto plain = [](TRecStat row, std::string name) {  // a host's counters under another name
        row.Name = std::move(name);
        row.Key = 0, row.IP = 0, row.Country = 0;
        return row;
    };
    ExpectRows(Stats.StatByBrowser,
               {{.Name = "MSIE 6.0",
                 .Duration = 2171,
                 .Hits = 11,
                 .Visits = 3,
                 .Bytes = 6800,
                 .Pages = 8,
                 .NotModified = 1,
                 .Partial = 1,
                 .Errors = 2,
                 .PerDay = {1, 2, 0}},
                {.Name = "Firefox 1.5",
                 .Duration = 3020,
                 .Hits = 10,
                 .Visits = 5,
                 .Bytes = 6100,
                 .Pages = 7,
                 .Errors = 2,
                 .PerDay = {0, 2, 2}},
                plain(h3, "")},
               {"Firefox 1.5"});
    ExpectRows(Stats.StatByOS,
               {{.Name = "Windows XP",
                 .Duration = 3371,
                 .Hits = 16,
                 .Visits = 6,
                 .Bytes = 10600,
                 .Pages = 11,
                 .NotModified = 1,
                 .Partial = 1,
                 .Errors = 2,
                 .PerDay = {1, 4, 1}},
                plain(h1, "Linux"),
                plain(h3, "")},
               {"Linux"});
    ExpectRows(Stats.StatBySpider,
               {{.Name = "",
                 .Duration = 5191,
                 .Hits = 21,
                 .Visits = 8,
                 .Bytes = 12900,
                 .Pages = 15,
                 .NotModified = 1,
                 .Partial = 1,
                 .Errors = 4,
                 .PerDay = {1, 4, 2}},
                plain(h3, "Googlebot")},
               {""});
    TRecStat alice = plain(h1, "alice"), bob = plain(h2, "bob");
    alice.Duration = 0, bob.Duration = 0;
    ExpectRows(Stats.StatByUserName, {alice, bob}, {"alice"});

    std::vector<TRecStat> bands(11);
    bands[0] = {.Hits = 4, .Visits = 4};  // 30 s, 10 s, 0 s, 0 s
    bands[1] = {.Hits = 1, .Visits = 1};  // 60 s
    bands[2] = {.Hits = 1, .Visits = 1};  // 301 s
    bands[4] = {.Hits = 2, .Visits = 2};  // 29:50 and 20:00
    bands[5] = {.Hits = 1, .Visits = 1};  // 30:10
    EXPECT_EQ(DescribeAll(Stats.StatByLenVisit), DescribeAll(bands));

    ExpectRows(
        Stats.StatByAllFiles,
        {{.Name = "/index.html", .Kind = 2, .Hits = 9, .Visits = 7, .Bytes = 8400, .Partial = 1, .PerDay = {2, 3, 2}},
         {.Name = "/img/logo.gif",
          .Kind = 4,
          .Hits = 7,
          .Visits = 6,
          .Bytes = 3000,
          .NotModified = 1,
          .PerDay = {1, 3, 2}},
         {.Name = "/about.html", .Kind = 2, .Hits = 4, .Visits = 4, .Bytes = 3200, .PerDay = {1, 1, 2}},
         {.Name = "/missing.html", .Kind = 2, .Hits = 2, .Visits = 2, .Bytes = 600, .Errors = 2, .PerDay = {0, 2, 0}},
         {.Name = "/scripts/fail.php", .Kind = 2, .Hits = 2, .Visits = 1, .Errors = 2, .PerDay = {0, 0, 1}}});
    ExpectRows(Stats.StatByFileExt,
               {{.Name = "html", .Kind = 2, .Hits = 15, .Bytes = 12200, .Partial = 1, .Errors = 2, .PerDay = {3, 8, 4}},
                {.Name = "gif", .Kind = 4, .Hits = 7, .Bytes = 3000, .NotModified = 1, .PerDay = {2, 3, 2}},
                {.Name = "php", .Kind = 2, .Hits = 2, .Errors = 2, .PerDay = {0, 0, 2}}});
    ExpectRows(Stats.StatByFileDir,
               {{.Name = "/", .Hits = 15, .Visits = 7, .Bytes = 12200, .Partial = 1, .Errors = 2, .PerDay = {1, 3, 2}},
                {.Name = "/img/", .Hits = 7, .Visits = 6, .Bytes = 3000, .NotModified = 1, .PerDay = {1, 3, 2}},
                {.Name = "/scripts/", .Hits = 2, .Visits = 1, .Errors = 2, .PerDay = {0, 0, 1}}},
               {"/"});
    ExpectRows(Stats.StatByFileType,
               {{.Kind = 2, .Hits = 17, .Bytes = 12200, .Partial = 1, .Errors = 4, .PerDay = {3, 8, 6}},
                {.Kind = 4, .Hits = 7, .Bytes = 3000, .NotModified = 1, .PerDay = {2, 3, 2}}});
    ExpectRows(Stats.StatByTopIn, {{.Name = "/index.html", .Hits = 6, .Visits = 6, .PerDay = {2, 3, 1}},
                                   {.Name = "/about.html", .Hits = 1, .Visits = 1, .PerDay = {0, 0, 1}},
                                   {.Name = "/scripts/fail.php", .Hits = 1, .Visits = 1, .PerDay = {0, 0, 1}}});
    ExpectRows(Stats.StatByTopOut, {{.Name = "/index.html", .Hits = 4, .Visits = 4, .PerDay = {0, 3, 1}},
                                    {.Name = "/about.html", .Hits = 3, .Visits = 3, .PerDay = {1, 1, 1}},
                                    {.Name = "/scripts/fail.php", .Hits = 1, .Visits = 1, .PerDay = {0, 0, 1}}});

    const std::string google(Referrers.GetString(1)), example(Referrers.GetString(2)), yahoo(Referrers.GetString(3));
    const TRecStat noRef{.Hits = 16,
                         .Visits = 7,
                         .Bytes = 10100,
                         .Pages = 9,
                         .NotModified = 1,
                         .Partial = 1,
                         .Errors = 1,
                         .PerDay = {1, 4, 2}};
    const TRecStat googleRef{
        .Name = google, .Hits = 5, .Visits = 4, .Bytes = 2800, .Pages = 5, .Errors = 2, .PerDay = {1, 1, 2}};
    const TRecStat exampleRef{
        .Name = example, .Hits = 2, .Visits = 2, .Bytes = 1300, .Pages = 2, .Errors = 1, .PerDay = {1, 1, 0}};
    const TRecStat yahooRef{.Name = yahoo, .Hits = 1, .Visits = 1, .Bytes = 1000, .Pages = 1, .PerDay = {0, 1, 0}};
    ExpectRows(Stats.StatByRefPage, {noRef, googleRef, exampleRef, yahooRef});
    ExpectRows(Stats.StatByRefDomain, {noRef, renamed(yahooRef, "search.yahoo.com"),
                                       renamed(exampleRef, "www.example.org"), renamed(googleRef, "www.google.com")});
    ExpectRows(Stats.StatByRefSE, {renamed(googleRef, "Google"), renamed(yahooRef, "Yahoo")});
    ExpectRows(Stats.StatByRefSEP, {renamed(yahooRef, "blue tools"), renamed(googleRef, "blue widget")});
    TRecStat blue = renamed(googleRef, "blue");
    blue.Hits = 6, blue.Visits = 5, blue.Bytes = 3800, blue.Pages = 6, blue.PerDay = {1, 2, 2};
    ExpectRows(Stats.StatByRefSEK, {blue, renamed(yahooRef, "tools"), renamed(googleRef, "widget")});
    ExpectRows(Stats.StatByRefSESEP,
               {renamed(googleRef, "Google\tblue widget"), renamed(yahooRef, "Yahoo\tblue tools")});
    ExpectRows(Stats.StatByRefSESEK, {renamed(googleRef, "Google\tblue"), renamed(googleRef, "Google\twidget"),
                                      renamed(yahooRef, "Yahoo\tblue"), renamed(yahooRef, "Yahoo\ttools")});

    ExpectRows(Stats.StatByStatus, {{.Code = 200, .Hits = 18, .PerDay = {4, 8, 6}},
                                    {.Code = 206, .Hits = 1, .PerDay = {0, 1, 0}},
                                    {.Code = 304, .Hits = 1, .PerDay = {1, 0, 0}},
                                    {.Code = 404, .Hits = 3, .PerDay = {0, 2, 1}},
                                    {.Code = 500, .Hits = 1, .PerDay = {0, 0, 1}}});
    // One URL from two referrers, and one URL and referrer with two statuses: four rows.
    ExpectRows(Stats.StatByErr, {{.Name = "/missing.html\t", .Code = 404, .Hits = 1},
                                 {.Name = "/missing.html\t" + example, .Code = 404, .Hits = 1},
                                 {.Name = "/scripts/fail.php\t" + google, .Code = 404, .Hits = 1},
                                 {.Name = "/scripts/fail.php\t" + google, .Code = 500, .Hits = 1}});

    // The day-span guard's estimate bounds what the daily arrays really took.
    std::uint64_t perDayBytes = 0;
    for (const TLstStat* list : Stats.AllLists())
        for (const TRecStat& row : *list) perDayBytes += row.PerDay.size() * sizeof(std::int32_t);
    EXPECT_GT(perDayBytes, 0u);
    EXPECT_LE(perDayBytes, EstimatePerDayBytes(Input(), Stats.DaySpan));
}

TEST_F(ScenarioTest, CancelDuringHostStepKeepsTheStepsDone) {
    TStatistics complete;
    {
        TLstRecLog copy = Records;
        ASSERT_TRUE(RunStatisticsPass(Input(), complete));
        Records = copy;
    }
    Progress.clear();
    CancelAfter = 31;  // the host step's report; the user pressed Cancel while it ran
    EXPECT_FALSE(Run());
    EXPECT_EQ(Progress, std::vector<int>(kAllProgress.begin(), kAllProgress.begin() + 9));
    EXPECT_EQ(Stats.StatByDay, complete.StatByDay);
    EXPECT_EQ(Stats.StatByMon, complete.StatByMon);
    EXPECT_EQ(Stats.StatByHost.Count(), 5u);
    EXPECT_TRUE(Stats.StatByBrowser.Empty());
    EXPECT_TRUE(Stats.StatByDomain.Empty());
    EXPECT_TRUE(Stats.StatByErr.Empty());
    for (const TRecStat& row : Stats.StatByLenVisit) EXPECT_EQ(row.Hits, 0);

    Progress.clear();
    TStatistics untouched;
    CancelFlag = true;  // cancelled before the pass starts
    EXPECT_FALSE(RunStatisticsPass(Input(), untouched));
    EXPECT_TRUE(Progress.empty());
    EXPECT_EQ(untouched, TStatistics{});
}

TEST_F(PassTest, NoHitsReportsEveryStepAndLeavesEverythingEmpty) {
    EXPECT_TRUE(Run());
    EXPECT_EQ(Progress, kAllProgress);
    EXPECT_EQ(Stats, TStatistics{});
}

TEST_F(PassTest, VisitsCountOncePerRow) {
    URIs.AddString("/a");
    URIs.AddString("/b");
    for (const auto& [uri, time] :
         std::vector<std::pair<int, const char*>>{{0, "10:00:00"}, {0, "10:01:00"}, {1, "10:02:00"}}) {
        TRecLog rec = HitAt("2005-03-01", time);
        rec.URIIdx = uri;
        rec.VisitId = 1;
        Records.Add(rec);
    }
    Stats.VisitCount = 1;
    ASSERT_TRUE(Run());
    EXPECT_EQ(Stats.Summary.Hits, 3);
    EXPECT_EQ(Stats.Summary.Visits, 1);
    ASSERT_EQ(Stats.StatByAllFiles.Count(), 2u);
    EXPECT_EQ(Stats.StatByAllFiles[0].Hits, 2);
    EXPECT_EQ(Stats.StatByAllFiles[0].Visits, 1);
    EXPECT_EQ(Stats.StatByAllFiles[0].PerDay, std::vector<std::int32_t>{1});
    EXPECT_EQ(Stats.StatByAllFiles[1].Visits, 1);
}

TEST_F(PassTest, VisitCountAndLengthBands) {
    Hosts.AddString("busy.example.com");
    // Twenty visits of one host, one hit each, with lengths at every band edge.
    const std::vector<std::pair<std::int32_t, int>> lengths = {
        {0, 1},    {59, 1},   {60, 2},   {299, 2},  {300, 3},    {599, 3},   {600, 4},
        {1199, 4}, {1200, 5}, {1790, 5}, {1799, 5}, {1800, 6},   {1810, 6},  {2699, 6},
        {2700, 7}, {3599, 7}, {5400, 9}, {7199, 9}, {10799, 10}, {10800, 11}};
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        TRecLog rec = HitAt("2005-03-01", "10:00:00");
        rec.VisitId = static_cast<std::int32_t>(i) + 1;
        rec.VisitDuration = lengths[i].first;
        Records.Add(rec);
    }
    Stats.VisitCount = static_cast<std::int32_t>(lengths.size());
    ASSERT_TRUE(Run());
    std::vector<std::int32_t> expected(11, 0), actual;
    for (const auto& [length, band] : lengths) ++expected[static_cast<std::size_t>(band - 1)];
    for (const TRecStat& row : Stats.StatByLenVisit) actual.push_back(row.Visits);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(Stats.StatByNbVisit[15].Visits, 20);
    EXPECT_EQ(Stats.StatByNbVisit[15].Hits, 20);
    for (int band = 1; band < 15; ++band) EXPECT_EQ(Stats.StatByNbVisit[band].Hits, 0) << band;
}

TEST_F(PassTest, VisitIdsOutsideTheVisitCountStayInBounds) {
    for (const std::int32_t id : {-1, 0, 7, 7, 40}) {
        TRecLog rec = HitAt("2005-03-01", "10:00:00");
        rec.VisitId = id;
        Records.Add(rec);
    }
    Stats.VisitCount = 2;  // fewer than the ids say
    ASSERT_TRUE(Run());
    EXPECT_EQ(Stats.Summary.Visits, 4);
    EXPECT_EQ(Stats.StatByHost[0].Visits, 4);
}

// Hits in 1900 and in 9999: the widest span a log can give. Rows keep only the days they
// have hits on; a saved document still holds every day densely and reads back the same.
TEST_F(PassTest, FarApartDatesKeepOnlyTheDaysWithHits) {
    Hosts.AddString("old.example.com");
    Hosts.AddString("new.example.com");
    URIs.AddString("/a.html");
    Referrers.AddString("http://x.example/");
    TRecLog first = HitAt("1900-01-01", "10:00:00");
    first.VisitId = 1;
    TRecLog last = HitAt("9999-12-31", "10:00:00");
    last.HostIdx = 1;
    last.VisitId = 2;
    Records.Add(first);
    Records.Add(last);
    Stats.VisitCount = 2;
    ASSERT_TRUE(Run());
    ASSERT_EQ(Stats.DaySpan, Stats.LastDay - Stats.FirstDay + 1);
    EXPECT_GT(Stats.DaySpan, 2900000);

    std::size_t daily = 0;
    std::uint64_t denseBytes = 0;
    for (const TLstStat* list : Stats.AllLists())
        for (const TRecStat& row : *list) {
            if (row.PerDay.empty()) continue;
            ++daily;
            denseBytes += row.PerDay.size() * sizeof(std::int32_t);
            EXPECT_EQ(row.PerDay.size(), static_cast<std::size_t>(Stats.DaySpan)) << row.Name;
            EXPECT_LE(row.PerDay.Entries().size(), 2u) << row.Name;
            // Domains keep their first host's days, so a count can fall short of the hits.
            EXPECT_GE(row.PerDay.At(0) + row.PerDay.At(Stats.DaySpan - 1), 1) << row.Name;
            EXPECT_LE(row.PerDay.At(0) + row.PerDay.At(Stats.DaySpan - 1), row.Hits) << row.Name;
        }
    EXPECT_GT(daily, 5u);
    const TRecStat& oldHost = Stats.StatByHost[0];
    ASSERT_EQ(oldHost.PerDay.Entries().size(), 1u);
    EXPECT_EQ(oldHost.PerDay.Entries()[0], (TDayCounts::TEntry{0, 1}));

    test::TestFolder folder;
    const std::string path = folder.file("far.bnl");
    ASSERT_TRUE(SaveAnalysisDocument(path, TProfile{}, 0, Stats));
    EXPECT_GT(std::filesystem::file_size(path), denseBytes);
    TProfile profile;
    TSeconds analysisTime = 0;
    TStatistics loaded;
    int code = -1;
    ASSERT_TRUE(LoadAnalysisDocument(path, profile, analysisTime, loaded, code, {}));
    EXPECT_EQ(loaded.DaySpan, Stats.DaySpan);
    for (std::size_t i = 0; i < kStatListCount; ++i) EXPECT_TRUE(*loaded.AllLists()[i] == *Stats.AllLists()[i]) << i;
}

TEST_F(PassTest, DaySpanGuard) {
    TRecLog first = HitAt("2005-03-01", "10:00:00");
    first.VisitId = 1;
    TRecLog last = first;
    last.Time = StartOfDay(first.DayNo() + 36524250) + 3600;  // 100,000 years on
    last.VisitId = 2;
    Records.Add(first);
    Records.Add(last);
    Stats.VisitCount = 2;
    try {
        Run();
        FAIL() << "no error";
    } catch (const ELogConvert& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(FormatDateText(first.Time)), std::string::npos) << message;
        EXPECT_NE(message.find(FormatDateText(last.Time)), std::string::npos) << message;
    }
    EXPECT_EQ(Progress, (std::vector<int>{3, 6}));  // stopped in step 3, before any daily array
    for (const TLstStat* list : Stats.AllLists()) EXPECT_TRUE(list->Empty());

    // A plausible span fails only against a document limit the caller sets.
    Records.Clear();
    Records.Add(first);
    last = HitAt("2005-03-11", "10:00:00");
    Records.Add(last);
    Hosts.AddString("h");
    MemoryLimit = EstimatePerDayBytes(Input(), 11) - 1;
    Stats = {};
    EXPECT_THROW(Run(), ELogConvert);
    MemoryLimit += 1;
    Stats = {};
    Progress.clear();
    EXPECT_TRUE(Run());
    EXPECT_EQ(Stats.DaySpan, 11);
}

// Random hits against a plain reference built with maps and sets. Each visit stays on one
// day and one host, so the daily visit counts do not depend on the walk order.
TEST_F(PassTest, MatchesAPlainReferenceOnRandomHits) {
    std::mt19937 rng(7);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 40; ++i) {
        Hosts.AddString("h" + std::to_string(i));
        URIs.AddString("/u" + std::to_string(i));
        Referrers.AddString("r" + std::to_string(i));
    }
    for (int i = 0; i < 4; ++i) Browsers.AddString("b" + std::to_string(i));
    const int visits = 300;
    const TSeconds start = EncodeDateTime(2005, 3, 1, 0, 0, 0);
    for (int visit = 1; visit <= visits; ++visit) {
        const int host = any(0, 39), day = any(0, 20), length = any(0, 3000), hits = any(1, 6);
        for (int h = 0; h < hits; ++h) {
            TRecLog rec;
            rec.Time = start + day * kSecondsPerDay + any(0, 80000);
            rec.HostIdx = host;
            rec.URIIdx = any(0, 39);
            rec.ReferrerIdx = any(0, 39);
            rec.BrowserIdx = any(0, 3);
            rec.Status = any(0, 3) == 0 ? 404 : 200;
            rec.IsError = rec.Status == 404;
            rec.Bytes = any(0, 100000);
            rec.IsPage = any(0, 1);
            rec.VisitId = visit;
            rec.VisitDuration = length;
            Records.Add(rec);
        }
    }
    Stats.VisitCount = visits;
    std::vector<TRecLog> hits(Records.begin(), Records.end());
    ASSERT_TRUE(Run());

    struct TRef {
        std::int32_t Hits = 0;
        std::int64_t Bytes = 0, Duration = 0;
        std::set<std::int32_t> Visits;
        std::map<std::int32_t, std::set<std::int32_t>> DayVisits;
    };
    auto reference = [&](auto keyOf, bool durations) {
        std::map<std::int32_t, TRef> ref;
        for (const TRecLog& rec : hits) {
            TRef& r = ref[keyOf(rec)];
            ++r.Hits;
            r.Bytes += rec.Bytes;
            if (r.Visits.insert(rec.VisitId).second && durations) r.Duration += rec.VisitDuration;
            r.DayVisits[rec.DayNo() - Stats.FirstDay].insert(rec.VisitId);
        }
        return ref;
    };
    auto expectCounts = [](const TRecStat& row, const TRef& r) {
        EXPECT_EQ(row.Hits, r.Hits);
        EXPECT_EQ(row.Bytes, r.Bytes);
        EXPECT_EQ(row.Visits, static_cast<std::int32_t>(r.Visits.size()));
        EXPECT_EQ(row.Duration, r.Duration);
    };
    auto check = [&](const TLstStat& list, auto keyOf, const TBucketString& names, bool durations) {
        const auto ref = reference(keyOf, durations);
        ASSERT_EQ(list.Count(), ref.size());
        std::size_t i = 0;
        for (const auto& [key, r] : ref) {
            const TRecStat& row = list[i++];
            EXPECT_EQ(row.Name, names.GetString(key));
            expectCounts(row, r);
            std::vector<std::int32_t> days(static_cast<std::size_t>(Stats.DaySpan), 0);
            for (const auto& [day, ids] : r.DayVisits)
                days[static_cast<std::size_t>(day)] = static_cast<std::int32_t>(ids.size());
            EXPECT_EQ(row.PerDay, days) << row.Name;
        }
    };
    check(
        Stats.StatByHost, [](const TRecLog& r) { return r.HostIdx; }, Hosts, true);
    check(
        Stats.StatByAllFiles, [](const TRecLog& r) { return r.URIIdx; }, URIs, false);
    check(
        Stats.StatByRefPage, [](const TRecLog& r) { return r.ReferrerIdx; }, Referrers, false);
    check(
        Stats.StatByBrowser, [](const TRecLog& r) { return r.BrowserIdx; }, Browsers, true);
    // A visit's hits come back to an hour after others: it still counts once there.
    auto checkFixed = [&](const auto& table, auto keyOf) {
        std::int32_t total = 0;
        for (const TRecStat& row : table) total += row.Hits;
        EXPECT_EQ(total, static_cast<std::int32_t>(hits.size()));
        for (const auto& [key, r] : reference(keyOf, true)) expectCounts(table[key], r);
    };
    checkFixed(Stats.StatByHod, [](const TRecLog& r) { return r.Hour(); });
    checkFixed(Stats.StatByDow, [](const TRecLog& r) { return r.DayOfWeek(); });
    checkFixed(Stats.StatByDom, [](const TRecLog& r) { return r.Day(); });

    std::map<std::pair<std::int32_t, std::string>, std::int32_t> errors;
    for (const TRecLog& rec : hits)
        if (rec.IsError)
            ++errors[{rec.Status, std::string(URIs.GetString(rec.URIIdx)) + '\t' +
                                      std::string(Referrers.GetString(rec.ReferrerIdx))}];
    ASSERT_EQ(Stats.StatByErr.Count(), errors.size());
    std::size_t i = 0;
    for (const auto& [key, count] : errors) {
        EXPECT_EQ(Stats.StatByErr[i].Code, key.first);
        EXPECT_EQ(Stats.StatByErr[i].Name, key.second);
        EXPECT_EQ(Stats.StatByErr[i++].Hits, count);
    }
}

// Error rows come in the order of their status and joined name, compared byte for byte;
// triples whose joined names meet through a TAB in the texts make one row.
TEST_F(PassTest, ErrorRowsMergeJoinedNamesThatMeet) {
    for (const char* uri : {"/m\tq", "/m", "/m\x01", "/n"}) URIs.AddString(uri);
    for (const char* referrer : {"z", "q\tz", ""}) Referrers.AddString(referrer);
    Hosts.AddString("h");
    const TSeconds start = EncodeDateTime(2005, 3, 1, 0, 0, 0);
    // status, URL, referrer
    const std::vector<std::array<std::int32_t, 3>> hits = {{404, 0, 0}, {404, 1, 1}, {404, 1, 1}, {500, 2, 2},
                                                           {404, 2, 2}, {404, 3, 0}, {403, 3, 2}, {404, 0, 0}};
    std::int32_t visit = 0;
    for (const auto& [status, uri, referrer] : hits) {
        TRecLog rec;
        rec.Time = start + visit;
        rec.URIIdx = uri;
        rec.ReferrerIdx = referrer;
        rec.Status = static_cast<std::int16_t>(status);
        rec.IsError = true;
        rec.VisitId = ++visit;
        Records.Add(rec);
    }
    Stats.VisitCount = visit;
    ASSERT_TRUE(Run());
    const std::vector<TRecStat> expected = {{.Name = "/n\t", .Code = 403, .Hits = 1},
                                            {.Name = "/m\x01\t", .Code = 404, .Hits = 1},
                                            {.Name = "/m\tq\tz", .Code = 404, .Hits = 4},
                                            {.Name = "/n\tz", .Code = 404, .Hits = 1},
                                            {.Name = "/m\x01\t", .Code = 500, .Hits = 1}};
    EXPECT_EQ(DescribeAll(std::vector<TRecStat>(Stats.StatByErr.begin(), Stats.StatByErr.end())),
              DescribeAll(expected));
}

// The search lists against a plain reference: every referring page row read with the
// engine list itself, one row copy per name written out, regrouped by those names. The
// engines' names hold a TAB, a byte below it and one another's beginnings; enough pages
// for the step to read them in several parts.
TEST_F(PassTest, SearchListsMatchARegroupOfWrittenOutNames) {
    Engines.Add({"google.", "q=", "", "", "Google"});
    Engines.Add({"google.com/images", "q=", "", "", "Google Images"});
    Engines.Add({"bing.", "q=", "", "", "Go\x01"});
    Engines.Add({"yahoo.", "p=", "", "", "a\tb"});
    Engines.Add({"ask.", "q=", "", "", "a"});
    Engines.Add({"aol.", "query=", "", "", "Google"});
    Engines.Add({"nameless.", "q=", "", "", ""});
    std::mt19937 rng(5);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::string hosts[] = {"www.google.com/search", "www.google.com/images", "www.bing.com/search",
                                 "search.yahoo.com/s",    "www.ask.com/web",       "search.aol.com/aol",
                                 "nameless.org/",         "www.example.org/page"};
    const std::string words[] = {"Blue", "widget", "", "b", "cache:x", "ab\tc", "widgets", "\"quoted&x\"", "tab\tb"};
    for (int i = 0; i < 9000; ++i) {
        const std::string& host = hosts[static_cast<std::size_t>(any(0, 7))];
        std::string phrase;
        for (int n = any(1, 3); n > 0; --n)
            phrase +=
                (phrase.empty() ? "" : (any(0, 3) == 0 ? "  " : " ")) + words[static_cast<std::size_t>(any(0, 8))];
        const std::string key = host.starts_with("search.yahoo") ? "p="
                                : host.starts_with("search.aol") ? "query="
                                                                 : "q=";
        Referrers.AddString("http://" + host + "?" + key + phrase + "&n=" + std::to_string(i));
    }
    const TSeconds start = EncodeDateTime(2005, 3, 1, 0, 0, 0);
    for (int i = 0; i < 12000; ++i) {
        TRecLog rec;
        rec.Time = start + any(0, 20) * kSecondsPerDay + any(0, 80000);
        rec.ReferrerIdx = i < 9000 ? i : any(0, 8999);
        rec.VisitId = any(1, 500);
        rec.Bytes = any(0, 1000);
        Records.Add(rec);
    }
    Stats.VisitCount = 500;
    // A matcher kept from a run before serves only the list it was made for.
    TLstSEType others;
    others.Add({"www.", "q=", "", "", "Other"});
    const TSearchEngineMatcher forThese(Engines);
    const TSearchEngineMatcher forOthers(others);
    struct TRun {
        int Threads;
        const TSearchEngineMatcher* Kept;
    };
    for (const TRun run : {TRun{1, nullptr}, TRun{4, nullptr}, TRun{4, &forThese}, TRun{1, &forOthers}}) {
        SCOPED_TRACE(std::to_string(run.Threads) + (run.Kept == &forOthers ? " kept for other engines" : ""));
        Stats = TStatistics{};
        Stats.VisitCount = 500;
        TStatisticsPassInput input = Input();
        input.Threads = run.Threads;
        input.SearchEngineMatcher = run.Kept;
        ASSERT_TRUE(RunStatisticsPass(input, Stats));
        const TLstStat& pages = Stats.StatByRefPage;
        ASSERT_EQ(pages.Count(), 9000u);
        std::vector<TRegroupRow> engines, phrases, keywords, enginePhrases, engineKeywords;
        THostReferrerHelper helper;
        for (std::size_t i = 0; i < pages.Count(); ++i) {
            helper.ExtractSearchPhrase(pages[i].Name, Engines);
            if (helper.SearchEngine.empty()) continue;
            engines.push_back({helper.SearchEngine, i});
            phrases.push_back({helper.SearchPhrase, i});
            enginePhrases.push_back({helper.SearchEngine + '\t' + helper.SearchPhrase, i});
            for (const std::string& keyword : helper.Keywords) {
                keywords.push_back({keyword, i});
                engineKeywords.push_back({helper.SearchEngine + '\t' + keyword, i});
            }
        }
        TStatistics expected;
        RegroupRows(pages, engines, expected.StatByRefSE, true);
        RegroupRows(pages, phrases, expected.StatByRefSEP, true);
        RegroupRows(pages, keywords, expected.StatByRefSEK, true);
        RegroupRows(pages, enginePhrases, expected.StatByRefSESEP, false);
        RegroupRows(pages, engineKeywords, expected.StatByRefSESEK, false);
        EXPECT_GT(expected.StatByRefSESEK.Count(), 20u);
        EXPECT_EQ(DescribeAll(Stats.StatByRefSE), DescribeAll(expected.StatByRefSE));
        EXPECT_EQ(DescribeAll(Stats.StatByRefSEP), DescribeAll(expected.StatByRefSEP));
        EXPECT_EQ(DescribeAll(Stats.StatByRefSEK), DescribeAll(expected.StatByRefSEK));
        EXPECT_EQ(DescribeAll(Stats.StatByRefSESEP), DescribeAll(expected.StatByRefSESEP));
        EXPECT_EQ(DescribeAll(Stats.StatByRefSESEK), DescribeAll(expected.StatByRefSESEK));
        std::vector<TRegroupRow> sites;
        for (std::size_t i = 0; i < pages.Count(); ++i) {
            helper.ExtractReferrerSite(pages[i].Name);
            sites.push_back({helper.ReferrerSite, i});
        }
        RegroupRows(pages, sites, expected.StatByRefDomain, true);
        EXPECT_EQ(DescribeAll(Stats.StatByRefDomain), DescribeAll(expected.StatByRefDomain));
    }
}

}  // namespace

// The statistics pass gives one result however it runs: all steps on the calling thread or
// side by side on workers, each grouping step sorting and walking the records or reading
// them once in stored order. Generated record sets hold what makes the ways differ if any
// of them is wrong: visits that change host or length mid-way, a URL whose hits differ in
// kind, records out of time order, odd visit ids, keys beyond the tables, wide keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "engine/GeoHelpers_u.h"
#include "engine/LogConvert_time.h"
#include "engine/StatisticsPass_pass.h"
#include "engine/StatisticsPass_u.h"

using namespace brindle;

namespace {

class FakeCountryReader final : public IGeoIPCountryReader {
public:
    bool Open(const std::string& fileName) override { return !fileName.empty(); }
    void Close() override {}
    TGeoIPCountry LookupCountry(std::string_view address) const override {
        if (address.ends_with('1')) return {true, "FR", "France"};
        if (address.ends_with('2')) return {true, "DE", "Germany"};
        return {};
    }
};

class FakeCityReader final : public IGeoIPCityReader {
public:
    bool Open(const std::string& fileName) override { return !fileName.empty(); }
    void Close() override {}
    TGeoIPCity LookupCity(std::string_view address) const override {
        if (address.ends_with('3')) return {true, "US", "United States", "CA", "San Francisco"};
        if (address.ends_with('4')) return {true, "CN", "China", "22", "Beijing"};
        return {};
    }
};

struct TShape {
    std::uint32_t Seed = 1;
    int Visits = 1000;
    bool VisitsChangeHost = false;  // some visits go on under another host
    std::vector<std::int32_t> OddIds{};  // visit ids some hits get instead of their own
    bool WideKeys = false;  // statuses below 0, referrer indices far beyond the table
};

// The tables and records a pass reads, and the ways to run it.
class TPassData {
public:
    explicit TPassData(const TShape& shape) { Generate(shape); }

    struct TOutcome {
        TStatistics Stats;
        std::vector<int> Progress;
        bool Completed = false;
        std::string Error;
        int RecordsReadCalls = 0;
    };

    struct TRunMode {
        int Threads = 1;
        bool AlwaysSort = false;
        int CancelAfterStep = 0;  // 0: never
        bool CountryFails = false;  // the country database cannot be read (step 10 throws)
        std::size_t HitsPerPart = 0;
        bool FreeRecordsWhenRead = false;  // the pass's copy of the records, freed when it says so
    };

    TOutcome Run(const TRunMode& mode) {
        TOutcome out;
        out.Stats.VisitCount = VisitCount;
        bool cancelled = false;
        const int cancelValue = mode.CancelAfterStep * 100 / kStatisticsStepCount;
        TLstRecLog records = Records;
        try {
            out.Completed = RunStatisticsPass({.Records = records,
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
                                               .CountryReaderFactory = [&]() -> std::unique_ptr<IGeoIPCountryReader> {
                                                   if (mode.CountryFails)
                                                       throw std::runtime_error("country database unreadable");
                                                   return std::make_unique<FakeCountryReader>();
                                               },
                                               .CityReaderFactory = [] { return std::make_unique<FakeCityReader>(); },
                                               .IsCancelled = [&] { return cancelled; },
                                               .Progress =
                                                   [&](int value, const std::string&) {
                                                       out.Progress.push_back(value);
                                                       if (mode.CancelAfterStep == 0 || value != cancelValue) return;
                                                       // The user is slow to press Cancel: the workers run well ahead.
                                                       if (mode.Threads != 1)
                                                           std::this_thread::sleep_for(std::chrono::milliseconds(30));
                                                       cancelled = true;
                                                   },
                                               .Threads = mode.Threads,
                                               .AlwaysSort = mode.AlwaysSort,
                                               .HitsPerPart = mode.HitsPerPart,
                                               .RecordsRead =
                                                   [&] {
                                                       ++out.RecordsReadCalls;
                                                       if (mode.FreeRecordsWhenRead) records = {};
                                                   }},
                                              out.Stats);
        } catch (const std::exception& e) {
            out.Error = e.what();
        }
        return out;
    }

    std::size_t HitCount() const { return Records.Count(); }

private:
    void Generate(const TShape& shape);

    TBucketString Hosts, Users, URIs, Exts, Paths, Referrers, Browsers, OSs, Spiders;
    TLstSEType Engines;
    std::vector<std::int32_t> HostIPs;
    TLstRecLog Records;
    std::int32_t VisitCount = 0;
};

void TPassData::Generate(const TShape& shape) {
    std::mt19937 rng(shape.Seed);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto chance = [&](int percent) { return any(1, 100) <= percent; };
    const auto text = [](const char* head, int i) { return std::string(head) + std::to_string(i); };

    TOptions options;
    options.LoadDefaults();
    Engines = options.SEs;

    constexpr int kHosts = 400, kURIs = 700, kExts = 12, kPaths = 40;
    constexpr std::array kStatuses = {200, 200, 200, 304, 206, 404, 500};
    for (int i = 0; i < kHosts; ++i)
        Hosts.AddString(i % 3 == 0 ? text("host", i) + ".example.co.uk" : "192.0.2." + std::to_string(i % 250));
    // Numeric hosts name their address; of the others some were resolved from one, and the
    // last few hosts lie beyond the list.
    for (std::int32_t host = 0; host + 10 < Hosts.Count(); ++host) {
        std::uint32_t address = IPToLong(Hosts.GetString(host));
        if (address == kIPNone && host % 2 == 0) address = IPToLong("198.51.100." + std::to_string(host % 10));
        HostIPs.push_back(static_cast<std::int32_t>(address));
    }
    for (const char* user : {"", "alice", "bob", "carol"}) Users.AddString(user);
    for (int i = 0; i < kURIs; ++i) URIs.AddString(text("/dir", i % kPaths) + text("/page", i) + ".html");
    for (int i = 0; i < kExts; ++i) Exts.AddString(text("e", i));
    for (int i = 0; i < kPaths; ++i) Paths.AddString(text("/dir", i) + "/");
    for (int i = 0; i < 6; ++i) Browsers.AddString(text("Browser ", i));
    for (int i = 0; i < 4; ++i) OSs.AddString(text("OS ", i));
    for (const char* spider : {"", "Googlebot", "Slurp"}) Spiders.AddString(spider);
    // Enough referrers for the search step to work in several parts, many of them searches
    // sharing engines, phrases and keywords.
    const std::vector<std::string> words = {"blue", "widget", "Cheap", "tools", " garden ", "cache:x", ""};
    Referrers.AddString("");
    for (int i = 1; Referrers.Count() < 12000; ++i) {
        const std::string phrase = words[static_cast<std::size_t>(i % 7)] + "+" +
                                   words[static_cast<std::size_t>(i / 7 % 7)] + "+" + std::to_string(i % 50);
        switch (i % 5) {
            case 0: Referrers.AddString(text("http://www.google.com/search?q=", i % 900) + "+" + phrase); break;
            case 1: Referrers.AddString("http://search.yahoo.com/search?p=" + phrase + text("&n=", i)); break;
            case 2:
                Referrers.AddString(text("http://site", i % 300) + ".example.org/links.html?ref=google." + phrase);
                break;
            case 3: Referrers.AddString(text("http://www.altavista.com/web?kw=", i) + "&q=\"" + phrase + "\""); break;
            default: Referrers.AddString(text("http://blog", i % 200) + ".example.net/" + std::to_string(i)); break;
        }
    }

    const TSeconds start = EncodeDateTime(2005, 3, 1, 0, 0, 0);
    std::vector<TRecLog> hits;
    std::vector<std::uint8_t> uriKind(kURIs);
    for (std::uint8_t& kind : uriKind) kind = static_cast<std::uint8_t>(any(0, 5));
    for (int visit = 1; visit <= shape.Visits; ++visit) {
        int host = any(0, kHosts - 1);
        TSeconds at = start + any(0, 19) * kSecondsPerDay + any(0, 86000);
        const std::int32_t length = any(0, 4000);
        const int browser = any(0, 6), os = any(0, 4), spider = any(0, 2), user = any(0, 5);
        const int count = any(1, 40);
        for (int h = 0; h < count; ++h) {
            TRecLog rec;
            at += any(0, 600);
            rec.Time = at;
            if (shape.VisitsChangeHost && chance(3)) host = any(0, kHosts - 1);
            rec.HostIdx = host;
            rec.UserIdx = user;  // 4 and 5 lie beyond the table
            rec.BrowserIdx = browser;
            rec.OSIdx = os;
            rec.SpiderIdx = spider;
            rec.URIIdx = any(0, kURIs - 1);
            rec.Kind = uriKind[static_cast<std::size_t>(rec.URIIdx)];
            if (chance(5)) rec.Kind = static_cast<std::uint8_t>(any(0, 5));
            rec.IsPage = rec.Kind == 2;
            rec.Status = kStatuses[static_cast<std::size_t>(any(0, 6))];
            if (shape.WideKeys && chance(2)) rec.Status = -any(1, 3);
            rec.NotModified = rec.Status == 304;
            rec.Partial = rec.Status == 206;
            rec.IsError = rec.Status >= 400;
            rec.Bytes = rec.NotModified ? 0 : any(0, 200000);
            rec.ReferrerIdx = chance(40) ? 0 : any(1, Referrers.Count() - 1);
            if (shape.WideKeys && chance(1)) rec.ReferrerIdx = 1 << 24;
            rec.VisitId = visit;
            if (!shape.OddIds.empty() && chance(2))
                rec.VisitId = shape.OddIds[static_cast<std::size_t>(any(0, static_cast<int>(shape.OddIds.size()) - 1))];
            rec.VisitDuration = chance(97) ? length : any(0, 4000);
            rec.IsEntry = h == 0;
            rec.IsExit = h == count - 1;
            hits.push_back(rec);
        }
    }
    // Mostly in time order, as logs are, with stretches out of it.
    std::stable_sort(hits.begin(), hits.end(), [](const TRecLog& a, const TRecLog& b) { return a.Time < b.Time; });
    for (std::size_t i = 0; i + 1 < hits.size(); i += 97)
        std::swap(hits[i], hits[std::min(i + 1 + i % 50, hits.size() - 1)]);
    for (const TRecLog& hit : hits) Records.Add(hit);
    for (int uri = 0; uri < kURIs; ++uri) Records.URIParts().SetForURI(uri, {(uri * 7) % kExts, uri % kPaths});
    VisitCount = shape.Visits;
}

// Each table on its own, so that a difference names its place.
void ExpectSameStatistics(const TStatistics& expected, const TStatistics& actual, const std::string& how) {
    SCOPED_TRACE(how);
    EXPECT_EQ(expected.Summary, actual.Summary);
    EXPECT_TRUE(expected.StatByHod == actual.StatByHod);
    EXPECT_TRUE(expected.StatByDow == actual.StatByDow);
    EXPECT_TRUE(expected.StatByDom == actual.StatByDom);
    EXPECT_TRUE(expected.StatByNbVisit == actual.StatByNbVisit);
    EXPECT_TRUE(expected.StatByLenVisit == actual.StatByLenVisit);
    const auto want = expected.AllLists();
    const auto got = actual.AllLists();
    for (std::size_t list = 0; list < want.size(); ++list) {
        ASSERT_EQ(want[list]->Count(), got[list]->Count()) << "list " << list;
        for (std::size_t row = 0; row < want[list]->Count(); ++row)
            ASSERT_TRUE((*want[list])[row] == (*got[list])[row])
                << "list " << list << " row " << row << " " << (*want[list])[row].Name;
    }
    EXPECT_TRUE(expected == actual);
}

using TRunMode = TPassData::TRunMode;

TEST(PassDeterminism, EveryWayGivesTheSortedWalksResult) {
    const std::vector<TShape> shapes = {
        {.Seed = 11, .Visits = 5000},  // about 100,000 hits
        {.Seed = 12, .Visits = 1500, .VisitsChangeHost = true, .OddIds = {-1, 0, 1507}},
        // Visit 0 as the lowest id.
        {.Seed = 13, .Visits = 1500, .OddIds = {0, 1600}, .WideKeys = true},
    };
    for (const TShape& shape : shapes) {
        TPassData data(shape);
        SCOPED_TRACE("seed " + std::to_string(shape.Seed) + ", " + std::to_string(data.HitCount()) + " hits");
        const TPassData::TOutcome reference = data.Run({.Threads = 1, .AlwaysSort = true});
        ASSERT_TRUE(reference.Completed) << reference.Error;
        ASSERT_FALSE(reference.Stats.StatByRefSEK.Empty());
        for (const TRunMode mode : {TRunMode{.Threads = 1}, TRunMode{.Threads = 4},
                                    TRunMode{.Threads = 3, .AlwaysSort = true}, TRunMode{.Threads = 0},
                                    // Walks in parts of a few thousand hits, side by side.
                                    TRunMode{.Threads = 8, .AlwaysSort = true, .HitsPerPart = 3000},
                                    TRunMode{.Threads = 8, .HitsPerPart = 3000}}) {
            const TPassData::TOutcome outcome = data.Run(mode);
            ASSERT_TRUE(outcome.Completed) << outcome.Error;
            EXPECT_EQ(outcome.Progress, reference.Progress);
            ExpectSameStatistics(reference.Stats, outcome.Stats,
                                 "threads " + std::to_string(mode.Threads) + (mode.AlwaysSort ? ", sorted" : ""));
        }
    }
}

// The hits may go once the last step that reads them is done: a step reading them later would
// find none (another result) or freed memory (under the sanitizer).
TEST(PassDeterminism, RecordsFreedWhenTheLastReaderEndsLeaveTheSameResult) {
    TPassData data({.Seed = 21, .Visits = 3000});
    const TPassData::TOutcome reference = data.Run({.Threads = 1});
    ASSERT_TRUE(reference.Completed) << reference.Error;
    EXPECT_EQ(reference.RecordsReadCalls, 1);
    for (int round = 0; round < 3; ++round) {
        for (const TRunMode mode :
             {TRunMode{.Threads = 1, .FreeRecordsWhenRead = true}, TRunMode{.Threads = 4, .FreeRecordsWhenRead = true},
              TRunMode{.Threads = 8, .HitsPerPart = 3000, .FreeRecordsWhenRead = true}}) {
            const TPassData::TOutcome outcome = data.Run(mode);
            ASSERT_TRUE(outcome.Completed) << outcome.Error;
            EXPECT_EQ(outcome.RecordsReadCalls, 1);
            ExpectSameStatistics(reference.Stats, outcome.Stats, "threads " + std::to_string(mode.Threads));
        }
    }
    // A step that fails reads on no further: the hits are still there.
    EXPECT_EQ(data.Run({.Threads = 5, .CountryFails = true}).RecordsReadCalls, 0);
}

// Workers run ahead of the reports: what they did past the step reported when the user
// cancelled is undone, host countries included.
TEST(PassDeterminism, CancelAfterAnyStepLeavesWhatOneThreadLeaves) {
    TPassData data({.Seed = 21, .Visits = 150, .VisitsChangeHost = true});
    for (int step = 1; step <= kStatisticsStepCount; ++step) {
        SCOPED_TRACE("cancelled after step " + std::to_string(step));
        const TPassData::TOutcome alone = data.Run({.Threads = 1, .CancelAfterStep = step});
        const TPassData::TOutcome side = data.Run({.Threads = 6, .CancelAfterStep = step});
        EXPECT_FALSE(alone.Completed);
        EXPECT_FALSE(side.Completed);
        EXPECT_EQ(alone.Progress.size(), static_cast<std::size_t>(step));
        EXPECT_EQ(side.Progress, alone.Progress);
        ExpectSameStatistics(alone.Stats, side.Stats, "six threads");
    }
}

TEST(PassDeterminism, AFailingStepLeavesWhatOneThreadLeaves) {
    TPassData data({.Seed = 31, .Visits = 200});
    const TPassData::TOutcome alone = data.Run({.Threads = 1, .CountryFails = true});
    const TPassData::TOutcome side = data.Run({.Threads = 5, .CountryFails = true});
    EXPECT_EQ(alone.Error, "country database unreadable");
    EXPECT_EQ(side.Error, alone.Error);
    EXPECT_EQ(alone.Progress.size(), 9u);  // the host step was the last one reported
    EXPECT_EQ(side.Progress, alone.Progress);
    EXPECT_FALSE(alone.Stats.StatByHost.Empty());
    EXPECT_TRUE(alone.Stats.StatByBrowser.Empty());
    ExpectSameStatistics(alone.Stats, side.Stats, "five threads");
}

// Records with equal keys keep their stored order in every sort, whichever order the list
// or view had before: the steps' first hits and their side-by-side copies rely on it.
TEST(PassDeterminism, SortsKeepStoredOrderAmongEqualKeys) {
    struct TCase {
        TRecKey Key;
        std::int64_t (*Of)(const TRecLog&);
    };
    const std::vector<TCase> cases = {
        {TRecKey::Host, [](const TRecLog& r) -> std::int64_t { return r.HostIdx; }},
        {TRecKey::Referrer, [](const TRecLog& r) -> std::int64_t { return r.ReferrerIdx; }},
        {TRecKey::Status, [](const TRecLog& r) -> std::int64_t { return r.Status; }},
        {TRecKey::Time, [](const TRecLog& r) -> std::int64_t { return r.Time; }},
        {TRecKey::Visit, [](const TRecLog& r) -> std::int64_t { return r.VisitId; }},
        {TRecKey::Kind, [](const TRecLog& r) -> std::int64_t { return r.Kind; }},
        {TRecKey::Day, [](const TRecLog& r) -> std::int64_t { return r.Day(); }},
        {TRecKey::Browser, [](const TRecLog& r) -> std::int64_t { return r.BrowserIdx; }},
    };
    std::mt19937 rng(5);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TLstRecLog list;
    for (int i = 0; i < 30000; ++i) {
        TRecLog r;
        r.HostIdx = any(0, 60);  // counted into buckets
        r.ReferrerIdx = any(-5, 1 << 30);  // radix sorted
        r.Status = i < 15000 ? 200 : any(100, 599);  // long runs
        r.Time = i < 20000 ? 1000 + i / 3 : any(0, 5000);  // in order for a long while
        r.VisitId = any(-1, 3);
        r.Kind = static_cast<std::uint8_t>(any(0, 5));
        // In order but for a few steps back.
        r.BrowserIdx = static_cast<std::uint16_t>(1 + i / 1000 - (i % 777 == 500 ? 1 : 0));
        list.Add(r);
    }
    TLstRecLog allSorted = list;
    for (std::size_t i = 0; i < list.Count(); ++i) ASSERT_EQ(allSorted.IndexAt(i), i);
    // Sorted before by another key, so that no sort can lean on the order it was given.
    TRecView view(list);
    view.SortBy(TRecKey::Hour, 0);
    for (const TCase& c : cases) {
        for (const int flag : {1, 0}) {
            std::vector<std::int32_t> expected(list.Count());
            for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<std::int32_t>(i);
            std::stable_sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
                const std::int64_t ka = c.Of(list.Stored(static_cast<std::size_t>(a)));
                const std::int64_t kb = c.Of(list.Stored(static_cast<std::size_t>(b)));
                return flag == 1 ? ka < kb : ka > kb;
            });
            view.SortBy(c.Key, flag);
            allSorted.SortBy(c.Key, flag);
            for (std::size_t pos = 0; pos < expected.size(); ++pos) {
                const auto want = static_cast<std::uint32_t>(expected[pos]);
                ASSERT_EQ(view.IndexAt(pos), want) << static_cast<int>(c.Key) << " flag " << flag;
                ASSERT_EQ(allSorted.IndexAt(pos), want) << static_cast<int>(c.Key) << " flag " << flag;
            }
            view.SortBy(TRecKey::Visit, 0);
        }
    }
}

TEST(PassDeterminism, SearchEngineMatcherAgreesWithTheList) {
    TOptions options;
    options.LoadDefaults();
    TLstSEType odd = options.SEs;
    odd.Add({"", "q=", "", "", "No ID"});
    odd.Add({"x", "", "", "", "No key"});
    odd.Add({"k", "=", "", "", "One byte"});
    odd.Add({"google.", "q=", "", "", "Google again"});
    odd.Add({"zz", "zz", "z", "zzz", "Overlapping"});
    std::mt19937 rng(9);
    const std::string pieces[] = {
        "http://", "www.", "google.", "search.", "yahoo.",     "q=", "p=",  "QUERY=", "?",  "&", "k",
        "=",       "z",    "zz",      "msn",     "search.msn", "/",  "MT=", "é",      "\"", "x"};
    for (const TLstSEType* engines : {&options.SEs, &odd}) {
        const TSearchEngineMatcher matcher(*engines);
        for (int i = 0; i < 20000; ++i) {
            std::string referrer;
            for (int n = std::uniform_int_distribution<int>(0, 9)(rng); n > 0; --n)
                referrer += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(rng)];
            ASSERT_EQ(matcher.FindIndex(referrer), engines->FindIndex(referrer)) << referrer;
        }
        THostReferrerHelper byList, byMatcher;
        for (const char* referrer : {"http://www.google.com/search?q=Blue+Widget&hl=en", "",
                                     "http://x.example/?a=\"b&q=c\"&q=d", "http://search.yahoo.com/?p=cache:abc"}) {
            byList.ExtractSearchPhrase(referrer, *engines);
            byMatcher.ExtractSearchPhrase(referrer, matcher);
            EXPECT_EQ(byMatcher.SearchEngine, byList.SearchEngine) << referrer;
            if (byList.SearchEngine.empty()) continue;
            EXPECT_EQ(byMatcher.SearchPhrase, byList.SearchPhrase) << referrer;
            EXPECT_EQ(byMatcher.Keywords, byList.Keywords) << referrer;
        }
    }
}

// A result outlives the parser's tables it was made from, on one thread or many: its long
// names refer to texts it keeps itself. A copy owns every name, so it outlives the original.
TEST(PassDeterminism, TheResultOutlivesTheTablesItWasMadeFrom) {
    for (const int threads : {1, 8}) {
        TStatistics moved, copied;
        {
            auto data = std::make_unique<TPassData>(TShape{.Seed = 11, .Visits = 1500});
            TPassData::TOutcome out = data->Run({.Threads = threads});
            ASSERT_TRUE(out.Completed) << out.Error;
            copied = out.Stats;
            moved = std::move(out.Stats);
        }
        // Any name still reading a table would be a use after free here.
        EXPECT_EQ(moved, copied) << threads;
        // The lists of many distinct referrers are held lean.
        for (const TLstStat* list : {&moved.StatByRefPage, &moved.StatByRefSEP, &moved.StatByRefSEK,
                                     &moved.StatByRefSESEP, &moved.StatByRefSESEK})
            EXPECT_TRUE(list->Compacted()) << threads;
        // Nor may the copy read the original's texts once it is gone.
        const TStatistics again = copied;
        moved = TStatistics();
        EXPECT_EQ(copied, again) << threads;
    }
}

// Reporting waits for the steps in number order: a step may only need lower-numbered steps,
// or a failed or stopped run could wait for a step that never comes.
TEST(PassDeterminism, StepTableNeedsOnlyEarlierSteps) {
    const auto& steps = statpass::TStatisticsPass::Steps();
    for (int step = 1; step <= kStatisticsStepCount; ++step) {
        const auto& spec = steps[static_cast<std::size_t>(step - 1)];
        EXPECT_NE(spec.Run, nullptr) << step;
        EXPECT_NE(spec.Clear, nullptr) << step;
        EXPECT_EQ(spec.Needs >> step, 0u) << step;
        EXPECT_EQ(spec.Needs & 1u, 0u) << step;
        // The order a step leaves goes to the next step only on the same thread.
        if (spec.OrderToNext) {
            ASSERT_LT(step, kStatisticsStepCount);
            EXPECT_EQ(steps[static_cast<std::size_t>(step)].Chain, spec.Chain) << step;
        }
    }
}

}  // namespace

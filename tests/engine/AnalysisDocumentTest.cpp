#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/DateTime_u.h"
#include "core/Profiles_u.h"
#include "engine/AnalysisDocument_u.h"
#include "engine/Statistics_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;
using namespace std::string_literals;

namespace {

// ---- The golden document, encoded here field by field, independently of the writer ----

std::string LE(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}
std::string I32(std::int32_t value) { return LE(static_cast<std::uint32_t>(value), 4); }
std::string F64(double value) { return LE(std::bit_cast<std::uint64_t>(value), 8); }
std::string Text(const std::string& text) { return I32(static_cast<std::int32_t>(text.size())) + text; }

// A row as stored: Key a date-time, Duration in days.
struct StoredRow {
    std::string name{};
    double key = 0;
    double duration = 0;
    std::uint8_t kind = 0;
    std::int32_t code = 0, hits = 0, visits = 0;
    std::int64_t bytes = 0;
    std::int32_t pages = 0, notModified = 0, partial = 0, errors = 0, ip = 0, country = 0;
    std::vector<std::int32_t> perDay{};
};

std::string RowBytes(const StoredRow& r) {
    std::string out = Text(r.name) + F64(r.key) + F64(r.duration) + static_cast<char>(r.kind);
    for (std::int32_t v : {r.code, r.hits, r.visits}) out += I32(v);
    out += LE(static_cast<std::uint64_t>(r.bytes), 8);
    for (std::int32_t v : {r.pages, r.notModified, r.partial, r.errors, r.ip, r.country}) out += I32(v);
    out += I32(static_cast<std::int32_t>(r.perDay.size()));
    for (std::int32_t v : r.perDay) out += I32(v);
    return out;
}

std::string ListBytes(const std::vector<StoredRow>& rows) {
    std::string out = I32(static_cast<std::int32_t>(rows.size()));
    for (const StoredRow& row : rows) out += RowBytes(row);
    return out;
}

constexpr std::int32_t kIP = static_cast<std::int32_t>(0x0101A8C0);  // 192.168.1.1 in network order

// 2024-05-01 is day 45413.
const StoredRow kSummary{.duration = 0.25,
                         .hits = 10,
                         .visits = 3,
                         .bytes = 0x123456789,
                         .pages = 6,
                         .notModified = 1,
                         .partial = 1,
                         .errors = 2};
const std::vector<StoredRow> kStatus{{.code = 200, .hits = 8}, {.code = 404, .hits = 2, .errors = 2}};
const std::vector<StoredRow> kMonths{{.key = 45413, .hits = 10, .visits = 3}};
const std::vector<StoredRow> kDays{{.key = 45413, .hits = 5}, {.key = 45414, .hits = 3}, {.key = 45415, .hits = 2}};
const std::vector<StoredRow> kHosts{{.name = "192.168.1.1",
                                     .key = 45415.75,
                                     .duration = 0.25,
                                     .hits = 10,
                                     .visits = 3,
                                     .ip = kIP,
                                     .country = 57,
                                     .perDay = {1, 1, 1}}};
const std::vector<StoredRow> kErrors{{.name = "/x\t/ref", .code = 404, .hits = 2, .errors = 2}};
StoredRow PlaceRow(const std::string& name) { return {.name = name, .hits = 10, .visits = 3, .perDay = {2, 0, 1}}; }

// Fixed rows in document order (hours 0.., weekdays 1.., days of month 1.., bands 1..):
// the row positions among the 88 that count something.
constexpr std::size_t kHour6 = 6, kWednesday = 24 + 2, kFirstOfMonth = 24 + 7, kOneVisit = 24 + 7 + 31,
                      kLongest = 88 - 1;

const std::vector<std::string> kCountries{"de"};
const std::vector<std::string> kRegions{"Europe"};

struct Variant {
    std::uint16_t major = 2;
    std::uint16_t minor = 1;
    double firstHit = 45413.25;  // 2024-05-01 06:00
    double lastHit = 45415.75;  // 2024-05-03 18:00
    std::vector<std::string> countries = kCountries;
    std::vector<std::string> regions = kRegions;
};

std::string ProfileBlock(bool withLanguage) {
    std::string out = Text("Site") + I32(1) + Text("file://") + Text("/var/log/a.log") + Text("user") +
                      Text("") /* password */ + I32(21) + I32(1) + "\x00\x00"s + Text("example.com") + Text("") +
                      I32(0) + I32(0) + "\x00"s + Text("");
    if (withLanguage) out += Text("fr");
    out += Text("") + I32(-1) + I32(2) + I32(0);
    out += I32(1) + "\x16"s + I32(1) + I32(1) + I32(1) + I32(0) + I32(10) + I32(5) + I32(3);
    out += I32(1) + "\x02\x11"s + Text("n") + Text("v1") + Text("v2");
    return out;
}

std::string GoldenDocument(const Variant& v = {}) {
    std::string out = "BNLD"s + LE(v.major, 2) + LE(v.minor, 2);
    out += ProfileBlock(!(v.major == 2 && v.minor == 0));
    out += F64(45418.5) + F64(v.firstHit) + F64(v.lastHit);  // analysed 2024-05-06 12:00
    out += RowBytes(kSummary) + ListBytes(kStatus) + ListBytes(kMonths) + ListBytes(kDays);
    for (std::size_t i = 0; i < 88; ++i) {
        StoredRow row;
        if (i == kHour6 || i == kWednesday || i == kFirstOfMonth) row.hits = 5;
        if (i == kOneVisit || i == kLongest) row.visits = 1;
        out += RowBytes(row);
    }
    std::vector<StoredRow> countries, regions;
    for (const std::string& name : v.countries) countries.push_back(PlaceRow(name));
    for (const std::string& name : v.regions) regions.push_back(PlaceRow(name));
    out += ListBytes(kHosts) + ListBytes({}) + ListBytes({}) + ListBytes(countries) + ListBytes(regions);
    for (int i = 0; i < 21; ++i) out += ListBytes({});
    out += ListBytes(kErrors);
    return out;
}

// ---- The same result in memory ----

const TSeconds kAnalysisTime = EncodeDateTime(2024, 5, 6, 12, 0, 0);

// The block's own fields are tested with it; this profile only has to come back whole.
TProfile GoldenProfile() {
    TProfile p;
    p.Name = "Site";
    p.LogFiles.Add({"file://", "/var/log/a.log", "user", "secret", 21, 1, 1});
    p.DomainName = "example.com";
    p.AutoExportLanguageID = "fr";
    p.OffsetSign = -1;
    p.OffsetHour = 2;
    p.Reports.Add({22, 1, 1, 1, 0, 10, 5, 3});
    p.Filters.Add({2, 17, "n", "v1", "v2"});
    return p;
}

// What a document gives back: the password is never stored.
TProfile LoadedProfile(const TProfile& saved) {
    TProfile p = saved;
    for (auto& location : p.LogFiles) location.LoginPassword.clear();
    return p;
}

TRecStat Row(const StoredRow& r) {
    return {.Name = r.name,
            .Key = DateTimeToSeconds(r.key),
            .Duration = DateTimeToSeconds(r.duration),
            .Kind = r.kind,
            .Code = r.code,
            .Hits = r.hits,
            .Visits = r.visits,
            .Bytes = r.bytes,
            .Pages = r.pages,
            .NotModified = r.notModified,
            .Partial = r.partial,
            .Errors = r.errors,
            .IP = r.ip,
            .Country = r.country,
            .PerDay = r.perDay};
}

TLstStat List(const std::vector<StoredRow>& rows) {
    TLstStat list;
    for (const StoredRow& row : rows) list.Add(Row(row));
    return list;
}

TStatistics GoldenResult(const std::vector<std::string>& countries = kCountries,
                         const std::vector<std::string>& regions = kRegions) {
    TStatistics s;
    s.Summary = Row(kSummary);
    s.StatByStatus = List(kStatus);
    s.StatByMon = List(kMonths);
    s.StatByDay = List(kDays);
    s.StatByHod[6].Hits = 5;
    s.StatByDow[3].Hits = 5;
    s.StatByDom[1].Hits = 5;
    s.StatByNbVisit[1].Visits = 1;
    s.StatByLenVisit[11].Visits = 1;
    s.StatByHost = List(kHosts);
    for (const std::string& name : countries) s.StatByCountry.Add(Row(PlaceRow(name)));
    for (const std::string& name : regions) s.StatByRegion.Add(Row(PlaceRow(name)));
    s.StatByErr = List(kErrors);
    s.FirstHitTime = EncodeDateTime(2024, 5, 1, 6, 0, 0);
    s.LastHitTime = EncodeDateTime(2024, 5, 3, 18, 0, 0);
    s.FirstDay = 45413;
    s.LastDay = 45415;
    s.DaySpan = 3;
    return s;
}

// ---- Random results for round trips and as the "current" result ----

TRecStat RandomRow(std::mt19937& rng, std::size_t days) {
    auto any32 = [&] { return static_cast<std::int32_t>(rng()); };
    TRecStat row;
    const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 30)(rng);
    std::string name;
    for (std::size_t i = 0; i < length; ++i) name += static_cast<char>(rng() & 0xFF);
    row.Name = name;
    row.Key = std::uniform_int_distribution<TSeconds>(0, 5'000'000'000)(rng);
    row.Duration = std::uniform_int_distribution<TSeconds>(0, 10'000'000)(rng);
    row.Kind = static_cast<std::uint8_t>(rng() % 6);
    row.Code = any32();
    row.Hits = any32();
    row.Visits = any32();
    row.Bytes = static_cast<std::int64_t>((static_cast<std::uint64_t>(rng()) << 32) | rng());
    row.Pages = any32();
    row.NotModified = any32();
    row.Partial = any32();
    row.Errors = any32();
    row.IP = any32();
    row.Country = static_cast<std::int32_t>(rng() % 267);
    if (rng() % 2) {
        row.PerDay.resize(days);
        for (auto& count : row.PerDay) count = any32();
    }
    return row;
}

TStatistics RandomResult(unsigned seed) {
    std::mt19937 rng(seed);
    TStatistics s;
    s.FirstHitTime = std::uniform_int_distribution<TSeconds>(86400, 4'000'000'000)(rng);
    s.LastHitTime = s.FirstHitTime + std::uniform_int_distribution<TSeconds>(0, 40 * 86400)(rng);
    s.FirstDay = static_cast<std::int32_t>(DayOf(s.FirstHitTime));
    s.LastDay = static_cast<std::int32_t>(DayOf(s.LastHitTime));
    s.DaySpan = s.LastDay - s.FirstDay + 1;
    const auto days = static_cast<std::size_t>(s.DaySpan);
    s.Summary = RandomRow(rng, days);
    for (TRecStat& row : s.StatByHod) row = RandomRow(rng, days);
    for (TRecStat& row : s.StatByDow) row = RandomRow(rng, days);
    for (TRecStat& row : s.StatByDom) row = RandomRow(rng, days);
    for (TRecStat& row : s.StatByNbVisit) row = RandomRow(rng, days);
    for (TRecStat& row : s.StatByLenVisit) row = RandomRow(rng, days);
    for (TLstStat* list : s.AllLists()) {
        const int rows = static_cast<int>(rng() % 6);
        for (int i = 0; i < rows; ++i) list->Add(RandomRow(rng, days));
    }
    return s;
}

TProfile CurrentProfile() {
    TProfile p;
    p.Name = "Current";
    p.AutoExportLanguageID = "de";
    p.Reports.Add({31, 1, 0, 0, 0, 1, 1, 1});
    return p;
}

const TStatistics& CurrentStats() {
    static const TStatistics stats = RandomResult(7);
    return stats;
}

// The engine's result before a load; every failed load must leave it exactly so.
struct Current {
    TProfile profile = CurrentProfile();
    TSeconds analysisTime = EncodeDateTime(2020, 1, 2, 3, 4, 5);
    TStatistics stats = CurrentStats();
    int asked = 0;

    bool Load(const std::string& path, int& code, bool answer = true) {
        return LoadAnalysisDocument(path, profile, analysisTime, stats, code, [this, answer] {
            ++asked;
            return answer;
        });
    }
    void ExpectUntouched() const {
        EXPECT_EQ(profile, CurrentProfile());
        EXPECT_EQ(analysisTime, EncodeDateTime(2020, 1, 2, 3, 4, 5));
        EXPECT_TRUE(stats == CurrentStats());
    }
};

}  // namespace

TEST(AnalysisDocument, GoldenBytes) {
    TestFolder folder;
    const std::string path = folder.file("golden.bnl");
    ASSERT_TRUE(SaveAnalysisDocument(path, GoldenProfile(), kAnalysisTime, GoldenResult()));
    const std::string golden = GoldenDocument();
    const std::string written = ReadFileBytes(path);
    ASSERT_EQ(written.size(), golden.size());
    EXPECT_EQ(written, golden);
    EXPECT_EQ(written.find("secret"), std::string::npos);

    Current current;
    int code = -1;
    ASSERT_TRUE(current.Load(path, code));
    EXPECT_EQ(code, kDocLoaded);
    EXPECT_EQ(current.asked, 0);
    EXPECT_EQ(current.profile, LoadedProfile(GoldenProfile()));
    EXPECT_EQ(current.analysisTime, kAnalysisTime);
    EXPECT_TRUE(current.stats == GoldenResult());
}

TEST(AnalysisDocument, RoundTripKeepsEveryField) {
    TestFolder folder;
    const std::string path = folder.file("round.bnl");
    for (unsigned seed = 1; seed <= 20; ++seed) {
        TStatistics saved = RandomResult(100 + seed);
        saved.VisitCount = 42;  // not part of the document
        const TSeconds analysisTime = EncodeDateTime(2023, 12, 31, 23, 59, static_cast<int>(seed));
        ASSERT_TRUE(SaveAnalysisDocument(path, GoldenProfile(), analysisTime, saved));

        Current current;
        int code = -1;
        ASSERT_TRUE(current.Load(path, code)) << seed;
        EXPECT_EQ(code, kDocLoaded);
        EXPECT_EQ(current.profile, LoadedProfile(GoldenProfile()));
        EXPECT_EQ(current.analysisTime, analysisTime);
        const TStatistics& loaded = current.stats;
        EXPECT_EQ(loaded.Summary, saved.Summary);
        EXPECT_TRUE(loaded.StatByHod == saved.StatByHod);
        EXPECT_TRUE(loaded.StatByDow == saved.StatByDow);
        EXPECT_TRUE(loaded.StatByDom == saved.StatByDom);
        EXPECT_TRUE(loaded.StatByNbVisit == saved.StatByNbVisit);
        EXPECT_TRUE(loaded.StatByLenVisit == saved.StatByLenVisit);
        // Read straight into the lean rows a finished result is held in.
        for (std::size_t i = 0; i < kStatListCount; ++i) {
            EXPECT_TRUE(*loaded.AllLists()[i] == *saved.AllLists()[i]) << "list " << i << ", seed " << seed;
            EXPECT_TRUE(loaded.AllLists()[i]->Compacted()) << "list " << i;
        }
        EXPECT_EQ(loaded.FirstHitTime, saved.FirstHitTime);
        EXPECT_EQ(loaded.LastHitTime, saved.LastHitTime);
        EXPECT_EQ(loaded.FirstDay, saved.FirstDay);
        EXPECT_EQ(loaded.LastDay, saved.LastDay);
        EXPECT_EQ(loaded.DaySpan, saved.DaySpan);
        EXPECT_EQ(loaded.VisitCount, 0);
    }
}

TEST(AnalysisDocument, CutShortAnywhereIsUnreadableAndChangesNothing) {
    TestFolder folder;
    const std::string golden = GoldenDocument();
    const std::string path = folder.file("cut.bnl");
    Current current;
    for (std::size_t length = 0; length < golden.size(); ++length) {
        folder.write("cut.bnl", golden.substr(0, length));
        int code = -1;
        EXPECT_FALSE(current.Load(path, code)) << length;
        EXPECT_EQ(code, kDocUnreadable) << length;
        current.ExpectUntouched();
        if (HasFailure()) break;
    }
}

TEST(AnalysisDocument, NotADocument) {
    TestFolder folder;
    struct Case {
        std::string bytes;
        int code;
    };
    const Case cases[] = {
        {"", kDocUnreadable},
        {"BNL", kDocUnreadable},
        {"BNLX" + GoldenDocument().substr(4), kDocNotADocument},
        {"bnld" + GoldenDocument().substr(4), kDocNotADocument},
        {"XXXX", kDocNotADocument},
        {"BNLD\x02"s, kDocUnreadable},
        {"BNLD\x02\x00\x01"s, kDocUnreadable},
    };
    for (const Case& c : cases) {
        const std::string path = folder.write("bad.bnl", c.bytes);
        Current current;
        int code = -1;
        EXPECT_FALSE(current.Load(path, code)) << c.bytes;
        EXPECT_EQ(code, c.code) << c.bytes;
        current.ExpectUntouched();
    }
    Current current;
    int code = -1;
    EXPECT_FALSE(current.Load(folder.file("missing.bnl"), code));
    EXPECT_EQ(code, kDocUnreadable);
    EXPECT_FALSE(current.Load(folder.path(), code));  // a folder
    EXPECT_EQ(code, kDocUnreadable);
    current.ExpectUntouched();
}

TEST(AnalysisDocument, UnknownVersionsAreRefusedWithoutAQuestion) {
    TestFolder folder;
    const std::pair<std::uint16_t, std::uint16_t> versions[] = {{2, 2}, {1, 1}, {3, 1},
                                                                {3, 0}, {0, 0}, {0xFFFF, 0xFFFF}};
    for (const auto& [major, minor] : versions) {
        const std::string path = folder.write("v.bnl", GoldenDocument({.major = major, .minor = minor}));
        Current current;
        int code = -1;
        EXPECT_FALSE(current.Load(path, code));
        EXPECT_EQ(code, kDocUnknownVersion) << major << "." << minor;
        EXPECT_EQ(current.asked, 0);
        current.ExpectUntouched();
    }
}

TEST(AnalysisDocument, OldVersionDeclined) {
    TestFolder folder;
    const std::string path = folder.write("old.bnl", GoldenDocument({.minor = 0}));
    Current current;
    int code = -1;
    EXPECT_FALSE(current.Load(path, code, false));
    EXPECT_EQ(code, kDocConversionDeclined);
    EXPECT_EQ(current.asked, 1);
    current.ExpectUntouched();

    // No one to ask is no consent.
    EXPECT_FALSE(LoadAnalysisDocument(path, current.profile, current.analysisTime, current.stats, code, {}));
    EXPECT_EQ(code, kDocConversionDeclined);
    current.ExpectUntouched();
}

TEST(AnalysisDocument, OldVersionConvertedNamesCountriesAndRegions) {
    TestFolder folder;
    const std::string path = folder.write("old.bnl", GoldenDocument({.minor = 0,
                                                                     .countries = {"Germany", "Atlantis", "de"},
                                                                     .regions = {"Middle East", "Europe", "Nowhere"}}));
    Current current;
    int code = -1;
    ASSERT_TRUE(current.Load(path, code, true));
    EXPECT_EQ(code, kDocLoaded);
    EXPECT_EQ(current.asked, 1);
    TProfile expected = LoadedProfile(GoldenProfile());
    expected.AutoExportLanguageID = "default";
    EXPECT_EQ(current.profile, expected);
    EXPECT_TRUE(current.stats == GoldenResult({"de", "", ""}, {"MiddleEast", "Europe", "None"}));

    // A broken 2.0 document, even after consent, changes nothing.
    const std::string cut = GoldenDocument({.minor = 0});
    folder.write("old.bnl", cut.substr(0, cut.size() - 1));
    Current other;
    EXPECT_FALSE(other.Load(path, code, true));
    EXPECT_EQ(code, kDocUnreadable);
    other.ExpectUntouched();
}

// Names that several country rows share convert to the country's own code.
TEST(AnalysisDocument, OldVersionSharedCountryNamesTakeTheCountrysOwnCode) {
    TestFolder folder;
    const std::vector<std::string> oldNames = {"United States", "United Kingdom", "Russian Federation",
                                               "US Government", "Educational",    "Germany"};
    const std::string path =
        folder.write("old.bnl", GoldenDocument({.minor = 0, .countries = oldNames, .regions = {"Europe"}}));
    Current current;
    int code = -1;
    ASSERT_TRUE(current.Load(path, code, true));
    std::vector<std::string> names;
    for (const TRecStat& row : current.stats.StatByCountry) names.push_back(row.Name.Str());
    EXPECT_EQ(names, (std::vector<std::string>{"us", "gb", "ru", "gov", "edu", "de"}));
}

TEST(AnalysisDocument, DaysFollowTheHitTimes) {
    TestFolder folder;
    struct Case {
        double firstHit, lastHit;
        bool ok;
        std::int32_t firstDay, lastDay, daySpan;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {45413.25, 45413.75, true, 45413, 45413, 1}, {0, 0, true, 0, 0, 0},  // no hits
        {0.5, 45415.75, true, 0, 45415, 0},  // day 0 counts as none
        {45415.75, 45413.25, true, 45415, 45413, 0},  // never a negative span
        {nan, 45413.25, true, 0, 45413, 0},          {1e10, 1e10, false, 0, 0, 0},  // no day number that far out
        {-1e10, 45413.25, false, 0, 0, 0},           {1e12, 45413.25, true, 0, 45413, 0},  // beyond any time: none
    };
    for (const Case& c : cases) {
        const std::string path =
            folder.write("days.bnl", GoldenDocument({.firstHit = c.firstHit, .lastHit = c.lastHit}));
        Current current;
        int code = -1;
        ASSERT_EQ(current.Load(path, code), c.ok) << c.firstHit << " " << c.lastHit;
        if (!c.ok) {
            EXPECT_EQ(code, kDocUnreadable);
            current.ExpectUntouched();
            continue;
        }
        EXPECT_EQ(current.stats.FirstDay, c.firstDay);
        EXPECT_EQ(current.stats.LastDay, c.lastDay);
        EXPECT_EQ(current.stats.DaySpan, c.daySpan);
    }
}

TEST(AnalysisDocument, BytesAfterTheLastListAreIgnored) {
    TestFolder folder;
    const std::string path = folder.write("tail.bnl", GoldenDocument() + "tail");
    Current current;
    int code = -1;
    ASSERT_TRUE(current.Load(path, code));
    EXPECT_TRUE(current.stats == GoldenResult());
}

TEST(AnalysisDocument, FailedSaveKeepsTheEarlierFile) {
    TestFolder folder;
    const std::string path = folder.file("doc.bnl");
    ASSERT_TRUE(SaveAnalysisDocument(path, GoldenProfile(), kAnalysisTime, GoldenResult()));
    const std::string before = ReadFileBytes(path);

    // The earlier document as the parent folder of the new one.
    EXPECT_FALSE(SaveAnalysisDocument(path + "/new.bnl", CurrentProfile(), 0, RandomResult(3)));
    EXPECT_EQ(ReadFileBytes(path), before);
    // A target that is a folder cannot be replaced.
    std::filesystem::create_directory(folder.file("folder.bnl"));
    EXPECT_FALSE(SaveAnalysisDocument(folder.file("folder.bnl"), CurrentProfile(), 0, RandomResult(3)));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("folder.bnl")));

    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 2u) << "no temporary file may stay behind";

    // A save that succeeds replaces the whole file.
    ASSERT_TRUE(SaveAnalysisDocument(path, CurrentProfile(), 0, TStatistics{}));
    Current current;
    int code = -1;
    ASSERT_TRUE(current.Load(path, code));
    EXPECT_TRUE(current.stats == TStatistics{});
    EXPECT_EQ(current.profile, CurrentProfile());
}

// Rows kept sparse write the dense layout, byte for byte as the independent encoder above
// writes the dense arrays: runs of zeros longer than the writer's zero block, counts at
// both ends, negative counts, all-zero and absent arrays.
TEST(AnalysisDocument, SparseRowsWriteTheDenseLayout) {
    const auto withHits = [](std::size_t length, std::vector<std::pair<std::size_t, std::int32_t>> hits) {
        std::vector<std::int32_t> dense(length, 0);
        for (const auto& [day, count] : hits) dense[day] = count;
        return dense;
    };
    const std::vector<std::vector<std::int32_t>> cases = {
        {},
        {0},
        {7},
        {0, 0, 0, -3},
        withHits(20000, {}),
        withHits(40000, {{0, 1}, {16383, 2}, {16384, 3}, {39999, -4}}),
        withHits(300000, {{65535, 9}, {299999, 1}}),
    };
    for (const std::vector<std::int32_t>& perDay : cases) {
        const StoredRow stored{.name = "/a", .hits = 3, .perDay = perDay};
        TBinaryWriter plain;
        ASSERT_TRUE(WriteStatRecord(Row(stored), plain));
        EXPECT_TRUE(plain.Data() == RowBytes(stored)) << perDay.size();

        // Drained in pieces along the way, the bytes are the same.
        TBinaryWriter drained;
        std::string out;
        std::size_t drains = 0;
        ASSERT_TRUE(WriteStatRecord(Row(stored), drained, [&](TBinaryWriter& w) {
            out += w.Data();
            w.Buffer().clear();
            ++drains;
            return true;
        }));
        out += drained.Data();
        EXPECT_TRUE(out == RowBytes(stored)) << perDay.size();
        if (perDay.size() == 300000) {
            EXPECT_GT(drains, 0u);  // 1.2 MB: handed on inside the row
        }
    }
}

// A loaded document is sparse again and saves to the very same bytes, also when rows hold
// more per-day counts than the writer keeps before handing them to the file.
TEST(AnalysisDocument, LoadThenSaveGivesTheSameBytes) {
    TestFolder folder;
    const std::string first = folder.file("first.bnl");
    const std::string second = folder.file("second.bnl");
    for (unsigned seed = 1; seed <= 4; ++seed) {
        TStatistics saved = RandomResult(300 + seed);
        if (seed == 4) {
            // Long mostly-empty rows: more than a megabyte of dense days in one row.
            TRecStat row;
            row.Name = "long";
            row.PerDay.Reset(400000);
            row.PerDay.Add(0);
            row.PerDay.Add(123457, 5);
            row.PerDay.Add(399999, 2);
            saved.StatByRefPage.Add(row);
            saved.StatByRefSE.Add(row);
        }
        ASSERT_TRUE(SaveAnalysisDocument(first, GoldenProfile(), kAnalysisTime, saved));
        Current current;
        int code = -1;
        ASSERT_TRUE(current.Load(first, code)) << seed;
        ASSERT_TRUE(SaveAnalysisDocument(second, current.profile, current.analysisTime, current.stats));
        EXPECT_TRUE(ReadFileBytes(first) == ReadFileBytes(second)) << seed;
        if (seed == 4) {
            EXPECT_EQ(current.stats.StatByRefPage.Last().PerDay.Entries().size(), 3u);
        }
    }
}

// The size worked out before saving (to refuse a document the disk cannot hold) is the size
// the saved file has, names cut to 2048 bytes included.
TEST(AnalysisDocument, SizeWorkedOutBeforeSavingIsTheFileSize) {
    TestFolder folder;
    const std::string path = folder.file("size.bnl");
    std::vector<TStatistics> results = {TStatistics{}, GoldenResult(), RandomResult(7), RandomResult(8)};
    TRecStat longName;
    longName.Name = std::string(3000, 'x');
    longName.PerDay.Reset(5);
    results.back().StatByRefPage.Add(longName);
    for (const TStatistics& stats : results) {
        ASSERT_TRUE(SaveAnalysisDocument(path, GoldenProfile(), kAnalysisTime, stats));
        EXPECT_EQ(AnalysisDocumentSize(GoldenProfile(), stats), std::filesystem::file_size(path));
    }
}

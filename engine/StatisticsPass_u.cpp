#include "engine/StatisticsPass_u.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ELogConvert.h"
#include "engine/GeoHelpers_u.h"

namespace brindle {

namespace {

const std::string kProgressText = "Processing statistics";

// The widest span the log readers can produce (years 1900 to 9999); anything wider comes
// from broken records and would only make useless daily charts.
const std::int64_t kMaxDaySpan = EncodeDate(9999, 12, 31) - EncodeDate(1900, 1, 1) + 1;

// Visit lengths in seconds below which each band ends (bands 1..10; 11 is the rest).
constexpr std::array<std::int32_t, 10> kLengthBandEnds = {60, 300, 600, 1200, 1800, 2700, 3600, 5400, 7200, 10800};

constexpr std::size_t kPrefetchAhead = 16;

int LengthBand(std::int32_t seconds) {
    for (std::size_t i = 0; i < kLengthBandEnds.size(); ++i)
        if (seconds < kLengthBandEnds[i]) return static_cast<int>(i) + 1;
    return static_cast<int>(kLengthBandEnds.size()) + 1;
}

std::uint64_t DefaultPerDayLimit() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return std::uint64_t{4} << 30;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 2;
}

// Visits already counted in the current group. A stamp per visit instead of a byte map
// cleared at every group start: clearing a map of all visits for each of thousands of
// referrer groups would cost more than the rest of the pass.
class TVisitMap {
public:
    // Room for every id from Lowest to Highest, so that an id the visit step did not give
    // (-1, 0, above the visit count) is still a visit of its own.
    void Resize(std::int64_t lowest, std::int64_t highest) {
        base_ = lowest;
        seen_.assign(static_cast<std::size_t>(highest - lowest + 1), 0);
    }
    void Reset() {
        std::fill(seen_.begin(), seen_.end(), 0u);
        stamp_ = 0;
    }
    void StartGroup() { ++stamp_; }
    // True the first time the visit is met in the group.
    bool FirstInGroup(std::int32_t id) {
        const std::size_t slot = Slot(id);
        if (slot == kNoSlot) return true;
        if (seen_[slot] == stamp_) return false;
        seen_[slot] = stamp_;
        return true;
    }
    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
    std::size_t Size() const { return seen_.size(); }
    std::size_t Slot(std::int32_t id) const {
        const std::int64_t slot = id - base_;
        return slot >= 0 && static_cast<std::uint64_t>(slot) < seen_.size() ? static_cast<std::size_t>(slot) : kNoSlot;
    }

private:
    std::vector<std::uint32_t> seen_;
    std::int64_t base_ = 0;
    std::uint32_t stamp_ = 0;
};

enum class TDailyCounts { None, Visits, Hits };

// What one hit adds to its group's row in a grouping walk.
struct TWalkRule {
    bool CountVisits = true;  // through the visit map
    bool Traffic = true;      // Bytes, NotModified, Partial, Errors
    bool Pages = false;
    bool Durations = false;
    TDailyCounts Days = TDailyCounts::None;
};

constexpr TWalkRule kTimeRule{.Pages = true, .Durations = true};
constexpr TWalkRule kVisitorRule{.Pages = true, .Durations = true, .Days = TDailyCounts::Visits};
constexpr TWalkRule kFileRule{.Days = TDailyCounts::Visits};
constexpr TWalkRule kFileHitsRule{.CountVisits = false, .Days = TDailyCounts::Hits};

// The hit's contribution to a row: Hits 1, and what the rule sums. Counted: its visit is
// new to the row.
inline void AddHit(TRecStat& row, const TRecLog& rec, const TWalkRule& rule, bool counted) {
    ++row.Hits;
    if (counted) {
        ++row.Visits;
        if (rule.Durations) row.Duration += rec.VisitDuration;
    }
    if (rule.Pages) row.Pages += rec.IsPage;
    if (rule.Traffic) {
        row.Bytes += rec.Bytes;
        row.NotModified += rec.NotModified;
        row.Partial += rec.Partial;
        row.Errors += rec.IsError;
    }
}

// The hour, weekday and day-of-month rows, filled in one walk of any order. A visit counts
// once per row: each visit keeps a bit per hour and weekday and a bit per day of month.
class TClockTables {
public:
    TArrayByHod Hod;
    TArrayByDow Dow;
    TArrayByDom Dom;

    explicit TClockTables(std::size_t visits) : hourWeekday_(visits, 0), monthDay_(visits, 0) {}

    void Add(const TRecLog& rec, std::size_t visitSlot) {
        std::uint32_t spareHours = 0, spareDays = 0;  // hits outside the visit map count every time
        const bool known = visitSlot < hourWeekday_.size();
        std::uint32_t& hours = known ? hourWeekday_[visitSlot] : spareHours;
        std::uint32_t& days = known ? monthDay_[visitSlot] : spareDays;
        if (rec.Hour <= 23) Count(Hod[rec.Hour], rec, hours, 1u << rec.Hour);
        if (rec.DayOfWeek >= 1 && rec.DayOfWeek <= 7) Count(Dow[rec.DayOfWeek], rec, hours, 1u << (23 + rec.DayOfWeek));
        if (rec.Day >= 1 && rec.Day <= 31) Count(Dom[rec.Day], rec, days, 1u << (rec.Day - 1));
    }

private:
    static void Count(TRecStat& row, const TRecLog& rec, std::uint32_t& mask, std::uint32_t bit) {
        AddHit(row, rec, kTimeRule, (mask & bit) == 0);
        mask |= bit;
    }
    std::vector<std::uint32_t> hourWeekday_;  // hours 0..23 in bits 0..23, weekdays in 24..30
    std::vector<std::uint32_t> monthDay_;     // days 1..31 in bits 0..30
};

TRecStat* Append(TLstStat& list, TRecStat&& row) {
    list.Add(std::move(row));
    return &list.Last();
}

constexpr auto kEveryHit = [](const TRecLog&) { return true; };

struct TPageHit {
    std::int32_t URIIdx;
    std::int32_t DayNo;
};

using TErrorKey = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // status, URL, referrer

class TStatisticsPass {
public:
    TStatisticsPass(const TStatisticsPassInput& input, TStatistics& stats)
        : In(input), Records(input.Records), S(stats) {}

    bool Run();

private:
    using TStep = void (TStatisticsPass::*)();

    bool Cancelled() const { return In.IsCancelled && In.IsCancelled(); }

    void SizeVisitMap();
    // True when the hit's visit counts in the current group.
    bool CountsVisit(const TRecLog& rec, const TWalkRule& rule);
    void AddDay(TRecStat& row, std::int32_t dayNo) const;
    // One row per URL of entry or exit hits, hits per day.
    void AddPageRows(const std::vector<TPageHit>& hits, TLstStat& target);

    // Walks the records in their current order; a group starts where KeyOf changes.
    // StartGroup stores the group's first row and returns it (null skips the group);
    // EachHit sees every hit of a stored group after its contribution.
    template <class Accept, class KeyOf, class StartGroup, class EachHit>
    void Walk(const TWalkRule& rule, Accept accept, KeyOf keyOf, StartGroup startGroup, EachHit eachHit);
    template <class KeyOf, class StartGroup>
    void Walk(const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup);
    // One list row per group, named by the group's text.
    template <class KeyOf>
    void WalkNamed(const TWalkRule& rule, KeyOf keyOf, const TBucketString& names, TLstStat& target);

    // The City reader loads its whole database when it opens, so reading the file ahead to
    // warm the file cache would only read it twice.
    void WarmCityCache() {}
    void SumSummary();
    void FindTimeRange();
    void ByDay();
    void ByMonth();
    void ByHour();
    void ByWeekday();
    void ByDayOfMonth();
    void ByHost();
    void HostCountries();
    void HostGroups();
    void RegroupHosts();
    void RegroupCities();
    void ByBrowser();
    void ByOS();
    void BySpider();
    void ByUser();
    void ByVisitLength();
    void ByFile();
    void ByExtension();
    void ByDirectory();
    void ByFileKind();
    void ByEntryPage();
    void ByExitPage();
    void ByReferrer();
    void ByReferrerSite();
    void BySearch();
    void ByStatus();
    void ByError();

    const TStatisticsPassInput& In;
    TLstRecLog& Records;
    TStatistics& S;
    TVisitMap Visits;
    THostGroupLists HostLists;
    std::unique_ptr<TClockTables> Clock;
    // Walks whose order a later step shares collect for it: the length of every visit
    // (summary), the entry and exit hits (files, in URL order) and the error hits (status).
    std::vector<std::int32_t> VisitLengths;
    std::vector<TPageHit> EntryHits;
    std::vector<TPageHit> ExitHits;
    std::vector<TErrorKey> ErrorKeys;
};

bool TStatisticsPass::Run() {
    static constexpr std::array<TStep, kStatisticsStepCount> kSteps = {
        &TStatisticsPass::WarmCityCache, &TStatisticsPass::SumSummary,     &TStatisticsPass::FindTimeRange,
        &TStatisticsPass::ByDay,         &TStatisticsPass::ByMonth,        &TStatisticsPass::ByHour,
        &TStatisticsPass::ByWeekday,     &TStatisticsPass::ByDayOfMonth,   &TStatisticsPass::ByHost,
        &TStatisticsPass::HostCountries, &TStatisticsPass::HostGroups,     &TStatisticsPass::RegroupHosts,
        &TStatisticsPass::RegroupCities, &TStatisticsPass::ByBrowser,      &TStatisticsPass::ByOS,
        &TStatisticsPass::BySpider,      &TStatisticsPass::ByUser,         &TStatisticsPass::ByVisitLength,
        &TStatisticsPass::ByFile,        &TStatisticsPass::ByExtension,    &TStatisticsPass::ByDirectory,
        &TStatisticsPass::ByFileKind,    &TStatisticsPass::ByEntryPage,    &TStatisticsPass::ByExitPage,
        &TStatisticsPass::ByReferrer,    &TStatisticsPass::ByReferrerSite, &TStatisticsPass::BySearch,
        &TStatisticsPass::ByStatus,      &TStatisticsPass::ByError};
    if (Cancelled()) return false;
    SizeVisitMap();
    for (int step = 1; step <= kStatisticsStepCount; ++step) {
        (this->*kSteps[static_cast<std::size_t>(step - 1)])();
        if (In.Progress) In.Progress(step * 100 / kStatisticsStepCount, kProgressText);
        if (Cancelled()) return false;
    }
    return true;
}

void TStatisticsPass::SizeVisitMap() {
    std::int64_t lowest = 1;
    std::int64_t highest = std::max(S.VisitCount, 0);
    for (const TRecLog& rec : Records) {
        lowest = std::min<std::int64_t>(lowest, rec.VisitId);
        highest = std::max<std::int64_t>(highest, rec.VisitId);
    }
    Visits.Resize(lowest, highest);
}

bool TStatisticsPass::CountsVisit(const TRecLog& rec, const TWalkRule& rule) {
    return rule.CountVisits && Visits.FirstInGroup(rec.VisitId);
}

void TStatisticsPass::AddDay(TRecStat& row, std::int32_t dayNo) const {
    const std::int64_t day = static_cast<std::int64_t>(dayNo) - S.FirstDay;
    if (day >= 0 && static_cast<std::uint64_t>(day) < row.PerDay.size()) ++row.PerDay[static_cast<std::size_t>(day)];
}

template <class Accept, class KeyOf, class StartGroup, class EachHit>
void TStatisticsPass::Walk(const TWalkRule& rule, Accept accept, KeyOf keyOf, StartGroup startGroup,
                           EachHit eachHit) {
    Visits.Reset();
    TRecStat* row = nullptr;
    bool started = false;
    std::int64_t groupKey = 0;
    const std::size_t count = Records.Count();
    for (std::size_t pos = 0; pos < count; ++pos) {
        // The sorted order jumps around the stored records: fetch ahead so that the misses overlap.
        if (pos + kPrefetchAhead < count) {
            const char* ahead = reinterpret_cast<const char*>(&Records.Get(pos + kPrefetchAhead));
            __builtin_prefetch(ahead);
            __builtin_prefetch(ahead + sizeof(TRecLog) - 1);  // a record spans two cache lines
        }
        const TRecLog& rec = Records.Get(pos);
        if (!accept(rec)) continue;
        const std::int64_t key = keyOf(rec);
        if (!started || key != groupKey) {
            started = true;
            groupKey = key;
            Visits.StartGroup();
            TRecStat first;
            AddHit(first, rec, rule, CountsVisit(rec, rule));
            if (rule.Days != TDailyCounts::None) {
                first.PerDay.assign(static_cast<std::size_t>(std::max(S.DaySpan, 0)), 0);
                AddDay(first, rec.DayNo);
            }
            row = startGroup(rec, std::move(first));
            if (row) eachHit(rec, *row);
            continue;
        }
        if (!row) continue;
        const bool counted = CountsVisit(rec, rule);
        AddHit(*row, rec, rule, counted);
        if (rule.Days == TDailyCounts::Hits || (rule.Days == TDailyCounts::Visits && counted)) AddDay(*row, rec.DayNo);
        eachHit(rec, *row);
    }
}

template <class KeyOf, class StartGroup>
void TStatisticsPass::Walk(const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup) {
    Walk(
        rule, kEveryHit, keyOf, startGroup, [](const TRecLog&, TRecStat&) {});
}

template <class KeyOf>
void TStatisticsPass::WalkNamed(const TWalkRule& rule, KeyOf keyOf, const TBucketString& names, TLstStat& target) {
    Walk(rule, keyOf, [&](const TRecLog& rec, TRecStat&& row) {
        row.Name = names.GetString(static_cast<std::int32_t>(keyOf(rec)));
        return Append(target, std::move(row));
    });
}

void TStatisticsPass::SumSummary() {
    Records.SortByVisit(1);
    std::int32_t previous = 0;
    for (std::size_t pos = 0; pos < Records.Count(); ++pos) {
        const TRecLog& rec = Records.Get(pos);
        const bool newVisit = rec.VisitId != previous;
        AddHit(S.Summary, rec, kTimeRule, pos == 0 || newVisit);
        if (newVisit) VisitLengths.push_back(rec.VisitDuration);
        previous = rec.VisitId;
    }
}

void TStatisticsPass::FindTimeRange() {
    Records.SortByTime(1);
    if (Records.Empty()) return;
    const TRecLog& first = Records.Get(0);
    const TRecLog& last = Records.Get(Records.Count() - 1);
    S.FirstHitTime = first.Time;
    S.FirstDay = first.DayNo;
    S.LastHitTime = last.Time;
    S.LastDay = last.DayNo;
    if (S.FirstDay == 0 || S.LastDay == 0) return;
    const std::int64_t span = static_cast<std::int64_t>(S.LastDay) - S.FirstDay + 1;
    const std::uint64_t limit = In.PerDayMemoryLimit != 0 ? In.PerDayMemoryLimit : DefaultPerDayLimit();
    if (span > kMaxDaySpan || EstimatePerDayBytes(In, span) > limit)
        throw ELogConvert(SafeFormat("The hits run from %s to %s: too many days for the daily statistics to fit "
                                     "in memory.",
                                     {FormatDateText(S.FirstHitTime), FormatDateText(S.LastHitTime)}));
    S.DaySpan = static_cast<std::int32_t>(span);
}

// Step 3 left the records in time order, which groups days and months as well. The
// walk also fills the hour, weekday and day-of-month rows for their own steps.
void TStatisticsPass::ByDay() {
    Clock = std::make_unique<TClockTables>(Visits.Size());
    Walk(
        kTimeRule, kEveryHit, [](const TRecLog& r) { return r.DayNo; },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Key = StartOfDay(rec.DayNo);
            return Append(S.StatByDay, std::move(row));
        },
        [&](const TRecLog& rec, TRecStat&) { Clock->Add(rec, Visits.Slot(rec.VisitId)); });
}

void TStatisticsPass::ByMonth() {
    Walk(kTimeRule, [](const TRecLog& r) { return r.MonthStart; },
         [&](const TRecLog& rec, TRecStat&& row) {
             row.Key = StartOfDay(rec.MonthStart);
             return Append(S.StatByMon, std::move(row));
         });
}

void TStatisticsPass::ByHour() { S.StatByHod = Clock->Hod; }
void TStatisticsPass::ByWeekday() { S.StatByDow = Clock->Dow; }
void TStatisticsPass::ByDayOfMonth() {
    S.StatByDom = Clock->Dom;
    Clock.reset();
}

void TStatisticsPass::ByHost() {
    Records.SortByHost(1);
    Walk(
        kVisitorRule, kEveryHit, [](const TRecLog& r) { return r.HostIdx; },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Name = In.HostTable.GetString(rec.HostIdx);
            row.IP = rec.IP;
            row.Key = rec.Time;
            return Append(S.StatByHost, std::move(row));
        },
        [](const TRecLog& rec, TRecStat& row) { row.Key = std::max(row.Key, rec.Time); });
}

void TStatisticsPass::HostCountries() {
    std::unique_ptr<IGeoIPCountryReader> reader =
        In.CountryReaderFactory ? In.CountryReaderFactory() : CreateGeoIPCountryReader();
    if (reader) AssignHostCountries(S.StatByHost, *reader, In.CountryDbFile);
}

void TStatisticsPass::HostGroups() {
    HostLists = CollectHostGroups(S.StatByHost);
    for (const TRecStat& host : S.StatByHost) {
        if (host.Visits <= 0) continue;
        TStatistics::MergeStat(S.StatByNbVisit[std::min(host.Visits, TArrayByNbVisit::kLast)], host, 0);
    }
}

void TStatisticsPass::RegroupHosts() {
    const TLstStat& hosts = S.StatByHost;
    RegroupRows(hosts, HostLists.Domains, S.StatByDomain, false);
    RegroupRows(hosts, HostLists.Tlds, S.StatByTld, true);
    RegroupRows(hosts, HostLists.Countries, S.StatByCountry, true);
    RegroupRows(hosts, HostLists.Regions, S.StatByRegion, true);
    HostLists = {};
}

void TStatisticsPass::RegroupCities() {
    TCityGroupLists lists;
    if (!In.CityDbPath.empty()) {
        std::unique_ptr<IGeoIPCityReader> reader =
            In.CityReaderFactory ? In.CityReaderFactory() : CreateGeoIPCityReader();
        if (reader) lists = CollectCityGroups(S.StatByHost, *reader, In.CityDbPath);
    }
    const TLstStat& hosts = S.StatByHost;
    RegroupRows(hosts, lists.USStates, S.StatByUSState, false);
    RegroupRows(hosts, lists.CAProvinces, S.StatByCAProv, false);
    RegroupRows(hosts, lists.CNProvinces, S.StatByCNProv, false);
    RegroupRows(hosts, lists.Cities, S.StatByCity, false);
}

void TStatisticsPass::ByBrowser() {
    Records.SortByBrowser(1);
    WalkNamed(kVisitorRule, [](const TRecLog& r) { return r.BrowserIdx; }, In.BrowserTable, S.StatByBrowser);
}

void TStatisticsPass::ByOS() {
    Records.SortByOS(1);
    WalkNamed(kVisitorRule, [](const TRecLog& r) { return r.OSIdx; }, In.OSTable, S.StatByOS);
}

void TStatisticsPass::BySpider() {
    Records.SortBySpider(1);
    WalkNamed(kVisitorRule, [](const TRecLog& r) { return r.SpiderIdx; }, In.SpiderTable, S.StatBySpider);
}

void TStatisticsPass::ByUser() {
    Records.SortByUser(1);
    constexpr TWalkRule rule{.Pages = true, .Days = TDailyCounts::Visits};
    Walk(rule, [](const TRecLog& r) { return r.UserIdx; },
         [&](const TRecLog& rec, TRecStat&& row) -> TRecStat* {
             const std::string_view user = In.UserTable.GetString(rec.UserIdx);
             if (user.empty()) return nullptr;
             row.Name = user;
             return Append(S.StatByUserName, std::move(row));
         });
}

void TStatisticsPass::ByVisitLength() {
    TRecStat visit;
    visit.Hits = 1;
    visit.Visits = 1;
    for (const std::int32_t length : VisitLengths)
        TStatistics::MergeStat(S.StatByLenVisit[LengthBand(length)], visit, 0);
    VisitLengths = {};
}

void TStatisticsPass::ByFile() {
    Records.SortByURI(1);
    Walk(
        kFileRule, kEveryHit, [](const TRecLog& r) { return r.URIIdx; },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Name = In.URITable.GetString(rec.URIIdx);
            row.Kind = rec.Kind;
            return Append(S.StatByAllFiles, std::move(row));
        },
        [&](const TRecLog& rec, TRecStat&) {
            if (rec.IsEntry) EntryHits.push_back({rec.URIIdx, rec.DayNo});
            if (rec.IsExit) ExitHits.push_back({rec.URIIdx, rec.DayNo});
        });
}

void TStatisticsPass::ByExtension() {
    Records.SortByExtension(1);
    Walk(kFileHitsRule, [](const TRecLog& r) { return r.ExtIdx; },
         [&](const TRecLog& rec, TRecStat&& row) {
             row.Name = In.ExtTable.GetString(rec.ExtIdx);
             row.Kind = rec.Kind;
             return Append(S.StatByFileExt, std::move(row));
         });
}

void TStatisticsPass::ByDirectory() {
    Records.SortByPath(1);
    WalkNamed(kFileRule, [](const TRecLog& r) { return r.PathIdx; }, In.PathTable, S.StatByFileDir);
}

void TStatisticsPass::ByFileKind() {
    Records.SortByKind(1);
    Walk(kFileHitsRule, [](const TRecLog& r) { return r.Kind; },
         [&](const TRecLog& rec, TRecStat&& row) {
             row.Kind = rec.Kind;
             return Append(S.StatByFileType, std::move(row));
         });
}

// Each entry or exit hit counts Hits 1 and Visits 1 under its URL.
void TStatisticsPass::AddPageRows(const std::vector<TPageHit>& hits, TLstStat& target) {
    for (std::size_t i = 0; i < hits.size(); ++i) {
        if (i == 0 || hits[i].URIIdx != hits[i - 1].URIIdx) {
            TRecStat row;
            row.Name = In.URITable.GetString(hits[i].URIIdx);
            row.PerDay.assign(static_cast<std::size_t>(std::max(S.DaySpan, 0)), 0);
            target.Add(std::move(row));
        }
        TRecStat& row = target.Last();
        ++row.Hits;
        ++row.Visits;
        AddDay(row, hits[i].DayNo);
    }
}

// The file step met the entry and exit hits in URL order.
void TStatisticsPass::ByEntryPage() {
    AddPageRows(EntryHits, S.StatByTopIn);
    EntryHits = {};
}

void TStatisticsPass::ByExitPage() {
    AddPageRows(ExitHits, S.StatByTopOut);
    ExitHits = {};
}

void TStatisticsPass::ByReferrer() {
    Records.SortByReferrer(1);
    constexpr TWalkRule rule{.Pages = true, .Days = TDailyCounts::Visits};
    WalkNamed(rule, [](const TRecLog& r) { return r.ReferrerIdx; }, In.ReferrerTable, S.StatByRefPage);
}

void TStatisticsPass::ByReferrerSite() {
    const TLstStat& pages = S.StatByRefPage;
    std::vector<TRegroupRow> sites;
    sites.reserve(pages.Count());
    THostReferrerHelper helper;
    for (std::size_t i = 0; i < pages.Count(); ++i) {
        helper.ExtractReferrerSite(pages[i].Name);
        sites.push_back({helper.ReferrerSite, i});
    }
    RegroupRows(pages, sites, S.StatByRefDomain, true);
}

void TStatisticsPass::BySearch() {
    const TLstStat& pages = S.StatByRefPage;
    std::vector<TRegroupRow> engines, phrases, keywords, enginePhrases, engineKeywords;
    THostReferrerHelper helper;
    for (std::size_t i = 0; i < pages.Count(); ++i) {
        helper.ExtractSearchPhrase(pages[i].Name, In.SearchEngines);
        if (helper.SearchEngine.empty()) continue;
        engines.push_back({helper.SearchEngine, i});
        phrases.push_back({helper.SearchPhrase, i});
        enginePhrases.push_back({helper.SearchEngine + '\t' + helper.SearchPhrase, i});
        for (const std::string& keyword : helper.Keywords) {
            keywords.push_back({keyword, i});
            engineKeywords.push_back({helper.SearchEngine + '\t' + keyword, i});
        }
    }
    RegroupRows(pages, engines, S.StatByRefSE, true);
    RegroupRows(pages, phrases, S.StatByRefSEP, true);
    RegroupRows(pages, keywords, S.StatByRefSEK, true);
    RegroupRows(pages, enginePhrases, S.StatByRefSESEP, false);
    RegroupRows(pages, engineKeywords, S.StatByRefSESEK, false);
}

void TStatisticsPass::ByStatus() {
    Records.SortByStatus(1);
    constexpr TWalkRule rule{.CountVisits = false, .Traffic = false, .Days = TDailyCounts::Hits};
    Walk(
        rule, kEveryHit, [](const TRecLog& r) { return r.Status; },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Code = rec.Status;
            return Append(S.StatByStatus, std::move(row));
        },
        [&](const TRecLog& rec, TRecStat&) {
            if (rec.IsError) ErrorKeys.emplace_back(rec.Status, rec.URIIdx, rec.ReferrerIdx);
        });
}

// One row per status, URL and referrer. The hits are counted by index first, so each
// distinct triple builds its name once; triples whose joined names meet (texts holding a
// TAB) are merged by the name walk as if every hit had its own row.
void TStatisticsPass::ByError() {
    std::vector<TErrorKey> keys = std::move(ErrorKeys);
    std::sort(keys.begin(), keys.end());
    TLstStat work;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t end = i + 1;
        while (end < keys.size() && keys[end] == keys[i]) ++end;
        const auto [status, uri, referrer] = keys[i];
        TRecStat row;
        row.Name = In.URITable.GetString(uri);
        row.Name += '\t';
        row.Name += In.ReferrerTable.GetString(referrer);
        row.Code = status;
        row.Hits = static_cast<std::int32_t>(end - i);
        work.Add(std::move(row));
        i = end;
    }
    work.SortByCodeName(1);
    for (TRecStat& row : work) {
        if (!S.StatByErr.Empty()) {
            TRecStat& last = S.StatByErr.Last();
            if (last.Code == row.Code && last.Name == row.Name) {
                TStatistics::MergeStat(last, row, 0);
                continue;
            }
        }
        S.StatByErr.Add(std::move(row));
    }
}

}  // namespace

std::uint64_t EstimatePerDayBytes(const TStatisticsPassInput& input, std::int64_t daySpan) {
    if (daySpan <= 0) return 0;
    const std::uint64_t hits = input.Records.Count();
    // A list has at most one row per hit and one per name it can take.
    const auto rows = [hits](std::int64_t names) {
        return std::min<std::uint64_t>(hits, static_cast<std::uint64_t>(std::max<std::int64_t>(names, 0)));
    };
    const std::int64_t hosts = input.HostTable.Count();
    const std::int64_t referrers = input.ReferrerTable.Count();
    constexpr std::int64_t kFileKinds = 6;
    constexpr std::int64_t kStatusCodes = 1000;
    const std::int64_t provinces =
        static_cast<std::int64_t>(USStateTable().size() + CAProvinceTable().size() + CNProvinceTable().size());
    // Host rows and their domains, TLDs, cities, countries (with "unknown"), regions,
    // states and provinces.
    const std::uint64_t hostRows = 4 * rows(hosts) + rows(std::min<std::int64_t>(hosts, kCountryCount + 1)) +
                                   rows(std::min<std::int64_t>(hosts, kRegionCount)) +
                                   rows(std::min(hosts, provinces));
    // All files, entry and exit pages.
    const std::uint64_t fileRows = 3 * rows(input.URITable.Count()) + rows(input.ExtTable.Count()) +
                                   rows(input.PathTable.Count()) + rows(kFileKinds);
    // Referring pages and sites, and the search lists: phrases, keywords and both paired with
    // the engine at most one row per referrer each (keywords repeat across phrases), engines.
    const std::uint64_t referrerRows =
        6 * rows(referrers) + rows(static_cast<std::int64_t>(input.SearchEngines.Count()));
    const std::uint64_t total = hostRows + fileRows + referrerRows + rows(input.BrowserTable.Count()) +
                                rows(input.OSTable.Count()) + rows(input.SpiderTable.Count()) +
                                rows(input.UserTable.Count()) + rows(kStatusCodes);
    const std::uint64_t perRow = static_cast<std::uint64_t>(daySpan) * sizeof(std::int32_t);
    if (total != 0 && perRow > std::numeric_limits<std::uint64_t>::max() / total)
        return std::numeric_limits<std::uint64_t>::max();
    return total * perRow;
}

bool RunStatisticsPass(const TStatisticsPassInput& input, TStatistics& stats) {
    return TStatisticsPass(input, stats).Run();
}

}  // namespace brindle

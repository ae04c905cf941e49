#pragma once
// The statistics pass as its step files share it: the pass object, the lanes the steps walk
// the records with, and the rules a grouping walk applies.
#include <malloc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/ForkJoin_u.h"
#include "engine/GeoHelpers_u.h"
#include "engine/StatisticsPass_u.h"

namespace brindle::statpass {

constexpr std::size_t kPrefetchAhead = 16;

constexpr std::size_t kRecKeyCount = static_cast<std::size_t>(TRecKey::Visit) + 1;
// Keys up to this many are grouped in rows by key; a row per key and visit costs a bit, at
// most this many bits (16 MiB) per step.
constexpr std::int64_t kMostDenseKeys = 65536;
constexpr std::uint64_t kMostKeyVisitBits = std::uint64_t{1} << 27;

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
    bool Traffic = true;  // Bytes, NotModified, Partial, Errors
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
        // Each part comes from the time, so it is always in range.
        const auto hour = static_cast<unsigned>(rec.Hour());
        const auto weekday = static_cast<unsigned>(rec.DayOfWeek());
        const auto day = static_cast<unsigned>(days_.DateOf(rec).Day);
        Count(Hod[hour], rec, hours, 1u << hour);
        Count(Dow[weekday], rec, hours, 1u << (23 + weekday));
        Count(Dom[day], rec, days, 1u << (day - 1));
    }

private:
    static void Count(TRecStat& row, const TRecLog& rec, std::uint32_t& mask, std::uint32_t bit) {
        AddHit(row, rec, kTimeRule, (mask & bit) == 0);
        mask |= bit;
    }
    std::vector<std::uint32_t> hourWeekday_;  // hours 0..23 in bits 0..23, weekdays in 24..30
    std::vector<std::uint32_t> monthDay_;  // days 1..31 in bits 0..30
    TDayDateMemo days_;
};

// A name from the parser's tables: a short one is copied, a long one refers to the table's
// text where it lies, in blocks the result shares (TStatisticsPass::Run).
inline TStatName TableName(std::string_view text) {
    return text.size() <= TStatName::kLocalSize ? TStatName(text) : TStatName::Referring(text);
}

inline TRecStat* Append(TLstStat& list, TRecStat&& row) {
    list.Add(std::move(row));
    return &list.Last();
}

struct TPageHit {
    std::int32_t URIIdx;
    std::int32_t DayNo;
};

using TErrorKey = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // status, URL, referrer

// Fewer rows or hits than these are not worth a thread of their own.
constexpr std::size_t kRowsPerPart = 4096;
constexpr std::size_t kHitsPerPart = 65536;

// One thread's means to walk the records: an order of its own and a visit map. Each is
// made when a step first needs it: steps that read the records in stored order need no
// order, and up to eight lanes each holding one per hit would cost more than the rows.
class TLane {
public:
    TLane(const TLstRecLog& records, std::int64_t lowestVisit, std::int64_t highestVisit)
        : list_(records), lowestVisit_(lowestVisit), highestVisit_(highestVisit) {}
    TRecView& Records() {
        if (!view_) view_.emplace(list_);
        return *view_;
    }
    TVisitMap& Visits() {
        if (!visitsMade_) visits_.Resize(lowestVisit_, highestVisit_);
        visitsMade_ = true;
        return visits_;
    }

private:
    const TLstRecLog& list_;
    std::int64_t lowestVisit_;
    std::int64_t highestVisit_;
    std::optional<TRecView> view_;
    TVisitMap visits_;
    bool visitsMade_ = false;
};

// Each worker thread allocates from a malloc arena of its own, and what a step frees stays
// in that arena: without giving it back, the steps' high-water marks would add up across
// threads instead of following what is live.
inline void ReleaseFreedMemory() { malloc_trim(0); }

class TStepBoard;

class TStatisticsPass {
public:
    TStatisticsPass(const TStatisticsPassInput& input, TStatistics& stats) : In(input), S(stats) {}

    bool Run();

private:
    using TStep = void (TStatisticsPass::*)(TLane&);

public:
    // One step: what it runs, what empties its result, the worker chain that runs it (chains
    // start in number order, a chain's steps in step order), the steps of other chains whose
    // results it needs (bit s for step s), whether the next step walks the record order it
    // leaves, and whether it reads the records at all (not when it reads only rows).
    struct TStepSpec {
        TStep Run;
        void (*Clear)(TStatisticsPass&);
        int Chain;
        std::uint32_t Needs;
        bool OrderToNext;
        bool ReadsRecords = true;
    };
    // Step s at position s - 1.
    static const std::array<TStepSpec, kStatisticsStepCount>& Steps();

private:
    bool Cancelled() const { return In.IsCancelled && In.IsCancelled(); }
    std::int32_t IPOf(std::int32_t host) const {
        return host >= 0 && static_cast<std::size_t>(host) < In.HostIPs.size()
                   ? In.HostIPs[static_cast<std::size_t>(host)]
                   : -1;
    }
    void RunParts(std::size_t count, const std::function<void(std::size_t)>& part) const {
        ForkJoinParts(count, Workers, part);
    }
    void ReportStep(int step) const;
    void ReserveRows(TLstStat& target, TRecKey key) const;
    bool RunOnCallingThread();
    bool RunOnWorkers(int threads);
    // Runs chains until none is left or the board stops; AfterStep, if any, after each step.
    void Work(TStepBoard& board, const std::function<void()>& afterStep);
    void RunStep(int step, TLane& lane);
    // Counts a finished step; after the last that read the records, tells the caller.
    void FinishedWithRecords(int step);
    // Empties what the steps after the given one produced: the result of a run stopped
    // there, whatever the workers had done ahead.
    void ClearAfter(int step);

    // The visit ids and key values the records hold, for sizing the visit maps and choosing
    // how each step groups.
    void ScanRecords();
    void AddDay(TRecStat& row, std::int32_t dayNo) const;
    // One row per URL of entry or exit hits, hits per day.
    void AddPageRows(const std::vector<TPageHit>& hits, TLstStat& target);

    // Walks positions [From, To) of the records' order; a group starts at From and wherever
    // KeyOf changes. StartGroup stores the group's first row and returns it (null skips the
    // group); EachHit sees every hit of a stored group after its contribution.
    template <class KeyOf, class StartGroup, class EachHit>
    void Walk(const TRecView& records, TVisitMap& visits, std::size_t from, std::size_t to, const TWalkRule& rule,
              KeyOf keyOf, StartGroup startGroup, EachHit eachHit);
    template <class KeyOf, class StartGroup>
    void Walk(TLane& lane, const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup);
    // One row per key in Target, in key order: the hits grouped by their key, each group's
    // row filled by FirstHit from its first hit in stored order (false drops the group);
    // EachHit sees every hit of a kept group, in stored order within the group, after its
    // contribution. Reads the records in stored order when the keys and visits allow,
    // else sorts them by the key.
    template <class KeyOf, class FirstHit, class EachHit>
    void Group(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit, EachHit eachHit,
               TLstStat& target);
    template <class KeyOf, class FirstHit>
    void Group(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit, TLstStat& target);
    // The same with EachHit seeing the hits of parts of the sorted order side by side: it
    // gets the part, numbered in the order of the sorted walk; StartParts is told how many
    // parts there are before the walk begins. In stored order there is one part, 0.
    template <class KeyOf, class FirstHit, class PartHit>
    void GroupInParts(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                      const std::function<void(std::size_t)>& startParts, PartHit partHit, TLstStat& target);
    template <class KeyOf, class FirstHit, class PartHit>
    void GroupSortedInParts(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                            const std::function<void(std::size_t)>& startParts, PartHit partHit, TLstStat& target);
    // One row per key named by the key's text.
    template <class KeyOf>
    void GroupNamed(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, const TBucketString& names,
                    TLstStat& target);
    // How a group tells that a hit's visit is new to it.
    enum class TDedup { Sort, None, Visit, KeyAndVisit };
    TDedup ChooseDedup(const TWalkRule& rule, TRecKey key) const;
    bool VisitsStayOnOneHost() const;
    // Groups in one pass in stored order when the keys and visits allow; false when not.
    template <class KeyOf, class FirstHit, class EachHit>
    bool GroupInStoredOrder(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                            EachHit eachHit, TLstStat& target);
    template <class KeyOf, class FirstHit, class EachHit>
    void GroupStored(TLane& lane, const TWalkRule& rule, TDedup dedup, KeyOf keyOf, std::size_t keys, FirstHit firstHit,
                     EachHit eachHit, TLstStat& target);

    // The City reader loads its whole database when it opens, so reading the file ahead to
    // warm the file cache would only read it twice.
    void WarmCityCache(TLane&) {}
    void SumSummary(TLane& lane);
    void FindTimeRange(TLane& lane);
    void ByDay(TLane& lane);
    void ByMonth(TLane& lane);
    void ByHour(TLane& lane);
    void ByWeekday(TLane& lane);
    void ByDayOfMonth(TLane& lane);
    void ByHost(TLane& lane);
    void HostCountries(TLane& lane);
    void HostGroups(TLane& lane);
    void RegroupHosts(TLane& lane);
    // Host rows regrouped into lists, their long names kept in the result's store.
    struct THostRegroup {
        std::vector<TRegroupRow>& Work;
        TLstStat& Target;
        bool SumDays;
    };
    void RegroupFromHosts(std::initializer_list<THostRegroup> regroups);
    void RegroupCities(TLane& lane);
    void ByBrowser(TLane& lane);
    void ByOS(TLane& lane);
    void BySpider(TLane& lane);
    void ByUser(TLane& lane);
    void ByVisitLength(TLane& lane);
    void ByFile(TLane& lane);
    void ByExtension(TLane& lane);
    void ByDirectory(TLane& lane);
    void ByFileKind(TLane& lane);
    void ByEntryPage(TLane& lane);
    void ByExitPage(TLane& lane);
    void ByReferrer(TLane& lane);
    void ByReferrerSite(TLane& lane);
    void BySearch(TLane& lane);
    void ByStatus(TLane& lane);
    void ByError(TLane& lane);

    const TStatisticsPassInput& In;
    TStatistics& S;
    std::size_t Workers = 1;  // threads the run uses
    std::atomic<int> BusyChains{0};  // chains running on the worker threads
    std::atomic<int> RecordReadersLeft{0};  // steps still to finish that read the records
    // Counts a running chain for as long as it runs.
    struct TBusy {
        std::atomic<int>& Count;
        explicit TBusy(std::atomic<int>& count) : Count(count) { ++Count; }
        ~TBusy() { --Count; }
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;
    };
    std::int64_t LowestVisit = 1;
    std::int64_t HighestVisit = 0;
    struct TKeySpan {
        std::int64_t Lowest = 0;
        std::int64_t Highest = -1;
    };
    std::array<TKeySpan, kRecKeyCount> Spans{};  // by TRecKey
    THostGroupLists HostLists;
    // The host countries as the GeoIP step left them, before the top-level-domain fallback.
    std::vector<std::int32_t> LookedUpCountries;
    std::unique_ptr<TClockTables> Clock;
    // Walks whose order a later step shares collect for it: the length of every visit
    // (summary), the entry and exit hits (files, in URL order) and the error hits (status).
    std::vector<std::int32_t> VisitLengths;
    std::vector<TPageHit> EntryHits;
    std::vector<TPageHit> ExitHits;
    std::vector<TErrorKey> ErrorKeys;
};

}  // namespace brindle::statpass

#include "engine/StatisticsPass_u.h"

#include <malloc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ELogConvert.h"
#include "engine/ForkJoin_u.h"
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

constexpr std::size_t kRecKeyCount = static_cast<std::size_t>(TRecKey::Visit) + 1;
// Keys up to this many are grouped in rows by key; a row per key and visit costs a bit, at
// most this many bits (16 MiB) per step.
constexpr std::int64_t kMostDenseKeys = 65536;
constexpr std::uint64_t kMostKeyVisitBits = std::uint64_t{1} << 27;

int LengthBand(std::int32_t seconds) {
    for (std::size_t i = 0; i < kLengthBandEnds.size(); ++i)
        if (seconds < kLengthBandEnds[i]) return static_cast<int>(i) + 1;
    return static_cast<int>(kLengthBandEnds.size()) + 1;
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

struct TPageHit {
    std::int32_t URIIdx;
    std::int32_t DayNo;
};

using TErrorKey = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // status, URL, referrer

// Texts kept in blocks that never move, so views into them stay valid while more are
// added: a million search names as strings would each cost an object and a heap block.
class TTextArena {
public:
    std::string_view Keep(std::string_view text) {
        if (blocks_.empty() || used_ + text.size() > blockSize_) {
            blockSize_ = std::max(kBlockBytes, text.size());
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockSize_));
            used_ = 0;
        }
        char* at = blocks_.back().get() + used_;
        std::copy(text.begin(), text.end(), at);
        used_ += text.size();
        return {at, text.size()};
    }

private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockSize_ = 0;
    std::size_t used_ = 0;
};

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

// The day and month steps walk the time order that step 3 sorted; every other step sorts
// afresh, so a lane (an order per hit and its sort buffers) need not outlive its step.
bool NextStepReadsOrder(int step) { return step == 3 || step == 4; }

// Each worker thread allocates from a malloc arena of its own, and what a step frees stays
// in that arena: without giving it back, the steps' high-water marks would add up across
// threads instead of following what is live.
void ReleaseFreedMemory() { malloc_trim(0); }

// The steps as the worker threads run them: each chain on one thread, in its order, once
// the steps it waits for have finished. A step needs only what an earlier step of its own
// chain or a step waited for produced. Every step waits for steps 2 and 3, except those
// of the first two chains: it needs the visit lengths of step 2 or the day span that step
// 3 checks before any per-day array may exist. Chains waited for come before the chains
// waiting, and every step comes after all it waits for, so reporting in step order meets
// a failed step before any step that can no longer finish. Longest chains first.
struct TChain {
    std::vector<int> Steps;
    std::vector<int> After;
};
const std::vector<TChain> kChains = {
    {{1, 2}, {}},          {{3, 4, 5, 6, 7, 8}, {}}, {{25}, {2, 3}},  {{9, 10, 11, 12, 13}, {2, 3}},
    {{19, 23, 24}, {2, 3}}, {{20}, {2, 3}},           {{21}, {2, 3}},  {{22}, {2, 3}},
    {{14}, {2, 3}},         {{15}, {2, 3}},           {{16}, {2, 3}},  {{17}, {2, 3}},
    {{28, 29}, {2, 3}},     {{18}, {2, 3}},           {{27}, {2, 3, 25}}, {{26}, {2, 3, 25}}};

// What the workers and the reporting thread share: which steps have finished, with what
// error, and whether the run is being stopped.
class TStepBoard {
public:
    // The next chain to run; kChains.size() when none is left.
    std::size_t TakeChain() { return NextChain.fetch_add(1); }

    void Finish(int step, std::exception_ptr error) {
        {
            const std::lock_guard lock(Mutex);
            Errors[static_cast<std::size_t>(step)] = std::move(error);
            Finished[static_cast<std::size_t>(step)] = true;
        }
        Changed.notify_all();
    }

    // Waits for the step; its error, null when it succeeded or the run was stopped.
    std::exception_ptr WaitFor(int step) {
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [&] { return Finished[static_cast<std::size_t>(step)] || Stopping; });
        return Errors[static_cast<std::size_t>(step)];
    }

    // Waits for the steps; false when one failed or the run is being stopped.
    bool WaitForAll(const std::vector<int>& steps) {
        std::unique_lock lock(Mutex);
        const auto finished = [&] {
            return std::all_of(steps.begin(), steps.end(),
                               [&](int step) { return Finished[static_cast<std::size_t>(step)]; });
        };
        Changed.wait(lock, [&] { return finished() || Stopping; });
        return !Stopping && std::none_of(steps.begin(), steps.end(), [&](int step) {
            return Errors[static_cast<std::size_t>(step)] != nullptr;
        });
    }

    void Stop() {
        {
            const std::lock_guard lock(Mutex);
            Stopping = true;
        }
        Changed.notify_all();
    }

    bool Stopped() {
        const std::lock_guard lock(Mutex);
        return Stopping;
    }

private:
    std::atomic<std::size_t> NextChain{0};
    std::mutex Mutex;
    std::condition_variable Changed;
    std::array<bool, kStatisticsStepCount + 1> Finished{};
    std::array<std::exception_ptr, kStatisticsStepCount + 1> Errors{};
    bool Stopping = false;
};

class TStatisticsPass {
public:
    TStatisticsPass(const TStatisticsPassInput& input, TStatistics& stats) : In(input), S(stats) {}

    bool Run();

private:
    using TStep = void (TStatisticsPass::*)(TLane&);

    bool Cancelled() const { return In.IsCancelled && In.IsCancelled(); }
    std::int32_t IPOf(std::int32_t host) const {
        return host >= 0 && static_cast<std::size_t>(host) < In.HostIPs.size() ? In.HostIPs[static_cast<std::size_t>(host)]
                                                                                 : -1;
    }
    void RunParts(std::size_t count, const std::function<void(std::size_t)>& part) const {
        ForkJoinParts(count, Workers, part);
    }
    void ReportStep(int step) const;
    void ReserveRows(TLstStat& target, TRecKey key) const;
    bool RunOnCallingThread();
    bool RunOnWorkers(int threads);
    void Work(TStepBoard& board);
    void RunStep(int step, TLane& lane);
    // Empties what the steps after the given one produced: the result of a run stopped
    // there, whatever the workers had done ahead.
    void ClearAfter(int step);
    void ClearStep(int step);

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
    void GroupStored(TLane& lane, const TWalkRule& rule, TDedup dedup, KeyOf keyOf, std::size_t keys,
                     FirstHit firstHit, EachHit eachHit, TLstStat& target);

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

void TStatisticsPass::RunStep(int step, TLane& lane) {
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
    (this->*kSteps[static_cast<std::size_t>(step - 1)])(lane);
}

void TStatisticsPass::ReportStep(int step) const {
    if (In.Progress) In.Progress(step * 100 / kStatisticsStepCount, kProgressText);
}

// A thread must have enough hits to pay for starting it, and every lane may hold an order
// and sort buffers of about a dozen bytes per hit: on logs of many millions of hits more
// lanes would cost more memory than the time they save is worth.
int AutomaticStatisticsThreads(std::size_t hits) {
    constexpr std::size_t kHitsPerThread = 32768;
    constexpr std::size_t kLaneBudgetBytes = std::size_t{256} << 20;
    constexpr std::size_t kLaneBytesPerHit = 12;
    const std::size_t byWork = hits / kHitsPerThread;
    const std::size_t byMemory = kLaneBudgetBytes / std::max<std::size_t>(hits * kLaneBytesPerHit, 1);
    const int processors = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kStatisticsMaxThreads);
    return static_cast<int>(std::clamp<std::size_t>(std::min(byWork, byMemory), 1, static_cast<std::size_t>(processors)));
}

// Room for every row a key can give at once: a list of a million rows grown by doubling
// would hold its old and new copies together. Room never used is never touched, so it
// costs no memory; keys whose span is unknown get none.
void TStatisticsPass::ReserveRows(TLstStat& target, TRecKey key) const {
    const TKeySpan& span = Spans[static_cast<std::size_t>(key)];
    if (span.Highest < span.Lowest) return;
    const std::uint64_t keys = static_cast<std::uint64_t>(span.Highest - span.Lowest) + 1;
    target.Reserve(static_cast<std::size_t>(std::min<std::uint64_t>(keys, In.Records.Count())));
}

bool TStatisticsPass::Run() {
    if (Cancelled()) return false;
    int threads = In.Threads;
    if (threads <= 0) threads = AutomaticStatisticsThreads(In.Records.Count());
    threads = std::min(threads, static_cast<int>(kChains.size()));
    Workers = static_cast<std::size_t>(threads);
    ScanRecords();
    return threads <= 1 ? RunOnCallingThread() : RunOnWorkers(threads);
}

bool TStatisticsPass::RunOnCallingThread() {
    std::optional<TLane> lane;
    for (int step = 1; step <= kStatisticsStepCount; ++step) {
        if (!lane) lane.emplace(In.Records, LowestVisit, HighestVisit);
        RunStep(step, *lane);
        if (!NextStepReadsOrder(step)) lane.reset();
        ReportStep(step);
        if (Cancelled()) return false;
    }
    return true;
}

bool TStatisticsPass::RunOnWorkers(int threads) {
    TStepBoard board;
    std::vector<std::thread> workers;
    const auto stopWorkers = [&] {
        board.Stop();
        for (std::thread& worker : workers) worker.join();
        workers.clear();
    };
    int kept = 0;  // the last step whose result stands
    bool cancelled = false;
    try {
        for (int i = 0; i < threads; ++i) workers.emplace_back([this, &board] { Work(board); });
        for (int step = 1; step <= kStatisticsStepCount && !cancelled; ++step) {
            kept = step;
            if (const std::exception_ptr error = board.WaitFor(step)) std::rethrow_exception(error);
            ReportStep(step);
            cancelled = Cancelled();
        }
    } catch (...) {
        stopWorkers();
        ClearAfter(kept);
        throw;
    }
    stopWorkers();
    if (cancelled) ClearAfter(kept);
    return !cancelled;
}

void TStatisticsPass::Work(TStepBoard& board) {
    for (std::size_t chain = board.TakeChain(); chain < kChains.size(); chain = board.TakeChain()) {
        if (!board.WaitForAll(kChains[chain].After)) return;
        // A chain's order and visit map go with it.
        std::optional<TLane> lane;
        const TBusy busy(BusyChains);
        for (const int step : kChains[chain].Steps) {
            if (board.Stopped()) return;
            std::exception_ptr error;
            try {
                if (!lane) lane.emplace(In.Records, LowestVisit, HighestVisit);
                RunStep(step, *lane);
                if (!NextStepReadsOrder(step)) lane.reset();
                ReleaseFreedMemory();
            } catch (...) {
                error = std::current_exception();
            }
            const bool failed = error != nullptr;
            board.Finish(step, std::move(error));
            if (failed) break;
        }
    }
}

void TStatisticsPass::ClearAfter(int step) {
    // Latest first: a step that changed rows of an earlier one is undone before it.
    for (int later = kStatisticsStepCount; later > step; --later) ClearStep(later);
}

void TStatisticsPass::ClearStep(int step) {
    switch (step) {
    case 2:
        S.Summary = {};
        break;
    case 3:
        S.FirstHitTime = S.LastHitTime = 0;
        S.FirstDay = S.LastDay = S.DaySpan = 0;
        break;
    case 4:
        S.StatByDay.Clear();
        break;
    case 5:
        S.StatByMon.Clear();
        break;
    case 6:
        S.StatByHod.Clear();
        break;
    case 7:
        S.StatByDow.Clear();
        break;
    case 8:
        S.StatByDom.Clear();
        break;
    case 9:
        S.StatByHost.Clear();
        break;
    case 10:
        for (TRecStat& host : S.StatByHost) host.Country = 0;
        break;
    case 11:
        S.StatByNbVisit.Clear();
        if (LookedUpCountries.size() == S.StatByHost.Count())
            for (std::size_t i = 0; i < LookedUpCountries.size(); ++i) S.StatByHost[i].Country = LookedUpCountries[i];
        break;
    case 12:
        for (TLstStat* list : {&S.StatByDomain, &S.StatByTld, &S.StatByCountry, &S.StatByRegion}) list->Clear();
        break;
    case 13:
        for (TLstStat* list : {&S.StatByUSState, &S.StatByCAProv, &S.StatByCNProv, &S.StatByCity}) list->Clear();
        break;
    case 14:
        S.StatByBrowser.Clear();
        break;
    case 15:
        S.StatByOS.Clear();
        break;
    case 16:
        S.StatBySpider.Clear();
        break;
    case 17:
        S.StatByUserName.Clear();
        break;
    case 18:
        S.StatByLenVisit.Clear();
        break;
    case 19:
        S.StatByAllFiles.Clear();
        break;
    case 20:
        S.StatByFileExt.Clear();
        break;
    case 21:
        S.StatByFileDir.Clear();
        break;
    case 22:
        S.StatByFileType.Clear();
        break;
    case 23:
        S.StatByTopIn.Clear();
        break;
    case 24:
        S.StatByTopOut.Clear();
        break;
    case 25:
        S.StatByRefPage.Clear();
        break;
    case 26:
        S.StatByRefDomain.Clear();
        break;
    case 27:
        for (TLstStat* list : {&S.StatByRefSE, &S.StatByRefSEP, &S.StatByRefSEK, &S.StatByRefSESEP, &S.StatByRefSESEK})
            list->Clear();
        break;
    case 28:
        S.StatByStatus.Clear();
        break;
    case 29:
        S.StatByErr.Clear();
        break;
    default:
        break;
    }
}

void TStatisticsPass::ScanRecords() {
    constexpr std::array kScanned = {TRecKey::Host,     TRecKey::User,    TRecKey::URI, TRecKey::Extension,
                                     TRecKey::Path,     TRecKey::Referrer, TRecKey::Browser, TRecKey::OS,
                                     TRecKey::Spider,   TRecKey::Status,   TRecKey::Kind,    TRecKey::Visit};
    const auto valueOf = [](const TRecLog& rec, TRecKey key) -> std::int64_t {
        switch (key) {
        case TRecKey::Host: return rec.HostIdx;
        case TRecKey::User: return rec.UserIdx;
        case TRecKey::URI: return rec.URIIdx;
        case TRecKey::Extension: return rec.ExtIdx;
        case TRecKey::Path: return rec.PathIdx;
        case TRecKey::Referrer: return rec.ReferrerIdx;
        case TRecKey::Browser: return rec.BrowserIdx;
        case TRecKey::OS: return rec.OSIdx;
        case TRecKey::Spider: return rec.SpiderIdx;
        case TRecKey::Status: return rec.Status;
        case TRecKey::Kind: return rec.Kind;
        default: return rec.VisitId;
        }
    };
    const TLstRecLog& records = In.Records;
    const std::size_t count = records.Count();
    const std::size_t parts = std::clamp<std::size_t>(count / kHitsPerPart, 1, Workers);
    using TSpans = std::array<TKeySpan, kScanned.size()>;
    std::vector<TSpans> found(parts);
    RunParts(parts, [&](std::size_t part) {
        TSpans& spans = found[part];
        spans.fill({std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()});
        for (std::size_t i = count * part / parts; i < count * (part + 1) / parts; ++i) {
            const TRecLog& rec = records.Stored(i);
            for (std::size_t k = 0; k < kScanned.size(); ++k) {
                const std::int64_t value = valueOf(rec, kScanned[k]);
                spans[k].Lowest = std::min(spans[k].Lowest, value);
                spans[k].Highest = std::max(spans[k].Highest, value);
            }
        }
    });
    LowestVisit = 1;
    HighestVisit = std::max(S.VisitCount, 0);
    if (count == 0) return;
    for (std::size_t k = 0; k < kScanned.size(); ++k) {
        TKeySpan& span = Spans[static_cast<std::size_t>(kScanned[k])];
        span = found[0][k];
        for (const TSpans& more : found) {
            span.Lowest = std::min(span.Lowest, more[k].Lowest);
            span.Highest = std::max(span.Highest, more[k].Highest);
        }
    }
    const TKeySpan& visits = Spans[static_cast<std::size_t>(TRecKey::Visit)];
    LowestVisit = std::min<std::int64_t>(LowestVisit, visits.Lowest);
    HighestVisit = std::max(HighestVisit, visits.Highest);
}

void TStatisticsPass::AddDay(TRecStat& row, std::int32_t dayNo) const {
    const std::int64_t day = static_cast<std::int64_t>(dayNo) - S.FirstDay;
    if (day >= 0) row.PerDay.Add(static_cast<std::size_t>(day));
}

template <class KeyOf, class StartGroup, class EachHit>
void TStatisticsPass::Walk(const TRecView& records, TVisitMap& visits, std::size_t from, std::size_t to,
                           const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup, EachHit eachHit) {
    visits.Reset();
    TRecStat* row = nullptr;
    std::int64_t groupKey = 0;
    for (std::size_t pos = from; pos < to; ++pos) {
        // The sorted order jumps around the stored records: fetch ahead so that the misses overlap.
        if (pos + kPrefetchAhead < to) {
            const char* ahead = reinterpret_cast<const char*>(&records.Get(pos + kPrefetchAhead));
            __builtin_prefetch(ahead);
            __builtin_prefetch(ahead + sizeof(TRecLog) - 1);  // a record spans two cache lines
        }
        const TRecLog& rec = records.Get(pos);
        const std::int64_t key = keyOf(rec);
        if (pos == from || key != groupKey) {
            groupKey = key;
            visits.StartGroup();
            TRecStat first;
            AddHit(first, rec, rule, rule.CountVisits && visits.FirstInGroup(rec.VisitId));
            if (rule.Days != TDailyCounts::None) {
                first.PerDay.Reset(static_cast<std::size_t>(std::max(S.DaySpan, 0)));
                AddDay(first, rec.DayNo);
            }
            row = startGroup(rec, std::move(first));
            if (row) eachHit(rec, *row);
            continue;
        }
        if (!row) continue;
        const bool counted = rule.CountVisits && visits.FirstInGroup(rec.VisitId);
        AddHit(*row, rec, rule, counted);
        if (rule.Days == TDailyCounts::Hits || (rule.Days == TDailyCounts::Visits && counted)) AddDay(*row, rec.DayNo);
        eachHit(rec, *row);
    }
}

template <class KeyOf, class StartGroup>
void TStatisticsPass::Walk(TLane& lane, const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup) {
    Walk(lane.Records(), lane.Visits(), 0, lane.Records().Count(), rule, keyOf, startGroup,
         [](const TRecLog&, TRecStat&) {});
}

TStatisticsPass::TDedup TStatisticsPass::ChooseDedup(const TWalkRule& rule, TRecKey key) const {
    const TKeySpan& span = Spans[static_cast<std::size_t>(key)];
    if (In.AlwaysSort || In.Records.Empty() || span.Lowest < 0 || span.Highest >= kMostDenseKeys)
        return TDedup::Sort;
    if (!rule.CountVisits) return TDedup::None;
    // Every hit of a visit has the visit's host, as the visit step makes them.
    if (key == TRecKey::Host && VisitsStayOnOneHost()) return TDedup::Visit;
    const auto visits = static_cast<std::uint64_t>(HighestVisit - LowestVisit + 1);
    if (static_cast<std::uint64_t>(span.Highest + 1) * visits <= kMostKeyVisitBits) return TDedup::KeyAndVisit;
    return TDedup::Sort;
}

bool TStatisticsPass::VisitsStayOnOneHost() const {
    std::vector<std::int32_t> hostOfVisit(static_cast<std::size_t>(HighestVisit - LowestVisit + 1), -1);
    const TLstRecLog& records = In.Records;
    for (const TRecLog& rec : records) {
        std::int32_t& host = hostOfVisit[static_cast<std::size_t>(rec.VisitId - LowestVisit)];
        if (host >= 0 && host != rec.HostIdx) return false;
        host = rec.HostIdx;
    }
    return true;
}

template <class KeyOf, class FirstHit, class EachHit>
bool TStatisticsPass::GroupInStoredOrder(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf,
                                         FirstHit firstHit, EachHit eachHit, TLstStat& target) {
    const TDedup dedup = ChooseDedup(rule, key);
    if (dedup == TDedup::Sort) return false;
    const std::int64_t keys = Spans[static_cast<std::size_t>(key)].Highest + 1;
    GroupStored(lane, rule, dedup, keyOf, static_cast<std::size_t>(keys), firstHit, eachHit, target);
    return true;
}

template <class KeyOf, class FirstHit, class EachHit>
void TStatisticsPass::Group(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                            EachHit eachHit, TLstStat& target) {
    if (GroupInStoredOrder(lane, rule, key, keyOf, firstHit, eachHit, target)) return;
    ReserveRows(target, key);
    lane.Records().SortBy(key, 1);
    Walk(
        lane.Records(), lane.Visits(), 0, lane.Records().Count(), rule, keyOf,
        [&](const TRecLog& rec, TRecStat&& row) -> TRecStat* {
            if (!firstHit(rec, row)) return nullptr;
            return Append(target, std::move(row));
        },
        eachHit);
}

template <class KeyOf, class FirstHit>
void TStatisticsPass::Group(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                            TLstStat& target) {
    const auto noHit = [](const TRecLog&, TRecStat&) {};
    if (GroupInStoredOrder(lane, rule, key, keyOf, firstHit, noHit, target)) return;
    // Without EachHit the groups share nothing, so parts of the sorted order, each from a
    // group's first hit, are walked side by side and their rows joined in order.
    TRecView& records = lane.Records();
    records.SortBy(key, 1);
    const std::size_t count = records.Count();
    // Only threads no chain is using take parts: each part holds a visit map of its own, and
    // eight steps splitting eight ways at once would hold sixty-four.
    const std::size_t busy = static_cast<std::size_t>(std::max(BusyChains.load(), 1));
    const std::size_t idle = Workers > busy ? Workers - busy : 0;
    const std::size_t parts = std::clamp<std::size_t>(count / kHitsPerPart, 1, idle + 1);
    if (parts == 1) ReserveRows(target, key);
    std::vector<std::size_t> bounds(parts + 1, count);
    bounds[0] = 0;
    for (std::size_t part = 1; part < parts; ++part) {
        std::size_t at = std::max(bounds[part - 1], count * part / parts);
        while (at > 0 && at < count && keyOf(records.Get(at)) == keyOf(records.Get(at - 1))) ++at;
        bounds[part] = at;
    }
    std::vector<TLstStat> found(parts);
    RunParts(parts, [&](std::size_t part) {
        TVisitMap own;
        if (part > 0) own.Resize(LowestVisit, HighestVisit);
        TLstStat& rows = parts == 1 ? target : found[part];
        Walk(
            records, part == 0 ? lane.Visits() : own, bounds[part], bounds[part + 1], rule, keyOf,
            [&](const TRecLog& rec, TRecStat&& row) -> TRecStat* {
                if (!firstHit(rec, row)) return nullptr;
                return Append(rows, std::move(row));
            },
            noHit);
    });
    if (parts == 1) return;
    std::size_t rows = target.Count();
    for (const TLstStat& part : found) rows += part.Count();
    target.Reserve(rows);
    for (TLstStat& part : found) {
        for (TRecStat& row : part) target.Add(std::move(row));
        part = TLstStat{};
    }
}

template <class KeyOf>
void TStatisticsPass::GroupNamed(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf,
                                 const TBucketString& names, TLstStat& target) {
    Group(
        lane, rule, key, keyOf,
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = names.GetString(static_cast<std::int32_t>(keyOf(rec)));
            return true;
        },
        target);
}

// The sorted walk meets a group's hits in stored order, so its first hit is the first one
// stored and a visit counts at its first hit stored: one pass in stored order, a row per
// key and a bit per key and visit come to the same rows.
template <class KeyOf, class FirstHit, class EachHit>
void TStatisticsPass::GroupStored(TLane& lane, const TWalkRule& rule, TDedup dedup, KeyOf keyOf, std::size_t keys,
                                  FirstHit firstHit, EachHit eachHit, TLstStat& target) {
    enum : std::uint8_t { kUnseen, kKept, kDropped };
    std::vector<TRecStat> rows(keys);
    std::vector<std::uint8_t> state(keys, kUnseen);
    TVisitMap& visits = lane.Visits();
    visits.Reset();
    visits.StartGroup();
    std::vector<std::uint64_t> keyVisits(dedup == TDedup::KeyAndVisit ? (keys * visits.Size() + 63) / 64 : 0);
    const auto newVisit = [&](std::size_t key, const TRecLog& rec) {
        if (dedup == TDedup::Visit) return visits.FirstInGroup(rec.VisitId);
        const std::size_t slot = visits.Slot(rec.VisitId);
        if (slot == TVisitMap::kNoSlot) return true;
        // Visit-major: the hits of a visit lie close together, and so do its bits.
        const std::size_t bit = slot * keys + key;
        std::uint64_t& word = keyVisits[bit / 64];
        const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
        if ((word & mask) != 0) return false;
        word |= mask;
        return true;
    };
    const std::size_t count = In.Records.Count();
    for (std::size_t i = 0; i < count; ++i) {
        const TRecLog& rec = In.Records.Stored(i);
        const auto key = static_cast<std::size_t>(keyOf(rec));
        std::uint8_t& seen = state[key];
        if (seen == kDropped) continue;
        const bool counted = dedup != TDedup::None && newVisit(key, rec);
        TRecStat& row = rows[key];
        AddHit(row, rec, rule, counted);
        if (seen == kUnseen) {
            if (rule.Days != TDailyCounts::None) {
                row.PerDay.Reset(static_cast<std::size_t>(std::max(S.DaySpan, 0)));
                AddDay(row, rec.DayNo);
            }
            if (!firstHit(rec, row)) {
                seen = kDropped;
                row = {};
                continue;
            }
            seen = kKept;
        } else if (rule.Days == TDailyCounts::Hits || (rule.Days == TDailyCounts::Visits && counted)) {
            AddDay(row, rec.DayNo);
        }
        eachHit(rec, row);
    }
    for (std::size_t key = 0; key < keys; ++key)
        if (state[key] == kKept) target.Add(std::move(rows[key]));
}

void TStatisticsPass::SumSummary(TLane& lane) {
    if (In.AlwaysSort) {
        TRecView& records = lane.Records();
        records.SortBy(TRecKey::Visit, 1);
        std::int32_t previous = 0;
        for (std::size_t pos = 0; pos < records.Count(); ++pos) {
            const TRecLog& rec = records.Get(pos);
            const bool newVisit = rec.VisitId != previous;
            AddHit(S.Summary, rec, kTimeRule, pos == 0 || newVisit);
            if (newVisit) VisitLengths.push_back(rec.VisitDuration);
            previous = rec.VisitId;
        }
        return;
    }
    // The same in stored order: a visit counts at its first hit stored, which the walk in
    // visit order meets first; only a visit 0 that is the lowest id present gave no length
    // there. The lengths are only counted, so their order does not matter.
    TVisitMap& visits = lane.Visits();
    visits.Reset();
    visits.StartGroup();
    const TLstRecLog& records = In.Records;
    for (std::size_t i = 0; i < records.Count(); ++i) {
        const TRecLog& rec = records.Stored(i);
        const bool newVisit = visits.FirstInGroup(rec.VisitId);
        AddHit(S.Summary, rec, kTimeRule, newVisit);
        if (newVisit && (rec.VisitId != 0 || LowestVisit < 0)) VisitLengths.push_back(rec.VisitDuration);
    }
}

void TStatisticsPass::FindTimeRange(TLane& lane) {
    TRecView& records = lane.Records();
    records.SortBy(TRecKey::Time, 1);
    if (records.Empty()) return;
    const TRecLog& first = records.Get(0);
    const TRecLog& last = records.Get(records.Count() - 1);
    S.FirstHitTime = first.Time;
    S.FirstDay = first.DayNo;
    S.LastHitTime = last.Time;
    S.LastDay = last.DayNo;
    if (S.FirstDay == 0 || S.LastDay == 0) return;
    const std::int64_t span = static_cast<std::int64_t>(S.LastDay) - S.FirstDay + 1;
    // The counts are sparse, so memory does not grow with the span; only a saved document
    // does, where every row with daily counts takes four bytes per day.
    const bool tooLarge = In.PerDayDocumentLimit != 0 && EstimatePerDayBytes(In, span) > In.PerDayDocumentLimit;
    if (span > kMaxDaySpan || tooLarge)
        throw ELogConvert(SafeFormat("The hits run from %s to %s: too many days for the daily statistics.",
                                     {FormatDateText(S.FirstHitTime), FormatDateText(S.LastHitTime)}));
    S.DaySpan = static_cast<std::int32_t>(span);
}

// Step 3 left the records in time order, which groups days and months as well. The
// walk also fills the hour, weekday and day-of-month rows for their own steps.
void TStatisticsPass::ByDay(TLane& lane) {
    Clock = std::make_unique<TClockTables>(lane.Visits().Size());
    Walk(
        lane.Records(), lane.Visits(), 0, lane.Records().Count(), kTimeRule, [](const TRecLog& r) { return r.DayNo; },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Key = StartOfDay(rec.DayNo);
            return Append(S.StatByDay, std::move(row));
        },
        [&](const TRecLog& rec, TRecStat&) { Clock->Add(rec, lane.Visits().Slot(rec.VisitId)); });
}

void TStatisticsPass::ByMonth(TLane& lane) {
    Walk(lane, kTimeRule, [](const TRecLog& r) { return r.MonthKey(); },
         [&](const TRecLog& rec, TRecStat&& row) {
             row.Key = StartOfDay(rec.MonthStart());
             return Append(S.StatByMon, std::move(row));
         });
}

void TStatisticsPass::ByHour(TLane&) { S.StatByHod = Clock->Hod; }
void TStatisticsPass::ByWeekday(TLane&) { S.StatByDow = Clock->Dow; }
void TStatisticsPass::ByDayOfMonth(TLane&) {
    S.StatByDom = Clock->Dom;
    Clock.reset();
}

void TStatisticsPass::ByHost(TLane& lane) {
    Group(
        lane, kVisitorRule, TRecKey::Host, [](const TRecLog& r) { return r.HostIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = In.HostTable.GetString(rec.HostIdx);
            row.IP = IPOf(rec.HostIdx);
            row.Key = rec.Time;
            return true;
        },
        [](const TRecLog& rec, TRecStat& row) { row.Key = std::max(row.Key, rec.Time); }, S.StatByHost);
}

void TStatisticsPass::HostCountries(TLane&) {
    std::unique_ptr<IGeoIPCountryReader> reader =
        In.CountryReaderFactory ? In.CountryReaderFactory() : CreateGeoIPCountryReader();
    if (reader) AssignHostCountries(S.StatByHost, *reader, In.CountryDbFile);
}

void TStatisticsPass::HostGroups(TLane&) {
    LookedUpCountries.clear();
    for (const TRecStat& host : S.StatByHost) LookedUpCountries.push_back(host.Country);
    HostLists = CollectHostGroups(S.StatByHost);
    for (const TRecStat& host : S.StatByHost) {
        if (host.Visits <= 0) continue;
        TStatistics::MergeStat(S.StatByNbVisit[std::min(host.Visits, TArrayByNbVisit::kLast)], host, 0);
    }
}

void TStatisticsPass::RegroupHosts(TLane&) {
    const TLstStat& hosts = S.StatByHost;
    RegroupRows(hosts, HostLists.Domains, S.StatByDomain, false);
    RegroupRows(hosts, HostLists.Tlds, S.StatByTld, true);
    RegroupRows(hosts, HostLists.Countries, S.StatByCountry, true);
    RegroupRows(hosts, HostLists.Regions, S.StatByRegion, true);
    HostLists = {};
}

void TStatisticsPass::RegroupCities(TLane&) {
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

void TStatisticsPass::ByBrowser(TLane& lane) {
    GroupNamed(lane, kVisitorRule, TRecKey::Browser, [](const TRecLog& r) { return r.BrowserIdx; }, In.BrowserTable,
               S.StatByBrowser);
}

void TStatisticsPass::ByOS(TLane& lane) {
    GroupNamed(lane, kVisitorRule, TRecKey::OS, [](const TRecLog& r) { return r.OSIdx; }, In.OSTable, S.StatByOS);
}

void TStatisticsPass::BySpider(TLane& lane) {
    GroupNamed(lane, kVisitorRule, TRecKey::Spider, [](const TRecLog& r) { return r.SpiderIdx; }, In.SpiderTable,
               S.StatBySpider);
}

void TStatisticsPass::ByUser(TLane& lane) {
    constexpr TWalkRule rule{.Pages = true, .Days = TDailyCounts::Visits};
    Group(
        lane, rule, TRecKey::User, [](const TRecLog& r) { return r.UserIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            const std::string_view user = In.UserTable.GetString(rec.UserIdx);
            if (user.empty()) return false;
            row.Name = user;
            return true;
        },
        S.StatByUserName);
}

void TStatisticsPass::ByVisitLength(TLane&) {
    TRecStat visit;
    visit.Hits = 1;
    visit.Visits = 1;
    for (const std::int32_t length : VisitLengths)
        TStatistics::MergeStat(S.StatByLenVisit[LengthBand(length)], visit, 0);
    VisitLengths = std::vector<std::int32_t>();
}

void TStatisticsPass::ByFile(TLane& lane) {
    Group(
        lane, kFileRule, TRecKey::URI, [](const TRecLog& r) { return r.URIIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = In.URITable.GetString(rec.URIIdx);
            row.Kind = rec.Kind;
            return true;
        },
        [&](const TRecLog& rec, TRecStat&) {
            if (rec.IsEntry) EntryHits.push_back({rec.URIIdx, rec.DayNo});
            if (rec.IsExit) ExitHits.push_back({rec.URIIdx, rec.DayNo});
        },
        S.StatByAllFiles);
    // In URL order, as the sorted walk meets them.
    for (std::vector<TPageHit>* hits : {&EntryHits, &ExitHits})
        std::stable_sort(hits->begin(), hits->end(),
                         [](const TPageHit& a, const TPageHit& b) { return a.URIIdx < b.URIIdx; });
}

void TStatisticsPass::ByExtension(TLane& lane) {
    Group(
        lane, kFileHitsRule, TRecKey::Extension, [](const TRecLog& r) { return r.ExtIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = In.ExtTable.GetString(rec.ExtIdx);
            row.Kind = rec.Kind;
            return true;
        },
        S.StatByFileExt);
}

void TStatisticsPass::ByDirectory(TLane& lane) {
    GroupNamed(lane, kFileRule, TRecKey::Path, [](const TRecLog& r) { return r.PathIdx; }, In.PathTable,
               S.StatByFileDir);
}

void TStatisticsPass::ByFileKind(TLane& lane) {
    Group(
        lane, kFileHitsRule, TRecKey::Kind, [](const TRecLog& r) { return r.Kind; },
        [](const TRecLog& rec, TRecStat& row) {
            row.Kind = rec.Kind;
            return true;
        },
        S.StatByFileType);
}

// Each entry or exit hit counts Hits 1 and Visits 1 under its URL.
void TStatisticsPass::AddPageRows(const std::vector<TPageHit>& hits, TLstStat& target) {
    for (std::size_t i = 0; i < hits.size(); ++i) {
        if (i == 0 || hits[i].URIIdx != hits[i - 1].URIIdx) {
            TRecStat row;
            row.Name = In.URITable.GetString(hits[i].URIIdx);
            row.PerDay.Reset(static_cast<std::size_t>(std::max(S.DaySpan, 0)));
            target.Add(std::move(row));
        }
        TRecStat& row = target.Last();
        ++row.Hits;
        ++row.Visits;
        AddDay(row, hits[i].DayNo);
    }
}

// The file step met the entry and exit hits in URL order.
void TStatisticsPass::ByEntryPage(TLane&) {
    AddPageRows(EntryHits, S.StatByTopIn);
    EntryHits = std::vector<TPageHit>();
}

void TStatisticsPass::ByExitPage(TLane&) {
    AddPageRows(ExitHits, S.StatByTopOut);
    ExitHits = std::vector<TPageHit>();
}

void TStatisticsPass::ByReferrer(TLane& lane) {
    constexpr TWalkRule rule{.Pages = true, .Days = TDailyCounts::Visits};
    GroupNamed(lane, rule, TRecKey::Referrer, [](const TRecLog& r) { return r.ReferrerIdx; }, In.ReferrerTable,
               S.StatByRefPage);
}

// The sites are pieces of the page names, which stay put while the step runs.
void TStatisticsPass::ByReferrerSite(TLane&) {
    const TLstStat& pages = S.StatByRefPage;
    std::vector<TRegroupName> sites;
    sites.reserve(pages.Count());
    for (std::size_t i = 0; i < pages.Count(); ++i) {
        const std::string_view site = ReferrerSiteOf(pages[i].Name);
        sites.push_back({site.data(), static_cast<std::uint32_t>(site.size()), static_cast<std::uint32_t>(i)});
    }
    RegroupRows(pages, sites, S.StatByRefDomain, true, Workers);
}

// Each referring page is read once: its engine by number and its phrase, a piece of the
// page name or else a copy in an arena; the keywords are pieces of the phrase. The five
// lists are regrouped one after the other from these, and what one list no longer needs is
// given back before the next grows.
void TStatisticsPass::BySearch(TLane&) {
    const TLstStat& pages = S.StatByRefPage;
    const TSearchEngineMatcher matcher(In.SearchEngines);
    std::vector<std::string_view> engineNames;
    for (const TRecSEType& engine : In.SearchEngines) engineNames.push_back(engine.Name);
    const std::size_t count = pages.Count();
    const std::size_t parts = std::clamp<std::size_t>(count / kRowsPerPart, 1, Workers);
    std::vector<std::int32_t> engineOf(count, -1);
    std::vector<TTextArena> texts(parts);
    // Each part fills its own stretch, one item per page at most; the stretches are then
    // closed up in order.
    std::vector<TRegroupName> phrases(count);
    std::vector<std::size_t> filled(parts);
    RunParts(parts, [&](std::size_t part) {
        THostReferrerHelper helper;
        const std::size_t from = count * part / parts;
        std::size_t to = from;
        for (std::size_t i = from; i < count * (part + 1) / parts; ++i) {
            helper.ExtractSearchPhrase(pages[i].Name, matcher);
            if (helper.SearchEngineIndex < 0) continue;
            engineOf[i] = helper.SearchEngineIndex;
            // Mostly the phrase stands in the referrer as it is: no copy is needed then.
            const std::string_view referrer = pages[i].Name;
            const std::size_t at = referrer.find(helper.SearchPhrase);
            const std::string_view phrase = at != std::string_view::npos
                                                ? referrer.substr(at, helper.SearchPhrase.size())
                                                : texts[part].Keep(helper.SearchPhrase);
            phrases[to++] = {phrase.data(), static_cast<std::uint32_t>(phrase.size()), static_cast<std::uint32_t>(i)};
        }
        filled[part] = to - from;
    });
    std::size_t found = 0;
    for (std::size_t part = 0; part < parts; ++part) {
        const auto from = phrases.begin() + static_cast<std::ptrdiff_t>(count * part / parts);
        std::copy(from, from + static_cast<std::ptrdiff_t>(filled[part]), phrases.begin() + static_cast<std::ptrdiff_t>(found));
        found += filled[part];
    }
    phrases.resize(found);
    phrases.shrink_to_fit();
    const TRegroupPrefixes byEngine{engineNames, engineOf};

    // The lists that need the most room to build come first, while the fewest rows exist.
    std::vector<TRegroupName> work;
    work.reserve(phrases.size());
    for (const TRegroupName& phrase : phrases) {
        const std::string_view engine = engineNames[static_cast<std::size_t>(engineOf[phrase.Source])];
        work.push_back({engine.data(), static_cast<std::uint32_t>(engine.size()), phrase.Source});
    }
    RegroupRows(pages, work, S.StatByRefSE, true, Workers);
    work = std::vector<TRegroupName>();  // "= {}" would keep the room
    // Every piece between single blanks, empty ones included.
    std::size_t keywords = 0;
    for (const TRegroupName& phrase : phrases) keywords += 1 + std::count(phrase.Text, phrase.Text + phrase.Size, ' ');
    work.reserve(keywords);
    for (const TRegroupName& phrase : phrases) {
        std::string_view rest = phrase.View();
        while (true) {
            const std::size_t blank = rest.find(' ');
            const std::string_view keyword = rest.substr(0, blank);
            work.push_back({keyword.data(), static_cast<std::uint32_t>(keyword.size()), phrase.Source});
            if (blank == std::string_view::npos) break;
            rest.remove_prefix(blank + 1);
        }
    }
    RegroupRows(pages, work, S.StatByRefSEK, true, Workers);
    RegroupRows(pages, work, byEngine, S.StatByRefSESEK, false, Workers);
    work = std::vector<TRegroupName>();
    ReleaseFreedMemory();
    RegroupRows(pages, phrases, S.StatByRefSEP, true, Workers);
    RegroupRows(pages, phrases, byEngine, S.StatByRefSESEP, false, Workers);
}

void TStatisticsPass::ByStatus(TLane& lane) {
    constexpr TWalkRule rule{.CountVisits = false, .Traffic = false, .Days = TDailyCounts::Hits};
    Group(
        lane, rule, TRecKey::Status, [](const TRecLog& r) { return r.Status; },
        [](const TRecLog& rec, TRecStat& row) {
            row.Code = rec.Status;
            return true;
        },
        [&](const TRecLog& rec, TRecStat&) {
            if (rec.IsError) ErrorKeys.emplace_back(rec.Status, rec.URIIdx, rec.ReferrerIdx);
        },
        S.StatByStatus);
}

// One row per status, URL and referrer. The hits are counted by index first, so each
// distinct triple builds its name once; triples whose joined names meet (texts holding a
// TAB) are merged by the name walk as if every hit had its own row.
void TStatisticsPass::ByError(TLane&) {
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

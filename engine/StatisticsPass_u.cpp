#include "engine/StatisticsPass_u.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/Options_u.h"
#include "engine/StatisticsPass_pass.h"

namespace brindle::statpass {

namespace {

const std::string kProgressText = "Processing statistics";

// The day and month steps walk the time order that step 3 sorted; every other step sorts
// afresh, so a lane (an order per hit and its sort buffers) need not outlive its step.
bool NextStepReadsOrder(int step) { return TStatisticsPass::Steps()[static_cast<std::size_t>(step - 1)].OrderToNext; }

bool ReadsRecords(int step) { return TStatisticsPass::Steps()[static_cast<std::size_t>(step - 1)].ReadsRecords; }

int StepsReadingRecords() {
    int count = 0;
    for (int step = 1; step <= kStatisticsStepCount; ++step) count += ReadsRecords(step) ? 1 : 0;
    return count;
}

// The steps as the worker threads run them: each chain on one thread, in its order, once
// the steps of other chains it needs have finished. Chains waited for come before the
// chains waiting, and every step comes after all it needs, so reporting in step order meets
// a failed step before any step that can no longer finish. Longest chains first.
struct TChain {
    std::vector<int> Steps;
    std::vector<int> After;
};

std::vector<TChain> ChainsOfSteps() {
    std::vector<TChain> chains;
    for (int step = 1; step <= kStatisticsStepCount; ++step) {
        const TStatisticsPass::TStepSpec& spec = TStatisticsPass::Steps()[static_cast<std::size_t>(step - 1)];
        const auto chain = static_cast<std::size_t>(spec.Chain);
        if (chains.size() <= chain) chains.resize(chain + 1);
        chains[chain].Steps.push_back(step);
    }
    for (TChain& chain : chains) {
        std::uint32_t needs = 0;
        for (const int step : chain.Steps) needs |= TStatisticsPass::Steps()[static_cast<std::size_t>(step - 1)].Needs;
        for (const int step : chain.Steps) needs &= ~(1u << step);
        for (int step = 1; step <= kStatisticsStepCount; ++step)
            if ((needs & (1u << step)) != 0) chain.After.push_back(step);
    }
    return chains;
}

const std::vector<TChain> kChains = ChainsOfSteps();

}  // namespace

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
        return !Stopping && std::none_of(steps.begin(), steps.end(),
                                         [&](int step) { return Errors[static_cast<std::size_t>(step)] != nullptr; });
    }

    void Stop() {
        {
            const std::lock_guard lock(Mutex);
            Stopping = true;
        }
        Changed.notify_all();
    }

    bool HasFinished(int step) {
        const std::lock_guard lock(Mutex);
        return Finished[static_cast<std::size_t>(step)];
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

const std::array<TStatisticsPass::TStepSpec, kStatisticsStepCount>& TStatisticsPass::Steps() {
    using P = TStatisticsPass;
    // Every step but those of the first two chains needs the visit lengths of step 2 and the
    // day span that step 3 checks before any per-day array may exist.
    constexpr std::uint32_t kLengthsAndSpan = (1u << 2) | (1u << 3);
    constexpr std::uint32_t kReferrers = kLengthsAndSpan | (1u << 25);
    static constexpr std::array<TStepSpec, kStatisticsStepCount> kSteps = {{
        {&P::WarmCityCache, [](P&) {}, 0, 0, false},
        {&P::SumSummary, [](P& p) { p.S.Summary = {}; }, 0, 0, false},
        {&P::FindTimeRange,
         [](P& p) {
             p.S.FirstHitTime = p.S.LastHitTime = 0;
             p.S.FirstDay = p.S.LastDay = p.S.DaySpan = 0;
         },
         1, 0, false},
        {&P::ByDay, [](P& p) { p.S.StatByDay.Clear(); }, 1, 0, true},
        {&P::ByMonth, [](P& p) { p.S.StatByMon.Clear(); }, 1, 0, false},
        {&P::ByHour, [](P& p) { p.S.StatByHod.Clear(); }, 1, 0, false},
        {&P::ByWeekday, [](P& p) { p.S.StatByDow.Clear(); }, 1, 0, false},
        {&P::ByDayOfMonth, [](P& p) { p.S.StatByDom.Clear(); }, 1, 0, false},
        {&P::ByHost, [](P& p) { p.S.StatByHost.Clear(); }, 3, kLengthsAndSpan, false},
        {&P::HostCountries,
         [](P& p) {
             for (TRecStat& host : p.S.StatByHost.MutableRows()) host.Country = 0;
         },
         3, kLengthsAndSpan, false},
        {&P::HostGroups,
         [](P& p) {
             p.S.StatByNbVisit.Clear();
             if (p.LookedUpCountries.size() == p.S.StatByHost.Count())
                 for (std::size_t i = 0; i < p.LookedUpCountries.size(); ++i)
                     p.S.StatByHost.Mutable(i).Country = p.LookedUpCountries[i];
         },
         3, kLengthsAndSpan, false},
        {&P::RegroupHosts,
         [](P& p) {
             for (TLstStat* list : {&p.S.StatByDomain, &p.S.StatByTld, &p.S.StatByCountry, &p.S.StatByRegion})
                 list->Clear();
         },
         3, kLengthsAndSpan, false},
        {&P::RegroupCities,
         [](P& p) {
             for (TLstStat* list : {&p.S.StatByUSState, &p.S.StatByCAProv, &p.S.StatByCNProv, &p.S.StatByCity})
                 list->Clear();
         },
         3, kLengthsAndSpan, false},
        {&P::ByBrowser, [](P& p) { p.S.StatByBrowser.Clear(); }, 8, kLengthsAndSpan, false},
        {&P::ByOS, [](P& p) { p.S.StatByOS.Clear(); }, 9, kLengthsAndSpan, false},
        {&P::BySpider, [](P& p) { p.S.StatBySpider.Clear(); }, 10, kLengthsAndSpan, false},
        {&P::ByUser, [](P& p) { p.S.StatByUserName.Clear(); }, 11, kLengthsAndSpan, false},
        {&P::ByVisitLength, [](P& p) { p.S.StatByLenVisit.Clear(); }, 13, kLengthsAndSpan, false},
        {&P::ByFile, [](P& p) { p.S.StatByAllFiles.Clear(); }, 4, kLengthsAndSpan, false},
        {&P::ByExtension, [](P& p) { p.S.StatByFileExt.Clear(); }, 5, kLengthsAndSpan, false},
        {&P::ByDirectory, [](P& p) { p.S.StatByFileDir.Clear(); }, 6, kLengthsAndSpan, false},
        {&P::ByFileKind, [](P& p) { p.S.StatByFileType.Clear(); }, 7, kLengthsAndSpan, false},
        {&P::ByEntryPage, [](P& p) { p.S.StatByTopIn.Clear(); }, 4, kLengthsAndSpan, false},
        {&P::ByExitPage, [](P& p) { p.S.StatByTopOut.Clear(); }, 4, kLengthsAndSpan, false},
        {&P::ByReferrer, [](P& p) { p.S.StatByRefPage.Clear(); }, 2, kLengthsAndSpan, false},
        // The referring sites and the search lists read only the referring pages' rows.
        {&P::ByReferrerSite, [](P& p) { p.S.StatByRefDomain.Clear(); }, 15, kReferrers, false, false},
        {&P::BySearch,
         [](P& p) {
             for (TLstStat* list :
                  {&p.S.StatByRefSE, &p.S.StatByRefSEP, &p.S.StatByRefSEK, &p.S.StatByRefSESEP, &p.S.StatByRefSESEK})
                 list->Clear();
         },
         14, kReferrers, false, false},
        {&P::ByStatus, [](P& p) { p.S.StatByStatus.Clear(); }, 12, kLengthsAndSpan, false},
        {&P::ByError, [](P& p) { p.S.StatByErr.Clear(); }, 12, kLengthsAndSpan, false},
    }};
    return kSteps;
}

void TStatisticsPass::RunStep(int step, TLane& lane) { (this->*Steps()[static_cast<std::size_t>(step - 1)].Run)(lane); }

void TStatisticsPass::ReportStep(int step) const {
    if (In.Progress) In.Progress(step * 100 / kStatisticsStepCount, kProgressText);
}

// A thread must have enough hits to pay for starting it, and every lane may hold an order
// and sort buffers of about a dozen bytes per hit: on logs of many millions of hits more
// lanes would cost more memory than the time they save is worth.
static int AutomaticStatisticsThreads(std::size_t hits) {
    constexpr std::size_t kHitsPerThread = 32768;
    constexpr std::size_t kLaneBudgetBytes = std::size_t{256} << 20;
    constexpr std::size_t kLaneBytesPerHit = 12;
    const std::size_t byWork = hits / kHitsPerThread;
    const std::size_t byMemory = kLaneBudgetBytes / std::max<std::size_t>(hits * kLaneBytesPerHit, 1);
    const int processors = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kStatisticsMaxThreads);
    return static_cast<int>(
        std::clamp<std::size_t>(std::min(byWork, byMemory), 1, static_cast<std::size_t>(processors)));
}

bool TStatisticsPass::Run() {
    if (Cancelled()) return false;
    int threads = In.Threads;
    if (threads <= 0) threads = AutomaticStatisticsThreads(In.Records.Count());
    threads = std::min(threads, static_cast<int>(kChains.size()));
    Workers = static_cast<std::size_t>(threads);
    // Rows name the tables' texts where they lie rather than copies; the result keeps the
    // blocks alive past the tables' next clear.
    for (const TBucketString* table : In.NamedTables()) S.Texts.Share(table->ShareBlocks());
    RecordReadersLeft = StepsReadingRecords();
    ScanRecords();
    return threads <= 1 ? RunOnCallingThread() : RunOnWorkers(threads);
}

bool TStatisticsPass::RunOnCallingThread() {
    std::optional<TLane> lane;
    for (int step = 1; step <= kStatisticsStepCount; ++step) {
        if (!lane) lane.emplace(In.Records, LowestVisit, HighestVisit);
        RunStep(step, *lane);
        if (!NextStepReadsOrder(step)) lane.reset();
        FinishedWithRecords(step);
        ReportStep(step);
        if (Cancelled()) return false;
    }
    return true;
}

// The calling thread works a share of the chains like every other thread and, between its
// steps, reports the steps finished so far in order, so that the progress, the cancel test
// and any error come on it. A thread that cannot be started leaves its share to the others:
// its task finds no chain left when the calling thread gets to it.
bool TStatisticsPass::RunOnWorkers(int threads) {
    TStepBoard board;
    int reported = 0;
    bool cancelled = false;
    int failedStep = 0;
    std::exception_ptr failure;
    // Reports the finished steps in order; with Wait also those still to come.
    const auto report = [&](bool wait) {
        try {
            while (reported < kStatisticsStepCount && !cancelled && !failure) {
                const int step = reported + 1;
                if (!wait && !board.HasFinished(step)) return;
                if (std::exception_ptr error = board.WaitFor(step)) {
                    failedStep = step;
                    failure = std::move(error);
                    break;
                }
                ReportStep(step);
                reported = step;
                cancelled = Cancelled();
            }
        } catch (...) {
            failedStep = reported + 1;
            failure = std::current_exception();
        }
        if (cancelled || failure) board.Stop();
    };
    ForkJoin(static_cast<std::size_t>(threads), [&](std::size_t task) {
        if (task != 0) {
            Work(board, {});
            return;
        }
        Work(board, [&] { report(false); });
        report(true);
    });
    if (failure) {
        ClearAfter(failedStep);
        std::rethrow_exception(failure);
    }
    if (cancelled) ClearAfter(reported);
    return !cancelled;
}

void TStatisticsPass::Work(TStepBoard& board, const std::function<void()>& afterStep) {
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
            if (!failed) FinishedWithRecords(step);
            board.Finish(step, std::move(error));
            if (afterStep) afterStep();
            if (failed) break;
        }
    }
}

// A step's lane is gone by now unless the next step of its chain walks the same order, and
// that step reads the records too.
void TStatisticsPass::FinishedWithRecords(int step) {
    if (ReadsRecords(step) && RecordReadersLeft.fetch_sub(1) == 1 && In.RecordsRead) In.RecordsRead();
}

void TStatisticsPass::ClearAfter(int step) {
    // Latest first: a step that changed rows of an earlier one is undone before it.
    for (int later = kStatisticsStepCount; later > step; --later)
        Steps()[static_cast<std::size_t>(later - 1)].Clear(*this);
}

}  // namespace brindle::statpass

namespace brindle {

using statpass::TStatisticsPass;

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
                                   rows(std::min<std::int64_t>(hosts, kRegionCount)) + rows(std::min(hosts, provinces));
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

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
bool NextStepReadsOrder(int step) { return step == 3 || step == 4; }

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
static int AutomaticStatisticsThreads(std::size_t hits) {
    constexpr std::size_t kHitsPerThread = 32768;
    constexpr std::size_t kLaneBudgetBytes = std::size_t{256} << 20;
    constexpr std::size_t kLaneBytesPerHit = 12;
    const std::size_t byWork = hits / kHitsPerThread;
    const std::size_t byMemory = kLaneBudgetBytes / std::max<std::size_t>(hits * kLaneBytesPerHit, 1);
    const int processors = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kStatisticsMaxThreads);
    return static_cast<int>(std::clamp<std::size_t>(std::min(byWork, byMemory), 1, static_cast<std::size_t>(processors)));
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

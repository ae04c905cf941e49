// Times a full analysis of one log file (a "file://" location, reverse DNS off) and its
// parse stage alone: lines, seconds, lines per second and peak memory; then where the time
// went, phase by phase, read from the engine's own status and progress reports.
//
//     brindle-bench LOG [THREADS] [--save DOCUMENT]
//
// THREADS is the number of threads that read the log (default: one per processor, at most 8).
// With --save the result is also saved as an analysis document: its time, size and the peak
// memory after it.
#include <sys/resource.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/FileStreamEx_u.h"
#include "engine/AllocatorTuning_u.h"
#include "engine/AnalysisDocument_u.h"
#include "engine/LogConvert_u.h"
#include "engine/LogConvert_visits.h"
#include "engine/StatisticsPass_u.h"

using namespace brindle;

namespace {

using Clock = std::chrono::steady_clock;

// Peak memory, processor time and minor page faults (first touches of fresh pages) of the
// process so far.
struct TUsage {
    long PeakKiB = 0;
    double CPUSeconds = 0;
    long MinorFaults = 0;
};

TUsage Usage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_minflt};
}

// Wall-clock time rates the stage; processor time equal to it means the run never waited
// for the disk (and above it, that several threads worked).
void Report(const char* stage, std::int64_t lines, double seconds, double cpuSeconds, long peakKiB, long faults) {
    std::printf("%-6s %10lld lines %8.3f s %12.0f lines/s  (cpu %.3f s)  peak %7.1f MiB  faults %ld\n", stage,
                static_cast<long long>(lines), seconds, seconds > 0 ? static_cast<double>(lines) / seconds : 0.0,
                cpuSeconds, peakKiB / 1024.0, faults);
}

// The statistics steps in the groups the breakdown shows: first and last step of each.
struct TStepGroup {
    const char* Name;
    int First, Last;
};
constexpr std::array<TStepGroup, 7> kGroups = {{{"summary, time range", 1, 3},
                                                {"day, month, clock", 4, 8},
                                                {"hosts, GeoIP", 9, 13},
                                                {"agents, users", 14, 18},
                                                {"files", 19, 24},
                                                {"referrers, search", 25, 27},
                                                {"status, errors", 28, 29}}};

// When each report of one analysis came. The step reports are told apart by their value,
// s * 100 / 29, which differs for every step.
struct TTimeline {
    Clock::time_point Start, ParseEnd, Statistics, Done;
    std::array<Clock::time_point, kStatisticsStepCount + 1> StepEnd{};
    int StepsSeen = 0;

    void OnProgress(int value, const std::string& text) {
        const Clock::time_point now = Clock::now();
        if (text.starts_with("Analyzing")) {
            ParseEnd = now;
            return;
        }
        if (text != "Processing statistics" || value == 0) return;
        while (StepsSeen < kStatisticsStepCount && (StepsSeen + 1) * 100 / kStatisticsStepCount <= value)
            StepEnd[static_cast<std::size_t>(++StepsSeen)] = now;
    }

    void PrintPhases() const {
        std::printf("phases (ms): read and map %.0f, IP numbers %.0f, visits %.0f\n", Ms(Start, ParseEnd),
                    Ms(ParseEnd, Statistics), Ms(Statistics, StepEnd[1]));
    }

    // Steps side by side show when each report came, not what each step cost.
    void PrintSteps(const char* title) const {
        if (StepsSeen < kStatisticsStepCount) return;
        std::printf("%s\n", title);
        const auto ms = Ms;
        for (const TStepGroup& group : kGroups) {
            // Step 1 follows the visits in the same report.
            const Clock::time_point from = group.First == 1 ? StepEnd[1] : StepEnd[group.First - 1];
            std::printf("  steps %2d-%2d %-20s %6.0f ms  (", group.First, group.Last, group.Name,
                        ms(from, StepEnd[group.Last]));
            for (int s = group.First; s <= group.Last; ++s) {
                const Clock::time_point begin = s == 1 ? Statistics : StepEnd[s - 1];
                std::printf(s == group.First ? "%.0f" : " %.0f", s == 1 ? 0.0 : ms(begin, StepEnd[s]));
            }
            std::printf(")\n");
        }
        std::printf("  steps 2-29 together %.0f ms\n", ms(StepEnd[1], StepEnd.back()));
    }

    static double Ms(Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double, std::milli>(to - from).count();
    }
};

// The statistics pass once more over the engine's records, all steps on one thread: what
// each step costs, and whether the threaded run of the analysis came to the same result,
// and so did a run that sorts and walks the records for every step.
bool RunPassOnOneThread(const TLogConvert& engine, bool alwaysSort, bool showSteps) {
    TStatistics stats;
    stats.VisitCount = engine.VisitCount;
    TTimeline timeline;
    timeline.Statistics = Clock::now();
    RunStatisticsPass({.Records = engine.Records,
                       .HostTable = engine.HostTable,
                       .HostIPs = engine.HostIPs,
                       .UserTable = engine.UserTable,
                       .URITable = engine.URITable,
                       .ExtTable = engine.ExtTable,
                       .PathTable = engine.PathTable,
                       .ReferrerTable = engine.ReferrerTable,
                       .BrowserTable = engine.BrowserTable,
                       .OSTable = engine.OSTable,
                       .SpiderTable = engine.SpiderTable,
                       .SearchEngines = engine.Options.SEs,
                       .CountryDbFile = AppPaths::GeoIPCountryFile(),
                       .CityDbPath = "",
                       .CountryReaderFactory = {},
                       .CityReaderFactory = {},
                       .IsCancelled = {},
                       .Progress = [&](int value, const std::string& text) { timeline.OnProgress(value, text); },
                       .Threads = 1,
                       .AlwaysSort = alwaysSort},
                      stats);
    if (showSteps) timeline.PrintSteps("statistics on one thread (ms):");
    return stats == static_cast<const TStatistics&>(engine);
}

// The visits cut once more, on one thread and on Threads: how long each took, and whether
// both gave the visits the analysis gave.
bool TimeVisits(TLogConvert& engine, unsigned threads) {
    std::vector<std::int32_t> ids;
    ids.reserve(engine.Records.Count());
    for (std::size_t i = 0; i < engine.Records.Count(); ++i) ids.push_back(engine.Records.Stored(i).VisitId);
    TVisitCut cut;
    cut.Session = static_cast<TSeconds>(engine.Options.SessionLength) * 60;
    bool same = true;
    std::printf("visits cut again (ms):");
    for (const std::size_t lanes : {std::size_t{1}, std::size_t{threads}}) {
        cut.Threads = lanes;
        const Clock::time_point from = Clock::now();
        const std::int32_t count = CutVisits(engine.Records, static_cast<std::size_t>(engine.HostTable.Count()), cut);
        std::printf(" %zu thread%s %.1f", lanes, lanes == 1 ? "" : "s",
                    std::chrono::duration<double, std::milli>(Clock::now() - from).count());
        same = same && count == engine.VisitCount;
        for (std::size_t i = 0; i < ids.size() && same; ++i) same = ids[i] == engine.Records.Stored(i).VisitId;
    }
    std::printf(", same visits: %s\n", same ? "yes" : "NO");
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    ReturnFreedMemoryPromptly();
    unsigned threads = 0;
    const char* document = nullptr;
    bool usageError = argc < 2;
    for (int i = 2; i < argc && !usageError; ++i) {
        if (std::string(argv[i]) == "--save" && i + 1 < argc) {
            document = argv[++i];
            continue;
        }
        char* end = nullptr;
        threads = static_cast<unsigned>(std::strtoul(argv[i], &end, 10));
        usageError = end == argv[i] || *end != 0;
    }
    if (usageError) {
        std::fprintf(stderr, "usage: %s LOG [THREADS] [--save DOCUMENT]\n", argv[0]);
        return 2;
    }
    const std::string log = std::filesystem::absolute(argv[1]).string();

    std::int64_t lines = 0;
    {
        TFileStreamEx reader;
        if (!reader.Open(log)) {
            std::fprintf(stderr, "cannot open %s\n", log.c_str());
            return 1;
        }
        lines = reader.CountLines();
    }

    std::string work = (std::filesystem::temp_directory_path() / "brindle-bench-XXXXXX").string();
    if (!mkdtemp(work.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    work += '/';

    TOptions options;
    options.LoadDefaults();
    TProfile profile;
    profile.Name = "bench";
    profile.DefaultPage = "index.html";
    profile.OffsetSign = 1;
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LogFileURL = log;
    location.Enable = 1;
    profile.LogFiles.Add(location);

    TLogConvert engine;
    engine.ParseSettings.Threads = threads;
    TTimeline timeline;
    const TUsage before = Usage();
    timeline.Start = Clock::now();
    TUsage parsedUsage;
    // The parse stage ends where the statistics begin.
    engine.OnStatus = [&](const void*, int, const std::string& text) {
        if (text == "Processing statistics...") {
            timeline.Statistics = Clock::now();
            parsedUsage = Usage();
        }
    };
    engine.OnProgress = [&](const void*, int value, const std::string& text) { timeline.OnProgress(value, text); };

    int status = 0;
    try {
        if (!engine.Analyze(profile, work, work + "dns.dat", "", options)) {
            std::fprintf(stderr, "analysis cancelled\n");
            status = 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "analysis failed: %s\n", e.what());
        status = 1;
    }
    timeline.Done = Clock::now();
    const TUsage after = Usage();
    std::error_code ec;
    std::filesystem::remove_all(work, ec);
    if (status != 0) return status;

    std::printf("%s\n", log.c_str());
    std::printf("parse threads %u\n", engine.ParseSettings.ThreadCount());
    std::printf("hits %zu, bad lines %lld, visits %d\n", engine.Records.Count(),
                static_cast<long long>(engine.BadLineCount), engine.VisitCount);
    Report("parse", lines, std::chrono::duration<double>(timeline.Statistics - timeline.Start).count(),
           parsedUsage.CPUSeconds - before.CPUSeconds, parsedUsage.PeakKiB,
           parsedUsage.MinorFaults - before.MinorFaults);
    Report("total", lines, std::chrono::duration<double>(timeline.Done - timeline.Start).count(),
           after.CPUSeconds - before.CPUSeconds, after.PeakKiB, after.MinorFaults - before.MinorFaults);
    timeline.PrintPhases();
    timeline.PrintSteps("statistics as the analysis ran them (ms, when each step was reported):");
    if (document) {
        const Clock::time_point from = Clock::now();
        const bool saved = SaveAnalysisDocument(document, engine.Profile, engine.AnalysisTime, engine);
        const TUsage savedUsage = Usage();
        std::error_code sizeError;
        const auto bytes = std::filesystem::file_size(document, sizeError);
        std::printf("save   %s %8.3f s  document %.1f MiB  peak %7.1f MiB\n", saved ? "ok" : "FAILED",
                    std::chrono::duration<double>(Clock::now() - from).count(),
                    sizeError ? 0.0 : static_cast<double>(bytes) / 1048576.0, savedUsage.PeakKiB / 1024.0);
        if (!saved) return 1;
    }
    const bool same = RunPassOnOneThread(engine, false, true);
    const bool sameSorted = RunPassOnOneThread(engine, true, false);
    std::printf("  same result as the threaded run: %s, and as sorted walks: %s\n", same ? "yes" : "NO",
                sameSorted ? "yes" : "NO");
    const bool sameVisits = TimeVisits(engine, engine.ParseSettings.ThreadCount());
    return same && sameSorted && sameVisits ? 0 : 1;
}

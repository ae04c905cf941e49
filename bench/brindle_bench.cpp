// Times a full analysis of one log file (a "file://" location, reverse DNS off) and its
// parse stage alone: lines, seconds, lines per second and peak memory.
//
//     brindle-bench LOG
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "core/FileStreamEx_u.h"
#include "engine/LogConvert_u.h"

using namespace brindle;

namespace {

using Clock = std::chrono::steady_clock;

// Peak memory and processor time of the process so far.
struct TUsage {
    long PeakKiB = 0;
    double CPUSeconds = 0;
};

TUsage Usage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// Wall-clock time rates the stage; processor time equal to it means the run never waited
// for the disk.
void Report(const char* stage, std::int64_t lines, double seconds, double cpuSeconds, long peakKiB) {
    std::printf("%-6s %10lld lines %8.3f s %12.0f lines/s  (cpu %.3f s)  peak %7.1f MiB\n", stage,
                static_cast<long long>(lines), seconds, seconds > 0 ? static_cast<double>(lines) / seconds : 0.0,
                cpuSeconds, peakKiB / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LOG\n", argv[0]);
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
    const TUsage before = Usage();
    const Clock::time_point start = Clock::now();
    Clock::time_point parsed = start;
    TUsage parsedUsage;
    // The parse stage ends where the statistics begin.
    engine.OnStatus = [&](const void*, int, const std::string& text) {
        if (text == "Processing statistics...") {
            parsed = Clock::now();
            parsedUsage = Usage();
        }
    };

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
    const Clock::time_point done = Clock::now();
    const TUsage after = Usage();
    std::error_code ec;
    std::filesystem::remove_all(work, ec);
    if (status != 0) return status;

    std::printf("%s\n", log.c_str());
    std::printf("hits %zu, bad lines %lld, visits %d\n", engine.Records.Count(),
                static_cast<long long>(engine.BadLineCount), engine.VisitCount);
    Report("parse", lines, std::chrono::duration<double>(parsed - start).count(),
           parsedUsage.CPUSeconds - before.CPUSeconds, parsedUsage.PeakKiB);
    Report("total", lines, std::chrono::duration<double>(done - start).count(), after.CPUSeconds - before.CPUSeconds,
           after.PeakKiB);
    return 0;
}

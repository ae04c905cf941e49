#pragma once
// Reading the log files of a run on several threads: small files side by side, a large one
// in byte ranges cut at line ends. Workers map each piece into tables and records of its
// own; the calling thread merges the pieces in file order, so the result is the one a
// single thread gives, down to every table index and record sequence number.
#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

class TLogConvert;

struct TParseSettings {
    // 0: one per processor, at most 8. 1: everything on the calling thread.
    unsigned Threads = 0;
    // A file larger than this is read in ranges of about this many bytes.
    std::int64_t RangeBytes = 4 * 1024 * 1024;
    // With Threads 0, each thread needs this many bytes of log to be worth starting: a folder
    // of small daily files costs more in thread hand-overs than it saves.
    std::int64_t BytesPerThread = 4 * 1024 * 1024;

    unsigned ThreadCount() const;
    // The threads for a run over totalBytes of log.
    unsigned ThreadCountFor(std::int64_t totalBytes) const;
};

// Parses Files in order into Engine's records and tables, as the one-thread loop does:
// the same status lines, the same errors (the first failing file raises when it is the
// only file, else gets a "Skipped" line). False when cancelled. ValidData is set when a
// file held valid data.
bool ParseFilesInParallel(TLogConvert& engine, const std::vector<std::string>& files, bool severalFiles,
                          bool& validData);

}  // namespace brindle

#pragma once
// Reading the log files of a run on several threads: small files side by side, a large one
// in byte ranges cut at line ends. Workers map each piece into tables and records of its
// own; the calling thread merges the pieces in file order, so the result is the one a
// single thread gives, down to every table index and record sequence number.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/LogConvert_parser.h"

namespace brindle {

struct TParseSettings {
    // 0: one per processor, at most 8. 1: everything on the calling thread.
    unsigned Threads = 0;
    // A file larger than this is read in ranges of about this many bytes.
    std::int64_t RangeBytes = 4 * 1024 * 1024;
    // With Threads 0, each thread needs this many bytes of log to be worth starting: a folder
    // of small daily files costs more in thread hand-overs than it saves.
    std::int64_t BytesPerThread = 4 * 1024 * 1024;
    // Counts every piece's lines in a pass of their own before any piece is read, as a run
    // does when the system refuses the address space for a bound of them.
    bool CountLinesFirst = false;

    unsigned ThreadCount() const;
    // The threads for a run over totalBytes of log.
    unsigned ThreadCountFor(std::int64_t totalBytes) const;
};

// The run the files are read into. Its parser reads by the run's profile and options,
// stops on its flag and reports through its callbacks; the workers' parsers read the same.
struct TParseRun {
    TLogParser& Parser;  // writes into Tables and Records; reads alone when one thread is worth it
    TTablePointers Tables;
    TLstRecLog& Records;
    std::int64_t& BadLineCount;
    const TParseSettings& Settings;
};

// Parses Files in order into the run's records and tables, as ParseFilesInOrder does: the
// same status lines, the same errors (the first failing file raises when it is the only
// file, else gets a "Skipped" line). False when cancelled. ValidData is set when a file
// held valid data.
bool ParseFilesInParallel(const TParseRun& run, const std::vector<std::string>& files, bool severalFiles,
                          bool& validData);

}  // namespace brindle

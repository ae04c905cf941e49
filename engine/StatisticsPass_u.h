#pragma once
// The last step of an analysis: the summary, the fixed tables and the thirty lists built
// from the hit records in 29 steps. A step sorts the records by one key and walks them once,
// takes what an earlier walk in the order it needs collected for it, or regroups the rows of
// a list built earlier under a derived name.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/BucketString_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/LogConvert_records.h"
#include "engine/Statistics_u.h"

namespace brindle {

class TLstSEType;

// What the pass reads. Records must carry visit ids and durations; the pass leaves them in
// no particular order. Empty factories give the libGeoIP readers.
struct TStatisticsPassInput {
    TLstRecLog& Records;
    const TBucketString& HostTable;
    const TBucketString& UserTable;
    const TBucketString& URITable;
    const TBucketString& ExtTable;
    const TBucketString& PathTable;
    const TBucketString& ReferrerTable;
    const TBucketString& BrowserTable;
    const TBucketString& OSTable;
    const TBucketString& SpiderTable;
    const TLstSEType& SearchEngines;
    std::string CountryDbFile;  // "GeoIP.dat"
    std::string CityDbPath;     // may be empty or name a missing file
    std::function<std::unique_ptr<IGeoIPCountryReader>()> CountryReaderFactory;
    std::function<std::unique_ptr<IGeoIPCityReader>()> CityReaderFactory;
    // Tested before step 1 and after each step's progress report.
    std::function<bool()> IsCancelled;
    // Called after step s with s * 100 / 29 and "Processing statistics".
    std::function<void(int value, const std::string& text)> Progress;
    // Most bytes the per-day arrays may take; 0 means half the physical memory.
    std::uint64_t PerDayMemoryLimit = 0;
};

constexpr int kStatisticsStepCount = 29;

// Fills Stats, which must have been cleared (ClearStatisticsTables) and carry the visit
// count. True when all steps ran, false when cancelled: the steps done are complete, the
// later tables empty. A day span whose per-day arrays would not fit in memory throws an
// ELogConvert naming the first and last hit dates, before any per-day array exists.
bool RunStatisticsPass(const TStatisticsPassInput& input, TStatistics& stats);

// The estimate the day-span guard compares with the limit: the rows that can keep daily
// counts (bounded by the hits and the string tables), times the day span, times four bytes.
std::uint64_t EstimatePerDayBytes(const TStatisticsPassInput& input, std::int64_t daySpan);

}  // namespace brindle

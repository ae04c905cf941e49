#pragma once
// The last step of an analysis: the summary, the fixed tables and the thirty lists built
// from the hit records in 29 steps. A step sorts the records by one key and walks them once,
// takes what an earlier walk in the order it needs collected for it, or regroups the rows of
// a list built earlier under a derived name.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "core/BucketString_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/LogConvert_records.h"
#include "engine/Statistics_u.h"

namespace brindle {

class TLstSEType;
class TSearchEngineMatcher;

// What the pass reads. Records must carry visit ids and durations; the pass walks them in
// orders of its own and leaves the list as it was. Empty factories give the libGeoIP readers.
struct TStatisticsPassInput {
    const TLstRecLog& Records;
    const TBucketString& HostTable;
    // IPv4 number of each host by host index, -1 when the host is not numeric; hosts
    // beyond it count as not numeric.
    std::span<const std::int32_t> HostIPs;
    const TBucketString& UserTable;
    const TBucketString& URITable;
    const TBucketString& ExtTable;
    const TBucketString& PathTable;
    const TBucketString& ReferrerTable;
    const TBucketString& BrowserTable;
    const TBucketString& OSTable;
    const TBucketString& SpiderTable;
    // The tables above, whose texts the rows name.
    std::array<const TBucketString*, 9> NamedTables() const {
        return {&HostTable,     &UserTable,    &URITable, &ExtTable,   &PathTable,
                &ReferrerTable, &BrowserTable, &OSTable,  &SpiderTable};
    }
    const TLstSEType& SearchEngines;
    // Prepared for SearchEngines by a run before, or null: the pass prepares its own then.
    const TSearchEngineMatcher* SearchEngineMatcher = nullptr;
    std::string CountryDbFile;  // "GeoIP.dat"
    std::string CityDbPath;  // may be empty or name a missing file
    std::function<std::unique_ptr<IGeoIPCountryReader>()> CountryReaderFactory;
    std::function<std::unique_ptr<IGeoIPCityReader>()> CityReaderFactory;
    // Tested before step 1 and after each step's progress report.
    std::function<bool()> IsCancelled;
    // Called after step s with s * 100 / 29 and "Processing statistics".
    std::function<void(int value, const std::string& text)> Progress;
    // Most bytes the per-day counts may take in a saved document (dense there, four bytes
    // per row and day); 0 means no limit. Memory takes only the days with hits.
    std::uint64_t PerDayDocumentLimit = 0;
    // Worker threads for the steps: 0 one per processor (at most kStatisticsMaxThreads),
    // 1 every step on the calling thread. The result is the same either way; the progress
    // reports, the cancel tests and any error come on the calling thread in step order.
    int Threads = 0;
    // A step that groups the hits by a key reads them in one pass in stored order when the
    // keys and visits allow, else it sorts them by the key and walks that order. True makes
    // every step sort and walk; the result is the same.
    bool AlwaysSort = false;
    // Hits a walk takes at least to give a thread a part of its own; 0 the default, with
    // which a sorted walk also leaves the threads other chains are using alone. Another number
    // splits every such walk as far as the threads go, so that small record sets are walked
    // in parts.
    std::size_t HitsPerPart = 0;
    // Called once, as soon as no step reads Records any more, on whichever thread ran the
    // last step that did: Records may be freed then. The search lists, built last from the
    // referring pages' rows, are the peak on logs of many referrers.
    std::function<void()> RecordsRead = nullptr;
};

constexpr int kStatisticsMaxThreads = 8;

constexpr int kStatisticsStepCount = 29;

// Fills Stats, which must have been cleared (ClearStatisticsTables) and carry the visit
// count. True when all steps ran, false when cancelled: the steps reported are complete,
// the later tables empty. Steps that only read the records and fill tables of their own
// run side by side, each thread walking the records in an order of its own. A day span
// wider than the dates a log can hold (years 1900 to 9999), or one whose per-day counts
// would pass PerDayDocumentLimit, throws an ELogConvert naming the first and last hit
// dates, before any per-day count exists.
bool RunStatisticsPass(const TStatisticsPassInput& input, TStatistics& stats);

// The estimate the day-span guard compares with the limit: the rows that can keep daily
// counts (bounded by the hits and the string tables), times the day span, times four bytes:
// a bound on the per-day part of a saved document.
std::uint64_t EstimatePerDayBytes(const TStatisticsPassInput& input, std::int64_t daySpan);

}  // namespace brindle

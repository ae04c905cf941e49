#pragma once
// The analysis engine: turns one profile's log files into hit records and, through the
// post-passes, into the statistics of one analysis. The result stays in the engine until it
// is taken (TakeResult) or the next analysis replaces it.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/BucketString_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/AnalysisResult.h"
#include "engine/DNSCache_u.h"
#include "engine/ELogConvert.h"
#include "engine/FTP_dm.h"
#include "engine/GeoHelpers_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/HTTP_dm.h"
#include "engine/LocalNames.h"
#include "engine/LogConvert_parallel.h"
#include "engine/LogConvert_parser.h"
#include "engine/LogConvert_records.h"
#include "engine/LogConvert_tables.h"
#include "engine/ProgressEvent.h"
#include "engine/Statistics_u.h"
#include "engine/Unzip_dm.h"

namespace brindle {

// The statistics (summary, fixed tables, lists, visit count, day span) are the inherited half.
class TLogConvert : public TStatistics {
public:
    TLogConvert();
    TLogConvert(const TLogConvert&) = delete;
    TLogConvert& operator=(const TLogConvert&) = delete;

    // Runs one analysis. WorkFolder ends with "/" and receives downloads and unpacked
    // members. True when the run completed, false when it was cancelled; every error is an
    // exception (an ELogConvert with the message for the user) and leaves the result
    // partly filled.
    bool Analyze(const TProfile& profile, const std::string& workFolder, const std::string& dnsCacheFile,
                 const std::string& cityDbPath, const TOptions& options);

    // Safe from any thread and from inside the callbacks: the run stops at its next test,
    // a running download or DNS wait is aborted.
    void Cancel();
    bool IsCancelled() const { return Cancelled.load(); }

    void DoProgress(int value, const std::string& text) const;
    void DoStatus(int value, const std::string& text) const;

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;

    // ---- The result ----
    TProfile Profile;  // the engine's own copy of the profile analysed
    TOptions Options;  // the options of the run
    TLstRecLog Records;
    // IPv4 number of each host by host index, -1 when the host is not numeric: a hit's
    // IP is its host's (set by AssignIPNumbers).
    std::vector<std::int32_t> HostIPs;
    TBucketString HostTable{TableBucketMasks[tiHost]};
    TBucketString UserTable{TableBucketMasks[tiUser]};
    TBucketString VDomainTable{TableBucketMasks[tiVDomain]};
    TBucketString MethodTable{TableBucketMasks[tiMethod]};
    TBucketString URITable{TableBucketMasks[tiURI]};
    TBucketString ExtTable{TableBucketMasks[tiExt]};
    TBucketString PathTable{TableBucketMasks[tiPath]};
    TBucketString ReferrerTable{TableBucketMasks[tiReferrer]};
    TBucketString AgentTable{TableBucketMasks[tiAgent]};
    TBucketString BrowserTable{TableBucketMasks[tiBrowser]};
    TBucketString OSTable{TableBucketMasks[tiOS]};
    TBucketString SpiderTable{TableBucketMasks[tiSpider]};
    // The twelve tables in TTableId order.
    std::array<TBucketString*, TableCount> Tables();
    std::int64_t BadLineCount = 0;  // lines of this run's files that failed to map
    TSeconds AnalysisTime = 0;
    TDNSCache DNSCache;  // holds entries only while the reverse-DNS step runs
    std::string DNSCacheSaveFailure;  // the message of a dns.dat that could not be written

    // Clears records, tables, counters and statistics; AnalysisTime keeps its value.
    void ClearStatistics();
    // The last run's statistics, profile and counts, moved out; the engine is left empty.
    TAnalysisResult TakeResult();
    // Empties the engine and gives the memory of a run's hits and texts back.
    void ReleaseRun();

    // ---- Parsing ----

    // Copies the profile and options and prepares the run's parser. Analyze starts with it.
    void BeginAnalysis(const TProfile& profile, const TOptions& options);

    // Reads one log file into records. True when read to its end, false when cancelled.
    bool ParseLogFile(const std::string& fileName) { return Parser.ParseLogFile(fileName, BadLineCount); }

    // How many threads read the log files; the result does not depend on it.
    TParseSettings ParseSettings;
    // True frees the hits as soon as the last statistics step that reads them ends, before
    // the search lists (the peak on many referrers) are made; Records is empty after
    // Analyze then. For callers that take the result and have no use for the hits.
    bool ReleaseRecordsWhenRead = false;

    // The GeoIP readers of the statistics step; empty ones give libGeoIP's. A stand-in may
    // keep its database open from run to run.
    std::function<std::unique_ptr<IGeoIPCountryReader>()> CountryReaderFactory;
    std::function<std::unique_ptr<IGeoIPCityReader>()> CityReaderFactory;

    // ---- Post-passes ----
    void AssignIPNumbers();
    void ComputeVisits();

private:
    std::atomic<bool> Cancelled{false};
    // The parser of this thread: it reads into the tables and records above.
    TLogParser Parser{Tables(), &Records};

public:
    // The line loop's steps and state, which belong to the run's parser.
    int SplitLine(std::string_view line) { return Parser.SplitLine(line); }
    TLineResult MapCommonFields() { return Parser.MapCommonFields(); }
    TLineResult MapCombinedFields() { return Parser.MapCombinedFields(); }
    TLineResult MapIISFields() { return Parser.MapIISFields(); }
    TLineResult MapW3CFields() { return Parser.MapW3CFields(); }
    TLineResult MapISAFields() { return Parser.MapISAFields(); }
    TLineResult MapCustomFields() { return Parser.MapCustomFields(); }
    TLineResult MapLine(std::uint8_t format) { return Parser.MapLine(format); }
    void ReadW3CDateDirective() { Parser.ReadW3CDateDirective(); }
    void ReadW3CFieldsDirective() { Parser.ReadW3CFieldsDirective(); }
    void ReadISADateDirective() { Parser.ReadISADateDirective(); }
    void ReadISAFieldsDirective() { Parser.ReadISAFieldsDirective(); }
    void ParseRequestLine(std::string_view text) { Parser.ParseRequestLine(text); }
    void ParseStatus(std::string_view text) { Parser.ParseStatus(text); }
    void ParseUserAgent(std::string_view text) { Parser.ParseUserAgent(text); }
    std::string AppendDefaultPage(std::string_view uri) const { return Parser.AppendDefaultPage(uri); }
    bool MatchFilter(const TRecFilterProperty& filter) const { return Parser.MatchFilter(filter); }
    bool PassesFilters() const { return Parser.PassesFilters(); }
    void AddRecord() { Parser.AddRecord(); }
    TSplitFields& SplitFields = Parser.SplitFields;
    TCurrentHit& CurrentHit = Parser.CurrentHit;
    TSeconds& TimeOffset = Parser.TimeOffset;
    std::uint8_t& DateOrder = Parser.DateOrder;
    TW3CColumns& W3CColumns = Parser.W3CColumns;
    TISAColumns& ISAColumns = Parser.ISAColumns;
    std::string& DirectiveDate = Parser.DirectiveDate;
    std::string& DirectiveTime = Parser.DirectiveTime;

    std::atomic<bool> DNSBusy{false};
    std::atomic<bool> FTPBusy{false};
    std::atomic<bool> HTTPBusy{false};

private:
    // Reads the files on as many threads as the settings give; false when cancelled.
    bool ParseFiles(const std::vector<std::string>& files, bool severalFiles, bool& validData);
    // Throws ELogConvert when a table that hits index in 16 bits grew past them.
    void CheckTableSizes();

    // Log files by full path: case-insensitive order, names that differ only in case are two files.
    struct TPathLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using TFileList = std::set<std::string, TPathLess>;

    void CollectLocation(const TRecLogFileProperty& location, const std::string& url, const std::string& workFolder,
                         TFileList& files);
    void AddLocalFiles(const std::string& pattern, TFileList& files);
    // Runs one download of a remote module with its busy flag up; the files it fetched join the list.
    std::uint8_t Download(TRemoteModule& module, std::atomic<bool>& busy, TFileList& files,
                          const std::function<std::uint8_t(std::vector<std::string>&)>& fetch);
    // One unpacking pass over the list; false when cancelled. Sets foundArchive.
    bool UnpackPass(const std::string& workFolder, TFileList& files, bool& foundArchive);
    // The reverse-DNS and statistics passes join here.
    void ResolveHosts(const std::string& dnsCacheFile);
    void BuildStatistics(const std::string& cityDbPath);

    std::optional<TSearchEngineMatcher> SearchEngineMatcher;  // kept while the list stays the same

    TdmFTP dmFTP;
    TdmHTTP dmHTTP;
    TdmUnzip dmUnzip;
    TLocalNames LocalNames;  // names handed out in the work folder during one run
};

}  // namespace brindle

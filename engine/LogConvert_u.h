#pragma once
// The analysis engine: turns one profile's log files into hit records and, through the
// post-passes, into the statistics of one analysis. The result stays in the engine until
// the next analysis replaces it.
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
#include "engine/DNSCache_u.h"
#include "engine/ELogConvert.h"
#include "engine/FTP_dm.h"
#include "engine/GeoHelpers_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/HTTP_dm.h"
#include "engine/LocalNames.h"
#include "engine/LogConvert_agents.h"
#include "engine/LogConvert_clean.h"
#include "engine/LogConvert_filter.h"
#include "engine/LogConvert_parallel.h"
#include "engine/LogConvert_records.h"
#include "engine/LogConvert_split.h"
#include "engine/LogConvert_tables.h"
#include "engine/LogConvert_touch.h"
#include "engine/ProgressEvent.h"
#include "engine/Statistics_u.h"
#include "engine/Unzip_dm.h"

namespace brindle {

// The hit being read. Every text keeps its capacity from one line to the next, so the
// line loop does not allocate once the longest texts have been seen.
struct TCurrentHit : THitTime {
    std::string Host;
    std::string User;
    std::string VDomain;
    std::string Method;
    TCleanURI Request;  // URI, extension, directory, kind, is-page
    std::int32_t Status = 0;
    bool NotModified = false;
    bool Partial = false;
    bool IsError = false;
    std::int64_t Bytes = 0;
    std::string Referrer;
    std::string UserAgent;
    std::string Browser;
    std::string OS;
    std::string Spider;
    // Table indices known as soon as the text is read: the URI's cleaning and the agent's
    // classification are remembered by text, so each is worked out once per distinct text.
    std::int32_t URIIdx = 0;
    std::int32_t ExtIdx = 0;
    std::int32_t PathIdx = 0;
    std::int32_t AgentIdx = 0;
    std::int32_t BrowserIdx = 0;
    std::int32_t OSIdx = 0;
    std::int32_t SpiderIdx = 0;
};

// Column numbers of the W3C directive "#Fields:"; 0 means the column is absent.
struct TW3CColumns {
    int Date = 0, Time = 0, CIP = 0, CSMethod = 0, CSURIStem = 0, CSURIQuery = 0, SCStatus = 0, SCBytes = 0,
        CSUserAgent = 0, CSReferer = 0, CSUsername = 0;
};
struct TISAColumns {
    int Date = 0, Time = 0, CIP = 0, SOperation = 0, CSURI = 0, SCStatus = 0, SCBytes = 0, CAgent = 0, CSUsername = 0,
        SCAuthenticated = 0;
};

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
    TBucketString HostTable{16383};
    TBucketString UserTable{255};
    TBucketString VDomainTable{255};
    TBucketString MethodTable{255};
    TBucketString URITable{4095};
    TBucketString ExtTable{255};
    TBucketString PathTable{1023};
    TBucketString ReferrerTable{16383};
    TBucketString AgentTable{1023};
    TBucketString BrowserTable{1023};
    TBucketString OSTable{1023};
    TBucketString SpiderTable{1023};
    // The twelve tables in TTableId order.
    std::array<TBucketString*, TableCount> Tables();
    std::int64_t BadLineCount = 0;  // lines of this run's files that failed to map
    TSeconds AnalysisTime = 0;
    TDNSCache DNSCache;  // holds entries only while the reverse-DNS step runs
    std::string DNSCacheSaveFailure;  // the message of a dns.dat that could not be written

    // Clears records, tables, counters and statistics; AnalysisTime keeps its value.
    void ClearStatistics();

    // ---- Parsing (public for the parser's own tests) ----

    // Copies the profile and options and prepares what the line loop needs (time offset,
    // cleaning switches, filters, classification memos). Analyze starts with it.
    void BeginAnalysis(const TProfile& profile, const TOptions& options);

    // Reads one log file into records. True when read to its end, false when cancelled.
    bool ParseLogFile(const std::string& fileName);

    // How many threads read the log files; the result does not depend on it.
    TParseSettings ParseSettings;

    // The GeoIP readers of the statistics step; empty ones give libGeoIP's. A stand-in may
    // keep its database open from run to run.
    std::function<std::unique_ptr<IGeoIPCountryReader>()> CountryReaderFactory;
    std::function<std::unique_ptr<IGeoIPCityReader>()> CityReaderFactory;

    // Lines longer than this are bad lines, dropped unread: one endless line must cost
    // neither the file nor the memory.
    static constexpr std::size_t MaxLogLineLength = 512 * 1024;

    // A byte range of a log file. Unless decided already, the file's format and date order
    // are decided from the range's first lines, so such a range starts the file.
    struct TFileRange {
        std::int64_t Start = 0;
        std::int64_t End = -1;  // -1: to the end of the file
        // The format and date order below were decided from the file's first lines already.
        bool Decided = false;
        std::uint8_t Format = 0;
        std::uint8_t DateOrder = 0;
    };
    struct TRangeScan {
        std::int64_t Lines = 0;
        std::int64_t Bad = 0;
        bool Started = false;  // the first lines were read and the format decided
        bool Completed = false;  // read to the end of the range, not cancelled
        std::uint8_t Format = 0;
        std::uint8_t DateOrder = 0;
    };
    // Reads a range into records; errors raise as ParseLogFile's do, except that a range
    // whose every line is bad is no error (that is for the whole file to say). Only with
    // Report set are status and progress fired and is a record list estimate reserved.
    TRangeScan ParseRange(const std::string& fileName, const TFileRange& range, bool report);
    // The format and date order of a file from its first lines; raises when they cannot be
    // decided. Sets DateOrder.
    std::uint8_t DecideFormat(const std::string& fileName, const std::vector<std::string_view>& lines);
    // Adds a whole file's bad lines to the run's; raises when every line was bad.
    void FinishFile(const std::string& fileName, const TRangeScan& scan);

    // Splits into SplitFields; the field count, 0 when the line has more than 50 fields.
    int SplitLine(std::string_view line);

    // The field mappers read SplitFields into CurrentHit.
    TLineResult MapCommonFields();
    TLineResult MapCombinedFields();
    TLineResult MapIISFields();
    TLineResult MapW3CFields();
    TLineResult MapISAFields();
    TLineResult MapCustomFields();
    // Maps the split line by the format code, emptying first what the format does not carry.
    TLineResult MapLine(std::uint8_t format);

    // The W3C directives: "#Date:" (shared by both dialects) and "#Fields:".
    void ReadW3CDateDirective();
    void ReadW3CFieldsDirective();
    void ReadISADateDirective();
    void ReadISAFieldsDirective();

    void ParseRequestLine(std::string_view text);
    void ParseStatus(std::string_view text);
    void ParseUserAgent(std::string_view text);
    // Cleans a request URI into CurrentHit (decoding, cutting, default page, kind).
    void CleanURI(std::string_view raw);
    std::string AppendDefaultPage(std::string_view uri) const;

    bool MatchFilter(const TRecFilterProperty& filter) const;
    bool PassesFilters() const;
    // Stores CurrentHit as a record.
    void AddRecord();

    // ---- Post-passes ----
    void AssignIPNumbers();
    void ComputeVisits();

    TSplitFields SplitFields;
    TCurrentHit CurrentHit;
    TSeconds TimeOffset = 0;  // seconds added to every parsed timestamp
    std::uint8_t DateOrder = 0;
    TW3CColumns W3CColumns;
    TISAColumns ISAColumns;
    std::string DirectiveDate;
    std::string DirectiveTime;
    // A "#Fields:" line was read in the current file (data lines before one are bad).
    bool W3CFieldsSeen = false;
    bool ISAFieldsSeen = false;

    // What the directive lines of a W3C file read so far have set.
    struct TDirectiveState {
        TW3CColumns W3C;
        TISAColumns ISA;
        std::string Date;
        std::string Time;
        bool W3CFieldsSeen = false;
        bool ISAFieldsSeen = false;
    };
    TDirectiveState Directives() const;
    void SetDirectives(const TDirectiveState& state);

    std::atomic<bool> DNSBusy{false};
    std::atomic<bool> FTPBusy{false};
    std::atomic<bool> HTTPBusy{false};

private:
    friend class TParallelParse;

    // Parses the files one after the other on this thread; false when cancelled.
    bool ParseFilesInOrder(const std::vector<std::string>& files, bool severalFiles, bool& validData);
    // Throws ELogConvert when a table that hits index in 16 bits grew past them.
    void CheckTableSizes();
    // Starts a worker's next piece, whose hits go to Slots: the tables and memos stay, so
    // a text is cleaned and classified once per worker, not once per piece.
    void StartPiece(TRecLog* slots, std::size_t count);
    // How many hits the piece wrote into its slots.
    std::size_t WrittenInPiece() const { return static_cast<std::size_t>(RecordSlots.Next - RecordSlots.Begin); }

    // Log files by full path: case-insensitive order, names that differ only in case are two files.
    struct TPathLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using TFileList = std::set<std::string, TPathLess>;

    // The columns a data line of either W3C dialect is read from.
    struct TW3CDataColumns {
        int CIP, Date, Time, Method, URI, Status, Bytes, Referer, Agent, Username;
    };
    struct TURIClass {
        std::int32_t URIIdx = -1;  // -1: not cleaned yet
        std::int32_t ExtIdx = -1;
        std::int32_t PathIdx = -1;
        std::uint8_t Kind = 0;
    };
    struct TAgentClass {
        std::int32_t BrowserIdx = -1;  // -1: not classified yet
        std::int32_t OSIdx = -1;
        std::int32_t SpiderIdx = -1;
    };

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

    void ResetDirectives();
    bool ReadNCSATime(std::string_view text);
    void ReserveRecords(std::int64_t fileSize, std::int64_t chunkBytes, std::size_t chunkLines);
    void ReadReferrer(std::string_view raw);
    void ClearReferrer();
    void ClearUserAgent();
    void ClearRequest();
    void ForgetMemos();
    std::uint8_t FileKindOf(std::string_view ext);
    bool ReadW3CTimestamp(int dateColumn, int timeColumn);
    void ReadMethodAndURI(int methodColumn, int uriColumn);
    TLineResult MapW3CData(const TW3CDataColumns& columns);
    // A numbered field, "-" read as empty.
    std::string_view Field(int i) const;
    THitView HitView() const;

    // Where a worker's hits go, instead of Records.
    struct TRecSlots {
        TRecLog* Begin = nullptr;
        TRecLog* Next = nullptr;
        TRecLog* End = nullptr;
    };
    TRecSlots RecordSlots;
    std::vector<TRecLog> SlotOverflow;
    // A worker's hits whose 16-bit index its own table numbered too high to store.
    std::vector<TWideIndex> WideIndices;
    // The last ParseRange got its file open: a file gone since it was planned is not "Analyzing".
    bool RangeOpened = false;
    TPieceTouches Touches;

    std::atomic<bool> Cancelled{false};
    // A worker's engine also stops when the run's engine is cancelled.
    const std::atomic<bool>* StopFlag = nullptr;
    bool StopRequested() const { return Cancelled || (StopFlag != nullptr && StopFlag->load()); }
    TCleaningSwitches Switches;
    TFilterSet FilterSet;
    TBucketString URIMemo{4095};  // decoded URIs, and their cleaning by index
    std::vector<TURIClass> URIClasses;
    std::vector<TAgentClass> AgentClasses;  // by agent index
    TBucketString ExtKindNames{255};  // extensions seen, and their kinds by index
    std::vector<std::uint8_t> ExtKinds;
    TFileKindLookup KindLookup;
    TAgentMatcher BrowserMatcher;  // the options' lists, for the agents not classified yet
    TAgentMatcher OSMatcher;
    TAgentMatcher SpiderMatcher;
    std::optional<TSearchEngineMatcher> SearchEngineMatcher;  // kept while the list stays the same
    // The raw text a field was last read from: neighbouring lines mostly repeat the
    // timestamp, the referrer and the agent, and a repeat needs no work at all.
    struct TLastRaw {
        std::string Raw;
        bool Valid = false;
        // True when the text is the one read last; else remembers it.
        bool Repeats(std::string_view text) {
            if (Valid && text == Raw) return true;
            Raw.assign(text);
            Valid = true;
            return false;
        }
    };
    TLastRaw LastNCSATime;
    TSeconds LastNCSAOffset = 0;
    THitTime LastNCSAHit;
    TLastRaw LastReferrer;
    TLastRaw LastAgent;

    TdmFTP dmFTP;
    TdmHTTP dmHTTP;
    TdmUnzip dmUnzip;
    TLocalNames LocalNames;  // names handed out in the work folder during one run
};

}  // namespace brindle

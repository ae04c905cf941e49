#pragma once
// One reader of log lines: splits each line, maps it by the file's format into the current
// hit, cleans and classifies it, filters it and stores it. A run reads with one on its own
// thread, or with one per worker; each keeps its memos for the whole run.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/BucketString_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/ELogConvert.h"
#include "engine/LogConvert_agents.h"
#include "engine/LogConvert_clean.h"
#include "engine/LogConvert_filter.h"
#include "engine/LogConvert_records.h"
#include "engine/LogConvert_split.h"
#include "engine/LogConvert_tables.h"
#include "engine/LogConvert_time.h"

namespace brindle {

// The hit being read. Every text keeps its capacity from one line to the next, so the
// line loop does not allocate once the longest texts have been seen.
struct TCurrentHit : THitTime {
    std::string Host;
    std::string User;
    std::string VDomain;
    std::string Method;
    TCleanURI Request;  // a URI's first cleaning; its kind and is-page on every hit
    std::int32_t Status = 0;
    bool NotModified = false;
    bool Partial = false;
    bool IsError = false;
    std::int64_t Bytes = 0;
    std::string Referrer;
    std::string UserAgent;
    // The cleaned URI and its parts, and the agent's classes: views of the run's table
    // texts, valid until the tables are cleared, so that a hit copies none of them.
    std::string_view URI;
    std::string_view Ext;
    std::string_view Path;
    std::string_view Browser;
    std::string_view OS;
    std::string_view Spider;
    // Table indices known as soon as the text is read: the URI's cleaning and the agent's
    // classification are remembered by text, so each is worked out once per distinct text.
    std::int32_t URIIdx = 0;
    std::int32_t ExtIdx = 0;
    std::int32_t PathIdx = 0;
    bool HasRequest = false;  // false: URI, extension and folder are empty for want of a request
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

// The twelve tables a parser adds its texts to, in TTableId order.
using TTablePointers = std::array<TBucketString*, TableCount>;

class TLogParser {
public:
    // Texts go to Tables; hits to Records, or with none, to the slots of each piece.
    explicit TLogParser(const TTablePointers& tables, TLstRecLog* records = nullptr);
    TLogParser(const TLogParser&) = delete;
    TLogParser& operator=(const TLogParser&) = delete;

    // Prepares the time offset, cleaning switches, filters and classifiers of a run. The
    // profile and options are read until the next Begin, so they must live that long.
    void Begin(const TProfile& profile, const TOptions& options);
    const TProfile& Profile() const { return *RunProfile; }
    const TOptions& Options() const { return *RunOptions; }
    // The memos hold table indices: a cleared table makes them wrong.
    void ForgetMemos();

    // The run's cancel flag, looked at between lines.
    void SetStopFlag(const std::atomic<bool>* flag) { StopFlag = flag; }
    const std::atomic<bool>* GetStopFlag() const { return StopFlag; }
    bool StopRequested() const { return StopFlag != nullptr && StopFlag->load(); }
    // Fired only while reading with reports on.
    std::function<void(int value, const std::string& text)> OnProgress;
    std::function<void(int value, const std::string& text)> OnStatus;
    void DoProgress(int value, const std::string& text) const {
        if (OnProgress) OnProgress(value, text);
    }
    void DoStatus(int value, const std::string& text) const {
        if (OnStatus) OnStatus(value, text);
    }

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
    // Reads one whole file with reports on; true when read to its end, false when cancelled.
    // Its bad lines are added to BadLines.
    bool ParseLogFile(const std::string& fileName, std::int64_t& badLines);
    // Reads a range into records; errors raise as ParseLogFile's do, except that a range
    // whose every line is bad is no error (that is for the whole file to say). Only with
    // Report set are status and progress fired and is a record list estimate reserved.
    TRangeScan ParseRange(const std::string& fileName, const TFileRange& range, bool report);
    // The format and date order of a file from its first lines; raises when they cannot be
    // decided. Sets DateOrder.
    std::uint8_t DecideFormat(const std::string& fileName, const std::vector<std::string_view>& lines);
    // Adds a whole file's bad lines to BadLines; raises when every line was bad.
    static void FinishFile(const std::string& fileName, const TRangeScan& scan, std::int64_t& badLines);

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
    void ResetDirectives();

    // ---- Reading a worker's pieces ----

    // Starts the next piece, whose hits go to Slots: the tables and memos stay, so a text
    // is cleaned and classified once per parser, not once per piece.
    void StartPiece(TRecLog* slots, std::size_t count);
    // How many hits the piece wrote into its slots.
    std::size_t WrittenInPiece() const { return static_cast<std::size_t>(RecordSlots.Next - RecordSlots.Begin); }
    // The last ParseRange got its file open: a file gone since it was planned is not "Analyzing".
    bool RangeOpened() const { return Opened; }
    // What the piece leaves for the merge; each is empty afterwards.
    std::vector<TRecLog> TakeOverflow();
    std::vector<TWideIndex> TakeWideIndices();
    // The extension and folder of each URL the worker's hits named, by its own indices.
    TURIParts TakeURIParts() { return std::move(OwnURIParts); }
    const TTablePointers& Tables() const { return Out; }

private:
    // The columns a data line of either W3C dialect is read from.
    struct TW3CDataColumns {
        int CIP, Date, Time, Method, URI, Status, Bytes, Referer, Agent, Username;
    };
    // The texts beside the indices are the tables' own, so that a hit names them without
    // reading the tables again.
    struct TURIClass {
        std::int32_t URIIdx = -1;  // -1: not cleaned yet
        std::int32_t ExtIdx = -1;
        std::int32_t PathIdx = -1;
        std::uint8_t Kind = 0;
        std::string_view URI, Ext, Path;
    };
    struct TAgentClass {
        std::int32_t BrowserIdx = -1;  // -1: not classified yet
        std::int32_t OSIdx = -1;
        std::int32_t SpiderIdx = -1;
        std::string_view Browser, OS, Spider;
    };

    TBucketString& Table(TTableId table) const { return *Out[table]; }
    bool ReadNCSATime(std::string_view text);
    void ReserveRecords(std::int64_t fileSize, std::int64_t chunkBytes, std::size_t chunkLines);
    void ReadReferrer(std::string_view raw);
    void ClearReferrer();
    void ClearUserAgent();
    void ClearRequest();
    void ForgetRepeats();
    std::uint8_t FileKindOf(std::string_view ext);
    bool ReadW3CTimestamp(int dateColumn, int timeColumn);
    void ReadMethodAndURI(int methodColumn, int uriColumn);
    TLineResult MapW3CData(const TW3CDataColumns& columns);
    // A numbered field, "-" read as empty.
    std::string_view Field(int i) const;
    THitView HitView() const;

    TTablePointers Out;
    TLstRecLog* Records;
    TURIParts OwnURIParts;  // a worker's, whose hits go to slots rather than to Records
    TURIParts& URIPartsOut() { return Records != nullptr ? Records->URIParts() : OwnURIParts; }
    const TProfile* RunProfile = nullptr;
    const TOptions* RunOptions = nullptr;
    const std::atomic<bool>* StopFlag = nullptr;

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
    bool Opened = false;

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
};

// Parses the files one after the other with Parser, reports on: the first failing file
// raises when it is the only file, else gets a "Skipped" line. False when cancelled;
// ValidData is set when a file held valid data.
bool ParseFilesInOrder(TLogParser& parser, const std::vector<std::string>& files, bool severalFiles, bool& validData,
                       std::int64_t& badLines);

}  // namespace brindle

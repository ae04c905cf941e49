#include "engine/LogConvert_parser.h"

#include <cstring>
#include <stdexcept>

namespace brindle {

namespace {

// Column names of the two W3C dialects, with the member each sets.
struct TW3CName {
    std::string_view Name;
    int TW3CColumns::*Column;
};
constexpr TW3CName kW3CNames[] = {
    {"date", &TW3CColumns::Date},
    {"time", &TW3CColumns::Time},
    {"c-ip", &TW3CColumns::CIP},
    {"cs-method", &TW3CColumns::CSMethod},
    {"cs-uri-stem", &TW3CColumns::CSURIStem},
    {"cs-uri-query", &TW3CColumns::CSURIQuery},
    {"sc-status", &TW3CColumns::SCStatus},
    {"sc-bytes", &TW3CColumns::SCBytes},
    {"cs(User-Agent)", &TW3CColumns::CSUserAgent},
    {"cs(Referer)", &TW3CColumns::CSReferer},
    {"cs-username", &TW3CColumns::CSUsername},
};

struct TISAName {
    std::string_view Name;
    int TISAColumns::*Column;
};
constexpr TISAName kISANames[] = {
    {"date", &TISAColumns::Date},
    {"time", &TISAColumns::Time},
    {"c-ip", &TISAColumns::CIP},
    {"s-operation", &TISAColumns::SOperation},
    {"cs-uri", &TISAColumns::CSURI},
    {"sc-status", &TISAColumns::SCStatus},
    {"sc-bytes", &TISAColumns::SCBytes},
    {"c-agent", &TISAColumns::CAgent},
    {"cs-username", &TISAColumns::CSUsername},
    {"sc-authenticated", &TISAColumns::SCAuthenticated},
};

// The directive's field i names data column i - 1.
template <class Columns, class Name, std::size_t N>
void ReadColumns(const TSplitFields& fields, Columns& columns, const Name (&names)[N]) {
    columns = {};
    for (int i = 1; i <= MaxSplitFields; ++i)
        for (const Name& name : names)
            if (fields[i] == name.Name) columns.*name.Column = i - 1;
}

std::string_view WithoutComma(std::string_view field) {
    field.remove_suffix(1);
    return field;
}

std::string_view Present(std::string_view field) { return field == "-" ? std::string_view() : field; }

}  // namespace

std::string_view TLogParser::Field(int i) const { return Present(SplitFields[i]); }

TLineResult TLogParser::MapLine(std::uint8_t format) {
    TCurrentHit& hit = CurrentHit;
    switch (format) {
        case lfNCSACommon:
        case lfApacheCommon:
            ClearReferrer();
            ClearUserAgent();
            hit.VDomain.clear();
            return MapCommonFields();
        case lfNCSACombined:
        case lfApacheCombined: hit.VDomain.clear(); return MapCombinedFields();
        case lfIIS:
            ClearReferrer();
            ClearUserAgent();
            return MapIISFields();
        case lfIISW3C: hit.VDomain.clear(); return MapW3CFields();
        case lfISAW3C:
            ClearReferrer();
            hit.VDomain.clear();
            return MapISAFields();
        case lfCustomFC: hit.VDomain.clear(); return MapCustomFields();
        default: return TLineResult::NoHit;
    }
}

TLineResult TLogParser::MapCommonFields() {
    TCurrentHit& hit = CurrentHit;
    hit.Host.assign(Field(1));
    hit.User.assign(Field(3));
    if (!ReadNCSATime(SplitFields[4])) return TLineResult::Bad;
    ParseRequestLine(SplitFields[5]);
    ParseStatus(SplitFields[6]);
    hit.Bytes = ParseBytes(SplitFields[7]);
    return TLineResult::Hit;
}

TLineResult TLogParser::MapCombinedFields() {
    const TLineResult result = MapCommonFields();
    if (result != TLineResult::Hit) return result;
    ReadReferrer(SplitFields[8]);
    ParseUserAgent(SplitFields[9]);
    return TLineResult::Hit;
}

TLineResult TLogParser::MapCustomFields() {
    TCurrentHit& hit = CurrentHit;
    hit.User.assign(Field(3));
    if (!ReadNCSATime(SplitFields[4])) return TLineResult::Bad;
    ParseRequestLine(SplitFields[5]);
    ParseStatus(SplitFields[6]);
    hit.Bytes = ParseBytes(SplitFields[7]);
    ReadReferrer(SplitFields[8]);
    ParseUserAgent(SplitFields[9]);
    hit.Host.assign(Field(10));
    return TLineResult::Hit;
}

TLineResult TLogParser::MapIISFields() {
    if (!AllFieldsEndWithComma(SplitFields, 15)) return TLineResult::Bad;
    const TSplitFields& f = SplitFields;
    TCurrentHit& hit = CurrentHit;
    hit.Host.assign(Present(WithoutComma(f[1])));
    hit.User.assign(Present(WithoutComma(f[2])));
    if (!ParseIISDateTime(WithoutComma(f[3]), WithoutComma(f[4]), DateOrder, TimeOffset, hit)) return TLineResult::Bad;
    hit.VDomain.assign(Present(WithoutComma(f[5])));
    hit.Bytes = ParseBytes(WithoutComma(f[10]));
    ParseStatus(WithoutComma(f[11]));
    const std::string_view method = WithoutComma(f[13]);
    hit.Method.assign(method == "-" ? std::string_view("GET") : method);
    const std::string_view uri = WithoutComma(f[14]);
    if (uri == "-")
        ClearRequest();
    else
        CleanURI(uri);
    return TLineResult::Hit;
}

void TLogParser::ReadW3CDateDirective() {
    DirectiveDate.assign(SplitFields[2]);
    DirectiveTime.assign(SplitFields[3]);
}

void TLogParser::ReadW3CFieldsDirective() {
    ReadColumns(SplitFields, W3CColumns, kW3CNames);
    W3CFieldsSeen = true;
}

void TLogParser::ReadISADateDirective() { ReadW3CDateDirective(); }

void TLogParser::ReadISAFieldsDirective() {
    ReadColumns(SplitFields, ISAColumns, kISANames);
    ISAFieldsSeen = true;
}

bool TLogParser::ReadW3CTimestamp(int dateColumn, int timeColumn) {
    const std::string_view date = dateColumn ? SplitFields[dateColumn] : std::string_view(DirectiveDate);
    const std::string_view time = timeColumn ? SplitFields[timeColumn] : std::string_view(DirectiveTime);
    return ParseW3CDateTime(date, time, TimeOffset, CurrentHit);
}

void TLogParser::ReadMethodAndURI(int methodColumn, int uriColumn) {
    TCurrentHit& hit = CurrentHit;
    const std::string_view method = Field(methodColumn);
    hit.Method.assign(method.empty() ? std::string_view("GET") : method);
    const std::string_view uri = Field(uriColumn);
    if (uri.empty())
        ClearRequest();
    else
        CleanURI(uri);
}

TLineResult TLogParser::MapW3CData(const TW3CDataColumns& col) {
    TCurrentHit& hit = CurrentHit;
    hit.Host.assign(Field(col.CIP));
    if (!ReadW3CTimestamp(col.Date, col.Time)) return TLineResult::Bad;
    ReadMethodAndURI(col.Method, col.URI);
    ParseStatus(SplitFields[col.Status]);
    hit.Bytes = ParseBytes(SplitFields[col.Bytes]);
    ReadReferrer(SplitFields[col.Referer]);
    ParseUserAgent(SplitFields[col.Agent]);
    hit.User.assign(Field(col.Username));
    return TLineResult::Hit;
}

TLineResult TLogParser::MapW3CFields() {
    const std::string_view first = SplitFields[1];
    if (first.starts_with('#')) {
        if (first == "#Date:") ReadW3CDateDirective();
        if (first == "#Fields:") ReadW3CFieldsDirective();
        return TLineResult::NoHit;
    }
    // Without a "#Fields:" line the columns are unknown.
    if (!W3CFieldsSeen) return TLineResult::Bad;
    const TW3CColumns& c = W3CColumns;
    return MapW3CData({c.CIP, c.Date, c.Time, c.CSMethod, c.CSURIStem, c.SCStatus, c.SCBytes, c.CSReferer,
                       c.CSUserAgent, c.CSUsername});
}

TLineResult TLogParser::MapISAFields() {
    const std::string_view first = SplitFields[1];
    if (first.starts_with('#')) {
        if (first == "#Date:") ReadISADateDirective();
        if (first == "#Fields:") ReadISAFieldsDirective();
        return TLineResult::NoHit;
    }
    if (!ISAFieldsSeen) return TLineResult::Bad;
    // No referrer column: column 0 reads as an empty referrer.
    const TISAColumns& c = ISAColumns;
    return MapW3CData({c.CIP, c.Date, c.Time, c.SOperation, c.CSURI, c.SCStatus, c.SCBytes, 0, c.CAgent, c.CSUsername});
}

void TLogParser::ParseRequestLine(std::string_view text) {
    std::string_view method;
    std::string_view uri;
    const bool hasURI = SplitRequestLine(text, method, uri);
    CurrentHit.Method.assign(method);
    if (hasURI)
        CleanURI(uri);
    else
        ClearRequest();
}

void TLogParser::CleanURI(std::string_view raw) {
    TCurrentHit& hit = CurrentHit;
    TCleanURI& request = hit.Request;
    DecodeRequestURI(raw, Switches, request.URI);
    const std::int32_t key = URIMemo.AddString(request.URI);
    if (static_cast<std::size_t>(key) >= URIClasses.size()) URIClasses.resize(key + 1);
    TURIClass& known = URIClasses[key];
    if (known.URIIdx < 0) {
        FinishRequestURI(Switches, KindLookup, request);
        known.URIIdx = Table(tiURI).AddString(request.URI);
        known.ExtIdx = Table(tiExt).AddString(request.Ext);
        known.PathIdx = Table(tiPath).AddString(request.Path);
        known.Kind = request.Kind;
        known.URI = Table(tiURI).GetString(known.URIIdx);
        known.Ext = Table(tiExt).GetString(known.ExtIdx);
        known.Path = Table(tiPath).GetString(known.PathIdx);
    } else {
        request.Kind = known.Kind;
        request.IsPage = known.Kind == 2;
    }
    hit.URI = known.URI;
    hit.Ext = known.Ext;
    hit.Path = known.Path;
    hit.URIIdx = known.URIIdx;
    hit.ExtIdx = known.ExtIdx;
    hit.PathIdx = known.PathIdx;
    hit.HasRequest = true;
}

void TLogParser::ClearRequest() {
    CurrentHit.Request.Clear();
    CurrentHit.URIIdx = Table(tiURI).AddString({});
    CurrentHit.ExtIdx = Table(tiExt).AddString({});
    CurrentHit.PathIdx = Table(tiPath).AddString({});
    CurrentHit.HasRequest = false;
    CurrentHit.URI = CurrentHit.Ext = CurrentHit.Path = {};
}

std::string TLogParser::AppendDefaultPage(std::string_view uri) const {
    return brindle::AppendDefaultPage(uri, Switches.DefaultPage);
}

void TLogParser::ParseStatus(std::string_view text) {
    const TStatusInfo info = brindle::ParseStatus(text);
    CurrentHit.Status = info.Status;
    CurrentHit.NotModified = info.NotModified;
    CurrentHit.Partial = info.Partial;
    CurrentHit.IsError = info.IsError;
}

bool TLogParser::ReadNCSATime(std::string_view text) {
    THitTime& time = CurrentHit;
    const bool sameOffset = TimeOffset == LastNCSAOffset;
    if (LastNCSATime.Repeats(text) && sameOffset) {
        time = LastNCSAHit;
        return true;
    }
    if (!ParseNCSADateTime(text, TimeOffset, time)) {
        LastNCSATime.Valid = false;
        return false;
    }
    LastNCSAOffset = TimeOffset;
    LastNCSAHit = time;
    return true;
}

// Only these functions write the referrer and agent fields, so after a repeat they still
// hold the values read last.
void TLogParser::ReadReferrer(std::string_view raw) {
    if (!LastReferrer.Repeats(raw)) CleanReferrer(raw, Switches, CurrentHit.Referrer);
}

void TLogParser::ClearReferrer() {
    CurrentHit.Referrer.clear();
    LastReferrer.Valid = false;
}

void TLogParser::ParseUserAgent(std::string_view text) {
    if (LastAgent.Repeats(text)) return;
    TCurrentHit& hit = CurrentHit;
    DecodeUserAgent(text, hit.UserAgent);
    const std::int32_t agentIdx = Table(tiAgent).AddString(hit.UserAgent);
    if (static_cast<std::size_t>(agentIdx) >= AgentClasses.size()) AgentClasses.resize(agentIdx + 1);
    TAgentClass& known = AgentClasses[agentIdx];
    if (known.BrowserIdx < 0) {
        // An empty ID never matches, so an empty agent classifies as nothing.
        known.BrowserIdx = Table(tiBrowser).AddString(BrowserMatcher.FindName(hit.UserAgent));
        known.OSIdx = Table(tiOS).AddString(OSMatcher.FindName(hit.UserAgent));
        known.SpiderIdx = Table(tiSpider).AddString(SpiderMatcher.FindName(hit.UserAgent));
        known.Browser = Table(tiBrowser).GetString(known.BrowserIdx);
        known.OS = Table(tiOS).GetString(known.OSIdx);
        known.Spider = Table(tiSpider).GetString(known.SpiderIdx);
    }
    hit.AgentIdx = agentIdx;
    hit.BrowserIdx = known.BrowserIdx;
    hit.OSIdx = known.OSIdx;
    hit.SpiderIdx = known.SpiderIdx;
    hit.Browser = known.Browser;
    hit.OS = known.OS;
    hit.Spider = known.Spider;
}

void TLogParser::ClearUserAgent() { ParseUserAgent({}); }

std::uint8_t TLogParser::FileKindOf(std::string_view ext) {
    const std::int32_t idx = ExtKindNames.AddString(ext);
    if (static_cast<std::size_t>(idx) >= ExtKinds.size()) ExtKinds.push_back(RunOptions->Files.GetFileType(ext));
    return ExtKinds[idx];
}

THitView TLogParser::HitView() const {
    const TCurrentHit& hit = CurrentHit;
    THitView view;
    view.Host = hit.Host;
    view.URI = hit.URI;
    view.Referrer = hit.Referrer;
    view.OS = hit.OS;
    view.Browser = hit.Browser;
    view.Spider = hit.Spider;
    view.Method = hit.Method;
    view.VDomain = hit.VDomain;
    view.Time = hit.Time;
    view.DayOfWeek = hit.DayOfWeek;
    view.Hour = hit.Hour;
    view.Day = hit.Day;
    view.Month = hit.Month;
    view.Status = hit.Status;
    return view;
}

bool TLogParser::MatchFilter(const TRecFilterProperty& filter) const { return brindle::MatchFilter(filter, HitView()); }

bool TLogParser::PassesFilters() const { return FilterSet.Empty() || FilterSet.Passes(HitView()); }

void TLogParser::AddRecord() {
    const TCurrentHit& hit = CurrentHit;
    TRecLog rec;
    rec.SetTime(hit);
    rec.VisitId = -1;
    rec.HostIdx = Table(tiHost).AddString(hit.Host);
    rec.UserIdx = Table(tiUser).AddString(hit.User);
    rec.VisitDuration = 0;
    Table(tiVDomain).AddString(hit.VDomain);
    Table(tiMethod).AddString(hit.Method);
    rec.URIIdx = hit.URIIdx;
    rec.NoRequest = !hit.HasRequest;
    URIPartsOut().Set(rec, {hit.ExtIdx, hit.PathIdx});
    rec.Kind = hit.Request.Kind;
    rec.IsPage = hit.Request.IsPage;
    rec.Status = static_cast<std::int16_t>(hit.Status);
    rec.NotModified = hit.NotModified;
    rec.Partial = hit.Partial;
    rec.IsError = hit.IsError;
    rec.Bytes = static_cast<std::uint64_t>(hit.Bytes);
    rec.ReferrerIdx = Table(tiReferrer).AddString(hit.Referrer);
    const auto small = [&](TTableId table, std::int32_t index) {
        if (SetSmallIndex(rec, table, index)) return;
        // A worker's own table numbered it too high: the merge puts in the run's index,
        // which fits unless the run's table is too large (CheckTableSizes).
        if (RecordSlots.Next != nullptr) WideIndices.push_back({WrittenInPiece() + SlotOverflow.size(), table, index});
    };
    small(tiBrowser, hit.BrowserIdx);
    small(tiOS, hit.OSIdx);
    small(tiSpider, hit.SpiderIdx);
    rec.IsEntry = 0;
    rec.IsExit = 0;
    if (RecordSlots.Next == nullptr) {
        Records->Add(rec);
        return;
    }
    // The slots were counted from the range's line ends when the run was planned; only a
    // file that grew since has more hits.
    if (RecordSlots.Next == RecordSlots.End) {
        SlotOverflow.push_back(rec);
        return;
    }
    std::memcpy(static_cast<void*>(RecordSlots.Next++), &rec, sizeof rec);
}

}  // namespace brindle

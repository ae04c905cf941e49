#include "engine/ReportContent_u.h"

#include <cmath>
#include <initializer_list>

#include "core/CommonConsts_catalogue.h"
#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/SafeFormat_u.h"

namespace brindle {

namespace {

using C = TRecColumnTxt;
using Codes = std::initializer_list<std::uint8_t>;
using Captions = std::initializer_list<std::string C::*>;
using T = TStatTable;
using S = TRowSkip;

constexpr TReportSort kNone = TReportSort::None;
constexpr TReportSort kKeyUp = TReportSort::KeyAscending;
constexpr TReportSort kKeyDown = TReportSort::KeyDescending;
constexpr TReportSort kHits = TReportSort::HitsDescending;
constexpr TReportSort kVisits = TReportSort::VisitsDescending;

// A mismatch between codes and captions stops the build: the table is evaluated at compile time.
constexpr TReportRule Rule(TReportID id, std::string_view key, TStatTable table, TReportSort sort, TRowSkip skip,
                           std::uint8_t skipKind, bool limited, Codes codes, Captions captions) {
    if (codes.size() != captions.size() || codes.size() > kMaxReportColumns) throw "codes and captions differ";
    TReportRule rule;
    rule.ID = id;
    rule.Key = key;
    rule.Table = table;
    rule.Sort = sort;
    rule.Skip = skip;
    rule.SkipKind = skipKind;
    rule.Limited = limited;
    rule.ColumnCount = static_cast<std::uint8_t>(codes.size());
    std::size_t i = 0;
    for (const std::uint8_t code : codes) rule.Codes[i++] = code;
    i = 0;
    for (const auto caption : captions) rule.Captions[i++] = caption;
    return rule;
}

// Rows of a whole table with no skip and no limit.
constexpr TReportRule Plain(TReportID id, std::string_view key, TStatTable table, TReportSort sort, Codes codes,
                            Captions captions) {
    return Rule(id, key, table, sort, S::None, 0, false, codes, captions);
}
// Ranked rows under the profile's limit, optionally skipping some.
constexpr TReportRule Ranked(TReportID id, std::string_view key, TStatTable table, TReportSort sort, Codes codes,
                             Captions captions, TRowSkip skip = S::None, std::uint8_t skipKind = 0) {
    return Rule(id, key, table, sort, skip, skipKind, true, codes, captions);
}

constexpr std::array<TReportRule, 42> kRules = {{
    Plain(21, "ByMon", T::Mon, kKeyUp, {1, 7, 9, 11, 13, 18, 15},
          {&C::Month, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pages, &C::Errors, &C::AvgVisitLen}),
    Plain(22, "ByDay", T::Day, kKeyUp, {2, 7, 9, 11, 13, 18, 15},
          {&C::Date, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pages, &C::Errors, &C::AvgVisitLen}),
    Plain(23, "ByHod", T::Hod, kNone, {3, 7, 9, 11, 13, 18, 15},
          {&C::Hour, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pages, &C::Errors, &C::AvgVisitLen}),
    Plain(24, "ByDow", T::Dow, kNone, {4, 7, 9, 11, 13, 18, 15},
          {&C::Day, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pages, &C::Errors, &C::AvgVisitLen}),
    Plain(25, "ByDom", T::Dom, kNone, {5, 7, 9, 11, 13, 18, 15},
          {&C::Day, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pages, &C::Errors, &C::AvgVisitLen}),
    Ranked(31, "ByTld", T::Tld, kVisits, {24, 7, 8, 9, 10, 11, 12},
           {&C::TLD, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent, &C::Bandwidth, &C::BandwidthPercent}),
    Ranked(32, "ByDomain", T::Domain, kVisits, {23, 34, 7, 9, 11},
           {&C::Domain, &C::Country, &C::Hits, &C::Visits, &C::Bandwidth}),
    Ranked(
        33, "ByBrowser", T::Browser, kHits, {25, 7, 8, 9, 10, 11, 12},
        {&C::Browser, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent, &C::Bandwidth, &C::BandwidthPercent}),
    Ranked(34, "ByOS", T::OS, kHits, {26, 7, 8, 9, 10, 11, 12},
           {&C::OS, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent, &C::Bandwidth, &C::BandwidthPercent}),
    Ranked(35, "BySpider", T::Spider, kHits, {23, 7, 8, 9, 10},
           {&C::Spider, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent}, S::EmptyName),
    Ranked(36, "ByRecent", T::Host, kKeyDown, {23, 34, 7, 9, 6},
           {&C::Host, &C::Country, &C::Hits, &C::Visits, &C::TimeLastAccess}),
    Ranked(37, "ByHost", T::Host, kVisits, {23, 34, 7, 9, 11},
           {&C::Host, &C::Country, &C::Hits, &C::Visits, &C::Bandwidth}),
    Plain(38, "ByNbVisit", T::NbVisit, kNone, {21, 9, 10}, {&C::Visits, &C::Visitors, &C::VisitorsPercent}),
    Ranked(
        39, "ByUserName", T::UserName, kVisits, {23, 7, 8, 9, 10, 11, 12},
        {&C::UserName, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent, &C::Bandwidth, &C::BandwidthPercent}),
    Ranked(41, "ByAllFiles", T::AllFiles, kVisits, {23, 7, 9, 11, 17},
           {&C::URL, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}),
    Ranked(42, "ByFileDoc", T::AllFiles, kVisits, {23, 7, 9, 11, 17},
           {&C::Page, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}, S::KindOtherThan, fkPage),
    Ranked(43, "ByFileFile", T::AllFiles, kVisits, {23, 7, 9, 11, 17},
           {&C::FileName, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}, S::KindOtherThan, fkDownload),
    Ranked(44, "ByFileImg", T::AllFiles, kVisits, {23, 7, 9, 11, 17},
           {&C::Image, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}, S::KindOtherThan, fkImage),
    Ranked(45, "ByFileAudio", T::AllFiles, kVisits, {23, 7, 9, 11, 17},
           {&C::Audio, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}, S::KindOtherThan, fkAudio),
    Ranked(46, "ByFileVideo", T::AllFiles, kVisits, {23, 7, 9, 11, 17},
           {&C::Video, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}, S::KindOtherThan, fkVideo),
    Ranked(141, "ByFileDir", T::FileDir, kVisits, {23, 7, 9, 11, 17},
           {&C::Directory, &C::Hits, &C::Visits, &C::Bandwidth, &C::Incomplete}),
    Ranked(142, "ByFileType", T::FileType, kHits, {33, 7, 11, 17},
           {&C::FileType, &C::Hits, &C::Bandwidth, &C::Incomplete}),
    Ranked(47, "ByFileExt", T::FileExt, kHits, {23, 7, 11, 17}, {&C::FileExt, &C::Hits, &C::Bandwidth, &C::Incomplete}),
    Ranked(48, "ByTopIn", T::TopIn, kHits, {23, 7}, {&C::Page, &C::Entries}),
    Ranked(49, "ByTopOut", T::TopOut, kHits, {23, 7}, {&C::Page, &C::Exits}),
    Ranked(51, "ByRefDomain", T::RefDomain, kVisits, {27, 7, 9, 11, 13},
           {&C::RefDomain, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pageview}),
    Ranked(52, "ByRefPage", T::RefPage, kVisits, {27, 7, 9, 11, 13},
           {&C::RefPage, &C::Hits, &C::Visits, &C::Bandwidth, &C::Pageview}),
    Ranked(53, "ByRefSE", T::RefSE, kVisits, {23, 9}, {&C::SE, &C::Searches}, S::EmptyName),
    Ranked(54, "ByRefSEP", T::RefSEP, kVisits, {23, 9}, {&C::Phrase, &C::Searches}, S::EmptyName),
    Ranked(55, "ByRefSEK", T::RefSEK, kVisits, {23, 9}, {&C::Keyword, &C::Searches}, S::EmptyName),
    Ranked(56, "ByRefSESEP", T::RefSESEP, kVisits, {29, 30, 9}, {&C::SE, &C::Phrase, &C::Searches}, S::EmptyName),
    Ranked(57, "ByRefSESEK", T::RefSESEK, kVisits, {29, 30, 9}, {&C::SE, &C::Keyword, &C::Searches}, S::EmptyName),
    Ranked(61, "ByErr404", T::Err, kHits, {31, 32, 7}, {&C::ErrorReqURL, &C::ErrorReferrer, &C::Hits}, S::CodeNot404),
    Ranked(62, "ByErrMisc", T::Err, kHits, {19, 20, 31, 32, 7},
           {&C::ErrorCode, &C::ErrorDescr, &C::ErrorReqURL, &C::ErrorReferrer, &C::Hits}, S::Code404),
    Ranked(63, "ByErrType", T::Status, kHits, {19, 20, 7}, {&C::ErrorCode, &C::ErrorDescr, &C::Hits}, S::CodeNotError),
    Plain(131, "ByLenVisit", T::LenVisit, kNone, {22, 9, 10}, {&C::Duration, &C::Visits, &C::VisitsPercent}),
    Ranked(
        132, "ByCountry", T::Country, kVisits, {35, 7, 8, 9, 10, 11, 12},
        {&C::Country, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent, &C::Bandwidth, &C::BandwidthPercent}),
    Ranked(133, "ByRegion", T::Region, kVisits, {36, 7, 8, 9, 10, 11, 12},
           {&C::Region, &C::Hits, &C::HitsPercent, &C::Visits, &C::VisitsPercent, &C::Bandwidth, &C::BandwidthPercent}),
    Ranked(134, "ByUSState", T::USState, kVisits, {23, 7, 9, 11}, {&C::State, &C::Hits, &C::Visits, &C::Bandwidth}),
    Ranked(135, "ByCAProv", T::CAProv, kVisits, {23, 7, 9, 11}, {&C::Province, &C::Hits, &C::Visits, &C::Bandwidth}),
    Ranked(136, "ByCNProv", T::CNProv, kVisits, {23, 7, 9, 11}, {&C::Province, &C::Hits, &C::Visits, &C::Bandwidth}),
    Ranked(137, "ByCity", T::City, kVisits, {23, 7, 9, 11}, {&C::City, &C::Hits, &C::Visits, &C::Bandwidth}),
}};

constexpr TReportID kByUserNameID = 39;

TLstStat* ListOf(TStatistics& s, TStatTable table) {
    switch (table) {
        case T::Mon: return &s.StatByMon;
        case T::Day: return &s.StatByDay;
        case T::Tld: return &s.StatByTld;
        case T::Domain: return &s.StatByDomain;
        case T::Browser: return &s.StatByBrowser;
        case T::OS: return &s.StatByOS;
        case T::Spider: return &s.StatBySpider;
        case T::Host: return &s.StatByHost;
        case T::UserName: return &s.StatByUserName;
        case T::AllFiles: return &s.StatByAllFiles;
        case T::FileDir: return &s.StatByFileDir;
        case T::FileType: return &s.StatByFileType;
        case T::FileExt: return &s.StatByFileExt;
        case T::TopIn: return &s.StatByTopIn;
        case T::TopOut: return &s.StatByTopOut;
        case T::RefDomain: return &s.StatByRefDomain;
        case T::RefPage: return &s.StatByRefPage;
        case T::RefSE: return &s.StatByRefSE;
        case T::RefSEP: return &s.StatByRefSEP;
        case T::RefSEK: return &s.StatByRefSEK;
        case T::RefSESEP: return &s.StatByRefSESEP;
        case T::RefSESEK: return &s.StatByRefSESEK;
        case T::Err: return &s.StatByErr;
        case T::Status: return &s.StatByStatus;
        case T::Country: return &s.StatByCountry;
        case T::Region: return &s.StatByRegion;
        case T::USState: return &s.StatByUSState;
        case T::CAProv: return &s.StatByCAProv;
        case T::CNProv: return &s.StatByCNProv;
        case T::City: return &s.StatByCity;
        default: return nullptr;  // a fixed table
    }
}

void SortList(TLstStat& list, TReportSort sort) {
    switch (sort) {
        case TReportSort::KeyAscending: list.SortByKey(1); break;
        case TReportSort::KeyDescending: list.SortByKey(0); break;
        case TReportSort::HitsDescending: list.SortByHits(0); break;
        case TReportSort::VisitsDescending: list.SortByVisits(0); break;
        case TReportSort::None: break;
    }
}

bool IsSkipped(const TReportRule& rule, const TRecStat& row) {
    switch (rule.Skip) {
        case S::None: return false;
        case S::EmptyName: return row.Name.empty();
        case S::KindOtherThan: return row.Kind != rule.SkipKind;
        case S::Code404: return row.Code == 404;
        case S::CodeNot404: return row.Code != 404;
        case S::CodeNotError: return row.Code < 400 || row.Code > 599;
    }
    return false;
}

// Walks a fixed table in index order; Offer returns false to stop.
template <typename Table, typename Offer>
void WalkFixed(const Table& table, const Offer& offer) {
    int index = Table::kFirst;
    for (const TRecStat& row : table)
        if (!offer(row, index++)) return;
}

template <typename Offer>
void WalkTable(TStatistics& s, const TReportRule& rule, TReportConsumer consumer, const Offer& offer) {
    switch (rule.Table) {
        case T::Hod: WalkFixed(s.StatByHod, offer); return;
        case T::Dow: WalkFixed(s.StatByDow, offer); return;
        case T::Dom: WalkFixed(s.StatByDom, offer); return;
        case T::NbVisit: WalkFixed(s.StatByNbVisit, offer); return;
        case T::LenVisit: WalkFixed(s.StatByLenVisit, offer); return;
        default: break;
    }
    TLstStat* list = ListOf(s, rule.Table);
    if (!list) return;
    SortList(*list, RuleSort(rule, consumer));
    for (const TRecStat& row : *list)
        if (!offer(row, 0)) return;
}

// Nearest integer, halves to the even neighbour, whatever the FPU rounding mode.
std::int64_t RoundHalfEven(double value) {
    const double low = std::floor(value);
    const double fraction = value - low;
    double result = low;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(low, 2.0) != 0.0)) result = low + 1.0;
    return static_cast<std::int64_t>(result);
}

struct TFileKindHits {
    std::int64_t Pages = 0;
    std::int64_t Images = 0;
    std::int64_t Others = 0;
};

// Kinds from the options as they are now, not the kind stored in the row.
TFileKindHits CountHitsByKind(const TLstStat& files, const TLstFileExt& kinds) {
    TFileKindHits sums;
    for (const TRecStat& row : files) {
        switch (kinds.GetFileType(ExtractURLExt(row.Name))) {
            case fkPage: sums.Pages += row.Hits; break;
            case fkImage: sums.Images += row.Hits; break;
            default: sums.Others += row.Hits; break;
        }
    }
    return sums;
}

}  // namespace

const std::array<TReportRule, 42>& ReportRules() { return kRules; }

const TReportRule* FindReportRule(int id) {
    for (const TReportRule& rule : kRules)
        if (rule.ID == id) return &rule;
    return nullptr;
}

TReportSort RuleSort(const TReportRule& rule, TReportConsumer consumer) {
    const bool fileExport = consumer == TReportConsumer::CSVExport || consumer == TReportConsumer::XMLExport;
    if (rule.ID == kByUserNameID && fileExport) return TReportSort::HitsDescending;
    return rule.Sort;
}

std::int32_t ReportRowLimit(const TProfile& profile, int id) {
    TRecReportProperty rec;
    return profile.Reports.Find(id, rec, true) ? rec.NbItemsList : 0;
}

std::vector<std::string> ReportColumnCaptions(const TReportRule& rule, const TReportTxt* lang) {
    const TRecColumnTxt& texts = (lang ? *lang : BuiltInReportTxt()).Column;
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < rule.ColumnCount; ++i) captions.push_back(texts.*rule.Captions[i]);
    return captions;
}

TReportSet GetEnabledReportsWithDefaults(const TProfile& profile) {
    TReportSet set;
    for (const TRecReportProperty& row : DefaultReportTable()) {
        TRecReportProperty rec;
        if (profile.Reports.Find(row.ID, rec, true) && rec.Enable != 0) set.Include(row.ID);
    }
    return set;
}

bool ForEachReportRow(TReportSource& source, int id, const TReportTxt* lang, const DisplayFormat& format,
                      TReportConsumer consumer, const TReportRowVisitor& visit) {
    const TReportRule* rule = FindReportRule(id);
    if (!rule) return false;
    const TStatistics& stats = source.Stats;
    const std::int64_t limit = rule->Limited ? ReportRowLimit(source.Profile, id) : 0;
    std::int64_t accepted = 0;
    const auto offer = [&](const TRecStat& row, int index) {
        if (IsSkipped(*rule, row)) return true;
        if (rule->Limited && accepted >= limit) return false;
        ++accepted;
        std::vector<std::string> cells = stats.GetRowTexts(row, index, rule->ValueCodes(), lang, format);
        visit(row, index, cells);
        return true;
    };
    WalkTable(source.Stats, *rule, consumer, offer);
    return true;
}

std::vector<std::vector<std::string>> ReadReportRows(TReportSource& source, int id, const TReportTxt* lang,
                                                     const DisplayFormat& format, TReportConsumer consumer) {
    std::vector<std::vector<std::string>> rows;
    ForEachReportRow(source, id, lang, format, consumer,
                     [&](const TRecStat&, int, std::vector<std::string>& cells) { rows.push_back(std::move(cells)); });
    return rows;
}

std::int64_t LogSpanDays(TSeconds firstHit, TSeconds lastHit) {
    if (firstHit == 0 || lastHit == 0) return 0;
    return (lastHit - firstHit) / kSecondsPerDay + 1;
}

std::vector<TGeneralItem> GeneralReportItems(const TReportSource& source, const TReportTxt* lang,
                                             const DisplayFormat& format) {
    const TReportTxt& texts = lang ? *lang : BuiltInReportTxt();
    const TRecRowTxt& row = texts.Row;
    const TStatistics& stats = source.Stats;
    const TRecStat& sum = stats.Summary;
    const std::int64_t days = LogSpanDays(stats.FirstHitTime, stats.LastHitTime);
    const TFileKindHits kinds = CountHitsByKind(stats.StatByAllFiles, source.Options.Files);

    const auto timeText = [&](TSeconds t) { return t == 0 ? std::string("-") : FormatDateTimeText(t, format); };
    const auto countAndPercent = [&](std::int64_t count) {
        return SafeFormat("%d (%s)", {count, FormatPercent(count, sum.Hits, format)});
    };
    const auto sizePer = [&](std::int64_t divisor) {
        return FormatSize(RoundHalfEven(Ratio(sum.Bytes, divisor)), format);
    };
    const auto fixedPer = [&](std::int64_t part, std::int64_t divisor) {
        return FormatFixed(Ratio(part, divisor), 2, format);
    };

    using G = TGeneralCategory;
    std::vector<TGeneralItem> items;
    items.reserve(22);
    const auto heading = [&](G category, std::string_view key, const std::string& caption) {
        items.push_back({category, true, key, caption, {}});
    };
    const auto item = [&](G category, std::string_view key, const std::string& caption, std::string value) {
        items.push_back({category, false, key, caption, std::move(value)});
    };

    heading(G::Time, "Item100", row.Item100);
    item(G::Time, "Item101", row.Item101, FormatDateTimeText(source.AnalysisTime, format));
    item(G::Time, "Item102", row.Item102, days < 1 ? std::string("-") : SafeFormat(row.Value102, {days}));
    item(G::Time, "Item103", row.Item103, timeText(stats.FirstHitTime));
    item(G::Time, "Item104", row.Item104, timeText(stats.LastHitTime));
    heading(G::Access, "Item200", row.Item200);
    item(G::Access, "Item201", row.Item201, std::to_string(sum.Hits));
    item(G::Access, "Item202", row.Item202, std::to_string(sum.Visits));
    item(G::Access, "Item203", row.Item203, FormatSize(sum.Bytes, format));
    item(G::Access, "Item204", row.Item204, std::to_string(kinds.Pages));
    item(G::Access, "Item205", row.Item205, std::to_string(kinds.Others));
    item(G::Access, "Item206", row.Item206, std::to_string(kinds.Images));
    item(G::Access, "Item207", row.Item207, countAndPercent(sum.NotModified));
    item(G::Access, "Item208", row.Item208, countAndPercent(sum.Partial));
    item(G::Access, "Item209", row.Item209, countAndPercent(sum.Errors));
    heading(G::Average, "Item300", row.Item300);
    item(G::Average, "Item301", row.Item301, sizePer(days));
    item(G::Average, "Item302", row.Item302, sizePer(sum.Hits));
    item(G::Average, "Item303", row.Item303, sizePer(sum.Visits));
    item(G::Average, "Item304", row.Item304, fixedPer(sum.Hits, days));
    item(G::Average, "Item305", row.Item305, fixedPer(sum.Hits, sum.Visits));
    item(G::Average, "Item306", row.Item306, fixedPer(sum.Visits, days));
    return items;
}

}  // namespace brindle

#include "engine/StatFormat_u.h"

#include <cstdint>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/ReportTxt_u.h"
#include "engine/Statistics_u.h"

namespace brindle {

namespace {

std::string OrText(std::string_view text, const std::string& fallback) {
    return text.empty() ? fallback : std::string(text);
}

// Text of a 1-based index into a language table, "" outside it.
template <typename Table>
std::string IndexedText(const Table& table, int index) {
    if (index < 1 || index > static_cast<int>(table.size())) return {};
    return table[static_cast<std::size_t>(index - 1)].Text;
}

const TReportTxt& LanguageOrBuiltIn(const TReportTxt* lang) { return lang ? *lang : BuiltInReportTxt(); }

bool HasRow(const TLstStat& list, const auto& accept) {
    for (const TRecStat& row : list)
        if (accept(row)) return true;
    return false;
}

bool HasKind(const TLstStat& list, std::uint8_t kind) {
    return HasRow(list, [kind](const TRecStat& row) { return row.Kind == kind; });
}

std::string HourRange(int index) { return FormatInt(index, 2) + ":00-" + FormatInt(index + 1, 2) + ":00"; }

}  // namespace

std::string FormatStatDuration(TSeconds seconds) {
    std::string text;
    if (seconds < 0) text += '-';
    const std::uint64_t magnitude =
        seconds < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
    const std::uint64_t hours = magnitude / 3600;
    const std::uint64_t minutes = magnitude / 60 % 60;
    const std::uint64_t secs = magnitude % 60;
    const auto two = [](std::uint64_t value) { return FormatInt(static_cast<std::int64_t>(value), 2); };
    if (magnitude >= 3600) return text + std::to_string(hours) + ":" + two(minutes) + ":" + two(secs);
    if (magnitude < 600) return text + std::to_string(minutes) + ":" + two(secs);
    return text + two(minutes) + ":" + two(secs);
}

TTabPieces SplitTabPieces(std::string_view name) {
    const std::size_t tab = name.find('\t');
    if (tab == std::string_view::npos) return {name, {}};
    return {name.substr(0, tab), name.substr(tab + 1)};
}

std::string TStatistics::FormatStatValue(const TRecStat& Row, int Index, std::uint8_t Code, const TReportTxt* Lang,
                                         const DisplayFormat& Format) const {
    switch (Code) {
        case 1: return FormatMonthYear(Lang, Row.Key);
        case 2: return FormatDateText(Row.Key, Format);
        case 3: return HourRange(Index);
        case 4: return IndexedText(LanguageOrBuiltIn(Lang).LongDayNames, Index);
        case 5: return std::to_string(Index);
        case 6: return FormatDateTimeText(Row.Key, Format);
        case 7: return std::to_string(Row.Hits);
        case 8: return FormatPercent(Row.Hits, Summary.Hits, Format);
        case 9: return std::to_string(Row.Visits);
        case 10: return FormatPercent(Row.Visits, Summary.Visits, Format);
        case 11: return FormatSize(Row.Bytes, Format);
        case 12: return FormatPercent(Row.Bytes, Summary.Bytes, Format);
        case 13: return std::to_string(Row.Pages);
        case 14: return FormatStatDuration(Row.Duration);
        case 15: return FormatStatDuration(Row.Visits == 0 ? 0 : Row.Duration / Row.Visits);
        case 16: return std::to_string(Row.NotModified);
        case 17: return std::to_string(Row.Partial);
        case 18: return std::to_string(Row.Errors);
        case 19: return std::to_string(Row.Code);
        case 20: return GetStatusCodeName(Row.Code, Lang);
        case 21: return IndexedText(LanguageOrBuiltIn(Lang).NbVisits, Index);
        case 22: return IndexedText(LanguageOrBuiltIn(Lang).LenVisits, Index);
        case 23: return Row.Name.Str();
        case 24: return OrText(FormatCountry(Row.Name, Lang), GetTextDomainUnresolved(Lang));
        case 25: return OrText(Row.Name, GetTextBrowserUnknown(Lang));
        case 26: return OrText(Row.Name, GetTextOSUnknown(Lang));
        case 27: return OrText(Row.Name, GetTextReferrerNoneDirect(Lang));
        case 28: return OrText(Row.Name, GetTextReferrerNone(Lang));
        case 29:
        case 31: return std::string(SplitTabPieces(Row.Name).First);
        case 30: return std::string(SplitTabPieces(Row.Name).Second);
        case 32: return OrText(std::string(SplitTabPieces(Row.Name).Second), GetTextReferrerNone(Lang));
        case 33: return GetFileTypeGroupName(Row.Kind, Lang);
        case 34: return OrText(GetCountryName(Row.Country, Lang), GetTextCountryUnknown(Lang));
        case 35: return OrText(GetCountryNameByTLD(Row.Name, Lang), GetTextCountryUnknown(Lang));
        case 36: return GetRegionName(Row.Name, Lang);
        default: return {};
    }
}

std::vector<std::string> TStatistics::GetRowTexts(const TRecStat& Row, int Index, std::span<const std::uint8_t> Codes,
                                                  const TReportTxt* Lang, const DisplayFormat& Format) const {
    std::vector<std::string> texts;
    texts.reserve(Codes.size());
    for (const std::uint8_t code : Codes) texts.push_back(FormatStatValue(Row, Index, code, Lang, Format));
    return texts;
}

bool TStatistics::IsReportEmpty(std::uint8_t ReportId) const {
    const TLstStat* list = nullptr;
    switch (ReportId) {
        case 21: list = &StatByMon; break;
        case 22: list = &StatByDay; break;
        case 31: list = &StatByTld; break;
        case 32: list = &StatByDomain; break;
        case 33: list = &StatByBrowser; break;
        case 34: list = &StatByOS; break;
        case 35: return !HasRow(StatBySpider, [](const TRecStat& row) { return !row.Name.empty(); });
        case 36:
        case 37: list = &StatByHost; break;
        case 39: list = &StatByUserName; break;
        case 41: list = &StatByAllFiles; break;
        case 42: return !HasKind(StatByAllFiles, fkPage);
        case 43: return !HasKind(StatByAllFiles, fkDownload);
        case 44: return !HasKind(StatByAllFiles, fkImage);
        case 45: return !HasKind(StatByAllFiles, fkAudio);
        case 46: return !HasKind(StatByAllFiles, fkVideo);
        case 47: list = &StatByFileExt; break;
        case 48: list = &StatByTopIn; break;
        case 49: list = &StatByTopOut; break;
        case 51: list = &StatByRefDomain; break;
        case 52: list = &StatByRefPage; break;
        case 53: list = &StatByRefSE; break;
        case 54: list = &StatByRefSEP; break;
        case 55: list = &StatByRefSEK; break;
        case 56: list = &StatByRefSESEP; break;
        case 57: list = &StatByRefSESEK; break;
        case 61: return !HasRow(StatByErr, [](const TRecStat& row) { return row.Code == 404; });
        case 62: return !HasRow(StatByErr, [](const TRecStat& row) { return row.Code != 404; });
        case 63: return !HasRow(StatByStatus, [](const TRecStat& row) { return row.Code >= 400 && row.Code <= 599; });
        case 132: list = &StatByCountry; break;
        case 133: list = &StatByRegion; break;
        case 134: list = &StatByUSState; break;
        case 135: list = &StatByCAProv; break;
        case 136: list = &StatByCNProv; break;
        case 137: list = &StatByCity; break;
        case 141: list = &StatByFileDir; break;
        case 142: list = &StatByFileType; break;
        default: return false;
    }
    return list->Empty();
}

}  // namespace brindle

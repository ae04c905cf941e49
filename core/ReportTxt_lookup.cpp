#include "core/ReportTxt_u.h"

namespace brindle {
namespace {

const TReportTxt& LanguageOrEnglish(const TReportTxt* language) { return language ? *language : BuiltInReportTxt(); }

const TRecCountry* FindCountryByTLD(const TCountries& countries, std::string_view tld) {
    for (const auto& row : countries)
        if (row.TLD == tld) return &row;
    return nullptr;
}

}  // namespace

const TReportTxt& BuiltInReportTxt() {
    static const TReportTxt english = [] {
        TReportTxt language;
        language.LoadDefaults();
        return language;
    }();
    return english;
}

bool GetReportEntry(int id, bool isGroup, const TReportTxt* language, TRecSectionProperty& entry) {
    for (const auto& row : LanguageOrEnglish(language).Sections) {
        if (row.ID == id && row.IsGroupRow() == isGroup) {
            entry = row;
            return true;
        }
    }
    return false;
}

std::string GetTextCountryUnknown(const TReportTxt* language) {
    return LanguageOrEnglish(language).Misc.CountryUnknown;
}
std::string GetTextDomainUnresolved(const TReportTxt* language) {
    return LanguageOrEnglish(language).Misc.DomainUnresolved;
}
std::string GetTextReferrerNone(const TReportTxt* language) { return LanguageOrEnglish(language).Misc.ReferrerNone; }
std::string GetTextReferrerNoneDirect(const TReportTxt* language) {
    return LanguageOrEnglish(language).Misc.ReferrerNoneDirect;
}
std::string GetTextBrowserUnknown(const TReportTxt* language) {
    return LanguageOrEnglish(language).Misc.BrowserUnknown;
}
std::string GetTextOSUnknown(const TReportTxt* language) { return LanguageOrEnglish(language).Misc.OSUnknown; }

std::string GetCountryName(int index, const TReportTxt* language) {
    if (index < 1 || index > kCountryCount) return {};
    return LanguageOrEnglish(language).Countries[static_cast<std::size_t>(index - 1)].Name;
}

std::string GetCountryNameByTLD(std::string_view tld, const TReportTxt* language) {
    const TRecCountry* row = FindCountryByTLD(LanguageOrEnglish(language).Countries, tld);
    return row ? row->Name : std::string();
}

std::string GetTLDByCountryName(std::string_view name, const TReportTxt* language) {
    for (const auto& row : LanguageOrEnglish(language).Countries)
        if (row.Name == name) return row.TLD;
    return {};
}

std::string FormatCountry(std::string_view tld, const TReportTxt* language) {
    const TRecCountry* row = FindCountryByTLD(LanguageOrEnglish(language).Countries, tld);
    return row ? row->Name + " (." + row->TLD + ")" : std::string();
}

std::string GetRegionKeyByName(std::string_view name, const TReportTxt* language) {
    for (const auto& row : LanguageOrEnglish(language).Regions)
        if (row.Name == name) return row.Key;
    return "None";
}

std::string GetRegionName(std::string_view regionKey, const TReportTxt* language) {
    for (const auto& row : LanguageOrEnglish(language).Regions)
        if (row.Key == regionKey) return row.Name;
    return {};
}

std::string GetStatusCodeName(int code, const TReportTxt* language) {
    for (const auto& row : LanguageOrEnglish(language).StatusCodes)
        if (row.Code == code) return row.Text;
    return {};
}

std::string GetFileTypeGroupName(int kind, const TReportTxt* language) {
    for (const auto& row : LanguageOrEnglish(language).FileTypes)
        if (row.Code == kind) return row.Name;
    return {};
}

std::string FormatMonthYear(const TReportTxt* language, TSeconds date) {
    const TDateParts parts = DecodeDateTime(date);
    const std::string month = language ? language->LongMonthNames[static_cast<std::size_t>(parts.Month - 1)].Text
                                       : std::string(kLongMonthNames[static_cast<std::size_t>(parts.Month - 1)]);
    return month + " " + std::to_string(parts.Year);
}

}  // namespace brindle

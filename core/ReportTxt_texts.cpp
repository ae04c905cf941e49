#include "core/ReportTxt_u.h"

#include <cstddef>
#include <iterator>

namespace brindle {
namespace {

template <class T>
struct TTextField {
    const char* Key;
    std::string T::*Member;
    const char* English;
};

constexpr TTextField<TRecInfoTxt> kInfoFields[] = {
    {"LanguageName", &TRecInfoTxt::LanguageName, "English"},
    {"LanguageID", &TRecInfoTxt::LanguageID, "en"},
    {"Author", &TRecInfoTxt::Author, "Corvane"},
    {"Version", &TRecInfoTxt::Version, "1.0"},
    {"Charset", &TRecInfoTxt::Charset, "iso-8859-1"},
};

constexpr TTextField<TRecMiscTxt> kMiscFields[] = {
    {"CountryUnknown", &TRecMiscTxt::CountryUnknown, "Unknown"},
    {"DomainUnresolved", &TRecMiscTxt::DomainUnresolved, "Unresolved/Unknown"},
    {"ReferrerNone", &TRecMiscTxt::ReferrerNone, "No Referrer"},
    {"ReferrerNoneDirect", &TRecMiscTxt::ReferrerNoneDirect, "No Referrer (Direct Request)"},
    {"BrowserUnknown", &TRecMiscTxt::BrowserUnknown, "Unknown"},
    {"OSUnknown", &TRecMiscTxt::OSUnknown, "Unknown"},
};

constexpr TTextField<TRecColumnTxt> kColumnFields[] = {
    {"Hits", &TRecColumnTxt::Hits, "Hits"},
    {"HitsPercent", &TRecColumnTxt::HitsPercent, "Hits %"},
    {"Visits", &TRecColumnTxt::Visits, "Visits"},
    {"VisitsPercent", &TRecColumnTxt::VisitsPercent, "Visits %"},
    {"Visitors", &TRecColumnTxt::Visitors, "Visitors"},
    {"VisitorsPercent", &TRecColumnTxt::VisitorsPercent, "Visitors %"},
    {"Bandwidth", &TRecColumnTxt::Bandwidth, "Bandwidth"},
    {"BandwidthPercent", &TRecColumnTxt::BandwidthPercent, "Bandwidth %"},
    {"Pages", &TRecColumnTxt::Pages, "Pages"},
    {"Errors", &TRecColumnTxt::Errors, "Errors"},
    {"Incomplete", &TRecColumnTxt::Incomplete, "Incomplete"},
    {"AvgVisitLen", &TRecColumnTxt::AvgVisitLen, "Average Visit Length"},
    {"AvgVisitLenShort", &TRecColumnTxt::AvgVisitLenShort, "Avg Visit Len"},
    {"Country", &TRecColumnTxt::Country, "Country"},
    {"Pageview", &TRecColumnTxt::Pageview, "Pageview"},
    {"Searches", &TRecColumnTxt::Searches, "Searches"},
    {"Month", &TRecColumnTxt::Month, "Month"},
    {"Date", &TRecColumnTxt::Date, "Date"},
    {"Hour", &TRecColumnTxt::Hour, "Hour"},
    {"Day", &TRecColumnTxt::Day, "Day"},
    {"Host", &TRecColumnTxt::Host, "Host"},
    {"TimeLastAccess", &TRecColumnTxt::TimeLastAccess, "Time of Last Access"},
    {"TimeLastAccessShort", &TRecColumnTxt::TimeLastAccessShort, "Time of Last Access"},
    {"Domain", &TRecColumnTxt::Domain, "Domain"},
    {"TLD", &TRecColumnTxt::TLD, "Top-Level Domain"},
    {"Region", &TRecColumnTxt::Region, "Region"},
    {"State", &TRecColumnTxt::State, "State"},
    {"Province", &TRecColumnTxt::Province, "Province"},
    {"City", &TRecColumnTxt::City, "City"},
    {"Browser", &TRecColumnTxt::Browser, "Browser"},
    {"OS", &TRecColumnTxt::OS, "Operating System"},
    {"Spider", &TRecColumnTxt::Spider, "Spider"},
    {"Duration", &TRecColumnTxt::Duration, "Duration"},
    {"UserName", &TRecColumnTxt::UserName, "User Name"},
    {"URL", &TRecColumnTxt::URL, "URL"},
    {"Page", &TRecColumnTxt::Page, "Page"},
    {"FileName", &TRecColumnTxt::FileName, "File Name"},
    {"Image", &TRecColumnTxt::Image, "Image"},
    {"Audio", &TRecColumnTxt::Audio, "Audio"},
    {"Video", &TRecColumnTxt::Video, "Video"},
    {"Directory", &TRecColumnTxt::Directory, "Directory"},
    {"FileType", &TRecColumnTxt::FileType, "File Type"},
    {"FileExt", &TRecColumnTxt::FileExt, "File Extension"},
    {"Entries", &TRecColumnTxt::Entries, "Entries"},
    {"Exits", &TRecColumnTxt::Exits, "Exits"},
    {"RefDomain", &TRecColumnTxt::RefDomain, "Referring Domain"},
    {"RefPage", &TRecColumnTxt::RefPage, "Referring Page"},
    {"SE", &TRecColumnTxt::SE, "Search Engine"},
    {"Phrase", &TRecColumnTxt::Phrase, "Phrase"},
    {"Keyword", &TRecColumnTxt::Keyword, "Keyword"},
    {"ErrorCode", &TRecColumnTxt::ErrorCode, "Code"},
    {"ErrorDescr", &TRecColumnTxt::ErrorDescr, "Description"},
    {"ErrorReqURL", &TRecColumnTxt::ErrorReqURL, "Requested URL"},
    {"ErrorReferrer", &TRecColumnTxt::ErrorReferrer, "Referrer"},
    {"Category", &TRecColumnTxt::Category, "Category"},
    {"Item", &TRecColumnTxt::Item, "Item"},
    {"Value", &TRecColumnTxt::Value, "Value"},
};

constexpr TTextField<TRecRowTxt> kRowFields[] = {
    {"Item100", &TRecRowTxt::Item100, "Time"},
    {"Item101", &TRecRowTxt::Item101, "Report generated on"},
    {"Item102", &TRecRowTxt::Item102, "Log span a period of"},
    {"Value102", &TRecRowTxt::Value102, "%d day(s)"},
    {"Item103", &TRecRowTxt::Item103, "First hit"},
    {"Item104", &TRecRowTxt::Item104, "Last hit"},
    {"Item200", &TRecRowTxt::Item200, "Access"},
    {"Item201", &TRecRowTxt::Item201, "Total hits"},
    {"Item202", &TRecRowTxt::Item202, "Total visiting users"},
    {"Item203", &TRecRowTxt::Item203, "Total bandwidth"},
    {"Item204", &TRecRowTxt::Item204, "Hits on pages"},
    {"Item205", &TRecRowTxt::Item205, "Hits on files"},
    {"Item206", &TRecRowTxt::Item206, "Hits on images"},
    {"Item207", &TRecRowTxt::Item207, "Hits cached by client"},
    {"Item208", &TRecRowTxt::Item208, "Incomplete downloads"},
    {"Item209", &TRecRowTxt::Item209, "Failed requests"},
    {"Item300", &TRecRowTxt::Item300, "Average"},
    {"Item301", &TRecRowTxt::Item301, "Data Transfer per Day"},
    {"Item302", &TRecRowTxt::Item302, "Data Transfer per Hit"},
    {"Item303", &TRecRowTxt::Item303, "Data Transfer per User"},
    {"Item304", &TRecRowTxt::Item304, "Hits per Day"},
    {"Item305", &TRecRowTxt::Item305, "Hits per User"},
    {"Item306", &TRecRowTxt::Item306, "Users per Day"},
};

constexpr TTextField<TRecChartTxt> kChartFields[] = {
    {"ByMonTitle", &TRecChartTxt::ByMonTitle, "Monthly Access"},
    {"ByDayTitle", &TRecChartTxt::ByDayTitle, "Daily Access"},
    {"ByHodTitle", &TRecChartTxt::ByHodTitle, "Hour of day"},
    {"ByDowTitle", &TRecChartTxt::ByDowTitle, "Day of week"},
    {"ByDomTitle", &TRecChartTxt::ByDomTitle, "Day of month"},
    {"ByDomainTitle", &TRecChartTxt::ByDomainTitle, "Domains"},
    {"ByTldTitle", &TRecChartTxt::ByTldTitle, "Top-Level Domains"},
    {"ByTldDailyTitle", &TRecChartTxt::ByTldDailyTitle, "Daily Top-Level Domains Activity"},
    {"ByCountryTitle", &TRecChartTxt::ByCountryTitle, "Countries"},
    {"ByCountryDailyTitle", &TRecChartTxt::ByCountryDailyTitle, "Daily Countries Activity"},
    {"ByRegionTitle", &TRecChartTxt::ByRegionTitle, "Regions"},
    {"ByRegionDailyTitle", &TRecChartTxt::ByRegionDailyTitle, "Daily Regions Activity"},
    {"ByUSStateTitle", &TRecChartTxt::ByUSStateTitle, "US States"},
    {"ByCAProvTitle", &TRecChartTxt::ByCAProvTitle, "Cananda Provinces"},
    {"ByCNProvTitle", &TRecChartTxt::ByCNProvTitle, "China Provinces"},
    {"ByCityTitle", &TRecChartTxt::ByCityTitle, "Cities"},
    {"ByBrowserTitle", &TRecChartTxt::ByBrowserTitle, "Browsers"},
    {"ByBrowserDailyTitle", &TRecChartTxt::ByBrowserDailyTitle, "Daily Used Browsers"},
    {"ByOSTitle", &TRecChartTxt::ByOSTitle, "Operating Systems"},
    {"ByOSDailyTitle", &TRecChartTxt::ByOSDailyTitle, "Daily Used Operating Systems"},
    {"BySpiderTitle", &TRecChartTxt::BySpiderTitle, "Spiders"},
    {"BySpiderDailyTitle", &TRecChartTxt::BySpiderDailyTitle, "Daily Spiders Activity"},
    {"ByNbVisitTitle", &TRecChartTxt::ByNbVisitTitle, "Number of Visits"},
    {"ByLenVisitTitle", &TRecChartTxt::ByLenVisitTitle, "Length of Visits"},
    {"ByUserNameTitle", &TRecChartTxt::ByUserNameTitle, "Authenticated Users"},
    {"ByUserNameDailyTitle", &TRecChartTxt::ByUserNameDailyTitle, "Daily Authenticated Users Access"},
    {"ByAllFilesTitle", &TRecChartTxt::ByAllFilesTitle, "Most Requested URL"},
    {"ByAllFilesDailyTitle", &TRecChartTxt::ByAllFilesDailyTitle, "Daily URL Access"},
    {"ByFileDocTitle", &TRecChartTxt::ByFileDocTitle, "Most Requested Pages"},
    {"ByFileDocDailyTitle", &TRecChartTxt::ByFileDocDailyTitle, "Daily Page Access"},
    {"ByFileFileTitle", &TRecChartTxt::ByFileFileTitle, "Most Downloaded Files"},
    {"ByFileFileDailyTitle", &TRecChartTxt::ByFileFileDailyTitle, "Daily Downloaded File Access"},
    {"ByFileImgTitle", &TRecChartTxt::ByFileImgTitle, "Most Requested Images"},
    {"ByFileImgDailyTitle", &TRecChartTxt::ByFileImgDailyTitle, "Daily Image Access"},
    {"ByFileAudioTitle", &TRecChartTxt::ByFileAudioTitle, "Most Requested Audio"},
    {"ByFileAudioDailyTitle", &TRecChartTxt::ByFileAudioDailyTitle, "Daily Audio Access"},
    {"ByFileVideoTitle", &TRecChartTxt::ByFileVideoTitle, "Most Requested Video"},
    {"ByFileVideoDailyTitle", &TRecChartTxt::ByFileVideoDailyTitle, "Daily Video Access"},
    {"ByFileDirTitle", &TRecChartTxt::ByFileDirTitle, "Most Requested Directories"},
    {"ByFileDirDailyTitle", &TRecChartTxt::ByFileDirDailyTitle, "Daily Directory Access"},
    {"ByFileTypeTitle", &TRecChartTxt::ByFileTypeTitle, "Most Requested File Types"},
    {"ByFileTypeDailyTitle", &TRecChartTxt::ByFileTypeDailyTitle, "Daily File Type Access"},
    {"ByFileExtTitle", &TRecChartTxt::ByFileExtTitle, "Most Requested File Extensions"},
    {"ByFileExtDailyTitle", &TRecChartTxt::ByFileExtDailyTitle, "Daily File Extension Access"},
    {"ByTopInTitle", &TRecChartTxt::ByTopInTitle, "Top Entry Pages"},
    {"ByTopInDailyTitle", &TRecChartTxt::ByTopInDailyTitle, "Daily Entry Pages"},
    {"ByTopOutTitle", &TRecChartTxt::ByTopOutTitle, "Top Exit Pages"},
    {"ByTopOutDailyTitle", &TRecChartTxt::ByTopOutDailyTitle, "Daily Exit Pages"},
    {"ByRefDomainTitle", &TRecChartTxt::ByRefDomainTitle, "Referring Domains"},
    {"ByRefDomainDailyTitle", &TRecChartTxt::ByRefDomainDailyTitle, "Daily Referring Domains"},
    {"ByRefPageTitle", &TRecChartTxt::ByRefPageTitle, "Referring Pages"},
    {"ByRefPageDailyTitle", &TRecChartTxt::ByRefPageDailyTitle, "Daily Referring Pages"},
    {"ByRefSETitle", &TRecChartTxt::ByRefSETitle, "Search Engines"},
    {"ByRefSEDailyTitle", &TRecChartTxt::ByRefSEDailyTitle, "Daily Search Engines"},
    {"ByRefSEPTitle", &TRecChartTxt::ByRefSEPTitle, "Search Phrases"},
    {"ByRefSEPDailyTitle", &TRecChartTxt::ByRefSEPDailyTitle, "Daily Search Phrases"},
    {"ByRefSEKTitle", &TRecChartTxt::ByRefSEKTitle, "Search Keywords"},
    {"ByRefSEKDailyTitle", &TRecChartTxt::ByRefSEKDailyTitle, "Daily Search Keywords"},
    {"ByErrTypeTitle", &TRecChartTxt::ByErrTypeTitle, "Error Types"},
    {"ByErrTypeDailyTitle", &TRecChartTxt::ByErrTypeDailyTitle, "Daily Error Types"},
    {"AxisDate", &TRecChartTxt::AxisDate, "Date"},
    {"AxisDay", &TRecChartTxt::AxisDay, "Day"},
    {"AxisHour", &TRecChartTxt::AxisHour, "Hour"},
    {"AxisHits", &TRecChartTxt::AxisHits, "Hits"},
    {"AxisVisits", &TRecChartTxt::AxisVisits, "Visits"},
    {"AxisVisitors", &TRecChartTxt::AxisVisitors, "Visitors"},
    {"AxisEntries", &TRecChartTxt::AxisEntries, "Entries"},
    {"AxisExits", &TRecChartTxt::AxisExits, "Exits"},
    {"AxisSearches", &TRecChartTxt::AxisSearches, "Searches"},
    {"PieOther", &TRecChartTxt::PieOther, "Other"},
    {"SerieHits", &TRecChartTxt::SerieHits, "Hits"},
    {"SerieVisits", &TRecChartTxt::SerieVisits, "Visits"},
};

constexpr TTextField<TRecExportHTML> kExportHTMLFields[] = {
    {"TreeReports", &TRecExportHTML::TreeReports, "Reports"},
    {"DocTitle", &TRecExportHTML::DocTitle, "Report for %s"},
    {"DocHeaderLine1", &TRecExportHTML::DocHeaderLine1, "Report for %s : %s"},
    {"DocHeaderLine2Left", &TRecExportHTML::DocHeaderLine2Left, "Time Range : %s - %s"},
    {"DocHeaderLine2Right", &TRecExportHTML::DocHeaderLine2Right, "Generated on %s"},
    {"DocFooter", &TRecExportHTML::DocFooter,
     "This report was generated by <a href=\"https://www.brindle-analyzer.org/\" target=\"_blank\">"
     "Brindle Analyzer Version %s</a>"},
};

constexpr TTextField<TRecExportWord> kExportWordFields[] = {
    {"ReportFor", &TRecExportWord::ReportFor, "Report for"},
    {"Prepared", &TRecExportWord::Prepared, "Prepared by"},
    {"TableContents", &TRecExportWord::TableContents, "Table of Contents"},
};

static_assert(std::size(kMiscFields) == 6 && std::size(kColumnFields) == 57 && std::size(kRowFields) == 23 &&
              std::size(kChartFields) == 72 && std::size(kExportHTMLFields) == 6 &&
              std::size(kExportWordFields) == 3);

template <class T, std::size_t N>
void SetEnglish(T& record, const TTextField<T> (&fields)[N]) {
    for (const auto& field : fields) record.*field.Member = field.English;
}

template <class Record, class T, std::size_t N, class Visit>
void VisitFields(std::string_view section, Record& record, const TTextField<T> (&fields)[N], const Visit& visit) {
    for (const auto& field : fields) visit(section, std::string(field.Key), record.*field.Member);
}

template <class Rows, class Visit>
void VisitKeyed(std::string_view section, Rows& rows, const Visit& visit) {
    for (auto& row : rows) visit(section, row.Key, row.Text);
}

// Shared by the const and the mutable visitor.
template <class Language, class Visit>
void VisitAll(Language& language, const Visit& visit) {
    VisitFields("Info", language.Info, kInfoFields, visit);
    VisitFields("Misc", language.Misc, kMiscFields, visit);
    VisitFields("Column", language.Column, kColumnFields, visit);
    VisitFields("Row", language.Row, kRowFields, visit);
    VisitFields("Chart", language.Chart, kChartFields, visit);
    for (auto& row : language.Sections) {
        visit("Section", row.Key + "Title", row.Title);
        visit("Section", row.Key + "Comment", row.Comment);
    }
    VisitKeyed("LongDayNames", language.LongDayNames, visit);
    VisitKeyed("LongMonthNames", language.LongMonthNames, visit);
    VisitKeyed("NbVisits", language.NbVisits, visit);
    VisitKeyed("LenVisits", language.LenVisits, visit);
    for (auto& row : language.FileTypes) visit("FileTypes", row.Key, row.Name);
    VisitFields("ExportHTML", language.ExportHTML, kExportHTMLFields, visit);
    VisitFields("ExportWord", language.ExportWord, kExportWordFields, visit);
    for (auto& row : language.Regions) visit("Regions", row.Key, row.Name);
    for (auto& row : language.Countries) visit("Countries", row.TLD, row.Name);
    for (auto& row : language.StatusCodes) visit("StatusCodes", std::to_string(row.Code), row.Text);
}

}  // namespace

void TReportTxt::LoadDefaults() {
    SetEnglish(Info, kInfoFields);
    SetEnglish(Misc, kMiscFields);
    SetEnglish(Column, kColumnFields);
    SetEnglish(Row, kRowFields);
    SetEnglish(Chart, kChartFields);
    Sections = SectionTable();
    LongDayNames = LongDayNameTable();
    LongMonthNames = LongMonthNameTable();
    NbVisits = NbVisitTable();
    LenVisits = LenVisitTable();
    FileTypes = FileTypeGroupTable();
    SetEnglish(ExportHTML, kExportHTMLFields);
    SetEnglish(ExportWord, kExportWordFields);
    Regions = RegionTable();
    Countries = CountryTable();
    StatusCodes = StatusCodeTable();
}

void ForEachLanguageText(TReportTxt& language, const TLanguageTextVisitor& visit) { VisitAll(language, visit); }

void ForEachLanguageText(const TReportTxt& language, const TConstLanguageTextVisitor& visit) {
    VisitAll(language, visit);
}

}  // namespace brindle

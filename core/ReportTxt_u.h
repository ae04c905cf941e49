#pragma once
// Report languages: every text a report is written with. The built-in English language is
// always item 0 of the list; more languages come from "*.lng" files.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommonConsts_catalogue.h"
#include "core/CommonConsts_tables.h"
#include "core/DateTime_u.h"

namespace brindle {

// Each text field is named after its key in the language file.
struct TRecInfoTxt {
    std::string LanguageName, LanguageID, Author, Version, Charset;
    friend bool operator==(const TRecInfoTxt&, const TRecInfoTxt&) = default;
};

struct TRecMiscTxt {
    std::string CountryUnknown, DomainUnresolved, ReferrerNone;
    std::string ReferrerNoneDirect, BrowserUnknown, OSUnknown;
    friend bool operator==(const TRecMiscTxt&, const TRecMiscTxt&) = default;
};

struct TRecColumnTxt {
    std::string Hits, HitsPercent, Visits, VisitsPercent, Visitors, VisitorsPercent;
    std::string Bandwidth, BandwidthPercent, Pages, Errors, Incomplete, AvgVisitLen;
    std::string AvgVisitLenShort, Country, Pageview, Searches, Month, Date;
    std::string Hour, Day, Host, TimeLastAccess, TimeLastAccessShort, Domain;
    std::string TLD, Region, State, Province, City, Browser;
    std::string OS, Spider, Duration, UserName, URL, Page;
    std::string FileName, Image, Audio, Video, Directory, FileType;
    std::string FileExt, Entries, Exits, RefDomain, RefPage, SE;
    std::string Phrase, Keyword, ErrorCode, ErrorDescr, ErrorReqURL, ErrorReferrer;
    std::string Category, Item, Value;
    friend bool operator==(const TRecColumnTxt&, const TRecColumnTxt&) = default;
};

// Captions of the General report's rows.
struct TRecRowTxt {
    std::string Item100, Item101, Item102, Value102, Item103, Item104;
    std::string Item200, Item201, Item202, Item203, Item204, Item205;
    std::string Item206, Item207, Item208, Item209, Item300, Item301;
    std::string Item302, Item303, Item304, Item305, Item306;
    friend bool operator==(const TRecRowTxt&, const TRecRowTxt&) = default;
};

// Chart titles, then axis, slice and series captions.
struct TRecChartTxt {
    std::string ByMonTitle, ByDayTitle, ByHodTitle, ByDowTitle;
    std::string ByDomTitle, ByDomainTitle, ByTldTitle, ByTldDailyTitle;
    std::string ByCountryTitle, ByCountryDailyTitle, ByRegionTitle, ByRegionDailyTitle;
    std::string ByUSStateTitle, ByCAProvTitle, ByCNProvTitle, ByCityTitle;
    std::string ByBrowserTitle, ByBrowserDailyTitle, ByOSTitle, ByOSDailyTitle;
    std::string BySpiderTitle, BySpiderDailyTitle, ByNbVisitTitle, ByLenVisitTitle;
    std::string ByUserNameTitle, ByUserNameDailyTitle, ByAllFilesTitle, ByAllFilesDailyTitle;
    std::string ByFileDocTitle, ByFileDocDailyTitle, ByFileFileTitle, ByFileFileDailyTitle;
    std::string ByFileImgTitle, ByFileImgDailyTitle, ByFileAudioTitle, ByFileAudioDailyTitle;
    std::string ByFileVideoTitle, ByFileVideoDailyTitle, ByFileDirTitle, ByFileDirDailyTitle;
    std::string ByFileTypeTitle, ByFileTypeDailyTitle, ByFileExtTitle, ByFileExtDailyTitle;
    std::string ByTopInTitle, ByTopInDailyTitle, ByTopOutTitle, ByTopOutDailyTitle;
    std::string ByRefDomainTitle, ByRefDomainDailyTitle, ByRefPageTitle, ByRefPageDailyTitle;
    std::string ByRefSETitle, ByRefSEDailyTitle, ByRefSEPTitle, ByRefSEPDailyTitle;
    std::string ByRefSEKTitle, ByRefSEKDailyTitle, ByErrTypeTitle, ByErrTypeDailyTitle;
    std::string AxisDate, AxisDay, AxisHour, AxisHits;
    std::string AxisVisits, AxisVisitors, AxisEntries, AxisExits;
    std::string AxisSearches, PieOther, SerieHits, SerieVisits;
    friend bool operator==(const TRecChartTxt&, const TRecChartTxt&) = default;
};

struct TRecExportHTML {
    std::string TreeReports, DocTitle, DocHeaderLine1, DocHeaderLine2Left, DocHeaderLine2Right, DocFooter;
    friend bool operator==(const TRecExportHTML&, const TRecExportHTML&) = default;
};

struct TRecExportWord {
    std::string ReportFor, Prepared, TableContents;
    friend bool operator==(const TRecExportWord&, const TRecExportWord&) = default;
};

// One report language. The ids, keys, codes, TLDs and regions of its tables are always
// those of the built-in tables, in their order; a language supplies only the texts.
struct TReportTxt {
    TRecInfoTxt Info;
    TRecMiscTxt Misc;
    TRecColumnTxt Column;
    TRecRowTxt Row;
    TRecChartTxt Chart;
    TSectionProperties Sections;
    TLongDayNames LongDayNames;
    TLongMonthNames LongMonthNames;
    TNbVisits NbVisits;
    TLenVisits LenVisits;
    TFileTypeGroups FileTypes;
    TRecExportHTML ExportHTML;
    TRecExportWord ExportWord;
    TRegions Regions;
    TCountries Countries;
    TStatusCodes StatusCodes;

    // The built-in English language.
    void LoadDefaults();
    // Reads a language file, decoding its texts to UTF-8 from its [Info] Charset. False, and
    // this language unchanged, when the file cannot be read or its LanguageName or LanguageID
    // is empty or that of the built-in language ("English", "en"). A missing key gives an
    // empty text.
    bool LoadFromFile(const std::string& fileName);

    friend bool operator==(const TReportTxt&, const TReportTxt&) = default;
};

// Every text of a language with its section and key in a language file, in file order.
using TLanguageTextVisitor = std::function<void(std::string_view section, const std::string& key, std::string& text)>;
using TConstLanguageTextVisitor =
    std::function<void(std::string_view section, const std::string& key, const std::string& text)>;
void ForEachLanguageText(TReportTxt& language, const TLanguageTextVisitor& visit);
void ForEachLanguageText(const TReportTxt& language, const TConstLanguageTextVisitor& visit);

// All languages known to the program; owns them.
class TLstReportTxt {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0..Count()-1.
    const TReportTxt* GetItem(int index) const;
    void Add(std::unique_ptr<TReportTxt> language);
    void Clear() { items_.clear(); }

    // The built-in English language as item 0, then every accepted "*.lng" file of the
    // folder in name order. A missing folder leaves only the built-in language.
    void LoadFolder(const std::string& folder);

    // The first language whose LanguageID / LanguageName equals the text exactly.
    const TReportTxt* FindByID(std::string_view id) const;
    const TReportTxt* FindByName(std::string_view name) const;

private:
    std::vector<std::unique_ptr<TReportTxt>> items_;
};

// The built-in English language, built once.
const TReportTxt& BuiltInReportTxt();

// In every lookup below a null language means the built-in English texts.

// The section row of a report (IsGroup false) or group with the language's title and comment.
bool GetReportEntry(int id, bool isGroup, const TReportTxt* language, TRecSectionProperty& entry);

// The [Misc] texts for unknown or missing values.
std::string GetTextCountryUnknown(const TReportTxt* language);
std::string GetTextDomainUnresolved(const TReportTxt* language);
std::string GetTextReferrerNone(const TReportTxt* language);
std::string GetTextReferrerNoneDirect(const TReportTxt* language);
std::string GetTextBrowserUnknown(const TReportTxt* language);
std::string GetTextOSUnknown(const TReportTxt* language);

// Name of country row 1..266; empty outside.
std::string GetCountryName(int index, const TReportTxt* language);
std::string GetCountryNameByTLD(std::string_view tld, const TReportTxt* language);
std::string GetTLDByCountryName(std::string_view name, const TReportTxt* language);
// "Germany (.de)"; empty for a TLD that is not in the table.
std::string FormatCountry(std::string_view tld, const TReportTxt* language);
// "None" when no region has that display name.
std::string GetRegionKeyByName(std::string_view name, const TReportTxt* language);
std::string GetRegionName(std::string_view regionKey, const TReportTxt* language);
std::string GetStatusCodeName(int code, const TReportTxt* language);
// Group name of file kind 0..5; empty outside.
std::string GetFileTypeGroupName(int kind, const TReportTxt* language);

// "January 2007": the month's long name in the language and the year.
std::string FormatMonthYear(const TReportTxt* language, TSeconds date);

}  // namespace brindle

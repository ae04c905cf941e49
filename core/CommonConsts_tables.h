#pragma once
// Built-in reference tables: geography, HTTP status texts, the code tables of the editors,
// file kinds, visit bands, tips and the HTML export's support files. English texts here are
// those of the built-in report language; lookups that take a language are in
// core/ReportTxt_u.h. Every lookup takes the first matching row; comparisons are exact.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brindle {

// ---- Regions and countries -------------------------------------------------------------

enum TRegionCode : std::uint8_t {
    rgNone = 0,
    rgAsia = 1,
    rgEurope = 2,
    rgMiddleEast = 3,
    rgNorthAmerica = 4,
    rgSouthAmerica = 5,
    rgAfrica = 6,
    rgOceania = 7,
};

struct TRecRegion {
    std::uint8_t Code = 0;
    std::string Key;  // key of the [Regions] section of a language file
    std::string Name;  // display name
    friend bool operator==(const TRecRegion&, const TRecRegion&) = default;
};

struct TRecCountry {
    std::string TLD;  // lower case, no dot; key of the [Countries] section
    std::string GeoIP;  // code the GeoIP database returns; empty when there is none
    std::string Name;
    std::uint8_t Region = rgNone;
    friend bool operator==(const TRecCountry&, const TRecCountry&) = default;
};

struct TRecProvince {
    std::string Code;
    std::string Name;
};

constexpr int kRegionCount = 8;
// Country indices (1-based rows) are stored in documents: the row order never changes.
constexpr int kCountryCount = 266;
using TRegions = std::array<TRecRegion, kRegionCount>;
using TCountries = std::array<TRecCountry, kCountryCount>;

const TRegions& RegionTable();
const TCountries& CountryTable();
const std::array<TRecProvince, 62>& USStateTable();
const std::array<TRecProvince, 13>& CAProvinceTable();
const std::array<TRecProvince, 30>& CNProvinceTable();

std::string GetUSStateName(std::string_view code);
std::string GetCAProvinceName(std::string_view code);
std::string GetCNProvinceName(std::string_view code);

// The row of the country a TLD belongs to, through its GeoIP code ("uk" gives the "gb" row);
// 0 when the TLD is unknown or has no GeoIP code that names a row.
int GetCountryIndex(std::string_view tld);
// The TLD of row 1..266; empty outside.
std::string GetCountryTLD(int index);
// "None" for an unknown region code.
std::string GetRegionKey(int regionCode);
// The region key of row 1..266; "None" outside.
std::string GetCountryRegionKey(int index);

// ---- HTTP status texts -----------------------------------------------------------------

struct TRecStatusCode {
    std::int32_t Code = 0;  // its decimal form is the key of the [StatusCodes] section
    std::string Text;
    friend bool operator==(const TRecStatusCode&, const TRecStatusCode&) = default;
};

constexpr int kStatusCodeCount = 41;
using TStatusCodes = std::array<TRecStatusCode, kStatusCodeCount>;
const TStatusCodes& StatusCodeTable();

// ---- File kinds ------------------------------------------------------------------------

// The kind byte kept per file extension and per hit.
enum TFileKind : std::uint8_t {
    fkNone = 0,
    fkAudio = 1,
    fkPage = 2,
    fkDownload = 3,
    fkImage = 4,
    fkVideo = 5,
};
constexpr int kFileKindCount = 6;  // 0..5

// A code and the name an editor lists for it; the editors store codes and show names.
struct TRecCodeName {
    std::uint8_t Code = 0;
    std::string Name;
};

// Names the options editor shows for kinds 1..5.
using TRecFileTypeProperty = TRecCodeName;

// Report group of a kind 0..5; the key is that of the [FileTypes] section.
struct TRecFileTypeRProperty {
    std::uint8_t Code = 0;
    std::string Key;
    std::string Name;
    friend bool operator==(const TRecFileTypeRProperty&, const TRecFileTypeRProperty&) = default;
};
using TFileTypeGroups = std::array<TRecFileTypeRProperty, kFileKindCount>;

const std::array<TRecFileTypeProperty, 5>& FileTypeTable();
const TFileTypeGroups& FileTypeGroupTable();

// 0 for an unknown name; empty for an unknown code (kind 0 included).
int GetFileTypeCode(std::string_view name);
std::string GetFileTypeName(int code);

// ---- Code tables of the editors --------------------------------------------------------

using TRecLogFormatProperty = TRecCodeName;  // a profile's LogFileFormat
using TRecDateFormatProperty = TRecCodeName;  // a profile's DateFormat
// Code 0 (not in the table) means the custom separator text.
using TRecCSVSeparatorProperty = TRecCodeName;

const std::array<TRecLogFormatProperty, 9>& LogFormatTable();
const std::array<TRecDateFormatProperty, 4>& DateFormatTable();
const std::array<TRecCSVSeparatorProperty, 4>& CSVSeparatorTable();

// Name to code gives 0 when unknown; code to name gives empty.
int GetLogFormatCode(std::string_view name);
std::string GetLogFormatName(int code);
int GetDateFormatCode(std::string_view name);
std::string GetDateFormatName(int code);
int GetCSVSeparatorCode(std::string_view name);
std::string GetCSVSeparatorName(int code);

// ---- Language-keyed lists --------------------------------------------------------------

// One text of a keyed list: day and month names, visit-count and visit-length bands.
struct TRecKeyText {
    std::string Key;
    std::string Text;
    friend bool operator==(const TRecKeyText&, const TRecKeyText&) = default;
};
using TRecLongDayName = TRecKeyText;  // Day1..Day7, Monday first
using TRecLongMonthName = TRecKeyText;  // Month1..Month12
using TRecNbVisit = TRecKeyText;  // Nb1..Nb15
using TRecLenVisit = TRecKeyText;  // Len1..Len11

using TLongDayNames = std::array<TRecLongDayName, 7>;
using TLongMonthNames = std::array<TRecLongMonthName, 12>;
using TNbVisits = std::array<TRecNbVisit, 15>;
using TLenVisits = std::array<TRecLenVisit, 11>;

const TLongDayNames& LongDayNameTable();
const TLongMonthNames& LongMonthNameTable();
const TNbVisits& NbVisitTable();
const TLenVisits& LenVisitTable();

// ---- Tips and HTML export support files ------------------------------------------------

// The tips of the day in the order they are shown; each is two lines joined by CR LF.
const std::array<std::string_view, 8>& TipsOfTheDay();

// Files copied from the HTML template folder into every HTML export folder.
const std::array<std::string_view, 17>& HtmlSupportFiles();

}  // namespace brindle

#pragma once
// The rules every reader of a report follows (table view, HTML page, CSV, XML and Word
// exports): which statistics table feeds the report, how it is sorted first, which rows are
// skipped, whether the profile's row limit applies, and which value codes make the cells.
// The General report is not a table; GeneralReportItems computes its items.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/DisplayFormat.h"
#include "core/ReportSet.h"
#include "core/ReportTxt_u.h"
#include "engine/ReportSource.h"
#include "engine/Statistics_u.h"

namespace brindle {

constexpr TReportID kGeneralReportID = 10;

// The statistics table behind a report.
enum class TStatTable : std::uint8_t {
    Mon,
    Day,
    Hod,
    Dow,
    Dom,
    Tld,
    Domain,
    Browser,
    OS,
    Spider,
    Host,
    NbVisit,
    UserName,
    AllFiles,
    FileDir,
    FileType,
    FileExt,
    TopIn,
    TopOut,
    RefDomain,
    RefPage,
    RefSE,
    RefSEP,
    RefSEK,
    RefSESEP,
    RefSESEK,
    Err,
    Status,
    LenVisit,
    Country,
    Region,
    USState,
    CAProv,
    CNProv,
    City,
};

enum class TReportSort : std::uint8_t { None, KeyAscending, KeyDescending, HitsDescending, VisitsDescending };

enum class TRowSkip : std::uint8_t {
    None,
    EmptyName,  // rows whose Name is empty
    KindOtherThan,  // rows whose Kind is not the rule's SkipKind
    Code404,  // rows whose Code is 404
    CodeNot404,  // rows whose Code is not 404
    CodeNotError,  // rows whose Code is below 400 or above 599
};

// Who reads: the CSV and XML exports list authenticated users by hits, the others by visits.
enum class TReportConsumer : std::uint8_t { TableView, HtmlPage, WordExport, CSVExport, XMLExport };

constexpr int kMaxReportColumns = 7;

struct TReportRule {
    TReportID ID = 0;
    std::string_view Key;
    TStatTable Table = TStatTable::Mon;
    TReportSort Sort = TReportSort::None;
    TRowSkip Skip = TRowSkip::None;
    std::uint8_t SkipKind = 0;
    bool Limited = false;  // at most NbItemsList accepted rows
    std::uint8_t ColumnCount = 0;
    std::array<std::uint8_t, kMaxReportColumns> Codes{};
    // Captions of the two views, by their [Column] key.
    std::array<std::string TRecColumnTxt::*, kMaxReportColumns> Captions{};

    std::span<const std::uint8_t> ValueCodes() const { return {Codes.data(), ColumnCount}; }
    bool IsFixedTable() const { return Sort == TReportSort::None; }
};

// True for the value codes whose cells can hold text straight from a log (names, URLs,
// referrers, phrases); the others hold numbers, dates or the program's own texts.
constexpr bool IsLogTextCode(std::uint8_t code) { return code == 23 || (code >= 25 && code <= 32); }

// The 42 table reports (every report but General).
const std::array<TReportRule, 42>& ReportRules();
// Null for General, groups and unknown ids.
const TReportRule* FindReportRule(int id);

// The sort this consumer applies before reading the report.
TReportSort RuleSort(const TReportRule& rule, TReportConsumer consumer);
// NbItemsList of the profile's record, or of the default row when it has none; 0 when
// neither knows the id.
std::int32_t ReportRowLimit(const TProfile& profile, int id);
// The view captions of a report's columns in the language (null: built-in English).
std::vector<std::string> ReportColumnCaptions(const TReportRule& rule, const TReportTxt* lang);

// The reports whose Enable is set in the profile, a report without a record taking its
// default row, as the report tree shows them.
TReportSet GetEnabledReportsWithDefaults(const TProfile& profile);

// Called for every accepted row: the row, its fixed-table index (0 for list rows) and its
// cells; the visitor may move the cells away.
using TReportRowVisitor = std::function<void(const TRecStat& row, int index, std::vector<std::string>& cells)>;

// Sorts the report's list in place, then visits the accepted rows in order. False (nothing
// visited) for General, groups and unknown ids.
bool ForEachReportRow(TReportSource& source, int id, const TReportTxt* lang, const DisplayFormat& format,
                      TReportConsumer consumer, const TReportRowVisitor& visit);
// The cells of every accepted row.
std::vector<std::vector<std::string>> ReadReportRows(TReportSource& source, int id, const TReportTxt* lang,
                                                     const DisplayFormat& format, TReportConsumer consumer);

// ---- The General report ----

enum class TGeneralCategory : std::uint8_t { Time, Access, Average };

struct TGeneralItem {
    TGeneralCategory Category = TGeneralCategory::Time;
    bool IsCategory = false;  // the heading row of its category, without a value
    std::string_view RowKey;  // its [Row] key: "Item100", "Item101", ...
    std::string Caption;  // the language's text of RowKey
    std::string Value;
};

// Whole days from the first to the last hit plus one; 0 unless both are set.
std::int64_t LogSpanDays(TSeconds firstHit, TSeconds lastHit);

// The 22 rows of the General report (three headings, 19 items) in order.
std::vector<TGeneralItem> GeneralReportItems(const TReportSource& source, const TReportTxt* lang,
                                             const DisplayFormat& format);

}  // namespace brindle

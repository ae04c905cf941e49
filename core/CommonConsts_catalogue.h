#pragma once
// The report catalogue: every report and group with its id, key, English title and comment,
// its row of the report tree and its default settings. Walkers follow the row order
// ("catalogue order"), which is not the order of the ids.
#include <array>
#include <cstdint>
#include <string>

#include "core/ReportProperty.h"
#include "core/ReportSet.h"

namespace brindle {

struct TRecSectionProperty {
    std::uint8_t ID = 0;
    std::uint8_t ParentID = 0;  // 0 for a group row
    std::string Key;
    std::string Title;
    std::string Comment;

    bool IsGroupRow() const { return ParentID == 0; }
    friend bool operator==(const TRecSectionProperty&, const TRecSectionProperty&) = default;
};

constexpr int kSectionCount = 49;
constexpr int kNodeCount = 48;
constexpr int kReportCount = 43;
using TSectionProperties = std::array<TRecSectionProperty, kSectionCount>;

// Bit values of TRecNodeProperty::Views.
constexpr std::uint8_t kViewTable = 2;
constexpr std::uint8_t kViewHtml = 4;

enum TChartKind : std::int32_t { ckNone = 0, ckLine = 1, ckBar = 2, ckHorizBar = 3, ckPie = 4 };

struct TRecNodeProperty {
    std::string Title;  // always English
    std::uint8_t Table = 0;  // has a table
    std::uint8_t Chart = 0;  // has a chart
    std::uint8_t Daily = 0;  // has a daily chart
    std::uint8_t Rows = 0;  // NbItemsList is a setting
    std::uint8_t ChartItems = 0;  // NbItemsChart is a setting
    std::uint8_t DailyItems = 0;  // NbItemsChartDaily is a setting
    std::uint8_t ID = 0;
    std::uint8_t ParentID = 0;  // 0 for a top-level row
    std::uint8_t Views = 0;  // kViewTable | kViewHtml
    std::int32_t Image = 0;
    std::int32_t ChartKind = ckNone;
};

// The 49 section rows, the 48 tree rows and the 43 default report settings, in catalogue order.
const TSectionProperties& SectionTable();
const std::array<TRecNodeProperty, kNodeCount>& NodeTable();
const std::array<TRecReportProperty, kReportCount>& DefaultReportTable();

// The folder groups of the report tree: 20, 30, 40, 50 and 60 (not 10).
const TReportSet& GroupIDs();

// The first section row with this id that is a group row (IsGroup) or a report row;
// false leaves Key untouched.
bool GetReportKey(int id, bool isGroup, std::string& key);

// The tree row of a report or group id; null when there is none.
const TRecNodeProperty* FindNode(int id);

// The default settings of a report id; null for groups 20..60 and unknown ids.
const TRecReportProperty* FindDefaultReportProperty(int id);

}  // namespace brindle

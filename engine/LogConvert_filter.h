#pragma once
// The profile's hit filters: include filters are alternatives, an exclude filter always
// wins. Works on any filter record with the fields FilterType, FilterItem, Value1 and
// Value2 (the profile's TRecFilterProperty).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTime_u.h"
#include "engine/Mask_u.h"

namespace brindle {

enum : std::uint8_t { ftInclude = 1, ftExclude = 2 };

// Filter kinds (FilterItem).
enum : std::uint8_t {
    fiHost = 11,
    fiURI = 12,
    fiDateRange = 13,
    fiDayOfWeek = 14,
    fiHour = 15,
    fiDayOfMonth = 16,
    fiMonth = 17,
    fiStatusRange = 18,
    fiReferrer = 19,
    fiOS = 20,
    fiBrowser = 21,
    fiSpider = 22,
    fiMethod = 23,
    fiVirtualDomain = 24,
};

// The values of the current hit that filters test.
struct THitView {
    std::string_view Host;
    std::string_view URI;
    std::string_view Referrer;
    std::string_view OS;
    std::string_view Browser;
    std::string_view Spider;
    std::string_view Method;
    std::string_view VDomain;
    TSeconds Time = 0;  // after the time offset
    int DayOfWeek = 0;  // 1 Monday .. 7 Sunday
    int Hour = 0;
    int Day = 0;
    int Month = 0;
    int Status = 0;
};

// One filter with its mask compiled and its numbers read, ready to test many hits.
// Values that do not convert (a malformed mask, a bad number or date) make it match
// nothing, as does a kind outside 11..24.
class TPreparedFilter {
public:
    TPreparedFilter(std::uint8_t filterType, std::uint8_t filterItem, std::string_view value1, std::string_view value2);
    std::uint8_t FilterType() const { return Type; }
    bool Matches(const THitView& hit) const;

private:
    std::uint8_t Type;
    std::uint8_t Item;
    bool Usable = false;
    TMask Mask;
    std::string Text;
    std::int64_t Low = 0;
    std::int64_t High = 0;
};

// The decision over a whole filter list, prepared once per analysis.
class TFilterSet {
public:
    TFilterSet() = default;
    template <class Records>
    explicit TFilterSet(const Records& records) {
        for (const auto& r : records) Add(r.FilterType, r.FilterItem, r.Value1, r.Value2);
    }
    void Add(std::uint8_t filterType, std::uint8_t filterItem, std::string_view value1, std::string_view value2);
    bool Empty() const { return Includes.empty() && Excludes.empty(); }
    // Stored when some include filter matches (or there is none) and no exclude filter does.
    bool Passes(const THitView& hit) const;

private:
    std::vector<TPreparedFilter> Includes;
    std::vector<TPreparedFilter> Excludes;
};

// Does the hit match this one filter (its type not considered).
template <class Record>
bool MatchFilter(const Record& filter, const THitView& hit) {
    return TPreparedFilter(filter.FilterType, filter.FilterItem, filter.Value1, filter.Value2).Matches(hit);
}

// The decision for one hit over a filter list; for many hits prepare a TFilterSet once.
template <class Records>
bool PassesFilters(const Records& filters, const THitView& hit) {
    return TFilterSet(filters).Passes(hit);
}

}  // namespace brindle

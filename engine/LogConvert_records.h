#pragma once
// The accepted hits of an analysis: one compact record per hit, texts held as
// indices into the engine's interned string tables.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/DateTime_u.h"

namespace brindle {

// Stored once per hit, so every field is as narrow as its values allow: date parts
// in bytes, the six flags in bits. `MonthStart` is the day number of the first day
// of the hit's month (same origin as `DayNo`), `VisitDuration` whole seconds.
struct TRecLog {
    TSeconds Time = 0;           // timestamp after the time offset
    std::int64_t Bytes = 0;      // bytes sent, 0 when not a number
    std::int32_t Seq = 0;        // 1 for the first hit of the analysis
    std::int32_t VisitId = -1;   // set by the visit pass
    std::int32_t HostIdx = 0;
    std::int32_t IP = -1;        // set by the address pass
    std::int32_t UserIdx = 0;
    std::int32_t DayNo = 0;      // whole days of Time
    std::int32_t MonthStart = 0; // day number of the month's first day
    std::int32_t VisitDuration = 0;
    std::int32_t VDomainIdx = 0;
    std::int32_t MethodIdx = 0;
    std::int32_t URIIdx = 0;
    std::int32_t ExtIdx = 0;
    std::int32_t PathIdx = 0;
    std::int32_t Status = 0;
    std::int32_t ReferrerIdx = 0;
    std::int32_t AgentIdx = 0;
    std::int32_t BrowserIdx = 0;
    std::int32_t OSIdx = 0;
    std::int32_t SpiderIdx = 0;
    std::uint16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Second = 0;
    std::uint8_t DayOfWeek = 0;  // 1 Monday .. 7 Sunday
    std::uint8_t Kind = 0;       // file kind 0..5
    std::uint8_t IsPage : 1 = 0;
    std::uint8_t NotModified : 1 = 0;
    std::uint8_t Partial : 1 = 0;
    std::uint8_t IsError : 1 = 0;
    std::uint8_t IsEntry : 1 = 0;
    std::uint8_t IsExit : 1 = 0;
};
static_assert(sizeof(TRecLog) <= 104, "TRecLog grew: it is stored once per hit");

// The hit list. Sorts take a flag: 1 ascending, anything else descending. They are
// not stable by contract (callers needing an order within a group sort again).
class TLstRecLog {
public:
    // Appends a copy; returns its position.
    std::size_t Add(const TRecLog& rec);
    void Clear();
    void Reserve(std::size_t count) { Items.reserve(count); }

    std::size_t Count() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    TRecLog& Get(std::size_t pos) { return Items[pos]; }
    const TRecLog& Get(std::size_t pos) const { return Items[pos]; }
    TRecLog& operator[](std::size_t pos) { return Items[pos]; }
    const TRecLog& operator[](std::size_t pos) const { return Items[pos]; }

    auto begin() { return Items.begin(); }
    auto end() { return Items.end(); }
    auto begin() const { return Items.begin(); }
    auto end() const { return Items.end(); }

    void SortByBrowser(int flag);
    void SortByDay(int flag);
    void SortByWeekday(int flag);
    void SortByKind(int flag);
    void SortByHour(int flag);
    void SortByOS(int flag);
    void SortByReferrer(int flag);
    void SortByTime(int flag);
    void SortByPath(int flag);
    void SortByExtension(int flag);
    void SortByMonth(int flag);
    void SortByURI(int flag);
    void SortByHost(int flag);
    void SortBySpider(int flag);
    void SortByStatus(int flag);
    void SortByUser(int flag);
    void SortByVisit(int flag);

private:
    std::vector<TRecLog> Items;
};

}  // namespace brindle

#pragma once
// One accepted hit: a compact record whose texts are indices into the run's string tables.
#include <cstdint>

#include "engine/LogConvert_time.h"

namespace brindle {

// Stored once per hit, so every field is as narrow as its values allow and nothing is
// kept that another field gives: the date parts in bytes, the minute, second and month
// start from Time, the six flags in bits, `VisitDuration` in whole seconds. A hit's
// sequence number is its storage position plus one, and its IPv4 number is its host's
// (TLogConvert::HostIPs). Ordered so that no byte is padding.
struct TRecLog {
    TSeconds Time = 0;
    std::int64_t Bytes = 0;  // bytes sent, 0 when not a number
    std::int32_t DayNo = 0;
    std::int32_t VisitId = -1;  // set by the visit pass
    std::int32_t HostIdx = 0;
    std::int32_t UserIdx = 0;
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
    std::uint8_t DayOfWeek = 0;  // 1 Monday .. 7 Sunday
    std::uint8_t Kind = 0;  // file kind 0..5
    std::uint8_t IsPage : 1 = 0;
    std::uint8_t NotModified : 1 = 0;
    std::uint8_t Partial : 1 = 0;
    std::uint8_t IsError : 1 = 0;
    std::uint8_t IsEntry : 1 = 0;
    std::uint8_t IsExit : 1 = 0;

    // Takes the parsed time: Time, DayNo and the date parts.
    void SetTime(const THitTime& time);
    int Minute() const { return static_cast<int>((Time - StartOfDay(DayNo)) / 60 % 60); }
    int Second() const { return static_cast<int>((Time - StartOfDay(DayNo)) % 60); }
    // The day number of the first day of the hit's month.
    std::int32_t MonthStart() const;
    // Orders hits by month as MonthStart does, without the calendar arithmetic.
    std::int32_t MonthKey() const { return Year * 16 + Month; }
};
static_assert(sizeof(TRecLog) <= 88, "TRecLog grew: it is stored once per hit");

}  // namespace brindle

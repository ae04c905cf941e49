#pragma once
// One accepted hit: a compact record whose texts are indices into the run's string tables.
#include <cstdint>
#include <limits>

#include "engine/LogConvert_time.h"

namespace brindle {

// Stored once per hit, so every field is as narrow as its values allow and nothing is
// kept that another field gives: the day and every date part come from Time, the six
// flags and the kind in bits beside the bytes, `VisitDuration` in whole seconds, the URL's
// extension and folder by the URL (TURIParts). A hit's
// sequence number is its storage position plus one, and its IPv4 number is its host's
// (TLogConvert::HostIPs). The virtual-domain, method and agent texts are interned for the
// run but nothing reads them back from a hit, so a hit keeps no index of them; its
// browser, system and spider are what its agent was classified as. Ordered so that no
// byte is padding.
struct TRecLog {
    // The widest index a 16-bit field holds. Those tables are bounded by the option lists;
    // a run whose table still grows past it fails instead of storing a wrong index (see
    // TLogConvert::CheckTableSizes).
    static constexpr std::int32_t kMaxSmallIndex = 0xFFFF;

    // Bytes sent fit 48 bits (the parser reads anything wider as not a number), which
    // leaves the rest of their word to the kind and the flags.
    static constexpr std::int64_t kMaxBytes = (std::int64_t{1} << 48) - 1;

    TSeconds Time = 0;
    std::uint64_t Bytes : 48 = 0;  // bytes sent, 0 when not a number
    std::uint64_t Kind : 3 = 0;  // file kind 0..5
    std::uint64_t IsPage : 1 = 0;
    std::uint64_t NotModified : 1 = 0;
    std::uint64_t Partial : 1 = 0;
    std::uint64_t IsError : 1 = 0;
    std::uint64_t IsEntry : 1 = 0;
    std::uint64_t IsExit : 1 = 0;
    std::uint64_t NoRequest : 1 = 0;  // no request line: URL, extension and folder all empty
    std::int32_t VisitId = -1;  // set by the visit pass
    std::int32_t HostIdx = 0;
    std::int32_t UserIdx = 0;
    std::int32_t URIIdx = 0;
    std::int32_t ReferrerIdx = 0;
    std::int32_t VisitDuration = 0;
    std::int16_t Status = 0;  // the parser reads anything wider as not a number
    std::uint16_t BrowserIdx = 0;
    std::uint16_t OSIdx = 0;
    std::uint16_t SpiderIdx = 0;

    // Takes the parsed time; the date parts follow from it.
    void SetTime(const THitTime& time) { Time = time.Time; }

    std::int32_t DayNo() const { return static_cast<std::int32_t>(DayOf(Time)); }
    TCivilDate Date() const { return DateOfDay(DayOf(Time)); }
    int Year() const { return Date().Year; }
    int Month() const { return Date().Month; }
    int Day() const { return Date().Day; }
    int Hour() const { return static_cast<int>(SecondOfDay() / 3600); }
    int Minute() const { return static_cast<int>(SecondOfDay() / 60 % 60); }
    int Second() const { return static_cast<int>(SecondOfDay() % 60); }
    int DayOfWeek() const { return IsoDayOfWeek(DayOf(Time)); }  // 1 Monday .. 7 Sunday
    // The day number of the first day of the hit's month.
    std::int32_t MonthStart() const { return DayNo() - Day() + 1; }
    // Orders hits by month as MonthStart does.
    std::int32_t MonthKey() const {
        const TCivilDate date = Date();
        return date.Year * 16 + date.Month;
    }

private:
    TSeconds SecondOfDay() const { return Time - StartOfDay(DayOf(Time)); }
};
static_assert(sizeof(TRecLog) <= 48, "TRecLog grew: it is stored once per hit");

// The date of the day last asked for. Hits come in runs of one day, so a walk that needs
// every hit's date works it out about once a day instead of once a hit.
class TDayDateMemo {
public:
    const TCivilDate& DateOf(const TRecLog& rec) {
        const std::int64_t day = DayOf(rec.Time);
        if (day != day_) {
            day_ = day;
            date_ = DateOfDay(day);
        }
        return date_;
    }
    std::int32_t MonthKey(const TRecLog& rec) {
        const TCivilDate& date = DateOf(rec);
        return date.Year * 16 + date.Month;
    }

private:
    std::int64_t day_ = std::numeric_limits<std::int64_t>::min();
    TCivilDate date_;
};

}  // namespace brindle

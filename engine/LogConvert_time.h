#pragma once
// The three timestamp forms of the log formats, read into the hit's time fields.
#include <cstdint>
#include <string_view>

#include "core/DateTime_u.h"

namespace brindle {

// A hit's time after the profile's offset. `MonthStart` is the day number of the first
// day of the month, on the same scale as `DayNo`.
struct THitTime {
    TSeconds Time = 0;
    std::int32_t DayNo = 0;
    std::int32_t MonthStart = 0;
    std::uint16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Second = 0;
    std::uint8_t DayOfWeek = 0;  // 1 Monday .. 7 Sunday
};

// The profile's offset (sign 1 or -1, hours, minutes) in seconds.
TSeconds TimeOffsetSeconds(int sign, int hours, int minutes);

// Each reader returns false for a malformed or impossible timestamp (a bad line),
// and for years before 1900. `out` is only meaningful after true.

// "[dd/Mon/yyyy:hh:mm:ss zone]"; the zone is ignored.
bool ParseNCSADateTime(std::string_view text, TSeconds offset, THitTime& out);
// "yyyy-mm-dd" and "hh:mm:ss".
bool ParseW3CDateTime(std::string_view date, std::string_view time, TSeconds offset, THitTime& out);
// IIS comma format: the date's three digit runs in the given order (1..6), the time
// as hour, minute, second. Years 0..49 are 2000..2049, 50..99 are 1950..1999.
bool ParseIISDateTime(std::string_view date, std::string_view time, int order, TSeconds offset, THitTime& out);

}  // namespace brindle

#pragma once
// Calendar arithmetic on the engine's time: whole seconds since 1899-12-30 00:00.
// Day numbers count from the same origin (day 0 is 1899-12-30, a Saturday).
#include <array>
#include <cstdint>
#include <string_view>

namespace brindle {

using TSeconds = std::int64_t;
constexpr TSeconds kSecondsPerDay = 86400;

struct TDateParts {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// False for a month, day, hour, minute or second out of range.
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second);

// Day number of a date (no range check).
std::int64_t EncodeDate(int year, int month, int day);
TSeconds EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
TDateParts DecodeDateTime(TSeconds seconds);
// Floor division, so times before the origin fall on the right day.
std::int64_t DayOf(TSeconds seconds);
inline TSeconds StartOfDay(std::int64_t day) { return day * kSecondsPerDay; }

// 1 = Monday .. 7 = Sunday.
int IsoDayOfWeek(std::int64_t day);
// 1..366.
int DayOfYear(int year, int month, int day);
// ISO 8601 week of the year, 1..53.
int IsoWeekOfYear(int year, int month, int day);

// The time of day now, local time, as engine seconds.
TSeconds NowLocal();

// The stored form of a date-time in documents: days as a double, time as the fraction.
double SecondsToDateTime(TSeconds seconds);
// Rounded to the nearest second; NaN and infinities give 0.
TSeconds DateTimeToSeconds(double dateTime);

// English day and month names; they never follow the report language.
extern const std::array<std::string_view, 7> kShortDayNames;  // "Mon" .. "Sun"
extern const std::array<std::string_view, 7> kLongDayNames;  // "Monday" .. "Sunday"
extern const std::array<std::string_view, 12> kShortMonthNames;  // "Jan" .. "Dec"
extern const std::array<std::string_view, 12> kLongMonthNames;  // "January" .. "December"

}  // namespace brindle

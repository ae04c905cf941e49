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

struct TCivilDate {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
};

// Day number of a date (no range check).
std::int64_t EncodeDate(int year, int month, int day);
TSeconds EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
TDateParts DecodeDateTime(TSeconds seconds);
// Floor division, so times before the origin fall on the right day.
inline std::int64_t DayOf(TSeconds seconds) {
    const std::int64_t q = seconds / kSecondsPerDay;
    return seconds % kSecondsPerDay < 0 ? q - 1 : q;
}
inline TSeconds StartOfDay(std::int64_t day) { return day * kSecondsPerDay; }

// The proleptic Gregorian date of a day number. Inline: the statistics read the date
// parts of every hit from its time.
inline TCivilDate DateOfDay(std::int64_t day) {
    // Counted in 400-year eras from 0000-03-01, so a leap day ends its year.
    constexpr std::int64_t kMarchFirstOfYear0 = 693899;  // days from 0000-03-01 to day 0
    const std::int64_t z = day + kMarchFirstOfYear0;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    TCivilDate date;
    date.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    date.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.Year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (date.Month <= 2));
    return date;
}

// 1 = Monday .. 7 = Sunday.
inline int IsoDayOfWeek(std::int64_t day) {
    // Day 0 (1899-12-30) was a Saturday (6).
    const std::int64_t m = ((day + 5) % 7 + 7) % 7;  // 0 = Monday
    return static_cast<int>(m) + 1;
}
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

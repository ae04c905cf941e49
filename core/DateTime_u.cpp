#include "core/DateTime_u.h"

#include <cmath>
#include <ctime>

namespace brindle {

const std::array<std::string_view, 7> kShortDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const std::array<std::string_view, 7> kLongDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                       "Friday", "Saturday", "Sunday"};
const std::array<std::string_view, 12> kShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const std::array<std::string_view, 12> kLongMonthNames = {"January",   "February", "March",    "April",
                                                          "May",       "June",     "July",     "August",
                                                          "September", "October",  "November", "December"};

namespace {

// Days between 1899-12-30 and 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

std::int64_t EncodeDate(int year, int month, int day) {
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay;
}

TSeconds EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    return EncodeDate(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

TDateParts DecodeDateTime(TSeconds seconds) {
    TDateParts parts;
    const std::int64_t day = DayOf(seconds);
    const std::int64_t rest = seconds - day * kSecondsPerDay;
    const TCivilDate date = DateOfDay(day);
    parts.Year = date.Year;
    parts.Month = date.Month;
    parts.Day = date.Day;
    parts.Hour = static_cast<int>(rest / 3600);
    parts.Minute = static_cast<int>(rest / 60 % 60);
    parts.Second = static_cast<int>(rest % 60);
    return parts;
}

int DayOfYear(int year, int month, int day) {
    return static_cast<int>(EncodeDate(year, month, day) - EncodeDate(year, 1, 1)) + 1;
}

int IsoWeekOfYear(int year, int month, int day) {
    const std::int64_t serial = EncodeDate(year, month, day);
    // The week belongs to the year holding its Thursday.
    const std::int64_t thursday = serial - IsoDayOfWeek(serial) + 4;
    return static_cast<int>((thursday - EncodeDate(DateOfDay(thursday).Year, 1, 1)) / 7) + 1;
}

TSeconds NowLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec);
}

double SecondsToDateTime(TSeconds seconds) { return static_cast<double>(seconds) / kSecondsPerDay; }

TSeconds DateTimeToSeconds(double dateTime) {
    if (!std::isfinite(dateTime)) return 0;
    const double seconds = std::round(dateTime * kSecondsPerDay);
    if (seconds > 9.0e15 || seconds < -9.0e15) return 0;
    return static_cast<TSeconds>(seconds);
}

}  // namespace brindle

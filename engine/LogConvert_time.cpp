#include "engine/LogConvert_time.h"

#include <string_view>

namespace brindle {

namespace {

// The characters [pos, pos + count) of the text as far as it reaches, read as an
// unsigned decimal number; -1 when that is empty or holds anything but digits.
int Digits(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos >= text.size()) return -1;
    const std::string_view part = text.substr(pos, count);
    int value = 0;
    for (const char c : part) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

int MonthOfName(std::string_view name) {
    for (std::size_t i = 0; i < kShortMonthNames.size(); ++i)
        if (name == kShortMonthNames[i]) return static_cast<int>(i) + 1;
    return 0;
}

// The common tail of every reader: encode, apply the offset, fill the parts.
bool Finish(int year, int month, int day, int hour, int minute, int second, TSeconds offset, THitTime& out) {
    if (year < 1900 || !IsValidDate(year, month, day) || !IsValidTime(hour, minute, second)) return false;
    const TSeconds time = EncodeDateTime(year, month, day, hour, minute, second) + offset;
    const TSeconds timeOfDay = hour * 3600 + minute * 60 + second + offset;
    if (offset != 0 && timeOfDay >= 0 && timeOfDay < kSecondsPerDay) {
        // Same day: only the clock moves, no need to decode the calendar date.
        hour = static_cast<int>(timeOfDay / 3600);
        minute = static_cast<int>(timeOfDay / 60 % 60);
        second = static_cast<int>(timeOfDay % 60);
    } else if (offset != 0) {
        const TDateParts parts = DecodeDateTime(time);
        year = parts.Year;
        month = parts.Month;
        day = parts.Day;
        hour = parts.Hour;
        minute = parts.Minute;
        second = parts.Second;
    }
    out.Time = time;
    out.DayNo = static_cast<std::int32_t>(DayOf(time));
    out.MonthStart = static_cast<std::int32_t>(EncodeDate(year, month, 1));
    out.Year = static_cast<std::uint16_t>(year);
    out.Month = static_cast<std::uint8_t>(month);
    out.Day = static_cast<std::uint8_t>(day);
    out.Hour = static_cast<std::uint8_t>(hour);
    out.Minute = static_cast<std::uint8_t>(minute);
    out.Second = static_cast<std::uint8_t>(second);
    out.DayOfWeek = static_cast<std::uint8_t>(IsoDayOfWeek(out.DayNo));
    return true;
}

// Cuts the text at every non-digit into exactly three numbers; false for more or fewer
// parts or an empty one.
bool ThreeNumbers(std::string_view text, int (&parts)[3]) {
    int count = 0;
    int value = 0;
    std::size_t digits = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            // Nine digits cannot overflow; a longer run is no date part anyway.
            if (++digits > 9) return false;
            value = value * 10 + (text[i] - '0');
            continue;
        }
        if (count == 3 || digits == 0) return false;
        parts[count++] = value;
        value = 0;
        digits = 0;
    }
    return count == 3;
}

}  // namespace

TSeconds TimeOffsetSeconds(int sign, int hours, int minutes) {
    const TSeconds offset = static_cast<TSeconds>(hours) * 3600 + static_cast<TSeconds>(minutes) * 60;
    return sign < 0 ? -offset : offset;
}

bool ParseNCSADateTime(std::string_view text, TSeconds offset, THitTime& out) {
    const int month = text.size() >= 5 ? MonthOfName(text.substr(4, 3)) : 0;
    return Finish(Digits(text, 8, 4), month, Digits(text, 1, 2), Digits(text, 13, 2), Digits(text, 16, 2),
                  Digits(text, 19, 2), offset, out);
}

bool ParseW3CDateTime(std::string_view date, std::string_view time, TSeconds offset, THitTime& out) {
    return Finish(Digits(date, 0, 4), Digits(date, 5, 2), Digits(date, 8, 2), Digits(time, 0, 2), Digits(time, 3, 2),
                  Digits(time, 6, 2), offset, out);
}

bool ParseIISDateTime(std::string_view date, std::string_view time, int order, TSeconds offset, THitTime& out) {
    int d[3];
    int t[3];
    if (!ThreeNumbers(date, d) || !ThreeNumbers(time, t)) return false;
    int day = 0, month = 0, year = 0;
    switch (order) {
        case 1: day = d[0], month = d[1], year = d[2]; break;
        case 2: month = d[0], day = d[1], year = d[2]; break;
        case 3: day = d[0], year = d[1], month = d[2]; break;
        case 4: year = d[0], day = d[1], month = d[2]; break;
        case 5: month = d[0], year = d[1], day = d[2]; break;
        case 6: year = d[0], month = d[1], day = d[2]; break;
        default: return false;
    }
    if (year < 50)
        year += 2000;
    else if (year < 100)
        year += 1900;
    return Finish(year, month, day, t[0], t[1], t[2], offset, out);
}

}  // namespace brindle

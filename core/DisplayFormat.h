#pragma once
// How numbers, dates and times are shown on screen and in report cells. The UI fills one
// value from the system locale and passes it down; core never reads the C locale, so
// numbers written to files are untouched by it.
//
// Date and time patterns use these letters (case-insensitive), everything else is literal
// and text in '...' or "..." is copied as it stands:
//   d dd ddd dddd   day, two-digit day, English short / long day name
//   m mm mmm mmmm   month, two-digit month, English short / long month name
//                   (m and mm right after an hour stand for minutes)
//   yy yyyy         two-digit / four-digit year
//   h hh n nn s ss  hour, minutes, seconds (hh, nn, ss with two digits)
//   z zzz           milliseconds (always 0: times are whole seconds)
//   am/pm a/p ampm  12-hour clock; "ampm" shows TimeAMString / TimePMString
#include <string>

namespace brindle {

struct DisplayFormat {
    std::string DecimalSeparator = ".";
    std::string ShortDateFormat = "yyyy-mm-dd";
    std::string TimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

// The fixed default, so that default arguments need no temporary.
inline const DisplayFormat& DefaultDisplayFormat() {
    static const DisplayFormat value;
    return value;
}

}  // namespace brindle

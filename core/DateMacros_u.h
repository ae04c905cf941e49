#pragma once
// Date macros in log-file locations and export targets: "ex%yy%%mm%%dd%.log" names today's
// file, "%date-1%ex%yy%%mm%%dd%.log" yesterday's.
#include <string>

#include "core/DateTime_u.h"

namespace brindle {

// Expands the macros for the local date and time now.
std::string ExpandDateMacros(const std::string& templ);
// Expands them for the given local date and time. Days are moved on the calendar, so a
// daylight-saving change never shifts the date.
std::string ExpandDateMacros(const std::string& templ, TSeconds now);

// Week of the month, 1..5: weeks run Monday to Sunday and belong to the month that holds
// their Thursday.
int WeekOfMonth(int year, int month, int day);

}  // namespace brindle

#pragma once
// Pieces of the cell formatter that views and tests use on their own.
#include <string>
#include <string_view>

#include "core/DateTime_u.h"

namespace brindle {

// A visit length as a cell shows it: "h:nn:ss" from one hour on (hours are never folded
// into days: 25 hours give "25:00:00"), "n:ss" under ten minutes, "nn:ss" between.
std::string FormatStatDuration(TSeconds seconds);

// The two parts of a name joined by a TAB (engine and phrase, URL and referrer): the text
// before the first TAB and the text after it. Without a TAB the whole name is the first
// part and the second is empty.
struct TTabPieces {
    std::string_view First;
    std::string_view Second;
};
TTabPieces SplitTabPieces(std::string_view name);

}  // namespace brindle

#pragma once
// The program's command-line switches: "/p=<profile>" analyses a profile, "/o=<file>" opens a
// document, "/c" closes the program after the analysis, "/s" runs silently.
#include <span>
#include <string>
#include <string_view>

namespace brindle {

struct TCommandLine {
    std::string ProfileName;  // "/p="; empty when not given
    std::string DocumentFile;  // "/o="; empty when not given
    bool CloseAfterRun = false;
    bool Silent = false;
    // Not a switch: set from the platform when there is no screen to show a box on. Messages
    // then go to standard error and a "/c" run always ends, with a status telling how.
    bool NoScreen = false;

    friend bool operator==(const TCommandLine&, const TCommandLine&) = default;
};

// The arguments without the program name. Prefixes are case-sensitive, the switches "/c"
// and "/s" must be the whole argument, a later occurrence replaces an earlier one and
// anything else is ignored.
TCommandLine ParseCommandLine(std::span<const std::string> arguments);
// argv[0] is the program and is skipped.
TCommandLine ParseCommandLine(int argc, const char* const* argv);

// A text in Quote characters loses them and its doubled quotes become single; text after the
// closing quote is dropped. A text not in quotes, or whose closing quote is missing, stays
// as it is.
std::string DequotedStr(std::string_view text, char quote);

}  // namespace brindle

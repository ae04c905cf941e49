#include "ui/CommandLine_u.h"

#include <vector>

namespace brindle {

std::string DequotedStr(std::string_view text, char quote) {
    if (text.empty() || text.front() != quote) return std::string(text);
    std::string result;
    std::size_t at = 1;
    while (at < text.size()) {
        if (text[at] == quote) {
            if (at + 1 < text.size() && text[at + 1] == quote) {
                result.push_back(quote);
                at += 2;
                continue;
            }
            ++at;
            break;
        }
        result.push_back(text[at++]);
    }
    // Nothing quoted, or no text after the quoted run, counts only when the whole text ends
    // with a quote; otherwise (say an unterminated run) the text stands as it is.
    const bool consumedAll = at >= text.size();
    if ((result.empty() || consumedAll) && text.back() != quote) return std::string(text);
    return result;
}

TCommandLine ParseCommandLine(std::span<const std::string> arguments) {
    constexpr std::string_view kProfile = "/p=";
    constexpr std::string_view kDocument = "/o=";
    TCommandLine line;
    for (const std::string& argument : arguments) {
        const std::string_view arg(argument);
        if (arg.starts_with(kProfile))
            line.ProfileName = DequotedStr(arg.substr(kProfile.size()), '"');
        else if (arg.starts_with(kDocument))
            line.DocumentFile = DequotedStr(arg.substr(kDocument.size()), '"');
        else if (arg == "/c")
            line.CloseAfterRun = true;
        else if (arg == "/s")
            line.Silent = true;
    }
    return line;
}

TCommandLine ParseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        if (argv[i]) arguments.emplace_back(argv[i]);
    return ParseCommandLine(arguments);
}

}  // namespace brindle

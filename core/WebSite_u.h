#pragma once
// The maker's web address, behind the Help menu, the about box and the foot of every HTML
// page. A reserved example domain: the product has no site of its own, and a real-looking
// name could belong to someone else.
#include <array>
#include <cstddef>
#include <string_view>

namespace brindle {

inline constexpr char kMakerWebSiteText[] = "https://brindle-analyzer.example/";
inline constexpr std::string_view kMakerWebSite = kMakerWebSiteText;

// Joins string literals at compile time, for built-in texts that embed the address.
template <std::size_t... N>
constexpr auto JoinLiterals(const char (&... parts)[N]) {
    std::array<char, (N + ...) - sizeof...(N) + 1> out{};
    std::size_t at = 0;
    for (const std::string_view part : {std::string_view(parts, N - 1)...})
        for (const char c : part) out[at++] = c;
    return out;
}

}  // namespace brindle

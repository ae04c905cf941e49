#pragma once
// Wildcard masks of the hit filters: the whole text must match; "*" any run, "?" one
// character, "[a-z]" a set ("[!...]" its complement), ASCII letters without regard
// to case. Compiled once, matched without allocating.
#include <bitset>
#include <cstdint>
#include <string_view>
#include <vector>

namespace brindle {

class TMask {
public:
    TMask() = default;  // an invalid mask
    explicit TMask(std::string_view mask);

    // False for an unterminated or empty set, or a range without its end.
    bool Valid() const { return IsValid; }
    // False for every text when the mask is not valid.
    bool Matches(std::string_view text) const;

private:
    enum class TOp : std::uint8_t { Literal, AnyChar, AnyRun, Set };
    struct TToken {
        TOp Op;
        unsigned char Ch;  // Literal: the lower-cased character
        std::uint16_t SetIdx;  // Set: index in Sets
    };
    bool TokenMatches(const TToken& token, unsigned char c) const;

    std::vector<TToken> Tokens;
    std::vector<std::bitset<256>> Sets;
    bool IsValid = false;
};

}  // namespace brindle

#include "engine/Mask_u.h"

#include <limits>

namespace brindle {

namespace {

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

TMask::TMask(std::string_view mask) {
    const std::size_t n = mask.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(mask[i]);
        if (c == '*') {
            if (Tokens.empty() || Tokens.back().Op != TOp::AnyRun) Tokens.push_back({TOp::AnyRun, 0, 0});
        } else if (c == '?') {
            Tokens.push_back({TOp::AnyChar, 0, 0});
        } else if (c == '[') {
            std::bitset<256> set;
            bool negate = false;
            std::size_t j = i + 1;
            if (j < n && mask[j] == '!') {
                negate = true;
                ++j;
            }
            const std::size_t first = j;
            while (j < n && mask[j] != ']') {
                const auto lo = static_cast<unsigned char>(mask[j]);
                if (j + 1 < n && mask[j + 1] == '-') {
                    if (j + 2 >= n || mask[j + 2] == ']') return;  // "[a-]": the range has no end
                    const auto hi = static_cast<unsigned char>(mask[j + 2]);
                    for (unsigned v = lo; v <= hi; ++v) set.set(v);
                    j += 3;
                } else {
                    set.set(lo);
                    ++j;
                }
            }
            if (j >= n || j == first) return;  // unterminated or empty set
            for (unsigned v = 'A'; v <= 'Z'; ++v) {
                if (set[v] || set[v + 32]) {
                    set.set(v);
                    set.set(v + 32);
                }
            }
            if (negate) set.flip();
            if (Sets.size() == std::numeric_limits<std::uint16_t>::max()) return;
            Tokens.push_back({TOp::Set, 0, static_cast<std::uint16_t>(Sets.size())});
            Sets.push_back(set);
            i = j;
        } else {
            Tokens.push_back({TOp::Literal, Lower(c), 0});
        }
    }
    IsValid = true;
}

bool TMask::TokenMatches(const TToken& token, unsigned char c) const {
    switch (token.Op) {
        case TOp::Literal: return token.Ch == Lower(c);
        case TOp::AnyChar: return true;
        case TOp::Set: return Sets[token.SetIdx][c];
        case TOp::AnyRun: break;
    }
    return false;
}

// Every token but "*" takes exactly one character, so backtracking to the last "*"
// alone is enough: the match costs at most pattern × text steps and no memory.
bool TMask::Matches(std::string_view text) const {
    if (!IsValid) return false;
    const std::size_t tokens = Tokens.size();
    const std::size_t n = text.size();
    std::size_t t = 0;
    std::size_t s = 0;
    std::size_t starToken = std::string_view::npos;
    std::size_t starText = 0;
    while (s < n) {
        if (t < tokens && Tokens[t].Op == TOp::AnyRun) {
            starToken = t++;
            starText = s;
        } else if (t < tokens && TokenMatches(Tokens[t], static_cast<unsigned char>(text[s]))) {
            ++t;
            ++s;
        } else if (starToken != std::string_view::npos) {
            t = starToken + 1;
            s = ++starText;
        } else {
            return false;
        }
    }
    while (t < tokens && Tokens[t].Op == TOp::AnyRun) ++t;
    return t == tokens;
}

}  // namespace brindle

#pragma once
// The hash of a text that the string tables and the regrouping of statistics rows look texts
// up by: eight bytes at a time, so that long referrers and agents cost few steps.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace brindle {

inline std::uint64_t HashText(std::string_view text, std::uint64_t seed = 0) {
    constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ull;
    const char* p = text.data();
    std::size_t left = text.size();
    std::uint64_t h = (kMix + seed) ^ left;
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        h = (h ^ word) * kMix;
        h ^= h >> 29;
    }
    if (left > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, left);
        h = (h ^ word) * kMix;
    }
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    return h ^ (h >> 32);
}

}  // namespace brindle

#pragma once
// Finding the next byte of a small set in a log line, sixteen bytes at a time where
// the processor allows: the splitter and the URL decoder spend most of their time
// walking over ordinary characters.
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brindle {

// Position of the first byte in [from, size) equal to one of Cs; size when none.
template <char... Cs>
inline std::size_t FindAnyOf(const char* text, std::size_t from, std::size_t size) {
    std::size_t i = from;
#if defined(__SSE2__)
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(Cs)))), ...);
        if (const int mask = _mm_movemask_epi8(hits)) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i < size; ++i)
        if (((text[i] == Cs) || ...)) return i;
    return size;
}

}  // namespace brindle

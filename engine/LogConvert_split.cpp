#include "engine/LogConvert_split.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brindle {

namespace {

// Where the bytes that can change the splitter's state sit in 64 bytes of a line, one bit
// per byte: every such byte, those that count inside quotes, those that count in tab mode.
struct TBlockMasks {
    std::uint64_t Any = 0;
    std::uint64_t QuoteOrTab = 0;
    std::uint64_t Tab = 0;
};

TBlockMasks ClassifyBlock(const char* text, std::size_t size) {
    // The last piece of a line is copied into zeros, which are none of the bytes sought.
    char padded[64];
    if (size < 64) {
        std::memset(padded, 0, sizeof padded);
        std::memcpy(padded, text, size);
        text = padded;
    }
    TBlockMasks masks;
#if defined(__SSE2__)
    for (int part = 0; part < 4; ++part) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
        const __m128i tab = _mm_cmpeq_epi8(block, _mm_set1_epi8('\t'));
        const __m128i quoteOrTab = _mm_or_si128(tab, _mm_cmpeq_epi8(block, _mm_set1_epi8('"')));
        const __m128i any =
            _mm_or_si128(quoteOrTab, _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8(' ')),
                                                  _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('[')),
                                                               _mm_cmpeq_epi8(block, _mm_set1_epi8(']')))));
        const auto bits = [part](__m128i hits) {
            return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(hits))) << (16 * part);
        };
        masks.Tab |= bits(tab);
        masks.QuoteOrTab |= bits(quoteOrTab);
        masks.Any |= bits(any);
    }
#else
    for (std::size_t i = 0; i < 64; ++i) {
        const char c = text[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (c == '\t') masks.Tab |= bit;
        if (c == '\t' || c == '"') masks.QuoteOrTab |= bit;
        if (c == '\t' || c == '"' || c == ' ' || c == '[' || c == ']') masks.Any |= bit;
    }
#endif
    return masks;
}

}  // namespace

int SplitLine(std::string_view line, TSplitFields& fields) {
    const char* const text = line.data();
    const std::size_t length = line.size();
    bool inQuotes = false;
    bool inBrackets = false;
    bool tabMode = false;
    bool quotedField = false;
    int count = 0;
    std::size_t start = 0;

    auto closeField = [&](std::size_t end) {
        if (count == MaxSplitFields) return false;
        std::string_view field(text + start, end - start);
        if (quotedField && !tabMode && field.size() >= 2) field = field.substr(1, field.size() - 2);
        fields.Fields[count++] = field;
        quotedField = false;
        start = end + 1;
        return true;
    };

    // Jump from one byte that can change the state to the next, 64 bytes classified at a
    // time. Inside quotes only a quote or a tab can; in tab mode only tabs matter at all
    // (quotes are never dropped there and blanks never split, so neither quotes nor
    // brackets count).
    for (std::size_t base = 0; base < length; base += 64) {
        const TBlockMasks masks = ClassifyBlock(text + base, std::min<std::size_t>(64, length - base));
        std::uint64_t ahead = ~std::uint64_t{0};  // the bytes after the last one handled
        for (;;) {
            const std::uint64_t candidates = (tabMode ? masks.Tab : inQuotes ? masks.QuoteOrTab : masks.Any) & ahead;
            if (candidates == 0) break;
            const int bit = std::countr_zero(candidates);
            ahead = (~std::uint64_t{0} << bit) << 1;
            const std::size_t i = base + static_cast<std::size_t>(bit);
            switch (text[i]) {
                case '"':
                    if (inQuotes) quotedField = true;
                    inQuotes = !inQuotes;
                    break;
                case '[':
                    if (!inQuotes) inBrackets = true;
                    break;
                case ']':
                    if (!inQuotes) inBrackets = false;
                    break;
                case '\t':
                    // The field before the first tab still follows the blank-separated rules.
                    if (!closeField(i)) {
                        fields.N = 0;
                        return 0;
                    }
                    tabMode = true;
                    break;
                case ' ':
                    if (!inQuotes && !inBrackets && !tabMode && !closeField(i)) {
                        fields.N = 0;
                        return 0;
                    }
                    break;
                default: break;
            }
        }
    }
    if (!closeField(length)) {
        fields.N = 0;
        return 0;
    }
    fields.N = count;
    return count;
}

bool AllFieldsEndWithComma(const TSplitFields& fields, int count) {
    for (int i = 1; i <= count; ++i)
        if (!fields[i].ends_with(',')) return false;
    return true;
}

}  // namespace brindle

#include "core/TextRepair_u.h"

#include <array>
#include <cstdint>

namespace brindle {

namespace {

// Windows-1252 bytes 0x80..0x9F; the unassigned ones keep their own value.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
    return byte;
}

// Decodes the well-formed UTF-8 sequence at Pos (no overlongs, no surrogates, at most
// U+10FFFF); kInvalid when there is none, Length is then 1.
char32_t DecodeAt(std::string_view text, std::size_t pos, std::size_t& length) {
    length = 1;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return lead;
    std::size_t need = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kInvalid;
    }
    if (pos + need >= text.size()) return kInvalid;
    for (std::size_t i = 1; i <= need; ++i) {
        const unsigned char next = byte(i);
        if (next < low || next > high) return kInvalid;
        low = 0x80;
        high = 0xBF;
        cp = (cp << 6) | (next & 0x3F);
    }
    length = need + 1;
    return cp;
}

bool IsXmlChar(char32_t cp) {
    if (cp < 0x20) return cp == 0x09 || cp == 0x0A || cp == 0x0D;
    return cp != 0xFFFE && cp != 0xFFFF;
}

bool IsOutputChar(char32_t cp) { return IsXmlChar(cp) && cp != 0x7F; }

template <typename Filter>
void AppendRepaired(std::string& out, std::string_view text, Filter keep) {
    out.reserve(out.size() + text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[pos]);
        if (lead >= 0x20 && lead < 0x7F) {  // the common case: plain ASCII text
            out += static_cast<char>(lead);
            ++pos;
            continue;
        }
        std::size_t length = 1;
        char32_t cp = DecodeAt(text, pos, length);
        const bool valid = cp != kInvalid;
        if (!valid) cp = Cp1252ToCodePoint(lead);
        if (!keep(cp)) {
            AppendUtf8(out, kReplacement);
        } else if (valid) {
            out.append(text.substr(pos, length));
        } else {
            AppendUtf8(out, cp);
        }
        pos += length;
    }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t length = 1;
        if (DecodeAt(text, pos, length) == kInvalid) return false;
        pos += length;
    }
    return true;
}

void AppendRepairedUtf8(std::string& out, std::string_view text) {
    AppendRepaired(out, text, [](char32_t) { return true; });
}

std::string RepairUtf8(std::string_view text) {
    std::string out;
    AppendRepairedUtf8(out, text);
    return out;
}

void AppendRepairedXmlText(std::string& out, std::string_view text) { AppendRepaired(out, text, IsXmlChar); }

void AppendRepairedOutputText(std::string& out, std::string_view text) { AppendRepaired(out, text, IsOutputChar); }

std::string RepairOutputText(std::string_view text) {
    std::string out;
    AppendRepairedOutputText(out, text);
    return out;
}

bool IsCleanOutputText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[pos]);
        if (lead >= 0x20 && lead < 0x7F) {
            ++pos;
            continue;
        }
        std::size_t length = 1;
        const char32_t cp = DecodeAt(text, pos, length);
        if (cp == kInvalid || !IsOutputChar(cp)) return false;
        pos += length;
    }
    return true;
}

std::string RepairXmlText(std::string_view text) {
    std::string out;
    AppendRepairedXmlText(out, text);
    return out;
}

}  // namespace brindle

#include "core/LngCharset_u.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace brindle {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their C1 code points.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendWindows1252(std::string& out, unsigned char byte) {
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
}

// Length of the valid UTF-8 sequence at the start of Bytes; 0 when it is not one.
std::size_t ValidSequenceLength(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t length;
    std::uint32_t min;
    std::uint32_t cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (at(i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string RepairUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = ValidSequenceLength(bytes);
        if (length == 0) {
            AppendWindows1252(out, static_cast<unsigned char>(bytes.front()));
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

TLngDecoder::TLngDecoder(std::string_view charset) : cd_(kNoConverter) {
    if (!charset.empty()) cd_ = iconv_open("UTF-8", std::string(charset).c_str());
}

TLngDecoder::~TLngDecoder() {
    if (Known()) iconv_close(static_cast<iconv_t>(cd_));
}

bool TLngDecoder::Known() const { return cd_ != kNoConverter; }

std::string TLngDecoder::Decode(std::string_view bytes) {
    if (!Known()) return RepairUtf8(bytes);
    const auto cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(bytes.size() * 2);
    char* in = const_cast<char*>(bytes.data());  // iconv never writes through it
    std::size_t inLeft = bytes.size();
    char buffer[512];
    for (;;) {
        char* o = buffer;
        std::size_t oLeft = sizeof buffer;
        // A null input flushes the shift state once everything is read.
        const std::size_t result =
            inLeft > 0 ? iconv(cd, &in, &inLeft, &o, &oLeft) : iconv(cd, nullptr, nullptr, &o, &oLeft);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        if (result == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (inLeft == 0) break;
            // A byte this charset cannot read, or a sequence cut off at the end.
            AppendWindows1252(out, static_cast<unsigned char>(*in));
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        if (inLeft == 0 && o == buffer) break;
    }
    return out;
}

}  // namespace brindle

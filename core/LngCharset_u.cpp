#include "core/LngCharset_u.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "core/TextRepair_u.h"

namespace brindle {
namespace {

// iconv_open's own failure value.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

// One byte the charset cannot read is taken as Windows-1252.
void AppendWindows1252(std::string& out, char byte) { AppendRepairedUtf8(out, std::string_view(&byte, 1)); }

}  // namespace

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
            AppendWindows1252(out, *in);
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

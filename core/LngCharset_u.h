#pragma once
// Language files are 8-bit text in the charset their [Info] names; the program keeps UTF-8.
#include <string>
#include <string_view>

#include "core/TextRepair_u.h"

namespace brindle {

// Converts texts from one charset to UTF-8. A charset iconv does not know (or an empty name)
// keeps the bytes, repairing invalid UTF-8; a byte the charset cannot read is taken as
// Windows-1252, so the result is always valid UTF-8.
class TLngDecoder {
public:
    explicit TLngDecoder(std::string_view charset);
    ~TLngDecoder();
    TLngDecoder(const TLngDecoder&) = delete;
    TLngDecoder& operator=(const TLngDecoder&) = delete;

    bool Known() const;
    std::string Decode(std::string_view bytes);

private:
    void* cd_;  // iconv_t
};

}  // namespace brindle

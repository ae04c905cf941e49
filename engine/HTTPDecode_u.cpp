#include "engine/HTTPDecode_u.h"

#include <cstring>

#include "engine/LogConvert_scan.h"

namespace brindle {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A decoded TAB would pass for the separator of the URL-and-referrer rows, and other
// controls have no place in a report: their escapes stay as written.
bool IsControlByte(int byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

void HTTPDecode(std::string_view text, std::string& out) {
    const char* const in = text.data();
    const std::size_t n = text.size();
    std::size_t i = FindAnyOf<'+', '%'>(in, 0, n);
    // Most texts need no decoding: copy them in one go.
    if (i == n) {
        out.assign(text);
        return;
    }
    // Decoding never lengthens the text, so one buffer of the input's size suffices.
    out.resize(n);
    char* const start = out.data();
    std::memcpy(start, in, i);
    char* o = start + i;
    while (i < n) {
        const char c = in[i];
        if (c == '+') {
            *o++ = ' ';
            ++i;
        } else if (i + 1 < n && in[i + 1] == '%') {
            *o++ = '%';
            i += 2;
        } else if (i + 2 < n && HexValue(in[i + 1]) >= 0 && HexValue(in[i + 2]) >= 0) {
            const int byte = HexValue(in[i + 1]) * 16 + HexValue(in[i + 2]);
            if (IsControlByte(byte)) {
                std::memcpy(o, in + i, 3);
                o += 3;
            } else {
                *o++ = static_cast<char>(byte);
            }
            i += 3;
        } else {
            // Not an escape: many servers log such URLs as they were sent.
            *o++ = '%';
            ++i;
        }
        const std::size_t next = FindAnyOf<'+', '%'>(in, i, n);
        std::memcpy(o, in + i, next - i);
        o += next - i;
        i = next;
    }
    out.resize(static_cast<std::size_t>(o - start));
}

std::string HTTPDecode(std::string_view text) {
    std::string out;
    HTTPDecode(text, out);
    return out;
}

}  // namespace brindle

#include "engine/HTTPDecode_u.h"

namespace brindle {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void HTTPDecode(std::string_view text, std::string& out) {
    out.clear();
    // Most texts need no decoding: copy them in one go.
    const std::size_t first = text.find_first_of("+%");
    if (first == std::string_view::npos) {
        out.assign(text);
        return;
    }
    out.reserve(text.size());
    out.append(text.substr(0, first));
    const std::size_t n = text.size();
    for (std::size_t i = first; i < n; ++i) {
        const char c = text[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c != '%') {
            out.push_back(c);
        } else if (i + 1 < n && text[i + 1] == '%') {
            out.push_back('%');
            ++i;
        } else if (i + 2 < n && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            // Not an escape: many servers log such URLs as they were sent.
            out.push_back('%');
        }
    }
}

std::string HTTPDecode(std::string_view text) {
    std::string out;
    HTTPDecode(text, out);
    return out;
}

}  // namespace brindle

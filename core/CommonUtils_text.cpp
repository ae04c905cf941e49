// Text and URL helpers of the log parser and the chart labels.
#include <algorithm>
#include <cstring>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offsets where characters start; cutting only there never splits a UTF-8 sequence.
std::vector<std::size_t> CharStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i == 0 || !IsContinuationByte(text[i])) starts.push_back(i);
    return starts;
}

}  // namespace

std::string TruncateRight(std::string_view text, int limit) {
    const std::vector<std::size_t> starts = CharStarts(text);
    if (static_cast<std::int64_t>(starts.size()) <= limit) return std::string(text);
    const auto keep = static_cast<std::size_t>(std::max(limit - 3, 0));
    return std::string(text.substr(0, keep < starts.size() ? starts[keep] : text.size())) + "...";
}

std::string TruncateLeft(std::string_view text, int limit) {
    const std::vector<std::size_t> starts = CharStarts(text);
    if (static_cast<std::int64_t>(starts.size()) <= limit) return std::string(text);
    const auto keep = static_cast<std::size_t>(std::max(limit - 3, 0));
    const std::size_t from = keep == 0 ? text.size() : starts[starts.size() - keep];
    return "..." + std::string(text.substr(from));
}

std::string CutAtChar(std::string_view text, char ch) { return std::string(text.substr(0, text.find(ch))); }

void SplitAtChar(char ch, std::string_view text, std::string& head, std::string& tail) {
    const std::size_t at = text.find(ch);
    if (at == std::string_view::npos) {
        head.clear();
        tail.clear();
        return;
    }
    head.assign(text.substr(0, at));
    tail.assign(text.substr(at + 1));
}

void SplitToList(std::string_view text, char separator, std::vector<std::string>& list) {
    while (true) {
        const std::size_t at = text.find(separator);
        list.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return;
        text.remove_prefix(at + 1);
    }
}

std::string ExtractURLPath(std::string_view url) {
    if (!url.empty() && url.back() == '\\') return std::string(url);
    const std::size_t slash = url.rfind('/');
    if (slash == std::string_view::npos) return "/";
    return std::string(url.substr(0, slash + 1));
}

std::string ExtractURLExt(std::string_view url) {
    if (!url.empty() && url.back() == '\\') return {};
    const std::size_t at = url.find_last_of("/.");
    if (at == std::string_view::npos || url[at] == '/') return {};
    return std::string(url.substr(at + 1));
}

std::uint32_t IPToLong(std::string_view text) {
    unsigned char bytes[4] = {};
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return kIPNone;
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        unsigned value = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[digits] - '0');
            ++digits;
        }
        // A leading zero would be octal to some readers and decimal to others: not an address.
        if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text.front() == '0')) return kIPNone;
        bytes[part] = static_cast<unsigned char>(value);
        text.remove_prefix(digits);
    }
    if (!text.empty()) return kIPNone;
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

std::string LongToIP(std::uint32_t address) {
    unsigned char bytes[4] = {};
    std::memcpy(bytes, &address, sizeof bytes);
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text += '.';
        text += FormatInt(bytes[i]);
    }
    return text;
}

}  // namespace brindle

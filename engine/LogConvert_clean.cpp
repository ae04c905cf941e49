#include "engine/LogConvert_clean.h"

#include <charconv>
#include <limits>

#include "core/CommonUtils_u.h"
#include "engine/HTTPDecode_u.h"
#include "engine/LogConvert_record.h"
#include "engine/LogConvert_scan.h"

namespace brindle {

namespace {

void CutAt(std::string& text, char c) {
    const std::size_t pos = text.find(c);
    if (pos != std::string::npos) text.resize(pos);
}

}  // namespace

void AsciiLowerCase(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
}

void TCleanURI::Clear() {
    URI.clear();
    Ext.clear();
    Path.clear();
    Kind = 0;
    IsPage = false;
}

void AppendDefaultPage(std::string& uri, std::string_view defaultPage) {
    if (uri.empty()) {
        uri.assign(defaultPage);
        return;
    }
    if (!ExtractURLExt(uri).empty()) return;
    if (uri.back() != '/') uri.push_back('/');
    uri.append(defaultPage);
}

std::string AppendDefaultPage(std::string_view uri, std::string_view defaultPage) {
    std::string result(uri);
    AppendDefaultPage(result, defaultPage);
    return result;
}

void DecodeRequestURI(std::string_view raw, const TCleaningSwitches& switches, std::string& uri) {
    // Most URIs hold nothing to decode or cut: one scan settles it.
    if (FindAnyOf<'%', '+', '?', '#'>(raw.data(), 0, raw.size()) == raw.size()) {
        uri.assign(raw);
        return;
    }
    HTTPDecode(raw, uri);
    if (switches.RemoveTxtQuestionRequestURL) CutAt(uri, '?');
    if (switches.RemoveTxtSharpRequestURL) CutAt(uri, '#');
}

void FinishRequestURI(const TCleaningSwitches& switches, const TFileKindLookup& kindOf, TCleanURI& out) {
    AppendDefaultPage(out.URI, switches.DefaultPage);
    if (switches.ConvertLowerCaseRequestURL) AsciiLowerCase(out.URI);
    out.Ext = ExtractURLExt(out.URI);
    out.Path = ExtractURLPath(out.URI);
    out.Kind = kindOf ? kindOf(out.Ext) : 0;
    out.IsPage = out.Kind == 2;
}

void CleanRequestURI(std::string_view raw, const TCleaningSwitches& switches, const TFileKindLookup& kindOf,
                     TCleanURI& out) {
    DecodeRequestURI(raw, switches, out.URI);
    FinishRequestURI(switches, kindOf, out);
}

bool SplitRequestLine(std::string_view text, std::string_view& method, std::string_view& uri) {
    uri = {};
    const std::size_t first = text.find(' ');
    if (first == std::string_view::npos) {
        method = "GET";
        return false;
    }
    method = text.substr(0, first);
    const std::size_t second = text.find(' ', first + 1);
    if (second == std::string_view::npos) return false;
    uri = text.substr(first + 1, second - first - 1);
    return true;
}

void ParseRequestLine(std::string_view text, const TCleaningSwitches& switches, const TFileKindLookup& kindOf,
                      std::string_view& method, TCleanURI& out) {
    std::string_view uri;
    if (SplitRequestLine(text, method, uri))
        CleanRequestURI(uri, switches, kindOf, out);
    else
        out.Clear();
}

void CleanReferrer(std::string_view raw, const TCleaningSwitches& switches, std::string& out) {
    if (raw == "-") {
        out.clear();
        return;
    }
    HTTPDecode(raw, out);
    if (switches.RemoveTxtQuestionReferrerURL) CutAt(out, '?');
    if (switches.RemoveTxtSharpReferrerURL) CutAt(out, '#');
    if (switches.ConvertLowerCaseReferrerURL) AsciiLowerCase(out);
}

void DecodeUserAgent(std::string_view raw, std::string& out) {
    if (raw == "-") {
        out.clear();
        return;
    }
    HTTPDecode(raw, out);
}

TStatusInfo ParseStatus(std::string_view text) {
    TStatusInfo info;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    // A hit keeps its status in 16 bits: a wider number is no status, like a non-number.
    if (ec == std::errc() && end == text.data() + text.size() && value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max())
        info.Status = value;
    info.Partial = info.Status == 206;
    info.NotModified = info.Status == 304;
    info.IsError = info.Status >= 400 && info.Status <= 599;
    return info;
}

std::int64_t ParseBytes(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > TRecLog::kMaxBytes) return 0;
    return value;
}

}  // namespace brindle

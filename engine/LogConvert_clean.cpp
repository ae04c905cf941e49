#include "engine/LogConvert_clean.h"

#include <charconv>

#include "engine/HTTPDecode_u.h"

namespace brindle {

namespace {

// A final "\" counts as a "/", so "C:\logs\" style paths end a directory.
bool IsFinalSeparator(std::string_view url, std::size_t i) {
    return url[i] == '/' || (url[i] == '\\' && i + 1 == url.size());
}

// Local stand-in for the shared ExtractURLExt: the text after the last "." of the
// last path segment, empty when that segment has none.
std::string_view UrlExt(std::string_view url) {
    for (std::size_t i = url.size(); i-- > 0;) {
        if (IsFinalSeparator(url, i)) return {};
        if (url[i] == '.') return url.substr(i + 1);
    }
    return {};
}

// Local stand-in for the shared ExtractURLPath: the URL up to and including its last
// "/", "/" when it has none.
std::string_view UrlPath(std::string_view url) {
    for (std::size_t i = url.size(); i-- > 0;)
        if (IsFinalSeparator(url, i)) return url.substr(0, i + 1);
    return "/";
}

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
    if (!UrlExt(uri).empty()) return;
    if (uri.back() != '/') uri.push_back('/');
    uri.append(defaultPage);
}

std::string AppendDefaultPage(std::string_view uri, std::string_view defaultPage) {
    std::string result(uri);
    AppendDefaultPage(result, defaultPage);
    return result;
}

void CleanRequestURI(std::string_view raw, const TCleaningSwitches& switches, const TFileKindLookup& kindOf,
                     TCleanURI& out) {
    HTTPDecode(raw, out.URI);
    if (switches.RemoveTxtQuestionRequestURL) CutAt(out.URI, '?');
    if (switches.RemoveTxtSharpRequestURL) CutAt(out.URI, '#');
    AppendDefaultPage(out.URI, switches.DefaultPage);
    if (switches.ConvertLowerCaseRequestURL) AsciiLowerCase(out.URI);
    out.Ext.assign(UrlExt(out.URI));
    out.Path.assign(UrlPath(out.URI));
    out.Kind = kindOf ? kindOf(out.Ext) : 0;
    out.IsPage = out.Kind == 2;
}

void ParseRequestLine(std::string_view text, const TCleaningSwitches& switches, const TFileKindLookup& kindOf,
                      std::string_view& method, TCleanURI& out) {
    const std::size_t first = text.find(' ');
    if (first == std::string_view::npos) {
        method = "GET";
        out.Clear();
        return;
    }
    method = text.substr(0, first);
    const std::size_t second = text.find(' ', first + 1);
    if (second == std::string_view::npos) {
        out.Clear();
        return;
    }
    CleanRequestURI(text.substr(first + 1, second - first - 1), switches, kindOf, out);
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
    if (ec == std::errc() && end == text.data() + text.size()) info.Status = value;
    info.Partial = info.Status == 206;
    info.NotModified = info.Status == 304;
    info.IsError = info.Status >= 400 && info.Status <= 599;
    return info;
}

std::int64_t ParseBytes(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return 0;
    return value;
}

}  // namespace brindle

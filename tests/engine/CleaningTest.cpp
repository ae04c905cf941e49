#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/HTTPDecode_u.h"
#include "engine/LogConvert_clean.h"

using namespace brindle;

namespace {

// The default extension rows that matter here, compared without regard to case.
std::uint8_t KindOf(std::string_view ext) {
    std::string e(ext);
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (e == "html" || e == "htm" || e == "php") return 2;
    if (e == "gif" || e == "png") return 4;
    if (e == "zip") return 3;
    return 0;
}

TCleaningSwitches Defaults(std::string defaultPage = "index.html") {
    TCleaningSwitches s;
    s.DefaultPage = std::move(defaultPage);
    return s;
}

}  // namespace

TEST(HTTPDecode, Table) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"/plain/path.html", "/plain/path.html"},
        {"a+b", "a b"},
        {"%20", " "},
        {"%2f%2F", "//"},
        {"%41%62", "Ab"},
        {"%%", "%"},
        {"%%41", "%41"},
        {"100%", "100%"},
        {"/100%.html", "/100%.html"},  // no escape: kept as it stands
        {"%4", "%4"},
        {"%zz", "%zz"},
        {"%4g1", "%4g1"},
        {"%e9t%E9", "\xe9t\xe9"},
        {"%00x", "%00x"},  // control characters stay escaped
        {"/t%09ab.html", "/t%09ab.html"},
        {"%0d%0A%1f%7F%7f%20", "%0d%0A%1f%7F%7f "},
        {"%%09", "%09"},
        {"a%2Bb+c", "a+b c"},
    };
    for (const auto& c : cases) EXPECT_EQ(HTTPDecode(c.in), c.out) << c.in;
}

TEST(Cleaning, RequestLines) {
    const struct {
        std::string line;
        std::string method, uri, ext, path;
        int kind;
        std::string defaultPage = "index.html";
    } cases[] = {
        {"GET /a%20b.html?x=1 HTTP/1.1", "GET", "/a b.html", "html", "/", 2},
        {"GET /shop HTTP/1.0", "GET", "/shop/index.htm", "htm", "/shop/", 2, "index.htm"},
        {"GET /docs/ HTTP/1.0", "GET", "/docs/index.html", "html", "/docs/", 2},
        {"GET / HTTP/1.0", "GET", "/index.html", "html", "/", 2},
        {"GET /100%.html HTTP/1.0", "GET", "/100%.html", "html", "/", 2},
        {"HEAD /img/Logo.GIF HTTP/1.0", "HEAD", "/img/Logo.GIF", "GIF", "/img/", 4},
        {"GET /a.b/c HTTP/1.0", "GET", "/a.b/c/index.html", "html", "/a.b/c/", 2},
        {"GET /x.tar.gz HTTP/1.0", "GET", "/x.tar.gz", "gz", "/", 0},
        {"GET /p#frag HTTP/1.0", "GET", "/p/index.html", "html", "/p/", 2},
        {"GET /q.php?a#b HTTP/1.0", "GET", "/q.php", "php", "/", 2},
        // A final backslash ends a directory like "/".
        {"GET /dir\\ HTTP/1.0", "GET", "/dir\\/index.html", "html", "/dir\\/", 2},
        {"GET /a\\b.zip HTTP/1.0", "GET", "/a\\b.zip", "zip", "/", 3},
        // An empty URI takes the default page alone.
        {"GET  HTTP/1.0", "GET", "index.html", "html", "/", 2},
        // No protocol, or a single word: the URI stays empty.
        {"GET /x.html", "GET", "", "", "", 0},
        {"-", "GET", "", "", "", 0},
        {"", "GET", "", "", "", 0},
        // Without a default page a directory still gets its "/".
        {"GET /docs HTTP/1.0", "GET", "/docs/", "", "/docs/", 0, ""},
    };
    for (const auto& c : cases) {
        std::string_view method;
        TCleanURI uri;
        uri.URI = "stale";
        uri.Kind = 5;
        ParseRequestLine(c.line, Defaults(c.defaultPage), KindOf, method, uri);
        EXPECT_EQ(method, c.method) << c.line;
        EXPECT_EQ(uri.URI, c.uri) << c.line;
        EXPECT_EQ(uri.Ext, c.ext) << c.line;
        EXPECT_EQ(uri.Path, c.path) << c.line;
        EXPECT_EQ(uri.Kind, c.kind) << c.line;
        EXPECT_EQ(uri.IsPage, c.kind == 2) << c.line;
    }
}

TEST(Cleaning, SwitchesOnURIsAndReferrers) {
    TCleaningSwitches s = Defaults();
    s.RemoveTxtQuestionRequestURL = false;
    s.RemoveTxtSharpRequestURL = false;
    s.ConvertLowerCaseRequestURL = true;
    TCleanURI uri;
    CleanRequestURI("/A/\xC9T\xC9.HTML?Q=%41#X", s, {}, uri);
    EXPECT_EQ(uri.URI, "/a/\xC9t\xC9.html?q=a#x");  // ASCII letters only
    EXPECT_EQ(uri.Ext, "html?q=a#x");  // the query is not cut, so it is part of the extension
    EXPECT_EQ(uri.Kind, 0);  // no lookup given

    std::string ref = "stale";
    const std::string raw = "http://www.Google.com/search?q=Brindle+Log#top";
    CleanReferrer("-", Defaults(), ref);
    EXPECT_EQ(ref, "");
    CleanReferrer(raw, Defaults(), ref);  // the defaults cut only at "#"
    EXPECT_EQ(ref, "http://www.Google.com/search?q=Brindle Log");
    s.RemoveTxtQuestionReferrerURL = true;
    s.ConvertLowerCaseReferrerURL = true;
    CleanReferrer(raw, s, ref);
    EXPECT_EQ(ref, "http://www.google.com/search");
    s = Defaults();
    s.RemoveTxtSharpReferrerURL = false;
    CleanReferrer(raw, s, ref);
    EXPECT_EQ(ref, "http://www.Google.com/search?q=Brindle Log#top");
    CleanReferrer("http://x/index", Defaults(), ref);
    EXPECT_EQ(ref, "http://x/index");  // no default page on referrers
}

TEST(Cleaning, DefaultPage) {
    EXPECT_EQ(AppendDefaultPage("", "index.html"), "index.html");
    EXPECT_EQ(AppendDefaultPage("/docs/", "index.html"), "/docs/index.html");
    EXPECT_EQ(AppendDefaultPage("/docs", "index.html"), "/docs/index.html");
    EXPECT_EQ(AppendDefaultPage("/", "index.html"), "/index.html");
    EXPECT_EQ(AppendDefaultPage("/a.php", "index.html"), "/a.php");
    EXPECT_EQ(AppendDefaultPage("/v1.2/", "index.html"), "/v1.2/index.html");
    EXPECT_EQ(AppendDefaultPage("/", ""), "/");
}

TEST(Cleaning, StatusBytesAndAgents) {
    const struct {
        const char* text;
        int status;
        bool notModified, partial, error;
    } statuses[] = {
        {"200", 200, false, false, false},
        {"304", 304, true, false, false},
        {"206", 206, false, true, false},
        {"400", 400, false, false, true},
        {"599", 599, false, false, true},
        {"600", 600, false, false, false},
        {"399", 399, false, false, false},
        {"-", 0, false, false, false},
        {"", 0, false, false, false},
        {"20x", 0, false, false, false},
        {"99999999999", 0, false, false, false},
        // A hit keeps 16 bits of status: the ends of that range, and one past each.
        {"32767", 32767, false, false, false},
        {"32768", 0, false, false, false},
        {"-32768", -32768, false, false, false},
        {"-32769", 0, false, false, false},
    };
    for (const auto& c : statuses) {
        const TStatusInfo info = ParseStatus(c.text);
        EXPECT_EQ(info.Status, c.status) << c.text;
        EXPECT_EQ(info.NotModified, c.notModified) << c.text;
        EXPECT_EQ(info.Partial, c.partial) << c.text;
        EXPECT_EQ(info.IsError, c.error) << c.text;
    }

    EXPECT_EQ(ParseBytes("2326"), 2326);
    EXPECT_EQ(ParseBytes("-"), 0);
    EXPECT_EQ(ParseBytes(""), 0);
    EXPECT_EQ(ParseBytes("12k"), 0);
    EXPECT_EQ(ParseBytes("-5"), 0);
    EXPECT_EQ(ParseBytes("4294967296"), 4294967296LL);  // beyond 32 bits is kept
    EXPECT_EQ(ParseBytes("99999999999999999999"), 0);
    EXPECT_EQ(ParseBytes("281474976710655"), 281474976710655LL);  // 48 bits: what a hit keeps
    EXPECT_EQ(ParseBytes("281474976710656"), 0);

    std::string agent = "stale";
    DecodeUserAgent("-", agent);
    EXPECT_EQ(agent, "");
    DecodeUserAgent("Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.1)", agent);
    EXPECT_EQ(agent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
    DecodeUserAgent("", agent);
    EXPECT_EQ(agent, "");
}

TEST(HTTPDecode, AgreesWithReferenceOnRandomTexts) {
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    const auto reference = [&](const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '+') {
                out += ' ';
            } else if (s[i] != '%') {
                out += s[i];
            } else if (i + 1 < s.size() && s[i + 1] == '%') {
                out += '%';
                ++i;
            } else if (i + 2 < s.size() && hex(s[i + 1]) && hex(s[i + 2])) {
                const int byte = std::stoi(s.substr(i + 1, 2), nullptr, 16);
                out += byte < 0x20 || byte == 0x7F ? s.substr(i, 3) : std::string(1, static_cast<char>(byte));
                i += 2;
            } else {
                out += '%';
            }
        }
        return out;
    };
    std::mt19937 rng(5);
    const std::string alphabet = "aaaaaaa+%4F1g07";
    std::string out;
    for (int round = 0; round < 5000; ++round) {
        std::string text(std::uniform_int_distribution<int>(0, 70)(rng), 'a');
        for (char& c : text) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
        HTTPDecode(text, out);
        ASSERT_EQ(out, reference(text)) << text;
    }
}

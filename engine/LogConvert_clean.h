#pragma once
// Cleaning of the raw request, referrer, status, byte-count and user-agent texts of
// a log line into the values of the current hit.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace brindle {

// The options' six cleaning switches (their defaults) and the profile's default page.
struct TCleaningSwitches {
    bool RemoveTxtQuestionRequestURL = true;
    bool RemoveTxtSharpRequestURL = true;
    bool ConvertLowerCaseRequestURL = false;
    bool RemoveTxtQuestionReferrerURL = false;
    bool RemoveTxtSharpReferrerURL = true;
    bool ConvertLowerCaseReferrerURL = false;
    std::string DefaultPage;
};

// Extension (without the dot, as it stands in the URI) to file kind 0..5.
using TFileKindLookup = std::function<std::uint8_t(std::string_view ext)>;

// A cleaned request URI and its parts. The strings keep their capacity from one line
// to the next, so a reused value does not allocate per line.
struct TCleanURI {
    std::string URI;
    std::string Ext;
    std::string Path;
    std::uint8_t Kind = 0;
    bool IsPage = false;

    void Clear();
};

// Decode, cut at "?" and "#" as switched, default page, lower case as switched, then
// extension, directory and kind.
void CleanRequestURI(std::string_view raw, const TCleaningSwitches& switches, const TFileKindLookup& kindOf,
                     TCleanURI& out);

// The same in two steps, so that a caller can remember the second step's result for each
// decoded URI: decode and cut at "?" and "#" as switched; then default page, lower case as
// switched, extension, directory and kind of out.URI.
void DecodeRequestURI(std::string_view raw, const TCleaningSwitches& switches, std::string& uri);
void FinishRequestURI(const TCleaningSwitches& switches, const TFileKindLookup& kindOf, TCleanURI& out);

// The words of "METHOD URI PROTOCOL": the method ("GET" when the text has no blank) and the
// URI, the text between the first two blanks; false (URI empty) when there is no second blank.
bool SplitRequestLine(std::string_view text, std::string_view& method, std::string_view& uri);

// "METHOD URI PROTOCOL": the method is the first word ("GET" when the text has no
// blank); the URI, the text between the first two blanks, is cleaned as a request URI
// (left empty when there is no second word). `method` views into `text` or a literal.
void ParseRequestLine(std::string_view text, const TCleaningSwitches& switches, const TFileKindLookup& kindOf,
                      std::string_view& method, TCleanURI& out);

// Empty gives the default page; a URI with an extension stays; else "/" (when missing)
// and the default page are appended.
void AppendDefaultPage(std::string& uri, std::string_view defaultPage);
std::string AppendDefaultPage(std::string_view uri, std::string_view defaultPage);

// "-" gives an empty referrer; else decoded and cut or lower-cased as switched.
void CleanReferrer(std::string_view raw, const TCleaningSwitches& switches, std::string& out);

// "-" or empty gives an empty agent; else the decoded text (W3C logs write blanks as "+").
void DecodeUserAgent(std::string_view raw, std::string& out);

struct TStatusInfo {
    std::int32_t Status = 0;  // 0 when the text is not a number, or not one of 16 bits
    bool NotModified = false;  // 304
    bool Partial = false;  // 206
    bool IsError = false;  // 400..599
};
TStatusInfo ParseStatus(std::string_view text);

// Bytes sent; 0 for "-", for anything that is not a whole number and for a negative count.
std::int64_t ParseBytes(std::string_view text);

// ASCII letters only: log bytes are not text in any known encoding.
void AsciiLowerCase(std::string& text);

}  // namespace brindle

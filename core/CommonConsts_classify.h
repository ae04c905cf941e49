#pragma once
// The built-in classification rows that a fresh options object copies into its lists:
// browsers, operating systems, spiders, search engines and file extensions. Order matters,
// since every lookup over these lists takes the first match.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brindle {

// A match text and the name it gives (browsers, operating systems, spiders).
struct TDefaultUAType {
    std::string_view ID;
    std::string_view Name;
};

struct TDefaultSEType {
    std::string_view ID;  // text that must occur in the referrer
    std::string_view Query1;
    std::string_view Query2;
    std::string_view Query3;
    std::string_view Name;
};

struct TDefaultFileExt {
    std::string_view Ext;  // lower case, without the dot
    std::uint8_t FileType = 0;  // 0 none, 1 audio, 2 page, 3 download, 4 image, 5 video
};

constexpr std::size_t kDefaultBrowserCount = 38;
constexpr std::size_t kDefaultOSCount = 23;
constexpr std::size_t kDefaultSpiderCount = 54;
constexpr std::size_t kDefaultSECount = 50;
constexpr std::size_t kDefaultFileExtCount = 92;

const std::array<TDefaultUAType, kDefaultBrowserCount>& DefaultBrowserTable();
const std::array<TDefaultUAType, kDefaultOSCount>& DefaultOSTable();
const std::array<TDefaultUAType, kDefaultSpiderCount>& DefaultSpiderTable();
const std::array<TDefaultSEType, kDefaultSECount>& DefaultSETable();
const std::array<TDefaultFileExt, kDefaultFileExtCount>& DefaultFileExtTable();

}  // namespace brindle

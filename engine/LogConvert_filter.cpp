#include "engine/LogConvert_filter.h"

#include <charconv>

namespace brindle {

namespace {

bool ReadInt(std::string_view text, std::int64_t& value) {
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = v;
    return true;
}

// Characters [pos, pos + count) as far as the text reaches, all digits.
bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, int& value) {
    if (pos >= text.size()) return false;
    value = 0;
    for (const char c : text.substr(pos, count)) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// "yyyymmddhhmmss"; a 13-character text reads its last digit as the second.
bool ReadStamp(std::string_view text, std::int64_t& seconds) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!ReadDigits(text, 0, 4, y) || !ReadDigits(text, 4, 2, mo) || !ReadDigits(text, 6, 2, d) ||
        !ReadDigits(text, 8, 2, h) || !ReadDigits(text, 10, 2, mi) || !ReadDigits(text, 12, 2, s))
        return false;
    if (!IsValidDate(y, mo, d) || !IsValidTime(h, mi, s)) return false;
    seconds = EncodeDateTime(y, mo, d, h, mi, s);
    return true;
}

}  // namespace

TPreparedFilter::TPreparedFilter(std::uint8_t filterType, std::uint8_t filterItem, std::string_view value1,
                                 std::string_view value2)
    : Type(filterType), Item(filterItem) {
    switch (Item) {
        case fiHost:
        case fiURI:
        case fiReferrer:
        case fiVirtualDomain:
            Mask = TMask(value1);
            Usable = Mask.Valid();
            break;
        case fiDateRange: Usable = ReadStamp(value1, Low) && ReadStamp(value2, High); break;
        case fiDayOfWeek:
        case fiHour:
        case fiDayOfMonth:
        case fiMonth: Usable = ReadInt(value1, Low); break;
        case fiStatusRange: Usable = ReadInt(value1, Low) && ReadInt(value2, High); break;
        case fiOS:
        case fiBrowser:
        case fiSpider:
        case fiMethod:
            Text.assign(value1);
            Usable = true;
            break;
        default: break;
    }
}

bool TPreparedFilter::Matches(const THitView& hit) const {
    if (!Usable) return false;
    switch (Item) {
        case fiHost: return Mask.Matches(hit.Host);
        case fiURI: return Mask.Matches(hit.URI);
        case fiReferrer: return Mask.Matches(hit.Referrer);
        case fiVirtualDomain: return Mask.Matches(hit.VDomain);
        case fiDateRange: return Low <= hit.Time && hit.Time <= High;
        case fiDayOfWeek: return Low == hit.DayOfWeek;
        case fiHour: return Low == hit.Hour;
        case fiDayOfMonth: return Low == hit.Day;
        case fiMonth: return Low == hit.Month;
        case fiStatusRange: return Low <= hit.Status && hit.Status <= High;
        case fiOS: return Text == hit.OS;
        case fiBrowser: return Text == hit.Browser;
        case fiSpider: return Text == hit.Spider;
        case fiMethod: return Text == hit.Method;
        default: return false;
    }
}

void TFilterSet::Add(std::uint8_t filterType, std::uint8_t filterItem, std::string_view value1,
                     std::string_view value2) {
    if (filterType == ftInclude)
        Includes.emplace_back(filterType, filterItem, value1, value2);
    else if (filterType == ftExclude)
        Excludes.emplace_back(filterType, filterItem, value1, value2);
}

bool TFilterSet::Passes(const THitView& hit) const {
    if (!Includes.empty()) {
        bool included = false;
        for (const TPreparedFilter& f : Includes) {
            if (f.Matches(hit)) {
                included = true;
                break;
            }
        }
        if (!included) return false;
    }
    for (const TPreparedFilter& f : Excludes)
        if (f.Matches(hit)) return false;
    return true;
}

}  // namespace brindle

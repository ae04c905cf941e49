// Comparers behind the sortable report tables: each cell text is turned into a value
// (unreadable texts into the fallback) and the values are compared.
#include <algorithm>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

template <typename T>
int Sign3(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

double PercentValue(std::string_view text, const DisplayFormat& fmt) {
    if (!text.empty()) text.remove_suffix(1);
    double value = 0;
    return TryParseFloat(text, fmt.DecimalSeparator, value) ? value : 0;
}

std::int64_t Int64Value(std::string_view text) {
    std::int64_t value = 0;
    return TryParseInt64(text, value) ? value : 0;
}

int DayNameValue(std::string_view text) {
    for (std::size_t i = 0; i < kLongDayNames.size(); ++i)
        if (kLongDayNames[i] == text) return static_cast<int>(i) + 1;
    return -1;
}

unsigned char UpperAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

}  // namespace

int CompareSizeText(std::string_view a, std::string_view b, const DisplayFormat& fmt) {
    return Sign3(ParseSizeText(a, fmt), ParseSizeText(b, fmt));
}

int CompareDateText(std::string_view a, std::string_view b, const DisplayFormat& fmt) {
    return Sign3(ParseDateText(a, fmt).value_or(0), ParseDateText(b, fmt).value_or(0));
}

int CompareDateTimeText(std::string_view a, std::string_view b, const DisplayFormat& fmt) {
    return Sign3(ParseDateTimeText(a, fmt).value_or(0), ParseDateTimeText(b, fmt).value_or(0));
}

int CompareTimeText(std::string_view a, std::string_view b, const DisplayFormat& fmt) {
    return Sign3(ParseTimeText(a, fmt).value_or(0), ParseTimeText(b, fmt).value_or(0));
}

int CompareInt64Text(std::string_view a, std::string_view b) { return Sign3(Int64Value(a), Int64Value(b)); }

int ComparePercentText(std::string_view a, std::string_view b, const DisplayFormat& fmt) {
    return Sign3(PercentValue(a, fmt), PercentValue(b, fmt));
}

int CompareLenVisitText(std::string_view a, std::string_view b) { return Sign3(GetLeadingInt(a), GetLeadingInt(b)); }

int CompareNbVisitText(std::string_view a, std::string_view b) { return Sign3(GetLeadingInt(a), GetLeadingInt(b)); }

int CompareMonthYearText(std::string_view a, std::string_view b) {
    return Sign3(MonthYearToDate(a), MonthYearToDate(b));
}

int CompareDayNames(std::string_view a, std::string_view b) { return Sign3(DayNameValue(a), DayNameValue(b)); }

int CompareDurationText(std::string_view a, std::string_view b) {
    return Sign3(ParseDurationText(a).value_or(0), ParseDurationText(b).value_or(0));
}

int CompareStrCase(std::string_view a, std::string_view b, int mode) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (mode != 1) {
            ca = UpperAscii(ca);
            cb = UpperAscii(cb);
        }
        if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
    }
    return Sign3(a.size(), b.size());
}

}  // namespace brindle

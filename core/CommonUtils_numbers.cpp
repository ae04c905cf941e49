// Number texts: display numbers with the DisplayFormat's separator, version texts with ".".
// Everything goes through to_chars/from_chars, so the C locale never changes a result.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Adds one to a run of decimal digits; false when it overflows ("99" becomes "00").
bool IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return true;
        }
        *it = '0';
    }
    return false;
}

// Magnitude of Value in fixed notation with "." as decimal point. The value is first taken
// to 15 significant digits and then rounded half away from zero, so 0.125 gives "0.13" and
// 1.005 gives "1.01" the way people expect from the printed figures.
std::string FixedMagnitude(double magnitude, int decimals) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));  // d.ddddddddddddddde+XX
    std::string digits;
    digits += sci[0];
    const std::size_t ePos = sci.find('e');
    digits.append(sci.substr(2, ePos - 2));
    std::string_view expText = sci.substr(ePos + 1);
    if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    // Digits of Value * 10^Decimals as an integer.
    const int keep = exponent + 1 + decimals;
    std::string scaled;
    if (keep >= 0) {
        const auto significant = static_cast<int>(digits.size());
        scaled = digits.substr(0, static_cast<std::size_t>(std::min(keep, significant)));
        if (keep > significant) scaled.append(static_cast<std::size_t>(keep - significant), '0');
        if (keep < significant && digits[static_cast<std::size_t>(keep)] >= '5' && !IncrementDigits(scaled))
            scaled.insert(scaled.begin(), '1');
    }
    const auto minLength = static_cast<std::size_t>(decimals) + 1;
    if (scaled.size() < minLength) scaled.insert(0, minLength - scaled.size(), '0');
    const std::size_t firstNonZero = scaled.find_first_not_of('0');
    const std::size_t strip =
        std::min(firstNonZero == std::string::npos ? scaled.size() : firstNonZero, scaled.size() - minLength);
    scaled.erase(0, strip);
    if (decimals > 0) scaled.insert(scaled.size() - static_cast<std::size_t>(decimals), 1, '.');
    return scaled;
}

std::string FixedText(double value, int decimals, std::string_view separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    decimals = std::clamp(decimals, 0, 30);
    std::string text = FixedMagnitude(std::fabs(value), decimals);
    const bool isZero = text.find_first_not_of("0.") == std::string::npos;
    if (decimals > 0 && separator != ".") {
        const std::size_t point = text.size() - static_cast<std::size_t>(decimals) - 1;
        text.replace(point, 1, separator.empty() ? std::string_view(".") : separator);
    }
    if (value < 0 && !isZero) text.insert(text.begin(), '-');
    return text;
}

std::int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (value < -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::string PaddedDigits(std::uint64_t magnitude, int minDigits) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
    const auto length = static_cast<int>(res.ptr - buf);
    std::string text;
    if (length < minDigits) text.append(static_cast<std::size_t>(minDigits - length), '0');
    text.append(buf, res.ptr);
    return text;
}

}  // namespace

std::string FormatInt(std::int64_t value, int minDigits) {
    if (value >= 0) return PaddedDigits(static_cast<std::uint64_t>(value), minDigits);
    return '-' + PaddedDigits(std::uint64_t{0} - static_cast<std::uint64_t>(value), minDigits);
}

bool TryParseInt64(std::string_view text, std::int64_t& value) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return false;
    }
    std::int64_t result = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), result);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
    value = result;
    return true;
}

bool TryParseFloat(std::string_view text, std::string_view decimalSeparator, double& value) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string number(text);
    if (!decimalSeparator.empty() && decimalSeparator != ".") {
        // Only the display separator is a decimal point; "1.5" is not a number in a "," locale.
        if (number.find('.') != std::string::npos) return false;
        const std::size_t at = number.find(decimalSeparator);
        if (at != std::string::npos) number.replace(at, decimalSeparator.size(), ".");
    }
    // Leaves out "inf", "nan" and a second sign, which from_chars would take.
    if (number.empty() || !(IsDigit(number.front()) || number.front() == '.')) return false;
    double result = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), result);
    if (res.ec != std::errc() || res.ptr != number.data() + number.size() || !std::isfinite(result)) return false;
    value = negative ? -result : result;
    return true;
}

std::int64_t GetLeadingInt(std::string_view text) {
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) break;
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
            return std::numeric_limits<std::int64_t>::max();
        value = value * 10 + digit;
    }
    return value;
}

std::int64_t ParseSizeText(std::string_view text, const DisplayFormat& fmt) {
    const std::size_t cut = text.size() >= 3 ? text.size() - 3 : 0;
    const std::string_view unitText = text.substr(cut);
    double number = 0;
    if (!TryParseFloat(text.substr(0, cut), fmt.DecimalSeparator, number)) number = 0;
    double unit = 1;
    if (unitText == " GB")
        unit = 1073741824.0;
    else if (unitText == " MB")
        unit = 1048576.0;
    else if (unitText == " kB")
        unit = 1024.0;
    return TruncateToInt64(number * unit);
}

std::string FormatSize(std::int64_t bytes, const DisplayFormat& fmt) {
    constexpr std::int64_t kGB = 1073741824;
    constexpr std::int64_t kMB = 1048576;
    const auto value = static_cast<double>(bytes);
    if (bytes >= kGB) return FormatFixed(value / static_cast<double>(kGB), 2, fmt) + " GB";
    if (bytes >= kMB) return FormatFixed(value / static_cast<double>(kMB), 2, fmt) + " MB";
    return FormatFixed(value / 1024.0, 2, fmt) + " kB";
}

std::string FormatPercent(std::int64_t part, std::int64_t total, const DisplayFormat& fmt) {
    double value = 0;
    if (part != 0) value = total == 0 ? 100.0 : static_cast<double>(part) / static_cast<double>(total) * 100.0;
    return FormatFixed(value, 2, fmt) + "%";
}

double Ratio(std::int64_t part, std::int64_t total) {
    if (total == 0) return static_cast<double>(part);
    return static_cast<double>(part) / static_cast<double>(total);
}

std::string FormatFixed(double value, int decimals, const DisplayFormat& fmt) {
    return FixedText(value, decimals, fmt.DecimalSeparator);
}

std::string FloatToFixed(int /*width*/, int decimals, double value) { return FixedText(value, decimals, "."); }

double StrToFloatDot(std::string_view text) {
    double value = 0;
    if (!TryParseFloat(text, ".", value))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return value;
}

std::string FormatDuration(std::int64_t seconds) {
    std::string text;
    if (seconds < 0) text += '-';
    // Unsigned negation so that the most negative value has a magnitude too.
    const std::uint64_t magnitude =
        seconds < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
    text += PaddedDigits(magnitude / 3600, 2);
    text += ':';
    text += PaddedDigits(magnitude / 60 % 60, 2);
    text += ':';
    text += PaddedDigits(magnitude % 60, 2);
    return text;
}

std::optional<std::int64_t> ParseDurationText(std::string_view text) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    std::int64_t total = 0;
    int fields = 0;
    while (true) {
        const std::size_t colon = text.find(':');
        const std::string_view field = text.substr(0, colon);
        ++fields;
        // The leading field may be as long as it likes; minutes and seconds are below 60.
        if (field.empty() || fields > 3 || field.size() > 15) return std::nullopt;
        std::int64_t value = 0;
        for (const char c : field) {
            if (!IsDigit(c)) return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (fields > 1 && (field.size() > 2 || value >= 60)) return std::nullopt;
        if (total > (std::numeric_limits<std::int64_t>::max() - value) / 60) return std::nullopt;
        total = total * 60 + value;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    return negative ? -total : total;
}

}  // namespace brindle

#include "core/DateMacros_u.h"

#include <limits>
#include <string_view>
#include <utility>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

std::string ChangeCase(std::string_view text, bool upper) {
    std::string out(text);
    for (char& c : out) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// Reads and removes the first "%date<offset>%" token; only that one counts.
int TakeDayOffset(std::string& text) {
    const std::size_t start = text.find("%date");
    if (start == std::string::npos) return 0;
    const std::size_t close = text.find('%', start + 5);
    const std::size_t end = close == std::string::npos ? text.size() : close;
    const std::string_view offsetText = std::string_view(text).substr(start + 5, end - start - 5);
    std::int64_t offset = 0;
    const bool readable = TryParseInt64(offsetText, offset) && offset >= std::numeric_limits<int>::min() &&
                          offset <= std::numeric_limits<int>::max();
    text.erase(start, (close == std::string::npos ? text.size() : close + 1) - start);
    return readable ? static_cast<int>(offset) : 0;
}

// "%mon%", "%Mon%" and "%MON%" style macros of one name.
void ReplaceNameMacros(std::string& text, std::string_view macro, std::string_view name) {
    const std::string lower = ChangeCase(macro, false);
    const std::string upper = ChangeCase(macro, true);
    ReplaceAll(text, "%" + lower + "%", ChangeCase(name, false));
    ReplaceAll(text, "%" + std::string(macro) + "%", name);
    ReplaceAll(text, "%" + upper + "%", ChangeCase(name, true));
}

}  // namespace

int WeekOfMonth(int year, int month, int day) {
    const std::int64_t serial = EncodeDate(year, month, day);
    const std::int64_t thursday = serial - IsoDayOfWeek(serial) + 4;
    const TDateParts owner = DecodeDateTime(StartOfDay(thursday));
    const std::int64_t first = EncodeDate(owner.Year, owner.Month, 1);
    const std::int64_t firstThursday = first + (4 - IsoDayOfWeek(first) + 7) % 7;
    return static_cast<int>((thursday - firstThursday) / 7) + 1;
}

std::string ExpandDateMacros(const std::string& templ) { return ExpandDateMacros(templ, NowLocal()); }

std::string ExpandDateMacros(const std::string& templ, TSeconds now) {
    std::string text = templ;
    const int offset = TakeDayOffset(text);
    // Local wall-clock seconds: whole days move the date and keep the time of day.
    const TSeconds reference = now + static_cast<TSeconds>(offset) * kSecondsPerDay;
    const TDateParts p = DecodeDateTime(reference);
    const int dayOfWeek = IsoDayOfWeek(DayOf(reference));

    const std::pair<std::string_view, std::string> numbers[] = {
        {"%dd%", FormatInt(p.Day, 2)},
        {"%mm%", FormatInt(p.Month, 2)},
        {"%yy%", FormatInt((p.Year % 100 + 100) % 100, 2)},
        {"%yyyy%", FormatInt(p.Year, 4)},
        {"%dw%", FormatInt(dayOfWeek, 1)},
        {"%dy%", FormatInt(DayOfYear(p.Year, p.Month, p.Day), 3)},
        {"%wm%", FormatInt(WeekOfMonth(p.Year, p.Month, p.Day), 1)},
        {"%wy%", FormatInt(IsoWeekOfYear(p.Year, p.Month, p.Day), 2)},
    };
    for (const auto& [macro, value] : numbers) ReplaceAll(text, macro, value);

    const auto day = static_cast<std::size_t>(dayOfWeek - 1);
    const auto month = static_cast<std::size_t>(p.Month - 1);
    ReplaceNameMacros(text, "Dow", kShortDayNames[day]);
    ReplaceNameMacros(text, "DayOfWeek", kLongDayNames[day]);
    ReplaceNameMacros(text, "Mon", kShortMonthNames[month]);
    ReplaceNameMacros(text, "Month", kLongMonthNames[month]);
    return text;
}

}  // namespace brindle

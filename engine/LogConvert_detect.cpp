#include <charconv>

#include "core/DateTime_u.h"
#include "engine/LogConvert_split.h"

namespace brindle {

namespace {

// A whole decimal integer other than -1 (the value a failed conversion gave).
bool IsCountField(std::string_view text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty() && value != -1;
}

bool IsNCSALine(const TSplitFields& f) {
    const std::string_view date = f[4];
    // A "-" byte count is what a 304 or an aborted request logs: it proves nothing against the format.
    return date.size() >= 2 && date.front() == '[' && date.back() == ']' && IsCountField(f[6]) &&
           (IsCountField(f[7]) || f[7] == "-");
}

template <std::size_t N>
bool FieldsAre(const TSplitFields& f, const std::string_view (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (f[static_cast<int>(i) + 1] != words[i]) return false;
    return true;
}

constexpr std::string_view kIISHeader[] = {"#Software:", "Microsoft", "Internet", "Information"};
constexpr std::string_view kISAHeader[] = {"#Software:", "Microsoft(R)", "Internet", "Security", "and", "Acceleration"};

}  // namespace

std::uint8_t DetectLineFormat(std::string_view line, TSplitFields& f) {
    const int n = SplitLine(line, f);
    if (n == 7 && IsNCSALine(f)) return lfNCSACommon;
    if (n > 7 && IsNCSALine(f)) return lfNCSACombined;
    if (n == 15 && AllFieldsEndWithComma(f, 15)) return lfIIS;
    if (n > 5 && FieldsAre(f, kIISHeader)) return lfIISW3C;
    if (n >= 8 && FieldsAre(f, kISAHeader)) return lfISAW3C;
    return 0;
}

TDateOrderDetector::TDateOrderDetector(int fileYear, int fileMonth, int fileDay)
    : FileYear(fileYear),
      FileMonth(fileMonth),
      FileDay(fileDay),
      FileDateValid(IsValidDate(fileYear, fileMonth, fileDay)) {}

std::uint8_t TDateOrderDetector::AddLine(std::string_view line) {
    if (!FileDateValid) return 0;
    if (SplitLine(line, Scratch) != 15 || !AllFieldsEndWithComma(Scratch, 15)) return 0;
    std::string_view date = Scratch[3];
    date.remove_suffix(1);

    // Digit runs; every other character starts the next part.
    int values[3] = {-1, -1, -1};
    std::size_t partStart = 0;
    int parts = 0;
    char lastSeparator = 0;
    for (std::size_t i = 0; i <= date.size(); ++i) {
        const bool atEnd = i == date.size();
        if (!atEnd && date[i] >= '0' && date[i] <= '9') continue;
        if (parts == 3) return 0;
        const std::string_view part = date.substr(partStart, i - partStart);
        int value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        values[parts++] = ec == std::errc() && end == part.data() + part.size() && !part.empty() ? value : -1;
        if (!atEnd) lastSeparator = date[i];
        partStart = i + 1;
    }
    if (parts != 3) return 0;

    for (int i = 0; i < 3; ++i) {
        if (Roles[i] != TRole::Unknown) continue;
        const int v = values[i];
        if (v == 0 || v > 31)
            Roles[i] = TRole::Year;
        else if (v >= 13 && v <= 31)
            Roles[i] = TRole::Day;
        else if (v == FileDay && v != FileMonth && v != FileYear)
            Roles[i] = TRole::Day;
        else if (v == FileMonth && v != FileDay && v != FileYear)
            Roles[i] = TRole::Month;
        else if (v == FileYear && v != FileDay && v != FileMonth)
            Roles[i] = TRole::Year;
    }

    switch (Roles[0]) {
        case TRole::Year: return doYMD;
        case TRole::Month: return doMDY;
        case TRole::Day: return doDMY;
        case TRole::Unknown: break;
    }
    if (Roles[1] == TRole::Day) return doMDY;
    if (Roles[2] == TRole::Year) {
        if (lastSeparator == '.') return doDMY;
        if (lastSeparator == '/') return doMDY;
        return 0;
    }
    if (Roles[2] == TRole::Day) return doYMD;
    return 0;
}

}  // namespace brindle

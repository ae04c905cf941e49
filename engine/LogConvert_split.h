#pragma once
// Splitting a log line into fields, and recognising a file's log format.
#include <array>
#include <cstdint>
#include <string_view>

namespace brindle {

constexpr int MaxSplitFields = 50;
constexpr int DetectLineLimit = 100;

// Log format codes as the profile stores them.
enum : std::uint8_t {
    lfAutoDetect = 0,
    lfNCSACommon = 1,
    lfNCSACombined = 2,
    lfApacheCommon = 3,
    lfApacheCombined = 4,
    lfIIS = 5,
    lfIISW3C = 6,
    lfISAW3C = 7,
    lfCustomFC = 101,
};

// Date orders of the IIS comma format's date field.
enum : std::uint8_t {
    doDetect = 0,
    doDMY = 1,
    doMDY = 2,
    doDYM = 3,
    doYDM = 4,
    doMYD = 5,
    doYMD = 6,
};

// The fields of the current line, numbered 1..50, as views into the line: they are
// valid while the line's text is. Fields above the count read as empty, so a short
// line never shows text left over from an earlier one.
class TSplitFields {
public:
    int Count() const { return N; }
    std::string_view operator[](int i) const { return i >= 1 && i <= N ? Fields[i - 1] : std::string_view(); }

private:
    friend int SplitLine(std::string_view line, TSplitFields& fields);
    std::array<std::string_view, MaxSplitFields> Fields{};
    int N = 0;
};

// Splits at blanks outside quotes and brackets, or at tabs once the line has one;
// a field closed by a quote loses its enclosing quotes (not in tab mode). Returns
// the number of fields (1..50), or 0 when the line has more than 50.
int SplitLine(std::string_view line, TSplitFields& fields);

// The format a single line proves, or 0 when it proves none.
std::uint8_t DetectLineFormat(std::string_view line, TSplitFields& scratch);

// The format of the first lines of a file: 1, 2, 5, 6, 7, or 0 when none of the
// first 100 lines decides. `lines` is any range of texts (string, string_view).
template <class Lines>
std::uint8_t DetectLogFormat(const Lines& lines) {
    TSplitFields scratch;
    int seen = 0;
    for (const auto& line : lines) {
        if (seen++ >= DetectLineLimit) break;
        if (const std::uint8_t format = DetectLineFormat(std::string_view(line), scratch)) return format;
    }
    return 0;
}

// Progress of date-order detection over the lines of an IIS comma file: the role
// found for each of the three date parts, kept from one line to the next.
class TDateOrderDetector {
public:
    // The file's modification date; an invalid date makes every answer 0.
    TDateOrderDetector(int fileYear, int fileMonth, int fileDay);
    // The order (1 D-M-Y, 2 M-D-Y, 6 Y-M-D) once this line decides it, else 0.
    std::uint8_t AddLine(std::string_view line);

private:
    enum class TRole : std::uint8_t { Unknown, Day, Month, Year };
    int FileYear, FileMonth, FileDay;
    bool FileDateValid;
    std::array<TRole, 3> Roles{};
    TSplitFields Scratch;
};

// The date order of an IIS comma file from its first lines and its modification date
// (the caller reads the date; pass 0s when it cannot): 1, 2, 6, or 0 when undecided.
template <class Lines>
std::uint8_t DetectDateOrder(int fileYear, int fileMonth, int fileDay, const Lines& lines) {
    TDateOrderDetector detector(fileYear, fileMonth, fileDay);
    int seen = 0;
    for (const auto& line : lines) {
        if (seen++ >= DetectLineLimit) break;
        if (const std::uint8_t order = detector.AddLine(std::string_view(line))) return order;
    }
    return 0;
}

// True when each of the fields 1..count ends with ",".
bool AllFieldsEndWithComma(const TSplitFields& fields, int count);

}  // namespace brindle

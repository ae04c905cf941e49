#pragma once
// Stateless helpers shared by the engine, the views and the exports: cell comparers,
// size/percent/month formatters, text and URL helpers, number conversions for version
// texts and IPv4 addresses, Tmp folder clean-up and English shortcut texts.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTime_u.h"
#include "core/DisplayFormat.h"

namespace brindle {

// Raised by StrToFloatDot; the message is "'<text>' is not a valid floating point value".
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---- Comparers: 1 when A sorts after B, -1 when before, 0 when equal. ----

int CompareSizeText(std::string_view a, std::string_view b, const DisplayFormat& fmt = DefaultDisplayFormat());
int CompareDateText(std::string_view a, std::string_view b, const DisplayFormat& fmt = DefaultDisplayFormat());
int CompareDateTimeText(std::string_view a, std::string_view b, const DisplayFormat& fmt = DefaultDisplayFormat());
int CompareTimeText(std::string_view a, std::string_view b, const DisplayFormat& fmt = DefaultDisplayFormat());
int CompareInt64Text(std::string_view a, std::string_view b);
int ComparePercentText(std::string_view a, std::string_view b, const DisplayFormat& fmt = DefaultDisplayFormat());
int CompareLenVisitText(std::string_view a, std::string_view b);
int CompareNbVisitText(std::string_view a, std::string_view b);
int CompareMonthYearText(std::string_view a, std::string_view b);
// Unknown names sort before "Monday".
int CompareDayNames(std::string_view a, std::string_view b);
// Durations such as "25:00:00", "1:05:00", "12:30" or "0:05"; unreadable texts count as 0.
int CompareDurationText(std::string_view a, std::string_view b);
// Mode 1: ordinal and case-sensitive; any other mode folds ASCII letters. Negative, 0 or
// positive, not limited to -1 and 1.
int CompareStrCase(std::string_view a, std::string_view b, int mode);

// ---- Number parsers and formatters ----

// The whole text (blanks around it allowed, optional sign) as a number; false when it is not one.
bool TryParseInt64(std::string_view text, std::int64_t& value);
// As TryParseInt64, with DecimalSeparator as the only decimal point; no infinities or NaN.
bool TryParseFloat(std::string_view text, std::string_view decimalSeparator, double& value);

// Plain decimal with at least MinDigits digits (leading zeros after any "-"): FormatInt(5, 2) is "05".
std::string FormatInt(std::int64_t value, int minDigits = 1);

// The run of digits at the start of the text; 0 when it does not start with one.
std::int64_t GetLeadingInt(std::string_view text);
// Reads back what FormatSize writes ("1.50 kB" gives 1536); 0 when unreadable.
std::int64_t ParseSizeText(std::string_view text, const DisplayFormat& fmt = DefaultDisplayFormat());
// "0.00 kB", "1024.00 kB", "1.00 MB", "1.00 GB".
std::string FormatSize(std::int64_t bytes, const DisplayFormat& fmt = DefaultDisplayFormat());
// "0.00%", "100.00%" when Total is 0, "33.33%".
std::string FormatPercent(std::int64_t part, std::int64_t total, const DisplayFormat& fmt = DefaultDisplayFormat());
// Part / Total; Part itself when Total is 0.
double Ratio(std::int64_t part, std::int64_t total);
// Fixed notation with Decimals digits (rounded half away from zero at 15 significant
// digits) and the display decimal separator: the "%f" of report cells.
std::string FormatFixed(double value, int decimals, const DisplayFormat& fmt = DefaultDisplayFormat());
// Fixed notation with "." whatever the locale, for version texts ("1.10"). Width only
// right-aligns before the blanks are removed again, so it never changes the result.
std::string FloatToFixed(int width, int decimals, double value);
// The whole text read with "." as decimal point; raises EConvertError when it is not a number.
double StrToFloatDot(std::string_view text);

// "hh:mm:ss" with as many hour digits as needed ("25:00:00"); negative values get a "-".
std::string FormatDuration(std::int64_t seconds);
// Reads "h:mm:ss", "mm:ss" or plain seconds as FormatDuration and the duration cells write them.
std::optional<std::int64_t> ParseDurationText(std::string_view text);

// ---- Dates in the display formats ----

// A date-time by a pattern of DisplayFormat's pattern language.
std::string FormatDateTimePattern(std::string_view pattern, TSeconds value,
                                  const DisplayFormat& fmt = DefaultDisplayFormat());
// Reads what FormatDateTimePattern writes (English names ignoring case, numbers with
// fewer digits, runs of blanks, two-digit years as 1950..2049). Parts missing from the
// pattern keep 1899-12-30 00:00; an impossible date or time gives nothing.
std::optional<TSeconds> ParseDateTimePattern(std::string_view pattern, std::string_view text,
                                             const DisplayFormat& fmt = DefaultDisplayFormat());

std::string FormatDateText(TSeconds value, const DisplayFormat& fmt = DefaultDisplayFormat());  // short date
std::string FormatTimeText(TSeconds value, const DisplayFormat& fmt = DefaultDisplayFormat());  // time of day
// The short date, then a blank and the time unless the time is exactly midnight.
std::string FormatDateTimeText(TSeconds value, const DisplayFormat& fmt = DefaultDisplayFormat());
std::optional<TSeconds> ParseDateText(std::string_view text, const DisplayFormat& fmt = DefaultDisplayFormat());
std::optional<TSeconds> ParseTimeText(std::string_view text, const DisplayFormat& fmt = DefaultDisplayFormat());
std::optional<TSeconds> ParseDateTimeText(std::string_view text, const DisplayFormat& fmt = DefaultDisplayFormat());

// Turns a Qt date/time pattern (QLocale::dateFormat / timeFormat) into DisplayFormat's
// language. Two-digit years become four-digit ones and time-zone letters are dropped.
std::string QtPatternToDisplayPattern(std::string_view qtPattern);

// "January 2007": the month's long name (English, or the given names) and the year.
std::string FormatMonthYear(TSeconds date);
std::string FormatMonthYear(const std::array<std::string, 12>& longMonthNames, TSeconds date);
// "March 2007" gives 2007-03-01 00:00; 0 when the text names no valid month and year.
TSeconds MonthYearToDate(std::string_view text);

// ---- Text and URL helpers ----

// A text longer than Limit characters (UTF-8 code points) becomes its first Limit - 3
// characters and "..." (TruncateRight) or "..." and its last Limit - 3 (TruncateLeft).
std::string TruncateRight(std::string_view text, int limit);
std::string TruncateLeft(std::string_view text, int limit);

// The part before the first Ch; the whole text when Ch does not occur.
std::string CutAtChar(std::string_view text, char ch);
// Head and Tail around the first Ch; both empty when Ch does not occur.
void SplitAtChar(char ch, std::string_view text, std::string& head, std::string& tail);
// Appends every piece between separators and always the last one (an empty text gives one
// empty piece). The list is not cleared.
void SplitToList(std::string_view text, char separator, std::vector<std::string>& list);

// The URL up to and including its last "/"; "/" when it has none. A "\" that ends the text
// counts as a "/".
std::string ExtractURLPath(std::string_view url);
// The text after the last "." of the last path segment; empty when there is none.
std::string ExtractURLExt(std::string_view url);

// ---- IPv4 addresses, kept in network byte order (the bytes in memory read a.b.c.d) ----

constexpr std::uint32_t kIPNone = 0xFFFFFFFFu;
// A strict dotted quad (four decimal parts 0..255, no leading zeros, nothing else);
// kIPNone for any other text.
std::uint32_t IPToLong(std::string_view text);
std::string LongToIP(std::uint32_t address);

// ---- Files ----

// Deletes the plain files directly inside Folder (not hidden ones, not sub-folders, not
// links); files that cannot be deleted are skipped.
void DeleteFolderFiles(const std::string& folder);

// ---- Menu shortcuts ----

// Names a key code without an English name of its own; the UI supplies Qt's key names.
using TKeyNameFunc = std::function<std::string(int keyCode)>;
constexpr std::uint16_t kShortCutShift = 0x2000;
constexpr std::uint16_t kShortCutCtrl = 0x4000;
constexpr std::uint16_t kShortCutAlt = 0x8000;
// Low byte: virtual key code; high byte: Shift, Ctrl, Alt. "Shift+Ctrl+Alt+F5"; empty when
// the key has no name.
std::string ShortCutToTextEn(std::uint16_t shortCut, const TKeyNameFunc& keyName = {});

}  // namespace brindle

// Dates and times in the display patterns (see core/DisplayFormat.h), and month-year texts.
#include <algorithm>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

enum class TokenKind {
    Literal,
    Day,
    Day2,
    DayShort,
    DayLong,
    Month,
    Month2,
    MonthShort,
    MonthLong,
    Year2,
    Year4,
    Hour,
    Hour2,
    Minute,
    Minute2,
    Second,
    Second2,
    Milli,
    Milli3,
    AmPm,
};

struct Token {
    TokenKind Kind = TokenKind::Literal;
    std::string Text;  // literal text, or the AM text
    std::string PmText;  // AmPm only
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void AddLiteral(std::vector<Token>& tokens, std::string_view text) {
    if (!tokens.empty() && tokens.back().Kind == TokenKind::Literal)
        tokens.back().Text.append(text);
    else
        tokens.push_back({TokenKind::Literal, std::string(text), {}});
}

std::vector<Token> Tokenize(std::string_view pattern, const DisplayFormat& fmt) {
    std::vector<Token> tokens;
    bool afterHour = false;  // "m" right after an hour means minutes
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const std::string_view rest = pattern.substr(i);
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            AddLiteral(tokens, pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        if (StartsWithIgnoreCase(rest, "am/pm")) {
            tokens.push_back({TokenKind::AmPm, std::string(rest.substr(0, 2)), std::string(rest.substr(3, 2))});
            i += 5;
            continue;
        }
        if (StartsWithIgnoreCase(rest, "a/p")) {
            tokens.push_back({TokenKind::AmPm, std::string(rest.substr(0, 1)), std::string(rest.substr(2, 1))});
            i += 3;
            continue;
        }
        if (StartsWithIgnoreCase(rest, "ampm")) {
            tokens.push_back({TokenKind::AmPm, fmt.TimeAMString, fmt.TimePMString});
            i += 4;
            continue;
        }
        const char letter = LowerAscii(c);
        if (std::string_view("dmyhnsz").find(letter) == std::string_view::npos) {
            AddLiteral(tokens, pattern.substr(i, 1));
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && LowerAscii(pattern[i + run]) == letter) ++run;
        i += run;
        TokenKind kind = TokenKind::Literal;
        switch (letter) {
            case 'd':
                kind = run == 1   ? TokenKind::Day
                       : run == 2 ? TokenKind::Day2
                       : run == 3 ? TokenKind::DayShort
                                  : TokenKind::DayLong;
                break;
            case 'm':
                if (afterHour && run <= 2)
                    kind = run == 1 ? TokenKind::Minute : TokenKind::Minute2;
                else
                    kind = run == 1   ? TokenKind::Month
                           : run == 2 ? TokenKind::Month2
                           : run == 3 ? TokenKind::MonthShort
                                      : TokenKind::MonthLong;
                break;
            case 'y': kind = run <= 2 ? TokenKind::Year2 : TokenKind::Year4; break;
            case 'h': kind = run == 1 ? TokenKind::Hour : TokenKind::Hour2; break;
            case 'n': kind = run == 1 ? TokenKind::Minute : TokenKind::Minute2; break;
            case 's': kind = run == 1 ? TokenKind::Second : TokenKind::Second2; break;
            default: kind = run <= 2 ? TokenKind::Milli : TokenKind::Milli3; break;
        }
        afterHour = letter == 'h';
        tokens.push_back({kind, {}, {}});
    }
    return tokens;
}

bool HasAmPm(const std::vector<Token>& tokens) {
    for (const Token& t : tokens)
        if (t.Kind == TokenKind::AmPm) return true;
    return false;
}

std::string FormatTokens(const std::vector<Token>& tokens, TSeconds value) {
    const TDateParts p = DecodeDateTime(value);
    const bool twelveHour = HasAmPm(tokens);
    const int hour = twelveHour ? (p.Hour % 12 == 0 ? 12 : p.Hour % 12) : p.Hour;
    const int dayOfWeek = IsoDayOfWeek(DayOf(value));
    std::string out;
    for (const Token& t : tokens) {
        switch (t.Kind) {
            case TokenKind::Literal: out += t.Text; break;
            case TokenKind::Day: out += FormatInt(p.Day, 1); break;
            case TokenKind::Day2: out += FormatInt(p.Day, 2); break;
            case TokenKind::DayShort: out += kShortDayNames[static_cast<std::size_t>(dayOfWeek - 1)]; break;
            case TokenKind::DayLong: out += kLongDayNames[static_cast<std::size_t>(dayOfWeek - 1)]; break;
            case TokenKind::Month: out += FormatInt(p.Month, 1); break;
            case TokenKind::Month2: out += FormatInt(p.Month, 2); break;
            case TokenKind::MonthShort: out += kShortMonthNames[static_cast<std::size_t>(p.Month - 1)]; break;
            case TokenKind::MonthLong: out += kLongMonthNames[static_cast<std::size_t>(p.Month - 1)]; break;
            case TokenKind::Year2: out += FormatInt((p.Year % 100 + 100) % 100, 2); break;
            case TokenKind::Year4: out += FormatInt(p.Year, 4); break;
            case TokenKind::Hour: out += FormatInt(hour, 1); break;
            case TokenKind::Hour2: out += FormatInt(hour, 2); break;
            case TokenKind::Minute: out += FormatInt(p.Minute, 1); break;
            case TokenKind::Minute2: out += FormatInt(p.Minute, 2); break;
            case TokenKind::Second: out += FormatInt(p.Second, 1); break;
            case TokenKind::Second2: out += FormatInt(p.Second, 2); break;
            case TokenKind::Milli: out += '0'; break;
            case TokenKind::Milli3: out += "000"; break;
            case TokenKind::AmPm: out += p.Hour < 12 ? t.Text : t.PmText; break;
        }
    }
    return out;
}

// Reads what FormatTokens writes from a text cursor.
class TokenReader {
public:
    explicit TokenReader(std::string_view text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

    bool Number(int maxDigits, int& value) {
        std::size_t digits = 0;
        value = 0;
        while (pos_ < text_.size() && static_cast<int>(digits) < maxDigits && text_[pos_] >= '0' &&
               text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            ++digits;
        }
        return digits > 0;
    }

    // Blanks in the pattern match any run of blanks, other characters match ignoring case.
    bool Literal(std::string_view literal) {
        for (const char c : literal) {
            if (IsBlank(c)) {
                SkipBlanks();
            } else {
                if (pos_ >= text_.size() || LowerAscii(text_[pos_]) != LowerAscii(c)) return false;
                ++pos_;
            }
        }
        return true;
    }

    // Index of the longest name that the text continues with; -1 when none.
    template <std::size_t N, typename Name>
    int OneOf(const std::array<Name, N>& names) {
        int best = -1;
        std::size_t bestLength = 0;
        for (std::size_t i = 0; i < N; ++i) {
            const std::string_view name(names[i]);
            if (!name.empty() && name.size() > bestLength && StartsWithIgnoreCase(text_.substr(pos_), name)) {
                best = static_cast<int>(i);
                bestLength = name.size();
            }
        }
        pos_ += bestLength;
        return best;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<TSeconds> ParseTokens(const std::vector<Token>& tokens, std::string_view text) {
    TDateParts p;
    int hour = 0;
    int isPm = -1;  // -1: no am/pm in the text
    TokenReader reader(text);
    reader.SkipBlanks();
    for (const Token& t : tokens) {
        int number = 0;
        bool ok = true;
        switch (t.Kind) {
            case TokenKind::Literal: ok = reader.Literal(t.Text); break;
            case TokenKind::Day:
            case TokenKind::Day2: ok = reader.Number(2, p.Day); break;
            case TokenKind::DayShort: ok = reader.OneOf(kShortDayNames) >= 0; break;
            case TokenKind::DayLong: ok = reader.OneOf(kLongDayNames) >= 0; break;
            case TokenKind::Month:
            case TokenKind::Month2: ok = reader.Number(2, p.Month); break;
            case TokenKind::MonthShort:
                number = reader.OneOf(kShortMonthNames);
                ok = number >= 0;
                p.Month = number + 1;
                break;
            case TokenKind::MonthLong:
                number = reader.OneOf(kLongMonthNames);
                ok = number >= 0;
                p.Month = number + 1;
                break;
            case TokenKind::Year2:
                ok = reader.Number(2, number);
                p.Year = number < 50 ? 2000 + number : 1900 + number;
                break;
            case TokenKind::Year4: ok = reader.Number(4, p.Year); break;
            case TokenKind::Hour:
            case TokenKind::Hour2: ok = reader.Number(2, hour); break;
            case TokenKind::Minute:
            case TokenKind::Minute2: ok = reader.Number(2, p.Minute); break;
            case TokenKind::Second:
            case TokenKind::Second2: ok = reader.Number(2, p.Second); break;
            case TokenKind::Milli: ok = reader.Number(2, number); break;
            case TokenKind::Milli3: ok = reader.Number(3, number); break;
            case TokenKind::AmPm: {
                const std::array<std::string_view, 2> texts = {t.Text, t.PmText};
                isPm = reader.OneOf(texts);
                ok = isPm >= 0;
                break;
            }
        }
        if (!ok) return std::nullopt;
    }
    reader.SkipBlanks();
    if (!reader.AtEnd()) return std::nullopt;
    if (isPm >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (isPm == 1 ? 12 : 0);
    }
    p.Hour = hour;
    if (!IsValidDate(p.Year, p.Month, p.Day) || !IsValidTime(p.Hour, p.Minute, p.Second)) return std::nullopt;
    return EncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second);
}

std::vector<Token> DateTimeTokens(const DisplayFormat& fmt) {
    std::vector<Token> tokens = Tokenize(fmt.ShortDateFormat, fmt);
    AddLiteral(tokens, " ");
    for (Token& t : Tokenize(fmt.TimeFormat, fmt)) tokens.push_back(std::move(t));
    return tokens;
}

TSeconds TimeOfDay(TSeconds value) { return value - StartOfDay(DayOf(value)); }

// A Qt literal as DisplayFormat text: letters and quotes are quoted so they stay literal.
void AppendQtLiteral(std::string& out, char c) {
    const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (c == '"')
        out += "'\"'";
    else if (isLetter || c == '\'')
        out.append("\"").append(1, c).append("\"");
    else
        out += c;
}

std::string MonthYearText(std::string_view monthName, TSeconds date) {
    return std::string(monthName) + ' ' + FormatInt(DecodeDateTime(date).Year);
}

}  // namespace

std::string FormatDateTimePattern(std::string_view pattern, TSeconds value, const DisplayFormat& fmt) {
    return FormatTokens(Tokenize(pattern, fmt), value);
}

std::optional<TSeconds> ParseDateTimePattern(std::string_view pattern, std::string_view text,
                                             const DisplayFormat& fmt) {
    return ParseTokens(Tokenize(pattern, fmt), text);
}

std::string FormatDateText(TSeconds value, const DisplayFormat& fmt) {
    return FormatDateTimePattern(fmt.ShortDateFormat, value, fmt);
}

std::string FormatTimeText(TSeconds value, const DisplayFormat& fmt) {
    return FormatDateTimePattern(fmt.TimeFormat, value, fmt);
}

std::string FormatDateTimeText(TSeconds value, const DisplayFormat& fmt) {
    if (TimeOfDay(value) == 0) return FormatDateText(value, fmt);
    return FormatTokens(DateTimeTokens(fmt), value);
}

std::optional<TSeconds> ParseDateText(std::string_view text, const DisplayFormat& fmt) {
    return ParseDateTimePattern(fmt.ShortDateFormat, text, fmt);
}

std::optional<TSeconds> ParseTimeText(std::string_view text, const DisplayFormat& fmt) {
    return ParseDateTimePattern(fmt.TimeFormat, text, fmt);
}

std::optional<TSeconds> ParseDateTimeText(std::string_view text, const DisplayFormat& fmt) {
    if (auto both = ParseTokens(DateTimeTokens(fmt), text)) return both;
    return ParseDateText(text, fmt);
}

std::string QtPatternToDisplayPattern(std::string_view qt) {
    std::string out;
    std::size_t i = 0;
    while (i < qt.size()) {
        const char c = qt[i];
        if (c == '\'') {
            // Quoted text; '' is a quote, inside or outside quoted text.
            if (i + 1 < qt.size() && qt[i + 1] == '\'') {
                AppendQtLiteral(out, '\'');
                i += 2;
                continue;
            }
            ++i;
            while (i < qt.size()) {
                if (qt[i] == '\'') {
                    if (i + 1 < qt.size() && qt[i + 1] == '\'') {
                        AppendQtLiteral(out, '\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                AppendQtLiteral(out, qt[i]);
                ++i;
            }
            continue;
        }
        std::size_t run = 1;
        while (i + run < qt.size() && qt[i + run] == c) ++run;
        switch (c) {
            case 'd': out.append(std::min<std::size_t>(run, 4), 'd'); break;
            case 'M': out.append(std::min<std::size_t>(run, 4), 'm'); break;
            case 'y': out += "yyyy"; break;  // four-digit years wherever a date is shown
            case 'h':
            case 'H': out += run >= 2 ? "hh" : "h"; break;
            case 'm': out += run >= 2 ? "nn" : "n"; break;
            case 's': out += run >= 2 ? "ss" : "s"; break;
            case 'z': out += run >= 3 ? "zzz" : "z"; break;
            case 't':
                // Time zones are not kept; drop the blank that separated the zone.
                while (!out.empty() && out.back() == ' ') out.pop_back();
                break;
            case 'A':
            case 'a':
                if (run == 1 && i + 1 < qt.size() && (qt[i + 1] == 'P' || qt[i + 1] == 'p')) run = 2;
                out += "ampm";
                break;
            default:
                for (std::size_t k = 0; k < run; ++k) AppendQtLiteral(out, c);
                break;
        }
        i += run;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string FormatMonthYear(TSeconds date) {
    return MonthYearText(kLongMonthNames[static_cast<std::size_t>(DecodeDateTime(date).Month - 1)], date);
}

std::string FormatMonthYear(const std::array<std::string, 12>& longMonthNames, TSeconds date) {
    return MonthYearText(longMonthNames[static_cast<std::size_t>(DecodeDateTime(date).Month - 1)], date);
}

TSeconds MonthYearToDate(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return 0;
    const std::string_view name = text.substr(0, blank);
    int month = 0;
    for (std::size_t i = 0; i < kLongMonthNames.size(); ++i)
        if (kLongMonthNames[i] == name) month = static_cast<int>(i) + 1;
    std::int64_t year = -1;
    if (!TryParseInt64(text.substr(blank + 1), year)) year = -1;
    if (month == 0 || year < 1 || year > 9999 || !IsValidDate(static_cast<int>(year), month, 1)) return 0;
    return StartOfDay(EncodeDate(static_cast<int>(year), month, 1));
}

}  // namespace brindle

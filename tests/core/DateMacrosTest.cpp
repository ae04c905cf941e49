#include <gtest/gtest.h>

#include "core/DateMacros_u.h"

using namespace brindle;

namespace {

// Monday 5 March 2007, 10:20:30 local time.
const TSeconds kMonday = EncodeDateTime(2007, 3, 5, 10, 20, 30);

std::string Expand(const std::string& templ, TSeconds now = kMonday) { return ExpandDateMacros(templ, now); }

}  // namespace

TEST(DateMacros, Templates) {
    EXPECT_EQ(Expand("ex%yy%%mm%%dd%.log"), "ex070305.log");
    EXPECT_EQ(Expand("%date-1%ex%yy%%mm%%dd%.log"), "ex070304.log");
    EXPECT_EQ(Expand("/logs/%yyyy%/%mm%/access-%yyyy%%mm%%dd%.log"), "/logs/2007/03/access-20070305.log");
    // The offset token may stand anywhere; the other macros then use the moved date.
    EXPECT_EQ(Expand("a%yyyy%-%mm%-%dd%%date+7%b"), "a2007-03-12b");
    EXPECT_EQ(Expand("%date+30%%yyyy%%mm%%dd%"), "20070404");
    EXPECT_EQ(Expand("%date-64%%yyyy%%mm%%dd%"), "20061231");
    // Only the first token is read; a second stays as written.
    EXPECT_EQ(Expand("%date+1%x%date+2%%dd%"), "x%date+2%06");
    // No closing "%": the rest of the text is the offset and goes with it.
    EXPECT_EQ(Expand("log%dd%%date-3"), "log02");
    EXPECT_EQ(Expand("log%dd%%date-3.log"), "log05");  // "-3.log" is unreadable: 0
    // Unreadable or empty offsets count as 0.
    EXPECT_EQ(Expand("%datex%%dd%"), "05");
    EXPECT_EQ(Expand("%date%%dd%"), "05");
    EXPECT_EQ(Expand("%date+99999999999%%dd%"), "05");
    EXPECT_EQ(Expand("%date+%%dd%"), "05");
    EXPECT_EQ(Expand("%date+0007%%dd%"), "12");
    // Texts without macros come back unchanged, other "%" texts too.
    for (const char* text : {"", "/var/log/access.log", "100%", "%foo%", "%DD%", "%Yyyy%", "%", "%%"})
        EXPECT_EQ(Expand(text), text) << text;
    // Case-sensitive token.
    EXPECT_EQ(Expand("%DATE+1%%dd%"), "%DATE+1%05");
}

TEST(DateMacros, EveryMacro) {
    EXPECT_EQ(Expand("%dd%|%mm%|%yy%|%yyyy%|%dw%|%dy%|%wm%|%wy%"), "05|03|07|2007|1|064|2|10");
    EXPECT_EQ(Expand("%dow%|%Dow%|%DOW%|%dayofweek%|%DayOfWeek%|%DAYOFWEEK%"), "mon|Mon|MON|monday|Monday|MONDAY");
    EXPECT_EQ(Expand("%mon%|%Mon%|%MON%|%month%|%Month%|%MONTH%"), "mar|Mar|MAR|march|March|MARCH");
    EXPECT_EQ(Expand("%dd%%dd%"), "0505");  // every occurrence
    // Replaced in the fixed order: "%dd%" first, so it takes the "%" that closes "%mm%".
    EXPECT_EQ(Expand("%mm%dd%"), "%mm05");
    const TSeconds sunday = EncodeDateTime(2000, 1, 2, 0, 0, 0);
    EXPECT_EQ(Expand("%yy%%yyyy% %dw% %dy% %wy% %wm% %Dow% %Mon%", sunday), "002000 7 002 52 5 Sun Jan");
    EXPECT_EQ(Expand("%dy%", EncodeDateTime(2008, 12, 31, 23, 59, 59)), "366");
    EXPECT_EQ(Expand("%yyyy%", EncodeDateTime(999, 6, 1, 0, 0, 0)), "0999");
}

TEST(DateMacros, WeeksAtMonthAndYearEdges) {
    struct Row {
        int y, m, d;
        const char* expected;  // "%wm% %wy% %yyyy%"
    };
    const Row rows[] = {
        {2007, 3, 1, "1 09 2007"},  // Thursday: week 1 of March
        {2007, 4, 1, "5 13 2007"},  // Sunday: still March's 5th week
        {2007, 4, 2, "1 14 2007"},  // Monday: week 1 of April (Thursday the 5th)
        {2007, 12, 31, "1 01 2007"},  // week 1 of January 2008, ISO week 1
        {2010, 1, 3, "5 53 2010"},  // December 2009's last week, ISO week 53 of 2009
        {2010, 1, 4, "1 01 2010"},   {2015, 2, 1, "5 05 2015"},  // belongs to January's 5th week
        {2021, 2, 28, "4 08 2021"},  // February 2021 has exactly four weeks
        {2021, 1, 1, "5 53 2021"},  // Friday: December 2020's week 5, ISO week 53
        {2008, 12, 29, "1 01 2008"},  // Monday of ISO week 1 of 2009
    };
    for (const Row& r : rows)
        EXPECT_EQ(Expand("%wm% %wy% %yyyy%", EncodeDateTime(r.y, r.m, r.d, 12, 0, 0)), r.expected)
            << r.y << "-" << r.m << "-" << r.d;
    // Every day of a few years: week of month 1..5 and consistent with the week's Thursday.
    for (std::int64_t day = EncodeDate(2019, 1, 1); day < EncodeDate(2026, 1, 1); ++day) {
        const TDateParts p = DecodeDateTime(StartOfDay(day));
        const int week = WeekOfMonth(p.Year, p.Month, p.Day);
        ASSERT_GE(week, 1);
        ASSERT_LE(week, 5);
        const std::int64_t thursday = day - IsoDayOfWeek(day) + 4;
        const TDateParts t = DecodeDateTime(StartOfDay(thursday));
        ASSERT_EQ(week, (t.Day - 1) / 7 + 1) << p.Year << "-" << p.Month << "-" << p.Day;
    }
}

TEST(DateMacros, DaylightSavingChangeNeverShiftsTheDate) {
    // Local wall-clock references around the European and US clock changes of 2023: moving
    // by days keeps the time of day, so the date moves by exactly one.
    struct Row {
        TSeconds now;
        const char* minusOne;
        const char* plusOne;
    };
    const Row rows[] = {
        {EncodeDateTime(2023, 3, 26, 0, 30, 0), "20230325", "20230327"},
        {EncodeDateTime(2023, 3, 26, 23, 30, 0), "20230325", "20230327"},
        {EncodeDateTime(2023, 3, 27, 0, 30, 0), "20230326", "20230328"},
        {EncodeDateTime(2023, 10, 29, 0, 30, 0), "20231028", "20231030"},
        {EncodeDateTime(2023, 10, 29, 23, 59, 59), "20231028", "20231030"},
        {EncodeDateTime(2023, 3, 12, 2, 30, 0), "20230311", "20230313"},
        {EncodeDateTime(2023, 11, 5, 1, 30, 0), "20231104", "20231106"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Expand("%date-1%%yyyy%%mm%%dd%", r.now), r.minusOne);
        EXPECT_EQ(Expand("%date+1%%yyyy%%mm%%dd%", r.now), r.plusOne);
    }
}

TEST(DateMacros, LocalNow) {
    const auto today = [] { return ExpandDateMacros("%yyyy%%mm%%dd%", NowLocal()); };
    const std::string before = today();
    const std::string result = ExpandDateMacros("%yyyy%%mm%%dd%");
    const std::string after = today();
    EXPECT_TRUE(result == before || result == after) << result;
}

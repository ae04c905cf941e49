#include <gtest/gtest.h>

#include <string>

#include "engine/LogConvert_time.h"

using namespace brindle;

namespace {

struct TExpect {
    int y, mo, d, h, mi, s;
};

void ExpectParts(const THitTime& t, TExpect e, const std::string& what) {
    EXPECT_EQ(t.Time, EncodeDateTime(e.y, e.mo, e.d, e.h, e.mi, e.s)) << what;
    EXPECT_EQ(t.Year, e.y) << what;
    EXPECT_EQ(t.Month, e.mo) << what;
    EXPECT_EQ(t.Day, e.d) << what;
    EXPECT_EQ(t.Hour, e.h) << what;
    EXPECT_EQ(t.Minute, e.mi) << what;
    EXPECT_EQ(t.Second, e.s) << what;
    EXPECT_EQ(t.DayNo, EncodeDate(e.y, e.mo, e.d)) << what;
    EXPECT_EQ(t.MonthStart, EncodeDate(e.y, e.mo, 1)) << what;
    EXPECT_EQ(t.DayOfWeek, IsoDayOfWeek(EncodeDate(e.y, e.mo, e.d))) << what;
}

}  // namespace

TEST(Timestamp, NCSA) {
    THitTime t;
    ASSERT_TRUE(ParseNCSADateTime("[10/Oct/2000:13:55:36 -0700]", 0, t));
    ExpectParts(t, {2000, 10, 10, 13, 55, 36}, "plain");
    EXPECT_EQ(t.DayOfWeek, 2);  // a Tuesday

    const char* const bad[] = {
        "[10/oct/2000:13:55:36 -0700]",  // month names are case-sensitive
        "[10/Okt/2000:13:55:36 -0700]",
        "[31/Apr/2000:13:55:36 -0700]",  // impossible date
        "[29/Feb/1900:00:00:00 +0000]",
        "[10/Oct/2000:24:00:00 -0700]",
        "[10/Oct/2000:13:60:00 -0700]",
        "[1x/Oct/2000:13:55:36 -0700]",
        "[10/Oct/1899:13:55:36 -0700]",  // before 1900
        "[10/Oct/0000:13:55:36 -0700]",
        "[10/Oct/2000:13:55",
        "",
        "-",
    };
    for (const char* text : bad) EXPECT_FALSE(ParseNCSADateTime(text, 0, t)) << text;
    // Positions are fixed; the zone is never read.
    EXPECT_TRUE(ParseNCSADateTime("[01/Jan/1900:00:00:00", 0, t));
}

TEST(Timestamp, W3C) {
    THitTime t;
    ASSERT_TRUE(ParseW3CDateTime("2003-02-13", "23:59:59", 0, t));
    ExpectParts(t, {2003, 2, 13, 23, 59, 59}, "w3c");
    EXPECT_FALSE(ParseW3CDateTime("2003-02-30", "00:00:00", 0, t));
    EXPECT_FALSE(ParseW3CDateTime("2003-02-13", "0:00:00", 0, t));
    EXPECT_FALSE(ParseW3CDateTime("", "", 0, t));
    EXPECT_FALSE(ParseW3CDateTime("1850-01-01", "00:00:00", 0, t));
}

TEST(Timestamp, IISInEveryOrder) {
    const struct {
        const char* date;
        int order;
        TExpect e;
    } cases[] = {
        {"1/2/03", 1, {2003, 2, 1, 7, 5, 9}},  // D-M-Y
        {"1/2/03", 2, {2003, 1, 2, 7, 5, 9}},  // M-D-Y
        {"1/03/2", 3, {2003, 2, 1, 7, 5, 9}},  // D-Y-M
        {"03/1/2", 4, {2003, 2, 1, 7, 5, 9}},  // Y-D-M
        {"2/03/1", 5, {2003, 2, 1, 7, 5, 9}},  // M-Y-D
        {"2003-02-01", 6, {2003, 2, 1, 7, 5, 9}}, {"1.2.49", 1, {2049, 2, 1, 7, 5, 9}},
        {"1.2.50", 1, {1950, 2, 1, 7, 5, 9}},     {"1.2.99", 1, {1999, 2, 1, 7, 5, 9}},
        {"1.2.0", 1, {2000, 2, 1, 7, 5, 9}},
    };
    THitTime t;
    for (const auto& c : cases) {
        ASSERT_TRUE(ParseIISDateTime(c.date, "7:05:09", c.order, 0, t)) << c.date << " order " << c.order;
        ExpectParts(t, c.e, c.date);
    }
    const struct {
        const char* date;
        const char* time;
        int order;
    } bad[] = {
        {"1/2/03", "7:05:09", 0},  // order outside 1..6
        {"1/2/03", "7:05:09", 7},  {"1/2/03/4", "7:05:09", 1},  // a fourth part
        {"1/2", "7:05:09", 1},  // too few parts
        {"1//03", "7:05:09", 1},  // an empty part
        {"1/2/03", "7:05", 1},     {"1/2/03", "7:05:09:1", 1}, {"31/2/03", "7:05:09", 1},  // impossible date
        {"1/2/100", "7:05:09", 1},  // year 100 is used as it stands: before 1900
        {"1/2/03", "25:00:00", 1},
    };
    for (const auto& c : bad) EXPECT_FALSE(ParseIISDateTime(c.date, c.time, c.order, 0, t)) << c.date << " " << c.time;
}

TEST(Timestamp, OffsetAcrossMidnightAndYearEnd) {
    THitTime t;
    // Minus one hour: 00:30 on 1 January 2004 becomes 23:30 on 31 December 2003.
    ASSERT_TRUE(ParseNCSADateTime("[01/Jan/2004:00:30:00 +0000]", TimeOffsetSeconds(-1, 1, 0), t));
    ExpectParts(t, {2003, 12, 31, 23, 30, 0}, "minus one hour");
    EXPECT_EQ(t.DayOfWeek, 3);  // a Wednesday

    ASSERT_TRUE(ParseW3CDateTime("2003-12-31", "23:45:10", TimeOffsetSeconds(1, 0, 30), t));
    ExpectParts(t, {2004, 1, 1, 0, 15, 10}, "plus thirty minutes");

    ASSERT_TRUE(ParseIISDateTime("2/28/04", "22:00:00", 2, TimeOffsetSeconds(1, 5, 0), t));
    ExpectParts(t, {2004, 2, 29, 3, 0, 0}, "into the leap day");

    ASSERT_TRUE(ParseNCSADateTime("[15/Jun/2004:10:20:30 +0000]", TimeOffsetSeconds(-1, 2, 30), t));
    ExpectParts(t, {2004, 6, 15, 7, 50, 30}, "same day");

    EXPECT_EQ(TimeOffsetSeconds(-1, 2, 30), -9000);
    EXPECT_EQ(TimeOffsetSeconds(1, 0, 0), 0);
}

#include <gtest/gtest.h>

#include "core/DateTime_u.h"

using namespace brindle;

TEST(DateTime, OriginAndRoundTrip) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569);
    EXPECT_EQ(IsoDayOfWeek(0), 6);  // a Saturday
    for (TSeconds s : {TSeconds{0}, TSeconds{-1}, EncodeDateTime(2007, 3, 5, 23, 59, 59),
                       EncodeDateTime(1600, 2, 29, 12, 0, 1), EncodeDateTime(9999, 12, 31, 0, 0, 0)}) {
        const TDateParts p = DecodeDateTime(s);
        EXPECT_EQ(EncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second), s);
    }
    const TDateParts before = DecodeDateTime(-1);
    EXPECT_EQ(before.Day, 29);
    EXPECT_EQ(before.Hour, 23);
}

TEST(DateTime, IsoWeeks) {
    EXPECT_EQ(IsoWeekOfYear(2007, 3, 5), 10);
    EXPECT_EQ(IsoWeekOfYear(2008, 12, 29), 1);  // Monday of week 1 of 2009
    EXPECT_EQ(IsoWeekOfYear(2010, 1, 3), 53);  // Sunday still in 2009's week 53
    EXPECT_EQ(IsoWeekOfYear(2021, 1, 4), 1);
    EXPECT_EQ(DayOfYear(2008, 12, 31), 366);
    EXPECT_EQ(IsoDayOfWeek(EncodeDate(2007, 3, 5)), 1);
}

TEST(DateTime, StoredDoubleForm) {
    const TSeconds s = EncodeDateTime(2007, 3, 5, 12, 30, 15);
    EXPECT_EQ(DateTimeToSeconds(SecondsToDateTime(s)), s);
    EXPECT_EQ(DateTimeToSeconds(1.0 / 0.0), 0);
}

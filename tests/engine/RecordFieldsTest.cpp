#include <gtest/gtest.h>

#include <limits>

#include "core/DateTime_u.h"
#include "engine/LogConvert_records.h"
#include "engine/LogConvert_tables.h"

using namespace brindle;

// The date parts a record gives from its time, against values worked out by hand (and by
// another calendar implementation): boundaries of years, months and days, leap days and
// the centuries that have none, the origin, the Unix epoch and both ends of what the
// parser accepts once an offset has moved them.
TEST(RecordFields, DatePartsAtTheEdges) {
    const struct {
        TSeconds Time;
        std::int32_t DayNo;
        int Year, Month, Day, Hour, Minute, Second, Weekday;
    } cases[] = {
        {-1, -1, 1899, 12, 29, 23, 59, 59, 5},  // one second before the origin
        {0, 0, 1899, 12, 30, 0, 0, 0, 6},
        {171000, 1, 1899, 12, 31, 23, 30, 0, 7},  // 1900-01-01 00:30 an hour back
        {5270399, 60, 1900, 2, 28, 23, 59, 59, 3},  // 1900 has no leap day
        {5270400, 61, 1900, 3, 1, 0, 0, 0, 4},
        {2209161599, 25568, 1969, 12, 31, 23, 59, 59, 3},
        {2209161600, 25569, 1970, 1, 1, 0, 0, 0, 4},
        {3160987200, 36585, 2000, 2, 29, 12, 0, 0, 2},  // 2000 has one
        {3282076799, 37986, 2003, 12, 31, 23, 59, 59, 3},
        {3282076800, 37987, 2004, 1, 1, 0, 0, 0, 4},
        {3287260799, 38046, 2004, 2, 29, 23, 59, 59, 7},
        {3287260800, 38047, 2004, 3, 1, 0, 0, 0, 1},
        {6316639628, 73109, 2100, 2, 28, 6, 7, 8, 7},  // 2100 has none
        {6316704000, 73110, 2100, 3, 1, 0, 0, 0, 1},
        {255611462399, 2958465, 9999, 12, 31, 23, 59, 59, 5},
        {255611465999, 2958466, 10000, 1, 1, 0, 59, 59, 6},  // an hour on
    };
    for (const auto& c : cases) {
        TRecLog rec;
        rec.Time = c.Time;
        SCOPED_TRACE(c.Time);
        EXPECT_EQ(rec.DayNo(), c.DayNo);
        EXPECT_EQ(rec.Year(), c.Year);
        EXPECT_EQ(rec.Month(), c.Month);
        EXPECT_EQ(rec.Day(), c.Day);
        EXPECT_EQ(rec.Hour(), c.Hour);
        EXPECT_EQ(rec.Minute(), c.Minute);
        EXPECT_EQ(rec.Second(), c.Second);
        EXPECT_EQ(rec.DayOfWeek(), c.Weekday);
        EXPECT_EQ(rec.MonthStart(), c.DayNo - c.Day + 1);
        EXPECT_EQ(rec.MonthKey(), c.Year * 16 + c.Month);
    }
}

// Every day from before the origin to past the parser's last, against a calendar that
// only counts days forward: the record's date, weekday and month start, and a time of day
// that moves from day to day.
TEST(RecordFields, EveryDayMatchesACountedCalendar) {
    int year = 1899, month = 12, day = 28, weekday = 4;  // day -2, a Thursday
    std::int32_t monthStart = -2 - 27;
    const std::int32_t last = static_cast<std::int32_t>(EncodeDate(9999, 12, 31)) + 2;
    for (std::int32_t dayNo = -2; dayNo <= last; ++dayNo) {
        const TSeconds second = (static_cast<TSeconds>(dayNo) * 7919) % kSecondsPerDay;
        TRecLog rec;
        rec.Time = StartOfDay(dayNo) + (second < 0 ? second + kSecondsPerDay : second);
        const TSeconds ofDay = rec.Time - StartOfDay(dayNo);
        const TCivilDate date = rec.Date();
        if (date.Year != year || date.Month != month || date.Day != day || rec.DayNo() != dayNo ||
            rec.DayOfWeek() != weekday || rec.MonthStart() != monthStart || rec.Hour() != ofDay / 3600 ||
            rec.Minute() != ofDay / 60 % 60 || rec.Second() != ofDay % 60) {
            FAIL() << "day " << dayNo << ": " << date.Year << '-' << date.Month << '-' << date.Day << " weekday "
                   << rec.DayOfWeek() << ", expected " << year << '-' << month << '-' << day << " weekday " << weekday;
        }
        weekday = weekday % 7 + 1;
        if (++day > DaysInMonth(year, month)) {
            day = 1;
            monthStart = dayNo + 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
}

// The 16-bit index fields take 0 to 65535; anything else leaves the field as it was, so
// that no index is cut short.
TEST(RecordFields, SmallIndicesTakeSixteenBitsAndRefuseMore) {
    const struct {
        TTableId Table;
        std::uint16_t TRecLog::*Field;
    } fields[] = {{tiBrowser, &TRecLog::BrowserIdx}, {tiOS, &TRecLog::OSIdx}, {tiSpider, &TRecLog::SpiderIdx}};
    const struct {
        std::int32_t Index;
        bool Fits;
    } indices[] = {{0, true},
                   {1, true},
                   {0xFFFF, true},
                   {0x10000, false},
                   {-1, false},
                   {0x7FFFFFFF, false},
                   {std::numeric_limits<std::int32_t>::min(), false}};
    for (const auto& f : fields) {
        for (const auto& i : indices) {
            TRecLog rec;
            rec.*f.Field = 7;
            EXPECT_EQ(SetSmallIndex(rec, f.Table, i.Index), i.Fits) << f.Table << ' ' << i.Index;
            EXPECT_EQ(rec.*f.Field, i.Fits ? i.Index : 7) << f.Table << ' ' << i.Index;
        }
    }
    // A table kept in 32 bits is not one of them: extensions are as many as a log's URLs make.
    TRecLog rec;
    EXPECT_FALSE(SetSmallIndex(rec, tiHost, 3));
    EXPECT_FALSE(SetSmallIndex(rec, tiExt, 3));

    // The merge's renumbering: every kept index mapped, a 16-bit one that cannot hold its
    // new index left alone.
    rec.HostIdx = 1;
    rec.UserIdx = 2;
    rec.URIIdx = 3;
    rec.ReferrerIdx = 5;
    rec.BrowserIdx = 7;
    rec.OSIdx = 8;
    rec.SpiderIdx = 9;
    RemapRecordIndices(rec, [](TTableId table, std::int32_t index) {
        return table == tiOS ? 0x10000 : index * 1000 + static_cast<std::int32_t>(table);
    });
    EXPECT_EQ(rec.HostIdx, 1000 + tiHost);
    EXPECT_EQ(rec.UserIdx, 2000 + tiUser);
    EXPECT_EQ(rec.URIIdx, 3000 + tiURI);
    EXPECT_EQ(rec.ReferrerIdx, 5000 + tiReferrer);
    EXPECT_EQ(rec.BrowserIdx, 7000 + tiBrowser);
    EXPECT_EQ(rec.OSIdx, 8);
    EXPECT_EQ(rec.SpiderIdx, 9000 + tiSpider);
}

// A URL's extension and folder come from its index; a hit without request line has the
// empty ones of its own, apart from those of the empty URL of a request.
TEST(RecordFields, URLPartsByURLAndForHitsWithoutRequest) {
    TLstRecLog list;
    TRecLog page;
    page.URIIdx = 3;
    TRecLog none;
    none.URIIdx = 0;
    none.NoRequest = 1;
    TRecLog emptyURL;
    emptyURL.URIIdx = 0;
    TRecLog unknown;
    unknown.URIIdx = 99;
    EXPECT_EQ(list.ExtIdx(page), 0);  // nothing set: index 0, as a record made by hand has
    EXPECT_EQ(list.PathIdx(none), 0);
    list.URIParts().Set(page, {5, 6});
    list.URIParts().Set(none, {7, 8});
    list.URIParts().Set(emptyURL, {9, 10});
    EXPECT_EQ(list.ExtIdx(page), 5);
    EXPECT_EQ(list.PathIdx(page), 6);
    EXPECT_EQ(list.ExtIdx(none), 7);
    EXPECT_EQ(list.PathIdx(none), 8);
    EXPECT_EQ(list.ExtIdx(emptyURL), 9);
    EXPECT_EQ(list.PathIdx(emptyURL), 10);
    EXPECT_EQ(list.ExtIdx(unknown), 0);

    // Appending another list takes its parts along; clearing forgets them.
    TLstRecLog more;
    more.Add(page);
    TRecLog other;
    other.URIIdx = 4;
    more.URIParts().Set(other, {1, 2});
    list.AppendStored(more);
    EXPECT_EQ(list.PathIdx(other), 2);
    EXPECT_EQ(list.PathIdx(page), 6);
    EXPECT_EQ(list.PathIdx(none), 8);
    list.Clear();
    EXPECT_EQ(list.PathIdx(page), 0);
    EXPECT_EQ(list.PathIdx(none), 0);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "engine/LogConvert_records.h"

using namespace brindle;

namespace {

TLstRecLog RandomList(std::size_t n, std::uint32_t seed, TSeconds timeSpread) {
    std::mt19937 rng(seed);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TLstRecLog list;
    for (std::size_t i = 0; i < n; ++i) {
        TRecLog r;
        r.Seq = static_cast<std::int32_t>(i + 1);
        r.HostIdx = any(0, 50);
        r.BrowserIdx = any(0, 3);
        r.OSIdx = any(0, 70000);  // more than two bytes of key
        r.ReferrerIdx = any(0, 1 << 30);
        r.PathIdx = any(0, 9);
        r.ExtIdx = any(0, 9);
        r.URIIdx = any(0, 300);
        r.SpiderIdx = any(0, 2);
        r.UserIdx = any(0, 1);
        r.VisitId = any(-1, 5);  // -1 until visits are cut
        r.Status = any(-3, 600);
        r.MonthStart = any(-40, 40000);
        r.Day = static_cast<std::uint8_t>(any(1, 31));
        r.DayOfWeek = static_cast<std::uint8_t>(any(1, 7));
        r.Kind = static_cast<std::uint8_t>(any(0, 5));
        r.Hour = static_cast<std::uint8_t>(any(0, 23));
        r.Time = EncodeDateTime(2004, 1, 1, 0, 0, 0) +
                 static_cast<TSeconds>(std::uniform_real_distribution<double>(-1, 1)(rng) * timeSpread);
        r.IsExit = any(0, 1);
        list.Add(r);
    }
    return list;
}

struct TSortCase {
    const char* name;
    void (TLstRecLog::*sort)(int);
    std::function<std::int64_t(const TRecLog&)> key;
};

const TSortCase kSorts[] = {
    {"Browser", &TLstRecLog::SortByBrowser, [](const TRecLog& r) { return r.BrowserIdx; }},
    {"Day", &TLstRecLog::SortByDay, [](const TRecLog& r) { return r.Day; }},
    {"Weekday", &TLstRecLog::SortByWeekday, [](const TRecLog& r) { return r.DayOfWeek; }},
    {"Kind", &TLstRecLog::SortByKind, [](const TRecLog& r) { return r.Kind; }},
    {"Hour", &TLstRecLog::SortByHour, [](const TRecLog& r) { return r.Hour; }},
    {"OS", &TLstRecLog::SortByOS, [](const TRecLog& r) { return r.OSIdx; }},
    {"Referrer", &TLstRecLog::SortByReferrer, [](const TRecLog& r) { return r.ReferrerIdx; }},
    {"Time", &TLstRecLog::SortByTime, [](const TRecLog& r) { return r.Time; }},
    {"Path", &TLstRecLog::SortByPath, [](const TRecLog& r) { return r.PathIdx; }},
    {"Extension", &TLstRecLog::SortByExtension, [](const TRecLog& r) { return r.ExtIdx; }},
    {"Month", &TLstRecLog::SortByMonth, [](const TRecLog& r) { return r.MonthStart; }},
    {"URI", &TLstRecLog::SortByURI, [](const TRecLog& r) { return r.URIIdx; }},
    {"Host", &TLstRecLog::SortByHost, [](const TRecLog& r) { return r.HostIdx; }},
    {"Spider", &TLstRecLog::SortBySpider, [](const TRecLog& r) { return r.SpiderIdx; }},
    {"Status", &TLstRecLog::SortByStatus, [](const TRecLog& r) { return r.Status; }},
    {"User", &TLstRecLog::SortByUser, [](const TRecLog& r) { return r.UserIdx; }},
    {"Visit", &TLstRecLog::SortByVisit, [](const TRecLog& r) { return r.VisitId; }},
};

// Sorted by the key in the direction, and still the same records (each Seq once, intact).
void CheckSorted(const TLstRecLog& original, const TLstRecLog& sorted, const TSortCase& c, int flag) {
    ASSERT_EQ(sorted.Count(), original.Count());
    std::vector<bool> seen(original.Count() + 1);
    for (std::size_t i = 0; i < sorted.Count(); ++i) {
        const TRecLog& r = sorted[i];
        ASSERT_FALSE(seen[r.Seq]) << c.name;
        seen[r.Seq] = true;
        const TRecLog& o = original[r.Seq - 1];
        ASSERT_EQ(c.key(r), c.key(o)) << c.name;
        ASSERT_EQ(r.Time, o.Time);
        ASSERT_EQ(r.IsExit, o.IsExit);
        if (i == 0) continue;
        const std::int64_t a = c.key(sorted[i - 1]), b = c.key(r);
        ASSERT_TRUE(flag == 1 ? a <= b : a >= b) << c.name << " flag " << flag << " at " << i;
    }
}

}  // namespace

TEST(Records, EverySortBothWays) {
    for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{1000}, std::size_t{20000}}) {
        const TLstRecLog original = RandomList(n, static_cast<std::uint32_t>(n) + 7, 90 * kSecondsPerDay);
        for (const TSortCase& c : kSorts) {
            for (const int flag : {1, 0}) {
                TLstRecLog list = original;
                (list.*c.sort)(flag);
                CheckSorted(original, list, c, flag);
            }
        }
    }
}

TEST(Records, TimeSpanBeyondThirtyTwoBits) {
    // Wider than 136 years of seconds: the sort falls back to comparing whole timestamps.
    const TLstRecLog original = RandomList(5000, 3, 200LL * 366 * kSecondsPerDay);
    TLstRecLog list = original;
    list.SortByTime(0);
    CheckSorted(original, list, kSorts[7], 0);
    list.SortByTime(1);
    CheckSorted(original, list, kSorts[7], 1);
}

TEST(Records, LatestFirstAndListBasics) {
    TLstRecLog list;
    TRecLog r;
    r.Time = 100;
    r.Seq = 1;
    EXPECT_EQ(list.Add(r), 0u);
    r.Time = 300;
    r.Seq = 2;
    EXPECT_EQ(list.Add(r), 1u);
    r.Time = 200;
    r.Seq = 3;
    list.Add(r);
    list.SortByTime(0);
    EXPECT_EQ(list[0].Seq, 2);
    EXPECT_EQ(list[2].Seq, 1);
    list.Get(1).VisitId = 9;  // callers update records in place; a later sort keeps the change
    list.SortByTime(1);
    EXPECT_EQ(list[1].VisitId, 9);
    EXPECT_EQ(list[1].Seq, 3);
    int visits = 0;
    for (const TRecLog& rec : list) visits += rec.VisitId;
    EXPECT_EQ(visits, 9 - 1 - 1);
    list.Clear();
    EXPECT_TRUE(list.Empty());

    const TRecLog fresh;
    EXPECT_EQ(fresh.VisitId, -1);
    EXPECT_EQ(fresh.IP, -1);
    EXPECT_EQ(fresh.IsEntry, 0);
}

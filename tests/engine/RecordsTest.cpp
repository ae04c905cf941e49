#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
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
        r.HostIdx = any(0, 50);
        r.BrowserIdx = any(0, 3);
        r.OSIdx = static_cast<std::uint16_t>(any(0, 0xFFFF));  // the widest a 16-bit index holds
        r.ReferrerIdx = any(0, 1 << 30);
        r.URIIdx = any(0, 70000);  // more than two bytes of key
        r.SpiderIdx = any(0, 2);
        r.UserIdx = any(0, 1);
        r.VisitId = any(-1, 5);  // -1 until visits are cut
        r.Status = any(-3, 600);
        r.Kind = static_cast<std::uint8_t>(any(0, 5));
        r.Time = EncodeDateTime(2004, 1, 1, 0, 0, 0) +
                 static_cast<TSeconds>(std::uniform_real_distribution<double>(-1, 1)(rng) * timeSpread);
        r.IsExit = any(0, 1);
        list.Add(r);
        list.URIParts().Set(r, {r.URIIdx % 9, r.URIIdx % 10});
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
    {"Day", &TLstRecLog::SortByDay, [](const TRecLog& r) { return r.Day(); }},
    {"Weekday", &TLstRecLog::SortByWeekday, [](const TRecLog& r) { return r.DayOfWeek(); }},
    {"Kind", &TLstRecLog::SortByKind, [](const TRecLog& r) { return r.Kind; }},
    {"Hour", &TLstRecLog::SortByHour, [](const TRecLog& r) { return r.Hour(); }},
    {"OS", &TLstRecLog::SortByOS, [](const TRecLog& r) { return r.OSIdx; }},
    {"Referrer", &TLstRecLog::SortByReferrer, [](const TRecLog& r) { return r.ReferrerIdx; }},
    {"Time", &TLstRecLog::SortByTime, [](const TRecLog& r) { return r.Time; }},
    {"Path", &TLstRecLog::SortByPath, [](const TRecLog& r) { return r.URIIdx % 10; }},
    {"Extension", &TLstRecLog::SortByExtension, [](const TRecLog& r) { return r.URIIdx % 9; }},
    {"Month", &TLstRecLog::SortByMonth, [](const TRecLog& r) { return r.MonthStart(); }},
    {"URI", &TLstRecLog::SortByURI, [](const TRecLog& r) { return r.URIIdx; }},
    {"Host", &TLstRecLog::SortByHost, [](const TRecLog& r) { return r.HostIdx; }},
    {"Spider", &TLstRecLog::SortBySpider, [](const TRecLog& r) { return r.SpiderIdx; }},
    {"Status", &TLstRecLog::SortByStatus, [](const TRecLog& r) { return r.Status; }},
    {"User", &TLstRecLog::SortByUser, [](const TRecLog& r) { return r.UserIdx; }},
    {"Visit", &TLstRecLog::SortByVisit, [](const TRecLog& r) { return r.VisitId; }},
};

// Sorted by the key in the direction, and still the same records (each stored record once, intact).
void CheckSorted(const TLstRecLog& original, const TLstRecLog& sorted, const TSortCase& c, int flag) {
    ASSERT_EQ(sorted.Count(), original.Count());
    std::vector<bool> seen(original.Count() + 1);
    for (std::size_t i = 0; i < sorted.Count(); ++i) {
        const TRecLog& r = sorted[i];
        const std::uint32_t index = sorted.IndexAt(i);
        ASSERT_FALSE(seen[index]) << c.name;
        seen[index] = true;
        const TRecLog& o = original.Stored(index);
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
    for (const std::size_t n :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{1000}, std::size_t{20000}}) {
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
    EXPECT_EQ(list.Add(r), 0u);
    r.Time = 300;
    EXPECT_EQ(list.Add(r), 1u);
    r.Time = 200;
    list.Add(r);
    list.SortByTime(0);
    EXPECT_EQ(list.IndexAt(0), 1u);
    EXPECT_EQ(list.IndexAt(2), 0u);
    list.Get(1).VisitId = 9;  // callers update records in place; a later sort keeps the change
    list.SortByTime(1);
    EXPECT_EQ(list[1].VisitId, 9);
    EXPECT_EQ(list.IndexAt(1), 2u);
    int visits = 0;
    for (const TRecLog& rec : list) visits += rec.VisitId;
    EXPECT_EQ(visits, 9 - 1 - 1);
    list.Clear();
    EXPECT_TRUE(list.Empty());

    const TRecLog fresh;
    EXPECT_EQ(fresh.VisitId, -1);
    EXPECT_EQ(fresh.IsEntry, 0);
}

// The record keeps only the date parts it cannot derive: the rest must come back as parsed.
TEST(Records, DerivedTimePartsEqualTheParsedOnes) {
    const struct {
        const char* Stamp;
        TSeconds Offset;
    } cases[] = {
        {"[01/Jan/1900:00:00:00 +0000]", 0},       {"[29/Feb/2004:23:59:59 +0000]", 0},
        {"[31/Dec/2003:23:30:15 +0000]", 3600},  // into the next year
        {"[01/Mar/2004:00:10:05 +0000]", -3600},  // back into February
        {"[15/Jul/2026:12:34:56 +0000]", 45 * 60}, {"[31/Dec/9999:23:59:59 +0000]", 0},
    };
    for (const auto& c : cases) {
        THitTime parsed;
        ASSERT_TRUE(ParseNCSADateTime(c.Stamp, c.Offset, parsed)) << c.Stamp;
        TRecLog rec;
        rec.SetTime(parsed);
        EXPECT_EQ(rec.Time, parsed.Time) << c.Stamp;
        EXPECT_EQ(rec.DayNo(), parsed.DayNo) << c.Stamp;
        EXPECT_EQ(rec.Minute(), parsed.Minute) << c.Stamp;
        EXPECT_EQ(rec.Second(), parsed.Second) << c.Stamp;
        EXPECT_EQ(rec.MonthStart(), parsed.MonthStart) << c.Stamp;
        EXPECT_EQ(rec.Year(), parsed.Year) << c.Stamp;
        EXPECT_EQ(rec.Month(), parsed.Month) << c.Stamp;
        EXPECT_EQ(rec.Day(), parsed.Day) << c.Stamp;
        EXPECT_EQ(rec.Hour(), parsed.Hour) << c.Stamp;
        EXPECT_EQ(rec.DayOfWeek(), parsed.DayOfWeek) << c.Stamp;
    }
}

// The store grows from the heap into a mapping of its own and is copied and moved whole;
// slots written ahead are taken in behind the records already held.
TEST(Records, StoreKeepsEveryRecordAcrossGrowthCopyAndMove) {
    // Bytes past 32 bits, within the record's 48.
    const auto wide = [](std::size_t i) { return (std::uint64_t{1} << 40) + (static_cast<std::uint64_t>(i) << 8); };
    const auto stamp = [&](std::size_t i) {
        TRecLog r;
        r.Time = static_cast<TSeconds>(i) * 7;
        r.HostIdx = static_cast<std::int32_t>(i);
        r.Bytes = wide(i);
        return r;
    };
    const auto intact = [&](const TRecStore& store, std::size_t count) {
        if (store.size() != count) return false;
        for (std::size_t i = 0; i < count; ++i)
            if (store[i].HostIdx != static_cast<std::int32_t>(i) || store[i].Time != static_cast<TSeconds>(i) * 7 ||
                store[i].Bytes != wide(i))
                return false;
        return true;
    };
    // Past 2 MiB of records, and past the first mapping's size.
    const std::size_t count = (std::size_t{5} << 20) / sizeof(TRecLog);
    TRecStore store;
    for (std::size_t i = 0; i < count; ++i) store.push_back(stamp(i));
    EXPECT_TRUE(intact(store, count));
    const TRecStore copy = store;
    EXPECT_TRUE(intact(copy, count));
    TRecStore moved = std::move(store);
    EXPECT_TRUE(intact(moved, count));
    EXPECT_TRUE(store.empty());  // NOLINT(bugprone-use-after-move): a moved-from store must be empty
    moved.clear();
    EXPECT_TRUE(moved.empty());

    TLstRecLog list;
    list.Add(stamp(0));
    list.ReserveSlots(3);
    TRecLog* slots = list.FreeSlots();
    slots[0] = stamp(1);
    slots[1] = stamp(2);
    list.TakeWritten(2);
    ASSERT_EQ(list.Count(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(list[i].HostIdx, static_cast<std::int32_t>(i));
    list.SortByTime(0);
    EXPECT_EQ(list.IndexAt(0), 2u);
}

// Index lists grow from the heap into mappings of their own, filled or left for the caller
// to write, copied and moved whole.
TEST(Records, MappedArraysKeepTheirValuesAcrossGrowth) {
    // Past 2 MiB, where an array becomes a mapping, in uneven steps.
    const std::size_t count = (std::size_t{3} << 20) / sizeof(std::int32_t) + 17;
    TMappedArray<std::int32_t> filled;
    for (std::size_t size = 1; filled.size() < count; size = size * 3 + 1) {
        const std::size_t before = filled.size();
        filled.resize(std::min(size, count), -1);
        for (std::size_t i = before; i < filled.size(); i += 4093) ASSERT_EQ(filled[i], -1) << i;
        for (std::size_t i = before; i < filled.size(); ++i) filled[i] = static_cast<std::int32_t>(i);
    }
    filled.resize(count - 5, 0);  // shrinking keeps the rest as it is
    ASSERT_EQ(filled.size(), count - 5);
    bool intact = true;
    for (std::size_t i = 0; i < filled.size() && intact; ++i) intact = filled[i] == static_cast<std::int32_t>(i);
    EXPECT_TRUE(intact);

    TMappedArray<std::uint32_t> overwritten;
    overwritten.resize_for_overwrite(count);
    for (std::size_t i = 0; i < count; ++i) overwritten[i] = static_cast<std::uint32_t>(count - i);
    overwritten.resize_for_overwrite(count * 2);  // the values written stay
    EXPECT_EQ(overwritten[0], count);
    EXPECT_EQ(overwritten[count - 1], 1u);
    const TMappedArray<std::uint32_t> copy = overwritten;
    EXPECT_EQ(copy.size(), count * 2);
    EXPECT_EQ(copy[count - 2], 2u);
    TMappedArray<std::uint32_t> moved = std::move(overwritten);
    EXPECT_TRUE(overwritten.empty());  // NOLINT(bugprone-use-after-move): a moved-from array is empty
    EXPECT_EQ(moved[1], count - 1);

    TMappedArray<std::string_view> views;
    const std::string text = "abcdef";
    for (std::size_t i = 0; i < count; ++i) views.push_back(std::string_view(text).substr(i % 6));
    EXPECT_EQ(views[count - 1], std::string_view(text).substr((count - 1) % 6));
    views.clear();
    EXPECT_TRUE(views.empty());
    views.push_back(text);
    EXPECT_EQ(views[0], text);
}

// Room reserved as address space only, from a heap block and from a mapping: the values
// held stay, slots written beyond the size are taken in, and the room not taken goes back.
TEST(Records, RoomForABoundKeepsValuesAndGivesBackTheRest) {
    for (const std::size_t held : {std::size_t{10}, (std::size_t{3} << 20) / sizeof(std::int32_t)}) {
        SCOPED_TRACE(held);
        TMappedArray<std::int32_t> array;
        array.resize(held, 7);
        const std::size_t bound = std::size_t{64} << 20;
        array.reserve_address_space(held + bound);
        ASSERT_GE(array.capacity(), held + bound);
        ASSERT_EQ(array.size(), held);
        EXPECT_EQ(array[0], 7);
        EXPECT_EQ(array[held - 1], 7);
        std::int32_t* slots = array.FreeSlots();
        for (std::size_t i = 0; i < 1000; ++i) slots[i] = static_cast<std::int32_t>(i);
        array.TakeWritten(1000);
        array.shrink_to_fit();
        EXPECT_GE(array.capacity(), held + 1000);
        EXPECT_LT(array.capacity(), held + bound);
        EXPECT_EQ(array[held - 1], 7);
        EXPECT_EQ(array[held + 999], 999);
        // It grows again as any array does.
        array.resize(array.capacity() + 5, -2);
        EXPECT_EQ(array[held + 999], 999);
        EXPECT_EQ(array[array.size() - 1], -2);
    }
}

// Enough hits that the orders and the sort's scratch are mappings, sorted one after the other
// in a list while a view of the same records holds an order of its own, every key path
// (counted, radix, stored) both ways, checked against a plain stable sort.
TEST(Records, LargeSortsAgreeWithAStableSort) {
    const std::size_t n = 540000;
    TLstRecLog list = RandomList(n, 99, 400 * kSecondsPerDay);
    std::vector<std::int64_t> keys(n);
    std::vector<std::uint32_t> reference(n);
    const auto expectOrder = [&](const auto& sorted, const TSortCase& c, int flag) {
        for (std::size_t i = 0; i < n; ++i) keys[i] = c.key(list.Stored(i));
        std::iota(reference.begin(), reference.end(), 0u);
        std::stable_sort(reference.begin(), reference.end(), [&](std::uint32_t a, std::uint32_t b) {
            return flag == 1 ? keys[a] < keys[b] : keys[a] > keys[b];
        });
        bool same = sorted.Count() == n;
        for (std::size_t i = 0; i < n && same; ++i) same = sorted.IndexAt(i) == reference[i];
        EXPECT_TRUE(same) << c.name << " flag " << flag;
    };
    const auto find = [](std::string_view name) {
        return *std::find_if(std::begin(kSorts), std::end(kSorts), [&](const TSortCase& c) { return c.name == name; });
    };
    TRecView view(list);
    view.SortBy(TRecKey::URI, 0);
    for (const char* name : {"Referrer", "URI", "Day", "Time", "Visit"}) {
        const TSortCase c = find(name);
        for (const int flag : {1, 0}) {
            (list.*c.sort)(flag);
            expectOrder(list, c, flag);
        }
    }
    expectOrder(view, find("URI"), 0);
    // Records already in key order leave the view in storage order, whatever order came before.
    for (std::size_t i = 0; i < n; ++i) list.Stored(i).HostIdx = static_cast<std::int32_t>(i / 3);
    view.SortBy(TRecKey::Host, 1);
    bool stored = true;
    for (std::size_t i = 0; i < n && stored; ++i) stored = view.IndexAt(i) == i;
    EXPECT_TRUE(stored);
    view.SortBy(TRecKey::Host, 0);
    expectOrder(view, find("Host"), 0);
}

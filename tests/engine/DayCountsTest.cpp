#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/DayCounts_u.h"

using namespace brindle;

namespace {

using Dense = std::vector<std::int32_t>;

// Every count is held once, in day order, and none is 0: what equality and the document
// writer rely on.
void ExpectCanonical(const TDayCounts& counts) {
    std::int64_t previous = -1;
    for (const TDayCounts::TEntry& entry : counts.Entries()) {
        EXPECT_GT(entry.Day, previous);
        EXPECT_LT(static_cast<std::size_t>(entry.Day), counts.Length());
        EXPECT_NE(entry.Count, 0);
        previous = entry.Day;
    }
}

}  // namespace

TEST(DayCounts, EdgeCases) {
    TDayCounts counts;
    counts.Reset(3);
    counts.Add(3);  // past the span
    counts.Add(static_cast<std::size_t>(-1));
    EXPECT_EQ(counts, (Dense{0, 0, 0}));
    EXPECT_TRUE(counts.Entries().empty());

    counts.Add(1, 5);
    counts.Add(1, -5);  // back to 0: the day takes no room again
    EXPECT_TRUE(counts.Entries().empty());

    // A row with daily counts that are all 0 is not a row without daily counts.
    EXPECT_NE(counts, TDayCounts{});
    EXPECT_EQ(TDayCounts(Dense{0, 0, 0}), counts);

    // Summing keeps the destination's length and takes the other's days within it.
    TDayCounts dest = Dense{1, 0, 2};
    dest.AddAll(TDayCounts(Dense{0, 3, -2, 7, 9}));
    EXPECT_EQ(dest, (Dense{1, 3, 0}));
    ExpectCanonical(dest);
    TDayCounts shorter = Dense{4};
    dest.AddAll(shorter);
    EXPECT_EQ(dest, (Dense{5, 3, 0}));
    dest.AddAll(dest);
    EXPECT_EQ(dest, (Dense{10, 6, 0}));

    // Shrinking drops the days past the new end.
    TDayCounts many = Dense{1, 2, 3, 4, 5};
    many.resize(2);
    EXPECT_EQ(many, (Dense{1, 2}));
    many.resize(4);
    EXPECT_EQ(many, (Dense{1, 2, 0, 0}));

    // Copies and moves are independent and leave a valid source.
    TDayCounts copy = many;
    copy.Add(3, 8);
    EXPECT_EQ(many, (Dense{1, 2, 0, 0}));
    TDayCounts moved = std::move(copy);
    EXPECT_EQ(moved, (Dense{1, 2, 0, 8}));
    copy = moved;
    EXPECT_EQ(copy, moved);

    // Counts wrap as the 32-bit elements of the stored form do.
    TDayCounts wrap = Dense{2147483647};
    wrap.Add(0);
    EXPECT_EQ(wrap.At(0), -2147483647 - 1);
}

// Random operations against a plain dense array: the sparse form must read the same
// through every accessor after every step.
TEST(DayCounts, MatchesADenseArrayUnderRandomOperations) {
    std::mt19937 rng(11);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 200; ++round) {
        const std::size_t length = static_cast<std::size_t>(any(0, 70));
        Dense dense(length, 0);
        TDayCounts sparse;
        sparse.Reset(length);
        for (int step = 0; step < 150; ++step) {
            const auto day = static_cast<std::size_t>(any(0, static_cast<int>(length) + 2));
            const int op = any(0, 9);
            if (op < 5) {
                const std::int32_t delta = any(-2, 3);
                sparse.Add(day, delta);
                if (day < length) dense[day] += delta;
            } else if (op < 7) {
                const std::int32_t value = any(0, 2) == 0 ? 0 : any(-9, 9);
                sparse.Set(day, value);
                if (day < length) dense[day] = value;
            } else if (op < 9) {
                Dense other(static_cast<std::size_t>(any(0, 80)));
                for (std::int32_t& count : other) count = any(0, 3) == 0 ? any(-4, 4) : 0;
                sparse.AddAll(TDayCounts(other));
                for (std::size_t i = 0; i < std::min(length, other.size()); ++i) dense[i] += other[i];
            } else {
                sparse = TDayCounts(sparse.Dense());  // through the dense form and back
            }
            ASSERT_EQ(sparse, dense) << "round " << round << " step " << step;
            ASSERT_EQ(sparse.Dense(), dense);
            for (std::size_t i = 0; i < length; ++i) ASSERT_EQ(sparse.At(i), dense[i]);
            ExpectCanonical(sparse);
        }
    }
}

// A span from 1900 to 9999 with two hits holds two entries, not three million elements.
TEST(DayCounts, FarApartDaysTakeOnlyTheirEntries) {
    constexpr std::size_t kSpan = 2958463;
    TDayCounts counts;
    counts.Reset(kSpan);
    counts.Add(0);
    counts.Add(kSpan - 1);
    counts.Add(kSpan - 1);
    EXPECT_EQ(counts.Length(), kSpan);
    ASSERT_EQ(counts.Entries().size(), 2u);
    EXPECT_EQ(counts.Entries()[1], (TDayCounts::TEntry{static_cast<std::int32_t>(kSpan - 1), 2}));
    EXPECT_LE(sizeof(TDayCounts), 24u);  // no bigger than the dense vector it replaces
}

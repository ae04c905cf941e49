#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "engine/ParallelSort_u.h"

using namespace brindle;

namespace {

using Item = std::pair<int, std::uint32_t>;  // key, then a tie breaker

std::vector<Item> RandomItems(std::size_t count, int keys, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Item> items;
    for (std::size_t i = 0; i < count; ++i)
        items.push_back({std::uniform_int_distribution<int>(0, keys - 1)(rng), static_cast<std::uint32_t>(i)});
    std::shuffle(items.begin(), items.end(), rng);
    return items;
}

}  // namespace

// A total order gives the one sorted sequence, whatever the threads, the sizes (below,
// at and past a part's worth) and the spread of keys (all alike, few, all different).
TEST(ParallelSort, MatchesStdSortUnderATotalOrder) {
    const auto less = [](const Item& a, const Item& b) { return a < b; };
    for (const std::size_t count : {std::size_t{0}, std::size_t{10}, kSortElementsPerPart * 3 + 3}) {
        for (const int keys : {1, 3, 1 << 30}) {
            for (const std::size_t threads : {2, 8}) {
                std::vector<Item> items = RandomItems(count, keys, static_cast<unsigned>(count + keys));
                std::vector<Item> expected = items;
                std::sort(expected.begin(), expected.end(), less);
                SortInParts(items.begin(), items.end(), less, threads);
                ASSERT_EQ(items, expected) << count << " items, " << keys << " keys, " << threads << " threads";
            }
        }
    }
}

// With ties the order holds and nothing is lost or doubled.
TEST(ParallelSort, KeepsEveryElementWhenKeysTie) {
    const auto byKey = [](const Item& a, const Item& b) { return a.first < b.first; };
    std::vector<Item> items = RandomItems(kSortElementsPerPart * 4, 5, 7);
    std::vector<Item> before = items;
    SortInParts(items.begin(), items.end(), byKey, 4);
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), byKey));
    std::sort(items.begin(), items.end());
    std::sort(before.begin(), before.end());
    EXPECT_EQ(items, before);
}

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "engine/PairGroups_u.h"

namespace brindle {
namespace {

std::vector<std::int32_t> Entries(const TPairGroups& groups, std::size_t key) {
    const auto group = groups.Group(key);
    return {group.begin(), group.end()};
}

// Against a plain grouping: the edges of the bit words and of the key range, keys shared by
// several entries, entries without a key, and random lists.
TEST(PairGroups, EveryKeyGivesItsEntriesInOrder) {
    std::mt19937 random(7);
    std::vector<std::vector<int>> lists = {
        {},
        {-1, -1},
        {0, 65535, 63, 64, 127, 128, 0, 65535, -1, 64},
        {65535},
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<int> keys(random() % 600);
        // Narrow ranges make shared keys and shared words likely.
        const int span = round % 2 == 0 ? 300 : 65536;
        const int base = static_cast<int>(random() % static_cast<unsigned>(65536 - span + 1));
        for (int& key : keys) key = random() % 10 == 0 ? -1 : base + static_cast<int>(random() % span);
        lists.push_back(keys);
    }
    for (const std::vector<int>& keyOf : lists) {
        std::map<std::size_t, std::vector<std::int32_t>> expected;
        for (std::size_t e = 0; e < keyOf.size(); ++e)
            if (keyOf[e] >= 0) expected[static_cast<std::size_t>(keyOf[e])].push_back(static_cast<std::int32_t>(e));
        const TPairGroups groups(keyOf);
        for (std::size_t key = 0; key < TPairGroups::kKeyCount; ++key) {
            const auto found = expected.find(key);
            ASSERT_EQ(groups.Has(key), found != expected.end()) << key;
            ASSERT_EQ(Entries(groups, key), found != expected.end() ? found->second : std::vector<std::int32_t>{})
                << key;
        }
    }
    const TPairGroups none;
    EXPECT_FALSE(none.Has(0));
    EXPECT_TRUE(Entries(none, 65535).empty());
}

}  // namespace
}  // namespace brindle

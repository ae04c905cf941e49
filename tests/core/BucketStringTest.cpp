#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/BucketString_u.h"

using namespace brindle;

TEST(BucketString, EdgeCases) {
    TBucketString t(255);
    EXPECT_EQ(t.Count(), 0);
    EXPECT_EQ(t.GetString(0), "");
    EXPECT_EQ(t.AddString("a"), 0);
    EXPECT_EQ(t.AddString("b"), 1);
    EXPECT_EQ(t.AddString("a"), 0);
    EXPECT_EQ(t.Count(), 2);

    EXPECT_EQ(t.AddString("Host"), 2);
    EXPECT_EQ(t.AddString("host"), 3);
    EXPECT_EQ(t.AddString(""), 4);  // the empty text has an index of its own
    EXPECT_EQ(t.AddString(""), 4);
    EXPECT_EQ(t.AddString(std::string_view("a\0b", 3)), 5);  // bytes, not C strings
    EXPECT_EQ(t.AddString(std::string_view("a\0c", 3)), 6);
    EXPECT_EQ(t.Count(), 7);

    EXPECT_EQ(t.GetString(t.Count()), "");
    EXPECT_EQ(t.GetString(-1), "");
    EXPECT_EQ(t.GetString(3), "host");
    EXPECT_EQ(t.GetString(5), std::string_view("a\0b", 3));
    EXPECT_EQ(t.Mask(), 255);
}

TEST(BucketString, RenamedEntriesLeaveTheLookup) {
    TBucketString t(255);
    t.AddString("a");
    t.AddString("b");
    t.SetString(0, "x");
    EXPECT_EQ(t.GetString(0), "x");
    EXPECT_EQ(t.AddString("x"), 2);  // neither the new text ...
    EXPECT_EQ(t.AddString("a"), 3);  // ... nor the old one finds the renamed entry
    EXPECT_EQ(t.AddString("x"), 2);

    t.SetString(1, "b");  // the same text: nothing changes
    EXPECT_EQ(t.AddString("b"), 1);

    t.SetString(0, "y");  // renaming twice
    EXPECT_EQ(t.GetString(0), "y");
    EXPECT_EQ(t.AddString("y"), 4);

    EXPECT_EQ(t.AddString("q"), 5);
    t.SetString(5, "r");  // renamed right after its lookup
    EXPECT_EQ(t.AddString("q"), 6);
    EXPECT_EQ(t.GetString(5), "r");

    t.SetString(t.Count(), "z");
    t.SetString(-1, "z");
    EXPECT_EQ(t.Count(), 7);
    EXPECT_EQ(t.AddString("z"), 7);
}

TEST(BucketString, ClearRestartsAtZero) {
    TBucketString t(1023);
    for (int i = 0; i < 1000; ++i) t.AddString("text" + std::to_string(i));
    t.Clear();
    EXPECT_EQ(t.Count(), 0);
    EXPECT_EQ(t.GetString(0), "");
    EXPECT_EQ(t.AddString("text5"), 0);
    EXPECT_EQ(t.AddString("text0"), 1);
}

// Many distinct texts through a tiny initial size, compared with a plain map; texts of every
// length, including ones bigger than a text block.
TEST(BucketString, RandomizedAgainstMap) {
    std::mt19937 rng(1234);
    TBucketString t(0);
    std::unordered_map<std::string, int> expectIndex;
    std::vector<std::string> expectText;
    std::vector<std::string_view> firstViews;

    auto randomText = [&] {
        const int kind = static_cast<int>(rng() % 1000);
        std::size_t length = kind < 900 ? rng() % 40 : kind < 997 ? rng() % 2000 : 16000 + rng() % 70000;
        std::string s(length, 'a');
        for (char& c : s) c = static_cast<char>(rng() % 4 == 0 ? rng() % 256 : 'a' + rng() % 3);
        return s;
    };

    for (int i = 0; i < 200000; ++i) {
        const std::string s =
            (i % 3 == 0 && !expectText.empty()) ? expectText[rng() % expectText.size()] : randomText();
        const auto [it, added] = expectIndex.emplace(s, static_cast<int>(expectText.size()));
        if (added) expectText.push_back(s);
        ASSERT_EQ(t.AddString(s), it->second);
        if (firstViews.size() < 100 && added) firstViews.push_back(t.GetString(it->second));
    }
    ASSERT_EQ(t.Count(), static_cast<int>(expectText.size()));
    EXPECT_GT(t.Count(), 100000);
    for (int i = 0; i < t.Count(); ++i) ASSERT_EQ(t.GetString(i), expectText[static_cast<std::size_t>(i)]);
    // Views handed out early survive growth and a move of the table.
    TBucketString moved(std::move(t));
    for (std::size_t i = 0; i < firstViews.size(); ++i) ASSERT_EQ(firstViews[i], expectText[i]);
    EXPECT_EQ(moved.AddString(expectText[7]), 7);
    EXPECT_EQ(t.Count(), 0);  // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(t.AddString("fresh"), 0);
}

// A table read by index only gives up its lookup; texts, indices and views stay, and the
// next add looks texts up again as if nothing had been released, renamed entries included.
TEST(BucketString, ReleasedIndexComesBackOnTheNextAdd) {
    TBucketString empty(255);
    empty.ReleaseIndex();
    EXPECT_EQ(empty.AddString("first"), 0);
    empty.ReleaseIndex();
    empty.ReleaseIndex();
    EXPECT_EQ(empty.AddString("first"), 0);

    TBucketString t(15);
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) texts.push_back("/page/" + std::to_string(i * 7919 % 100003));
    texts.emplace_back("");
    texts.emplace_back(20000, 'L');  // a block of its own
    for (const std::string& text : texts) t.AddString(text);
    const std::string_view early = t.GetString(3);
    t.SetString(10, "renamed");
    t.ReleaseIndex();

    EXPECT_EQ(t.Count(), static_cast<std::int32_t>(texts.size()));
    EXPECT_EQ(t.GetString(3).data(), early.data());
    EXPECT_EQ(t.GetString(10), "renamed");
    for (std::size_t i = 0; i < texts.size(); i += 97) {
        if (i == 10) continue;
        ASSERT_EQ(t.GetString(static_cast<std::int32_t>(i)), texts[i]) << i;
    }
    // The first add after the release: a text held, the empty one, the long one.
    EXPECT_EQ(t.AddString(texts[4321]), 4321);
    EXPECT_EQ(t.AddString(""), 5000);
    EXPECT_EQ(t.AddString(texts[5001]), 5001);
    // The renamed entry is found neither by its old text nor by its new one.
    const auto next = t.Count();
    EXPECT_EQ(t.AddString(texts[10]), next);
    EXPECT_EQ(t.AddString("renamed"), next + 1);
    // Released again after growing, and grown well past the size rebuilt.
    t.ReleaseIndex();
    for (int i = 0; i < 20000; ++i) t.AddString("more" + std::to_string(i));
    EXPECT_EQ(t.AddString("more0"), next + 2);
    EXPECT_EQ(t.AddString(texts[0]), 0);
    EXPECT_EQ(t.AddString("renamed"), next + 1);
    EXPECT_EQ(t.Count(), next + 2 + 20000);
}

// A row's name is short and inline, owned on the heap, or a reference into the result's
// store; whatever it is, it reads, compares and copies as the text it holds.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/StatName_u.h"

using namespace brindle;

namespace {

bool Inside(const TStatName& name) {
    const auto* own = reinterpret_cast<const char*>(&name);
    return name.data() >= own && name.data() < own + sizeof name;
}

TEST(StatName, EveryKindReadsAsItsText) {
    TTextArena arena;
    const std::string twelve(12, 'a'), thirteen(13, 'b'), zeros("a\0b\0c", 5), large(100000, 'z');
    struct TCase {
        std::string_view Text;
        bool Kept;  // through the arena
        bool Inline;
        bool Refers;
    };
    const std::vector<TCase> cases = {
        {"", false, true, false},        {"", true, true, false},
        {twelve, false, true, false},    {twelve, true, true, false},
        {thirteen, false, false, false}, {thirteen, true, false, true},
        {zeros, false, true, false},     {large, false, false, false},
        {large, true, false, true},      {"\xff\xfe high bytes here", true, false, true},
    };
    for (const TCase& c : cases) {
        const TStatName name = c.Kept ? TStatName::Kept(c.Text, arena) : TStatName(c.Text);
        EXPECT_EQ(name.View(), c.Text);
        EXPECT_EQ(name.size(), c.Text.size());
        EXPECT_EQ(name.empty(), c.Text.empty());
        EXPECT_EQ(Inside(name), c.Inline) << c.Text.size();
        EXPECT_EQ(name.Refers(), c.Refers) << c.Text.size();
        // A copy owns its text, wherever the original's lies.
        const TStatName copy = name;
        EXPECT_EQ(copy, name);
        EXPECT_FALSE(copy.Refers());
        EXPECT_TRUE(c.Text.empty() || copy.data() != name.data() || Inside(name));
        // A move keeps the kind and leaves an empty name behind.
        TStatName from = name;
        if (c.Refers) from = TStatName::Referring(name.View());
        const char* at = from.data();
        TStatName to = std::move(from);
        EXPECT_EQ(to.View(), c.Text);
        EXPECT_TRUE(from.empty());  // NOLINT(bugprone-use-after-move): the moved-from state is specified
        if (!Inside(to)) {
            EXPECT_EQ(to.data(), at);
        }
    }
}

TEST(StatName, AssignmentsReplaceAndFreeTheOldText) {
    TTextArena arena;
    TStatName name = std::string(40, 'x');
    name = "short";
    EXPECT_EQ(name, "short");
    name = TStatName::Kept(std::string(30, 'k'), arena);
    EXPECT_TRUE(name.Refers());
    name = std::string(50, 'o');
    EXPECT_FALSE(name.Refers());
    EXPECT_EQ(name, std::string(50, 'o'));
    const TStatName& same = name;
    name = same;  // self-assignment keeps the text
    EXPECT_EQ(name, std::string(50, 'o'));
    TStatName& alias = name;
    name = std::move(alias);  // a self-move must not free the text
    EXPECT_EQ(name.size(), 50u);  // NOLINT(bugprone-use-after-move): a self-move leaves the name as it was
}

TEST(StatName, OrderIsOrdinalOverUnsignedBytes) {
    const std::vector<std::string> sorted = {"",    "A",    "Z",    "a",   "ab", "abcdefghijklmnopq",
                                             "abd", "\x7f", "\x80", "\xff"};
    for (std::size_t i = 0; i < sorted.size(); ++i)
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            const TStatName a(sorted[i]), b(sorted[j]);
            EXPECT_EQ(a < b, i < j) << i << " " << j;
            EXPECT_EQ(a == b, i == j);
            EXPECT_EQ(a == sorted[j], i == j);
            EXPECT_EQ(a < std::string_view(sorted[j]), i < j);
        }
}

TEST(StatName, StoreCopiesStartEmptyAndMovesTakeTheTexts) {
    TStatTexts store;
    TTextArena arena;
    const TStatName name = TStatName::Kept("a name longer than twelve bytes", arena);
    store.Adopt(std::move(arena));
    EXPECT_TRUE(arena.Empty());  // NOLINT(bugprone-use-after-move): adopting empties the arena
    TStatTexts moved = std::move(store);
    // The text did not move with its block.
    EXPECT_EQ(name, "a name longer than twelve bytes");
    TStatTexts copy = moved;
    EXPECT_TRUE(copy == moved);
    EXPECT_EQ(name, "a name longer than twelve bytes");
}

}  // namespace

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "engine/Mask_u.h"

using namespace brindle;

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Reads a set at mask[i] (just after "["); the set's end index, or nothing when malformed.
std::optional<std::size_t> SetEnd(std::string_view m, std::size_t i) {
    if (i < m.size() && m[i] == '!') ++i;
    const std::size_t first = i;
    while (i < m.size() && m[i] != ']') {
        if (i + 1 < m.size() && m[i + 1] == '-') {
            if (i + 2 >= m.size() || m[i + 2] == ']') return std::nullopt;
            i += 3;
        } else {
            ++i;
        }
    }
    if (i >= m.size() || i == first) return std::nullopt;
    return i;
}

char Partner(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    return Fold(c);
}

// The set m[open] .. m[close] ("[" .. "]"), known to be well formed.
bool InSet(std::string_view m, std::size_t open, std::size_t close, char c) {
    std::size_t i = open + 1;
    const bool negate = m[i] == '!';
    if (negate) ++i;
    bool found = false;
    auto within = [](char x, char lo, char hi) {
        const auto u = static_cast<unsigned char>(x);
        return u >= static_cast<unsigned char>(lo) && u <= static_cast<unsigned char>(hi);
    };
    while (i < close) {
        if (i + 1 < close && m[i + 1] == '-') {
            found = found || within(c, m[i], m[i + 2]) || within(Partner(c), m[i], m[i + 2]);
            i += 3;
        } else {
            found = found || Fold(m[i]) == Fold(c);
            ++i;
        }
    }
    return found != negate;
}

bool Valid(std::string_view m) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i] != '[') continue;
        const auto end = SetEnd(m, i + 1);
        if (!end) return false;
        i = *end;
    }
    return true;
}

// Plain recursive reference: try every split at a "*".
bool RefMatch(std::string_view m, std::string_view t) {
    if (m.empty()) return t.empty();
    if (m[0] == '*') return RefMatch(m.substr(1), t) || (!t.empty() && RefMatch(m, t.substr(1)));
    if (t.empty()) return false;
    if (m[0] == '?') return RefMatch(m.substr(1), t.substr(1));
    if (m[0] == '[') {
        const std::size_t close = *SetEnd(m, 1);
        return InSet(m, 0, close, t[0]) && RefMatch(m.substr(close + 1), t.substr(1));
    }
    return Fold(m[0]) == Fold(t[0]) && RefMatch(m.substr(1), t.substr(1));
}

bool Match(std::string_view mask, std::string_view text) { return TMask(mask).Matches(text); }

}  // namespace

TEST(Mask, Table) {
    const struct {
        const char* mask;
        const char* text;
        bool match;
    } cases[] = {
        {"10.0.0.?", "10.0.0.7", true},
        {"10.0.0.?", "10.0.0.17", false},
        {"10.1.*", "10.1.2.3", true},
        {"10.1.*", "10.2.0.1", false},
        {"*.gif", "/a.gif", true},
        {"*.gif", "/a.gif.html", false},
        {"*.GIF", "/A.gif", true},  // letters without regard to case
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"?", "", false},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"***x", "x", true},
        {"[abc]x", "bx", true},
        {"[abc]x", "dx", false},
        {"[a-c]", "B", true},
        {"[A-C]", "b", true},
        {"[!a-c]", "d", true},
        {"[!a-c]", "B", false},
        {"[*?]", "*", true},
        {"[*?]", "x", false},
        {"[0-9][0-9]", "42", true},
        {"/shop/*/[!_]*.html", "/shop/x/item.html", true},
        {"/shop/*/[!_]*.html", "/shop/x/_item.html", false},
        {"\xC9*", "\xC9t\xC9", true},
        {"\xC9*", "\xE9t\xE9", false},  // only ASCII letters fold
        // Malformed masks match nothing, not even themselves.
        {"[abc", "[abc", false},
        {"[]", "[]", false},
        {"[!]", "x", false},
        {"[a-]", "a", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Match(c.mask, c.text), c.match) << c.mask << " / " << c.text;
    EXPECT_FALSE(TMask("[x").Valid());
    EXPECT_TRUE(TMask("[z-a]").Valid());
    EXPECT_FALSE(Match("[z-a]", "m"));
    EXPECT_FALSE(TMask().Matches(""));
}

TEST(Mask, AgreesWithRecursiveReference) {
    std::mt19937 rng(20240611);
    const std::string maskChars = "ab*?[]!-A.";
    const std::string textChars = "abAB.-!*";
    auto pick = [&](const std::string& from, int maxLen) {
        std::string s(std::uniform_int_distribution<int>(0, maxLen)(rng), ' ');
        for (char& c : s) c = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
        return s;
    };
    int valid = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string mask = pick(maskChars, 8);
        const std::string text = pick(textChars, 10);
        const TMask compiled(mask);
        ASSERT_EQ(compiled.Valid(), Valid(mask)) << mask;
        if (!compiled.Valid()) continue;
        ++valid;
        ASSERT_EQ(compiled.Matches(text), RefMatch(mask, text)) << mask << " / " << text;
    }
    EXPECT_GT(valid, 5000);
}

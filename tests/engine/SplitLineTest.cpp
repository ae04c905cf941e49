#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/LogConvert_split.h"

using namespace brindle;

namespace {

std::vector<std::string> Split(std::string_view line) {
    TSplitFields f;
    const int n = SplitLine(line, f);
    std::vector<std::string> out;
    for (int i = 1; i <= n; ++i) out.emplace_back(f[i]);
    return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(SplitLine, Table) {
    const struct {
        std::string line;
        V fields;
    } cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a  b", {"a", "", "b"}},
        {"a b ", {"a", "b", ""}},
        {"-", {"-"}},
        // A bracketed date keeps its brackets and its blank.
        {"h - u [10/Oct/2000:13:55:36 -0700] x", {"h", "-", "u", "[10/Oct/2000:13:55:36 -0700]", "x"}},
        // A quoted field loses its quotes; blanks inside stay.
        {"\"GET /a b HTTP/1.0\" 200", {"GET /a b HTTP/1.0", "200"}},
        {"\"\" x", {"", "x"}},
        // A bracketed word inside quotes does not open a bracket state.
        {"\"GET /[x HTTP/1.0\" 200 5", {"GET /[x HTTP/1.0", "200", "5"}},
        // Closing bracket turns the state off again.
        {"\"GET /[x] HTTP/1.0\" 200 5", {"GET /[x] HTTP/1.0", "200", "5"}},
        // A "]" inside quotes does not close the brackets (the closing quote still
        // marks the field as quoted, so its outer characters go).
        {"[a \"]\" b] c", {"a \"]\" b", "c"}},
        // Quoted-field drops the first and last characters, whatever they are.
        {"a\"b c\" d", {"\"b c", "d"}},
        // Tab mode: from the first tab only tabs separate, quotes stay.
        {"a b\tc d\t\"e f\"", {"a", "b", "c d", "\"e f\""}},
        {"\"a b\"\tc", {"a b", "c"}},
        {"x\t\ty", {"x", "", "y"}},
        // A tab splits even inside quotes.
        {"\"a\tb\" c", {"\"a", "b\" c"}},
        // Unclosed quote runs to the end of the line.
        {"a \"b c", {"a", "\"b c"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.line), c.fields) << "line: " << c.line;
}

TEST(SplitLine, FiftyFieldsAndBeyond) {
    std::string line = "f1";
    for (int i = 2; i <= 50; ++i) line += " f" + std::to_string(i);
    TSplitFields f;
    ASSERT_EQ(SplitLine(line, f), 50);
    EXPECT_EQ(f[50], "f50");
    EXPECT_EQ(f[51], "");
    EXPECT_EQ(SplitLine(line + " f51", f), 0);
    EXPECT_EQ(f[1], "");
    EXPECT_EQ(SplitLine(line + " ", f), 0);  // the empty 51st field counts too
    std::string tabbed = line;
    for (char& c : tabbed)
        if (c == ' ') c = '\t';
    EXPECT_EQ(SplitLine(tabbed, f), 50);
    EXPECT_EQ(SplitLine(tabbed + "\tx", f), 0);
}

TEST(SplitLine, HigherFieldsReadEmptyAfterShorterLine) {
    TSplitFields f;
    ASSERT_EQ(SplitLine("a b c d e f g h i", f), 9);
    ASSERT_EQ(SplitLine("only", f), 1);
    for (int i = 2; i <= MaxSplitFields + 1; ++i) EXPECT_EQ(f[i], "") << i;
    EXPECT_EQ(f[0], "");
    EXPECT_EQ(f.Count(), 1);
}

TEST(SplitLine, FieldsViewIntoTheLine) {
    const std::string line = "127.0.0.1 - - [01/Jan/2004:00:00:00 +0000] \"GET / HTTP/1.0\" 200 12";
    TSplitFields f;
    ASSERT_EQ(SplitLine(line, f), 7);
    EXPECT_EQ(f[5].data(), line.data() + line.find("GET"));
}

namespace {

// Character by character, as the rules read.
std::vector<std::string> ReferenceSplit(const std::string& line) {
    std::vector<std::string> out;
    bool quotes = false, brackets = false, tabs = false, quoted = false;
    std::string field;
    auto close = [&] {
        out.push_back(quoted && !tabs && field.size() >= 2 ? field.substr(1, field.size() - 2) : field);
        field.clear();
        quoted = false;
    };
    for (const char c : line) {
        if (c == '"') {
            quoted = quoted || quotes;
            quotes = !quotes;
        } else if (c == '[' && !quotes) {
            brackets = true;
        } else if (c == ']' && !quotes) {
            brackets = false;
        }
        if (c == '\t') {
            close();
            tabs = true;
        } else if (c == ' ' && !quotes && !brackets && !tabs) {
            close();
        } else {
            field += c;
        }
    }
    close();
    if (out.size() > MaxSplitFields) out.clear();
    return out;
}

}  // namespace

TEST(SplitLine, AgreesWithReferenceOnRandomLines) {
    std::mt19937 rng(77);
    const std::string alphabet = "aaaaaaab  \"[]\t";
    for (int round = 0; round < 5000; ++round) {
        std::string line(std::uniform_int_distribution<int>(0, 120)(rng), 'a');
        for (char& c : line) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
        ASSERT_EQ(Split(line), ReferenceSplit(line)) << line;
    }
}

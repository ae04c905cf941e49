#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/SafeFormat_u.h"

using namespace brindle;

TEST(SafeFormat, Table) {
    EXPECT_EQ(SafeFormat("Report for %s", {"Site"}), "Report for Site");
    EXPECT_EQ(SafeFormat("%d day(s)", {42}), "42 day(s)");
    EXPECT_EQ(SafeFormat("Report for %s : %s", {"a", "b"}), "Report for a : b");
    EXPECT_EQ(SafeFormat("%s - %s", {"a"}), "a - ");  // missing argument: empty
    EXPECT_EQ(SafeFormat("%s", {"a", "b"}), "a");  // extra arguments ignored
    EXPECT_EQ(SafeFormat("100%%", {}), "100%");
    EXPECT_EQ(SafeFormat("%%s", {"x"}), "%s");
    EXPECT_EQ(SafeFormat("%x %5d %n %", {"x"}), "%x %5d %n %");  // anything else literal
    EXPECT_EQ(SafeFormat("%d%s", {"7", 8}), "78");  // both take text
    EXPECT_EQ(SafeFormat("%s|%s", {"%s%d", "b"}), "%s%d|b");  // arguments are not re-read
    EXPECT_EQ(SafeFormat("%S %D", {"x"}), "%S %D");
    EXPECT_EQ(SafeFormat("", {"x"}), "");
}

TEST(SafeFormat, IntegersAndVectors) {
    EXPECT_EQ(SafeFormat("%d", {std::numeric_limits<std::int64_t>::min()}), "-9223372036854775808");
    EXPECT_EQ(SafeFormat("%d", {std::numeric_limits<std::uint64_t>::max()}), "18446744073709551615");
    EXPECT_EQ(SafeFormat("%d/%d", {-1, 0u}), "-1/0");
    const std::vector<std::string> args = {"one", "two"};
    EXPECT_EQ(SafeFormat("%s+%s+%s", args), "one+two+");
}

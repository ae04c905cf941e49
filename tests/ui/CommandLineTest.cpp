#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/CommandLine_u.h"

namespace brindle {
namespace {

struct TCase {
    std::vector<std::string> Arguments;
    TCommandLine Expected;
};

TEST(CommandLineTest, SwitchTable) {
    const TCase cases[] = {
        {{}, {}},
        {{"/p=Site"}, {"Site", "", false, false}},
        {{"/p=\"My Site\""}, {"My Site", "", false, false}},
        {{"/P=Site"}, {}},  // prefixes are case-sensitive
        {{"/O=doc.bnl"}, {}},
        {{"/p=One", "/p=Two"}, {"Two", "", false, false}},  // the later one wins
        {{"/o=a.bnl", "/o=\"b c.bnl\""}, {"", "b c.bnl", false, false}},
        {{"/c"}, {"", "", true, false}},
        {{"/s"}, {"", "", false, true}},
        {{"/C", "/S", "/cs", "/s ", " /c", "-c"}, {}},  // only the exact switches count
        {{"/p"}, {}},
        {{"/p="}, {}},
        {{"/p=\"\""}, {}},
        {{"/p=\"unterminated"}, {"\"unterminated", "", false, false}},
        {{"/p=\"say \"\"hi\"\"\""}, {"say \"hi\"", "", false, false}},
        {{"/p=\"quoted\"tail"}, {"quoted", "", false, false}},
        {{"/p=in\"side\""}, {"in\"side\"", "", false, false}},
        {{"/p=\""}, {}},
        {{"/p=/o=x.bnl"}, {"/o=x.bnl", "", false, false}},
        {{"report", "/o=/tmp/r.bnl", "/c", "/s", "/p=Shop", "extra"}, {"Shop", "/tmp/r.bnl", true, true}},
    };
    for (const TCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.Arguments) shown += "[" + a + "]";
        EXPECT_EQ(ParseCommandLine(c.Arguments), c.Expected) << shown;
    }
}

TEST(CommandLineTest, ProgramNameIsNotAnArgument) {
    const char* argv[] = {"/s", "/p=\"Main site\"", "/c", nullptr};
    const TCommandLine line = ParseCommandLine(3, argv);
    EXPECT_FALSE(line.Silent);
    EXPECT_EQ(line.ProfileName, "Main site");
    EXPECT_TRUE(line.CloseAfterRun);
    EXPECT_EQ(ParseCommandLine(0, nullptr), TCommandLine{});
}

TEST(CommandLineTest, DequotedStrWithOtherQuote) {
    EXPECT_EQ(DequotedStr("'it''s'", '\''), "it's");
    EXPECT_EQ(DequotedStr("\"kept\"", '\''), "\"kept\"");
    EXPECT_EQ(DequotedStr("", '"'), "");
}

}  // namespace
}  // namespace brindle

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "LogConvertTestUtil.h"
#include "engine/LogConvert_agents.h"

using namespace brindle;
using namespace brindle::test;

// Against the lists' own search: the shipped lists with agents made of their IDs and
// pieces of them, and small lists with overlapping, repeated, one-byte and empty IDs.
TEST(AgentMatcher, SameAnswersAsTheList) {
    const TOptions options = DefaultOptions();
    TLstUAType tricky;
    for (const char* id : {"ab", "a", "", "abc", "b", "ab", "zz", "bca", "c"}) tricky.Add({id, std::string("n-") + id});
    std::mt19937 rng(5);
    const TLstUAType& trickyList = tricky;
    for (const TLstUAType* list : {&options.Browsers, &options.OSs, &options.Spiders, &trickyList}) {
        const TAgentMatcher matcher(*list);
        std::vector<std::string> pieces{"", " ", "Mozilla/5.0 (", ")", "abc", "a", "zz"};
        for (const TRecUAType& rec : *list) {
            pieces.push_back(rec.ID);
            if (rec.ID.size() > 1) pieces.push_back(rec.ID.substr(1));
            if (rec.ID.size() > 1) pieces.push_back(rec.ID.substr(0, rec.ID.size() - 1));
        }
        for (int round = 0; round < 3000; ++round) {
            std::string agent;
            for (unsigned n = rng() % 5; n > 0; --n) agent += pieces[rng() % pieces.size()];
            ASSERT_EQ(matcher.FindIndex(agent), list->FindIndex(agent)) << agent;
            ASSERT_EQ(matcher.FindName(agent), list->FindName(agent)) << agent;
        }
    }
    EXPECT_EQ(TAgentMatcher().FindIndex("anything"), -1);
}

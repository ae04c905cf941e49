#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "LogConvertTestUtil.h"

using namespace brindle;
using namespace brindle::test;

namespace {

constexpr TSeconds kMinute = 60;

class Visits : public ::testing::Test {
protected:
    void SetUp() override {
        options.SessionLength = 30;
        engine.BeginAnalysis(ProfileOf({}), options);
    }

    // Stores a hit of Host at 10:00 plus Minutes on 1 March 2005; its sequence number tells it apart.
    std::int32_t Add(const std::string& host, TSeconds minutes, std::uint8_t kind = 2) {
        TRecLog rec;
        rec.Time = EncodeDateTime(2005, 3, 1, 10, 0, 0) + minutes * kMinute;
        rec.HostIdx = engine.HostTable.AddString(host);
        rec.Kind = kind;
        rec.IsPage = kind == 2;
        return static_cast<std::int32_t>(engine.Records.Add(rec)) + 1;
    }
    const TRecLog& BySeq(std::int32_t seq) const {
        if (seq < 1 || static_cast<std::size_t>(seq) > engine.Records.Count()) throw std::out_of_range("no such hit");
        return engine.Records.Stored(static_cast<std::size_t>(seq) - 1);
    }
    std::int32_t IPOf(std::int32_t seq) const {
        return engine.HostIPs.at(static_cast<std::size_t>(BySeq(seq).HostIdx));
    }

    TOptions options = DefaultOptions();
    TLogConvert engine;
};

}  // namespace

TEST_F(Visits, GapLongerThanTheSessionStartsAVisit) {
    const int a = Add("h", 0), b = Add("h", 29), c = Add("h", 60);
    engine.ComputeVisits();
    EXPECT_EQ(engine.VisitCount, 2);
    EXPECT_EQ(BySeq(a).VisitId, 1);
    EXPECT_EQ(BySeq(b).VisitId, 1);
    EXPECT_EQ(BySeq(c).VisitId, 2);
    EXPECT_EQ(BySeq(a).VisitDuration, 29 * kMinute);
    EXPECT_EQ(BySeq(b).VisitDuration, 29 * kMinute);
    EXPECT_EQ(BySeq(c).VisitDuration, 0);
}

TEST_F(Visits, GapOfExactlyTheSessionStaysInTheVisit) {
    const int a = Add("h", 0), b = Add("h", 30), c = Add("h", 60), d = Add("h", 91);
    engine.ComputeVisits();
    EXPECT_EQ(engine.VisitCount, 2);
    EXPECT_EQ(BySeq(a).VisitId, 1);
    EXPECT_EQ(BySeq(b).VisitId, 1);
    EXPECT_EQ(BySeq(c).VisitId, 1);
    EXPECT_EQ(BySeq(d).VisitId, 2);
    EXPECT_EQ(BySeq(a).VisitDuration, 60 * kMinute);
}

TEST_F(Visits, HostsAtTheSameInstantInHostIndexOrder) {
    const int second = Add("10.0.0.2", 0);
    const int first = Add("10.0.0.1", 0);
    engine.ComputeVisits();
    EXPECT_EQ(engine.VisitCount, 2);
    EXPECT_EQ(BySeq(second).VisitId, 1);  // its host text has index 0
    EXPECT_EQ(BySeq(first).VisitId, 2);
}

TEST_F(Visits, FirstHitOfEveryHostOpensAVisit) {
    // A session longer than the whole calendar: still one visit per host.
    options.SessionLength = 2000000000;
    engine.BeginAnalysis(ProfileOf({}), options);
    const int a = Add("a", 0), b = Add("b", 0), a2 = Add("a", 600), b2 = Add("b", 6000);
    engine.ComputeVisits();
    EXPECT_EQ(engine.VisitCount, 2);
    EXPECT_EQ(BySeq(a).VisitId, BySeq(a2).VisitId);
    EXPECT_EQ(BySeq(b).VisitId, BySeq(b2).VisitId);
    EXPECT_NE(BySeq(a).VisitId, BySeq(b).VisitId);
    EXPECT_EQ(BySeq(b).VisitDuration, 6000 * kMinute);
}

TEST_F(Visits, EntryAndExitPages) {
    // Visit 1: image, page, image, page, image. Visit 2: images only. Visit 3: one page.
    const int i1 = Add("h", 0, 4), p1 = Add("h", 1), i2 = Add("h", 2, 4), p2 = Add("h", 3), i3 = Add("h", 4, 4);
    const int j1 = Add("h", 100, 4), j2 = Add("h", 101, 4);
    const int only = Add("h", 200);
    engine.ComputeVisits();
    EXPECT_EQ(engine.VisitCount, 3);
    EXPECT_TRUE(BySeq(p1).IsEntry);
    EXPECT_FALSE(BySeq(p1).IsExit);
    EXPECT_FALSE(BySeq(p2).IsEntry);
    EXPECT_TRUE(BySeq(p2).IsExit);
    for (const int seq : {i1, i2, i3, j1, j2}) {
        EXPECT_FALSE(BySeq(seq).IsEntry) << seq;
        EXPECT_FALSE(BySeq(seq).IsExit) << seq;
    }
    EXPECT_TRUE(BySeq(only).IsEntry);
    EXPECT_TRUE(BySeq(only).IsExit);
}

TEST_F(Visits, NoRecordsNoVisits) {
    engine.ComputeVisits();
    EXPECT_EQ(engine.VisitCount, 0);
}

// Against a plain reference: hits stored in random order, many hosts, gaps around the session.
TEST_F(Visits, RandomizedAgainstReference) {
    std::mt19937 random(7);
    std::map<std::string, std::vector<std::pair<TSeconds, int>>> byHost;
    for (int i = 0; i < 2000; ++i) {
        const std::string host = "h" + std::to_string(random() % 40);
        const TSeconds minute = static_cast<TSeconds>(random() % 3000);
        byHost[host].emplace_back(minute, Add(host, minute, static_cast<std::uint8_t>(random() % 3 + 2)));
    }
    engine.ComputeVisits();

    int visits = 0;
    for (auto& [host, hits] : byHost) {
        std::sort(hits.begin(), hits.end());
        TSeconds last = 0;
        int visit = 0;
        std::int32_t id = 0;
        for (std::size_t i = 0; i < hits.size(); ++i) {
            if (i == 0 || hits[i].first - last > 30) {
                ++visits;
                ++visit;
                id = BySeq(hits[i].second).VisitId;
            }
            // Same visit, same id; ids never repeat across visits of a host.
            EXPECT_EQ(BySeq(hits[i].second).VisitId, id);
            last = hits[i].first;
        }
        EXPECT_GT(visit, 0);
    }
    EXPECT_EQ(engine.VisitCount, visits);
    std::vector<int> perVisitEntries(static_cast<std::size_t>(visits) + 1);
    for (const TRecLog& rec : engine.Records) {
        ASSERT_GE(rec.VisitId, 1);
        ASSERT_LE(rec.VisitId, visits);
        perVisitEntries[static_cast<std::size_t>(rec.VisitId)] += rec.IsEntry;
    }
    EXPECT_TRUE(std::all_of(perVisitEntries.begin(), perVisitEntries.end(), [](int n) { return n <= 1; }));
}

TEST_F(Visits, AddressNumbers) {
    const int dotted = Add("192.168.1.20", 0);
    const int name = Add("www.example.com", 1);
    const int zero = Add("010.0.0.1", 2);
    const int dotted2 = Add("192.168.1.20", 3);
    engine.AssignIPNumbers();
    // Network byte order: the first number in the lowest byte.
    EXPECT_EQ(static_cast<std::uint32_t>(IPOf(dotted)), 192u | 168u << 8 | 1u << 16 | 20u << 24);
    EXPECT_EQ(IPOf(dotted2), IPOf(dotted));
    EXPECT_EQ(IPOf(name), -1);
    EXPECT_EQ(IPOf(zero), -1);
    EXPECT_EQ(engine.HostIPs.size(), 3u);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/LogConvert_visits.h"

using namespace brindle;

namespace {

struct THit {
    std::int32_t Host;
    TSeconds Time;
    std::uint8_t Kind = 2;
};

struct TCase {
    std::string Name;
    std::size_t Hosts;
    TSeconds Session;
    std::vector<THit> Hits;
};

TLstRecLog RecordsOf(const std::vector<THit>& hits) {
    TLstRecLog records;
    for (const THit& hit : hits) {
        TRecLog rec;
        rec.HostIdx = hit.Host;
        rec.Time = hit.Time;
        rec.Kind = hit.Kind;
        records.Add(rec);
    }
    return records;
}

// The plain way: every hit in host, time, reading order, a visit opened by a new host or a
// gap longer than the session.
std::int32_t ReferenceCut(TLstRecLog& records, TSeconds session) {
    std::vector<std::size_t> order(records.Count());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const TRecLog& x = records.Stored(a);
        const TRecLog& y = records.Stored(b);
        return std::tie(x.HostIdx, x.Time, a) < std::tie(y.HostIdx, y.Time, b);
    });
    std::int32_t id = 0;
    for (std::size_t i = 0; i < order.size();) {
        std::size_t end = i + 1;
        const TRecLog& first = records.Stored(order[i]);
        while (end < order.size()) {
            const TRecLog& prev = records.Stored(order[end - 1]);
            const TRecLog& next = records.Stored(order[end]);
            if (next.HostIdx != first.HostIdx || next.Time - prev.Time > session) break;
            ++end;
        }
        ++id;
        // A visit longer than 68 years reads as the longest a 32-bit duration holds.
        const TSeconds length = std::min<TSeconds>(records.Stored(order[end - 1]).Time - first.Time,
                                                   std::numeric_limits<std::int32_t>::max());
        std::size_t entry = order.size(), exit = order.size();
        for (std::size_t k = i; k < end; ++k) {
            TRecLog& rec = records.Stored(order[k]);
            rec.VisitId = id;
            rec.VisitDuration = static_cast<std::int32_t>(length);
            if (rec.Kind == 2) {
                if (entry == order.size()) entry = order[k];
                exit = order[k];
            }
        }
        if (entry < order.size()) records.Stored(entry).IsEntry = 1;
        if (exit < order.size()) records.Stored(exit).IsExit = 1;
        i = end;
    }
    return id;
}

void ExpectSameVisits(const TLstRecLog& expected, const TLstRecLog& actual, const std::string& what) {
    ASSERT_EQ(expected.Count(), actual.Count()) << what;
    for (std::size_t i = 0; i < expected.Count(); ++i) {
        const TRecLog& e = expected.Stored(i);
        const TRecLog& a = actual.Stored(i);
        EXPECT_EQ(e.VisitId, a.VisitId) << what << ", hit " << i;
        EXPECT_EQ(e.VisitDuration, a.VisitDuration) << what << ", hit " << i;
        EXPECT_EQ(e.IsEntry, a.IsEntry) << what << ", hit " << i;
        EXPECT_EQ(e.IsExit, a.IsExit) << what << ", hit " << i;
    }
}

// Cuts Case on one thread in one part, and on one and eight threads in parts as small as
// one hit, and compares every record with the plain cut.
void CheckCase(const TCase& c) {
    TLstRecLog expected = RecordsOf(c.Hits);
    const std::int32_t visits = ReferenceCut(expected, c.Session);
    for (const std::size_t threads : {1, 8}) {
        for (const std::size_t perPart : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
            TLstRecLog records = RecordsOf(c.Hits);
            const std::string what =
                c.Name + " on " + std::to_string(threads) + " threads, " + std::to_string(perPart) + " hits a part";
            EXPECT_EQ(CutVisits(records, c.Hosts, {.Session = c.Session, .Threads = threads, .HitsPerPart = perPart}),
                      visits)
                << what;
            ExpectSameVisits(expected, records, what);
        }
    }
}

}  // namespace

TEST(VisitCut, EdgeCasesAgreeWithThePlainCutOnAnyThreads) {
    constexpr TSeconds kSession = 1800;
    const std::vector<TCase> cases = {
        {"empty log", 4, kSession, {}},
        {"one hit", 1, kSession, {{0, 100}}},
        {"one host", 1, kSession, {{0, 100}, {0, 200, 4}, {0, 5000}, {0, 5100, 3}, {0, 9000, 4}}},
        {"same instant", 2, kSession, {{1, 50, 4}, {0, 50}, {1, 50}, {0, 50, 4}, {1, 50}, {0, 50}}},
        {"gap of exactly the session", 1, kSession, {{0, 0}, {0, kSession}, {0, 2 * kSession + 1}}},
        {"session of zero", 2, 0, {{0, 10}, {0, 10}, {0, 11}, {1, 11}, {1, 11}, {0, 12}}},
        {"out of time order",
         3,
         kSession,
         {{2, 9000}, {0, 5000}, {2, 100}, {1, 7}, {0, 4000}, {2, 9000, 4}, {0, 10}, {1, 3}, {2, 50}}},
        {"hosts out of table", 2, kSession, {{5, 100}, {-3, 100}, {1, 100}, {5, 50}, {-3, 9000}, {0, 1}, {7, 0}}},
        {"one host between many",
         6,
         kSession,
         {{0, 1}, {3, 5}, {3, 4}, {3, 3}, {3, 2}, {3, 1}, {3, 9000}, {5, 1}, {3, 0}, {3, 0, 4}, {1, 2}}},
        {"images only", 2, kSession, {{0, 1, 4}, {1, 2, 4}, {0, 3, 3}}},
        {"longest duration", 1, TSeconds{1} << 40, {{0, 0}, {0, TSeconds{1} << 36}}},
    };
    for (const TCase& c : cases) CheckCase(c);
}

TEST(VisitCut, RandomLogAgreesWithThePlainCutOnAnyThreads) {
    std::mt19937 random(11);
    TCase c{"random log", 300, 1800, {}};
    for (int i = 0; i < 20000; ++i) {
        // A few hosts take most hits, as crawlers do; times are mostly in order.
        const auto host = static_cast<std::int32_t>(random() % 4 == 0 ? random() % 300 : random() % 5);
        const TSeconds time = i * 7 + static_cast<TSeconds>(random() % 4000) * (random() % 2);
        c.Hits.push_back({host, time, static_cast<std::uint8_t>(random() % 3 + 2)});
    }
    CheckCase(c);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "engine/Statistics_u.h"

using namespace brindle;

namespace {

TRecStat Row(std::string name, std::int32_t code = 0, std::int32_t hits = 0, std::int32_t visits = 0,
             TSeconds key = 0) {
    TRecStat row;
    row.Name = std::move(name);
    row.Code = code;
    row.Hits = hits;
    row.Visits = visits;
    row.Key = key;
    return row;
}

std::vector<std::string> Names(const TLstStat& list) {
    std::vector<std::string> names;
    for (const TRecStat& row : list) names.push_back(row.Name.Str());
    return names;
}

// Fills every member so that a clear has something to undo.
void FillEverything(TStatistics& stats) {
    TRecStat full = Row("x", 404, 3, 2, 99);
    full.PerDay = {1, 2};
    stats.Summary = full;
    for (TLstStat* list : stats.AllLists()) list->Add(full);
    for (TRecStat& row : stats.StatByHod) row = full;
    for (TRecStat& row : stats.StatByDow) row = full;
    for (TRecStat& row : stats.StatByDom) row = full;
    for (TRecStat& row : stats.StatByNbVisit) row = full;
    for (TRecStat& row : stats.StatByLenVisit) row = full;
    stats.VisitCount = 5;
    stats.DaySpan = 2;
    stats.FirstHitTime = 100;
    stats.LastHitTime = 200000;
    stats.FirstDay = 1;
    stats.LastDay = 2;
}

}  // namespace

TEST(Statistics, SortComparators) {
    TLstStat list;
    list.Add(Row("/b", 404, 1, 9, 30));
    list.Add(Row("/a", 500, 5, 1, -10));
    list.Add(Row("Zeta", 404, -2, 3, 20));
    list.Add(Row("/a", 404, 3, 0, 10));
    list.Add(Row("apple", 200, 4, 5, 0));
    list.Add(Row("\xC3\xA9t\xC3\xA9", 300, 0, 2, 5));

    list.SortByCodeName(1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"apple", "\xC3\xA9t\xC3\xA9", "/a", "/b", "Zeta", "/a"}));
    EXPECT_EQ(list[2].Code, 404);
    EXPECT_EQ(list[5].Code, 500);
    list.SortByCodeName(0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"/a", "Zeta", "/b", "/a", "\xC3\xA9t\xC3\xA9", "apple"}));

    // Ordinal bytes: capitals before small letters, bytes above 0x7F last.
    list.SortByName(1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"/a", "/a", "/b", "Zeta", "apple", "\xC3\xA9t\xC3\xA9"}));
    list.SortByName(0);
    EXPECT_EQ(Names(list).front(), "\xC3\xA9t\xC3\xA9");

    const auto keys = [&] {
        std::vector<TSeconds> v;
        for (const TRecStat& row : list) v.push_back(row.Key);
        return v;
    };
    list.SortByKey(1);
    EXPECT_EQ(keys(), (std::vector<TSeconds>{-10, 0, 5, 10, 20, 30}));
    list.SortByKey(0);
    EXPECT_EQ(keys(), (std::vector<TSeconds>{30, 20, 10, 5, 0, -10}));

    list.SortByHits(1);
    EXPECT_EQ(list[0].Hits, -2);
    EXPECT_EQ(list[5].Hits, 5);
    list.SortByHits(2);  // any flag but 1 is descending
    EXPECT_EQ(list[0].Hits, 5);

    list.SortByVisits(0);
    EXPECT_EQ(list[0].Visits, 9);
    EXPECT_EQ(list[5].Visits, 0);
}

TEST(Statistics, RandomSortsAgreeWithTheirComparators) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> small(-3, 3);
    TLstStat list;
    for (int i = 0; i < 2000; ++i) {
        TRecStat row = Row(std::string(1, static_cast<char>('a' + small(rng) + 3)), small(rng), small(rng), small(rng),
                           small(rng));
        list.Add(row);
    }
    const auto sorted = [&](auto less) { return std::is_sorted(list.begin(), list.end(), less); };
    list.SortByCodeName(1);
    const auto codeName = [](const TRecStat& a, const TRecStat& b) {
        return std::tie(a.Code, a.Name) < std::tie(b.Code, b.Name);
    };
    EXPECT_TRUE(sorted(codeName));
    list.SortByCodeName(0);
    EXPECT_TRUE(sorted([&](const TRecStat& a, const TRecStat& b) { return codeName(b, a); }));
    list.SortByVisits(1);
    EXPECT_TRUE(sorted([](const TRecStat& a, const TRecStat& b) { return a.Visits < b.Visits; }));
    list.SortByKey(0);
    EXPECT_TRUE(sorted([](const TRecStat& a, const TRecStat& b) { return b.Key < a.Key; }));
    EXPECT_EQ(list.Count(), 2000u);
}

TEST(Statistics, ClearKeepsEveryFixedRowEmpty) {
    TStatistics stats;
    FillEverything(stats);
    stats.ClearStatisticsTables();

    EXPECT_EQ(stats, TStatistics{});
    int fixedRows = 0;
    const auto checkRows = [&](const auto& table) {
        for (const TRecStat& row : table) {
            EXPECT_EQ(row, TRecStat{});
            ++fixedRows;
        }
    };
    checkRows(stats.StatByHod);
    checkRows(stats.StatByDow);
    checkRows(stats.StatByDom);
    checkRows(stats.StatByNbVisit);
    checkRows(stats.StatByLenVisit);
    EXPECT_EQ(fixedRows, 24 + 7 + 31 + 15 + 11);
    for (const TLstStat* list : stats.AllLists()) EXPECT_TRUE(list->Empty());
}

TEST(Statistics, FixedTablesUseTheirOwnIndices) {
    TStatistics stats;
    stats.StatByHod[0].Hits = 1;
    stats.StatByHod[23].Hits = 2;
    stats.StatByDow[1].Hits = 3;
    stats.StatByDow[7].Hits = 4;
    stats.StatByLenVisit[11].Hits = 5;
    EXPECT_EQ(stats.StatByHod.begin()->Hits, 1);
    EXPECT_EQ(std::prev(stats.StatByHod.end())->Hits, 2);
    EXPECT_EQ(stats.StatByDow.begin()->Hits, 3);
    EXPECT_EQ(std::prev(stats.StatByDow.end())->Hits, 4);
    EXPECT_THROW(stats.StatByDow[0], std::out_of_range);
    EXPECT_THROW(stats.StatByDow[8], std::out_of_range);
    EXPECT_THROW(stats.StatByHod[-1], std::out_of_range);
    EXPECT_THROW(stats.StatByHod[24], std::out_of_range);
    EXPECT_THROW(stats.StatByDom[32], std::out_of_range);
    EXPECT_THROW(stats.StatByNbVisit[16], std::out_of_range);
}

TEST(Statistics, MergeStatAddsCountersOnly) {
    const TRecStat dest{.Name = "dest",
                        .Key = 50,
                        .Duration = 10,
                        .Kind = 2,
                        .Code = 404,
                        .Hits = 1,
                        .Visits = 1,
                        .Bytes = 1LL << 40,
                        .IP = 7,
                        .Country = 3,
                        .PerDay = {1, 2, 3}};
    TRecStat src{.Name = "src",
                 .Key = 60,
                 .Duration = 5,
                 .Kind = 4,
                 .Code = 500,
                 .Hits = 2,
                 .Visits = 3,
                 .Bytes = 1LL << 40,
                 .Pages = 4,
                 .NotModified = 1,
                 .Partial = 2,
                 .Errors = 3,
                 .IP = 8,
                 .Country = 9,
                 .PerDay = {10, 20, 30}};

    TRecStat noDays = dest;
    TStatistics::MergeStat(noDays, src, 0);
    EXPECT_EQ(noDays.Name, "dest");
    EXPECT_EQ(noDays.Key, 50);
    EXPECT_EQ(noDays.Code, 404);
    EXPECT_EQ(noDays.Kind, 2);
    EXPECT_EQ(noDays.IP, 7);
    EXPECT_EQ(noDays.Country, 3);
    EXPECT_EQ(noDays.Duration, 15);
    EXPECT_EQ(noDays.Hits, 3);
    EXPECT_EQ(noDays.Visits, 4);
    EXPECT_EQ(noDays.Bytes, 1LL << 41);
    EXPECT_EQ(noDays.Pages, 4);
    EXPECT_EQ(noDays.NotModified, 1);
    EXPECT_EQ(noDays.Partial, 2);
    EXPECT_EQ(noDays.Errors, 3);
    EXPECT_EQ(noDays.PerDay, (std::vector<std::int32_t>{1, 2, 3}));

    TRecStat withDays = dest;
    TStatistics::MergeStat(withDays, src, 1);
    EXPECT_EQ(withDays.PerDay, (std::vector<std::int32_t>{11, 22, 33}));

    // Days beyond either row are never touched.
    src.PerDay = {5};
    withDays = dest;
    TStatistics::MergeStat(withDays, src, 1);
    EXPECT_EQ(withDays.PerDay, (std::vector<std::int32_t>{6, 2, 3}));
}

TEST(Statistics, RegroupKeepsTheFirstSourceRowOfEachGroup) {
    TLstStat hosts;
    const auto host = [&](std::string name, std::int32_t hits, std::int32_t country, std::vector<std::int32_t> days) {
        TRecStat row = Row(std::move(name), 0, hits, hits, hits * 100);
        row.Country = country;
        row.IP = hits;
        row.PerDay = std::move(days);
        hosts.Add(row);
    };
    host("a.example.com", 1, 10, {1, 0});
    host("b.other.org", 2, 20, {0, 2});
    host("c.example.com", 4, 30, {4, 4});
    host("d.Example.com", 8, 40, {8, 0});

    std::vector<TRegroupRow> work = {{"example.com", 2}, {"other.org", 1}, {"example.com", 0}, {"Example.com", 3}};
    TLstStat summed;
    RegroupRows(hosts, work, summed, true);
    ASSERT_EQ(Names(summed), (std::vector<std::string>{"Example.com", "example.com", "other.org"}));
    const TRecStat& example = summed[1];
    EXPECT_EQ(example.Hits, 5);
    EXPECT_EQ(example.Visits, 5);
    EXPECT_EQ(example.Key, 100);  // of host 0, the first in source order
    EXPECT_EQ(example.Country, 10);
    EXPECT_EQ(example.IP, 1);
    EXPECT_EQ(example.PerDay, (std::vector<std::int32_t>{5, 4}));

    TLstStat firstDays;
    RegroupRows(hosts, work, firstDays, false);
    EXPECT_EQ(firstDays[1].Hits, 5);
    EXPECT_EQ(firstDays[1].PerDay, (std::vector<std::int32_t>{1, 0}));
    // The source rows are untouched.
    EXPECT_EQ(hosts[0].Name, "a.example.com");
    EXPECT_EQ(hosts[0].PerDay, (std::vector<std::int32_t>{1, 0}));
}

TEST(Statistics, RenamedRowCarriesEveryFieldButTheName) {
    TRecStat row;
    row.Name = std::string(300, 'r');
    row.Key = 1;
    row.Duration = 2;
    row.Kind = 3;
    row.Code = 4;
    row.Hits = 5;
    row.Visits = 6;
    row.Bytes = 7;
    row.Pages = 8;
    row.NotModified = 9;
    row.Partial = 10;
    row.Errors = 11;
    row.IP = 12;
    row.Country = 13;
    row.PerDay = {0, 14, 15};
    const TRecStat renamed = RenamedRow(row, "uk 1");
    TRecStat expected = row;
    expected.Name = "uk 1";
    EXPECT_EQ(renamed, expected);
    // A short name lives in the row itself.
    const auto* own = reinterpret_cast<const char*>(&renamed.Name);
    EXPECT_TRUE(renamed.Name.data() >= own && renamed.Name.data() < own + sizeof renamed.Name);
}

// Joined names compare as the joined texts would, whatever the prefixes hold: a byte below
// the TAB, a TAB of their own, one prefix starting another.
TEST(Statistics, CompareJoinedAgreesWithTheJoinedTexts) {
    const auto sign = [](int order) { return (order > 0) - (order < 0); };
    const auto joined = [](std::string_view prefix, std::string_view text) {
        return std::string(prefix) + '\t' + std::string(text);
    };
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"Google", "b", "Google", "a"},
        {"Google", "z", "Google Images", "a"},
        {"Go", "z", "Go\x01x", "a"},
        {"a\tb", "c", "a", "b\tc"},
        {"", "", "", ""},
        {"a", "", "a", "\x01"},
        {"a", "\xff", "a\xff", ""},
        {"Bing", "x", "Google", "a"},
    };
    for (const auto& [pa, ta, pb, tb] : cases)
        EXPECT_EQ(sign(CompareJoined(pa, ta, pb, tb)), sign(joined(pa, ta).compare(joined(pb, tb))))
            << pa << "|" << ta << " vs " << pb << "|" << tb;
    std::mt19937 rng(3);
    const std::string alphabet = std::string("\x01\t ab\xff", 6);
    const auto text = [&] {
        std::string s;
        for (int n = std::uniform_int_distribution<int>(0, 4)(rng); n > 0; --n)
            s += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string pa = text(), ta = text(), pb = text(), tb = text();
        ASSERT_EQ(sign(CompareJoined(pa, ta, pb, tb)), sign(joined(pa, ta).compare(joined(pb, tb))));
    }
}

// The regroupings by names held elsewhere, plain or behind a prefix, give what regrouping
// by the written-out names gives: same rows, same order, same first source rows.
TEST(Statistics, RegroupByViewsAgreesWithRegroupByNames) {
    std::mt19937 rng(11);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Names sharing their first eight bytes, a zero byte, bytes above 0x7f.
    const std::vector<std::string> texts = {
        "",          "a",         "ab",           std::string("ab\0", 3), "abcdefgh",
        "abcdefghi", "abcdefghj", "abcdefgh\x01", "\xc3\xa9t\xc3\xa9",    "b",
        "A",         "a b"};
    TLstStat source;
    for (int i = 0; i < 300; ++i) {
        TRecStat row;
        row.Name = "row" + std::to_string(i);
        row.Hits = any(1, 9);
        row.Visits = any(0, 3);
        row.Key = i;
        row.PerDay = std::vector<std::int32_t>{any(0, 2), any(0, 2), any(0, 2)};
        source.Add(row);
    }
    const std::vector<std::vector<std::string>> prefixSets = {
        {"Google", "Bing", "Google", "Google Images", ""},  // no TAB: ordered by prefix
        {"Go", "Go\x01", "a\tb", "a", "Go\t"},  // a TAB: by joined names
    };
    for (const std::vector<std::string>& prefixNames : prefixSets) {
        std::vector<std::string_view> prefixViews(prefixNames.begin(), prefixNames.end());
        std::vector<std::int32_t> prefixOf;
        for (std::size_t i = 0; i < source.Count(); ++i)
            prefixOf.push_back(any(0, static_cast<int>(prefixNames.size()) - 1));
        for (const bool sumDays : {true, false}) {
            std::vector<TRegroupName> plain, prefixed;
            std::vector<TRegroupRow> plainNames, prefixedNames;
            for (int n = 0; n < 600; ++n) {
                const auto row =
                    static_cast<std::uint32_t>(any(0, static_cast<int>(source.Count()) + 2));  // a few missing
                const std::string& text = texts[static_cast<std::size_t>(any(0, static_cast<int>(texts.size()) - 1))];
                plain.push_back({text.data(), static_cast<std::uint32_t>(text.size()), row});
                prefixed.push_back(plain.back());
                plainNames.push_back({text, row});
                if (row < source.Count())
                    prefixedNames.push_back({prefixNames[static_cast<std::size_t>(prefixOf[row])] + '\t' + text, row});
            }
            TLstStat byView, byName, byPrefix, byJoined;
            RegroupRows(source, plain, byView, sumDays);
            RegroupRows(source, plainNames, byName, sumDays);
            EXPECT_EQ(byView, byName);
            RegroupRows(source, prefixed, TRegroupPrefixes{prefixViews, prefixOf}, byPrefix, sumDays);
            RegroupRows(source, prefixedNames, byJoined, sumDays);
            EXPECT_EQ(byPrefix, byJoined);
        }
    }
}

// The engine-and-phrase lists are regrouped from the phrases just regrouped alone, so their
// work comes in the phrases' order; it must give what work in any order gives, whether the
// prefixes rank (no TAB) or not, with items that have no prefix or no row among them.
TEST(Statistics, RegroupByPrefixGivesTheSameFromWorkInTheTextsOrder) {
    std::mt19937 rng(17);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TLstStat source;
    for (int i = 0; i < 500; ++i) {
        TRecStat row = Row("row" + std::to_string(i), i, any(1, 9), any(0, 3), any(0, 1000));
        row.PerDay = std::vector<std::int32_t>{any(0, 2), any(0, 2), any(0, 2)};
        source.Add(row);
    }
    std::vector<std::string> texts;  // mostly distinct, some sharing their first eight bytes
    for (int i = 0; i < 1500; ++i) texts.push_back((i % 3 ? "abcdefgh" : "") + std::to_string(i * 7919 % 10007));
    texts.push_back("");
    const std::vector<std::vector<std::string>> prefixSets = {
        {"Google", "Bing", "Google", "Google Images", ""},
        {"Go", "Go\x01", "a\tb", "a", "Go\t"},
    };
    for (const std::vector<std::string>& prefixNames : prefixSets) {
        const std::vector<std::string_view> prefixViews(prefixNames.begin(), prefixNames.end());
        std::vector<std::int32_t> prefixOf;
        for (std::size_t i = 0; i < source.Count(); ++i)
            prefixOf.push_back(any(-1, static_cast<int>(prefixNames.size()) - 1));
        std::vector<TRegroupName> work;
        std::vector<TRegroupRow> joined;
        for (int n = 0; n < 3000; ++n) {
            const auto row = static_cast<std::uint32_t>(any(0, static_cast<int>(source.Count()) + 3));
            const std::string& text = texts[static_cast<std::size_t>(any(0, static_cast<int>(texts.size()) - 1))];
            work.push_back({text.data(), static_cast<std::uint32_t>(text.size()), row});
            if (row < source.Count() && prefixOf[row] >= 0)
                joined.push_back({prefixNames[static_cast<std::size_t>(prefixOf[row])] + '\t' + text, row});
        }
        for (const bool sumDays : {true, false}) {
            TLstStat expected;
            std::vector<TRegroupRow> joinedCopy = joined;
            RegroupRows(source, joinedCopy, expected, sumDays);
            for (const std::size_t threads : {std::size_t{1}, std::size_t{4}}) {
                std::vector<TRegroupName> inTextOrder = work;
                TLstStat textsAlone;
                RegroupRows(source, inTextOrder, textsAlone, sumDays, threads);
                TLstStat fromOrdered, fromShuffled;
                RegroupRows(source, inTextOrder, TRegroupPrefixes{prefixViews, prefixOf}, fromOrdered, sumDays,
                            threads);
                std::vector<TRegroupName> shuffled = work;
                std::shuffle(shuffled.begin(), shuffled.end(), rng);
                RegroupRows(source, shuffled, TRegroupPrefixes{prefixViews, prefixOf}, fromShuffled, sumDays, threads);
                EXPECT_EQ(fromOrdered, expected) << prefixNames[1] << ", days " << sumDays << ", threads " << threads;
                EXPECT_EQ(fromShuffled, expected) << prefixNames[1] << ", days " << sumDays << ", threads " << threads;
            }
        }
    }
}

// Few names over many rows are grouped by hashing, mostly distinct ones by sorting: either
// way every group is its lowest source row renamed, with its other items' rows added (an
// item repeated adds its row again), in the order of the names.
TEST(Statistics, RegroupGivesTheGroupsOfEqualNamesWhateverTheirNumber) {
    std::mt19937 rng(5);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TLstStat source;
    for (int i = 0; i < 400; ++i) {
        TRecStat row = Row("row" + std::to_string(i), i, any(1, 9), any(0, 3), any(0, 1000));
        row.Key = 1000 + i;
        row.Country = i;
        row.PerDay = std::vector<std::int32_t>{any(0, 2), 0, any(0, 2), any(0, 5)};
        source.Add(row);
    }
    for (const int distinct : {1, 3, 12, 40, 390, 5000}) {
        std::vector<std::string> names;
        for (int i = 0; i < distinct; ++i) names.push_back((i % 2 ? "www." : "") + std::to_string(i * 7919 % 10007));
        std::vector<TRegroupName> work;
        for (int n = 0; n < 2000; ++n) {
            const std::string& name = names[static_cast<std::size_t>(any(0, distinct - 1))];
            // Later items often have lower rows: the lowest, not the first met, makes the row.
            work.push_back({name.data(), static_cast<std::uint32_t>(name.size()),
                            static_cast<std::uint32_t>(any(0, static_cast<int>(source.Count()) + 5))});
        }
        for (const bool sumDays : {true, false}) {
            std::map<std::string, std::vector<std::uint32_t>> sources;
            for (const TRegroupName& item : work)
                if (item.Source < source.Count()) sources[std::string(item.View())].push_back(item.Source);
            TLstStat expected;
            for (auto& [name, rows] : sources) {
                std::sort(rows.begin(), rows.end());
                TRecStat row = RenamedRow(source[rows.front()], name);
                for (std::size_t i = 1; i < rows.size(); ++i)
                    TStatistics::MergeStat(row, source[rows[i]], sumDays ? 1 : 0);
                expected.Add(row);
            }
            for (const std::size_t threads : {std::size_t{1}, std::size_t{4}}) {
                std::vector<TRegroupName> copy = work;
                TLstStat got;
                RegroupRows(source, copy, got, sumDays, threads);
                EXPECT_EQ(got, expected) << distinct << " names, days " << sumDays << ", threads " << threads;
            }
        }
    }
}

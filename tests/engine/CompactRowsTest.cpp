#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/BinaryStream_u.h"
#include "engine/Statistics_u.h"

using namespace brindle;

namespace {

// Rows of every shape the lean form tells apart: names empty, in the word, elsewhere, owned
// and longer than a length field holds; no days, one, several, lengths that differ; the
// rarely used fields 0 at first and set later.
std::vector<TRecStat> EdgeRows(std::string_view elsewhere) {
    std::vector<TRecStat> rows;
    const auto add = [&](TStatName name, std::vector<std::int32_t> days, auto fill) {
        TRecStat row;
        row.Name = std::move(name);
        row.Hits = static_cast<std::int32_t>(rows.size()) + 1;
        row.Visits = 7 - static_cast<std::int32_t>(rows.size() % 7);
        row.Bytes = std::int64_t{1} << 40;
        row.Pages = 2;
        row.NotModified = -3;
        row.Partial = 4;
        row.Errors = 5;
        row.PerDay = days;
        fill(row);
        rows.push_back(std::move(row));
    };
    const auto plain = [](TRecStat&) {};
    add(TStatName(""), {}, plain);
    add(TStatName("1234567"), {0, 3, 0}, plain);
    add(TStatName("12345678"), {0, 3, 0}, plain);
    add(TStatName::Referring(elsewhere), {1, 0, 0}, plain);
    add(TStatName(std::string(40000, 'L')), {1, 2, 3}, [](TRecStat& r) { r.Key = -86400; });
    add(TStatName("ü\t€"), {0, 0, 0}, [](TRecStat& r) {
        r.Duration = 3600;
        r.Kind = 5;
        r.Code = 404;
        r.IP = -1;
        r.Country = 266;
    });
    add(TStatName("short"), {9, 0, 0, 0, 8}, plain);
    add(TStatName("none"), {}, [](TRecStat& r) { r.Code = 200; });
    add(TStatName(std::string(0x7FFF, 'e')), {0, 0, -1}, plain);
    return rows;
}

TLstStat ListOf(const std::vector<TRecStat>& rows) {
    TLstStat list;
    for (const TRecStat& row : rows) list.Add(row);
    return list;
}

std::string Saved(const TLstStat& list) {
    TBinaryWriter writer;
    list.SaveToStream(writer);
    return std::string(writer.Data());
}

}  // namespace

TEST(CompactRows, EveryRowReadsBackAsItWasAndSavesTheSameBytes) {
    const std::string elsewhere(300, 'r');
    const std::vector<TRecStat> rows = EdgeRows(elsewhere);
    TLstStat whole = ListOf(rows);
    TLstStat lean = ListOf(rows);
    lean.Compact();
    ASSERT_TRUE(lean.Compacted());
    ASSERT_EQ(lean.Count(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(lean[i], rows[i]) << i;
        EXPECT_EQ(lean.NameAt(i), rows[i].Name.View()) << i;
        EXPECT_EQ(lean[i].PerDay.Length(), rows[i].PerDay.Length()) << i;
    }
    EXPECT_EQ(lean, whole);
    EXPECT_EQ(Saved(lean), Saved(whole));

    // Added to a list already lean, the same rows read the same.
    TLstStat growing;
    growing.Compact();
    for (const TRecStat& row : rows) growing.Add(row);
    EXPECT_TRUE(growing.Compacted());
    EXPECT_EQ(growing, whole);

    // Changing a row makes the list whole again, with every row as it was.
    lean.Mutable(3).Hits = 99;
    EXPECT_FALSE(lean.Compacted());
    whole.Mutable(3).Hits = 99;
    EXPECT_EQ(lean, whole);
}

TEST(CompactRows, CountersAddUpAsTheWholeRowsDo) {
    const std::string elsewhere(20, 'x');
    const std::vector<TRecStat> rows = EdgeRows(elsewhere);
    TLstStat lean = ListOf(rows);
    lean.Compact();
    const TLstStat whole = ListOf(rows);
    for (const bool withDays : {false, true}) {
        TRecStat fromLean, fromWhole;
        fromLean.PerDay.Reset(4);
        fromWhole.PerDay.Reset(4);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            lean.MergeInto(i, fromLean, withDays);
            whole.MergeInto(i, fromWhole, withDays);
        }
        EXPECT_EQ(fromLean, fromWhole) << withDays;
        EXPECT_EQ(fromLean.Hits, 45) << withDays;
    }
}

// The lean rows are sorted by their positions: the same comparisons and moves as whole rows,
// so equal keys end in the same order, which the reports show.
TEST(CompactRows, SortsLeaveTheOrderWholeRowsWouldHave) {
    std::mt19937 random(7);
    std::vector<TRecStat> rows;
    for (int i = 0; i < 3000; ++i) {
        TRecStat row;
        row.Name = "n" + std::to_string(random() % 300);
        row.Hits = static_cast<std::int32_t>(random() % 20);
        row.Visits = static_cast<std::int32_t>(random() % 5);
        row.Key = static_cast<TSeconds>(random() % 50) * 86400;
        row.Code = static_cast<std::int32_t>(200 + random() % 4);
        row.PerDay = std::vector<std::int32_t>{static_cast<std::int32_t>(i), 0};
        rows.push_back(std::move(row));
    }
    using TSort = void (TLstStat::*)(int);
    for (const TSort sort : {&TLstStat::SortByKey, &TLstStat::SortByHits, &TLstStat::SortByVisits,
                             &TLstStat::SortByName, &TLstStat::SortByCodeName}) {
        for (const int ascending : {1, 0}) {
            TLstStat whole = ListOf(rows);
            TLstStat lean = ListOf(rows);
            lean.Compact();
            (whole.*sort)(ascending);
            (lean.*sort)(ascending);
            EXPECT_TRUE(lean.Compacted());
            EXPECT_EQ(lean, whole) << ascending;
            // And again from the order the first sort left.
            (whole.*sort)(1 - ascending);
            (lean.*sort)(1 - ascending);
            EXPECT_EQ(lean, whole) << ascending;
        }
    }
}

// A copy keeps its names itself: it reads the same once the original and the texts it
// referred to are gone. A move keeps the names where they are.
TEST(CompactRows, ACopyOutlivesTheOriginalAndItsTexts) {
    auto elsewhere = std::make_unique<std::string>(500, 'q');
    const std::vector<TRecStat> rows = EdgeRows(*elsewhere);
    const TLstStat expected = ListOf(rows);
    auto original = std::make_unique<TLstStat>(ListOf(rows));
    original->Compact();
    TLstStat copy = *original;
    TLstStat moved = std::move(*original);
    EXPECT_EQ(moved, expected);
    original.reset();
    EXPECT_EQ(copy, expected);
    EXPECT_EQ(moved, expected);
    // The whole rows that the copy is expanded to own their names as well.
    copy.MutableRows();
    moved = TLstStat();
    elsewhere.reset();
    EXPECT_EQ(copy.Count(), rows.size());
    EXPECT_EQ(copy[3].Name.View(), std::string(500, 'q'));
}

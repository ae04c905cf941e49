#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "core/BinaryStream_u.h"
#include "core/CommonUtils_u.h"
#include "core/DateTime_u.h"
#include "engine/Statistics_u.h"

using namespace brindle;
using namespace std::string_literals;

namespace {

TRecStat GoldenRow() {
    TRecStat row;
    row.Name = "ab";
    row.Key = EncodeDateTime(2007, 3, 1, 12, 0, 0);  // 39142.5
    row.Duration = 6 * 3600;  // 0.25 days
    row.Kind = 2;
    row.Code = 404;
    row.Hits = 7;
    row.Visits = 3;
    row.Bytes = 0x0102030405060708;
    row.Pages = 5;
    row.NotModified = 1;
    row.Partial = 2;
    row.Errors = 4;
    row.IP = static_cast<std::int32_t>(IPToLong("192.168.1.1"));
    row.Country = 236;
    row.PerDay = {1, -2};
    return row;
}

const std::string kGoldenRowBytes =
    "\x02\x00\x00\x00"
    "ab"
    "\x00\x00\x00\x00\xD0\x1C\xE3\x40"  // Key 39142.5
    "\x00\x00\x00\x00\x00\x00\xD0\x3F"  // Duration 0.25
    "\x02"  // Kind
    "\x94\x01\x00\x00"  // Code 404
    "\x07\x00\x00\x00"
    "\x03\x00\x00\x00"
    "\x08\x07\x06\x05\x04\x03\x02\x01"  // Bytes
    "\x05\x00\x00\x00"
    "\x01\x00\x00\x00"
    "\x02\x00\x00\x00"
    "\x04\x00\x00\x00"
    "\xC0\xA8\x01\x01"  // IP, network order
    "\xEC\x00\x00\x00"  // Country 236
    "\x02\x00\x00\x00"
    "\x01\x00\x00\x00"
    "\xFE\xFF\xFF\xFF"s;

std::string Written(const TRecStat& row) {
    TBinaryWriter writer;
    EXPECT_TRUE(WriteStatRecord(row, writer));
    return writer.Data();
}

TRecStat RandomRow(std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::int32_t> small(-5, 100000);
    TRecStat row;
    const int nameLength = std::uniform_int_distribution<int>(0, 40)(rng);
    std::string name;
    for (int i = 0; i < nameLength; ++i) name += static_cast<char>(byte(rng));
    row.Name = name;
    row.Key = std::uniform_int_distribution<TSeconds>(0, 4'000'000'000)(rng);
    row.Duration = std::uniform_int_distribution<TSeconds>(-1000, 50'000'000)(rng);
    row.Kind = static_cast<std::uint8_t>(byte(rng));
    row.Code = small(rng);
    row.Hits = small(rng);
    row.Visits = small(rng);
    row.Bytes = std::uniform_int_distribution<std::int64_t>(std::numeric_limits<std::int64_t>::min(),
                                                            std::numeric_limits<std::int64_t>::max())(rng);
    row.Pages = small(rng);
    row.NotModified = small(rng);
    row.Partial = small(rng);
    row.Errors = small(rng);
    row.IP = std::uniform_int_distribution<std::int32_t>(std::numeric_limits<std::int32_t>::min(), -1)(rng);
    row.Country = std::uniform_int_distribution<std::int32_t>(0, 266)(rng);
    row.PerDay.resize(std::uniform_int_distribution<std::size_t>(0, 30)(rng));
    for (auto& count : row.PerDay) count = small(rng);
    return row;
}

}  // namespace

TEST(StatStream, GoldenRowByteByByte) {
    const std::string bytes = Written(GoldenRow());
    ASSERT_EQ(bytes.size(), kStatRecordFixedBytes + 2 + 4 * 2);
    EXPECT_EQ(bytes, kGoldenRowBytes);

    TBinaryReader reader(kGoldenRowBytes);
    TRecStat row;
    ASSERT_TRUE(ReadStatRecord(row, reader));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(row, GoldenRow());
}

TEST(StatStream, EmptyRowIs69Bytes) {
    const std::string bytes = Written(TRecStat{});
    EXPECT_EQ(bytes, std::string(69, '\0'));
}

TEST(StatStream, StoredDoublesAreReadToTheNearestSecond) {
    struct Case {
        double key, duration;
        TSeconds expectKey, expectDuration;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.5, 1.0 / 24, 43200, 3600},
        {39142.0 + 1.4 / 86400, 2.6 / 86400, TSeconds{39142} * 86400 + 1, 3},
        {nan, inf, 0, 0},
        {-inf, nan, 0, 0},
    };
    for (const Case& c : cases) {
        TBinaryWriter writer;
        WriteStatRecord(TRecStat{}, writer);
        std::string bytes = writer.Data();
        TBinaryWriter doubles;
        doubles.WriteDouble(c.key);
        doubles.WriteDouble(c.duration);
        bytes.replace(4, 16, doubles.Data());
        TBinaryReader reader(bytes);
        TRecStat row;
        ASSERT_TRUE(ReadStatRecord(row, reader));
        EXPECT_EQ(row.Key, c.expectKey) << c.key;
        EXPECT_EQ(row.Duration, c.expectDuration) << c.duration;
    }
}

TEST(StatStream, LongNamesAreCutOnAUtf8Boundary) {
    struct Case {
        std::string name;
        std::size_t storedLength;
    };
    const Case cases[] = {
        {std::string(2048, 'a'), 2048},
        {std::string(2049, 'a'), 2048},
        {std::string(2047, 'a') + "\xC3\xA9", 2047},  // "é" would straddle the limit
        {std::string(2046, 'a') + "\xC3\xA9x", 2048},  // "é" ends exactly at the limit
        {std::string(2046, 'a') + "\xE2\x82\xAC", 2046},  // "€" would straddle it
        {std::string(100000, 'b'), 2048},
    };
    for (const Case& c : cases) {
        TRecStat row;
        row.Name = c.name;
        const std::string bytes = Written(row);
        EXPECT_EQ(bytes.size(), kStatRecordFixedBytes + c.storedLength);
        TBinaryReader reader(bytes);
        TRecStat back;
        ASSERT_TRUE(ReadStatRecord(back, reader)) << c.name.size();
        EXPECT_EQ(back.Name, c.name.substr(0, c.storedLength));
    }
}

TEST(StatStream, ReaderRefusesBadLengthsAndCounts) {
    const auto withInt32At = [](std::size_t offset, std::int32_t value) {
        std::string bytes = Written(TRecStat{});
        TBinaryWriter patch;
        patch.WriteI32(value);
        bytes.replace(offset, 4, patch.Data());
        return bytes;
    };
    const std::size_t perDayOffset = kStatRecordFixedBytes - 4;
    struct Case {
        std::string bytes;
        bool ok;
    };
    const Case cases[] = {
        {withInt32At(0, 2049), false},
        {withInt32At(0, -1), false},
        {withInt32At(0, std::numeric_limits<std::int32_t>::max()), false},
        {withInt32At(perDayOffset, 1), false},
        {withInt32At(perDayOffset, std::numeric_limits<std::int32_t>::max()), false},  // 8 GB never asked for
        {withInt32At(perDayOffset, 0), true},
    };
    for (const Case& c : cases) {
        TBinaryReader reader(c.bytes);
        TRecStat row;
        row.PerDay = {9};
        EXPECT_EQ(ReadStatRecord(row, reader), c.ok);
    }
}

TEST(StatStream, ShortReadKeepsTheFieldsAlreadyRead) {
    const std::string cut = kGoldenRowBytes.substr(0, 6 + 8 + 8 + 1 + 4 + 2);  // inside Hits
    TBinaryReader reader(cut);
    TRecStat row;
    row.Hits = 99;
    EXPECT_FALSE(ReadStatRecord(row, reader));
    EXPECT_EQ(row.Name, "ab");
    EXPECT_EQ(row.Code, 404);
    EXPECT_EQ(row.Hits, 99);
}

TEST(StatStream, ListTruncatedAtEveryOffset) {
    TLstStat list;
    TRecStat first = GoldenRow();
    TRecStat second;
    second.Name = "second row, named at more length than a row keeps in itself";
    second.PerDay = {1, 2, 3};
    TRecStat third = GoldenRow();
    third.Name = "";
    list.Add(first);
    list.Add(second);
    list.Add(third);
    TBinaryWriter writer;
    ASSERT_TRUE(list.SaveToStream(writer));
    const std::string& bytes = writer.Data();
    const std::size_t firstEnd = 4 + Written(first).size();
    const std::size_t secondEnd = firstEnd + Written(second).size();
    ASSERT_EQ(bytes.size(), secondEnd + Written(third).size());

    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::string cut = bytes.substr(0, length);
        TBinaryReader reader(cut);
        TLstStat loaded;
        const bool ok = loaded.LoadFromStream(reader);
        const std::size_t expectRows = length == bytes.size() ? 3
                                       : length >= secondEnd  ? 2
                                       : length >= firstEnd   ? 1
                                                              : 0;
        EXPECT_EQ(ok, length == bytes.size()) << length;
        ASSERT_EQ(loaded.Count(), expectRows) << length;
        for (std::size_t i = 0; i < expectRows; ++i) EXPECT_EQ(loaded[i], list[i]) << length;

        // The same into a store: the long names the rows kept refer to it, even when the
        // load broke off, and move along with it.
        TLstStat kept;
        TStatTexts store;
        {
            TBinaryReader again(cut);
            TLstStat into;
            TStatTexts texts;
            EXPECT_EQ(into.LoadFromStream(again, &texts), ok) << length;
            kept = std::move(into);
            store = std::move(texts);
        }
        ASSERT_EQ(kept.Count(), expectRows) << length;
        for (std::size_t i = 0; i < expectRows; ++i) EXPECT_EQ(kept[i], list[i]) << length;
    }
}

TEST(StatStream, ListCountBeyondTheDataLoadsWhatIsThere) {
    TBinaryWriter writer;
    writer.WriteI32(std::numeric_limits<std::int32_t>::max());
    WriteStatRecord(GoldenRow(), writer);
    TBinaryReader reader(writer.Data());
    TLstStat list;
    EXPECT_FALSE(list.LoadFromStream(reader));
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0], GoldenRow());
}

TEST(StatStream, NegativeListCountReadsAsEmpty) {
    TBinaryWriter writer;
    writer.WriteI32(-3);
    TBinaryReader reader(writer.Data());
    TLstStat list;
    EXPECT_TRUE(list.LoadFromStream(reader));
    EXPECT_TRUE(list.Empty());
}

TEST(StatStream, LoadAppendsToTheList) {
    TLstStat source;
    source.Add(GoldenRow());
    TBinaryWriter writer;
    source.SaveToStream(writer);
    TLstStat list;
    TRecStat existing;
    existing.Name = "kept";
    list.Add(existing);
    TBinaryReader reader(writer.Data());
    ASSERT_TRUE(list.LoadFromStream(reader));
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[0].Name, "kept");
    EXPECT_EQ(list[1], GoldenRow());
}

TEST(StatStream, RandomListsRoundTrip) {
    std::mt19937 rng(20070301);
    for (int round = 0; round < 50; ++round) {
        TLstStat list;
        const int rows = std::uniform_int_distribution<int>(0, 20)(rng);
        for (int i = 0; i < rows; ++i) list.Add(RandomRow(rng));
        TBinaryWriter writer;
        ASSERT_TRUE(list.SaveToStream(writer));
        TBinaryReader reader(writer.Data());
        TLstStat back;
        ASSERT_TRUE(back.LoadFromStream(reader));
        EXPECT_TRUE(reader.AtEnd());
        EXPECT_EQ(back, list);
    }
}

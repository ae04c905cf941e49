#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/BinaryStream_u.h"

using namespace brindle;
using namespace std::string_literals;

TEST(BinaryStream, WritesLittleEndianWithoutPadding) {
    TBinaryWriter w;
    w.WriteU8(0xAB);
    w.WriteU16(0x1234);
    w.WriteI32(-2);
    w.WriteU32(0x01020304);
    w.WriteI64(-1);
    w.WriteU64(0x1122334455667788ull);
    w.WriteDouble(1.5);
    w.WriteString32("hi");
    w.WriteString32("");
    const std::string expected =
        "\xAB"
        "\x34\x12"
        "\xFE\xFF\xFF\xFF"
        "\x04\x03\x02\x01"
        "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
        "\x88\x77\x66\x55\x44\x33\x22\x11"
        "\x00\x00\x00\x00\x00\x00\xF8\x3F"
        "\x02\x00\x00\x00hi"
        "\x00\x00\x00\x00"s;
    EXPECT_EQ(w.Data(), expected);

    TBinaryReader r(w.Data());
    std::uint8_t u8 = 0;
    std::uint16_t u16 = 0;
    std::int32_t i32 = 0;
    std::uint32_t u32 = 0;
    std::int64_t i64 = 0;
    std::uint64_t u64 = 0;
    double d = 0;
    std::string s1, s2 = "x";
    ASSERT_TRUE(r.ReadU8(u8) && r.ReadU16(u16) && r.ReadI32(i32) && r.ReadU32(u32) && r.ReadI64(i64) &&
                r.ReadU64(u64) && r.ReadDouble(d) && r.ReadString32(s1, 10) && r.ReadString32(s2, 10));
    EXPECT_EQ(u8, 0xAB);
    EXPECT_EQ(u16, 0x1234);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(u32, 0x01020304u);
    EXPECT_EQ(i64, -1);
    EXPECT_EQ(u64, 0x1122334455667788ull);
    EXPECT_EQ(d, 1.5);
    EXPECT_EQ(s1, "hi");
    EXPECT_EQ(s2, "");
    EXPECT_TRUE(r.AtEnd());
}

// Every kind of read on every prefix of its bytes: a short read fails and changes nothing.
TEST(BinaryStream, ShortReadsFailWithoutSideEffects) {
    TBinaryWriter w;
    w.WriteU64(0x0102030405060708ull);
    w.WriteString32("abcdef");
    const std::string full = w.Data();
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        TBinaryReader r(std::string_view(full).substr(0, cut));
        std::uint64_t u64 = 7;
        std::int64_t i64 = 7;
        double d = 7;
        std::uint32_t u32 = 7;
        std::uint16_t u16 = 7;
        std::string text = "old";
        if (cut < 8) {
            EXPECT_FALSE(r.ReadU64(u64));
            EXPECT_FALSE(r.ReadI64(i64));
            EXPECT_FALSE(r.ReadDouble(d));
            EXPECT_EQ(u64, 7u);
            EXPECT_EQ(i64, 7);
            EXPECT_EQ(d, 7);
            if (cut < 4) {
                EXPECT_FALSE(r.ReadU32(u32));
            }
            if (cut < 2) {
                EXPECT_FALSE(r.ReadU16(u16));
            }
            EXPECT_EQ(r.Position(), 0u);
        } else {
            ASSERT_TRUE(r.Skip(8));
            EXPECT_FALSE(r.ReadString32(text, 100));
            EXPECT_EQ(text, "old");
            EXPECT_EQ(r.Position(), 8u);
            EXPECT_FALSE(r.Skip(r.Remaining() + 1));
            EXPECT_FALSE(r.ReadBytes(r.Remaining() + 1, text));
            EXPECT_EQ(r.Position(), 8u);
        }
    }
}

TEST(BinaryStream, LengthsAndCountsFromAFileAreChecked) {
    struct Case {
        std::string bytes;
        bool ok;
        const char* what;
    };
    const Case texts[] = {
        {"\xFF\xFF\xFF\xFFxyz"s, false, "negative length"},
        {"\xFF\xFF\xFF\x7F"s, false, "length far beyond the bytes left"},
        {"\x03\x00\x00\x00xy"s, false, "one byte short"},
        {"\x05\x00\x00\x00xyzzy"s, false, "longer than the limit of 4"},
        {"\x04\x00\x00\x00xyzz"s, true, "exactly the limit"},
    };
    for (const auto& c : texts) {
        TBinaryReader r(c.bytes);
        std::string text = "old";
        EXPECT_EQ(r.ReadString32(text, 4), c.ok) << c.what;
        if (!c.ok) {
            EXPECT_EQ(text, "old") << c.what;
            EXPECT_EQ(r.Position(), 0u) << c.what;
        }
    }

    std::size_t count = 99;
    const std::string minusTwo = "\xFE\xFF\xFF\xFF"s;
    TBinaryReader negative(minusTwo);
    ASSERT_TRUE(negative.ReadCount(count, 10));
    EXPECT_EQ(count, 0u);

    const std::string threeRecords = "\x03\x00\x00\x00"s + std::string(30, 'r');
    TBinaryReader fits(threeRecords);
    ASSERT_TRUE(fits.ReadCount(count, 10));
    EXPECT_EQ(count, 3u);
    TBinaryReader tooMany(threeRecords);
    count = 99;
    EXPECT_FALSE(tooMany.ReadCount(count, 11));
    EXPECT_EQ(count, 99u);
    EXPECT_EQ(tooMany.Position(), 0u);
    const std::string maxCount = "\xFF\xFF\xFF\x7F"s;
    TBinaryReader huge(maxCount);
    EXPECT_FALSE(huge.ReadCount(count, 1));
}

TEST(BinaryStream, CutsOnlyOnUtf8Boundaries) {
    struct Case {
        std::string text;
        std::size_t max;
        std::string expected;
    };
    const std::string e = "\xC3\xA9";  // é, 2 bytes
    const std::string euro = "\xE2\x82\xAC";  // €, 3 bytes
    const std::string smile = "\xF0\x9F\x98\x80";  // 4 bytes
    const Case cases[] = {
        {"abc", 5, "abc"},
        {"abcdef", 3, "abc"},
        {"a" + e, 2, "a"},
        {"a" + e, 3, "a" + e},
        {euro + euro, 4, euro},
        {euro + euro, 5, euro},
        {euro + euro, 6, euro + euro},
        {"ab" + smile, 5, "ab"},
        {"ab" + smile, 3, "ab"},
        {"ab" + smile + "c", 6, "ab" + smile},
        {e, 0, ""},
        {"\x80\x80\x80\x80\x80"s, 3, "\x80\x80\x80"s},  // not UTF-8: cut where the limit falls
        {"a\xE9\xE9\xE9"s, 2, "a\xE9"s},
        {"abcd" + e, 5, "abcd"},
    };
    for (const auto& c : cases) EXPECT_EQ(CutAtUtf8Boundary(c.text, c.max), c.expected) << c.text << " " << c.max;
}

TEST(BinaryStream, StreamStringsStayWithinTheLimit) {
    // 2047 ASCII bytes then a 3-byte character: the character does not fit whole.
    const std::string text = std::string(2047, 'x') + "\xE2\x82\xAC" + "tail";
    TBinaryWriter w;
    WriteStreamString(w, text);
    WriteStreamString(w, std::string(2048, 'y'));
    TBinaryReader r(w.Data());
    std::string first, second;
    ASSERT_TRUE(ReadStreamString(r, first));
    ASSERT_TRUE(ReadStreamString(r, second));
    EXPECT_EQ(first, std::string(2047, 'x'));
    EXPECT_EQ(second, std::string(2048, 'y'));
    EXPECT_TRUE(r.AtEnd());

    TBinaryWriter tooLong;
    tooLong.WriteString32(std::string(2049, 'z'));
    TBinaryReader rejected(tooLong.Data());
    EXPECT_FALSE(ReadStreamString(rejected, first));
}

TEST(BinaryStream, RandomSequencesReadBackAsWritten) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        struct Item {
            int kind;
            std::uint64_t value;
            std::string text;
        };
        std::vector<Item> items;
        TBinaryWriter w;
        for (int i = std::uniform_int_distribution<int>(0, 20)(rng); i > 0; --i) {
            Item item{std::uniform_int_distribution<int>(0, 4)(rng), rng() * 0x100000001ull, ""};
            switch (item.kind) {
                case 0: w.WriteU8(static_cast<std::uint8_t>(item.value)); break;
                case 1: w.WriteU16(static_cast<std::uint16_t>(item.value)); break;
                case 2: w.WriteI32(static_cast<std::int32_t>(item.value)); break;
                case 3: w.WriteU64(item.value); break;
                default:
                    item.text.assign(item.value % 40, static_cast<char>(item.value % 256));
                    w.WriteString32(item.text);
            }
            items.push_back(item);
        }
        TBinaryReader r(w.Data());
        for (const auto& item : items) {
            std::uint8_t u8 = 0;
            std::uint16_t u16 = 0;
            std::int32_t i32 = 0;
            std::uint64_t u64 = 0;
            std::string text;
            switch (item.kind) {
                case 0:
                    ASSERT_TRUE(r.ReadU8(u8));
                    EXPECT_EQ(u8, static_cast<std::uint8_t>(item.value));
                    break;
                case 1:
                    ASSERT_TRUE(r.ReadU16(u16));
                    EXPECT_EQ(u16, static_cast<std::uint16_t>(item.value));
                    break;
                case 2:
                    ASSERT_TRUE(r.ReadI32(i32));
                    EXPECT_EQ(i32, static_cast<std::int32_t>(item.value));
                    break;
                case 3:
                    ASSERT_TRUE(r.ReadU64(u64));
                    EXPECT_EQ(u64, item.value);
                    break;
                default: ASSERT_TRUE(r.ReadString32(text, 100)); EXPECT_EQ(text, item.text);
            }
        }
        EXPECT_TRUE(r.AtEnd());
    }
}

#include <gtest/gtest.h>

#include <random>

#include "ProfileSamples.h"
#include "core/BinaryStream_u.h"
#include "core/Profiles_u.h"

using namespace brindle;
using namespace std::string_literals;

namespace {

// Little-endian pieces spelled out by hand, independent of the writer under test.
std::string I32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
            static_cast<char>(u >> 24)};
}
std::string B(std::uint8_t value) { return std::string(1, static_cast<char>(value)); }
std::string Text(const std::string& text) { return I32(static_cast<std::int32_t>(text.size())) + text; }

TProfile SampleProfile() {
    TProfile p;
    p.Name = "Site";
    p.LogFiles.Add({"ftp://", "h/x", "u", "secret", 21, 1, 0});
    p.LogFileFormat = 7;
    p.DateFormat = 2;
    p.DomainName = "d.org";
    p.DNSLookup = 1;
    p.AutoExportType = 3;
    p.AutoExportFile = "out";
    p.AutoExportLanguageID = "fr";
    p.OffsetSign = -1;
    p.OffsetHour = 2;
    p.OffsetMinute = 30;
    p.Reports.Add({37, 1, 1, 0, 1, 50, 10, 5});
    p.Filters.Add({2, 17, "No bots", "bot", ""});
    return p;
}

// The sample's block; without the language id it is the 2.0 layout.
std::string SampleBlock(bool withLanguage) {
    return Text("Site") + I32(1) + Text("ftp://") + Text("h/x") + Text("u") + Text("") + I32(21) + I32(1) + B(7) +
           B(2) + Text("d.org") + Text("") + I32(1) + I32(0) + B(3) + Text("out") + (withLanguage ? Text("fr") : "") +
           Text("") + I32(-1) + I32(2) + I32(30) + I32(1) + B(37) + I32(1) + I32(1) + I32(0) + I32(1) + I32(50) +
           I32(10) + I32(5) + I32(1) + B(2) + B(17) + Text("No bots") + Text("bot") + Text("");
}

// What a profile looks like after a trip through a block.
TProfile AsRead(TProfile p, const TProfile& target) {
    for (auto& rec : p.LogFiles) {
        rec.LoginPassword.clear();
        rec.Enable = 1;
    }
    p.Obsolete110 = target.Obsolete110;
    return p;
}

}  // namespace

TEST(ProfileStream, WritesTheGoldenBlock) {
    TBinaryWriter w;
    ASSERT_TRUE(SampleProfile().WriteToStream(w));
    EXPECT_EQ(w.Data(), SampleBlock(true));  // the password is written empty

    TProfile read;
    TBinaryReader r(w.Data());
    ASSERT_TRUE(read.ReadFromStream(r, kProfileBlockVersion21));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(read, AsRead(SampleProfile(), read));
    EXPECT_EQ(read.Filters[0].FilterType, 2);
    EXPECT_EQ(read.Filters[0].FilterItem, 17);
}

TEST(ProfileStream, AnEmptyProfileWritesThreeZeroCounts) {
    TBinaryWriter w;
    ASSERT_TRUE(TProfile().WriteToStream(w));
    const std::string zero = I32(0);
    const std::string expected = zero + zero + B(0) + B(0) + zero + zero + zero + zero + B(0) + zero + zero + zero +
                                 zero + zero + zero + zero + zero;
    EXPECT_EQ(w.Data(), expected);

    TProfile read = SampleProfile();
    TBinaryReader r(w.Data());
    ASSERT_TRUE(read.ReadFromStream(r, kProfileBlockVersion21));
    EXPECT_EQ(read, TProfile());
}

TEST(ProfileStream, TheOlderLayoutHasNoLanguageId) {
    TProfile read;
    const std::string block = SampleBlock(false);
    TBinaryReader r(block);
    ASSERT_TRUE(read.ReadFromStream(r, kProfileBlockVersion20));
    EXPECT_TRUE(r.AtEnd());
    TProfile expected = AsRead(SampleProfile(), read);
    expected.AutoExportLanguageID = "default";
    EXPECT_EQ(read, expected);
}

TEST(ProfileStream, UnknownVersionsReadNothing) {
    const std::string block = SampleBlock(true);
    for (std::uint32_t version : {0u, 0x10000u, 0x20002u, 0x30001u, 0x2000Au}) {
        TProfile read;
        TBinaryReader r(block);
        EXPECT_FALSE(read.ReadFromStream(r, version)) << version;
        EXPECT_EQ(r.Position(), 0u);
        EXPECT_EQ(read, TProfile());
    }
}

// A block cut short anywhere fails, and neither the profile nor the reader moves.
TEST(ProfileStream, ABlockCutShortAtAnyByteFailsCleanly) {
    const TProfiles golden = test::GoldenProfiles();
    TProfile before = golden.Profiles[0];
    for (const bool current : {true, false}) {
        const std::string block = SampleBlock(current);
        const std::uint32_t version = current ? kProfileBlockVersion21 : kProfileBlockVersion20;
        for (std::size_t cut = 0; cut < block.size(); ++cut) {
            const std::string prefix = block.substr(0, cut);
            TBinaryReader r(prefix);
            TProfile target = before;
            EXPECT_FALSE(target.ReadFromStream(r, version)) << cut;
            EXPECT_EQ(target, before) << cut;
            EXPECT_EQ(r.Position(), 0u) << cut;
        }
    }
}

TEST(ProfileStream, MalformedLengthsAndCounts) {
    struct Case {
        std::string block;
        bool ok;
        const char* what;
    };
    const std::string tail = B(0) + B(0) + Text("") + Text("") + I32(0) + I32(0) + B(0) + Text("") + Text("") +
                             Text("") + I32(1) + I32(0) + I32(0);
    const Case cases[] = {
        {Text("n") + I32(-5) + tail + I32(-1) + I32(-2147483647 - 1), true, "negative counts read as none"},
        {I32(-1) + "x" + I32(0) + tail + I32(0) + I32(0), false, "negative text length"},
        {Text(std::string(2049, 'n')) + I32(0) + tail + I32(0) + I32(0), false, "text longer than 2048 bytes"},
        {Text(std::string(2048, 'n')) + I32(0) + tail + I32(0) + I32(0), true, "text of 2048 bytes"},
        {Text("n") + I32(0x7FFFFFFF) + tail + I32(0) + I32(0), false, "location count beyond the block"},
        {Text("n") + I32(0) + tail + I32(2) + std::string(29, '\0') + I32(0), false, "report count one too many"},
        {Text("n") + I32(0) + tail + I32(0) + I32(1000000), false, "filter count beyond the block"},
    };
    for (const auto& c : cases) {
        TProfile target;
        target.Name = "old";
        TBinaryReader r(c.block);
        EXPECT_EQ(target.ReadFromStream(r, kProfileBlockVersion21), c.ok) << c.what;
        if (c.ok) {
            EXPECT_TRUE(r.AtEnd()) << c.what;
            EXPECT_TRUE(target.LogFiles.IsEmpty() && target.Reports.IsEmpty() && target.Filters.IsEmpty()) << c.what;
        } else {
            EXPECT_EQ(target.Name, "old") << c.what;
        }
    }
}

TEST(ProfileStream, LongTextsAreCutSoTheBlockStaysReadable) {
    TProfile p;
    p.Description = std::string(2046, 'd') + "\xE2\x82\xAC" + "more";  // the euro sign straddles the limit
    p.Filters.Add({1, 11, std::string(5000, 'f'), "", ""});
    TBinaryWriter w;
    ASSERT_TRUE(p.WriteToStream(w));
    TProfile read;
    TBinaryReader r(w.Data());
    ASSERT_TRUE(read.ReadFromStream(r, kProfileBlockVersion21));
    EXPECT_EQ(read.Description, std::string(2046, 'd'));
    EXPECT_EQ(read.Filters[0].Name, std::string(2048, 'f'));
}

TEST(ProfileStream, RandomProfilesSurviveABlock) {
    std::mt19937 rng(77);
    for (int round = 0; round < 100; ++round) {
        const TProfile source = test::RandomProfile(rng);
        TBinaryWriter w;
        ASSERT_TRUE(source.WriteToStream(w));
        w.WriteU8(0xEE);  // whatever follows the block stays unread
        TProfile read;
        read.Obsolete110.LogFileURL = "kept";
        TBinaryReader r(w.Data());
        ASSERT_TRUE(read.ReadFromStream(r, kProfileBlockVersion21));
        EXPECT_EQ(r.Remaining(), 1u);
        EXPECT_EQ(read, AsRead(source, read));
        EXPECT_EQ(read.Obsolete110.LogFileURL, "kept");
    }
}

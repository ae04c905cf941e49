#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/CommonUtils_u.h"
#include "engine/DNSCache_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace std::string_literals;
using test::ReadFileBytes;
using test::TestFolder;

namespace {

// Three entries: a found name at 2007-01-01 12:00, a placeholder never looked up, and a
// failed-then-found UTF-8 name at 2023-03-15 06:00.
std::vector<TRecDNS> GoldenEntries() {
    return {
        {IPToLong("192.168.1.10"), EncodeDateTime(2007, 1, 1, 12, 0, 0), "host.example.com"},
        {IPToLong("10.0.0.1"), 0, ""},
        {IPToLong("1.2.3.4"), EncodeDateTime(2023, 3, 15, 6, 0, 0), "caf\xC3\xA9.example"},
    };
}

const std::string kGolden =
    "\x03\x00\x00\x00"s
    // 192.168.1.10, 39083.5, "host.example.com"
    "\xC0\xA8\x01\x0A"
    "\x00\x00\x00\x00\x70\x15\xE3\x40"
    "\x10\x00\x00\x00"
    "host.example.com"
    // 10.0.0.1, 0.0, ""
    "\x0A\x00\x00\x01"
    "\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00"
    // 1.2.3.4, 45000.25, "café.example"
    "\x01\x02\x03\x04"
    "\x00\x00\x00\x00\x08\xF9\xE5\x40"
    "\x0D\x00\x00\x00"
    "caf\xC3\xA9.example"s;

// Offsets at which each golden entry is complete.
const std::vector<std::size_t> kGoldenEntryEnds = {36, 52, 81};

TLstDNS ListOf(const std::vector<TRecDNS>& entries) {
    TLstDNS list;
    for (const TRecDNS& entry : entries) list.Add(entry);
    return list;
}

bool Save(const std::vector<TRecDNS>& entries, const std::string& path) {
    TDNSCache cache;
    cache.Cache = ListOf(entries);
    return cache.SaveToFile(path);
}

}  // namespace

TEST(DNSCacheFile, GoldenBytes) {
    TestFolder folder;
    const std::string path = folder.file("dns.dat");
    ASSERT_TRUE(Save(GoldenEntries(), path));
    EXPECT_EQ(ReadFileBytes(path), kGolden);

    TDNSCache read;
    read.Cache = ListOf({{IPToLong("9.9.9.9"), 1, "old"}});
    ASSERT_TRUE(read.LoadFromFile(path));
    EXPECT_EQ(read.Cache.Items(), GoldenEntries());
    EXPECT_EQ(read.Cache.FindByAddress(IPToLong("9.9.9.9")), nullptr);
}

TEST(DNSCacheFile, EmptyCacheIsFourBytes) {
    TestFolder folder;
    const std::string path = folder.file("dns.dat");
    TDNSCache cache;
    cache.Cache = ListOf(GoldenEntries());
    cache.Clear();
    ASSERT_TRUE(cache.SaveToFile(path));
    EXPECT_EQ(ReadFileBytes(path), "\x00\x00\x00\x00"s);

    TDNSCache read;
    read.Cache = ListOf(GoldenEntries());
    EXPECT_TRUE(read.LoadFromFile(path));
    EXPECT_EQ(read.Cache.Count(), 0u);
}

// Every prefix of the golden file: false, and exactly the entries complete in it.
TEST(DNSCacheFile, TruncatedAtEveryOffsetKeepsEntriesRead) {
    TestFolder folder;
    const std::vector<TRecDNS> golden = GoldenEntries();
    for (std::size_t length = 0; length < kGolden.size(); ++length) {
        const std::string path = folder.write("cut.dat", kGolden.substr(0, length));
        TDNSCache cache;
        cache.Cache = ListOf({{IPToLong("9.9.9.9"), 1, "old"}});
        EXPECT_FALSE(cache.LoadFromFile(path)) << length;
        std::size_t complete = 0;
        while (complete < kGoldenEntryEnds.size() && kGoldenEntryEnds[complete] <= length) ++complete;
        EXPECT_EQ(cache.Cache.Items(), std::vector<TRecDNS>(golden.begin(), golden.begin() + complete)) << length;
    }
}

TEST(DNSCacheFile, DamagedFiles) {
    const std::string entry = "\x01\x02\x03\x04"s + std::string(8, '\0') +
                              "\x01\x00\x00\x00"
                              "a"s;
    struct Case {
        const char* what;
        std::string bytes;
        bool loaded;
        std::size_t entries;
    } cases[] = {
        {"name longer than 2048 bytes",
         "\x02\x00\x00\x00"s + entry + "\x05\x06\x07\x08"s + std::string(8, '\0') + "\x01\x08\x00\x00"s +
             std::string(2049, 'x'),
         false, 1},
        {"negative name length", "\x01\x00\x00\x00\x01\x02\x03\x04"s + std::string(8, '\0') + "\xFF\xFF\xFF\xFF", false,
         0},
        {"count far beyond the data", "\xFF\xFF\xFF\x7F"s + entry, false, 1},
        {"negative count", "\xFF\xFF\xFF\xFF"s + entry, true, 0},
        {"bytes after the last entry", "\x01\x00\x00\x00"s + entry + "junk", true, 1},
        {"name of exactly 2048 bytes",
         "\x01\x00\x00\x00\x01\x02\x03\x04"s + std::string(8, '\0') + "\x00\x08\x00\x00"s + std::string(2048, 'x'),
         true, 1},
    };
    TestFolder folder;
    for (const Case& c : cases) {
        TDNSCache cache;
        EXPECT_EQ(cache.LoadFromFile(folder.write("bad.dat", c.bytes)), c.loaded) << c.what;
        EXPECT_EQ(cache.Cache.Count(), c.entries) << c.what;
    }
}

TEST(DNSCacheFile, MissingFileLeavesCacheAsItWas) {
    TestFolder folder;
    TDNSCache cache;
    cache.Cache = ListOf(GoldenEntries());
    EXPECT_FALSE(cache.LoadFromFile(folder.file("none.dat")));
    EXPECT_EQ(cache.Cache.Items(), GoldenEntries());
}

TEST(DNSCacheFile, SaveIsAtomic) {
    TestFolder folder;
    const std::string path = folder.file("dns.dat");
    ASSERT_TRUE(Save({{IPToLong("9.9.9.9"), 1, "old"}}, path));
    ASSERT_TRUE(Save(GoldenEntries(), path));
    EXPECT_EQ(ReadFileBytes(path), kGolden);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(folder.path())) ++files;
    EXPECT_EQ(files, 1u) << "no temporary file may stay behind";

    // A target that cannot be replaced is a failure, and nothing is left beside it.
    const std::string blocked = folder.file("blocked.dat");
    folder.write("blocked.dat/keep", "x");
    EXPECT_FALSE(Save(GoldenEntries(), blocked));
    EXPECT_EQ(ReadFileBytes(blocked + "/keep"), "x");
    EXPECT_FALSE(Save(GoldenEntries(), folder.file("missing/dns.dat")));
    files = 0;
    for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(folder.path())) ++files;
    EXPECT_EQ(files, 2u);
}

// A name too long for the file is cut on a character boundary, so the file stays readable.
TEST(DNSCacheFile, LongNameIsCutOnCharacterBoundary) {
    TestFolder folder;
    const std::string path = folder.file("dns.dat");
    const std::string name = std::string(2047, 'a') + "\xC3\xA9" + std::string(100, 'b');
    ASSERT_TRUE(Save({{IPToLong("1.1.1.1"), 1, name}}, path));
    TDNSCache read;
    ASSERT_TRUE(read.LoadFromFile(path));
    ASSERT_EQ(read.Cache.Count(), 1u);
    EXPECT_EQ(read.Cache.Get(0).HostName, std::string(2047, 'a'));
}

// Random caches with repeated addresses: the file round-trips and the index finds what a
// linear search for the first entry finds.
TEST(DNSCacheFile, RandomRoundTripAndFirstEntryLookup) {
    TestFolder folder;
    const std::string path = folder.file("dns.dat");
    std::mt19937 random(126);
    for (int round = 0; round < 20; ++round) {
        std::vector<TRecDNS> entries;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            TRecDNS entry;
            entry.Address = static_cast<std::uint32_t>(random() % 16);  // many repeats
            entry.LookupTime = static_cast<TSeconds>(random() % (60000LL * kSecondsPerDay));
            entry.HostName = std::string(random() % 5, static_cast<char>('a' + i % 26));
            entries.push_back(entry);
        }
        ASSERT_TRUE(Save(entries, path));
        TDNSCache read;
        ASSERT_TRUE(read.LoadFromFile(path));
        ASSERT_EQ(read.Cache.Items(), entries);
        for (std::uint32_t address = 0; address < 18; ++address) {
            const TRecDNS* expected = nullptr;
            for (const TRecDNS& entry : read.Cache.Items())
                if (entry.Address == address) {
                    expected = &entry;
                    break;
                }
            EXPECT_EQ(read.Cache.FindByAddress(address), expected);
        }
    }
}

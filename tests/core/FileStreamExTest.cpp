#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "core/FileStreamEx_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using brindle::test::TestFolder;

namespace {

using TLines = std::vector<std::string>;

// The whole file at once: drop NULs, cut at CR LF, CR or LF, keep a non-empty tail.
TLines SplitWhole(const std::string& bytes) {
    std::string text;
    for (char c : bytes)
        if (c != '\0') text += c;
    TLines lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Every line of the file through ReadLines; each call's lines are copied before the next call.
TLines ReadAll(TFileStreamEx& reader, int* calls = nullptr) {
    TLines all;
    std::vector<std::string_view> lines;
    int n = 0;
    for (bool last = false; !last;) {
        last = reader.ReadLines(lines, n == 0);
        ++n;
        all.insert(all.end(), lines.begin(), lines.end());
    }
    if (calls != nullptr) *calls = n;
    // Past the end: nothing more, and still the end.
    EXPECT_TRUE(reader.ReadLines(lines, false));
    EXPECT_TRUE(lines.empty());
    return all;
}

const std::size_t kChunkSizes[] = {1, 2, 3, 7, 64, 4096, TFileStreamEx::ReadChunkSize};

}  // namespace

TEST(FileStreamEx, EdgeCases) {
    struct TCase {
        std::string bytes;
        TLines lines;
    };
    using namespace std::string_literals;
    const TCase cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},  // an unterminated last line is a line
        {"a\rb\r", {"a", "b"}},
        {"", {}},
        {"abc", {"abc"}},
        {"\n", {""}},
        {"\r", {""}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"\r\r\n\n", {"", "", ""}},
        {"\n\r", {"", ""}},
        {"a\0b\n"s, {"ab"}},  // NULs are skipped, the rest of the chunk is kept
        {"\0\0"s, {}},
        {"x\0"s, {"x"}},
        {"a\r\0\nb"s, {"a", "b"}},
        {"a\n\0"s, {"a"}},
    };
    for (const TCase& c : cases) {
        TestFolder folder;
        const std::string path = folder.write("f.log", c.bytes);
        for (std::size_t chunk : kChunkSizes) {
            SCOPED_TRACE(testing::PrintToString(c.bytes) + " chunk " + std::to_string(chunk));
            TFileStreamEx reader(path, chunk);
            ASSERT_TRUE(reader.IsOpen());
            EXPECT_EQ(reader.CountLines(), static_cast<std::int64_t>(c.lines.size()));
            EXPECT_EQ(ReadAll(reader), c.lines);
            EXPECT_EQ(reader.Position(), static_cast<std::int64_t>(c.bytes.size()));
        }
    }
}

TEST(FileStreamEx, ChunkBoundaries) {
    TestFolder folder;
    std::vector<std::string_view> lines;

    // A line across the boundary comes whole, first among the second chunk's lines.
    TFileStreamEx reader(folder.write("span.log", "aaaa\nbbbbbbb\nc\nddd"), 8);
    EXPECT_FALSE(reader.ReadLines(lines, true));
    EXPECT_EQ(lines, (std::vector<std::string_view>{"aaaa"}));
    EXPECT_FALSE(reader.ReadLines(lines, false));
    EXPECT_EQ(lines, (std::vector<std::string_view>{"bbbbbbb", "c"}));
    EXPECT_TRUE(reader.ReadLines(lines, false));
    EXPECT_EQ(lines, (std::vector<std::string_view>{"ddd"}));

    // Restart mid-file begins again at the first line.
    EXPECT_FALSE(reader.ReadLines(lines, true));
    EXPECT_EQ(lines, (std::vector<std::string_view>{"aaaa"}));

    // CR at the end of one chunk, LF at the start of the next: one line end.
    TFileStreamEx crlf(folder.write("crlf.log", "ab\r\ncd"), 3);
    EXPECT_EQ(ReadAll(crlf), (TLines{"ab", "cd"}));

    // A file of exactly one chunk takes a second call, which ends with no lines.
    std::string exact;
    while (exact.size() < TFileStreamEx::ReadChunkSize) exact += std::string(99, 'x') + "\n";
    exact.resize(TFileStreamEx::ReadChunkSize - 1);
    exact += "\n";
    TFileStreamEx big(folder.write("exact.log", exact));
    EXPECT_FALSE(big.ReadLines(lines, true));
    EXPECT_EQ(lines.size(), SplitWhole(exact).size());
    EXPECT_TRUE(big.ReadLines(lines, false));
    EXPECT_TRUE(lines.empty());
}

TEST(FileStreamEx, FilesThatCannotBeRead) {
    TestFolder folder;
    TFileStreamEx missing(folder.file("missing.log"));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.LastError(), ENOENT);
    std::vector<std::string_view> lines;
    EXPECT_THROW(missing.ReadLines(lines, true), std::system_error);
    EXPECT_THROW(missing.CountLines(), std::system_error);

    TFileStreamEx dir;
    EXPECT_FALSE(dir.Open(folder.path()));
    EXPECT_EQ(dir.LastError(), EISDIR);

    // A failed Open closes what was open before.
    TFileStreamEx reader(folder.write("a.log", "a\n"));
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_FALSE(reader.Open(folder.file("missing.log")));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(reader.Open(folder.file("a.log")));
    EXPECT_EQ(reader.LastError(), 0);
    EXPECT_EQ(reader.Size(), 2);
}

// Random contents of every awkward kind against the whole-file splitter, at many chunk sizes.
TEST(FileStreamEx, RandomizedAgainstWholeFileSplit) {
    std::mt19937 rng(42);
    TestFolder folder;
    const char special[] = {'\r', '\n', '\0'};
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        const std::size_t pieces = rng() % 40;
        for (std::size_t i = 0; i < pieces; ++i) {
            const unsigned kind = rng() % 10;
            if (kind < 4) {
                bytes += special[rng() % 3];
            } else if (kind < 5) {
                bytes += "\r\n";
            } else {
                // Mostly short text, sometimes longer than the larger chunks.
                const std::size_t length = kind == 9 && rng() % 3 == 0 ? rng() % 10000 : rng() % 12;
                for (std::size_t k = 0; k < length; ++k) bytes += static_cast<char>('a' + rng() % 26);
            }
        }
        const std::string path = folder.write("r.log", bytes);
        const TLines expected = SplitWhole(bytes);
        for (std::size_t chunk : kChunkSizes) {
            SCOPED_TRACE("round " + std::to_string(round) + " chunk " + std::to_string(chunk));
            TFileStreamEx reader(path, chunk);
            ASSERT_EQ(reader.CountLines(), static_cast<std::int64_t>(expected.size()));
            int calls = 0;
            ASSERT_EQ(ReadAll(reader, &calls), expected);
            ASSERT_EQ(calls, static_cast<int>(bytes.size() / chunk) + 1);
            ASSERT_EQ(reader.Position(), static_cast<std::int64_t>(bytes.size()));
        }
    }
}

TEST(FileStreamEx, ByteOrderMarkOnlyAtTheStart) {
    TestFolder folder;
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        std::string bytes;
        TLines lines;
    } cases[] = {
        {bom + "a\nb\n", {"a", "b"}},
        {bom, {}},
        {bom + "\n", {""}},
        {"a\n" + bom + "b\n", {"a", bom + "b"}},  // only the file's first bytes are a mark
        {"\xEF\xBB"
         "a\n",
         {"\xEF\xBB"
          "a"}},
    };
    for (const auto& c : cases)
        for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
            TFileStreamEx reader(folder.write("bom.log", c.bytes), chunk);
            EXPECT_EQ(ReadAll(reader), c.lines) << chunk;
            EXPECT_EQ(reader.CountLines(), static_cast<std::int64_t>(c.lines.size()));
        }
}

// Lines over the limit are dropped and counted wherever they fall, and never held whole.
TEST(FileStreamEx, OverlongLinesAreDroppedAndCounted) {
    std::mt19937 rng(7);
    TestFolder folder;
    const std::size_t limit = 50;
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        TLines kept;
        std::int64_t dropped = 0;
        const int lineCount = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < lineCount; ++i) {
            const std::size_t length = rng() % 4 == 0 ? limit + 1 + rng() % 300 : rng() % (limit + 1);
            const std::string line(length, static_cast<char>('a' + i));
            bytes += line;
            const bool last = i == lineCount - 1 && rng() % 2 == 0;
            if (!last) bytes += rng() % 3 == 0 ? "\r\n" : "\n";
            if (last && line.empty()) continue;
            if (length > limit)
                ++dropped;
            else
                kept.push_back(line);
        }
        const std::string path = folder.write("long.log", bytes);
        for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{64}, std::size_t{4096}}) {
            SCOPED_TRACE("round " + std::to_string(round) + " chunk " + std::to_string(chunk));
            TFileStreamEx reader(path, chunk);
            reader.SetMaxLineLength(limit);
            ASSERT_EQ(reader.CountLines(), static_cast<std::int64_t>(kept.size()) + dropped);
            ASSERT_EQ(ReadAll(reader), kept);
            ASSERT_EQ(reader.DroppedLines(), dropped);
        }
    }
}

// Ranges cut at LineStartAfter read, one after the other, exactly the lines of the whole file.
TEST(FileStreamEx, RangesAtLineStartsAddUpToTheFile) {
    std::mt19937 rng(11);
    TestFolder folder;
    const char special[] = {'\r', '\n', '\0'};
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const std::size_t pieces = rng() % 60;
        for (std::size_t i = 0; i < pieces; ++i) {
            const unsigned kind = rng() % 8;
            if (kind < 3)
                bytes += special[rng() % 3];
            else if (kind < 4)
                bytes += "\r\n";
            else
                bytes += std::string(rng() % 9, static_cast<char>('a' + rng() % 26));
        }
        if (round % 5 == 0) bytes = "\xEF\xBB\xBF" + bytes;
        const std::string path = folder.write("r.log", bytes);
        TFileStreamEx whole(path, 5);
        const TLines expected = ReadAll(whole);
        const std::int64_t step = 1 + static_cast<std::int64_t>(rng() % 9);
        TLines joined;
        TFileStreamEx reader(path, 1 + rng() % 6);
        std::int64_t start = 0;
        while (start < static_cast<std::int64_t>(bytes.size())) {
            const std::int64_t end = reader.LineStartAfter(start + step);
            ASSERT_GT(end, start);
            reader.SetRange(start, end);
            const TLines part = ReadAll(reader);
            joined.insert(joined.end(), part.begin(), part.end());
            start = end;
        }
        ASSERT_EQ(joined, expected) << "round " << round;
    }
}

// The bound reserves one record slot per line: it may exceed the lines of a range, never fall short.
TEST(FileStreamEx, LineBoundNeverBelowTheLinesOfARange) {
    std::mt19937 rng(7);
    TestFolder folder;
    const char special[] = {'\r', '\n', '\0'};
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const std::size_t pieces = rng() % 60;
        for (std::size_t i = 0; i < pieces; ++i) {
            const unsigned kind = rng() % 8;
            if (kind < 3)
                bytes += special[rng() % 3];
            else if (kind < 5)
                bytes += "\r\n";
            else
                bytes += std::string(rng() % 9, 'q');
        }
        const std::string path = folder.write("b.log", bytes);
        TFileStreamEx reader(path, 16);
        const std::int64_t size = reader.Size();
        ASSERT_GE(reader.LineBound(0, -1), reader.CountLines()) << round;
        // Cut at line starts the way the parallel parse cuts, and count each range.
        std::vector<std::int64_t> starts{0};
        for (std::int64_t at = reader.LineStartAfter(5); at < size; at = reader.LineStartAfter(at + 5))
            starts.push_back(at);
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const std::int64_t end = i + 1 < starts.size() ? starts[i + 1] : -1;
            reader.SetRange(starts[i], end);
            std::int64_t lines = 0;
            std::vector<std::string_view> got;
            for (bool last = reader.ReadLines(got, true);; last = reader.ReadLines(got, false)) {
                lines += static_cast<std::int64_t>(got.size());
                if (last) break;
            }
            ASSERT_GE(reader.LineBound(starts[i], end), lines) << round << " range " << i;
        }
    }
    // One more than the line ends where the bytes end inside a line (room for a last line
    // without a line end), exactly the line ends where they end with one.
    TFileStreamEx plain(folder.write("p.log", "a\nb\r\nc\rd"));
    EXPECT_EQ(plain.LineBound(0, -1), 4);
    EXPECT_EQ(plain.LineBound(2, 5), 1);
    EXPECT_EQ(plain.LineBound(0, 6), 3);
    EXPECT_EQ(plain.LineBound(0, 1), 1);
    EXPECT_EQ(plain.LineBound(3, 3), 1);
}

// Long stretches of LF-only lines are counted sixteen bytes at a time: the count is exact
// whatever the lengths, where the stretch ends, and wherever a CR turns up.
TEST(FileStreamEx, LineBoundOnLongStretches) {
    TestFolder folder;
    for (const std::size_t lines : {std::size_t{1}, std::size_t{7}, std::size_t{2039}, std::size_t{2040},
                                    std::size_t{2041}, std::size_t{40000}}) {
        for (const std::size_t width : {std::size_t{1}, std::size_t{2}, std::size_t{15}, std::size_t{16}}) {
            std::string bytes;
            for (std::size_t i = 0; i < lines; ++i) bytes += std::string(width, 'x') + "\n";
            SCOPED_TRACE(std::to_string(lines) + " lines of " + std::to_string(width));
            TFileStreamEx plain(folder.write("l.log", bytes));
            EXPECT_EQ(plain.LineBound(0, -1), static_cast<std::int64_t>(lines));
            EXPECT_EQ(plain.LineBound(0, static_cast<std::int64_t>(bytes.size()) - 1),
                      static_cast<std::int64_t>(lines));  // the last line without its LF
            for (const std::size_t at : {std::size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
                std::string withCR = bytes;
                withCR[at] = '\r';  // a CR LF, or a CR where a letter was: one line more
                const std::int64_t expected =
                    static_cast<std::int64_t>(lines) + (bytes[at] == '\n' || bytes[at + 1] == '\n' ? 0 : 1);
                TFileStreamEx reader(folder.write("c.log", withCR));
                EXPECT_EQ(reader.LineBound(0, -1), expected) << at;
                EXPECT_EQ(reader.LineBound(0, -1), reader.CountLines()) << at;
            }
        }
    }
}

// One reader taken over many ranges and restarts keeps its buffer: what an earlier range
// left in it (a long carry, a CR at a chunk's end) never leaks into the next one.
TEST(FileStreamEx, OneReaderAcrossRangesAndRestarts) {
    TestFolder folder;
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * TFileStreamEx::ReadChunkSize; ++i) {
        // Every line end a CR LF whose halves fall on both sides of a chunk border somewhere,
        // and now and then a line longer than a whole chunk.
        const std::size_t length = i % 97 == 0 ? TFileStreamEx::ReadChunkSize + 11 : 40 + i % 23;
        bytes += std::string(length, static_cast<char>('a' + i % 26)) + "\r\n";
    }
    const std::string path = folder.write("ranges.log", bytes);
    const TLines expected = SplitWhole(bytes);
    TFileStreamEx reader(path);
    for (int pass = 0; pass < 2; ++pass) EXPECT_EQ(ReadAll(reader), expected);
    // Ranges of one byte up to several chunks, each a line start as the planner cuts them.
    for (const std::int64_t step : {1, 1000, 70000, 200000}) {
        SCOPED_TRACE("step " + std::to_string(step));
        TLines joined;
        for (std::int64_t start = 0; start < static_cast<std::int64_t>(bytes.size());) {
            const std::int64_t end = reader.LineStartAfter(start + step);
            reader.SetRange(start, end);
            const TLines part = ReadAll(reader);
            joined.insert(joined.end(), part.begin(), part.end());
            ASSERT_GE(reader.LineBound(start, end), static_cast<std::int64_t>(part.size()));
            start = end;
        }
        EXPECT_EQ(joined, expected);
    }
    // A CR LF split by a block of the bound's scan still counts once.
    EXPECT_EQ(reader.LineBound(0, -1), static_cast<std::int64_t>(expected.size()));
    for (std::int64_t border = 65530; border < 65540; ++border) {
        std::string crlf(static_cast<std::size_t>(border) - 1, 'x');
        crlf += "\r\nlast\r\n";
        TFileStreamEx split(folder.write("border.log", crlf));
        EXPECT_EQ(split.LineBound(0, -1), 2) << border;
        EXPECT_EQ(ReadAll(split), (TLines{std::string(static_cast<std::size_t>(border) - 1, 'x'), "last"}));
    }
}

// A log still being written: lines added before the reader gets to them are read, and a
// restart reads the file as it is now.
TEST(FileStreamEx, FileGrowingMeanwhile) {
    TestFolder folder;
    const std::string line(99, 'g');
    std::string bytes;
    while (bytes.size() < 2 * TFileStreamEx::ReadChunkSize) bytes += line + "\n";
    const std::string path = folder.write("growing.log", bytes);
    TFileStreamEx reader(path);
    std::vector<std::string_view> lines;
    TLines read;
    ASSERT_FALSE(reader.ReadLines(lines, true));
    read.insert(read.end(), lines.begin(), lines.end());
    std::string added;
    while (added.size() < TFileStreamEx::ReadChunkSize) added += "new " + line + "\r\n";
    {
        std::FILE* file = std::fopen(path.c_str(), "ab");
        ASSERT_NE(file, nullptr);
        std::fwrite(added.data(), 1, added.size(), file);
        std::fclose(file);
    }
    for (bool last = false; !last;) {
        last = reader.ReadLines(lines, false);
        read.insert(read.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(read, SplitWhole(bytes + added));
    EXPECT_EQ(ReadAll(reader), SplitWhole(bytes + added));
    EXPECT_EQ(reader.CountLines(), static_cast<std::int64_t>(SplitWhole(bytes + added).size()));
}

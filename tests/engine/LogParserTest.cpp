#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "LogConvertTestUtil.h"
#include "engine/LogConvert_parser.h"

using namespace brindle;
using namespace brindle::test;

namespace {

// A parser with tables of its own, reading pieces into slots as a parse worker does.
class TWorker {
public:
    TWorker(const TProfile& profile, const TOptions& options) {
        TTablePointers pointers{};
        Tables.reserve(TableCount);
        for (std::size_t t = 0; t < TableCount; ++t) pointers[t] = &Tables.emplace_back(TableBucketMasks[t]);
        Parser = std::make_unique<TLogParser>(pointers);
        Parser->Begin(profile, options);
    }

    // What a piece gives the merge, in texts: its hits, the texts it added to the tables in
    // the order they were added, and its line counts.
    struct TPieceTexts {
        std::vector<std::string> Hits;
        std::vector<std::vector<std::string>> Added;
        std::int64_t Lines = 0;
        std::int64_t Bad = 0;
        bool operator==(const TPieceTexts&) const = default;
        friend void PrintTo(const TPieceTexts& piece, std::ostream* out) {
            *out << piece.Lines << " lines, " << piece.Bad << " bad;";
            for (const std::string& hit : piece.Hits) *out << "\n  " << hit;
            for (const std::vector<std::string>& added : piece.Added) *out << "\n  " << ::testing::PrintToString(added);
        }
    };

    TPieceTexts Read(const std::string& path) {
        std::array<std::int32_t, TableCount> before{};
        for (std::size_t t = 0; t < TableCount; ++t) before[t] = Tables[t].Count();
        std::vector<TRecLog> slots(64);
        Parser->StartPiece(slots.data(), slots.size());
        const TLogParser::TRangeScan scan = Parser->ParseRange(path, {}, false);
        EXPECT_TRUE(scan.Completed) << path;
        EXPECT_TRUE(Parser->TakeOverflow().empty());
        EXPECT_TRUE(Parser->TakeWideIndices().empty());
        TPieceTexts texts;
        texts.Lines = scan.Lines;
        texts.Bad = scan.Bad;
        const TURIParts parts = Parser->TakeURIParts();
        for (std::size_t i = 0; i < Parser->WrittenInPiece(); ++i) texts.Hits.push_back(HitText(slots[i], parts));
        for (std::size_t t = 0; t < TableCount; ++t) {
            std::vector<std::string>& added = texts.Added.emplace_back();
            for (std::int32_t i = before[t]; i < Tables[t].Count(); ++i) added.emplace_back(Tables[t].GetString(i));
        }
        return texts;
    }

    // Leaves out of a fresh parser's piece the texts this one's tables held already: what
    // this one, reading the same piece, should add.
    TPieceTexts WithoutHeld(TPieceTexts piece) const {
        for (std::size_t t = 0; t < TableCount; ++t) {
            std::vector<std::string>& added = piece.Added[t];
            std::erase_if(added, [&](const std::string& text) {
                for (std::int32_t i = 0; i < Tables[t].Count(); ++i)
                    if (Tables[t].GetString(i) == text) return true;
                return false;
            });
        }
        return piece;
    }

private:
    std::string HitText(const TRecLog& rec, const TURIParts& parts) const {
        const auto text = [&](TTableId table, std::int32_t index) {
            return std::string(Tables[table].GetString(index)) + "|";
        };
        return std::to_string(rec.Time) + "|" + std::to_string(rec.Status) + "|" + std::to_string(rec.Bytes) + "|" +
               std::to_string(rec.Kind) + "|" + text(tiHost, rec.HostIdx) + text(tiUser, rec.UserIdx) +
               text(tiURI, rec.URIIdx) + text(tiExt, parts.ExtOf(rec)) + text(tiPath, parts.PathOf(rec)) +
               text(tiReferrer, rec.ReferrerIdx) + text(tiBrowser, rec.BrowserIdx) + text(tiOS, rec.OSIdx) +
               text(tiSpider, rec.SpiderIdx);
    }

    std::vector<TBucketString> Tables;
    std::unique_ptr<TLogParser> Parser;
};

}  // namespace

// A worker keeps its parser from piece to piece, whatever each file's format: the W3C
// directives, the repeats of the line before and the memos must never carry a piece's
// state into the next one's hits. The merge takes the texts a piece added to the worker's
// tables, in the order added, for the order a single reader meets the texts new to it.
TEST(LogParser, AReusedParserReadsEachPieceAsAFreshOneDoes) {
    TestFolder folder;
    const std::string w3c = DataPath("logs/formats/w3c.log");
    const std::string combined = DataPath("logs/formats/combined.log");
    const std::string isa = DataPath("logs/formats/isa.log");
    // Its first data line comes before any "#Fields:": a bad line, whatever was read before.
    const std::string lateFields = folder.write("late.log",
                                                "#Software: Microsoft Internet Information Services 6.0\n"
                                                "#Date: 2003-02-17 00:00:00\n"
                                                "11:00:00 10.2.0.9 GET /early.htm 200\n"
                                                "#Fields: time c-ip cs-method cs-uri-stem sc-status\n"
                                                "11:00:01 10.2.0.9 GET /index.htm 200\n");
    // Read twice in a row, its first line repeats the last line the parser read.
    const std::string sameLine =
        "10.0.0.1 - - [14/Feb/2003:08:00:00 +0000] \"GET /a.htm HTTP/1.1\" 200 10 \"http://example.com/\" "
        "\"Agent/1\"\n";
    const std::string repeated = folder.write("repeat.log", sameLine + sameLine);
    const std::vector<std::string> pieces = {w3c, combined, lateFields, isa, combined, repeated, repeated, w3c};

    TProfile profile = ProfileOf({});
    profile.OffsetSign = -1;
    profile.OffsetHour = 2;
    const TOptions options = DefaultOptions();
    TWorker reused(profile, options);
    for (const std::string& piece : pieces) {
        TWorker fresh(profile, options);
        const TWorker::TPieceTexts expected = fresh.Read(piece);
        EXPECT_FALSE(expected.Hits.empty()) << piece;
        const TWorker::TPieceTexts unheld = reused.WithoutHeld(expected);
        EXPECT_EQ(reused.Read(piece), unheld) << piece;
    }
}

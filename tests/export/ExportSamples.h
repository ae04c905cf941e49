#pragma once
// A small analysis result built by hand, and a strict RFC 4180 reader for the CSV tests.
#include <gtest/gtest.h>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/DateTime_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/ReportSource.h"
#include "engine/Statistics_u.h"
#include "support/ReportSourceHolder.h"
#include "support/TestFolder.h"

namespace brindle::test {

inline TRecStat StatRow(std::string name, std::int32_t hits, std::int32_t visits, std::int64_t bytes = 0) {
    TRecStat row;
    row.Name = std::move(name);
    row.Hits = hits;
    row.Visits = visits;
    row.Bytes = bytes;
    return row;
}

inline TRecStat CodeRow(std::string name, std::int32_t code, std::int32_t hits) {
    TRecStat row = StatRow(std::move(name), hits, 0);
    row.Code = code;
    return row;
}

inline TRecStat KindRow(std::string name, std::uint8_t kind, std::int32_t hits, std::int32_t visits) {
    TRecStat row = StatRow(std::move(name), hits, visits, hits * 1024);
    row.Kind = kind;
    row.Partial = hits / 10;
    return row;
}

using SampleAnalysis = test::TReportSourceHolder;

// Ten days of a small site; every list a report of the sample sets reads has rows, and the
// lists start out of order so that the sorts show.
inline SampleAnalysis MakeSampleAnalysis() {
    SampleAnalysis a;
    a.Profile.Name = "Sample site";
    a.AnalysisTime = EncodeDateTime(2007, 3, 11, 12, 0, 0);
    a.Options.Files.Add({"html", fkPage});
    a.Options.Files.Add({"gif", fkImage});
    a.Options.Files.Add({"zip", fkDownload});

    TStatistics& s = a.Stats;
    s.FirstHitTime = EncodeDateTime(2007, 3, 1, 8, 0, 0);
    s.LastHitTime = EncodeDateTime(2007, 3, 10, 17, 30, 0);
    s.Summary.Hits = 1000;
    s.Summary.Visits = 40;
    s.Summary.Bytes = 5 * 1024 * 1024 + 5;
    s.Summary.NotModified = 100;
    s.Summary.Partial = 3;
    s.Summary.Errors = 25;

    TRecStat april = StatRow("", 400, 15, 2048);
    april.Key = EncodeDateTime(2007, 4, 1, 0, 0, 0);
    april.Duration = 15 * 600;
    TRecStat march = StatRow("", 600, 25, 4096);
    march.Key = EncodeDateTime(2007, 3, 1, 0, 0, 0);
    march.Pages = 120;
    march.Errors = 25;
    s.StatByMon.Add(april);
    s.StatByMon.Add(march);

    s.StatByTld.Add(StatRow("de", 300, 10, 1536));
    s.StatByTld.Add(StatRow("com", 500, 20, 3072));
    s.StatByTld.Add(StatRow("fr", 200, 10, 512));

    TRecStat older = StatRow("older.example.com", 5, 1);
    older.Key = EncodeDateTime(2007, 3, 2, 9, 0, 0);
    older.Country = GetCountryIndex("de");
    TRecStat newer = StatRow("10.0.0.1", 7, 2);
    newer.Key = EncodeDateTime(2007, 3, 9, 23, 59, 59);
    s.StatByHost.Add(older);
    s.StatByHost.Add(newer);

    s.StatBySpider.Add(StatRow("", 90, 9));
    s.StatBySpider.Add(StatRow("Googlebot", 40, 4));
    s.StatBySpider.Add(StatRow("Slurp", 60, 6));

    s.StatByUserName.Add(StatRow("B", 2, 5));
    s.StatByUserName.Add(StatRow("A", 10, 1));

    s.StatByAllFiles.Add(KindRow("/index.html", fkPage, 300, 30));
    s.StatByAllFiles.Add(KindRow("/logo.GIF", fkImage, 200, 20));
    s.StatByAllFiles.Add(KindRow("/get/tool.zip", fkDownload, 50, 5));
    // Stored as a page, but the options no longer know ".php": the General report counts it
    // with the other files.
    s.StatByAllFiles.Add(KindRow("/app.php", fkPage, 40, 4));

    s.StatByErr.Add(CodeRow("/missing.html\thttp://ref.example/", 404, 9));
    s.StatByErr.Add(CodeRow("/cgi-bin/x\t", 500, 7));
    s.StatByErr.Add(CodeRow("/old.html\t", 404, 5));
    s.StatByErr.Add(CodeRow("/secret/\t", 403, 3));

    s.StatByStatus.Add(CodeRow("", 304, 100));
    s.StatByStatus.Add(CodeRow("", 404, 14));
    s.StatByStatus.Add(CodeRow("", 600, 1));
    s.StatByStatus.Add(CodeRow("", 500, 7));

    TRecStat searched = StatRow("Google\tcheap flights", 0, 3);
    s.StatByRefSESEK.Add(searched);
    s.StatByRefSESEK.Add(StatRow("", 0, 8));
    return a;
}

// Strict RFC 4180: records end in CR LF; a quoted field may hold anything, "" is a quote;
// an unquoted field may hold no quote, CR or LF. Throws on anything else.
inline std::vector<std::vector<std::string>> ReadCSV(std::string_view text, std::string_view separator) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::size_t pos = 0;
    const auto fail = [&](const char* what) {
        throw std::runtime_error(std::string(what) + " at byte " + std::to_string(pos));
    };
    while (pos < text.size()) {
        std::string field;
        if (text[pos] == '"') {
            ++pos;
            for (;;) {
                if (pos >= text.size()) fail("unterminated quoted field");
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                field += text[pos++];
            }
        } else {
            while (pos < text.size() && text.substr(pos, separator.size()) != separator && text[pos] != '\r') {
                if (text[pos] == '"' || text[pos] == '\n') fail("bare quote or line feed");
                field += text[pos++];
            }
        }
        record.push_back(std::move(field));
        if (text.substr(pos, separator.size()) == separator) {
            pos += separator.size();
        } else if (text.substr(pos, 2) == "\r\n") {
            pos += 2;
            records.push_back(std::move(record));
            record.clear();
        } else {
            fail("field not followed by a separator or CR LF");
        }
    }
    if (!record.empty()) fail("last record without CR LF");
    return records;
}

inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

// Cancels an export at the first (progress 0) and at the last report (progress 100), with
// and without an earlier file of the target's name: no file is left behind and the earlier
// one is untouched. Run(target, cancelAt) executes an export that cancels itself when its
// progress reaches cancelAt, and returns what Execute returned.
template <typename Run>
void ExpectCancelLeavesNoTrace(const std::string& name, const Run& run) {
    for (const bool earlier : {false, true}) {
        for (const int cancelAt : {0, 100}) {
            TestFolder folder;
            if (earlier) folder.write(name, "earlier");
            EXPECT_FALSE(run(folder.file(name), cancelAt)) << cancelAt;
            if (earlier) {
                EXPECT_EQ(ReadFileBytes(folder.file(name)), "earlier");
                EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{name});
            } else {
                EXPECT_TRUE(FolderEntries(folder.path()).empty()) << cancelAt;
            }
        }
    }
}

}  // namespace brindle::test

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExportSamples.h"
#include "core/CommonConsts_catalogue.h"
#include "core/ReportTxt_u.h"
#include "engine/ReportContent_u.h"

using namespace brindle;
using namespace brindle::test;

namespace {

std::vector<std::string> Column(const std::vector<std::vector<std::string>>& rows, std::size_t column) {
    std::vector<std::string> cells;
    for (const auto& row : rows) cells.push_back(row.at(column));
    return cells;
}

std::vector<std::string> FirstCells(SampleAnalysis& a, int id, TReportConsumer consumer = TReportConsumer::CSVExport) {
    TReportSource source = a.Source();
    return Column(ReadReportRows(source, id, nullptr, DefaultDisplayFormat(), consumer), 0);
}

using Names = std::vector<std::string>;

}  // namespace

// The rule table against the catalogue: a typo in an id, a key or a limit flag shows here.
TEST(ReportContent, RulesCoverTheCatalogueReports) {
    int reports = 0;
    for (const TRecSectionProperty& section : SectionTable()) {
        if (section.IsGroupRow()) continue;
        ++reports;
        const TReportRule* rule = FindReportRule(section.ID);
        if (section.ID == kGeneralReportID) {
            EXPECT_EQ(rule, nullptr);
            continue;
        }
        ASSERT_NE(rule, nullptr) << section.Key;
        EXPECT_EQ(rule->Key, section.Key);
        EXPECT_EQ(rule->Limited, FindNode(section.ID)->Rows != 0) << section.Key;
        EXPECT_EQ(ReportColumnCaptions(*rule, nullptr).size(), rule->ColumnCount);
    }
    EXPECT_EQ(reports, kReportCount);
    EXPECT_EQ(FindReportRule(20), nullptr);
    EXPECT_EQ(FindReportRule(200), nullptr);
}

TEST(ReportContent, ViewCaptionsFollowTheLanguage) {
    TReportTxt lang = BuiltInReportTxt();
    lang.Column.Province = "Provinz";
    EXPECT_EQ(ReportColumnCaptions(*FindReportRule(135), &lang), (Names{"Provinz", "Hits", "Visits", "Bandwidth"}));
    EXPECT_EQ(ReportColumnCaptions(*FindReportRule(24), nullptr).front(), "Day");
    EXPECT_EQ(ReportColumnCaptions(*FindReportRule(36), nullptr).back(), BuiltInReportTxt().Column.TimeLastAccess);
}

TEST(ReportContent, RowSelectionEdgeCases) {
    struct Case {
        const char* what;
        int id;
        int limit;  // -1: the profile has no record for the report
        TReportConsumer consumer;
        Names expected;
    };
    const auto csv = TReportConsumer::CSVExport;
    const auto view = TReportConsumer::TableView;
    const std::vector<Case> cases = {
        {"limit 0 gives no rows", 31, 0, csv, {}},
        {"limit 2 of 3, by visits", 31, 2, csv, {"Commercial (.com)", "Germany (.de)"}},
        {"no record: the default limit", 31, -1, csv, {"Commercial (.com)", "Germany (.de)", "France (.fr)"}},
        {"empty spider names neither shown nor counted", 35, 2, csv, {"Slurp", "Googlebot"}},
        {"errors other than 404, limit 2", 62, 2, csv, {"500", "403"}},
        {"404 errors only", 61, 5, csv, {"/missing.html", "/old.html"}},
        {"error types 400..599 only", 63, 50, csv, {"404", "500"}},
        {"users by hits in the file exports", 39, 50, csv, {"A", "B"}},
        {"users by visits in the views", 39, 50, view, {"B", "A"}},
        {"users by visits in the Word export", 39, 50, TReportConsumer::WordExport, {"B", "A"}},
        {"most recent host first", 36, 50, csv, {"10.0.0.1", "older.example.com"}},
        {"pages by stored kind", 42, 50, csv, {"/index.html", "/app.php"}},
        {"downloads by stored kind", 43, 50, csv, {"/get/tool.zip"}},
        {"no video", 46, 50, csv, {}},
        {"engines with an empty name skipped", 57, 50, csv, {"Google"}},
        {"months ascending, no limit", 21, 0, csv, {"March 2007", "April 2007"}},
    };
    for (const Case& c : cases) {
        SampleAnalysis a = MakeSampleAnalysis();
        if (c.limit >= 0) a.SetRowLimit(c.id, c.limit);
        EXPECT_EQ(FirstCells(a, c.id, c.consumer), c.expected) << c.what;
    }
}

TEST(ReportContent, FixedTablesShowEveryRowWithItsIndex) {
    SampleAnalysis a = MakeSampleAnalysis();
    a.Stats.StatByHod[23].Hits = 4;
    a.SetRowLimit(23, 0);  // a stored limit does not apply to a fixed table
    TReportSource source = a.Source();
    const auto hours = ReadReportRows(source, 23, nullptr, DefaultDisplayFormat(), TReportConsumer::CSVExport);
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours.front().front(), "00:00-01:00");
    EXPECT_EQ(hours.back(), (Names{"23:00-24:00", "4", "0", "0.00 kB", "0", "0", "0:00"}));

    std::vector<int> indices;
    ForEachReportRow(source, 24, nullptr, DefaultDisplayFormat(), TReportConsumer::HtmlPage,
                     [&](const TRecStat&, int index, std::vector<std::string>&) { indices.push_back(index); });
    EXPECT_EQ(indices, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(FirstCells(a, 38).size(), 15u);
    EXPECT_EQ(FirstCells(a, 131).size(), 11u);
    EXPECT_EQ(FirstCells(a, 25).back(), "31");
}

TEST(ReportContent, ReaderSortsBeforeReading) {
    SampleAnalysis a = MakeSampleAnalysis();
    TReportSource source = a.Source();
    const auto first = ReadReportRows(source, 37, nullptr, DefaultDisplayFormat(), TReportConsumer::CSVExport);
    // Another reader leaves the host list in its own order; the next one sorts again.
    a.Stats.StatByHost.SortByKey(1);
    const auto second = ReadReportRows(source, 37, nullptr, DefaultDisplayFormat(), TReportConsumer::CSVExport);
    EXPECT_EQ(first, second);
    EXPECT_EQ(Column(first, 0), (Names{"10.0.0.1", "older.example.com"}));
    EXPECT_EQ(Column(first, 1), (Names{"Unknown", "Germany"}));

    EXPECT_FALSE(ForEachReportRow(source, kGeneralReportID, nullptr, DefaultDisplayFormat(), TReportConsumer::CSVExport,
                                  [](const TRecStat&, int, std::vector<std::string>&) {}));
}

TEST(ReportContent, GeneralItems) {
    SampleAnalysis a = MakeSampleAnalysis();
    const std::vector<TGeneralItem> items = GeneralReportItems(a.Source(), nullptr, DefaultDisplayFormat());
    std::vector<std::string> lines;
    for (const TGeneralItem& item : items)
        lines.push_back(std::string(item.RowKey) + (item.IsCategory ? " # " : " | ") + item.Caption + " = " +
                        item.Value);
    const Names expected = {
        "Item100 # Time = ",
        "Item101 | Report generated on = 2007-03-11 12:00:00",
        "Item102 | Log span a period of = 10 day(s)",
        "Item103 | First hit = 2007-03-01 08:00:00",
        "Item104 | Last hit = 2007-03-10 17:30:00",
        "Item200 # Access = ",
        "Item201 | Total hits = 1000",
        "Item202 | Total visiting users = 40",
        "Item203 | Total bandwidth = 5.00 MB",
        "Item204 | Hits on pages = 300",
        "Item205 | Hits on files = 90",
        "Item206 | Hits on images = 200",
        "Item207 | Hits cached by client = 100 (10.00%)",
        "Item208 | Incomplete downloads = 3 (0.30%)",
        "Item209 | Failed requests = 25 (2.50%)",
        "Item300 # Average = ",
        "Item301 | Data Transfer per Day = 512.00 kB",
        "Item302 | Data Transfer per Hit = 5.12 kB",
        "Item303 | Data Transfer per User = 128.00 kB",
        "Item304 | Hits per Day = 100.00",
        "Item305 | Hits per User = 25.00",
        "Item306 | Users per Day = 4.00",
    };
    EXPECT_EQ(lines, expected);
}

TEST(ReportContent, GeneralWithoutHitsAndInAnotherLanguage) {
    SampleAnalysis a;
    a.Stats.Summary.Hits = 7;  // hits without a span: every divisor of 0 gives the numerator
    a.Stats.Summary.Bytes = 2048;
    TReportTxt lang = BuiltInReportTxt();
    lang.Row.Item102 = "Zeitraum";
    lang.Row.Value102 = "%d Tage %s %x";
    DisplayFormat comma;
    comma.DecimalSeparator = ",";
    const std::vector<TGeneralItem> items = GeneralReportItems(a.Source(), &lang, comma);
    ASSERT_EQ(items.size(), 22u);
    EXPECT_EQ(items[2].Caption, "Zeitraum");
    EXPECT_EQ(items[2].Value, "-");
    EXPECT_EQ(items[3].Value, "-");
    EXPECT_EQ(items[4].Value, "-");
    EXPECT_EQ(items[16].Value, "2,00 kB");
    EXPECT_EQ(items[19].Value, "7,00");
    EXPECT_EQ(items[20].Value, "7,00");
    EXPECT_EQ(items[21].Value, "0,00");

    // A language's format text never reaches printf: unknown directives stay literal.
    a.Stats.FirstHitTime = EncodeDateTime(2007, 3, 1, 0, 0, 0);
    a.Stats.LastHitTime = a.Stats.FirstHitTime;
    EXPECT_EQ(GeneralReportItems(a.Source(), &lang, comma)[2].Value, "1 Tage  %x");
}

TEST(ReportContent, EnabledReportsFallBackToTheDefaults) {
    TProfile profile;
    TRecReportProperty off;
    off.ID = 21;
    profile.Reports.Add(off);
    const TReportSet set = GetEnabledReportsWithDefaults(profile);
    EXPECT_FALSE(set.Contains(21));
    EXPECT_TRUE(set.Contains(kGeneralReportID));
    EXPECT_TRUE(set.Contains(142));
    EXPECT_FALSE(set.Contains(20));
    EXPECT_TRUE(profile.GetEnabledReports().IsEmpty());
}

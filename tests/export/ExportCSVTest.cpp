#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ExportSamples.h"
#include "core/CommonConsts_catalogue.h"
#include "core/TextRepair_u.h"
#include "engine/ReportContent_u.h"
#include "export/ExportCSV_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string ExportCSV(SampleAnalysis& a, const TReportSet& set, const std::string& path,
                      const std::string& separator = ",") {
    TExportCSV csv(a.Source());
    EXPECT_TRUE(csv.Execute(set, path, separator));
    return ReadFileBytes(path);
}

// The reports of the sample in an order other than the catalogue's.
TReportSet SeveralReports() {
    TReportSet set;
    for (const int id : {62, 39, 35, 31, 21, 10, 36, 57, 20, 137}) set.Include(id);
    return set;
}

}  // namespace

TEST(ExportCSV, GeneralAloneGolden) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    const std::string bytes = ExportCSV(a, TReportSet{10}, folder.file("general.csv"));
    EXPECT_EQ(bytes, ReadFileBytes(DataPath("golden/export/general.csv")));
    EXPECT_EQ(ReadCSV(bytes, ",").size(), 21u);  // key, header and 19 items
    EXPECT_EQ(bytes.substr(0, 11), "\"General\"\r\n");
}

TEST(ExportCSV, SeveralReportsGoldenInCatalogueOrder) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    a.SetRowLimit(31, 2);
    const std::string bytes = ExportCSV(a, SeveralReports(), folder.file("several.csv"), ";");
    EXPECT_EQ(bytes, ReadFileBytes(DataPath("golden/export/several.csv")));
}

TEST(ExportCSV, ColumnNamesMatchTheRules) {
    for (const TReportRule& rule : ReportRules())
        EXPECT_EQ(ExportColumnNames(rule.ID).size(), rule.ColumnCount) << rule.Key;
    EXPECT_EQ(ExportColumnNames(kGeneralReportID).size(), 3u);
    EXPECT_TRUE(ExportColumnNames(20).empty());
    EXPECT_EQ(ExportColumnNames(24)[0], ExportColumnNames(25)[0]);
    EXPECT_EQ(ExportColumnNames(135)[0], "Province");
    EXPECT_EQ(ExportColumnNames(136)[0], "Province");
}

TEST(ExportCSV, SeparatorByOptions) {
    struct Case {
        int type;
        const char* custom;
        const char* system;
        const char* expected;
    };
    const Case cases[] = {
        {0, "|~", ";", "|~"}, {0, "", ";", ";"},  {1, "x", ";", ";"},  {1, "x", "", ","},
        {2, "x", ";", ","},   {3, "x", ",", ";"}, {4, "x", ",", "\t"}, {9, "x", "|", "|"},
    };
    for (const Case& c : cases) {
        TRecExportOptions options;
        options.CSVSeparatorType = c.type;
        options.CSVSeparatorChar = c.custom;
        EXPECT_EQ(CSVSeparator(options, c.system), c.expected) << c.type << " " << c.custom;
    }
}

TEST(ExportCSV, EmptyAndLimitedReportsKeepKeyAndHeader) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    a.SetRowLimit(31, 0);
    const std::string bytes = ExportCSV(a, TReportSet{137, 31}, folder.file("x.csv"), "<->");
    EXPECT_EQ(bytes,
              "\"ByTld\"\r\n"
              "\"TLD\"<->\"Hits\"<->\"Hits100\"<->\"Visits\"<->\"Visits100\"<->\"Bandwidth\"<->\"Bandwidth100\"\r\n"
              "\r\n"
              "\"ByCity\"\r\n"
              "\"City\"<->\"Hits\"<->\"Visits\"<->\"Bandwidth\"\r\n");
}

// Fields full of quotes, separators, line breaks and broken UTF-8 read back with a strict
// RFC 4180 reader as the cells of the report, repaired to UTF-8.
// Cells a spreadsheet would run as formulas, and controls that would reach it raw.
TEST(ExportCSV, HostileCells) {
    const struct {
        std::string in, guarded;
    } formulas[] = {
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
        {"+SUM(1)", "'+SUM(1)"},
        {"-2+3", "'-2+3"},
        {"@SUM(1)", "'@SUM(1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "'\r=1"},
        {"-", "-"},  // the logs' empty field
        {"--", "'--"},
        {"", ""},
        {"a=1", "a=1"},
        {" =1", " =1"},
        {"'=1", "'=1"},
        {"\n=1", "\n=1"},
        {"/index.html", "/index.html"},
    };
    for (const auto& c : formulas) EXPECT_EQ(GuardFormulaCell(c.in), c.guarded) << c.in;

    const std::string fffd = "\xEF\xBF\xBD";
    std::string row;
    AppendCSVRow(row, std::vector<std::string>{std::string("a\0b", 3), "\x1B[2J", "x\x7F", "t\tr\r", "", "q\""}, ",");
    EXPECT_EQ(row, "\"a" + fffd + "b\",\"" + fffd + "[2J\",\"x" + fffd + "\",\"t\tr\r\",,\"q\"\"\"\r\n");
}

TEST(ExportCSV, RandomizedRoundTrip) {
    TestFolder folder;
    const std::vector<std::string> pieces = {"a",  "Z", ",", ";",        "\"",   "\r",       "\n",  "\r\n",
                                             "\t", "|", " ", "\xc3\xa9", "\xff", "\xe2\x82", "]]>", "<&>",
                                             "=",  "-", "+", "@",        "\x01", "\x7f"};
    const std::vector<std::string> separators = {",", ";", "\t", "||"};
    std::mt19937 random(20070311);
    for (int round = 0; round < 60; ++round) {
        SampleAnalysis a = MakeSampleAnalysis();
        a.Stats.StatByUserName.Clear();
        a.Stats.StatByErr.Clear();
        for (int n = 0; n < 8; ++n) {
            std::string name;
            const int length = static_cast<int>(random() % 7);
            for (int i = 0; i < length; ++i) name += pieces[random() % pieces.size()];
            a.Stats.StatByUserName.Add(StatRow(name, static_cast<int>(random() % 100), n));
            a.Stats.StatByErr.Add(CodeRow(name, 404, n));
        }
        const std::string& separator = separators[round % separators.size()];
        const std::string bytes = ExportCSV(a, TReportSet{39, 61}, folder.file("round.csv"), separator);
        ASSERT_TRUE(IsValidUtf8(bytes));

        Rows expected = {{"ByUserName"}};
        TReportSource source = a.Source();
        for (const int id : {39, 61}) {
            if (id == 61) expected.insert(expected.end(), {{""}, {"ByErr404"}});
            const auto names = ExportColumnNames(id);
            expected.emplace_back(names.begin(), names.end());
            const std::span<const std::uint8_t> codes = FindReportRule(id)->ValueCodes();
            for (auto& row : ReadReportRows(source, id, nullptr, DefaultDisplayFormat(), TReportConsumer::CSVExport)) {
                for (std::size_t i = 0; i < row.size(); ++i)
                    row[i] = RepairOutputText(IsLogTextCode(codes[i]) ? GuardFormulaCell(row[i]) : row[i]);
                expected.push_back(row);
            }
        }
        ASSERT_EQ(ReadCSV(bytes, separator), expected) << "round " << round;
    }
}

TEST(ExportCSV, ProgressCountsReportsOnly) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    TExportCSV csv(a.Source());
    std::vector<int> values;
    std::string text;
    csv.OnProgress = [&](const void* sender, int value, const std::string& t) {
        EXPECT_EQ(sender, &csv);
        values.push_back(value);
        text = t;
    };
    csv.OnStatus = [](const void*, int, const std::string&) { ADD_FAILURE() << "status fired"; };
    // Group 20 is not a report row and does not count.
    EXPECT_TRUE(csv.Execute(TReportSet{20, 21, 23, 39}, folder.file("p.csv"), ","));
    EXPECT_EQ(values, (std::vector<int>{0, 33, 66, 100}));
    EXPECT_EQ(text, "Build : p.csv");
}

// A cancelled export never leaves a file behind and never touches an earlier one.
TEST(ExportCSV, CancelAtFirstAndLastReport) {
    ExpectCancelLeavesNoTrace("out.csv", [](const std::string& target, int cancelAt) {
        SampleAnalysis a = MakeSampleAnalysis();
        TExportCSV csv(a.Source());
        csv.OnProgress = [&](const void*, int value, const std::string&) {
            if (value == cancelAt) csv.Cancel();
        };
        const bool done = csv.Execute(SeveralReports(), target, ",");
        // The flag is cleared for the next run.
        csv.OnProgress = nullptr;
        EXPECT_TRUE(csv.Execute(TReportSet{10}, target + ".next", ","));
        std::filesystem::remove(target + ".next");
        return done;
    });
}

TEST(ExportCSV, UnwritableTargetRaisesAndWritesNothing) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    TExportCSV csv(a.Source());
    EXPECT_THROW(csv.Execute(TReportSet{10}, folder.file("missing/out.csv"), ","), EExportFile);
    EXPECT_TRUE(FolderEntries(folder.path()).empty());
}

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "ExportSamples.h"
#include "core/TextRepair_u.h"
#include "export/ExportCSV_u.h"
#include "export/ExportXML_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;

const TSeconds kExportTime = EncodeDateTime(2007, 3, 12, 9, 30, 15);

bool ExportXML(SampleAnalysis& a, const TReportSet& set, const std::string& path) {
    TExportXML xml(a.Source());
    xml.Clock = [] { return kExportTime; };
    return xml.Execute(set, path);
}

std::vector<std::string> AttributeNames(const pugi::xml_node& node) {
    std::vector<std::string> names;
    for (const pugi::xml_attribute& attr : node.attributes()) names.emplace_back(attr.name());
    return names;
}

// The attribute values of every ROW under a report element, in document order.
Rows RowValues(const pugi::xml_node& report) {
    Rows rows;
    for (const pugi::xml_node& row : report.children()) {
        EXPECT_STREQ(row.name(), "ROW");
        std::vector<std::string> cells;
        for (const pugi::xml_attribute& attr : row.attributes()) cells.emplace_back(attr.value());
        rows.push_back(cells);
    }
    return rows;
}

// Log names no XML reader can take raw, nor a spreadsheet without quoting.
const std::vector<std::string> kHostileNames = {
    "say \"hi\" & <b>bye</b>",  "]]> <![CDATA[ x ]]>",
    "ctrl\x01\x08\x1f\x7f end", "broken \xff\xfe utf-8 \xc3",
    "tab\there\r\nline\nfeed",  "<!-- -->",
    "ROW=\"1\" Hits=\"2\"",     "",
};

}  // namespace

TEST(ExportXML, Golden) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    ASSERT_TRUE(ExportXML(a, TReportSet{61, 35, 10, 46}, folder.file("out.xml")));
    EXPECT_EQ(ReadFileBytes(folder.file("out.xml")), ReadFileBytes(DataPath("golden/export/reports.xml")));
}

TEST(ExportXML, GeneralAlone) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    ASSERT_TRUE(ExportXML(a, TReportSet{10}, folder.file("g.xml")));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(folder.file("g.xml").c_str()));
    const pugi::xml_node root = doc.document_element();
    EXPECT_STREQ(root.name(), "DATA");
    EXPECT_EQ(AttributeNames(root), (std::vector<std::string>{"Description", "Title", "DateExport", "Ver"}));
    EXPECT_STREQ(root.attribute("Description").value(), "BrindleAnylyzer Export");
    EXPECT_STREQ(root.attribute("Title").value(), "Sample site");
    EXPECT_STREQ(root.attribute("DateExport").value(), "2007-03-12 09:30:15");
    EXPECT_STREQ(root.attribute("Ver").value(), "1.10");

    const pugi::xml_node general = root.child("General");
    ASSERT_TRUE(general);
    EXPECT_FALSE(general.next_sibling());
    std::vector<std::string> groups;
    std::vector<std::size_t> counts;
    for (const pugi::xml_node& group : general.children()) {
        groups.emplace_back(group.name());
        EXPECT_EQ(RowValues(group).size(), 1u);
        counts.push_back(AttributeNames(group.child("ROW")).size());
    }
    EXPECT_EQ(groups, (std::vector<std::string>{"Time", "Access", "Average"}));
    EXPECT_EQ(counts, (std::vector<std::size_t>{4, 9, 6}));
    EXPECT_STREQ(general.child("Time").child("ROW").attribute("Period").value(), "10 day(s)");
}

// Whatever bytes the log held, the file parses and its cells equal the CSV's (with the
// characters XML cannot carry replaced).
TEST(ExportXML, HostileTextsParseAndMatchTheCSV) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    a.Profile.Name = "site \"<&>\" \x02\xff";
    a.Stats.StatByUserName.Clear();
    a.Stats.StatByErr.Clear();
    int hits = 100;
    for (const std::string& name : kHostileNames) {
        a.Stats.StatByUserName.Add(StatRow(name, hits--, 1));
        a.Stats.StatByErr.Add(CodeRow(name + "\t" + name, 500, hits--));
    }
    const TReportSet set{39, 62, 36};
    ASSERT_TRUE(ExportXML(a, set, folder.file("h.xml")));
    TExportCSV csv(a.Source());
    ASSERT_TRUE(csv.Execute(set, folder.file("h.csv"), ","));

    const std::string bytes = ReadFileBytes(folder.file("h.xml"));
    ASSERT_TRUE(IsValidUtf8(bytes));
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed) << parsed.description();
    const pugi::xml_node root = doc.document_element();
    EXPECT_EQ(root.attribute("Title").value(), RepairXmlText(a.Profile.Name));

    // The CSV holds the same reports: key, header, rows, blank line.
    const Rows records = ReadCSV(ReadFileBytes(folder.file("h.csv")), ",");
    std::size_t at = 0;
    std::vector<std::string> keys;
    for (const pugi::xml_node& report : root.children()) {
        keys.emplace_back(report.name());
        ASSERT_LT(at + 1, records.size());
        EXPECT_EQ(records[at], std::vector<std::string>{report.name()});
        const std::vector<std::string>& header = records[at + 1];
        const Rows rows = RowValues(report);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            ASSERT_EQ(AttributeNames(report.first_child()), header);
            std::vector<std::string> fromCsv = records.at(at + 2 + r);
            for (std::string& cell : fromCsv) cell = RepairXmlText(cell);
            EXPECT_EQ(rows[r], fromCsv) << report.name() << " row " << r;
        }
        at += 2 + rows.size() + 1;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"ByRecent", "ByUserName", "ByErrMisc"}));
    EXPECT_EQ(at, records.size() + 1);
    EXPECT_EQ(RowValues(root.child("ByUserName")).size(), kHostileNames.size());
}

TEST(ExportXML, EmptyReportIsAnEmptyElement) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    a.SetRowLimit(31, 0);
    ASSERT_TRUE(ExportXML(a, TReportSet{137, 31}, folder.file("e.xml")));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(folder.file("e.xml").c_str()));
    for (const char* key : {"ByTld", "ByCity"}) {
        const pugi::xml_node report = doc.document_element().child(key);
        EXPECT_TRUE(report) << key;
        EXPECT_FALSE(report.first_child()) << key;
    }
}

TEST(ExportXML, CancelAtFirstAndLastReport) {
    ExpectCancelLeavesNoTrace("out.xml", [](const std::string& target, int cancelAt) {
        SampleAnalysis a = MakeSampleAnalysis();
        TExportXML xml(a.Source());
        int last = -1;
        xml.OnProgress = [&](const void*, int value, const std::string&) {
            last = value;
            if (value == cancelAt) xml.Cancel();
        };
        const bool done = xml.Execute(TReportSet{10, 21, 31}, target);
        EXPECT_EQ(last, cancelAt);
        return done;
    });
}

TEST(ExportXML, UnwritableTargetRaises) {
    TestFolder folder;
    SampleAnalysis a = MakeSampleAnalysis();
    EXPECT_THROW(ExportXML(a, TReportSet{10}, folder.file("missing/out.xml")), EExportFile);
}

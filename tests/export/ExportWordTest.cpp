#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "DocxReader.h"
#include "ExportSamples.h"
#include "core/CommonConsts_catalogue.h"
#include "core/TextRepair_u.h"
#include "engine/ReportContent_u.h"
#include "export/DocxWriter_u.h"
#include "export/ExportCSV_u.h"
#include "export/ExportWord_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;

const TSeconds kExportTime = EncodeDateTime(2007, 3, 12, 9, 30, 15);
const std::vector<int> kSteps = {0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100};

std::string TemplateFile() { return std::string(BRINDLE_SOURCE_DIR) + "/resources/Template/word/msw80.dot"; }

SampleAnalysis WordSample() {
    SampleAnalysis a = MakeSampleAnalysis();
    a.Options.Export.MSWordAuthor = "Jane Doe";
    a.Options.Export.MSWordCompany = "Example Ltd";
    a.Options.Export.MSWordPageBreak = 1;
    a.Options.Export.MSWordDescription = 1;
    return a;
}

// The sample's reports, given out of catalogue order.
TReportSet SeveralReports() { return TReportSet{62, 39, 35, 21, 10, 36, 57, 20}; }

struct WordRun {
    bool Done = false;
    std::string Tagged;  // the intermediate file as it stood after the text phase
    std::vector<int> Progress;
};

WordRun ExportWord(SampleAnalysis& a, const TReportSet& set, const TestFolder& folder,
                   const TReportTxt& language = BuiltInReportTxt()) {
    const std::string intermediate = folder.file("tmpmsw.txt");
    TExportWord word(a.Source());
    word.Clock = [] { return kExportTime; };
    WordRun run;
    word.OnProgress = [&](const void*, int value, const std::string&) {
        run.Progress.push_back(value);
        if (value == 9) run.Tagged = ReadFileBytes(intermediate);
    };
    run.Done = word.Execute(set, language, TemplateFile(), folder.file("out.docx"), intermediate);
    return run;
}

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

// What the Word table of a report must hold: its captions, then the cells of the content
// rules in the language, repaired as a document shows them.
Rows ExpectedTable(SampleAnalysis& a, int id, const TReportTxt& language) {
    Rows rows = {WordColumnCaptions(id, language)};
    TReportSource source = a.Source();
    if (id == kGeneralReportID) {
        std::string category;
        for (const TGeneralItem& item : GeneralReportItems(source, &language, DefaultDisplayFormat())) {
            if (item.IsCategory) {
                category = item.Caption;
            } else {
                rows.push_back({category, item.Caption, item.Value});
                category.clear();
            }
        }
    } else {
        for (const auto& row :
             ReadReportRows(source, id, &language, DefaultDisplayFormat(), TReportConsumer::WordExport))
            rows.push_back(row);
    }
    for (auto& row : rows)
        for (std::string& cell : row) cell = RepairOutputText(cell);
    return rows;
}

}  // namespace

TEST(ExportWord, TaggedTextGolden) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    const WordRun run = ExportWord(a, SeveralReports(), folder);
    ASSERT_TRUE(run.Done);
    EXPECT_EQ(run.Tagged, ReadFileBytes(DataPath("golden/word/tmpmsw.txt")));
    // Only the document is left.
    EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"out.docx"});
}

TEST(ExportWord, SwitchesForPageBreaksAndComments) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    a.Options.Export.MSWordPageBreak = 0;
    a.Options.Export.MSWordDescription = 0;
    const WordRun off = ExportWord(a, SeveralReports(), folder);
    ASSERT_TRUE(off.Done);
    // The two around the table of contents are always there.
    EXPECT_EQ(Count(off.Tagged, "<--PAGE_BREAK-->"), 2u);
    EXPECT_EQ(Count(off.Tagged, "SCOMMENT"), 0u);
    EXPECT_EQ(Count(off.Tagged, "<--STITLE-->"), 7u);

    a.Options.Export.MSWordPageBreak = 1;
    a.Options.Export.MSWordDescription = 1;
    const WordRun on = ExportWord(a, SeveralReports(), folder);
    // None before the first report.
    EXPECT_EQ(Count(on.Tagged, "<--PAGE_BREAK-->"), 2u + 6u);
    EXPECT_EQ(Count(on.Tagged, "<--SCOMMENT-->"), 7u);
    EXPECT_NE(on.Tagged.find("<--PAGE_BREAK--><--LINE_BREAK--><--STITLE-->General</--STITLE-->"), std::string::npos)
        << "the page break after the contents";
    EXPECT_EQ(on.Tagged.find("<--PAGE_BREAK--><--LINE_BREAK--><--PAGE_BREAK-->"), std::string::npos);
}

// Texts from the profile, the options and the log go in as they are; no line end of the
// file's own; a TAB in a cell and anything that looks like a tag cannot make structure.
TEST(ExportWord, TextsWithLineBreaksTabsAndTags) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    a.Profile.Name = "two\r\nlines\tand <--PAGE_BREAK-->";
    a.Options.Export.MSWordCompany = "</--RBUILD-->";
    a.Stats.StatByUserName.Clear();
    a.Stats.StatByUserName.Add(StatRow("tab\there", 3, 3));
    a.Stats.StatByUserName.Add(StatRow("x<--LINE_BREAK-->y</--TABLE--><--LT-->", 2, 2));
    const WordRun run = ExportWord(a, TReportSet{39}, folder);
    ASSERT_TRUE(run.Done);
    EXPECT_NE(run.Tagged.find("<--LINE_BREAK-->two\r\nlines\tand <--LT-->--PAGE_BREAK--></--RTITLE-->"),
              std::string::npos);
    EXPECT_NE(run.Tagged.find("<--LT-->/--RBUILD--><--LINE_BREAK-->2007-03-12 09:30:15</--RBUILD-->"),
              std::string::npos);
    EXPECT_NE(run.Tagged.find("<--LINE_BREAK-->tab<--TAB-->here\t3\t"), std::string::npos);
    EXPECT_NE(run.Tagged.find("<--LINE_BREAK-->x<--LT-->--LINE_BREAK-->y<--LT-->/--TABLE--><--LT-->--LT-->\t2\t"),
              std::string::npos);
    // Only the profile name brought a CR LF.
    EXPECT_EQ(Count(run.Tagged, "\n"), 1u);
    EXPECT_EQ(Count(run.Tagged, "\r"), 1u);

    const DocxBody body = ReadDocxBody(UnzipMembers(ReadFileBytes(folder.file("out.docx")))["word/document.xml"]);
    EXPECT_EQ(body.TextsOfStyle("KVXTITLE"),
              (std::vector<std::string>{"Report for", "two\nlines\tand <--PAGE_BREAK-->"}));
    EXPECT_EQ(body.TextsOfStyle("KVXBUILD"),
              (std::vector<std::string>{"Prepared by", "Jane Doe", "</--RBUILD-->", "2007-03-12 09:30:15"}));
    ASSERT_EQ(body.Tables.size(), 1u);
    EXPECT_EQ(body.Tables[0], ExpectedTable(a, 39, BuiltInReportTxt()));
    EXPECT_EQ(body.Tables[0][1][0], "tab\there");
    EXPECT_EQ(body.Tables[0][2][0], "x<--LINE_BREAK-->y</--TABLE--><--LT-->");
}

// A language names the reports, the columns, the General rows and the title page; it also
// may lack a report's title, which then leaves the table alone.
TEST(ExportWord, LanguageTexts) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    TReportTxt german = BuiltInReportTxt();
    german.ExportWord = {"Bericht f\xc3\xbcr", "Erstellt von", "Inhalt"};
    german.Column.Hits = "Zugriffe";
    german.Column.AvgVisitLenShort = "Mittl. Dauer";
    german.Row.Item100 = "Zeit";
    german.Row.Value102 = "%d Tage";
    for (TRecSectionProperty& row : german.Sections) {
        if (row.ID == 39 && !row.IsGroupRow()) row.Title = "Benutzer";
        if (row.ID == 21 && !row.IsGroupRow()) row.Title.clear();
    }
    const WordRun run = ExportWord(a, TReportSet{10, 21, 39}, folder, german);
    ASSERT_TRUE(run.Done);
    EXPECT_TRUE(
        run.Tagged.starts_with("<--LINE_BREAK--><--LINE_BREAK--><--LINE_BREAK--><--RTITLE-->Bericht f\xc3\xbcr"));
    EXPECT_NE(run.Tagged.find("<--TCTITLE-->Inhalt</--TCTITLE-->"), std::string::npos);
    EXPECT_NE(run.Tagged.find("Zeit\tReport generated on\t"), std::string::npos);
    EXPECT_NE(run.Tagged.find("\tLog span a period of\t10 Tage<--LINE_BREAK-->"), std::string::npos);
    // ByMon has no title: its table follows the General table without a page break.
    EXPECT_NE(run.Tagged.find("</--TABLE--><--LINE_BREAK--><--TABLE_DESCR-->07L03.00"), std::string::npos);
    EXPECT_EQ(Count(run.Tagged, "<--STITLE-->"), 2u);

    const DocxBody body = ReadDocxBody(UnzipMembers(ReadFileBytes(folder.file("out.docx")))["word/document.xml"]);
    EXPECT_EQ(body.TextsOfStyle("Heading1"), (std::vector<std::string>{"General", "Benutzer"}));
    ASSERT_EQ(body.Tables.size(), 3u);
    EXPECT_EQ(body.Tables[0], ExpectedTable(a, 10, german));
    EXPECT_EQ(body.Tables[1], ExpectedTable(a, 21, german));
    EXPECT_EQ(body.Tables[1][0].back(), "Mittl. Dauer");
    // Authenticated users by visits, as the views show them: B before A.
    EXPECT_EQ(body.Tables[2], ExpectedTable(a, 39, german));
    EXPECT_EQ(body.Tables[2][1][0], "B");
}

// The whole document of the sample: parts, titles in catalogue order, every table equal to
// the content rules, the title page and the package properties.
TEST(ExportWord, DocumentHoldsEveryReport) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    TReportSet all;
    for (const TRecSectionProperty& row : SectionTable()) all.Include(row.ID);
    const WordRun run = ExportWord(a, all, folder);
    ASSERT_TRUE(run.Done);

    std::map<std::string, std::string> parts = UnzipMembers(ReadFileBytes(folder.file("out.docx")));
    for (const char* name : {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/styles.xml",
                             "word/_rels/document.xml.rels", "docProps/core.xml"}) {
        ASSERT_TRUE(parts.count(name)) << name;
    }
    for (const auto& [name, bytes] : parts) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_buffer(bytes.data(), bytes.size())) << name;
    }
    EXPECT_EQ(parts["word/styles.xml"],
              ReadFileBytes(std::string(BRINDLE_SOURCE_DIR) + "/resources/Template/word/styles.xml"));

    const DocxBody body = ReadDocxBody(parts["word/document.xml"]);
    std::vector<std::string> titles;
    std::vector<int> ids;
    for (const TRecSectionProperty& row : SectionTable()) {
        if (row.IsGroupRow()) continue;
        titles.push_back(row.Title);
        ids.push_back(row.ID);
    }
    EXPECT_EQ(body.TextsOfStyle("Heading1"), titles);
    EXPECT_EQ(body.TextsOfStyle("KVXCOMMENT").size(), titles.size());
    ASSERT_EQ(body.Tables.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(body.Tables[i], ExpectedTable(a, ids[i], BuiltInReportTxt())) << ids[i];
    // The contents list every report title before the first report.
    EXPECT_EQ(body.TextsOfStyle("TOC1"), titles);
    EXPECT_EQ(body.TextsOfStyle("KVXTOCTITLE"), std::vector<std::string>{"Table of Contents"});
    EXPECT_EQ(body.TextsOfStyle("KVXTITLE"), (std::vector<std::string>{"Report for", "Sample site"}));

    pugi::xml_document core;
    ASSERT_TRUE(core.load_string(parts["docProps/core.xml"].c_str()));
    EXPECT_STREQ(core.child("cp:coreProperties").child_value("dc:title"), "Report for Sample site");
    EXPECT_STREQ(core.child("cp:coreProperties").child_value("dc:creator"), "Jane Doe");
    EXPECT_NE(parts["docProps/app.xml"].find("<Company>Example Ltd</Company>"), std::string::npos);
    EXPECT_NE(parts["word/header1.xml"].find(">Report for Sample site<"), std::string::npos);
}

// Bytes no XML reader takes, from the log and the profile, arrive repaired.
TEST(ExportWord, HostileBytesAreRepaired) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    a.Profile.Name = "site \xff\x01";
    a.Options.Export.MSWordAuthor = "A\x02uthor & <co>";
    a.Stats.StatByUserName.Clear();
    for (const char* name :
         {"ctrl\x01\x08\x1f end", "del\x7f end", "broken \xff\xfe utf-8 \xc3", "]]> <![CDATA[ & ]]>", "\xef\xbf\xbe"})
        a.Stats.StatByUserName.Add(StatRow(name, 1, 1));
    ASSERT_TRUE(ExportWord(a, TReportSet{39}, folder).Done);
    std::map<std::string, std::string> parts = UnzipMembers(ReadFileBytes(folder.file("out.docx")));
    ASSERT_FALSE(parts.empty());
    for (const auto& [name, bytes] : parts) {
        EXPECT_TRUE(IsValidUtf8(bytes)) << name;
        EXPECT_EQ(RepairXmlText(bytes), bytes) << name;
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_buffer(bytes.data(), bytes.size())) << name;
    }
    const DocxBody body = ReadDocxBody(parts["word/document.xml"]);
    EXPECT_EQ(body.TextsOfStyle("KVXTITLE")[1], RepairXmlText("site \xff\x01"));
    ASSERT_EQ(body.Tables.size(), 1u);
    EXPECT_EQ(body.Tables[0], ExpectedTable(a, 39, BuiltInReportTxt()));
    pugi::xml_document core;
    ASSERT_TRUE(core.load_string(parts["docProps/core.xml"].c_str()));
    EXPECT_EQ(std::string(core.child("cp:coreProperties").child_value("dc:creator")),
              RepairXmlText("A\x02uthor & <co>"));
}

TEST(ExportWord, ElevenSteps) {
    TestFolder folder;
    SampleAnalysis a = WordSample();
    TExportWord word(a.Source());
    std::vector<int> values;
    word.OnProgress = [&](const void* sender, int value, const std::string& text) {
        EXPECT_EQ(sender, &word);
        EXPECT_EQ(text, "Build : report.docx");
        values.push_back(value);
    };
    word.OnStatus = [](const void*, int, const std::string&) { ADD_FAILURE() << "status fired"; };
    EXPECT_TRUE(word.Execute(TReportSet{10, 20}, BuiltInReportTxt(), TemplateFile(), folder.file("report.docx"),
                             folder.file("tmpmsw.txt")));
    EXPECT_EQ(values, kSteps);
}

// A cancel at any step leaves neither the intermediate file nor a document, and an earlier
// document of the same name as it was.
TEST(ExportWord, CancelAtEveryStep) {
    for (const int cancelAt : kSteps) {
        for (const bool earlier : {false, true}) {
            TestFolder folder;
            if (earlier) folder.write("out.docx", "earlier");
            SampleAnalysis a = WordSample();
            TExportWord word(a.Source());
            word.OnProgress = [&](const void*, int value, const std::string&) {
                if (value == cancelAt) word.Cancel();
            };
            EXPECT_FALSE(word.Execute(SeveralReports(), BuiltInReportTxt(), TemplateFile(), folder.file("out.docx"),
                                      folder.file("tmpmsw.txt")))
                << cancelAt;
            if (earlier) {
                EXPECT_EQ(ReadFileBytes(folder.file("out.docx")), "earlier");
                EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"out.docx"}) << cancelAt;
            } else {
                EXPECT_TRUE(FolderEntries(folder.path()).empty()) << cancelAt;
            }
            // The flag is cleared for the next run.
            word.OnProgress = nullptr;
            EXPECT_TRUE(word.Execute(TReportSet{10}, BuiltInReportTxt(), TemplateFile(), folder.file("next.docx"),
                                     folder.file("tmpmsw.txt")));
        }
    }
}

TEST(ExportWord, FailuresRaiseAndLeaveNothing) {
    SampleAnalysis a = WordSample();
    TExportWord word(a.Source());
    {
        TestFolder folder;
        folder.write("old.docx", "earlier");
        try {
            word.Execute(TReportSet{10}, BuiltInReportTxt(), folder.file("no-template/msw80.dot"),
                         folder.file("old.docx"), folder.file("tmpmsw.txt"));
            ADD_FAILURE() << "no exception";
        } catch (const EExportWord& e) {
            EXPECT_NE(std::string(e.what()).find("no-template/msw80.dot"), std::string::npos) << e.what();
        }
        EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"old.docx"});
        EXPECT_EQ(ReadFileBytes(folder.file("old.docx")), "earlier");
    }
    {
        TestFolder folder;
        folder.write("word/styles.xml", "<w:styles xmlns:w=\"http://example.com/other\"/>");
        EXPECT_THROW(word.Execute(TReportSet{10}, BuiltInReportTxt(), folder.file("word/msw80.dot"),
                                  folder.file("out.docx"), folder.file("tmpmsw.txt")),
                     EExportWord);
        EXPECT_FALSE(FileExists(folder.file("tmpmsw.txt")));
    }
    {
        TestFolder folder;
        EXPECT_THROW(word.Execute(TReportSet{10}, BuiltInReportTxt(), TemplateFile(), folder.file("missing/out.docx"),
                                  folder.file("tmpmsw.txt")),
                     EExportFile);
        EXPECT_TRUE(FolderEntries(folder.path()).empty());
    }
    {
        TestFolder folder;
        EXPECT_THROW(word.Execute(TReportSet{10}, BuiltInReportTxt(), TemplateFile(), folder.file("out.docx"),
                                  folder.file("missing/tmpmsw.txt")),
                     EExportFile);
        EXPECT_TRUE(FolderEntries(folder.path()).empty());
    }
}

// Every report's descriptor reads as its number of columns, which is that of its captions
// and of its cells.
TEST(ExportWord, DescriptorsMatchColumns) {
    int reports = 0;
    for (const TRecSectionProperty& row : SectionTable()) {
        if (row.IsGroupRow()) {
            EXPECT_TRUE(WordTableDescriptor(row.ID).empty() || row.ID == kGeneralReportID) << int(row.ID);
            continue;
        }
        ++reports;
        const auto columns = ParseTableDescriptor(WordTableDescriptor(row.ID));
        ASSERT_TRUE(columns) << row.Key;
        const std::size_t captions = WordColumnCaptions(row.ID, BuiltInReportTxt()).size();
        EXPECT_EQ(columns->size(), captions) << row.Key;
        if (const TReportRule* rule = FindReportRule(row.ID)) {
            EXPECT_EQ(captions, rule->ColumnCount) << row.Key;
        }
    }
    EXPECT_EQ(reports, kReportCount);
    EXPECT_TRUE(WordColumnCaptions(20, BuiltInReportTxt()).empty());
    const std::vector<std::string> recent = WordColumnCaptions(36, BuiltInReportTxt());
    EXPECT_EQ(recent.back(), BuiltInReportTxt().Column.TimeLastAccessShort);
}

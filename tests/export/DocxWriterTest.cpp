#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "DocxReader.h"
#include "core/SafeFile_u.h"
#include "core/TextRepair_u.h"
#include "export/DocxWriter_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Kind = TWordBlock::TKind;

const std::string LB(WordTag::LineBreak);

std::string TemplateFile() { return std::string(BRINDLE_SOURCE_DIR) + "/resources/Template/word/msw80.dot"; }

std::string Styles() {
    const std::optional<std::string> styles = LoadWordTemplateStyles(TemplateFile());
    EXPECT_TRUE(styles);
    return styles.value_or("");
}

TWordDocument Convert(std::string_view tagged) {
    TWordDocument document;
    document.InsertText(tagged);
    for (const TWordPass pass : kWordPasses) document.Run(pass);
    return document;
}

// The tagged lines of a table as the export writes them.
std::string TableText(std::string_view descriptor, const Rows& rows) {
    std::string text = "<--TABLE_DESCR-->" + std::string(descriptor) + "</--TABLE_DESCR-->" + LB + "<--TABLE-->" + LB;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "\t" : "") + EscapeTaggedText(row[i], true);
        text += LB;
    }
    return text + "</--TABLE-->" + LB;
}

std::map<std::string, std::string> SaveAndUnzip(const TWordDocument& document, const TDocxProperties& properties) {
    TestFolder folder;
    TAtomicFile file;
    EXPECT_TRUE(file.Open(folder.file("d.docx")));
    EXPECT_TRUE(SaveDocx(document, Styles(), properties, file));
    EXPECT_TRUE(file.Commit());
    return UnzipMembers(ReadFileBytes(folder.file("d.docx")));
}

}  // namespace

TEST(DocxWriter, TableDescriptors) {
    struct Case {
        std::string_view Descriptor;
        std::optional<std::vector<std::pair<bool, int>>> Columns;
    };
    const std::vector<Case> cases = {
        {"03L04.00L06.00L06.00", {{{false, 2268}, {false, 3402}, {false, 3402}}}},
        {"02L07.00R02.25", {{{false, 3969}, {true, 1276}}}},
        {"01R16.00", {{{true, 9071}}}},
        {"01L00.01", {{{false, 6}}}},
        {"", std::nullopt},
        {"00", std::nullopt},
        {"02L07.00", std::nullopt},  // fewer columns than counted
        {"01L07.00R02.00", std::nullopt},  // more
        {"01X07.00", std::nullopt},  // neither L nor R
        {"01l07.00", std::nullopt},
        {"01L7.00 ", std::nullopt},
        {"01L07,00", std::nullopt},
        {"01L07.0a", std::nullopt},
        {"1L07.00", std::nullopt},
        {"-1L07.00", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto columns = ParseTableDescriptor(c.Descriptor);
        ASSERT_EQ(columns.has_value(), c.Columns.has_value()) << c.Descriptor;
        if (!columns) continue;
        std::vector<std::pair<bool, int>> got;
        for (const TWordColumn& column : *columns) got.emplace_back(column.RightAligned, column.Width);
        EXPECT_EQ(got, *c.Columns) << c.Descriptor;
    }
}

// What the passes make of the export's layout: the title page, contents, headings, a table
// with its caption row, and a gap after it.
TEST(DocxWriter, PassesBuildTheDocument) {
    const std::string tagged = LB + "<--RTITLE-->Report for" + LB + "Site</--RTITLE-->" + LB +
                               "<--RBUILD-->Prepared by" + LB + "Me</--RBUILD-->" + LB + "<--PAGE_BREAK-->" + LB +
                               "<--TCTITLE-->Contents</--TCTITLE-->" + LB + LB + "<--TABLE_OF_CONTENTS-->" + LB +
                               "<--STITLE-->Months</--STITLE-->" + LB + "<--SCOMMENT-->Each month.</--SCOMMENT-->" +
                               LB + TableText("02L07.00R02.00", {{"Month", "Hits"}, {"May", "3"}, {"June", ""}});
    const TWordDocument document = Convert(tagged);
    struct Expected {
        Kind K;
        TWordStyle Style;
        std::string Text;
    };
    const std::vector<Expected> expected = {
        {Kind::Paragraph, TWordStyle::Normal, ""},
        {Kind::Paragraph, TWordStyle::Title, "Report for"},
        {Kind::Paragraph, TWordStyle::Title, "Site"},
        {Kind::Paragraph, TWordStyle::Build, "Prepared by"},
        {Kind::Paragraph, TWordStyle::Build, "Me"},
        {Kind::PageBreak, TWordStyle::Normal, ""},
        {Kind::Paragraph, TWordStyle::ContentsTitle, "Contents"},
        {Kind::Paragraph, TWordStyle::Normal, ""},
        {Kind::Contents, TWordStyle::Normal, ""},
        {Kind::Paragraph, TWordStyle::Heading, "Months"},
        {Kind::Paragraph, TWordStyle::Comment, "Each month."},
        {Kind::Table, TWordStyle::Normal, ""},
        {Kind::Paragraph, TWordStyle::Normal, ""},
    };
    const auto& blocks = document.Blocks();
    ASSERT_EQ(blocks.size(), expected.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].Kind, expected[i].K) << i;
        EXPECT_EQ(blocks[i].Style, expected[i].Style) << i;
        EXPECT_EQ(blocks[i].Text, expected[i].Text) << i;
    }
    const TWordBlock& table = blocks[11];
    ASSERT_EQ(table.Columns.size(), 2u);
    EXPECT_FALSE(table.Columns[0].RightAligned);
    EXPECT_TRUE(table.Columns[1].RightAligned);
    EXPECT_EQ(table.Rows, (Rows{{"Month", "Hits"}, {"May", "3"}, {"June", ""}}));
}

// Cells made of tag pieces, TABs and escapes come out of the passes exactly as they went in.
TEST(DocxWriter, RandomCellsSurviveTheTags) {
    const std::vector<std::string> pieces = {"<",         "--",   "/",     ">",          "-->",        "<--LT-->",
                                             "<--TAB-->", "\t",   "TABLE", "LINE_BREAK", "PAGE_BREAK", "STITLE",
                                             "<--",       "</--", "a",     " ",          "\r\n",       "\xc3\xa9"};
    std::mt19937 random(104);
    for (int round = 0; round < 200; ++round) {
        Rows rows = {{"Name", "Hits"}};
        for (int r = 0; r < 4; ++r) {
            std::string cell;
            const int length = static_cast<int>(random() % 8);
            for (int i = 0; i < length; ++i) cell += pieces[random() % pieces.size()];
            rows.push_back({cell, std::to_string(r)});
        }
        std::string title;
        for (int i = 0; i < 5; ++i) title += pieces[random() % pieces.size()];
        const std::string tagged = "<--STITLE-->" + EscapeTaggedText(title, false) + "</--STITLE-->" + LB +
                                   TableText("02L07.00R02.00", rows) + "<--PAGE_BREAK-->" + LB;
        const TWordDocument document = Convert(tagged);
        ASSERT_EQ(document.Blocks().size(), 4u) << round;
        EXPECT_EQ(document.Blocks()[0].Style, TWordStyle::Heading);
        EXPECT_EQ(document.Blocks()[0].Text, title) << round;
        EXPECT_EQ(document.Blocks()[1].Rows, rows) << round;
        EXPECT_EQ(document.Blocks()[3].Kind, Kind::PageBreak);
    }
}

// Input the export never writes still gives a sound document: no descriptor, ragged rows,
// an unclosed table, an empty table, unknown tags.
TEST(DocxWriter, OddInput) {
    const TWordDocument ragged = Convert("<--TABLE-->" + LB + "a\tb\tc" + LB + "d" + LB + "</--TABLE-->" + LB);
    ASSERT_EQ(ragged.Blocks().size(), 2u);
    EXPECT_EQ(ragged.Blocks()[0].Columns.size(), 3u);
    EXPECT_EQ(ragged.Blocks()[0].Rows, (Rows{{"a", "b", "c"}, {"d", "", ""}}));

    const TWordDocument surplus = Convert(TableText("02L07.00R02.00", {{"a", "b", "c", "d"}}));
    EXPECT_EQ(surplus.Blocks()[0].Rows, (Rows{{"a", "b\tc\td"}}));

    const TWordDocument unclosed = Convert("<--TABLE-->" + LB + "a\tb" + LB + "<--FOO-->x</--STITLE-->");
    ASSERT_EQ(unclosed.Blocks().size(), 3u);
    for (const TWordBlock& block : unclosed.Blocks()) EXPECT_EQ(block.Kind, Kind::Paragraph);
    EXPECT_EQ(unclosed.Blocks()[0].Text, "");
    EXPECT_EQ(unclosed.Blocks()[1].Text, "a\tb");
    EXPECT_EQ(unclosed.Blocks()[2].Text, "<--FOO-->x");

    const TWordDocument empty = Convert(TableText("01L07.00", {}));
    ASSERT_EQ(empty.Blocks().size(), 1u);
    EXPECT_EQ(empty.Blocks()[0].Kind, Kind::Paragraph);

    const TWordDocument nothing;
    for (const TWordDocument* document : {&ragged, &surplus, &unclosed, &empty, &nothing}) {
        auto parts = SaveAndUnzip(*document, {});
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(parts["word/document.xml"].c_str()));
    }
}

TEST(DocxWriter, PackageParts) {
    const TWordDocument document = Convert("<--STITLE-->One</--STITLE-->" + LB + "<--TABLE_OF_CONTENTS-->" + LB +
                                           "<--STITLE-->Two</--STITLE-->" + LB + TableText("01L07.00", {{"x"}}));
    TestFolder folder;
    TAtomicFile file;
    ASSERT_TRUE(file.Open(folder.file("p.docx")));
    ASSERT_TRUE(SaveDocx(document, Styles(), {"Title & <more>", "Author", "Company"}, file));
    ASSERT_TRUE(file.Commit());
    const std::string bytes = ReadFileBytes(folder.file("p.docx"));
    // A zip whose first member is the content types, and nothing after its end record.
    ASSERT_TRUE(bytes.starts_with("PK\x03\x04"));
    EXPECT_EQ(bytes.substr(30, 19), "[Content_Types].xml");
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes.substr(bytes.size() - 22, 4), std::string("PK\x05\x06"));

    auto parts = UnzipMembers(bytes);
    std::vector<std::string> names;
    for (const auto& [name, part] : parts) names.push_back(name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "docProps/app.xml", "docProps/core.xml",
                                        "word/_rels/document.xml.rels", "word/document.xml", "word/footer1.xml",
                                        "word/header1.xml", "word/settings.xml", "word/styles.xml"}));

    // Every part the package and the document name is there with its content type.
    pugi::xml_document types;
    ASSERT_TRUE(types.load_string(parts["[Content_Types].xml"].c_str()));
    for (const auto& [name, part] : parts) {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_buffer(part.data(), part.size())) << name;
        if (name.ends_with(".rels") || name == "[Content_Types].xml") continue;
        EXPECT_TRUE(types.find_node([&, &partName = name](pugi::xml_node n) {
            return n.attribute("PartName").value() == "/" + partName;
        })) << name;
    }
    for (const char* rels : {"_rels/.rels", "word/_rels/document.xml.rels"}) {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(parts[rels].c_str()));
        const std::string base = std::string(rels) == "_rels/.rels" ? "" : "word/";
        for (const pugi::xml_node& rel : doc.child("Relationships").children("Relationship"))
            EXPECT_TRUE(parts.count(base + rel.attribute("Target").value())) << rel.attribute("Target").value();
    }

    // The contents link each heading's bookmark; Word refreshes the field when it opens.
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(parts["word/document.xml"].c_str()));
    std::vector<std::string> anchors, bookmarks;
    for (const pugi::xpath_node& n : doc.select_nodes("//w:hyperlink"))
        anchors.emplace_back(n.node().attribute("w:anchor").value());
    for (const pugi::xpath_node& n : doc.select_nodes("//w:bookmarkStart"))
        bookmarks.emplace_back(n.node().attribute("w:name").value());
    EXPECT_EQ(anchors.size(), 2u);
    EXPECT_EQ(anchors, bookmarks);
    EXPECT_NE(std::string(doc.select_node("//w:instrText").node().text().get()).find("TOC \\o"), std::string::npos);
    EXPECT_EQ(doc.select_nodes("//w:fldChar").size(), 3u);
    EXPECT_NE(parts["word/settings.xml"].find("<w:updateFields w:val=\"true\"/>"), std::string::npos);
    // The body ends with a paragraph, not with the table.
    EXPECT_STREQ(doc.child("w:document").child("w:body").last_child().previous_sibling().name(), "w:p");
    EXPECT_NE(parts["word/header1.xml"].find("Title &amp; &lt;more&gt;"), std::string::npos);
}

TEST(DocxWriter, TemplateStyles) {
    TestFolder folder;
    EXPECT_FALSE(LoadWordTemplateStyles(folder.file("msw80.dot")));
    folder.write("a/styles.xml", "<w:styles");
    EXPECT_FALSE(LoadWordTemplateStyles(folder.file("a/msw80.dot")));
    folder.write("b/styles.xml", "<styles/>");
    EXPECT_FALSE(LoadWordTemplateStyles(folder.file("b/msw80.dot")));
    const std::string own = "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>";
    folder.write("c/styles.xml", own);
    EXPECT_EQ(LoadWordTemplateStyles(folder.file("c/msw80.dot")), own);

    // The template's own styles hold every style the documents name.
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(Styles().c_str()));
    for (const TWordStyle style : {TWordStyle::Normal, TWordStyle::Title, TWordStyle::Build, TWordStyle::ContentsTitle,
                                   TWordStyle::Heading, TWordStyle::Comment}) {
        EXPECT_TRUE(doc.find_node([&](pugi::xml_node n) {
            return std::string_view(n.attribute("w:styleId").value()) == WordStyleID(style);
        })) << WordStyleID(style);
    }
    for (const char* id : {"KVXTABLE", "TOC1", "Header", "Footer"}) {
        EXPECT_TRUE(doc.find_node([&](pugi::xml_node n) {
            return std::string_view(n.attribute("w:styleId").value()) == id;
        })) << id;
    }
}

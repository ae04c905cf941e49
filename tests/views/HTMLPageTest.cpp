#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ReportTxt_u.h"
#include "views/HTMLUtils_u.h"
#include "views/HTML_fr.h"
#include "views/HtmlSamples.h"

using namespace brindle;
using namespace brindle::test;

namespace {

int Count(const std::string& text, const std::string& piece) {
    int n = 0;
    for (std::size_t pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1)) ++n;
    return n;
}

std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> names = FolderEntries(folder);
    std::sort(names.begin(), names.end());
    return names;
}

// One report on screen, as the main window asks for it.
std::string ShowReport(TfrHTML& frame, SampleAnalysis& a, int id, const TestFolder& folder,
                       const TReportTxt& lang = BuiltInReportTxt()) {
    TReportSource source = a.Source();
    frame.BuildPage(source, a.Profile, 0, TReportSet{id}, lang, folder.file("single.html"), 0);
    return ReadFileBytes(folder.file("single.html"));
}

}  // namespace

// ---- Table builder ----

TEST(HTMLTable, Pieces) {
    THTMLTable table;
    table.Title = "Top <i>3</i>";
    for (int i = 0; i < 3; ++i) {
        THTMLTableColumn& column = table.Columns.AddColumn();
        EXPECT_EQ(column.Caption, "");
        EXPECT_EQ(column.CellAlign, haLeft);
        column.Caption = "C" + std::to_string(i);
        column.HeaderAlign = haCenter;
        column.CellAlign = static_cast<std::uint8_t>(i + 1);  // center, right, and 3: no alignment text
    }
    EXPECT_EQ(table.GetTableBegin(),
              "<table width=\"90%\" border=\"1\" align=\"center\" cellpadding=\"2\" cellspacing=\"0\">\r\n");
    EXPECT_EQ(table.GetTitleRow(), "<tr><td align=\"center\" class=\"DTitle\" colspan=3>Top <i>3</i></td></tr>\r\n");
    EXPECT_EQ(table.GetHeaderRow(),
              "<tr><td align=\"center\" class=\"DColHeader\" nowrap>C0</td>"
              "<td align=\"center\" class=\"DColHeader\" nowrap>C1</td>"
              "<td align=\"center\" class=\"DColHeader\" nowrap>C2</td></tr>\r\n");
    table.Columns.GetColumn(0).Text = "";
    table.Columns.GetColumn(1).Text = " ";
    table.Columns.GetColumn(2).Text = "<br>";
    const std::string cells =
        "<td align=\"center\" class=\"DRowOdd\">&nbsp;</td>"
        "<td align=\"right\" class=\"DRowOdd\"> </td>"
        "<td align=\"\" class=\"DRowOdd\"><br></td></tr>\r\n";
    EXPECT_EQ(table.GetDataRow(1), "<tr>" + cells);
    std::string even = cells;
    for (std::size_t pos; (pos = even.find("DRowOdd")) != std::string::npos;) even.replace(pos, 7, "DRowEven");
    EXPECT_EQ(table.GetDataRow(0), "<tr>" + even);
    EXPECT_EQ(table.GetDataRow(2), "<tr>" + even);
    EXPECT_EQ(table.GetTableEnd(), "</table>\r\n");
    table.Columns.Clear();
    EXPECT_EQ(table.GetTitleRow(), "<tr><td align=\"center\" class=\"DTitle\" colspan=0>Top <i>3</i></td></tr>\r\n");
}

TEST(HTMLTable, SectionHeaderHasFiveOrSixLines) {
    const std::string without = MakeSectionHeader("ByMon", "Monthly", "Per month", false);
    const std::string with = MakeSectionHeader("ByMon", "Monthly", "Per month", true);
    EXPECT_EQ(Count(without, "\r\n"), 5);
    EXPECT_EQ(Count(with, "\r\n"), 6);
    EXPECT_EQ(with,
              "<br><p></p>\r\n<a name=\"ByMon\"></a>\r\n"
              "<table width=\"90%\" border=\"0\" align=\"center\" cellpadding=\"2\" cellspacing=\"0\">\r\n"
              "<tr><td align=\"center\" class=\"STitle\">Monthly</td></tr>\r\n"
              "<tr><td align=\"left\" class=\"SComment\">Per month</td></tr>\r\n</table>\r\n");
    EXPECT_EQ(Count(without, "SComment"), 0);
}

TEST(HTMLTable, StyleSheet) {
    const std::string& css = ReportStyleSheet();
    EXPECT_EQ(css.substr(0, 57), "BODY\r\n{\r\ncolor: #000000;\r\nbackground-color: #FFFFFF;\r\n}\r\n");
    EXPECT_EQ(css.back(), '}');
    EXPECT_EQ(Count(css, "{"), 12);
    EXPECT_EQ(Count(css, "font-family: Arial,Helvetica,sans-serif;\r\n"), 10);
    EXPECT_NE(css.find("TD.DocHeader1\r\n{\r\nfont-family: Arial,Helvetica,sans-serif;\r\nfont-size: 14pt;\r\n"
                       "font-weight: bold;\r\ncolor: #FFFFFF;\r\nbackground-image: url(back_head.gif);\r\n"
                       "background-repeat: repeat-x;\r\n}\r\n"),
              std::string::npos);
    EXPECT_TRUE(
        css.ends_with("TD.Info\r\n{\r\nfont-family: Arial,Helvetica,sans-serif;\r\nfont-size: 11pt;\r\n"
                      "color: #000000;\r\nbackground-color: #FFFFFF;\r\n}"));
}

// ---- Template filler ----

TEST(TemplateFiller, OnePassAndOnlyWellFormedTags) {
    const auto handler = [](std::string_view tag) -> std::string {
        if (tag == "A") return "<#B>";  // replaced text is never filled again
        if (tag == "B") return "b";
        if (tag == "Lower_1") return "l";
        return "?";
    };
    struct Case {
        std::string text, expected;
    };
    const Case cases[] = {
        {"x<#A>y", "x<#B>y"},
        {"<#B><#B>", "bb"},
        {"<#Lower_1>", "l"},
        {"<#Other>", "?"},
        {"<#>", "<#>"},
        {"<#B", "<#B"},
        {"<#B x>", "<#B x>"},
        {"<#<#B>", "<#b"},
        {"<# B>", "<# B>"},
        {"a < # b <#B>>", "a < # b b>"},
        {"", ""},
        {"<#B>\r\n", "b\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(TTemplateFiller::Fill(c.text, handler), c.expected) << c.text;
    EXPECT_TRUE(SameTagName("style_css", "STYLE_CSS"));
    EXPECT_FALSE(SameTagName("STYLE_CS", "STYLE_CSS"));
}

// ---- Escaping ----

TEST(HTMLEscaping, TextsLinksAndScripts) {
    EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_EQ(HtmlEscape("caf\xC3\xA9"), "caf\xC3\xA9");

    struct LinkCase {
        std::string url;
        bool link;
    };
    const LinkCase links[] = {
        {"http://a.example/", true},
        {"https://a.example/", true},
        {"HTTP://A.EXAMPLE/", true},
        {"hTtPs://a", true},
        {"javascript:alert(1)", false},
        {"JavaScript:alert(1)", false},
        {"data:text/html,x", false},
        {"vbscript:x", false},
        {" http://a/", false},
        {"http:/a", false},
        {"//a.example/", false},
        {"ftp://a/", false},
        {"", false},
        {"/index.html", false},
    };
    for (const LinkCase& c : links) EXPECT_EQ(IsWebLink(c.url), c.link) << c.url;

    EXPECT_EQ(HtmlLink("http://a/?x=1&y=\"2\"", "<t>"),
              "<a href=\"http://a/?x=1&amp;y=&quot;2&quot;\" target=\"_blank\">&lt;t&gt;</a>");
    EXPECT_EQ(HtmlLink("javascript:alert(1)", "javascript:alert(1)"), "javascript:alert(1)");

    EXPECT_EQ(JsEscape("Monthly Access"), "Monthly Access");
    EXPECT_EQ(JsEscape("a\"b'c\\d"), "a\\\"b\\'c\\\\d");
    EXPECT_EQ(JsEscape("</script><!--&"), "\\u003C/script\\u003E\\u003C!--\\u0026");
    EXPECT_EQ(JsEscape("l1\nl2\r\t\x01\x7f"), "l1\\nl2\\r\\t\\u0001\\u007F");
    EXPECT_EQ(JsEscape("sep\xE2\x80\xA8par\xE2\x80\xA9 dash\xE2\x80\x94"), "sep\\u2028par\\u2029 dash\xE2\x80\x94");
}

// ---- Report page ----

class HTMLPageTest : public ::testing::Test {
protected:
    TfrHTML frame;
    TestFolder folder;
};

TEST_F(HTMLPageTest, ViewerIsNamed) {
    ASSERT_NE(frame.wb, nullptr);
    EXPECT_EQ(frame.findChild<QTextBrowser*>("wb"), frame.wb);
}

TEST_F(HTMLPageTest, GoldenPages) {
    SampleAnalysis a = MakeHtmlAnalysis();
    SetReport(a, 31, 1, 1, 1);
    SetReport(a, 61, 1, 1, 1, 2);
    SetReport(a, 52, 1, 0, 0);
    ExpectGolden(ShowReport(frame, a, 10, folder), "single_General.html");
    ExpectGolden(ShowReport(frame, a, 61, folder), "single_ByErr404.html");
    ExpectGolden(ShowReport(frame, a, 52, folder), "single_ByRefPage.html");
    EXPECT_EQ(Files(folder.path()), std::vector<std::string>{"single.html"});

    ExpectGolden(ShowReport(frame, a, 31, folder), "single_ByTld.html");
    EXPECT_EQ(Files(folder.path()), (std::vector<std::string>{"bytld.png", "bytld_daily.png", "single.html"}));
    for (const char* image : {"bytld.png", "bytld_daily.png"}) {
        const QImage png(QString::fromStdString(folder.file(image)));
        EXPECT_EQ(png.width(), 600) << image;
        EXPECT_EQ(png.height(), 350) << image;
    }
}

TEST_F(HTMLPageTest, ImagesFollowTheSwitchesAndTheReport) {
    SampleAnalysis a = MakeHtmlAnalysis();
    // ByHost has no drawing whatever its switches say.
    SetReport(a, 37, 1, 1, 1);
    std::string page = ShowReport(frame, a, 37, folder);
    EXPECT_EQ(Count(page, "<img"), 0);
    EXPECT_EQ(Count(page, "class=\"DTitle\""), 1);
    EXPECT_EQ(Files(folder.path()), std::vector<std::string>{"single.html"});

    // ByTld with every switch off: the header with its comment and nothing else.
    SetReport(a, 31, 0, 0, 0);
    page = ShowReport(frame, a, 31, folder);
    EXPECT_EQ(Count(page, "class=\"SComment\""), 1);
    EXPECT_EQ(Count(page, "<img"), 0);
    EXPECT_EQ(Count(page, "<table"), 1);

    // ByMon has a chart but no daily chart.
    SetReport(a, 21, 0, 1, 1);
    page = ShowReport(frame, a, 21, folder);
    EXPECT_NE(page.find("<center><img src=\"bymon.png\" width=\"600\" height=\"350\" border=\"1\" "
                        "alt=\"Monthly Access\"></center><br>\r\n<p></p>\r\n"),
              std::string::npos);
    EXPECT_EQ(Count(page, "<img"), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("bymon_daily.png")));
}

TEST_F(HTMLPageTest, RowLimitAndAlternatingRows) {
    SampleAnalysis a = MakeHtmlAnalysis();
    SetReport(a, 31, 1, 0, 0, 0);
    std::string page = ShowReport(frame, a, 31, folder);
    EXPECT_EQ(Count(page, "class=\"DColHeader\""), 7);
    EXPECT_EQ(Count(page, "class=\"DRowOdd\""), 0);
    SetReport(a, 31, 1, 0, 0, 3);
    page = ShowReport(frame, a, 31, folder);
    EXPECT_EQ(Count(page, "<tr><td align=\"left\" class=\"DRowOdd\">"), 2);
    EXPECT_EQ(Count(page, "<tr><td align=\"left\" class=\"DRowEven\">"), 1);
}

TEST_F(HTMLPageTest, ErrorReportsJoinUrlAndReferrer) {
    SampleAnalysis a = MakeHtmlAnalysis();
    SetReport(a, 62, 1, 0, 0, 2);
    const std::string page = ShowReport(frame, a, 62, folder);
    EXPECT_NE(page.find("<td align=\"center\" class=\"DColHeader\" nowrap>Requested URL / Referrer</td>"),
              std::string::npos);
    EXPECT_EQ(Count(page, "class=\"DColHeader\""), 4);
    // 500 then 403: the code right-aligned, the description and the URL left.
    EXPECT_NE(page.find("<tr><td align=\"right\" class=\"DRowOdd\">500</td><td align=\"left\" class=\"DRowOdd\">"),
              std::string::npos);
    EXPECT_NE(page.find("/cgi-bin/x<br>No Referrer</td><td align=\"right\" class=\"DRowOdd\">7</td></tr>"),
              std::string::npos);
    EXPECT_NE(page.find(">403</td>"), std::string::npos);
    EXPECT_EQ(page.find(">404</td>"), std::string::npos);
}

TEST_F(HTMLPageTest, ExportPageOfAGroupWithoutReportsHasHeaderAndFooterOnly) {
    SampleAnalysis a = MakeHtmlAnalysis();
    TReportSource source = a.Source();
    std::vector<std::pair<int, std::string>> events;
    frame.OnProgress = [&](const void* sender, int value, const std::string& text) {
        EXPECT_EQ(sender, &frame);
        events.emplace_back(value, text);
    };
    frame.BuildPage(source, a.Profile, 20, TReportSet{31, 41}, BuiltInReportTxt(), folder.file("R_TimePeriod.html"), 1);
    EXPECT_EQ(events, (std::vector<std::pair<int, std::string>>{{0, "Build : R_TimePeriod.html"}}));
    const std::string page = ReadFileBytes(folder.file("R_TimePeriod.html"));
    EXPECT_EQ(Count(page, "class=\"DocHeader1\""), 1);
    EXPECT_EQ(Count(page, "class=\"DocFooter\""), 1);
    EXPECT_EQ(Count(page, "<a name="), 0);
    EXPECT_NE(page.find("Report for Sample site : Time Period\r\n"), std::string::npos);
    EXPECT_NE(page.find("Time Range : 2007-03-01 08:00:00 - 2007-03-10 17:30:00\r\n"), std::string::npos);
}

TEST_F(HTMLPageTest, ExportPageReportsProgressPerSectionInCatalogueOrder) {
    SampleAnalysis a = MakeHtmlAnalysis();
    TReportSource source = a.Source();
    std::vector<int> values;
    frame.OnProgress = [&](const void*, int value, const std::string&) { values.push_back(value); };
    frame.BuildPage(source, a.Profile, 20, TReportSet{25, 21, 23, 31}, BuiltInReportTxt(),
                    folder.file("R_TimePeriod.html"), 1);
    EXPECT_EQ(values, (std::vector<int>{0, 33, 66, 100}));
    const std::string page = ReadFileBytes(folder.file("R_TimePeriod.html"));
    const std::size_t mon = page.find("<a name=\"ByMon\">");
    const std::size_t hod = page.find("<a name=\"ByHod\">");
    const std::size_t dom = page.find("<a name=\"ByDom\">");
    ASSERT_NE(dom, std::string::npos);
    EXPECT_LT(mon, hod);
    EXPECT_LT(hod, dom);
    // Comments only when the options ask for them on exported pages.
    EXPECT_EQ(Count(page, "SComment\">"), 0);
    a.Options.Export.HTMLDescription = 1;
    TReportSource described = a.Source();
    frame.BuildPage(described, a.Profile, 20, TReportSet{21}, BuiltInReportTxt(), folder.file("R_TimePeriod.html"), 1);
    EXPECT_EQ(Count(ReadFileBytes(folder.file("R_TimePeriod.html")), "SComment\">"), 1);
}

TEST_F(HTMLPageTest, CancelledPageIsNotWritten) {
    SampleAnalysis a = MakeHtmlAnalysis();
    TReportSource source = a.Source();
    for (const int cancelAt : {0, 50}) {
        const std::string name = folder.file("page" + std::to_string(cancelAt) + ".html");
        int events = 0;
        frame.OnProgress = [&](const void*, int value, const std::string&) {
            ++events;
            if (value >= cancelAt) frame.Cancel();
        };
        frame.BuildPage(source, a.Profile, 20, TReportSet{21, 23, 24}, BuiltInReportTxt(), name, 1);
        EXPECT_FALSE(std::filesystem::exists(name)) << cancelAt;
        EXPECT_EQ(events, cancelAt == 0 ? 1 : 3);  // 0, 33, 66
    }
    // The next page starts afresh.
    frame.OnProgress = nullptr;
    frame.BuildPage(source, a.Profile, 20, TReportSet{21}, BuiltInReportTxt(), folder.file("next.html"), 1);
    EXPECT_TRUE(std::filesystem::exists(folder.file("next.html")));
}

TEST_F(HTMLPageTest, UnwritablePageRaisesAndLeavesTheEarlierFile) {
    SampleAnalysis a = MakeHtmlAnalysis();
    TReportSource source = a.Source();
    const std::string missing = folder.file("no/such/folder/single.html");
    try {
        frame.BuildPage(source, a.Profile, 0, TReportSet{10}, BuiltInReportTxt(), missing, 0);
        FAIL() << "no exception";
    } catch (const EExportHTML& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Could not create the file '" + missing + "'.\r\nThe disk may be full or write-protected.");
    }
    // A chart that cannot be written is reported the same way.
    SetReport(a, 21, 1, 1, 0);
    std::filesystem::create_directory(folder.file("bymon.png"));
    EXPECT_THROW(
        frame.BuildPage(source, a.Profile, 0, TReportSet{21}, BuiltInReportTxt(), folder.file("single.html"), 0),
        EExportHTML);
    EXPECT_FALSE(std::filesystem::exists(folder.file("single.html")));
}

TEST_F(HTMLPageTest, HostileLogTextsAreEscapedEverywhere) {
    SampleAnalysis a = MakeHostileAnalysis();
    const int reports[] = {36, 37, 39, 41, 42, 48, 51, 52, 61, 62};
    for (const int id : reports) {
        SetReport(a, id, 1, 0, 0, 20);
        SCOPED_TRACE(id);
        for (const std::uint8_t mode : {0, 1}) {
            TReportSource source = a.Source();
            const std::uint8_t group = mode == 0 ? 0 : static_cast<std::uint8_t>(id / 10 * 10);
            frame.BuildPage(source, a.Profile, group, TReportSet{id}, BuiltInReportTxt(), folder.file("page.html"),
                            mode);
            const std::string page = ReadFileBytes(folder.file("page.html"));
            EXPECT_EQ(Count(page, "<script"), 0);
            EXPECT_EQ(Count(page, "</script"), 0);
            EXPECT_EQ(Count(page, "<img"), mode == 1 ? 1 : 0);  // only the header's spacer
            EXPECT_EQ(Count(page, "<b>"), 0);
            EXPECT_EQ(Count(page, "onerror=alert(3)>"), 0);
            EXPECT_EQ(Count(page, "\" onmouseover"), 0);
            EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
            for (const std::string& href : Hrefs(page))
                EXPECT_TRUE(IsWebLink(href) && href.find_first_of("<>\"'") == std::string::npos) << href;
        }
    }
    // The last page (other errors): a "javascript:" URL stays plain text.
    const std::string refPage = ReadFileBytes(folder.file("page.html"));
    EXPECT_NE(refPage.find(">javascript:alert(2)<br>"), std::string::npos);
}

TEST_F(HTMLPageTest, OnlyWebReferrersBecomeLinks) {
    SampleAnalysis a = MakeHostileAnalysis();
    a.Stats.StatByRefPage.Add(StatRow("https://fine.example/?a=<1>", 1, 1));
    SetReport(a, 52, 1, 0, 0, 20);
    const std::string page = ShowReport(frame, a, 52, folder);
    EXPECT_EQ(Hrefs(page), std::vector<std::string>{"https://fine.example/?a=&lt;1&gt;"});
    EXPECT_NE(page.find(">javascript:alert(2)</td>"), std::string::npos);
    EXPECT_NE(page.find("> http://leading.blank/</td>"), std::string::npos);
}

TEST_F(HTMLPageTest, OnlyPathsBecomeLinksIntoTheSite) {
    SampleAnalysis a = MakeHtmlAnalysis();
    a.Profile.DomainName = "www.site.example";
    a.Stats.StatByAllFiles.Clear();
    a.Stats.StatByAllFiles.Add(KindRow("@evil.example/x.html", 2, 3, 1));
    a.Stats.StatByAllFiles.Add(KindRow("/fine.html", 2, 2, 1));
    a.Stats.StatByAllFiles.Add(KindRow(".evil.example/y.html", 2, 1, 1));
    SetReport(a, 41, 1, 0, 0, 20);
    const std::string page = ShowReport(frame, a, 41, folder);
    EXPECT_EQ(Hrefs(page), std::vector<std::string>{"http://www.site.example/fine.html"});
    EXPECT_NE(page.find(">@evil.example/x.html</td>"), std::string::npos);
}

TEST_F(HTMLPageTest, ViewerShowsTheNewPageAndItsNewImages) {
    SampleAnalysis a = MakeHtmlAnalysis();
    SetReport(a, 21, 1, 1, 0);
    ShowReport(frame, a, 21, folder);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_NE(frame.wb->toPlainText().indexOf("April 2007"), -1);
    const QUrl image = QUrl::fromLocalFile(QString::fromStdString(folder.file("bymon.png")));
    const QImage first = frame.wb->document()->resource(QTextDocument::ImageResource, image).value<QImage>();
    ASSERT_FALSE(first.isNull());

    // Same page name, same image name, other contents.
    a.Stats.StatByMon.Clear();
    SetReport(a, 21, 1, 1, 0);
    ShowReport(frame, a, 21, folder);
    EXPECT_EQ(frame.wb->toPlainText().indexOf("April 2007"), -1);
    const QImage second = frame.wb->document()->resource(QTextDocument::ImageResource, image).value<QImage>();
    EXPECT_EQ(second, QImage(QString::fromStdString(folder.file("bymon.png"))));
    EXPECT_NE(second, first);
}

namespace {

// Each table cell the viewer shows: its plain text, background and whether it is bold.
struct ShownCell {
    QString Text;
    QColor Background;
    bool Bold = false;
};

void CollectCells(QTextFrame* frame, std::vector<ShownCell>& cells) {
    if (auto* table = qobject_cast<QTextTable*>(frame))
        for (int row = 0; row < table->rows(); ++row)
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column) continue;  // spanned
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                QTextCursor first = cell.firstCursorPosition();
                first.movePosition(QTextCursor::NextCharacter);
                cells.push_back({cursor.selectedText(), cell.format().background().color(),
                                 first.charFormat().fontWeight() >= QFont::Bold});
            }
    for (QTextFrame* child : frame->childFrames()) CollectCells(child, cells);
}

// In the order of the page.
std::vector<ShownCell> ShownCells(const QTextDocument& document) {
    std::vector<ShownCell> cells;
    CollectCells(document.rootFrame(), cells);
    return cells;
}

const ShownCell* FindCell(const std::vector<ShownCell>& cells, const QString& text) {
    for (const ShownCell& cell : cells)
        if (cell.Text == text) return &cell;
    return nullptr;
}

}  // namespace

TEST_F(HTMLPageTest, ViewerAppliesTheStyleSheet) {
    SampleAnalysis a = MakeHtmlAnalysis();
    SetReport(a, 21, 1, 0, 0);
    const std::string page = ShowReport(frame, a, 21, folder);
    // The written page keeps the commented style block for browsers.
    EXPECT_NE(page.find("<!--\r\n" + ReportStyleSheet() + "\r\n-->"), std::string::npos);

    const std::vector<ShownCell> cells = ShownCells(*frame.wb->document());
    ASSERT_GE(cells.size(), 6U);
    TRecSectionProperty entry;
    ASSERT_TRUE(GetReportEntry(21, false, &BuiltInReportTxt(), entry));
    const QString title = QString::fromStdString(entry.Title);
    // Title bar, then the table title, the column heads and alternating rows.
    const ShownCell* bar = FindCell(cells, title);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Background, QColor("#003399"));
    EXPECT_TRUE(bar->Bold);
    std::vector<const ShownCell*> titles;
    for (const ShownCell& cell : cells)
        if (cell.Text == title) titles.push_back(&cell);
    ASSERT_EQ(titles.size(), 2U);
    EXPECT_EQ(titles[1]->Background, QColor("#E0E0E0"));
    EXPECT_TRUE(titles[1]->Bold);

    std::vector<QColor> firstColumn;
    bool inData = false;
    for (const ShownCell& cell : cells) {
        if (&cell == titles[1]) inData = true;
        if (inData && &cell != titles[1]) firstColumn.push_back(cell.Background);
    }
    ASSERT_GE(firstColumn.size(), 3U);
    EXPECT_EQ(firstColumn.front(), QColor("#E0E0E0"));  // a column head
    std::vector<QColor> rows;
    for (const QColor& colour : firstColumn)
        if (colour != QColor("#E0E0E0") && (rows.empty() || rows.back() != colour)) rows.push_back(colour);
    ASSERT_GE(rows.size(), 2U);
    EXPECT_EQ(rows[0], QColor("#FFFFFF"));
    EXPECT_EQ(rows[1], QColor("#FFFFE8"));
}

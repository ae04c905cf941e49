#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/AppPaths.h"
#include "core/CommonConsts_tables.h"
#include "core/ReportTxt_u.h"
#include "export/ExportHTML_u.h"
#include "support/FileSizeLimit.h"
#include "views/HTML_fr.h"
#include "views/HtmlSamples.h"

using namespace brindle;
using namespace brindle::test;

namespace {

// The page frame is a widget and the charts draw text: this test program has no
// QApplication of its own, so the HTML export tests make one for the whole run.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "export_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);  // gtest owns it

using Events = std::vector<std::pair<int, std::string>>;

std::vector<std::string> SortedEntries(const std::string& folder) {
    std::vector<std::string> names = FolderEntries(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> SupportFiles() {
    std::vector<std::string> names;
    for (const std::string_view name : HtmlSupportFiles()) names.emplace_back(name);
    return names;
}

std::vector<std::string> With(std::vector<std::string> names, std::initializer_list<std::string> more) {
    names.insert(names.end(), more);
    std::sort(names.begin(), names.end());
    return names;
}

class ExportHTMLTest : public ::testing::Test {
protected:
    ExportHTMLTest() : analysis(MakeHtmlAnalysis()), source(analysis.Source()), exporter(frame, source) {
        exporter.OnProgress = [this](const void* sender, int value, const std::string& text) {
            events.emplace_back(value, text);
            EXPECT_TRUE(sender == &exporter || sender == &frame);
            if (onEvent) onEvent(value, text);
        };
    }

    bool Run(const TReportSet& reports, const TReportTxt& lang = BuiltInReportTxt()) {
        return exporter.Execute(analysis.Profile, reports, lang, AppPaths::TemplateHtmlDir(), out.path());
    }

    SampleAnalysis analysis;
    TReportSource source;
    TfrHTML frame;
    TExportHTML exporter;
    TestFolder out;
    Events events;
    std::function<void(int, const std::string&)> onEvent;
};

const TReportSet kSeveral{10, 21, 31, 37, 41, 52, 61};

}  // namespace

TEST(ExportHTMLFiles, GoldenIndexAndTree) {
    SampleAnalysis a = MakeHtmlAnalysis();
    const TReportSet groups = TExportHTML::GroupsOf(kSeveral);
    EXPECT_EQ(groups, (TReportSet{10, 20, 30, 40, 50, 60}));
    ExpectGolden(TExportHTML::IndexPage(a.Profile, BuiltInReportTxt(), groups), "index.html");
    ExpectGolden(TExportHTML::TreeScript(kSeveral, groups, BuiltInReportTxt()), "nodes.js");

    // The monthly report's link line.
    const std::string tree = TExportHTML::TreeScript(TReportSet{21}, TReportSet{20}, BuiltInReportTxt());
    EXPECT_NE(tree.find("insDoc(n_R_TimePeriod, gLnk(\"R\", \"Monthly Access\", \"R_TimePeriod.html#ByMon\"));\r\n"),
              std::string::npos);
}

TEST(ExportHTMLFiles, IndexOfNoGroupAndCharset) {
    SampleAnalysis a = MakeHtmlAnalysis();
    TReportTxt lang = BuiltInReportTxt();
    lang.Info.Charset = "";
    const std::string index = TExportHTML::IndexPage(a.Profile, lang, TReportSet{});
    EXPECT_NE(index.find("<frame src=\"\" name=\"basefrm\""), std::string::npos);
    // The pages are written in UTF-8 whatever the language file was.
    EXPECT_NE(index.find("charset=utf-8\">\r\n"), std::string::npos);
}

TEST(ExportHTMLFiles, HostileTextsInTheIndexAndTheTree) {
    SampleAnalysis a = MakeHostileAnalysis();
    TReportTxt lang = BuiltInReportTxt();
    for (TRecSectionProperty& row : lang.Sections) row.Title = "\"</script><script>alert('" + row.Key + "')//\\";
    lang.ExportHTML.TreeReports = "Re\"ports\r\n";
    const std::string index = TExportHTML::IndexPage(a.Profile, lang, TExportHTML::GroupsOf(kSeveral));
    EXPECT_NE(index.find("<title>Report for &lt;b&gt;site&lt;/b&gt; &amp; &quot;co&quot; &lt;/script&gt;</title>"),
              std::string::npos);
    const std::string tree = TExportHTML::TreeScript(kSeveral, TExportHTML::GroupsOf(kSeveral), lang);
    EXPECT_EQ(tree.find("</"), std::string::npos);
    EXPECT_EQ(tree.find("<script"), std::string::npos);
    EXPECT_NE(tree.find("foldersTree = gFld(\"Re\\\"ports\\r\\n\", \"\");"), std::string::npos);
    EXPECT_NE(tree.find("gFld(\"\\\"\\u003C/script\\u003E\\u003Cscript\\u003Ealert(\\'R_General\\')//\\\\\", "
                        "\"R_General.html\")"),
              std::string::npos);
    // Each line's string literals are closed: outside them only the fixed script text remains.
    std::size_t start = 0;
    while (start < tree.size()) {
        const std::size_t end = tree.find("\r\n", start);
        const std::string line = tree.substr(start, end - start);
        start = end + 2;
        std::string outside;
        bool inString = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (inString && line[i] == '\\') {
                ++i;
                continue;
            }
            if (line[i] == '"') {
                inString = !inString;
                continue;
            }
            if (!inString) outside += line[i];
        }
        EXPECT_FALSE(inString) << line;
        EXPECT_EQ(outside.find_first_of("<>/"), std::string::npos) << line;
    }
}

TEST_F(ExportHTMLTest, WritesEveryPageTheSupportFilesIndexAndTree) {
    SetReport(analysis, 21, 1, 1, 0);
    SetReport(analysis, 31, 1, 1, 1);
    SetReport(analysis, 37, 1, 1, 1);
    ASSERT_TRUE(Run(kSeveral));
    EXPECT_EQ(SortedEntries(out.path()),
              With(SupportFiles(),
                   {"R_General.html", "R_TimePeriod.html", "R_Visitors.html", "R_FilesPages.html", "R_Referrers.html",
                    "R_Errors.html", "bymon.png", "bytld.png", "bytld_daily.png", "byallfiles.png",
                    "byallfiles_daily.png", "byrefpage.png", "byrefpage_daily.png", "index.html", "nodes.js"}));
    for (const std::string& name : SupportFiles())
        EXPECT_EQ(ReadFileBytes(out.file(name)), ReadFileBytes(AppPaths::TemplateHtmlDir() + name)) << name;
    EXPECT_EQ(ReadFileBytes(out.file("index.html")), ReadFileBytes(DataPath("golden/html/index.html")));
    EXPECT_EQ(ReadFileBytes(out.file("nodes.js")), ReadFileBytes(DataPath("golden/html/nodes.js")));
    ExpectGolden(ReadFileBytes(out.file("R_General.html")), "R_General.html");

    const Events expected = {
        {0, "Build : R_General.html"},      {100, "Build : R_General.html"},   {0, "Build : R_TimePeriod.html"},
        {100, "Build : R_TimePeriod.html"}, {0, "Build : R_Visitors.html"},    {50, "Build : R_Visitors.html"},
        {100, "Build : R_Visitors.html"},   {0, "Build : R_FilesPages.html"},  {100, "Build : R_FilesPages.html"},
        {0, "Build : R_Referrers.html"},    {100, "Build : R_Referrers.html"}, {0, "Build : R_Errors.html"},
        {100, "Build : R_Errors.html"},     {100, "Build : index.html"},       {100, "Build : nodes.js"},
    };
    EXPECT_EQ(events, expected);
    // The frame gets its own callbacks back.
    EXPECT_FALSE(frame.OnProgress);
    EXPECT_FALSE(frame.OnStatus);

    // The tree links lead to the sections the pages hold.
    const std::string visitors = ReadFileBytes(out.file("R_Visitors.html"));
    EXPECT_NE(visitors.find("<a name=\"ByHost\"></a>"), std::string::npos);
    EXPECT_LT(visitors.find("<a name=\"ByHost\"></a>"), visitors.find("<a name=\"ByTld\"></a>"));
    EXPECT_NE(visitors.find("<img src=\"bytld_daily.png\""), std::string::npos);
    const QImage chart(QString::fromStdString(out.file("bytld.png")));
    EXPECT_EQ(chart.size(), QSize(600, 350));
}

TEST_F(ExportHTMLTest, OnlyTheGeneralReport) {
    ASSERT_TRUE(Run(TReportSet{10}));
    EXPECT_EQ(SortedEntries(out.path()), With(SupportFiles(), {"R_General.html", "index.html", "nodes.js"}));
    const std::string tree = ReadFileBytes(out.file("nodes.js"));
    EXPECT_NE(tree.find("n_R_General = insFld(foldersTree, gFld(\"General\", \"R_General.html\"));\r\n"
                        "insDoc(n_R_General, gLnk(\"R\", \"General\", \"R_General.html#General\"));\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(tree.begin(), tree.end(), '\n'), 3 + 11 + 1 + 1 + 1);
    EXPECT_NE(ReadFileBytes(out.file("index.html")).find("<frame src=\"R_General.html\" name=\"basefrm\""),
              std::string::npos);
}

TEST_F(ExportHTMLTest, GroupWithoutExportedReportsHasNoPage) {
    ASSERT_TRUE(Run(TReportSet{21, 61, 20, 30}));  // group ids alone export nothing
    EXPECT_EQ(SortedEntries(out.path()),
              With(SupportFiles(), {"R_TimePeriod.html", "bymon.png", "R_Errors.html", "index.html", "nodes.js"}));
    const std::string tree = ReadFileBytes(out.file("nodes.js"));
    EXPECT_EQ(tree.find("R_Visitors"), std::string::npos);
    EXPECT_NE(ReadFileBytes(out.file("index.html")).find("<frame src=\"R_TimePeriod.html\""), std::string::npos);
}

TEST_F(ExportHTMLTest, CancelWhileAPageIsBuiltKeepsTheEarlierPagesOnly) {
    // Cancel halfway through the visitors page (two sections: 50 after the first).
    onEvent = [this](int value, const std::string& text) {
        if (text == "Build : R_Visitors.html" && value == 50) exporter.Cancel();
    };
    EXPECT_FALSE(Run(kSeveral));
    EXPECT_EQ(SortedEntries(out.path()),
              (std::vector<std::string>{"R_General.html", "R_TimePeriod.html", "bymon.png"}));
    EXPECT_EQ(events.back(), (std::pair<int, std::string>{50, "Build : R_Visitors.html"}));

    // The exporter and the frame start afresh on the next run.
    onEvent = nullptr;
    EXPECT_TRUE(Run(TReportSet{21}));
    EXPECT_TRUE(std::filesystem::exists(out.file("nodes.js")));
}

TEST_F(ExportHTMLTest, CancelBetweenPagesAndBeforeTheLastFiles) {
    for (const std::string& at : {std::string("Build : R_TimePeriod.html"), std::string("Build : index.html"),
                                  std::string("Build : nodes.js")}) {
        SCOPED_TRACE(at);
        TestFolder folder;
        onEvent = [&](int, const std::string& text) {
            if (text == at) exporter.Cancel();
        };
        EXPECT_FALSE(exporter.Execute(analysis.Profile, kSeveral, BuiltInReportTxt(), AppPaths::TemplateHtmlDir(),
                                      folder.path()));
        const std::vector<std::string> entries = SortedEntries(folder.path());
        EXPECT_EQ(std::count(entries.begin(), entries.end(), "nodes.js"), 0);
        if (at == "Build : R_TimePeriod.html") {
            // Cancelled at the start of the second page: only the first stays.
            EXPECT_EQ(entries, std::vector<std::string>{"R_General.html"});
        } else {
            // The pages and support files were written before; the cancelled file and the
            // ones after it are not.
            EXPECT_EQ(std::count(entries.begin(), entries.end(), "index.html"), at == "Build : nodes.js" ? 1 : 0);
            EXPECT_EQ(std::count(entries.begin(), entries.end(), "R_Errors.html"), 1);
        }
    }
}

TEST_F(ExportHTMLTest, MissingSupportFileRaisesAndWritesNoIndex) {
    TestFolder templates;
    for (const std::string& name : SupportFiles())
        if (name != "left.html") templates.write(name, ReadFileBytes(AppPaths::TemplateHtmlDir() + name));
    try {
        exporter.Execute(analysis.Profile, TReportSet{10, 21}, BuiltInReportTxt(), templates.path(), out.path());
        FAIL() << "no exception";
    } catch (const EExportHTML& e) {
        EXPECT_EQ(std::string(e.what()), "Could not find the file '" + templates.file("left.html") +
                                             "'.\r\nYou should reinstall the product to ensure proper file placement.");
    }
    const std::vector<std::string> entries = SortedEntries(out.path());
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "R_TimePeriod.html"), 1);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "index.html"), 0);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "nodes.js"), 0);
}

TEST_F(ExportHTMLTest, FilesThatCannotBeWrittenRaise) {
    // A page, a support file and the index whose names are taken by folders; the message
    // names the system's reason and the pages written before.
    const struct {
        std::string blocked;
        std::string written;
    } cases[] = {
        {"R_TimePeriod.html", "R_General.html"},
        {"ua.js", "R_General.html, R_TimePeriod.html"},
        {"index.html", "R_General.html, R_TimePeriod.html"},
        {"nodes.js", "R_General.html, R_TimePeriod.html, index.html"},
    };
    for (const auto& [blocked, written] : cases) {
        SCOPED_TRACE(blocked);
        TestFolder folder;
        std::filesystem::create_directory(folder.file(blocked));
        try {
            exporter.Execute(analysis.Profile, TReportSet{10, 21}, BuiltInReportTxt(), AppPaths::TemplateHtmlDir(),
                             folder.path());
            ADD_FAILURE() << "no exception";
        } catch (const EExportHTML& e) {
            EXPECT_EQ(std::string(e.what()), "Could not create the file '" + folder.file(blocked) +
                                                 "'.\r\nThe disk may be full or write-protected.\r\n" +
                                                 std::strerror(EISDIR) + ".\r\nPages written: " + written + ".");
        }
        const std::vector<std::string> entries = SortedEntries(folder.path());
        EXPECT_EQ(std::count(entries.begin(), entries.end(), "R_General.html"), 1);
        if (blocked != "nodes.js") {
            EXPECT_EQ(std::count(entries.begin(), entries.end(), "nodes.js"), 0);
        }
        // No temporary file is left behind.
        for (const std::string& name : entries) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    }
    EXPECT_FALSE(frame.OnProgress);
}

TEST_F(ExportHTMLTest, AFullDiskNamesTheReasonAndThePagesWritten) {
    TestFolder folder;
    // Too small for the first page; then large enough for the pages but not for a chart.
    const std::string first = RunWithFileSizeLimit(512, [&] {
        try {
            exporter.Execute(analysis.Profile, TReportSet{10, 21}, BuiltInReportTxt(), AppPaths::TemplateHtmlDir(),
                             folder.path());
        } catch (const EExportHTML& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    });
    EXPECT_EQ(first, "Could not create the file '" + folder.file("R_General.html") +
                         "'.\r\nThe disk may be full or write-protected.\r\n" + std::strerror(EFBIG) +
                         ".\r\nNo page was written.");
    for (const std::string& name : SortedEntries(folder.path())) ADD_FAILURE() << "left behind: " << name;
}

TEST(ExportHTMLMessage, WriteFailureMessages) {
    EXPECT_EQ(TExportHTML::WriteFailureMessage("Could not create the file 'a'.", "", {}),
              "Could not create the file 'a'.\r\nNo page was written.");
    EXPECT_EQ(TExportHTML::WriteFailureMessage("M.", "No space left on device", {"R_General.html"}),
              "M.\r\nNo space left on device.\r\nPages written: R_General.html.");
}

TEST_F(ExportHTMLTest, HostileLogTextsStayTextOnEveryPage) {
    analysis = MakeHostileAnalysis();
    for (const int id : {36, 37, 39, 41, 42, 48, 51, 52, 61, 62}) SetReport(analysis, id, 1, 0, 0, 20);
    ASSERT_TRUE(Run(TReportSet{10, 36, 37, 39, 41, 42, 48, 51, 52, 61, 62}));
    for (const char* page : {"R_General.html", "R_Visitors.html", "R_FilesPages.html", "R_Referrers.html",
                             "R_Errors.html", "index.html"}) {
        SCOPED_TRACE(page);
        const std::string text = ReadFileBytes(out.file(page));
        EXPECT_EQ(text.find("<script"), std::string::npos);
        EXPECT_EQ(text.find("</script"), std::string::npos);
        EXPECT_EQ(text.find("<b>"), std::string::npos);
        EXPECT_EQ(text.find("onerror=alert(3)>"), std::string::npos);
        EXPECT_EQ(text.find("\" onmouseover"), std::string::npos);
        for (const std::string& href : Hrefs(text))
            EXPECT_TRUE(IsWebLink(href) && href.find_first_of("<>\"'") == std::string::npos) << href;
    }
}

TEST(ExportHTMLTemplate, SupportFilesAreThereAndReadable) {
    for (const std::string& name : SupportFiles()) {
        SCOPED_TRACE(name);
        const std::string path = AppPaths::TemplateHtmlDir() + name;
        const std::string bytes = ReadFileBytes(path);
        ASSERT_FALSE(bytes.empty());
        if (!name.ends_with(".gif")) continue;
        EXPECT_TRUE(bytes.starts_with("GIF89a"));
        const QImage image(QString::fromStdString(path));
        ASSERT_FALSE(image.isNull());
        if (name.starts_with("ftv2")) {
            EXPECT_EQ(image.size(), QSize(16, 22));
        }
    }
    const QImage spacer(QString::fromStdString(AppPaths::TemplateHtmlDir() + "null1x1.gif"));
    EXPECT_EQ(spacer.size(), QSize(1, 1));
    EXPECT_EQ(qAlpha(spacer.pixel(0, 0)), 0);
    // The tree frame loads the script "nodes.js" calls into, then "nodes.js" itself.
    const std::string left = ReadFileBytes(AppPaths::TemplateHtmlDir() + "left.html");
    EXPECT_LT(left.find("src=\"ftiens4.js\""), left.find("src=\"nodes.js\""));
    const std::string script = ReadFileBytes(AppPaths::TemplateHtmlDir() + "ftiens4.js");
    for (const char* entry :
         {"function gFld(", "function gLnk(", "function insFld(", "function insDoc(", "function initializeTree("})
        EXPECT_NE(script.find(entry), std::string::npos) << entry;
}

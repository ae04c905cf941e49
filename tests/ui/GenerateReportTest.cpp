#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <pugixml.hpp>

#include "MainWindowFixture.h"
#include "core/CommonUtils_u.h"
#include "core/DateMacros_u.h"
#include "core/Registre_u.h"
#include "engine/AnalysisDocument_u.h"
#include "engine/DNSLookup_u.h"
#include "engine/ReportContent_u.h"
#include "ui/Main_jobs.h"
#include "ui/ReportTree_u.h"
#include "views/List_fr.h"
#include "views/ReportTableModel_u.h"

namespace brindle {
namespace {

using test::MainWindowFixture;
using test::ReadFileBytes;
namespace fs = std::filesystem;

class GenerateReportTest : public MainWindowFixture {
protected:
    TProfile& Profile(const std::string& name) {
        TProfile* profile = profiles.Profiles.FindByName(name);
        if (!profile) throw std::runtime_error("no profile " + name);
        return *profile;
    }
    // A profile reading one log file that is not there.
    void AddMissingLogProfile() {
        auto profile = std::make_unique<TProfile>();
        profile->Assign(Profile("Sample1"));
        profile->Name = "Missing";
        profile->LogFiles.Clear();
        profile->LogFiles.Add({"file://", folder.path() + "gone/access.log", "", "", 21, 0, 1});
        profiles.Profiles.Add(std::move(profile));
        window->FillProfileList();
    }
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (int i = 0; i < progress->lvStep()->topLevelItemCount(); ++i)
            steps.push_back(progress->lvStep()->topLevelItem(i)->text(1).toStdString());
        return steps;
    }
    std::vector<int> ExpectedTree() const {
        std::vector<int> ids;
        for (const TRecNodeProperty* row :
             ReportTreeRows(window->CurrentProfile(), Shown(), options.ShowEmptyReports != 0))
            ids.push_back(row->ID);
        return ids;
    }
    QWidget* Page() const { return Child<QTabWidget>("pc")->currentWidget(); }
    const TStatistics& Shown() const { return window->Result().Statistics; }
    static bool Contains(const std::vector<std::string>& list, const std::string& text) {
        return std::find(list.begin(), list.end(), text) != list.end();
    }
};

TEST_F(GenerateReportTest, Sample1FillsTheReportTreeAndShowsTheFirstReport) {
    Start();
    Generate("Sample1");
    EXPECT_TRUE(ui.Errors.empty()) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    ASSERT_NE(window->CurrentProfile(), nullptr);
    EXPECT_EQ(window->CurrentProfile()->Name, "Sample1");
    EXPECT_GT(Shown().Summary.Hits, 2000);
    // Once the statistics are made nothing reads the hits or their texts again: the window
    // keeps only the result, not a copy of the log.
    EXPECT_TRUE(engine.Records.Empty());
    EXPECT_EQ(engine.URITable.Count(), 0);
    EXPECT_EQ(engine.ReferrerTable.Count(), 0);
    EXPECT_EQ(Page(), Child<QWidget>("tsReport"));
    EXPECT_EQ(window->windowTitle(), "Sample1 - Brindle Analyzer");

    // The tree holds what the rule gives for this result: General first, and never an
    // empty report while empty reports are switched off.
    const std::vector<int> tree = TreeIDs();
    EXPECT_EQ(tree, ExpectedTree());
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(tree.front(), 10);
    for (int id : tree) EXPECT_FALSE(Shown().IsReportEmpty(static_cast<std::uint8_t>(id))) << id;
    // The fixed tables are never empty: those enabled by default are always there.
    int fixed = 0;
    for (const TReportRule& rule : ReportRules()) {
        if (!rule.IsFixedTable() || !FindDefaultReportProperty(rule.ID)->Enable) continue;
        ++fixed;
        EXPECT_NE(std::find(tree.begin(), tree.end(), rule.ID), tree.end()) << int(rule.ID);
    }
    EXPECT_GT(fixed, 0);

    // The first node is shown as a table; the view actions follow it.
    EXPECT_EQ(window->CurrentReportID(), 10);
    EXPECT_EQ(shownLists, std::vector<int>{10});
    EXPECT_TRUE(Action("acREViewList")->isChecked());
    EXPECT_TRUE(Action("acREViewHTML")->isEnabled());
    EXPECT_TRUE(Action("acREFileSave")->isEnabled());

    const std::vector<std::string> steps = Steps();
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(steps.front(), "Initializing");
    EXPECT_EQ(steps.back(), "Done");
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->Busy(jkAnalysis));
    EXPECT_TRUE(fs::is_directory(AppPaths::DataLogDir() + "Sample1"));
}

TEST_F(GenerateReportTest, ViewActionsSwitchBetweenTableAndPage) {
    Start();
    Generate("Sample1");
    shownLists.clear();
    Action("acREViewHTML")->trigger();
    EXPECT_EQ(shownPages, std::vector<int>{10});
    ASSERT_EQ(pageFiles.size(), 1u);
    EXPECT_EQ(pageFiles[0], AppPaths::TmpDir() + "single.html");
    EXPECT_TRUE(Action("acREViewHTML")->isChecked());
    EXPECT_FALSE(Action("acREViewList")->isChecked());

    // A folder shows the information page, both view actions off; the mode survives it.
    QTreeWidgetItem* folderNode = Tree()->topLevelItem(1);
    Tree()->setCurrentItem(folderNode);
    EXPECT_EQ(infoMessages.back(), 1);
    EXPECT_FALSE(Action("acREViewHTML")->isEnabled());
    EXPECT_FALSE(Action("acREViewList")->isChecked());
    Tree()->setCurrentItem(folderNode->child(0));
    EXPECT_EQ(shownPages.back(), folderNode->child(0)->data(0, Qt::UserRole).toInt());
    EXPECT_TRUE(shownLists.empty());
    Action("acREViewList")->trigger();
    EXPECT_EQ(shownLists.size(), 1u);
}

TEST_F(GenerateReportTest, TheProgramsViewsShowTheReportPage) {
    hooks = MakeMainHooks(options, languages, ui, DisplayFormat{});
    Start();
    Generate("Sample1");
    EXPECT_TRUE(ui.Errors.empty()) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    auto* list = Child<TfrList>("frList1");
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isHidden());
    EXPECT_EQ(list->ReportId(), 10);
    EXPECT_GT(list->Model().rowCount(), 10);

    Action("acREViewHTML")->trigger();
    EXPECT_TRUE(ui.Errors.empty()) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    EXPECT_TRUE(list->isHidden());
    EXPECT_FALSE(Child<QWidget>("frHTML1")->isHidden());
    EXPECT_NE(ReadFileBytes(AppPaths::TmpDir() + "single.html").find("Sample1"), std::string::npos);

    Tree()->setCurrentItem(Tree()->topLevelItem(1));
    EXPECT_FALSE(Child<QWidget>("frInfo1")->isHidden());
    EXPECT_TRUE(Child<QWidget>("frHTML1")->isHidden());
    EXPECT_TRUE(fs::is_regular_file(AppPaths::TmpDir() + "info.html"));
}

TEST_F(GenerateReportTest, AFailedAnalysisShowsTheEnginesMessageAndKeepsThePreviousResult) {
    Start();
    Generate("Sample1");
    const std::vector<int> tree = TreeIDs();
    const std::int32_t hits = Shown().Summary.Hits;
    AddMissingLogProfile();
    Generate("Missing");
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_EQ(ui.Errors[0],
              "Could not open the log file '" + folder.path() +
                  "gone/access.log'.\r\nYou should check the specified log file directory/file/wildcard.");
    EXPECT_EQ(window->CurrentProfile()->Name, "Sample1");
    EXPECT_EQ(Shown().Summary.Hits, hits);
    EXPECT_EQ(TreeIDs(), tree);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(progress->isVisible());
    EXPECT_FALSE(window->JobRunning());
}

TEST_F(GenerateReportTest, CancelStopsTheRunAtOnceAndKeepsThePreviousResult) {
    Start();
    window->show();
    Generate("Sample1");
    const std::vector<int> tree = TreeIDs();
    const std::int32_t hits = Shown().Summary.Hits;

    bool pressed = false;
    bool stillVisible = false;
    bool windowDisabled = false;
    bool progressUsable = false;
    QTimer presser;
    presser.setInterval(0);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (pressed || progress->laInfo()->text().isEmpty()) return;
        pressed = true;
        // The window refuses to close under a running job; the progress window stays usable.
        window->close();
        stillVisible = window->isVisible();
        windowDisabled = !window->isEnabled();
        progressUsable = progress->isVisible() && progress->isEnabled();
        progress->buCancel()->click();
    });
    // A log long enough that the run is still reading it when the click lands, however fast
    // the machine or slow the repaint.
    std::string longLog;
    for (int i = 0; i < 400000; ++i)
        longLog += "10.0.0." + std::to_string(i % 250) +
                   " - - [01/Jan/2004:10:00:00 +0100] \"GET /page.html HTTP/1.1\" 200 512\n";
    TProfile& second = Profile("Sample2");
    second.LogFileFormat = 0;
    second.LogFiles.Clear();
    second.LogFiles.Add({"file://", folder.write("long.log", longLog), "", "", 21, 0, 1});
    presser.start();
    Generate("Sample2");
    presser.stop();

    ASSERT_TRUE(pressed);
    EXPECT_TRUE(stillVisible);
    EXPECT_TRUE(windowDisabled);
    EXPECT_TRUE(progressUsable);
    const std::vector<std::string> steps = Steps();
    // The window takes the click at its next repaint: the run may be past its reading by
    // then, but it never completes.
    EXPECT_TRUE(Contains(steps, "Aborted by user"));
    EXPECT_FALSE(Contains(steps, "Done"));
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(window->CurrentProfile()->Name, "Sample1");
    EXPECT_EQ(Shown().Summary.Hits, hits);
    EXPECT_EQ(TreeIDs(), tree);
    // The cancelled run's hits and texts are not kept beside the result shown.
    EXPECT_TRUE(engine.Records.Empty());
    EXPECT_EQ(engine.URITable.Count(), 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(progress->isVisible());
    // Closing works again once the job is over.
    EXPECT_TRUE(window->close());
}

TEST_F(GenerateReportTest, CancelBeforeTheEngineStartsIsNotLost) {
    Start();
    QTimer::singleShot(0, progress.get(), [this] { progress->buCancel()->click(); });
    Generate("Sample1");
    EXPECT_EQ(window->CurrentProfile(), nullptr);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"Initializing", "Aborted by user"}));
    EXPECT_EQ(Page(), Child<QWidget>("tsProfiles"));
}

TEST_F(GenerateReportTest, DNSQuestionDeclinedWithDontAskAgainSavesTheOption) {
    int asked = 0;
    hooks.ConfirmDNS = [&](bool& dontShowAgain, QWidget*) {
        ++asked;
        dontShowAgain = true;
        return false;
    };
    Start({});
    Profile("Sample1").DNSLookup = 1;
    ASSERT_NE(options.AskBefore, 0);
    Generate("Sample1");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(options.AskBefore, 0);
    TOptions saved;
    ASSERT_TRUE(saved.LoadFromFile(AppPaths::OptionsFile()));
    EXPECT_EQ(saved.AskBefore, 0);
    EXPECT_EQ(window->CurrentProfile(), nullptr);
    EXPECT_FALSE(fs::exists(AppPaths::DataLogDir() + "Sample1"));
}

TEST_F(GenerateReportTest, SilentRunsAskNoDNSQuestion) {
    int asked = 0;
    hooks.ConfirmDNS = [&](bool&, QWidget*) { return ++asked, false; };
    Start({"/s"});
    TProfile& sample = Profile("Sample1");
    sample.DNSLookup = 1;
    // Addresses of the sample only; nothing may leave the machine in a test.
    sample.LogFiles[0].LogFileURL = folder.write("local.log",
                                                 "127.0.0.1 - - [05/Mar/2007:07:58:56 +0100] \"GET / HTTP/1.1\" 200 "
                                                 "7 \"-\" \"Mozilla/5.0\"\n");
    Generate("Sample1");
    EXPECT_EQ(asked, 0);
    ASSERT_NE(window->CurrentProfile(), nullptr);
}

// The names looked up serve the run's reports even when dns.dat cannot be saved; the user
// is told once, with the file and the reason.
TEST_F(GenerateReportTest, ADNSCacheThatCannotBeSavedIsReportedAndTheRunKeepsItsNames) {
    Start({"/s"});
    TProfile& sample = Profile("Sample1");
    sample.DNSLookup = 1;
    sample.LogFiles[0].LogFileURL = folder.write("local.log",
                                                 "127.0.0.1 - - [05/Mar/2007:07:58:56 +0100] \"GET / HTTP/1.1\" 200 "
                                                 "7 \"-\" \"Mozilla/5.0\"\n");
    fs::create_directories(AppPaths::DnsCacheFile() + "/kept");
    ui.Errors.clear();
    Generate("Sample1");

    EXPECT_EQ(ui.Errors, (std::vector<std::string>{"Could not write the file '" + AppPaths::DnsCacheFile() +
                                                   "'.\r\nIs a directory."}));
    ASSERT_NE(window->CurrentProfile(), nullptr);
    const std::string name = TSystemResolver().Lookup(IPToLong("127.0.0.1"));
    ASSERT_EQ(Shown().StatByHost.Count(), 1u);
    EXPECT_EQ(Shown().StatByHost[0].Name, name.empty() ? "127.0.0.1" : name);
    EXPECT_TRUE(fs::is_directory(AppPaths::DnsCacheFile() + "/kept"));
}

TEST(WorkFolder, IsOneSafeFolderBelowDataLog) {
    TProfile profile;
    profile.Name = "Sample1";
    EXPECT_EQ(WorkFolderFor(profile), AppPaths::DataLogDir() + "Sample1/");
    for (const char* name : {"../../etc", "a/b", "..", ""}) {
        profile.Name = name;
        const std::string folder = WorkFolderFor(profile);
        ASSERT_EQ(folder.rfind(AppPaths::DataLogDir(), 0), 0u) << name;
        const std::string rest = folder.substr(AppPaths::DataLogDir().size());
        EXPECT_EQ(rest.find('/'), rest.size() - 1) << name;
        EXPECT_NE(rest, "../") << name;
        EXPECT_NE(rest, "./") << name;
        EXPECT_NE(rest, "/") << name;
    }
}

TEST_F(GenerateReportTest, AutomaticCSVAndXMLExportsExpandTheTargetAndMakeItsFolder) {
    Start({});
    TProfile& sample = Profile("Sample1");
    sample.AutoExport = 1;
    sample.AutoExportType = 3;
    sample.AutoExportFile = folder.path() + "exports/%yyyy%/report.csv";
    ui.YesNoAnswers = {true};
    Generate("Sample1");
    EXPECT_TRUE(ui.Errors.empty()) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    const std::string csv = folder.path() + "exports/" + ExpandDateMacros("%yyyy%") + "/report.csv";
    ASSERT_TRUE(fs::is_regular_file(csv)) << csv;
    const std::string text = ReadFileBytes(csv);
    EXPECT_EQ(text.rfind("\"", 0), 0u);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    // The question offers the expanded file, after which the analysis ends with "Done".
    ASSERT_EQ(ui.Questions.size(), 1u);
    EXPECT_EQ(ui.Questions[0],
              "The CSV report has been exported successfully.\r\nWould you like to open it now using default program?");
    EXPECT_EQ(ui.Opened, std::vector<std::string>{csv});
    EXPECT_EQ(Steps().back(), "Done");
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(progress->isVisible());

    sample.AutoExportType = 4;
    sample.AutoExportFile = folder.path() + "xml-%yyyy%/report.xml";
    Generate("Sample1");
    const std::string xml = folder.path() + "xml-" + ExpandDateMacros("%yyyy%") + "/report.xml";
    ASSERT_TRUE(fs::is_regular_file(xml)) << xml;
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(xml.c_str()));
    EXPECT_STREQ(document.document_element().name(), "DATA");
    EXPECT_EQ(ui.Questions.size(), 2u);

    // Codes outside 1..4 export nothing and the run still ends with "Done".
    sample.AutoExportType = 5;
    fs::remove_all(folder.path() + "exports");
    sample.AutoExportFile = folder.path() + "exports/x.csv";
    Generate("Sample1");
    EXPECT_FALSE(fs::exists(folder.path() + "exports"));
    EXPECT_EQ(Steps().back(), "Done");
}

TEST_F(GenerateReportTest, AutomaticWordExportAsksTheNoticeFirst) {
    bool goOn = true;
    std::vector<bool> silentFlags;
    hooks.ConfirmWord = [&](TRegData&, bool silent, QWidget*) {
        silentFlags.push_back(silent);
        return goOn;
    };
    Start();
    TProfile& sample = Profile("Sample1");
    sample.AutoExport = 1;
    sample.AutoExportType = 1;
    sample.AutoExportLanguageID = "default";
    sample.AutoExportFile = folder.path() + "word/report.docx";
    Generate("Sample1");
    EXPECT_TRUE(ui.Errors.empty()) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    EXPECT_EQ(silentFlags, std::vector<bool>{true});
    EXPECT_EQ(ReadFileBytes(sample.AutoExportFile).substr(0, 2), "PK");
    // Its intermediate text does not stay behind.
    EXPECT_FALSE(fs::exists(AppPaths::TmpDir() + "tmpmsw.txt"));

    goOn = false;
    fs::remove(sample.AutoExportFile);
    Generate("Sample1");
    EXPECT_FALSE(fs::exists(sample.AutoExportFile));
    EXPECT_EQ(Steps().back(), "Done");
}

TEST_F(GenerateReportTest, HTMLExportWritesTheFolderAndOffersItsIndex) {
    Start({});
    Generate("Sample1");
    ui.YesNoAnswers = {true};
    const std::string target = folder.path() + "html-%yyyy%";
    ASSERT_TRUE(window->ExportReportHTML(target, "default")) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    const std::string written = folder.path() + "html-" + ExpandDateMacros("%yyyy%") + "/";
    EXPECT_TRUE(fs::is_regular_file(written + "index.html"));
    EXPECT_TRUE(fs::is_regular_file(written + "nodes.js"));
    ASSERT_EQ(ui.Questions.size(), 1u);
    EXPECT_EQ(ui.Questions[0],
              "The HTML report has been exported successfully.\r\nWould you like to view it in your web browser?");
    EXPECT_EQ(ui.Opened, std::vector<std::string>{written + "index.html"});
    EXPECT_EQ(Steps().back(), "Done");
}

TEST_F(GenerateReportTest, ExportToAFolderThatCannotBeMadeWarnsAndWritesNothing) {
    Start();
    Generate("Sample1");
    const std::string blocker = folder.write("file", "x");
    EXPECT_FALSE(window->ExportReportCSV(blocker + "/sub/report.csv"));
    ASSERT_EQ(ui.Warnings.size(), 1u);
    EXPECT_EQ(ui.Warnings[0], "There was an error creating the directory '" + blocker +
                                  "/sub'.\r\nThe disk may be full or write-protected.");
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->Busy(jkCSV));
}

TEST_F(GenerateReportTest, MenuExportsUseTheExportDialog) {
    std::vector<int> kinds;
    hooks.AskExport = [&](int kind, QWidget*) -> std::optional<TExportChoice> {
        kinds.push_back(kind);
        if (kind == 3) return TExportChoice{folder.path() + "menu.csv", "default"};
        return std::nullopt;
    };
    Start();
    Generate("Sample1");
    Action("acREFileExportXML")->trigger();
    Action("acREFileExportCSV")->trigger();
    EXPECT_EQ(kinds, (std::vector<int>{4, 3}));
    EXPECT_TRUE(fs::is_regular_file(folder.path() + "menu.csv"));
    EXPECT_TRUE(ui.Questions.empty());
    EXPECT_EQ(Steps().back(), "Done");
}

TEST_F(GenerateReportTest, CancelDuringAnExportReachesTheExport) {
    Start();
    Generate("Sample1");
    const std::string target = folder.path() + "cancelled.csv";
    QTimer::singleShot(0, progress.get(), [this] { progress->buCancel()->click(); });
    EXPECT_FALSE(window->ExportReportCSV(target));
    EXPECT_FALSE(fs::exists(target));
    const std::vector<std::string> steps = Steps();
    EXPECT_TRUE(Contains(steps, "Aborted by user"));
    EXPECT_FALSE(Contains(steps, "Done"));
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(GenerateReportTest, DocumentRoundTripFromTheWindow) {
    Start();
    Generate("Sample1");
    const std::vector<int> tree = TreeIDs();
    const TRecStat summary = Shown().Summary;
    const std::string file = folder.path() + "new/folder/report.bnl";
    // A folder that is not there is offered first; No saves nothing.
    ui.FileAnswers = {file, file};
    Action("acREFileSave")->trigger();
    ASSERT_EQ(ui.Questions.size(), 1u);
    EXPECT_EQ(ui.Questions[0], "The directory '" + folder.path() +
                                   "new/folder' does not exist.\r\nWould you like Brindle Analyzer to create the "
                                   "directory?");
    EXPECT_FALSE(fs::exists(file));
    ui.YesNoAnswers = {true};
    Action("acREFileSave")->trigger();
    ASSERT_TRUE(fs::is_regular_file(file));

    // Another window over fresh objects opens it at start.
    CloseWindow();
    engine.ClearStatistics();
    shownLists.clear();
    Start({"/s", "/o=" + file});
    EXPECT_TRUE(ui.Errors.empty());
    ASSERT_NE(window->CurrentProfile(), nullptr);
    EXPECT_EQ(window->CurrentProfile()->Name, "Sample1");
    EXPECT_EQ(Shown().Summary, summary);
    EXPECT_EQ(TreeIDs(), tree);
    EXPECT_EQ(Page(), Child<QWidget>("tsReport"));
    EXPECT_EQ(window->windowTitle(), "Sample1 - Brindle Analyzer");
    EXPECT_EQ(shownLists, std::vector<int>{10});
}

TEST_F(GenerateReportTest, OpeningADocumentDropsTheHitRecordsAndAFailedOneChangesNothing) {
    Start();
    Generate("Sample1");
    const std::string file = folder.path() + "report.bnl";
    ASSERT_TRUE(window->SaveReportFile(file));
    const std::int32_t hits = Shown().Summary.Hits;
    ASSERT_GT(hits, 0);

    const std::string broken = folder.write("broken.bnl", "BNLD but not really");
    EXPECT_FALSE(window->OpenReportFile(broken));
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_EQ(ui.Errors[0], "Could not open the file '" + broken +
                                "'.\r\nThe file could be corrupt or it could have an invalid format.");
    EXPECT_EQ(Shown().Summary.Hits, hits);

    EXPECT_TRUE(window->OpenReportFile(file));
    EXPECT_EQ(Shown().Summary.Hits, hits);
    EXPECT_EQ(engine.Records.Count(), 0u);
    EXPECT_EQ(engine.HostTable.Count(), 0);
    EXPECT_EQ(window->CurrentProfile()->Name, "Sample1");

    // A save that cannot write says so.
    EXPECT_FALSE(window->SaveReportFile(folder.path() + "missing/dir/x.bnl"));
    EXPECT_EQ(ui.Errors.back(), "Could not save the file '" + folder.path() + "missing/dir/x.bnl'.");
}

}  // namespace
}  // namespace brindle

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "IconPixels.h"
#include "MainWindowFixture.h"
#include "core/CommonConsts_catalogue.h"
#include "core/CommonConsts_tables.h"
#include "core/Registre_u.h"
#include "engine/DNSCache_u.h"
#include "engine/ELogConvert.h"
#include "engine/GlobalVar_u.h"
#include "export/ExportCSV_u.h"
#include "ui/AppGuard_u.h"
#include "ui/ProfileList_u.h"
#include "ui/ReportTree_u.h"

namespace brindle {
namespace {

using test::MainWindowFixture;
namespace fs = std::filesystem;

class MainWindowTest : public MainWindowFixture {
protected:
    QTabWidget* Pages() const { return Child<QTabWidget>("pc"); }
    QTreeView* List() const { return Child<QTreeView>("vtProfiles"); }
    std::string Column(int row, int column) const {
        return List()->model()->index(row, column).data().toString().toStdString();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < List()->model()->rowCount(); ++row) names.push_back(Column(row, 0));
        return names;
    }
    void AddProfile(const std::string& name) {
        auto profile = std::make_unique<TProfile>();
        profile->Name = name;
        profiles.Profiles.Add(std::move(profile));
    }
    // Selects the rows of these names.
    void SelectRows(const std::vector<std::string>& names) {
        List()->selectionModel()->clearSelection();
        for (int row = 0; row < List()->model()->rowCount(); ++row)
            for (const std::string& name : names)
                if (Column(row, 0) == name)
                    List()->selectionModel()->select(List()->model()->index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

TEST_F(MainWindowTest, ComponentsCarryTheirNamesAndCaptions) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Brindle Analyzer");
    const std::pair<const char*, const char*> menus[] = {{"miPRFile", "File"},
                                                         {"miREFile", "File"},
                                                         {"miREView", "View"},
                                                         {"miConfigure", "Configure"},
                                                         {"miHelp", "Help"}};
    for (const auto& [name, title] : menus) {
        auto* menu = Child<QMenu>(name);
        ASSERT_NE(menu, nullptr) << name;
        // The visible text is the caption; the "&" marks its mnemonic.
        EXPECT_EQ(QString(menu->title()).remove('&'), title) << name;
        EXPECT_EQ(menu->title().count('&'), 1) << name;
    }
    struct TExpected {
        const char* Name;
        const char* Caption;
        const char* Tip;
        const char* Status;
    };
    const TExpected actions[] = {
        {"acPRFileGenerate", "Generate report", "Generate report", "Generate a report from the selected profile"},
        {"acPRFileDelete", "Delete profile...", "Delete profile", "Delete the selected profile(s)"},
        {"acPRFileQuit", "Quit", "Quit Brindle Analyzer", "Quit Brindle Analyzer"},
        {"acREFileExportCSV", "Export to CSV...", "Export the current report to CSV format (comma separated values)",
         "Export the current report to CSV format (comma separated values)"},
        {"acREViewHTML", "HTML", "HTML View", "View the active document as HTML"},
        {"acHelpWeb", "Brindle Analyzer Web Site",
         "Launch your internet browser and connect to Brindle Analyzer Web Site",
         "Launch your internet browser and connect to Brindle Analyzer Web Site"},
        {"acHelpAbout", "About Brindle Analyzer...", "Display general information about Brindle Analyzer",
         "Display general information about Brindle Analyzer"},
    };
    for (const TExpected& expected : actions) {
        QAction* action = Action(expected.Name);
        ASSERT_NE(action, nullptr) << expected.Name;
        EXPECT_EQ(QString(action->text()).remove('&'), expected.Caption);
        EXPECT_EQ(action->text().count('&'), 1) << expected.Name;
        EXPECT_EQ(action->toolTip(), expected.Tip);
        EXPECT_EQ(action->statusTip(), expected.Status);
    }
    for (const char* name : {"acPRFileNew", "acPRFileEdit", "acPRFileCopy", "acREFileQuit", "acREFileOpen",
                             "acREFileSave", "acREFileExportHTML", "acREFileExportWord", "acREFileExportXML",
                             "acREViewList", "acConfigureOptions", "acHelpTopics", "acHelpTips"})
        EXPECT_NE(Action(name), nullptr) << name;

    const std::pair<const char*, const char*> buttons[] = {
        {"tbPRFileGenerate", "Report"},    {"tbPRFileNew", "New"},       {"tbPRFileEdit", "Edit"},
        {"tbPRFileCopy", "Copy"},          {"tbPRFileDelete", "Delete"}, {"tbREFileOpen", "Open"},
        {"tbREFileSave", "Save"},          {"tbREViewList", "List"},     {"tbREViewHTML", "HTML"},
        {"tbConfigureOptions", "Options"}, {"tbHelpTopics", "Help"}};
    for (const auto& [name, caption] : buttons) {
        auto* button = Child<QToolButton>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), caption) << name;
    }
    EXPECT_NE(Child<QToolBar>("tbaIcons"), nullptr);
    EXPECT_NE(Child<QStatusBar>("sb"), nullptr);
    for (const char* name : {"paLeft", "paRight", "frChart1", "frList1", "frHTML1", "frInfo1"})
        EXPECT_NE(Child<QWidget>(name), nullptr) << name;

    EXPECT_EQ(Pages()->tabText(Pages()->indexOf(Child<QWidget>("tsProfiles"))), "Profiles");
    EXPECT_EQ(Pages()->tabText(Pages()->indexOf(Child<QWidget>("tsReport"))), "Report");
    const char* columns[] = {"Name", "URL", "Format", "Filter", "DNS", "Description"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(List()->model()->headerData(i, Qt::Horizontal).toString(), columns[i]);

    // Without an analysis the tree has every row of the catalogue, five folders holding the reports.
    EXPECT_EQ(TreeIDs().size(), static_cast<std::size_t>(kNodeCount));
    EXPECT_EQ(Tree()->topLevelItemCount(), 6);
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0).toStdString(), NodeTable()[0].Title);
}

TEST_F(MainWindowTest, TreeNodesShowTheirOwnImageAndFoldersOpenAndClose) {
    Start();
    // Without an analysis the tree holds every catalogue row, each with its own picture.
    std::map<QByteArray, int> imageOfPicture;
    int folders = 0;
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
        QTreeWidgetItem* node = *it;
        const QByteArray picture = test::IconPixels(node->icon(0));
        ASSERT_FALSE(picture.isEmpty()) << node->text(0).toStdString();
        const auto [seen, added] = imageOfPicture.emplace(picture, static_cast<int>(imageOfPicture.size()));
        EXPECT_TRUE(added) << node->text(0).toStdString() << " looks like an earlier node";
        if (node->childCount() == 0) continue;
        ++folders;
        ASSERT_TRUE(node->isExpanded());
        Tree()->collapseItem(node);
        const QByteArray closed = test::IconPixels(node->icon(0));
        EXPECT_NE(closed, picture) << node->text(0).toStdString();
        EXPECT_FALSE(imageOfPicture.count(closed)) << node->text(0).toStdString();
        Tree()->expandItem(node);
        EXPECT_EQ(test::IconPixels(node->icon(0)), picture);
    }
    EXPECT_EQ(imageOfPicture.size(), NodeTable().size());
    EXPECT_EQ(folders, 5);
}

TEST_F(MainWindowTest, PageActionsFollowThePage) {
    Start();
    ASSERT_EQ(Pages()->currentWidget(), Child<QWidget>("tsProfiles"));
    EXPECT_TRUE(Child<QMenu>("miPRFile")->menuAction()->isVisible());
    EXPECT_FALSE(Child<QMenu>("miREFile")->menuAction()->isVisible());
    EXPECT_FALSE(Child<QMenu>("miREView")->menuAction()->isVisible());
    EXPECT_TRUE(Action("acPRFileNew")->isVisible());
    EXPECT_TRUE(Action("acPRFileNew")->isEnabled());
    EXPECT_FALSE(Action("acREFileOpen")->isVisible());
    EXPECT_FALSE(Action("acREViewList")->isVisible());
    EXPECT_TRUE(Action("tbSep1")->isVisible());
    EXPECT_FALSE(Action("tbSep2")->isVisible());

    Pages()->setCurrentWidget(Child<QWidget>("tsReport"));
    EXPECT_FALSE(Child<QMenu>("miPRFile")->menuAction()->isVisible());
    EXPECT_TRUE(Child<QMenu>("miREFile")->menuAction()->isVisible());
    EXPECT_FALSE(Action("acPRFileGenerate")->isVisible());
    EXPECT_TRUE(Action("acREFileOpen")->isEnabled());
    // Nothing to save, export or view without a result; the caption stays.
    EXPECT_TRUE(Action("acREFileSave")->isVisible());
    for (const char* name : {"acREFileSave", "acREFileExportHTML", "acREFileExportWord", "acREFileExportCSV",
                             "acREFileExportXML", "acREViewList", "acREViewHTML"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    EXPECT_FALSE(Action("tbSep1")->isVisible());
    EXPECT_TRUE(Action("tbSep2")->isVisible());
    EXPECT_EQ(window->windowTitle(), "Brindle Analyzer");
    // Any node shows the information page without a profile.
    infoMessages.clear();
    Tree()->setCurrentItem(Tree()->topLevelItem(1)->child(0));
    EXPECT_EQ(infoMessages, std::vector<int>{0});
    EXPECT_TRUE(shownLists.empty());
}

// What a user reads along the menu bar and the toolbar: visible entries, "|" for a separator.
std::string VisibleEntries(const QList<QAction*>& actions) {
    std::string line;
    for (const QAction* action : actions) {
        if (!action->isVisible()) continue;
        if (!line.empty()) line += ' ';
        line += action->isSeparator() ? std::string("|") : action->iconText().toStdString();
    }
    return line;
}

TEST_F(MainWindowTest, MenuBarAndToolbarReadAsOnePageWhileTheTipShows) {
    std::string menusDuringTip;
    hooks.StartUpTips = [&](std::int32_t, QWidget*) {
        menusDuringTip = VisibleEntries(Child<QMenuBar>("mm")->actions());
        return TTipsOutcome{};
    };
    Start({});
    EXPECT_EQ(menusDuringTip, "File Configure Help");
    EXPECT_EQ(VisibleEntries(Child<QToolBar>("tbaIcons")->actions()), "Report New Edit Copy Delete | Options Help");
    Pages()->setCurrentWidget(Child<QWidget>("tsReport"));
    EXPECT_EQ(VisibleEntries(Child<QMenuBar>("mm")->actions()), "File View Configure Help");
    EXPECT_EQ(VisibleEntries(Child<QToolBar>("tbaIcons")->actions()), "Open Save | List HTML | Options Help");
}

TEST_F(MainWindowTest, FirstStartListsTheSamplesAndSelectsTheFirst) {
    Start();
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sample1", "Sample2"}));
    EXPECT_EQ(Column(0, 1), AppPaths::SampleDir() + "sample1.log");
    EXPECT_EQ(Column(0, 3), "No");
    EXPECT_EQ(Column(0, 4), "No");
    EXPECT_EQ(Column(0, 5), "Sample Apache log file");
    ASSERT_EQ(window->SelectedProfiles().size(), 1u);
    EXPECT_EQ(window->SelectedProfiles().front()->Name, "Sample1");
    for (const char* name : {"acPRFileGenerate", "acPRFileEdit", "acPRFileCopy", "acPRFileDelete"})
        EXPECT_TRUE(Action(name)->isEnabled()) << name;
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->FirstShowPending());
    EXPECT_TRUE(fs::is_regular_file(AppPaths::ProfilesFile()));
    EXPECT_TRUE(fs::is_regular_file(AppPaths::OptionsFile()));
}

TEST_F(MainWindowTest, PlacementIsRestoredAndSavedAtTheEnd) {
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->geometry(), QRect(screen.width() * 10 / 100, screen.height() * 10 / 100,
                                        screen.width() * 80 / 100, screen.height() * 80 / 100));
    window->setGeometry(40, 50, 640, 480);
    const std::string tmpFile = AppPaths::TmpDir() + "info.html";
    { std::ofstream(tmpFile) << "x"; }
    CloseWindow();
    // The Tmp folder is emptied, the folder itself stays.
    EXPECT_FALSE(fs::exists(tmpFile));
    EXPECT_TRUE(fs::is_directory(AppPaths::TmpDir()));
    TRegData reg(AppPaths::SettingsFile());
    reg.LoadSettings();
    EXPECT_EQ(reg.Left, 40);
    EXPECT_EQ(reg.Top, 50);
    EXPECT_EQ(reg.Width, 640);
    EXPECT_EQ(reg.Height, 480);
    EXPECT_FALSE(reg.Maximized);
    Open();
    EXPECT_EQ(window->geometry(), QRect(40, 50, 640, 480));
}

TEST_F(MainWindowTest, APlacementThatCannotBeSavedIsReportedAtTheEnd) {
    Open();
    fs::create_directories(AppPaths::SettingsFile() + "/kept");
    window->setGeometry(40, 50, 640, 480);
    ui.Errors.clear();
    CloseWindow();
    EXPECT_EQ(ui.Errors, (std::vector<std::string>{"Could not write the file '" + AppPaths::SettingsFile() +
                                                   "'.\r\nIs a directory."}));
    EXPECT_TRUE(fs::is_directory(AppPaths::SettingsFile() + "/kept"));
}

TEST(ProfileRowTexts, JoinLocationsAndFlattenTheDescription) {
    TProfile profile;
    profile.Name = "Site";
    profile.LogFiles.Add({"file://", "/var/log/a.log", "", "", 21, 0, 1});
    profile.LogFiles.Add({"ftp://", "ftp.example.com/logs/*.log", "user", "pw", 21, 1, 1});
    profile.LogFileFormat = 2;
    profile.Filters.Add({1, 11, "f", "a", ""});
    profile.DNSLookup = 1;
    profile.Description = "First line\r\nsecond\nthird";
    const TProfileRowTexts texts = ProfileRowTexts(profile);
    EXPECT_EQ(texts[0], "Site");
    EXPECT_EQ(texts[1], "/var/log/a.log;ftp://ftp.example.com/logs/*.log");
    EXPECT_EQ(texts[2], GetLogFormatName(2));
    EXPECT_EQ(texts[3], "Yes");
    EXPECT_EQ(texts[4], "Yes");
    EXPECT_EQ(texts[5], "First line second third");
    EXPECT_EQ(ProfileRowTexts(TProfile{})[1], "");
}

TEST_F(MainWindowTest, HeaderClicksSortAndARefillSortsByNameAgain) {
    for (const char* name : {"beta", "Alpha", "gamma"}) AddProfile(name);
    options.LoadDefaults();
    Open();
    window->FillProfileList();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    QHeaderView* header = List()->header();
    const auto click = [&](int column) { emit header->sectionClicked(column); };
    click(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    click(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"gamma", "beta", "Alpha"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // The selection follows its profile through a sort.
    SelectRows({"beta"});
    click(1);
    ASSERT_EQ(window->SelectedProfiles().size(), 1u);
    EXPECT_EQ(window->SelectedProfiles().front()->Name, "beta");
    window->FillProfileList();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(window->ProfileSortColumn(), -1);
}

TEST_F(MainWindowTest, SelectionDecidesTheProfileActions) {
    for (const char* name : {"a", "b"}) AddProfile(name);
    Start();
    SelectRows({});
    for (const char* name : {"acPRFileGenerate", "acPRFileEdit", "acPRFileCopy", "acPRFileDelete"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    SelectRows({"a", "b"});
    EXPECT_TRUE(Action("acPRFileDelete")->isEnabled());
    for (const char* name : {"acPRFileGenerate", "acPRFileEdit", "acPRFileCopy"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, CopyDeleteNewAndEditSaveTheListOnlyOnOK) {
    int wizardResult = 0;
    std::vector<std::string> wizardNames;
    hooks.ProfileWizard = [&](TProfile& profile, QWidget*) {
        wizardNames.push_back(profile.Name);
        if (profile.Name.empty()) profile.Name = "Fresh";
        return wizardResult;
    };
    hooks.EditProfile = [&](TProfile& profile, QWidget*) {
        profile.Description = "edited";
        return 1;
    };
    Start();
    const std::string saved = test::ReadFileBytes(AppPaths::ProfilesFile());

    ASSERT_TRUE(SelectProfile("Sample1"));
    Action("acPRFileCopy")->trigger();
    EXPECT_EQ(wizardNames, std::vector<std::string>{"Copy of Sample1"});
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(test::ReadFileBytes(AppPaths::ProfilesFile()), saved);

    wizardResult = 1;
    ASSERT_TRUE(SelectProfile("Sample1"));
    Action("acPRFileCopy")->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Copy of Sample1", "Sample1", "Sample2"}));
    const TProfile* copy = profiles.Profiles.FindByName("Copy of Sample1");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->LogFiles, profiles.Profiles.FindByName("Sample1")->LogFiles);

    Action("acPRFileNew")->trigger();
    const TProfile* fresh = profiles.Profiles.FindByName("Fresh");
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->LogFiles.IsEmpty());
    EXPECT_EQ(fresh->Reports.Count(), static_cast<std::size_t>(kReportCount));

    ASSERT_TRUE(SelectProfile("Sample2"));
    Action("acPRFileEdit")->trigger();
    EXPECT_EQ(Column(3, 5), "edited");
    // The edited profile stays the one selected, so that Generate works at once.
    ASSERT_EQ(window->SelectedProfiles().size(), 1u);
    EXPECT_EQ(window->SelectedProfiles().front()->Name, "Sample2");
    EXPECT_TRUE(Action("acPRFileGenerate")->isEnabled());

    // One question for two profiles; No deletes nothing.
    SelectRows({"Fresh", "Sample2"});
    Action("acPRFileDelete")->trigger();
    EXPECT_EQ(ui.Questions, std::vector<std::string>{"Are you sure you want to delete the selected profile(s) ?"});
    EXPECT_EQ(Names().size(), 4u);
    ui.YesNoAnswers = {true};
    SelectRows({"Fresh", "Sample2"});
    Action("acPRFileDelete")->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Copy of Sample1", "Sample1"}));

    TProfiles written;
    ASSERT_TRUE(written.LoadFromFile(AppPaths::ProfilesFile()));
    EXPECT_EQ(written.Profiles, profiles.Profiles);
}

TEST_F(MainWindowTest, ADroppedLogFileOpensTheWizardOnIt) {
    std::vector<TProfile> seen;
    int answer = 0;
    hooks.ProfileWizard = [&](TProfile& profile, QWidget*) {
        seen.push_back(profile);
        profile.Name = "Dropped";
        return answer;
    };
    Start();
    const std::string log = folder.write("logs/access.log", "x\n");
    const auto drop = [&] {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(log))});
        QWidget* viewport = List()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
    };
    drop();
    ASSERT_EQ(seen.size(), 1u);
    ASSERT_EQ(seen[0].LogFiles.Count(), 1u);
    EXPECT_EQ(seen[0].LogFiles[0], (TRecLogFileProperty{"file://", log, "", "", 21, 0, 1}));
    EXPECT_EQ(seen[0].Reports.Count(), static_cast<std::size_t>(kReportCount));
    EXPECT_EQ(Names().size(), 2u);
    answer = 1;
    drop();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Dropped", "Sample1", "Sample2"}));
}

TEST_F(MainWindowTest, OptionsAreReloadedFromTheFileWhateverTheDialogSaid) {
    int result = 0;
    hooks.EditOptions = [&](const std::string& dnsCache, QWidget*) {
        EXPECT_EQ(dnsCache, AppPaths::DnsCacheFile());
        options.SessionLength = 99;
        return result;
    };
    Start();
    Action("acConfigureOptions")->trigger();
    EXPECT_EQ(options.SessionLength, 30);
    result = 1;
    Action("acConfigureOptions")->trigger();
    EXPECT_EQ(options.SessionLength, 99);
    TOptions written;
    ASSERT_TRUE(written.LoadFromFile(AppPaths::OptionsFile()));
    EXPECT_EQ(written.SessionLength, 99);
}

TEST_F(MainWindowTest, HelpActionsGoToTheDesktop) {
    Start();
    Action("acHelpTopics")->trigger();
    EXPECT_EQ(ui.HelpTopics, std::vector<std::string>{""});
    Action("acHelpWeb")->trigger();
    ASSERT_EQ(ui.Opened.size(), 1u);
    EXPECT_EQ(ui.Opened[0].rfind("https://", 0), 0u);
}

TEST(AppGuard, ShowsTheProgramsOwnMessagesAndUnknownErrorOtherwise) {
    const auto message = [](auto error) { return GuardMessage(std::make_exception_ptr(error)); };
    EXPECT_EQ(message(ELogConvert("analysis failed")), "analysis failed");
    EXPECT_EQ(message(EDNSLookup("dns failed")), "dns failed");
    EXPECT_EQ(message(EExportFile::CannotWrite("/x.csv")), "Cannot write the file \"/x.csv\".");
    EXPECT_EQ(message(std::runtime_error("internal")), "Unknown error");
    EXPECT_EQ(message(42), "Unknown error");

    test::TScriptedUi ui;
    EXPECT_TRUE(RunGuarded(ui, [] {}));
    EXPECT_FALSE(RunGuarded(ui, [] { throw std::logic_error("no"); }));
    EXPECT_FALSE(RunGuarded(ui, [] { throw ELogConvert("yes"); }));
    EXPECT_EQ(ui.Errors, (std::vector<std::string>{"Unknown error", "yes"}));
}

TEST(GlobalObjects, ExistWhileTheirOwnerLivesAndOnlyOnce) {
    EXPECT_EQ(GlobalLogConvert, nullptr);
    {
        TGlobalObjects globals;
        ASSERT_NE(GlobalLogConvert, nullptr);
        ASSERT_NE(GlobalProfiles, nullptr);
        ASSERT_NE(GlobalOptions, nullptr);
        ASSERT_NE(GlobalReportTxts, nullptr);
        // Created empty: nothing is loaded before the window's first show.
        EXPECT_TRUE(GlobalProfiles->Profiles.IsEmpty());
        EXPECT_EQ(GlobalReportTxts->Count(), 0);
        TLogConvert* engine = GlobalLogConvert;
        EXPECT_THROW(TGlobalObjects{}, std::logic_error);
        EXPECT_EQ(GlobalLogConvert, engine);
    }
    EXPECT_EQ(GlobalLogConvert, nullptr);
    EXPECT_EQ(GlobalProfiles, nullptr);
    EXPECT_EQ(GlobalOptions, nullptr);
    EXPECT_EQ(GlobalReportTxts, nullptr);
}

TEST(ReportTree, ViewModeFallsBackToTheTable) {
    EXPECT_EQ(EffectiveViewMode(0, kViewTable | kViewHtml), 1);
    EXPECT_EQ(EffectiveViewMode(1, kViewTable | kViewHtml), 1);
    EXPECT_EQ(EffectiveViewMode(2, kViewTable | kViewHtml), 2);
    EXPECT_EQ(EffectiveViewMode(2, kViewTable), 1);
    for (int id : {20, 30, 40, 50, 60}) EXPECT_TRUE(IsInfoID(id)) << id;
    for (int id : {0, 10, 21, 142}) EXPECT_FALSE(IsInfoID(id)) << id;
}

TEST(ReportTree, RowsFollowTheProfileAndTheEmptySwitch) {
    const TStatistics empty{};
    EXPECT_EQ(ReportTreeRows(nullptr, empty, false).size(), static_cast<std::size_t>(kNodeCount));

    // Every list is empty: only General and the fixed tables stay, with their folders.
    TProfile profile;
    const auto ids = [](const std::vector<const TRecNodeProperty*>& rows) {
        std::vector<int> out;
        for (const TRecNodeProperty* row : rows) out.push_back(row->ID);
        return out;
    };
    const std::vector<int> shown = ids(ReportTreeRows(&profile, empty, false));
    for (int id : shown) {
        if (IsInfoID(id)) continue;
        EXPECT_FALSE(empty.IsReportEmpty(static_cast<std::uint8_t>(id))) << id;
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 10);
    // A folder is there exactly when one of its reports is, and just before them.
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (IsInfoID(shown[i])) {
            ASSERT_LT(i + 1, shown.size());
            EXPECT_EQ(FindNode(shown[i + 1])->ParentID, shown[i]);
        }

    // With the switch on every enabled report is shown; a disabled one never.
    const std::size_t all = ReportTreeRows(&profile, empty, true).size();
    TRecReportProperty off = *FindDefaultReportProperty(21);
    off.Enable = 0;
    profile.Reports.Add(off);
    EXPECT_EQ(ReportTreeRows(&profile, empty, true).size(), all - 1);
    for (const TRecNodeProperty* row : ReportTreeRows(&profile, empty, true)) EXPECT_NE(row->ID, 21);
}

}  // namespace
}  // namespace brindle

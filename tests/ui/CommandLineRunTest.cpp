#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <thread>

#include "MainWindowFixture.h"
#include "support/ProgramRun.h"

namespace brindle {
namespace {

using test::MainWindowFixture;
using test::ReadFileBytes;
namespace fs = std::filesystem;

class CommandLineRunTest : public MainWindowFixture {
protected:
    // Shows the window and lets its queued start-up work run, as the program does.
    void ShowAndStart(const std::vector<std::string>& arguments) {
        Open(arguments);
        window->show();
        QElapsedTimer clock;
        clock.start();
        while (window->FirstShowPending() && clock.elapsed() < 60000) QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    // A profiles file holding one profile whose only log is missing.
    void WriteProfilesWithMissingLog() {
        TProfiles list;
        auto profile = std::make_unique<TProfile>();
        profile->Name = "Missing";
        profile->LogFiles.Add({"file://", folder.path() + "gone.log", "", "", 21, 0, 1});
        list.Profiles.Add(std::move(profile));
        ASSERT_TRUE(list.SaveToFile(AppPaths::ProfilesFile()));
    }
};

TEST_F(CommandLineRunTest, AnalysisThenCloseEndsTheProgram) {
    ShowAndStart({"/s", "/p=Sample1", "/c"});
    EXPECT_TRUE(ui.Errors.empty());
    ASSERT_NE(window->CurrentProfile(), nullptr);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(CommandLineRunTest, WithoutSuchAProfileTheWindowStays) {
    ShowAndStart({"/s", "/p=sample1", "/c"});
    EXPECT_EQ(window->CurrentProfile(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(CommandLineRunTest, AFailedAnalysisShowsItsMessageAndKeepsTheWindowOpen) {
    WriteProfilesWithMissingLog();
    ShowAndStart({"/s", "/p=\"Missing\"", "/c"});
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_NE(ui.Errors[0].find("gone.log"), std::string::npos);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
}

// Counts the times a widget is shown.
class TShowCounter : public QObject {
public:
    int Shows = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) ++Shows;
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(CommandLineRunTest, AnUnattendedRunDrawsNoWindowAndBuildsNoViewUntilShown) {
    TCommandLine commandLine = ParseCommandLine(std::vector<std::string>{"/s", "/p=Sample1", "/c"});
    commandLine.NoScreen = true;
    Open(commandLine);
    TShowCounter shows;
    window->installEventFilter(&shows);
    progress->installEventFilter(&shows);
    window->Start();
    QElapsedTimer clock;
    clock.start();
    while (window->FirstShowPending() && clock.elapsed() < 60000) QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    ASSERT_FALSE(window->FirstShowPending());
    EXPECT_TRUE(ui.Errors.empty()) << (ui.Errors.empty() ? "" : ui.Errors[0]);
    ASSERT_NE(window->CurrentProfile(), nullptr);
    EXPECT_EQ(window->CurrentReportID(), 10);
    EXPECT_TRUE(Action("acREFileSave")->isEnabled());
    EXPECT_FALSE(Action("acPRFileNew")->isVisible());
    EXPECT_EQ(shows.Shows, 0);
    // Nor are menus, tool bar, pages or status bar built for it.
    EXPECT_EQ(Child<QTabWidget>("pc"), nullptr);
    EXPECT_EQ(Child<QMenu>("miREFile"), nullptr);
    EXPECT_EQ(Child<QToolBar>("tbaIcons"), nullptr);
    EXPECT_EQ(Child<QStatusBar>("sb"), nullptr);
    EXPECT_EQ(Tree(), nullptr);
    EXPECT_TRUE(shownLists.empty());
    EXPECT_TRUE(shownPages.empty());
    EXPECT_TRUE(infoMessages.empty());
    // The job's steps are kept all the same.
    const QTreeWidget* steps = progress->lvStep();
    ASSERT_GE(steps->topLevelItemCount(), 2);
    EXPECT_EQ(steps->topLevelItem(0)->text(1), "Initializing");
    EXPECT_EQ(steps->topLevelItem(steps->topLevelItemCount() - 1)->text(1), "Done");

    // Shown after all, the window is built as the run left it and shows the selected report.
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(shownLists.size() + shownPages.size(), 1u);
    window->show();
    EXPECT_EQ(shownLists.size() + shownPages.size(), 1u) << "built once";
    ASSERT_NE(Child<QTabWidget>("pc"), nullptr);
    EXPECT_EQ(Child<QTabWidget>("pc")->currentWidget(), Child<QWidget>("tsReport"));
    ASSERT_NE(Tree()->currentItem(), nullptr);
    EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(0));
    EXPECT_EQ(window->CurrentReportID(), 10);
    EXPECT_TRUE(Child<QMenu>("miREFile")->menuAction()->isVisible());
    EXPECT_FALSE(Child<QMenu>("miPRFile")->menuAction()->isVisible());
    EXPECT_EQ(Child<QTreeView>("vtProfiles")->model()->rowCount(), 2);
    EXPECT_EQ(window->SelectedProfiles().size(), 1u);
    // And works like any window: back on the profile list, the profile actions are there.
    Child<QTabWidget>("pc")->setCurrentWidget(Child<QWidget>("tsProfiles"));
    EXPECT_TRUE(Action("acPRFileGenerate")->isVisible());
    EXPECT_TRUE(Action("acPRFileGenerate")->isEnabled());
    EXPECT_FALSE(Action("acREFileSave")->isVisible());
}

using test::ProgramPath;

// Runs the program with the arguments in its own user folder; its exit code, -1 when it
// had to be stopped or a signal ended it.
int RunProgram(const std::string& home, const std::vector<std::string>& arguments, const std::string& logFile) {
    const test::TProgramRun run = test::RunBuiltProgram(home, arguments, logFile);
    return run.Ended && run.Signal == 0 ? run.ExitStatus : -1;
}

TEST(CommandLineRun, TheBuiltProgramAnalysesASampleSilentlyAndEnds) {
    ASSERT_TRUE(fs::is_regular_file(ProgramPath())) << ProgramPath();
    test::TestFolder home;
    const std::string log = home.file("run.log");
    const std::string user = home.path() + "user/";
    fs::create_directories(user);
    EXPECT_EQ(RunProgram(user, {"/s", "/p=Sample1", "/c"}, log), 0) << ReadFileBytes(log);

    TOptions options;
    ASSERT_TRUE(options.LoadFromFile(user + "Options.xml"));
    EXPECT_EQ(options.Ver, "1.40");
    TProfiles profiles;
    ASSERT_TRUE(profiles.LoadFromFile(user + "Profiles.xml"));
    EXPECT_EQ(profiles.Ver, "2.20");
    ASSERT_EQ(profiles.Profiles.Count(), 2u);
    EXPECT_EQ(profiles.Profiles[0].Name, "Sample1");
    EXPECT_EQ(profiles.Profiles[1].Name, "Sample2");
    EXPECT_TRUE(fs::is_directory(user + "DataLog/Sample1"));
    // The process' own Tmp folder goes with it.
    EXPECT_TRUE(fs::is_directory(user + "Tmp"));
    EXPECT_TRUE(fs::is_empty(user + "Tmp"));
    EXPECT_TRUE(fs::is_regular_file(user + "settings.ini"));
}

// An unattended run: the profile's automatic export writes below a folder named by the year.
TEST(CommandLineRun, TheBuiltProgramExportsAutomaticallyAndEnds) {
    ASSERT_TRUE(fs::is_regular_file(ProgramPath())) << ProgramPath();
    struct Case {
        std::uint8_t type;
        const char* file;
    };
    for (const Case& c : {Case{3, "site.csv"}, Case{4, "site.xml"}}) {
        test::TestFolder home;
        const std::string user = home.path() + "user/";
        fs::create_directories(user);
        TProfiles list;
        list.Ver = "2.20";
        auto profile = std::make_unique<TProfile>();
        profile->Name = "Site";
        profile->LogFiles.Add({"file://", AppPaths::SampleDir() + "sample1.log", "", "", 21, 0, 1});
        profile->AutoExport = 1;
        profile->AutoExportType = c.type;
        profile->AutoExportFile = home.path() + "exports/%yyyy%/" + c.file;
        list.Profiles.Add(std::move(profile));
        ASSERT_TRUE(list.SaveToFile(user + "Profiles.xml"));

        const std::string log = home.file("run.log");
        EXPECT_EQ(RunProgram(user, {"/s", "/p=Site", "/c"}, log), 0) << ReadFileBytes(log);
        const std::string year = std::to_string(DecodeDateTime(NowLocal()).Year);
        const std::string target = home.path() + "exports/" + year + "/" + c.file;
        ASSERT_TRUE(fs::is_regular_file(target)) << target;
        const std::string bytes = ReadFileBytes(target);
        if (c.type == 3) {
            EXPECT_EQ(bytes.rfind("\"General\"\r\n", 0), 0u) << bytes.substr(0, 80);
        } else {
            EXPECT_NE(bytes.find("<DATA"), std::string::npos);
            EXPECT_NE(bytes.find("<General"), std::string::npos);
        }
    }
}

// A log written to attack whoever opens the reports: formula cells for spreadsheets, control
// characters for terminals and parsers, an escaped TAB that would split a URL-and-referrer row.
TEST(CommandLineRun, AHostileLogCannotReachTheExportsRaw) {
    ASSERT_TRUE(fs::is_regular_file(ProgramPath())) << ProgramPath();
    const std::string hostileLog =
        "=cmd|calc - - [10/Oct/2010:13:55:36 +0000] \"GET /index.html HTTP/1.0\" 200 100 \"-\" \"@SUM(1+1)\"\n"
        "10.0.0.2 - =HYPERLINK(1) [10/Oct/2010:13:55:37 +0000] \"GET /a.html HTTP/1.0\" 200 100 "
        "\"http://www.google.com/search?q=%3D1%2B2\" \"Mozilla/4.0\"\n"
        "10.0.0.3 - - [10/Oct/2010:13:55:38 +0000] \"GET /b.html HTTP/1.0\" 200 100 "
        "\"http://www.google.com/search?q=%2BSUM%281%29\" \"Mozilla/4.0\"\n"
        "10.0.0.4 - - [10/Oct/2010:13:55:39 +0000] \"GET /t%09ab.html HTTP/1.0\" 404 0 "
        "\"http://ref.example.com/page\" \"Mozilla/4.0\"\n"
        "ho\x01st\x7f - us\x1b"
        "er [10/Oct/2010:13:55:40 +0000] \"GET /c%07.html HTTP/1.0\" 200 100 \"-\" "
        "\"Agent\x1b[31m\"\n";
    // Bytes no output may hold: controls other than TAB, CR and LF, and DEL.
    const auto rawControl = [](const std::string& bytes) {
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F) return true;
        }
        return false;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::uint8_t type;
        const char* target;
    };
    for (const Case& c : {Case{3, "site.csv"}, Case{4, "site.xml"}, Case{2, "html/"}}) {
        SCOPED_TRACE(c.target);
        test::TestFolder home;
        const std::string user = home.path() + "user/";
        fs::create_directories(user);
        const std::string logFile = home.write("hostile.log", hostileLog);
        TProfiles list;
        list.Ver = "2.20";
        auto profile = std::make_unique<TProfile>();
        profile->Name = "Site";
        profile->LogFiles.Add({"file://", logFile, "", "", 21, 0, 1});
        profile->AutoExport = 1;
        profile->AutoExportType = c.type;
        profile->AutoExportFile = home.path() + c.target;
        list.Profiles.Add(std::move(profile));
        ASSERT_TRUE(list.SaveToFile(user + "Profiles.xml"));
        const std::string log = home.file("run.log");
        ASSERT_EQ(RunProgram(user, {"/s", "/p=Site", "/c"}, log), 0) << ReadFileBytes(log);

        if (c.type == 2) {
            int pages = 0;
            for (const auto& entry : fs::directory_iterator(home.path() + c.target)) {
                const std::string extension = entry.path().extension().string();
                if (extension != ".html" && extension != ".js") continue;  // not the pictures
                const std::string bytes = ReadFileBytes(entry.path().string());
                EXPECT_FALSE(rawControl(bytes)) << entry.path();
                pages += entry.path().extension() == ".html";
            }
            EXPECT_GT(pages, 1);
            continue;
        }
        const std::string bytes = ReadFileBytes(home.path() + c.target);
        EXPECT_FALSE(rawControl(bytes));
        EXPECT_NE(bytes.find("ho" + fffd + "st" + fffd), std::string::npos);
        EXPECT_NE(bytes.find("us" + fffd + "er"), std::string::npos);
        EXPECT_NE(bytes.find("/c%07.html"), std::string::npos);
        if (c.type == 3) {
            for (const char* cell : {"\"'=cmd|calc\"", "\"'=HYPERLINK(1)\"", "\"'=1+2\"", "\"'+sum(1)\""})
                EXPECT_NE(bytes.find(cell), std::string::npos) << cell;
            EXPECT_NE(bytes.find("\r\n\"/t%09ab.html\",\"http://ref.example.com/page\",\"1\"\r\n"), std::string::npos);
        } else {
            EXPECT_NE(bytes.find("\"=cmd|calc\""), std::string::npos);  // only spreadsheets need the guard
            EXPECT_NE(bytes.find("\"/t%09ab.html\""), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace brindle

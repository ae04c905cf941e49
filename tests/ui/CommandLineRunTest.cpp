#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
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

}  // namespace
}  // namespace brindle

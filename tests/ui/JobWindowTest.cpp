#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "MainWindowFixture.h"
#include "core/AppPaths.h"
#include "ui/Main_jobs.h"
#include "ui/ProgressPace_u.h"

namespace brindle {
namespace {

using test::MainWindowFixture;
namespace fs = std::filesystem;

class JobWindowTest : public MainWindowFixture {
protected:
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (int i = 0; i < progress->lvStep()->topLevelItemCount(); ++i)
            steps.push_back(progress->lvStep()->topLevelItem(i)->text(1).toStdString());
        return steps;
    }
    // A profile over Count small daily W3C logs; returns the file names.
    std::vector<std::string> AddDailyLogsProfile(int count, int linesPerFile) {
        std::vector<std::string> names;
        for (int day = 0; day < count; ++day) {
            char name[32];
            std::snprintf(name, sizeof name, "ex%02d%02d%02d.log", 24, 1 + day / 28 % 12, 1 + day % 28);
            char date[16];
            std::snprintf(date, sizeof date, "20%02d-%02d-%02d", 24 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
            std::string text =
                "#Software: Microsoft Internet Information Services 6.0\r\n#Version: 1.0\r\n"
                "#Fields: date time c-ip cs-method cs-uri-stem sc-status sc-bytes\r\n";
            for (int line = 0; line < linesPerFile; ++line)
                text += std::string(date) + " 10:" + std::to_string(10 + line % 50) + ":00 10.0.0." +
                        std::to_string(line % 200) + " GET /p" + std::to_string(line % 17) + ".html 200 " +
                        std::to_string(100 + line) + "\r\n";
            folder.write("daily/" + std::string(name), text);
            names.push_back(name);
        }
        auto profile = std::make_unique<TProfile>();
        profile->Assign(*profiles.Profiles.FindByName("Sample1"));
        profile->Name = "Daily";
        profile->LogFiles.Clear();
        profile->LogFiles.Add({"file://", folder.path() + "daily/*.log", "", "", 21, 0, 1});
        profiles.Profiles.Add(std::move(profile));
        window->FillProfileList();
        return names;
    }
    // Makes the file unwritable: a folder takes its name.
    static void BlockFile(const std::string& file) {
        fs::remove(file);
        fs::create_directories(file + "/inside");
    }
};

TEST_F(JobWindowTest, EveryFileShowsItsStepAndTheWindowIsNotDrivenByEachReport) {
    Start();
    const std::vector<std::string> names = AddDailyLogsProfile(120, 30);
    // Each look at the clock moves it a quarter of the pace's interval: the window may catch
    // up on every fourth report at most, however fast or slow the machine is.
    int clockReads = 0;
    const auto origin = TProgressPace::TClock::now();
    progress->Pace().SetClock([&] {
        ++clockReads;
        return origin + clockReads * (TProgressPace::kInterval / 4);
    });
    int repaints = 0;
    QString lastInfo;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (progress->laInfo()->text() != lastInfo) ++repaints;
        lastInfo = progress->laInfo()->text();
    });
    watcher.start();
    Generate("Daily");
    watcher.stop();
    ASSERT_TRUE(ui.Errors.empty()) << ui.Errors[0];
    ASSERT_EQ(window->CurrentProfile()->Name, "Daily");

    const std::vector<std::string> steps = Steps();
    for (const std::string& name : names)
        EXPECT_EQ(std::count(steps.begin(), steps.end(), "Analyzing : " + name), 1) << name;
    EXPECT_EQ(steps.back(), "Done");
    // Every file reported at least once; the window followed only the reports whose turn had come
    // (one more for each restart of the pace when the job began).
    EXPECT_GE(clockReads, static_cast<int>(names.size()));
    EXPECT_GT(repaints, 0);
    EXPECT_LE(repaints, clockReads / 4 + 2) << clockReads << " reports";
}

TEST_F(JobWindowTest, CancelStopsALongAnalysisBeforeItsNextFile) {
    Start();
    window->show();
    AddDailyLogsProfile(200, 300);
    const auto analyzed = [this] {
        const std::vector<std::string> steps = Steps();
        return std::count_if(steps.begin(), steps.end(),
                             [](const std::string& step) { return step.rfind("Analyzing : ", 0) == 0; });
    };
    std::ptrdiff_t analyzedAtCancel = -1;
    QTimer presser;
    presser.setInterval(0);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (analyzedAtCancel >= 0 || !progress->laInfo()->text().startsWith("Analyzing : ex24")) return;
        analyzedAtCancel = analyzed();
        progress->buCancel()->click();
    });
    presser.start();
    Generate("Daily");
    presser.stop();
    ASSERT_GE(analyzedAtCancel, 0) << "Cancel was never pressed";
    ASSERT_LT(analyzedAtCancel, 199) << "the analysis was over before Cancel";
    // The run noticed the cancel while on the file it had reached: no later file was begun.
    EXPECT_LE(analyzed() - analyzedAtCancel, 1);
    EXPECT_EQ(window->CurrentProfile(), nullptr);
    const std::vector<std::string> steps = Steps();
    EXPECT_NE(std::find(steps.begin(), steps.end(), "Aborted by user"), steps.end());
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "Done"), steps.end());
}

TEST_F(JobWindowTest, ProgressWindowStaysAboveTheDisabledMainWindowAndUsable) {
    Start();
    window->show();
    QWindow* transientParent = nullptr;
    bool progressEnabled = false;
    bool mainDisabled = false;
    bool progressTopLevel = false;
    QTimer::singleShot(0, progress.get(), [&] {
        transientParent = progress->windowHandle() ? progress->windowHandle()->transientParent() : nullptr;
        progressEnabled = progress->isEnabled() && progress->buCancel()->isEnabled();
        mainDisabled = !window->isEnabled();
        progressTopLevel = progress->isWindow() && progress->parentWidget() == nullptr;
    });
    Generate("Sample1");
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(transientParent, window->windowHandle());
    EXPECT_TRUE(progressEnabled);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(progressTopLevel);
}

TEST_F(JobWindowTest, AutomaticExportGivesTheWindowBackBeforeItAsks) {
    Start({});
    TProfile& sample = *profiles.Profiles.FindByName("Sample1");
    sample.AutoExport = 1;
    sample.AutoExportType = 3;
    sample.AutoExportFile = folder.path() + "auto/report.csv";
    std::vector<std::pair<bool, bool>> whenAsked;  // progress shown, main window enabled
    ui.WhenAsked = [&](const std::string&) { whenAsked.emplace_back(progress->isVisible(), window->isEnabled()); };
    ui.YesNoAnswers = {false};
    window->show();
    Generate("Sample1");
    ASSERT_EQ(ui.Questions.size(), 1U);
    EXPECT_EQ(ui.QuestionKinds[0], TQuestionKind::Information);
    EXPECT_FALSE(ui.QuestionsWithCancel[0]);
    EXPECT_EQ(whenAsked, (std::vector<std::pair<bool, bool>>{{false, true}}));
    EXPECT_EQ(Steps().back(), "Done");
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(progress->isVisible());
    EXPECT_FALSE(window->JobRunning());
}

TEST_F(JobWindowTest, SavingIntoAMissingFolderAsksYesNoCancel) {
    Start();
    Generate("Sample1");
    const std::string file = folder.path() + "none/report.bnl";
    ui.FileAnswers = {file};
    Action("acREFileSave")->trigger();  // the script has no answer: Cancel
    ASSERT_EQ(ui.Questions.size(), 1U);
    EXPECT_TRUE(ui.QuestionsWithCancel[0]);
    EXPECT_EQ(ui.QuestionKinds[0], TQuestionKind::Warning);
    EXPECT_FALSE(fs::exists(folder.path() + "none"));
}

TEST_F(JobWindowTest, FailedProfileSavesAreReported) {
    hooks.ProfileWizard = [](TProfile& profile, QWidget*) {
        if (profile.Name.empty()) profile.Name = "Made";
        return 1;
    };
    hooks.EditProfile = [](TProfile& profile, QWidget*) {
        profile.Description = "edited";
        return 1;
    };
    Start();
    BlockFile(AppPaths::ProfilesFile());
    const std::string failed = "Could not save the file '" + AppPaths::ProfilesFile() + "'.";
    struct Case {
        const char* action;
        const char* selected;
    };
    const Case cases[] = {
        {"acPRFileNew", nullptr}, {"acPRFileEdit", "Sample1"}, {"acPRFileCopy", "Sample1"}, {"acPRFileDelete", "Made"}};
    for (const Case& c : cases) {
        ui.Errors.clear();
        if (c.selected) {
            ASSERT_TRUE(SelectProfile(c.selected)) << c.action;
        }
        ui.YesNoAnswers = {true};
        Action(c.action)->trigger();
        EXPECT_EQ(ui.Errors, std::vector<std::string>{failed}) << c.action;
    }
    // The list in memory holds the changes all the same.
    EXPECT_EQ(profiles.Profiles.FindByName("Made"), nullptr);
    EXPECT_NE(profiles.Profiles.FindByName("Copy of Sample1"), nullptr);
    EXPECT_EQ(profiles.Profiles.FindByName("Sample1")->Description, "edited");
}

TEST_F(JobWindowTest, OptionsConfirmedButNotSavedStayInMemory) {
    int result = 1;
    std::int32_t typed = 77;
    hooks.EditOptions = [&](const std::string&, QWidget*) {
        options.SessionLength = typed;
        return result;
    };
    Start();
    ASSERT_NE(options.SessionLength, 77);
    BlockFile(AppPaths::OptionsFile());
    Action("acConfigureOptions")->trigger();
    EXPECT_EQ(ui.Errors, std::vector<std::string>{"Could not save the file '" + AppPaths::OptionsFile() + "'."});
    EXPECT_EQ(options.SessionLength, 77);

    // Saved, they are read back; cancelled, the file undoes them.
    fs::remove_all(AppPaths::OptionsFile());
    ui.Errors.clear();
    Action("acConfigureOptions")->trigger();
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(options.SessionLength, 77);
    result = 0;
    typed = 5;
    Action("acConfigureOptions")->trigger();
    EXPECT_EQ(options.SessionLength, 77);
}

}  // namespace
}  // namespace brindle

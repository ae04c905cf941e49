#include <gtest/gtest.h>

#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "DialogDriver.h"
#include "FindChild.h"
#include "MainWindowFixture.h"
#include "core/AppPaths.h"
#include "core/DateMacros_u.h"
#include "ui/ExportTarget_u.h"
#include "ui/Export_fm.h"

namespace brindle {
namespace {

using test::MainWindowFixture;
namespace fs = std::filesystem;

class ExportTargetTest : public MainWindowFixture {};

TEST_F(ExportTargetTest, OneRuleForRelativeAbsoluteAndDatedTargets) {
    const std::string home = AppPaths::UserDir();
    const std::string year = ExpandDateMacros("%yyyy%");
    struct Case {
        std::string target;
        std::string resolved;
        std::string fileFolder;
    };
    const Case cases[] = {
        {"", "", ""},
        {"report.csv", home + "report.csv", home.substr(0, home.size() - 1)},
        {"out/%yyyy%/r.xml", home + "out/" + year + "/r.xml", home + "out/" + year},
        {"/abs/r.csv", "/abs/r.csv", "/abs"},
        {"/abs/%yyyy%/", "/abs/" + year + "/", "/abs/" + year},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveExportTarget(c.target), c.resolved) << c.target;
        EXPECT_EQ(ExportTargetFolder(c.resolved, false), c.fileFolder) << c.target;
        EXPECT_EQ(ExportTargetFolder(c.resolved, true), c.resolved) << c.target;
    }
}

// The dialog makes the folder the run then writes into, wherever the program was started.
TEST_F(ExportTargetTest, DialogAndRunAgreeOnARelativeTarget) {
    const fs::path started = fs::current_path();
    const fs::path elsewhere = folder.path() + "elsewhere";
    fs::create_directories(elsewhere);
    fs::current_path(elsewhere);
    std::optional<TExportChoice> chosen;
    hooks.AskExport = [&](int kind, QWidget* parent) -> std::optional<TExportChoice> {
        TfmExport dialog(ui, languages, parent);
        const auto answered = test::WhenModal<TfmExport>([](QDialog& shown) {
            test::Child<QLineEdit>(&shown, "edFileName")->setText("relative/out.csv");
            test::Click(&shown, "buOK");
        });
        if (!dialog.Execute(kind)) return std::nullopt;
        chosen = TExportChoice{dialog.Target(), dialog.GetLanguageID()};
        return chosen;
    };
    Start();
    Generate("Sample1");
    ui.YesNoAnswers = {true, false};  // create the folder; do not open the file
    Action("acREFileExportCSV")->trigger();
    fs::current_path(started);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(ui.Questions.front(), "The directory '" + AppPaths::UserDir() +
                                        "relative' does not exist.\r\nWould you like Brindle Analyzer to create the "
                                        "directory?");
    EXPECT_TRUE(fs::is_regular_file(AppPaths::UserDir() + "relative/out.csv"));
    EXPECT_FALSE(fs::exists(elsewhere / "relative"));
}

}  // namespace
}  // namespace brindle

// Where the keyboard focus is when a dialog opens and after it refuses its input.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FindChild.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "support/ScriptedUi.h"
#include "ui/ExportAuto_fm.h"
#include "ui/Export_fm.h"
#include "ui/LogFile_fm.h"
#include "ui/ProfileWiz_f.h"

namespace brindle {
namespace {

using test::Child;
using test::Click;
using test::WhenModal;

std::string FocusName(const QWidget& window) {
    const QWidget* focus = window.focusWidget();
    return focus ? focus->objectName().toStdString() : std::string("(none)");
}

class Focus : public ::testing::Test {
protected:
    test::TScriptedUi ui;
    TLstReportTxt languages;
    void SetUp() override { languages.LoadFolder("/nonexistent-languages"); }
};

TEST_F(Focus, WizardStartsEachPageOnItsFirstFieldAndReturnsToTheRefusedOne) {
    TProfile profile;
    profile.LogFiles.Add({"file://", "/var/log/apache2/access.log", "", "", 21, 0, 1});
    TfmProfileWiz wizard(ui, languages);
    std::vector<std::string> seen;
    const auto answered = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        seen.push_back(FocusName(shown));  // page 1 as it opens
        Click(&shown, "buNext");  // no name yet
        seen.push_back(FocusName(shown));
        Child<QLineEdit>(&shown, "edName")->setText("Site");
        Click(&shown, "buNext");  // page 2
        Click(&shown, "buNext");  // page 3
        seen.push_back(FocusName(shown));
        Click(&shown, "buNext");  // no domain yet
        seen.push_back(FocusName(shown));
        Child<QLineEdit>(&shown, "edDomainName")->setText("www.example.com");
        Child<QLineEdit>(&shown, "edName")->setFocus();  // somewhere else on purpose
        Click(&shown, "buPrevious");
        Click(&shown, "buNext");
        seen.push_back(FocusName(shown));  // page 3 shown again
        Click(&shown, "buCancel");
    });
    wizard.Execute(profile);
    ASSERT_TRUE(answered->Answered);
    EXPECT_EQ(seen, (std::vector<std::string>{"edName", "edName", "edDomainName", "edDomainName", "edDomainName"}));
    EXPECT_EQ(ui.Warnings,
              (std::vector<std::string>{"Please enter a name for your report.", "Please specify your domain name."}));
}

TEST_F(Focus, LogFileDialogOpensOnThePathAndReturnsToIt) {
    TfmLogFile dialog(ui);
    TRecLogFileProperty location{"file://", "", "", "", 21, 0, 1};
    std::vector<std::string> seen;
    const auto answered = WhenModal<TfmLogFile>([&](QDialog& shown) {
        seen.push_back(FocusName(shown));
        Child<QWidget>(&shown, "cbLogFileType")->setFocus();
        Click(&shown, "buOK");
        seen.push_back(FocusName(shown));
        Click(&shown, "buCancel");
    });
    dialog.Execute(location);
    ASSERT_TRUE(answered->Answered);
    EXPECT_EQ(seen, (std::vector<std::string>{"edLogFileURL", "edLogFileURL"}));
    EXPECT_EQ(ui.Warnings, std::vector<std::string>{"Please specify a full path to you log file."});
}

TEST_F(Focus, ExportDialogsOpenOnTheirFirstField) {
    TfmExport dialog(ui, languages);
    std::vector<std::string> seen;
    const auto answered = WhenModal<TfmExport>([&](QDialog& shown) {
        seen.push_back(FocusName(shown));
        Child<QWidget>(&shown, "cbLanguage")->setFocus();
        Click(&shown, "buOK");  // no target
        seen.push_back(FocusName(shown));
        Click(&shown, "buCancel");
    });
    dialog.Execute(3);
    ASSERT_TRUE(answered->Answered);

    TfmExportAuto automatic(ui, languages);
    std::uint8_t kind = 3;
    std::string target;
    std::string language = "default";
    const auto answeredAuto = WhenModal<TfmExportAuto>([&](QDialog& shown) {
        seen.push_back(FocusName(shown));
        Click(&shown, "buOK");
        seen.push_back(FocusName(shown));
        Click(&shown, "buCancel");
    });
    automatic.Execute(kind, target, language);
    ASSERT_TRUE(answeredAuto->Answered);
    EXPECT_EQ(seen, (std::vector<std::string>{"edFileName", "edFileName", "rbCSV", "edExportFile"}));
}

}  // namespace
}  // namespace brindle

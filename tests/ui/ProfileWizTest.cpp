#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FindChild.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "support/ScriptedUi.h"
#include "ui/ProfileWiz_f.h"

namespace brindle {
namespace {

using test::Child;
using test::Click;
using test::WhenModal;

// The state of a new profile as the main window hands it to the wizard.
TProfile NewProfile() {
    TProfile profile;
    profile.Name = "Dropped";
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LogFileURL = "/var/log/dropped.log";
    location.LoginPort = 21;
    location.Enable = 1;
    profile.LogFiles.Add(location);
    profile.OffsetSign = 1;
    profile.AutoExportLanguageID = "default";
    return profile;
}

class ProfileWizard : public ::testing::Test {
protected:
    test::TScriptedUi ui;
    TLstReportTxt languages;
    void SetUp() override { languages.LoadFolder("/nonexistent-languages"); }

    static std::vector<int> VisiblePages(const TfmProfileWiz& wizard) {
        std::vector<int> visible;
        for (int i = 0; i < 6; ++i)
            if (wizard.Page(i)->isVisible()) visible.push_back(i + 1);
        return visible;
    }
};

TEST_F(ProfileWizard, StepsThroughThePagesAndFinishes) {
    TProfile profile = NewProfile();
    TfmProfileWiz wizard(ui, languages);
    EXPECT_EQ(wizard.windowTitle(), "Profile Wizard");
    std::vector<std::string> nextTexts;
    const auto answered = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        auto* back = Child<QPushButton>(&shown, "buPrevious");
        auto* next = Child<QPushButton>(&shown, "buNext");
        EXPECT_EQ(back->text(), "< &Back");
        EXPECT_EQ(Child<QPushButton>(&shown, "buCancel")->text(), "&Cancel");
        EXPECT_EQ(Child<QPushButton>(&shown, "buHelp")->text(), "&Help");
        EXPECT_FALSE(back->isEnabled());
        EXPECT_EQ(VisiblePages(wizard), std::vector<int>{1});
        nextTexts.push_back(next->text().toStdString());
        next->click();  // page 1 valid: the name came with the profile
        EXPECT_EQ(wizard.CurrentPage(), 2);
        EXPECT_TRUE(back->isEnabled());
        next->click();
        ASSERT_EQ(wizard.CurrentPage(), 3);
        next->click();  // no domain yet
        EXPECT_EQ(wizard.CurrentPage(), 3);
        Child<QLineEdit>(wizard.Page(2), "edDomainName")->setText("www.example.com");
        Child<QComboBox>(wizard.Page(2), "cbDefaultPage")->setEditText("index.html");
        next->click();
        next->click();
        EXPECT_EQ(wizard.CurrentPage(), 5);
        nextTexts.push_back(next->text().toStdString());
        next->click();
        EXPECT_EQ(wizard.CurrentPage(), 6);
        EXPECT_EQ(VisiblePages(wizard), std::vector<int>{6});
        nextTexts.push_back(next->text().toStdString());
        back->click();
        nextTexts.push_back(next->text().toStdString());
        next->click();
        Child<QCheckBox>(wizard.Page(5), "cbDNSLookup")->setChecked(true);
        Click(&shown, "buHelp");
        next->click();  // Finish
    });
    ASSERT_EQ(wizard.Execute(profile), QDialog::Accepted);
    EXPECT_EQ(nextTexts, (std::vector<std::string>{"&Next >", "&Next >", "&Finish", "&Next >"}));
    EXPECT_EQ(ui.Warnings, std::vector<std::string>{"Please specify your domain name."});
    EXPECT_EQ(ui.HelpTopics, std::vector<std::string>{"html/profile_dialog.html"});
    EXPECT_EQ(profile.DomainName, "www.example.com");
    EXPECT_EQ(profile.DefaultPage, "index.html");
    EXPECT_EQ(profile.DNSLookup, 1);
    EXPECT_EQ(profile.Reports.Count(), 43u);
    EXPECT_EQ(profile.LogFiles, NewProfile().LogFiles);
}

TEST_F(ProfileWizard, KeepsOneSizeOnEveryPage) {
    TProfile profile = NewProfile();
    profile.DomainName = "www.example.com";
    profile.DefaultPage = "index.html";
    TfmProfileWiz wizard(ui, languages);
    std::vector<QSize> sizes;
    const auto answered = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        auto* next = Child<QPushButton>(&shown, "buNext");
        for (int page = 1; page <= 6; ++page) {
            QApplication::processEvents();
            EXPECT_EQ(wizard.CurrentPage(), page);
            sizes.push_back(shown.size());
            if (page < 6) next->click();
        }
        for (int page = 6; page > 1; --page) {
            Child<QPushButton>(&shown, "buPrevious")->click();
            QApplication::processEvents();
            sizes.push_back(shown.size());
        }
        Click(&shown, "buCancel");
    });
    wizard.Execute(profile);
    ASSERT_EQ(sizes.size(), 11u);
    for (const QSize& size : sizes) EXPECT_EQ(size, sizes.front());
    // Every page fits without being squeezed below what it asks for, and no more room than
    // the largest page needs.
    int tallest = 0;
    for (int i = 0; i < 6; ++i) tallest = std::max(tallest, wizard.Page(i)->sizeHint().height());
    EXPECT_LE(wizard.Page(0)->parentWidget()->height(), tallest + 10);
    for (int i = 0; i < 6; ++i) {
        EXPECT_LE(wizard.Page(i)->minimumSizeHint().width(), wizard.Page(i)->parentWidget()->width()) << i;
        EXPECT_LE(wizard.Page(i)->sizeHint().height(), wizard.Page(i)->parentWidget()->height()) << i;
    }
}

TEST_F(ProfileWizard, BackDoesNotValidateButNextValidatesAgain) {
    TProfile profile = NewProfile();
    TfmProfileWiz wizard(ui, languages);
    const auto answered = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        auto* next = Child<QPushButton>(&shown, "buNext");
        next->click();
        next->click();
        ASSERT_EQ(wizard.CurrentPage(), 3);
        Click(&shown, "buPrevious");  // page 3 is not valid, yet Back goes
        EXPECT_EQ(wizard.CurrentPage(), 2);
        Child<QTreeWidget>(wizard.Page(1), "lv")->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        next->click();
        EXPECT_EQ(wizard.CurrentPage(), 2);
        Click(&shown, "buPrevious");
        Child<QLineEdit>(wizard.Page(0), "edName")->clear();
        next->click();
        EXPECT_EQ(wizard.CurrentPage(), 1);
        Click(&shown, "buCancel");
    });
    EXPECT_EQ(wizard.Execute(profile), QDialog::Rejected);
    EXPECT_EQ(ui.Warnings, (std::vector<std::string>{"Please specify at least one log location.",
                                                     "Please enter a name for your report."}));
    EXPECT_EQ(profile, NewProfile());
}

TEST_F(ProfileWizard, FinishRefusedOnTheLastPageKeepsTheWizardOpen) {
    TProfile profile = NewProfile();
    profile.DomainName = "example.com";
    profile.DefaultPage = "index.php";
    TfmProfileWiz wizard(ui, languages);
    const auto answered = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        auto* next = Child<QPushButton>(&shown, "buNext");
        for (int i = 0; i < 5; ++i) next->click();
        ASSERT_EQ(wizard.CurrentPage(), 6);
        Child<QCheckBox>(wizard.Page(5), "cbAutoExport")->setChecked(true);
        next->click();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(shown.result(), QDialog::Rejected);
        Child<QCheckBox>(wizard.Page(5), "cbAutoExport")->setChecked(false);
        next->click();
        EXPECT_FALSE(shown.isVisible());
    });
    EXPECT_EQ(wizard.Execute(profile), QDialog::Accepted);
    EXPECT_EQ(ui.Warnings.size(), 1u);
    EXPECT_EQ(profile.AutoExport, 0);
}

TEST_F(ProfileWizard, CancelLeavesTheProfileUntouched) {
    TProfile profile = NewProfile();
    TfmProfileWiz wizard(ui, languages);
    const auto answered = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        Child<QLineEdit>(wizard.Page(0), "edName")->setText("Changed");
        Click(&shown, "buNext");
        Click(&wizard, "buCancel");
    });
    EXPECT_EQ(wizard.Execute(profile), QDialog::Rejected);
    EXPECT_EQ(profile, NewProfile());

    // A second run starts on page 1 again.
    const auto again = WhenModal<TfmProfileWiz>([&](QDialog& shown) {
        EXPECT_EQ(wizard.CurrentPage(), 1);
        Click(&shown, "buCancel");
    });
    wizard.Execute(profile);
    EXPECT_TRUE(again->Answered);
}

}  // namespace
}  // namespace brindle

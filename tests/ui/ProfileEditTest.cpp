#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FindChild.h"
#include "core/CommonConsts_catalogue.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "support/ScriptedUi.h"
#include "ui/ExportAuto_fm.h"
#include "ui/FTPLogInfo_fm.h"
#include "ui/HTTPLogInfo_fm.h"
#include "ui/LogFile_fm.h"
#include "ui/Profile02_fr.h"
#include "ui/Profile04_fr.h"
#include "ui/Profile06_fr.h"
#include "ui/ProfileEdit_f.h"

namespace brindle {
namespace {

using test::Child;
using test::Click;
using test::WhenModal;

TRecLogFileProperty Location(const std::string& type, const std::string& url, int enable) {
    TRecLogFileProperty location;
    location.LogFileType = type;
    location.LogFileURL = url;
    location.LoginPort = 21;
    location.Enable = enable;
    return location;
}

TRecFilterProperty Filter(const std::string& name) {
    TRecFilterProperty filter;
    filter.FilterType = 1;
    filter.FilterItem = 11;
    filter.Name = name;
    filter.Value1 = "10.*";
    return filter;
}

// A profile every page accepts, in the form the pages store it.
TProfile ValidProfile() {
    TProfile profile;
    profile.Name = "Site";
    profile.Description = "Line 1\r\nLine 2";
    profile.LogFiles.Add(Location("file://", "/var/log/a.log", 1));
    profile.LogFiles.Add(Location("ftp://", "ftp.example.com/logs/*.log", 0));
    profile.LogFileFormat = 2;
    profile.DomainName = "www.example.com";
    profile.DefaultPage = "index.html";
    profile.Filters.Add(Filter("Filter 1"));
    for (const auto& rec : DefaultReportTable()) profile.Reports.Add(rec);
    profile.OffsetSign = -1;
    profile.OffsetHour = 5;
    profile.OffsetMinute = 30;
    profile.DNSLookup = 1;
    profile.AutoExport = 1;
    profile.AutoExportType = 3;
    profile.AutoExportFile = "/tmp/out.csv";
    profile.AutoExportLanguageID = "default";
    return profile;
}

std::vector<std::string> RowTexts(const QTreeWidget* list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) rows.push_back(list->topLevelItem(i)->text(0).toStdString());
    return rows;
}

void SelectRows(QTreeWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int row : rows) list->topLevelItem(row)->setSelected(true);
}

void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

class ProfileEditor : public ::testing::Test {
protected:
    test::TScriptedUi ui;
    TLstReportTxt languages;
    void SetUp() override { languages.LoadFolder("/nonexistent-languages"); }
};

TEST_F(ProfileEditor, TextsAndTabs) {
    TfmProfileEdit dialog(ui, languages);
    EXPECT_EQ(dialog.windowTitle(), "Profile Editor");
    const std::vector<QString> titles = {"Profile", "Log File", "Home Page", "Filters", "Views", "Misc"};
    ASSERT_EQ(dialog.Tabs()->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog.Tabs()->tabText(i), titles[static_cast<std::size_t>(i)]);
        EXPECT_EQ(dialog.Tabs()->widget(i)->objectName(), QString("ts0%1").arg(i + 1));
    }
    EXPECT_EQ(Child<QPushButton>(&dialog, "buOK")->text(), "OK");
    EXPECT_EQ(Child<QPushButton>(&dialog, "buCancel")->text(), "Cancel");
    EXPECT_EQ(Child<QPushButton>(&dialog, "buHelp")->text(), "Help");
    Click(&dialog, "buHelp");
    EXPECT_EQ(ui.HelpTopics, std::vector<std::string>{"html/profile_dialog.html"});
}

TEST_F(ProfileEditor, OkWithoutChangesKeepsTheProfile) {
    TProfile profile = ValidProfile();
    TfmProfileEdit dialog(ui, languages);
    const auto answered = WhenModal<TfmProfileEdit>([](QDialog& shown) {
        EXPECT_EQ(static_cast<TfmProfileEdit&>(shown).Tabs()->currentIndex(), 0);
        Click(&shown, "buOK");
    });
    EXPECT_EQ(dialog.Execute(profile), QDialog::Accepted);
    EXPECT_EQ(profile, ValidProfile());
    EXPECT_TRUE(ui.Warnings.empty());
}

// Changes something on every page.
void EditEveryPage(TfmProfileEdit& dialog) {
    Child<QLineEdit>(dialog.Page(0), "edName")->setText("Renamed");
    Child<QPlainTextEdit>(dialog.Page(0), "meDescription")->setPlainText("New\nText");
    auto* locations = Child<QTreeWidget>(dialog.Page(1), "lv");
    locations->topLevelItem(1)->setCheckState(0, Qt::Checked);
    Child<QComboBox>(dialog.Page(1), "cbLogFileFormat")->setCurrentText("Microsoft IIS 3+");
    Child<QLineEdit>(dialog.Page(2), "edDomainName")->setText("example.org");
    Child<QComboBox>(dialog.Page(2), "cbDefaultPage")->setEditText("home.php");
    auto* filters = Child<QTreeWidget>(dialog.Page(3), "lv");
    SelectRows(filters, {0});
    ASSERT_TRUE(filters->topLevelItem(0)->isSelected());
    Click(dialog.Page(4), "buClearAll");
    Child<QComboBox>(dialog.Page(5), "cbOffsetSign")->setCurrentText("+");
    Child<QSpinBox>(dialog.Page(5), "udOffsetHour")->setValue(12);
    Child<QCheckBox>(dialog.Page(5), "cbDNSLookup")->setChecked(false);
    Child<QCheckBox>(dialog.Page(5), "cbAutoExport")->setChecked(false);
}

// Runs the editor on Profile, changes every page (deleting the first filter) and closes it
// with the button.
int EditEveryPageAndClose(TProfile& profile, const char* button, test::TScriptedUi& ui,
                          const TLstReportTxt& languages) {
    TfmProfileEdit dialog(ui, languages);
    ui.YesNoAnswers = {true};
    const auto answered = WhenModal<TfmProfileEdit>([&dialog, button](QDialog& shown) {
        EditEveryPage(dialog);
        Child<QAction>(dialog.Page(3), "acDel")->trigger();
        Click(&shown, button);
    });
    return dialog.Execute(profile);
}

TEST_F(ProfileEditor, OkStoresEveryPage) {
    TProfile profile = ValidProfile();
    ASSERT_EQ(EditEveryPageAndClose(profile, "buOK", ui, languages), QDialog::Accepted);

    TProfile expected = ValidProfile();
    expected.Name = "Renamed";
    expected.Description = "New\nText";
    expected.LogFiles[1].Enable = 1;
    expected.LogFileFormat = 5;
    expected.DateFormat = 0;  // "*Auto-detect*", the first entry
    expected.DomainName = "example.org";
    expected.DefaultPage = "home.php";
    expected.Filters.Clear();
    for (auto& rec : expected.Reports) rec.Enable = rec.EnableList = rec.EnableChart = rec.EnableChartDaily = 0;
    expected.OffsetSign = 1;
    expected.OffsetHour = 12;
    expected.DNSLookup = 0;
    expected.AutoExport = 0;
    expected.AutoExportType = 0;
    expected.AutoExportFile.clear();
    EXPECT_EQ(profile, expected);
    EXPECT_EQ(ui.Questions, std::vector<std::string>{"Are you sure you want to delete the selected filter(s) ?"});
}

TEST_F(ProfileEditor, CancelLeavesTheProfileUntouched) {
    TProfile profile = ValidProfile();
    EXPECT_EQ(EditEveryPageAndClose(profile, "buCancel", ui, languages), QDialog::Rejected);
    EXPECT_EQ(profile, ValidProfile());
}

TEST_F(ProfileEditor, OkValidatesThePagesInOrderAndShowsTheFirstRefusing) {
    TProfile profile;
    TfmProfileEdit dialog(ui, languages);
    std::vector<int> tabs;
    const auto answered = WhenModal<TfmProfileEdit>([&](QDialog& shown) {
        auto* buOK = Child<QPushButton>(&shown, "buOK");
        auto pressOK = [&] {
            dialog.Tabs()->setCurrentIndex(4);
            buOK->click();
            tabs.push_back(dialog.Tabs()->currentIndex());
        };
        pressOK();
        Child<QLineEdit>(dialog.Page(0), "edName")->setText("New");
        pressOK();
        ui.FileAnswers.clear();
        const auto answeredLocation = WhenModal<TfmLogFile>([](QDialog& location) {
            Child<QLineEdit>(&location, "edLogFileURL")->setText("/logs/*.log");
            Click(&location, "buOK");
        });
        Child<QAction>(dialog.Page(1), "acAdd")->trigger();
        Child<QTreeWidget>(dialog.Page(1), "lv")->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        pressOK();
        Child<QTreeWidget>(dialog.Page(1), "lv")->topLevelItem(0)->setCheckState(0, Qt::Checked);
        pressOK();
        Child<QLineEdit>(dialog.Page(2), "edDomainName")->setText("example.net");
        Child<QComboBox>(dialog.Page(2), "cbDefaultPage")->setEditText("");
        pressOK();
        Child<QComboBox>(dialog.Page(2), "cbDefaultPage")->setEditText("index.php");
        Child<QCheckBox>(dialog.Page(5), "cbAutoExport")->setChecked(true);
        pressOK();
        EXPECT_TRUE(shown.isVisible());
        Child<QCheckBox>(dialog.Page(5), "cbAutoExport")->setChecked(false);
        buOK->click();
    });
    ASSERT_EQ(dialog.Execute(profile), QDialog::Accepted);
    const std::string noExportLocation =
        "You did not specify an export location. You should either click the 'Export Options' button and\r\n"
        "select a location to export to, or uncheck 'Automatically export report'.";
    EXPECT_EQ(ui.Warnings, (std::vector<std::string>{
                               "Please enter a name for your report.",
                               "Please specify at least one log location.",
                               "Please specify at least one log location.",
                               "Please specify your domain name.",
                               "Please specify the default page.",
                               noExportLocation,
                           }));
    EXPECT_EQ(tabs, (std::vector<int>{0, 1, 1, 2, 2, 5}));
    EXPECT_EQ(profile.Name, "New");
    ASSERT_EQ(profile.LogFiles.Count(), 1u);
    EXPECT_EQ(profile.LogFiles[0], Location("file://", "/logs/*.log", 1));
    EXPECT_EQ(profile.DefaultPage, "index.php");
    EXPECT_EQ(profile.AutoExportLanguageID, "default");
    EXPECT_EQ(profile.Reports.Count(), static_cast<std::size_t>(kReportCount));
}

// ---- "Log File" page ----------------------------------------------------------------------

class LogFilePage : public ProfileEditor {
protected:
    TfrProfile02 page{ui};
    QTreeWidget* lv = nullptr;

    void SetUp() override {
        ProfileEditor::SetUp();
        page.Init();
        TProfile profile;
        profile.LogFiles.Add(Location("file://", "/a.log", 1));
        profile.LogFiles.Add(Location("ftp://", "host/b.log", 0));
        profile.LogFiles.Add(Location("http://", "host/c.log", 1));
        page.LoadFromProfile(profile);
        lv = Child<QTreeWidget>(&page, "lv");
    }
    void TearDown() override { page.Done(); }
    bool Enabled(const char* action) const { return Child<QAction>(&page, action)->isEnabled(); }
    TProfile Saved() {
        TProfile saved;
        page.SaveToProfile(saved);
        return saved;
    }
};

TEST_F(LogFilePage, RowsShowTypeAndURLCheckedByEnable) {
    EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"file:///a.log", "ftp://host/b.log", "http://host/c.log"}));
    EXPECT_EQ(lv->topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(lv->topLevelItem(2)->checkState(0), Qt::Checked);
    EXPECT_EQ(Child<QAction>(&page, "acAdd")->text(), "Add...");
    EXPECT_EQ(Child<QAction>(&page, "acEdit")->text(), "Edit...");
    EXPECT_EQ(Child<QAction>(&page, "acDelete")->text(), "Delete");
    EXPECT_EQ(Child<QAction>(&page, "acUp")->text(), "Up");
    EXPECT_EQ(Child<QAction>(&page, "acDown")->text(), "Down");
    EXPECT_EQ(Child<QComboBox>(&page, "cbLogFileFormat")->count(), 9);
    EXPECT_EQ(Child<QComboBox>(&page, "cbDateFormat")->count(), 4);
}

TEST_F(LogFilePage, ActionsFollowTheSelection) {
    SelectRows(lv, {});
    EXPECT_FALSE(Enabled("acEdit") || Enabled("acDelete") || Enabled("acUp") || Enabled("acDown"));
    EXPECT_TRUE(Enabled("acAdd"));
    SelectRows(lv, {1});
    EXPECT_TRUE(Enabled("acEdit") && Enabled("acDelete") && Enabled("acUp") && Enabled("acDown"));
    SelectRows(lv, {0, 2});
    EXPECT_TRUE(Enabled("acDelete"));
    EXPECT_FALSE(Enabled("acEdit") || Enabled("acUp") || Enabled("acDown"));
}

TEST_F(LogFilePage, UpAndDownExchangeWithTheNeighbourAndKeepTheSelection) {
    SelectRows(lv, {2});
    Child<QAction>(&page, "acUp")->trigger();
    EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"file:///a.log", "http://host/c.log", "ftp://host/b.log"}));
    EXPECT_TRUE(lv->topLevelItem(1)->isSelected());
    EXPECT_EQ(lv->topLevelItem(1)->checkState(0), Qt::Checked);
    Child<QAction>(&page, "acUp")->trigger();
    Child<QAction>(&page, "acUp")->trigger();  // at the top: nothing
    EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"http://host/c.log", "file:///a.log", "ftp://host/b.log"}));
    SelectRows(lv, {2});
    Child<QAction>(&page, "acDown")->trigger();  // at the bottom: nothing
    EXPECT_EQ(Saved().LogFiles[2], Location("ftp://", "host/b.log", 0));
    EXPECT_EQ(Saved().LogFiles[0].LogFileURL, "host/c.log");
}

TEST_F(LogFilePage, DeleteAsksAndRemovesEverySelectedLocation) {
    SelectRows(lv, {0, 2});
    ui.YesNoAnswers = {false, true};
    PressKey(lv, Qt::Key_Delete);
    EXPECT_EQ(lv->topLevelItemCount(), 3);
    Child<QAction>(&page, "acDelete")->trigger();
    EXPECT_EQ(RowTexts(lv), std::vector<std::string>{"ftp://host/b.log"});
    EXPECT_EQ(ui.Questions,
              (std::vector<std::string>(2, "Are you sure you want to delete the selected log file(s) ?")));
    // The only location left is unchecked.
    EXPECT_FALSE(page.Validate());
    EXPECT_EQ(ui.Warnings, std::vector<std::string>{"Please specify at least one log location."});
    lv->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(page.Validate());
    EXPECT_EQ(Saved().LogFiles[0].Enable, 1);
}

TEST_F(LogFilePage, AddStartsAsALocalFileAndAppendsOnOK) {
    const auto answeredAdd = WhenModal<TfmLogFile>([](QDialog& shown) {
        EXPECT_EQ(Child<QComboBox>(&shown, "cbLogFileType")->currentText(), "file://");
        EXPECT_EQ(Child<QLineEdit>(&shown, "edLogFileURL")->text(), "");
        Child<QLineEdit>(&shown, "edLogFileURL")->setText("/new/*.log");
        Click(&shown, "buOK");
    });
    PressKey(lv, Qt::Key_Insert);
    ASSERT_EQ(lv->topLevelItemCount(), 4);
    EXPECT_TRUE(lv->topLevelItem(3)->isSelected());
    EXPECT_EQ(Saved().LogFiles[3], Location("file://", "/new/*.log", 1));

    const auto answeredCancel = WhenModal<TfmLogFile>([](QDialog& shown) { Click(&shown, "buCancel"); });
    Child<QAction>(&page, "acAdd")->trigger();
    EXPECT_EQ(lv->topLevelItemCount(), 4);
}

TEST_F(LogFilePage, EditChangesTheSelectedLocationAndKeepsItsCheck) {
    SelectRows(lv, {1});
    const auto answered = WhenModal<TfmLogFile>([](QDialog& shown) {
        EXPECT_EQ(Child<QLineEdit>(&shown, "edLogFileURL")->text(), "host/b.log");
        Child<QComboBox>(&shown, "cbLogFileType")->setCurrentText("http://");
        Click(&shown, "buOK");
    });
    emit lv->itemDoubleClicked(lv->topLevelItem(1), 0);
    EXPECT_EQ(RowTexts(lv)[1], "http://host/b.log");
    EXPECT_EQ(Saved().LogFiles[1].Enable, 0);
}

TEST_F(LogFilePage, DateOrderOnlyForTheIISCommaFormat) {
    auto* format = Child<QComboBox>(&page, "cbLogFileFormat");
    auto* date = Child<QComboBox>(&page, "cbDateFormat");
    EXPECT_FALSE(date->isEnabled());
    EXPECT_EQ(date->currentIndex(), -1);
    format->setCurrentText("Microsoft IIS 3+");
    EXPECT_TRUE(date->isEnabled());
    EXPECT_TRUE(Child<QLabel>(&page, "laDateFormat")->isEnabled());
    EXPECT_EQ(date->currentIndex(), 0);
    date->setCurrentText("MDY (US)");
    EXPECT_EQ(Saved().DateFormat, 2);
    EXPECT_EQ(Saved().LogFileFormat, 5);
    format->setCurrentText("Apache Combined");
    EXPECT_FALSE(date->isEnabled());
    EXPECT_EQ(date->currentIndex(), -1);
    EXPECT_EQ(Saved().DateFormat, 0);
    EXPECT_EQ(Saved().LogFileFormat, 4);

    // Loading shows the stored order only with the IIS comma format.
    TProfile iis;
    iis.LogFileFormat = 5;
    iis.DateFormat = 6;
    page.LoadFromProfile(iis);
    EXPECT_EQ(date->currentText(), "YMD (Japanese)");
    iis.LogFileFormat = 0;
    page.LoadFromProfile(iis);
    EXPECT_EQ(Saved().DateFormat, 0);
    EXPECT_EQ(format->currentText(), "*Auto-detect*");
}

// ---- Log-file location dialog ---------------------------------------------------------------

TEST_F(ProfileEditor, LocationDialogFollowsTheScheme) {
    TfmLogFile dialog(ui);
    EXPECT_EQ(dialog.windowTitle(), "Log File");
    auto* scheme = Child<QComboBox>(&dialog, "cbLogFileType");
    auto* button = Child<QPushButton>(&dialog, "buLogin");
    auto* info = Child<QLabel>(&dialog, "laInfo");
    scheme->setCurrentText("file://");
    EXPECT_EQ(button->text(), "Browse...");
    EXPECT_TRUE(info->text().startsWith("Specify whether your log files are stored. You can use\nwildcards (*,?)"));
    scheme->setCurrentText("ftp://");
    EXPECT_EQ(button->text(), "Login...");
    EXPECT_TRUE(info->text().startsWith("Specify the URL and login username and password to\naccess your log file"));
    scheme->setCurrentText("http://");
    EXPECT_TRUE(info->text().startsWith("Specify the URL to access your log file via HTTP. You\ncan use macros."));
}

TEST_F(ProfileEditor, LocationDialogRefusesAnEmptyPathAndBrowsesFiles) {
    TRecLogFileProperty location = Location("file://", "", 0);
    TfmLogFile dialog(ui);
    ui.FileAnswers = {std::string("/var/log/site/access.log")};
    const auto answered = WhenModal<TfmLogFile>([](QDialog& shown) {
        Click(&shown, "buOK");
        EXPECT_TRUE(shown.isVisible());
        Click(&shown, "buLogin");
        Click(&shown, "buOK");
    });
    ASSERT_EQ(dialog.Execute(location), QDialog::Accepted);
    EXPECT_EQ(ui.Warnings, std::vector<std::string>{"Please specify a full path to you log file."});
    EXPECT_EQ(location, Location("file://", "/var/log/site/access.log", 0));
}

TEST_F(ProfileEditor, FTPLoginIsTakenOnOKOfTheLocationOnly) {
    TRecLogFileProperty location = Location("ftp://", "host/x.log", 1);
    location.LoginUserName = "old";
    const TRecLogFileProperty original = location;
    auto login = [](QDialog& shown) {
        const auto answeredLogin = WhenModal<TfmFTPLogInfo>([](QDialog& ftp) {
            EXPECT_EQ(ftp.windowTitle(), "FTP Server Login");
            EXPECT_EQ(Child<QLineEdit>(&ftp, "edUserName")->text(), "old");
            EXPECT_EQ(Child<QLineEdit>(&ftp, "edPort")->text(), "21");
            EXPECT_EQ(Child<QLineEdit>(&ftp, "edPassword")->echoMode(), QLineEdit::Password);
            Child<QLineEdit>(&ftp, "edUserName")->setText("anna");
            Child<QLineEdit>(&ftp, "edPassword")->setText("secret");
            Child<QLineEdit>(&ftp, "edPort")->setText("port");
            Child<QCheckBox>(&ftp, "cbPassive")->setChecked(true);
            Click(&ftp, "buOK");
        });
        Click(&shown, "buLogin");
    };
    {
        TfmLogFile dialog(ui);
        const auto answered = WhenModal<TfmLogFile>([&](QDialog& shown) {
            login(shown);
            Click(&shown, "buCancel");
        });
        EXPECT_EQ(dialog.Execute(location), QDialog::Rejected);
        EXPECT_EQ(location, original);
    }
    TfmLogFile dialog(ui);
    const auto answered = WhenModal<TfmLogFile>([&](QDialog& shown) {
        login(shown);
        Click(&shown, "buOK");
    });
    ASSERT_EQ(dialog.Execute(location), QDialog::Accepted);
    EXPECT_EQ(location.LoginUserName, "anna");
    EXPECT_EQ(location.LoginPassword, "secret");
    EXPECT_EQ(location.LoginPort, 0);  // not a number
    EXPECT_EQ(location.PassiveMode, 1);
    EXPECT_EQ(location.Enable, 1);
}

TEST_F(ProfileEditor, PortTexts) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {{"2121", 2121}, {" 990 ", 990},     {"", 0},
                                                                     {"21a", 0},     {"99999999999", 0}, {"-1", -1}};
    for (const auto& [text, port] : cases) {
        TfmFTPLogInfo dialog;
        std::string user, password;
        std::int32_t passive = 0, result = 21;
        const auto answered = WhenModal<TfmFTPLogInfo>([text = text](QDialog& shown) {
            Child<QLineEdit>(&shown, "edPort")->setText(QString::fromStdString(text));
            Click(&shown, "buOK");
        });
        dialog.Execute(user, password, passive, result);
        EXPECT_EQ(result, port) << text;
    }
}

TEST_F(ProfileEditor, HTTPLogin) {
    TRecLogFileProperty location = Location("http://", "www.example.com/log.gz", 1);
    TfmLogFile dialog(ui);
    const auto answered = WhenModal<TfmLogFile>([](QDialog& shown) {
        const auto answeredLogin = WhenModal<TfmHTTPLogInfo>([](QDialog& http) {
            EXPECT_EQ(http.windowTitle(), "HTTP Web Server Login");
            Child<QLineEdit>(&http, "edUserName")->setText("web");
            Child<QLineEdit>(&http, "edPassword")->setText("pw");
            Click(&http, "buOK");
        });
        Click(&shown, "buLogin");
        Click(&shown, "buOK");
    });
    ASSERT_EQ(dialog.Execute(location), QDialog::Accepted);
    EXPECT_EQ(location.LoginUserName, "web");
    EXPECT_EQ(location.LoginPassword, "pw");
    EXPECT_EQ(location.LoginPort, 21);
}

// ---- "Filters" page -----------------------------------------------------------------------

TEST(FilterNames, FirstFreeNumber) {
    TLstFilterProperty filters;
    EXPECT_EQ(TfrProfile04::NewFilterName(filters), "Filter 1");
    filters.Add(Filter("Filter 1"));
    filters.Add(Filter("Filter 3"));
    EXPECT_EQ(TfrProfile04::NewFilterName(filters), "Filter 2");
    filters.Add(Filter("filter 2"));  // names compare case-sensitively
    EXPECT_EQ(TfrProfile04::NewFilterName(filters), "Filter 2");
    filters.Add(Filter("Filter 2"));
    EXPECT_EQ(TfrProfile04::NewFilterName(filters), "Filter 4");
}

// What the buttons read on screen: "..." where a dialog follows.
std::vector<std::string> ButtonTexts(const QWidget& page) {
    std::vector<std::string> texts;
    for (const QToolButton* button : page.findChildren<QToolButton*>()) texts.push_back(button->text().toStdString());
    return texts;
}

TEST_F(ProfileEditor, ListButtonsReadWithDotsWhereADialogFollows) {
    TfrProfile02 logFiles(ui);
    EXPECT_EQ(ButtonTexts(logFiles), (std::vector<std::string>{"Add...", "Edit...", "Delete", "Up", "Down"}));
    TfrProfile04 filters(ui);
    EXPECT_EQ(ButtonTexts(filters), (std::vector<std::string>{"Add...", "Edit...", "Delete"}));
}

TEST_F(ProfileEditor, FiltersPageEditsThroughTheFilterWizard) {
    TfrProfile04 page(ui);
    page.Init();
    TProfile profile;
    profile.Filters.Add(Filter("Filter 1"));
    profile.Filters.Add(Filter("Filter 3"));
    page.LoadFromProfile(profile);
    auto* lv = Child<QTreeWidget>(&page, "lv");
    EXPECT_EQ(lv->headerItem()->text(0), "Filters");

    // Without a wizard nothing happens.
    Child<QAction>(&page, "acAdd")->trigger();
    EXPECT_EQ(lv->topLevelItemCount(), 2);

    std::vector<TRecFilterProperty> offered;
    bool confirm = true;
    page.SetEditFilter([&](TRecFilterProperty& filter) {
        offered.push_back(filter);
        filter.Value1 = "changed";
        filter.Name += "!";
        return confirm;
    });
    PressKey(lv, Qt::Key_Insert);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].Name, "Filter 2");
    EXPECT_EQ(offered[0].FilterType, 1);
    EXPECT_EQ(offered[0].FilterItem, 11);
    EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"Filter 1", "Filter 3", "Filter 2!"}));

    confirm = false;
    SelectRows(lv, {0});
    Child<QAction>(&page, "acEdit")->trigger();
    EXPECT_EQ(RowTexts(lv)[0], "Filter 1");
    confirm = true;
    emit lv->itemDoubleClicked(lv->topLevelItem(0), 0);
    EXPECT_EQ(RowTexts(lv)[0], "Filter 1!");

    SelectRows(lv, {1, 2});
    EXPECT_FALSE(Child<QAction>(&page, "acEdit")->isEnabled());
    ui.YesNoAnswers = {true};
    PressKey(lv, Qt::Key_Delete);
    EXPECT_EQ(ui.Questions, std::vector<std::string>{"Are you sure you want to delete the selected filter(s) ?"});
    TProfile saved = profile;
    page.SaveToProfile(saved);
    ASSERT_EQ(saved.Filters.Count(), 1u);
    EXPECT_EQ(saved.Filters[0].Name, "Filter 1!");
    EXPECT_EQ(saved.Filters[0].Value1, "changed");
    EXPECT_EQ(profile.Filters[0].Name, "Filter 1");  // the page worked on its own copy
    page.Done();
}

// ---- "Misc" page --------------------------------------------------------------------------

TEST_F(ProfileEditor, MiscPageAutomaticExport) {
    TfrProfile06 page(ui, languages);
    page.Init();
    TProfile profile;
    profile.OffsetSign = 0;  // not negative: "+"
    profile.AutoExport = 0;
    profile.AutoExportType = 2;
    profile.AutoExportLanguageID = "en";
    profile.AutoExportFile = "/old/target";
    page.LoadFromProfile(profile);
    auto* tick = Child<QCheckBox>(&page, "cbAutoExport");
    auto* target = Child<QLineEdit>(&page, "edAutoExport");
    auto* options = Child<QPushButton>(&page, "buExportOptions");
    EXPECT_EQ(Child<QComboBox>(&page, "cbOffsetSign")->currentText(), "+");
    EXPECT_FALSE(target->isEnabled() || options->isEnabled());
    EXPECT_TRUE(target->isReadOnly());

    // Unticked: nothing of the export is kept.
    TProfile saved;
    page.SaveToProfile(saved);
    EXPECT_EQ(saved.OffsetSign, 1);
    EXPECT_EQ(saved.AutoExport, 0);
    EXPECT_EQ(saved.AutoExportType, 0);
    EXPECT_EQ(saved.AutoExportFile, "");
    EXPECT_EQ(saved.AutoExportLanguageID, "default");

    tick->setChecked(true);
    EXPECT_TRUE(target->isEnabled() && options->isEnabled());
    const auto answered = WhenModal<TfmExportAuto>([](QDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), "Export Options");
        EXPECT_TRUE(Child<QAbstractButton>(&shown, "rbHTML")->isChecked());
        EXPECT_EQ(Child<QComboBox>(&shown, "cbLanguage")->currentText(), "English");
        EXPECT_EQ(Child<QLineEdit>(&shown, "edExportFile")->text(), "/old/target");
        Click(&shown, "rbCSV");
        Child<QLineEdit>(&shown, "edExportFile")->setText("/exports/site.csv");
        Click(&shown, "buOK");
    });
    Click(&page, "buExportOptions");
    EXPECT_EQ(target->text(), "/exports/site.csv");
    EXPECT_TRUE(page.Validate());
    page.SaveToProfile(saved);
    EXPECT_EQ(saved.AutoExport, 1);
    EXPECT_EQ(saved.AutoExportType, 3);
    EXPECT_EQ(saved.AutoExportFile, "/exports/site.csv");
    EXPECT_EQ(saved.AutoExportLanguageID, "default");  // CSV has no language

    target->clear();
    EXPECT_FALSE(page.Validate());
    EXPECT_EQ(ui.Warnings.size(), 1u);
}

}  // namespace
}  // namespace brindle

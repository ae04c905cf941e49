#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/CommonConsts_tables.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/Registre_u.h"
#include "core/ReportTxt_u.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"
#include "tests/ui/DialogDriver.h"
#include "ui/About_fm.h"
#include "ui/CommandLine_u.h"
#include "ui/ConfirmDNS_fm.h"
#include "ui/StartUp_u.h"
#include "ui/Tips_fm.h"

namespace brindle {
namespace {

using test::WhenModal;

// The tip as the dialog shows it (line ends as "\n").
QString Tip(int number) {
    QString text = QString::fromUtf8(TipsOfTheDay()[static_cast<std::size_t>(number - 1)].data());
    return text.replace("\r\n", "\n");
}

QString Shown(const QDialog& dialog) { return dialog.findChild<QLabel*>("laTipsInfo")->text(); }

template <class T>
T* Child(const QObject& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(TipsTest, TextsOfTheDialog) {
    TfmTips tips;
    EXPECT_EQ(tips.windowTitle(), "Tip of the Day");
    EXPECT_EQ(Child<QLabel>(tips, "laTipsTitle")->text(), "Did you know...");
    EXPECT_EQ(Child<QCheckBox>(tips, "cbShowStartup")->text(), "Show tips on startup");
    EXPECT_EQ(Child<QPushButton>(tips, "buNext")->text(), "&Next Tip");
    EXPECT_EQ(Child<QPushButton>(tips, "buClose")->text(), "&Close");
    EXPECT_FALSE(Child<QLabel>(tips, "imTips")->pixmap().isNull());
}

TEST(TipsTest, NextCyclesThroughTheEightTips) {
    TfmTips tips;
    tips.Start(8, true);
    EXPECT_EQ(Shown(tips), Tip(8));
    const int expected[] = {1, 2, 3, 4, 5, 6, 7, 8, 1};
    for (const int number : expected) {
        Child<QPushButton>(tips, "buNext")->click();
        EXPECT_EQ(Shown(tips), Tip(number));
        EXPECT_EQ(tips.Outcome().LastNumber, number);
    }
    for (const int outside : {0, 9, -3}) {
        tips.Start(outside, false);
        EXPECT_EQ(Shown(tips), Tip(1)) << outside;
        EXPECT_FALSE(tips.Outcome().ShowAtStartUp);
    }
    EXPECT_EQ(NextTipNumber(8), 1);
    EXPECT_EQ(NextTipNumber(0), 1);
    EXPECT_EQ(NextTipNumber(-7), 1);
    EXPECT_EQ(NextTipNumber(3), 4);
}

class TipsStartUpTest : public ::testing::Test {
protected:
    TipsStartUpTest() {
        paths = {folder.file("Profiles.xml"), folder.file("Options.xml"), folder.file("Languages/"),
                 AppPaths::SampleDir()};
        reg.Ver = "2.30";
    }
    void Start() {
        TStartUp startUp(profiles, options, languages, reg, ui);
        startUp.Run(TCommandLine{}, paths, MakeStartUpTips(nullptr));
    }

    test::TestFolder folder;
    TStartUpPaths paths;
    TRegData reg{folder.file("settings.ini")};
    TProfiles profiles;
    TOptions options;
    TLstReportTxt languages;
    test::TScriptedUi ui;
};

TEST_F(TipsStartUpTest, TipAfterTheStoredOneThenNoneOnceSwitchedOff) {
    reg.Number = 8;
    auto answered = WhenModal<TfmTips>([](TfmTips& tips) {
        EXPECT_EQ(Shown(tips), Tip(1));
        EXPECT_TRUE(tips.findChild<QCheckBox*>("cbShowStartup")->isChecked());
        tips.findChild<QPushButton*>("buNext")->click();
        tips.findChild<QCheckBox*>("cbShowStartup")->setChecked(false);
        tips.findChild<QPushButton*>("buClose")->click();
    });
    Start();
    EXPECT_TRUE(answered->Answered);
    EXPECT_EQ(reg.Number, 2);
    EXPECT_FALSE(reg.StartUp);

    // The next start shows no tip at all.
    auto unexpected = WhenModal<TfmTips>([](TfmTips& tips) { tips.reject(); });
    Start();
    EXPECT_FALSE(unexpected->Answered);
    EXPECT_EQ(reg.Number, 2);
}

TEST_F(TipsStartUpTest, HelpMenuShowsTheStoredTipAgain) {
    const struct {
        int Stored;
        int Shown;
    } cases[] = {{5, 5}, {0, 1}, {12, 1}};
    for (const auto& c : cases) {
        reg.Number = c.Stored;
        reg.StartUp = false;
        auto answered = WhenModal<TfmTips>([&c](TfmTips& tips) {
            EXPECT_EQ(Shown(tips), Tip(c.Shown));
            EXPECT_FALSE(tips.findChild<QCheckBox*>("cbShowStartup")->isChecked());
            tips.findChild<QCheckBox*>("cbShowStartup")->setChecked(true);
            tips.close();
        });
        ShowTipsFromHelp(reg, nullptr);
        EXPECT_TRUE(answered->Answered);
        EXPECT_EQ(reg.Number, c.Shown);
        EXPECT_TRUE(reg.StartUp);
    }
}

TEST(ConfirmDNSTest, AnswerAndSwitch) {
    TfmConfirmDNS dialog;
    EXPECT_EQ(dialog.windowTitle(), "Analyzing");
    EXPECT_EQ(Child<QLabel>(dialog, "laConfirm")->text(),
              "DNS lookup for the profile to be analyzed is enabled. Please note\nthat it can slow down the analysis "
              "and you should be connected to\nInternet during the analyzing.\n\nDo you wish to continue ?");
    EXPECT_EQ(Child<QCheckBox>(dialog, "cbNoShow")->text(), "Don't show this dialog again");

    bool dontShowAgain = false;
    auto yes = WhenModal<TfmConfirmDNS>([](TfmConfirmDNS& d) {
        d.findChild<QCheckBox*>("cbNoShow")->setChecked(true);
        d.findChild<QPushButton*>("buYes")->click();
    });
    EXPECT_TRUE(dialog.Execute(dontShowAgain));
    EXPECT_TRUE(yes->Answered);
    EXPECT_TRUE(dontShowAgain);

    // Every run starts with the switch off.
    auto no = WhenModal<TfmConfirmDNS>([](TfmConfirmDNS& d) {
        EXPECT_FALSE(d.findChild<QCheckBox*>("cbNoShow")->isChecked());
        d.findChild<QPushButton*>("buNo")->click();
    });
    EXPECT_FALSE(dialog.Execute(dontShowAgain));
    EXPECT_TRUE(no->Answered);
    EXPECT_FALSE(dontShowAgain);
}

TEST(AboutTest, DateOfTheCityDatabase) {
    const struct {
        const char* Info;
        std::optional<TSeconds> Date;
    } cases[] = {
        {"GEO-533LITE 20130903 Build 1 Copyright (c) 2013 MaxMind Inc", StartOfDay(EncodeDate(2013, 9, 3))},
        {"  GEO-533 20130903", StartOfDay(EncodeDate(2013, 9, 3))},
        {"GEO-533 2013090", std::nullopt},
        {"GEO-533 20131340 Build", std::nullopt},
        {"GEO-533 2013ab03 Build", std::nullopt},
        {"GEO-533 18991230 Build", std::nullopt},  // day 0
        {"GEO-533", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(GeoIPInfoDate(c.Info), c.Date) << c.Info;
    EXPECT_EQ(ReadGeoIPCityInfo(""), "");
    EXPECT_EQ(ReadGeoIPCityInfo("/no/such/GeoIPCity.dat"), "");
}

TEST(AboutTest, ExtrasVersionAndLinks) {
    TLstReportTxt languages;
    auto add = [&languages](const char* name, const char* id, const char* version) {
        auto language = std::make_unique<TReportTxt>(BuiltInReportTxt());
        language->Info = {name, id, "", version, "utf-8"};
        languages.Add(std::move(language));
    };
    add("English", "en", "1.0");  // the built-in one is not an extra
    add("Italiano", "it", "1.2");
    add("Deutsch", "de", "1.1");
    add("Italiano", "it2", "1.2");
    EXPECT_EQ(LanguagePackLines(languages),
              (std::vector<std::string>{"Language pack: Deutsch (1.1)", "Language pack: Italiano (1.2)"}));

    test::TestFolder folder;
    test::TScriptedUi ui;
    TfmAbout about(languages, ui);
    EXPECT_EQ(about.windowTitle(), "About BrindleAnalyzer");
    EXPECT_EQ(Child<QLabel>(about, "laVersion")->text(), "Version 2.30");
    EXPECT_EQ(Child<QLabel>(about, "laPlugin")->text(), "Installed Plug-ins:");
    QPlainTextEdit* memo = Child<QPlainTextEdit>(about, "mePlugin");
    EXPECT_TRUE(memo->isReadOnly());
    const QString languageLines = "Language pack: Deutsch (1.1)\nLanguage pack: Italiano (1.2)";
    // No path, a missing file, a file that is no database, a database of another edition.
    std::vector<std::string> paths = {"", folder.file("missing.dat"), folder.write("junk.dat", "not geoip")};
    if (std::filesystem::exists("/usr/share/GeoIP/GeoIP.dat")) paths.push_back("/usr/share/GeoIP/GeoIP.dat");
    for (const std::string& path : paths) {
        about.Prepare(path);
        EXPECT_EQ(memo->toPlainText(), languageLines) << path;
    }
    EXPECT_TRUE(ui.Errors.empty());

    QLabel* web = Child<QLabel>(about, "laWeb");
    QLabel* mail = Child<QLabel>(about, "laMail");
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(web, &enter);
    EXPECT_TRUE(web->styleSheet().contains("navy"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(web, &leave);
    EXPECT_TRUE(web->styleSheet().contains("blue"));
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(web, &click);
    QMouseEvent click2(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
    QCoreApplication::sendEvent(mail, &click2);
    EXPECT_EQ(ui.Opened, (std::vector<std::string>{std::string(kMakerWebSite), "mailto:" + std::string(kMakerMail)}));
}

}  // namespace
}  // namespace brindle

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FindChild.h"
#include "core/DateMacros_u.h"
#include "core/Registre_u.h"
#include "core/ReportTxt_u.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"
#include "ui/ConfirmWord_fm.h"
#include "ui/ExportAuto_fm.h"
#include "ui/Export_fm.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::Click;
using test::WhenModal;

const std::string kFileMissing = "Please specify filename to save the report at.";
const std::string kFolderMissing = "Please specify folder to save the report at.";

std::string CreateQuestion(const std::string& folder) {
    return "The directory '" + folder + "' does not exist.\r\nWould you like Brindle Analyzer to create the directory?";
}

std::unique_ptr<TReportTxt> Language(const std::string& name, const std::string& id) {
    auto language = std::make_unique<TReportTxt>();
    language->LoadDefaults();
    language->Info.LanguageName = name;
    language->Info.LanguageID = id;
    return language;
}

std::vector<std::string> Items(const QComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i) items.push_back(combo->itemText(i).toStdString());
    return items;
}

class ExportDialogs : public ::testing::Test {
protected:
    test::TScriptedUi ui;
    test::TestFolder folder;
    TLstReportTxt languages;

    void SetUp() override {
        languages.LoadFolder("/nonexistent-languages");
        languages.Add(Language("Norsk", "no"));
        languages.Add(Language("deutsch", "de"));
        languages.Add(Language("Norsk", "nb"));
    }
};

TEST_F(ExportDialogs, ExportRefusesUnknownKindsWithoutShowing) {
    TfmExport dialog(ui, languages);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget()) {
            shown = true;
            QApplication::activeModalWidget()->close();
        }
    });
    EXPECT_FALSE(dialog.Execute(5));
    EXPECT_FALSE(dialog.Execute(0));
    QApplication::processEvents();
    EXPECT_FALSE(shown);
}

TEST_F(ExportDialogs, ExportShowsTheKindAndTheLanguages) {
    struct TCase {
        int kind;
        const char* type;
        const char* infoStart;
        bool language;
    };
    const std::vector<TCase> cases = {
        {1, "Microsoft Word Format", "Generate a Microsoft Word document that can be viewed and edited.\nIt opens in",
         true},
        {2, "HTML Format", "Generate a HTML document and images that can be viewed using a\nbrowser", true},
        {3, "CSV Format (comma separated values)", "Generate a CSV document that can be read by many", false},
        {4, "XML Format", "Generate a XML document.", false},
    };
    for (const auto& c : cases) {
        TfmExport dialog(ui, languages);
        EXPECT_EQ(dialog.windowTitle(), "Export report");
        const auto answered = WhenModal<TfmExport>([&](QDialog& shown) {
            EXPECT_EQ(Child<QLabel>(&shown, "laExportType")->text(), c.type);
            EXPECT_TRUE(Child<QLabel>(&shown, "laInfo")->text().startsWith(c.infoStart)) << c.kind;
            EXPECT_EQ(Child<QLabel>(&shown, "laFileName")->text(), "Export the report to:");
            EXPECT_EQ(Child<QPushButton>(&shown, "buBrowse")->text(), "Browse...");
            auto* combo = Child<QComboBox>(&shown, "cbLanguage");
            EXPECT_EQ(Items(combo), (std::vector<std::string>{"Default", "deutsch", "English", "Norsk"}));
            EXPECT_EQ(combo->currentText(), "Default");
            EXPECT_EQ(combo->isEnabled(), c.language);
            EXPECT_EQ(Child<QLabel>(&shown, "laLanguage")->isEnabled(), c.language);
            Click(&shown, "buCancel");
        });
        EXPECT_FALSE(dialog.Execute(c.kind));
        EXPECT_TRUE(answered->Answered);
        EXPECT_EQ(dialog.ImageIndex(), c.kind - 1);
        EXPECT_EQ(dialog.Target(), "");
    }
}

TEST_F(ExportDialogs, OnlyTheBuiltInLanguage) {
    TLstReportTxt builtIn;
    builtIn.LoadFolder("/nonexistent-languages");
    QComboBox combo;
    FillLanguageList(combo, builtIn);
    EXPECT_EQ(Items(&combo), (std::vector<std::string>{"Default", "English"}));
}

TEST_F(ExportDialogs, ExportLanguageIDOfTheChosenName) {
    TfmExport dialog(ui, languages);
    const std::string target = folder.file("report.doc");
    const auto answered = WhenModal<TfmExport>([&](QDialog& shown) {
        Child<QLineEdit>(&shown, "edFileName")->setText(QString::fromStdString(target));
        Child<QComboBox>(&shown, "cbLanguage")->setCurrentText("Norsk");
        Click(&shown, "buOK");
    });
    ASSERT_TRUE(dialog.Execute(1));
    EXPECT_EQ(dialog.Target(), target);
    EXPECT_EQ(dialog.GetLanguageID(), "no");  // the first language of that name
    Child<QComboBox>(&dialog, "cbLanguage")->setCurrentText("Default");
    EXPECT_EQ(dialog.GetLanguageID(), "default");
    Child<QComboBox>(&dialog, "cbLanguage")->setCurrentText("English");
    EXPECT_EQ(dialog.GetLanguageID(), "en");
    Child<QComboBox>(&dialog, "cbLanguage")->setEnabled(false);
    EXPECT_EQ(dialog.GetLanguageID(), "default");
}

TEST_F(ExportDialogs, ExportWantsATarget) {
    for (int kind : {2, 4}) {
        TfmExport dialog(ui, languages);
        const auto answered = WhenModal<TfmExport>([](QDialog& shown) {
            Click(&shown, "buOK");
            EXPECT_TRUE(shown.isVisible());
            Click(&shown, "buCancel");
        });
        EXPECT_FALSE(dialog.Execute(kind));
    }
    EXPECT_EQ(ui.Warnings, (std::vector<std::string>{kFolderMissing, kFileMissing}));
}

TEST_F(ExportDialogs, ExportOffersToCreateAMissingFolder) {
    const std::string html = folder.file("site/html");
    TfmExport dialog(ui, languages);
    ui.YesNoAnswers = {false, true};
    const auto answered1 = WhenModal<TfmExport>([&](QDialog& shown) {
        Child<QLineEdit>(&shown, "edFileName")->setText(QString::fromStdString(html));
        Click(&shown, "buOK");  // No: stays open, nothing made
        EXPECT_TRUE(shown.isVisible());
        EXPECT_FALSE(fs::exists(html));
        Click(&shown, "buOK");  // Yes: made with its parents
    });
    ASSERT_TRUE(dialog.Execute(2));
    EXPECT_TRUE(fs::is_directory(html));
    EXPECT_EQ(ui.Questions, (std::vector<std::string>(2, CreateQuestion(html))));
    EXPECT_EQ(dialog.Target(), html);

    // A file kind checks the folder part; an existing folder asks nothing.
    const std::string csv = folder.file("data/out.csv");
    ui.Questions.clear();
    ui.YesNoAnswers = {true};
    const auto answered2 = WhenModal<TfmExport>([&](QDialog& shown) {
        Child<QLineEdit>(&shown, "edFileName")->setText(QString::fromStdString(csv));
        Click(&shown, "buOK");
    });
    ASSERT_TRUE(dialog.Execute(3));
    EXPECT_EQ(ui.Questions, std::vector<std::string>{CreateQuestion(folder.file("data"))});
    EXPECT_TRUE(fs::is_directory(folder.file("data")));
    EXPECT_FALSE(fs::exists(csv));

    ui.Questions.clear();
    const auto answered3 = WhenModal<TfmExport>([&](QDialog& shown) {
        Child<QLineEdit>(&shown, "edFileName")->setText(QString::fromStdString(folder.file("data/other.xml")));
        Click(&shown, "buOK");
    });
    ASSERT_TRUE(dialog.Execute(4));
    EXPECT_TRUE(ui.Questions.empty());
}

TEST_F(ExportDialogs, ExportReportsAFolderItCannotCreate) {
    const std::string blocker = folder.write("blocker", "a file, not a folder");
    const std::string html = blocker + "/html";
    TfmExport dialog(ui, languages);
    ui.YesNoAnswers = {true};
    const auto answered = WhenModal<TfmExport>([&](QDialog& shown) {
        Child<QLineEdit>(&shown, "edFileName")->setText(QString::fromStdString(html));
        Click(&shown, "buOK");
        EXPECT_TRUE(shown.isVisible());
        Click(&shown, "buCancel");
    });
    EXPECT_FALSE(dialog.Execute(2));
    EXPECT_EQ(ui.Warnings, std::vector<std::string>{"There was an error creating the directory '" + html +
                                                    "'.\r\nThe disk may be full or write-protected."});
}

TEST_F(ExportDialogs, ExportOffersTheFolderTheDateMacrosName) {
    const std::string templ = folder.file("%yyyy%/report.csv");
    TfmExport dialog(ui, languages);
    ui.YesNoAnswers = {true};
    const auto answered = WhenModal<TfmExport>([&](QDialog& shown) {
        Child<QLineEdit>(&shown, "edFileName")->setText(QString::fromStdString(templ));
        Click(&shown, "buOK");
    });
    ASSERT_TRUE(dialog.Execute(3));
    const std::string expanded = fs::path(ExpandDateMacros(templ)).parent_path().string();
    EXPECT_EQ(ui.Questions, std::vector<std::string>{CreateQuestion(expanded)});
    EXPECT_TRUE(fs::is_directory(expanded));
    EXPECT_FALSE(fs::exists(folder.file("%yyyy%")));
    EXPECT_EQ(dialog.Target(), templ);  // the run expands it
}

TEST_F(ExportDialogs, BrowseFillsTheTarget) {
    TfmExport dialog(ui, languages);
    ui.FileAnswers = {std::string("/chosen/folder"), std::nullopt, std::string("/chosen/name"),
                      std::string("/chosen/name.txt")};
    std::vector<std::string> targets;
    // Browses twice, then cancels.
    auto browseTwice = [&targets](QDialog& shown) {
        for (int i = 0; i < 2; ++i) {
            Click(&shown, "buBrowse");
            targets.push_back(Child<QLineEdit>(&shown, "edFileName")->text().toStdString());
        }
        Click(&shown, "buCancel");
    };
    const auto answered1 = WhenModal<TfmExport>(browseTwice);
    dialog.Execute(2);  // the second folder dialog is cancelled: unchanged
    const auto answered2 = WhenModal<TfmExport>(browseTwice);
    dialog.Execute(3);
    EXPECT_EQ(targets,
              (std::vector<std::string>{"/chosen/folder", "/chosen/folder", "/chosen/name.csv", "/chosen/name.txt"}));
}

// ---- Automatic export options ---------------------------------------------------------------

struct TAutoExport {
    std::uint8_t Kind = 0;
    std::string FileName;
    std::string LanguageID;
};

TEST_F(ExportDialogs, ExportAutoShowsAndStoresTheSettings) {
    TfmExportAuto dialog(ui, languages);
    EXPECT_EQ(dialog.windowTitle(), "Export Options");
    EXPECT_EQ(Child<QRadioButton>(&dialog, "rbWord")->text(), "Microsoft Word Format");
    EXPECT_EQ(Child<QLabel>(&dialog, "laInfo")->text(), "You can choose between these file formats:");
    TAutoExport value{1, "/out/report.doc", "de"};
    const auto answered = WhenModal<TfmExportAuto>([](QDialog& shown) {
        EXPECT_TRUE(Child<QRadioButton>(&shown, "rbWord")->isChecked());
        EXPECT_EQ(Child<QComboBox>(&shown, "cbLanguage")->currentText(), "deutsch");
        Child<QComboBox>(&shown, "cbLanguage")->setCurrentText("English");
        Click(&shown, "rbHTML");
        Child<QLineEdit>(&shown, "edExportFile")->setText("/out/html");
        Click(&shown, "buOK");
    });
    ASSERT_EQ(dialog.Execute(value.Kind, value.FileName, value.LanguageID), QDialog::Accepted);
    EXPECT_EQ(value.Kind, 2);
    EXPECT_EQ(value.FileName, "/out/html");
    EXPECT_EQ(value.LanguageID, "en");
}

TEST_F(ExportDialogs, ExportAutoLanguageFollowsTheFormat) {
    TfmExportAuto dialog(ui, languages);
    TAutoExport value{4, "/out/x.xml", "default"};
    const auto answered = WhenModal<TfmExportAuto>([](QDialog& shown) {
        auto* combo = Child<QComboBox>(&shown, "cbLanguage");
        EXPECT_FALSE(combo->isEnabled());
        EXPECT_EQ(combo->currentIndex(), 0);
        Click(&shown, "rbHTML");
        EXPECT_TRUE(combo->isEnabled());
        EXPECT_TRUE(Child<QLabel>(&shown, "laLanguage")->isEnabled());
        combo->setCurrentText("Norsk");
        Click(&shown, "rbCSV");
        EXPECT_FALSE(combo->isEnabled());
        Click(&shown, "buOK");
    });
    ASSERT_EQ(dialog.Execute(value.Kind, value.FileName, value.LanguageID), QDialog::Accepted);
    EXPECT_EQ(value.Kind, 3);
    EXPECT_EQ(value.LanguageID, "default");  // disabled for CSV
}

TEST_F(ExportDialogs, ExportAutoWithALanguageThatIsGone) {
    TfmExportAuto dialog(ui, languages);
    TAutoExport value{2, "/out/html", "xx"};
    const auto answered = WhenModal<TfmExportAuto>([](QDialog& shown) {
        EXPECT_EQ(Child<QComboBox>(&shown, "cbLanguage")->currentIndex(), -1);
        Click(&shown, "buOK");
    });
    ASSERT_EQ(dialog.Execute(value.Kind, value.FileName, value.LanguageID), QDialog::Accepted);
    EXPECT_EQ(value.LanguageID, "default");
}

TEST_F(ExportDialogs, ExportAutoCancelKeepsTheValues) {
    TfmExportAuto dialog(ui, languages);
    TAutoExport value{9, "", ""};
    const auto answered = WhenModal<TfmExportAuto>([](QDialog& shown) {
        EXPECT_TRUE(Child<QRadioButton>(&shown, "rbHTML")->isChecked());
        Click(&shown, "buOK");  // empty target
        EXPECT_TRUE(shown.isVisible());
        Click(&shown, "rbXML");
        Click(&shown, "buOK");
        Click(&shown, "buCancel");
    });
    EXPECT_EQ(dialog.Execute(value.Kind, value.FileName, value.LanguageID), QDialog::Rejected);
    EXPECT_EQ(value.Kind, 9);
    EXPECT_EQ(value.FileName, "");
    EXPECT_EQ(value.LanguageID, "default");
    EXPECT_EQ(ui.Warnings, (std::vector<std::string>{kFolderMissing, kFileMissing}));
}

// The Word export writes Office Open XML: Browse offers and names .docx, and a name typed
// with another extension stays as typed.
TEST_F(ExportDialogs, WordTargetIsADocx) {
    const std::string filter = "Word documents (*.docx)|*.docx|All files (*.*)|*.*";
    TfmExport dialog(ui, languages);
    ui.FileAnswers = {std::string("/w/report"), std::string("/w/old.doc")};
    std::vector<std::string> targets;
    const auto answered = WhenModal<TfmExport>([&](QDialog& shown) {
        EXPECT_TRUE(Child<QLabel>(&shown, "laInfo")->text().contains("Word 2007 or later and in LibreOffice"));
        EXPECT_FALSE(Child<QLabel>(&shown, "laInfo")->text().contains("Requires"));
        for (int i = 0; i < 2; ++i) {
            Click(&shown, "buBrowse");
            targets.push_back(Child<QLineEdit>(&shown, "edFileName")->text().toStdString());
        }
        Click(&shown, "buCancel");
    });
    dialog.Execute(1);
    ASSERT_TRUE(answered->Answered);
    EXPECT_EQ(targets, (std::vector<std::string>{"/w/report.docx", "/w/old.doc"}));
    ASSERT_EQ(ui.FileRequests.size(), 2u);
    EXPECT_EQ(ui.FileRequests[0].Filter, filter);

    // The automatic export's Browse alike.
    TfmExportAuto automatic(ui, languages);
    std::uint8_t kind = 1;
    std::string target;
    std::string language = "default";
    ui.FileAnswers = {std::string("/a/auto")};
    const auto answeredAuto = WhenModal<TfmExportAuto>([&](QDialog& shown) {
        Click(&shown, "buBrowse");
        Click(&shown, "buOK");
    });
    automatic.Execute(kind, target, language);
    ASSERT_TRUE(answeredAuto->Answered);
    EXPECT_EQ(target, "/a/auto.docx");
    EXPECT_EQ(ui.FileRequests.back().Filter, filter);
}

TEST_F(ExportDialogs, ExportAutoBrowseByFormat) {
    TfmExportAuto dialog(ui, languages);
    TAutoExport value{1, "", "default"};
    ui.FileAnswers = {std::string("/w/report"), std::string("/h/folder")};
    const auto answered = WhenModal<TfmExportAuto>([](QDialog& shown) {
        Click(&shown, "buBrowse");
        EXPECT_EQ(Child<QLineEdit>(&shown, "edExportFile")->text(), "/w/report.docx");
        Click(&shown, "rbHTML");
        Click(&shown, "buBrowse");
        EXPECT_EQ(Child<QLineEdit>(&shown, "edExportFile")->text(), "/h/folder");
        Click(&shown, "buCancel");
    });
    dialog.Execute(value.Kind, value.FileName, value.LanguageID);
    EXPECT_TRUE(ui.FileAnswers.empty());
}

// ---- Word notice ----------------------------------------------------------------------------

TEST_F(ExportDialogs, ConfirmWordTextsAndResult) {
    TfmConfirmWord dialog;
    EXPECT_EQ(dialog.windowTitle(), "Analyzing");
    EXPECT_TRUE(Child<QLabel>(&dialog, "laConfirm")
                    ->text()
                    .startsWith("If your macro security level for MS Word is set to \"High\" the macro\nneeded"));
    EXPECT_EQ(Child<QCheckBox>(&dialog, "cbNoShow")->text(), "Don't show this dialog again");
    Child<QCheckBox>(&dialog, "cbNoShow")->setChecked(true);
    bool noShow = true;
    const auto answered = WhenModal<TfmConfirmWord>([](QDialog& shown) {
        EXPECT_FALSE(Child<QCheckBox>(&shown, "cbNoShow")->isChecked());  // unticked on every show
        Click(&shown, "buYes");
    });
    EXPECT_EQ(dialog.Execute(noShow), QDialog::Accepted);
    EXPECT_FALSE(noShow);
}

TEST_F(ExportDialogs, WordNoticeSwitch) {
    TRegData reg(folder.file("settings.ini"));
    ASSERT_TRUE(reg.WordExport);

    // Silent runs ask nothing.
    EXPECT_TRUE(ConfirmWordExport(reg, true));
    EXPECT_TRUE(reg.WordExport);

    // Yes without the tick: goes on, the notice stays.
    const auto answeredYes = WhenModal<TfmConfirmWord>([](QDialog& shown) { Click(&shown, "buYes"); });
    EXPECT_TRUE(ConfirmWordExport(reg, false));
    EXPECT_TRUE(answeredYes->Answered);
    EXPECT_TRUE(reg.WordExport);

    // No with the tick: stops, and the notice is off all the same.
    const auto answeredNo = WhenModal<TfmConfirmWord>([](QDialog& shown) {
        Child<QCheckBox>(&shown, "cbNoShow")->setChecked(true);
        Click(&shown, "buNo");
    });
    EXPECT_FALSE(ConfirmWordExport(reg, false));
    EXPECT_FALSE(reg.WordExport);

    // Switched off: no notice, the export goes on.
    EXPECT_TRUE(ConfirmWordExport(reg, false));
}

}  // namespace
}  // namespace brindle

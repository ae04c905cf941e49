#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/Options_u.h"
#include "core/ReportTxt_u.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"
#include "tests/ui/DialogDriver.h"
#include "ui/OptionsDtl_fm.h"
#include "ui/Options_f.h"

namespace brindle {
namespace {

using test::ReadFileBytes;
using test::WhenModal;

std::unique_ptr<TReportTxt> Language(const char* name, const char* id, const char* version = "1.0") {
    auto language = std::make_unique<TReportTxt>(BuiltInReportTxt());
    language->Info.LanguageName = name;
    language->Info.LanguageID = id;
    language->Info.Version = version;
    return language;
}

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest() {
        options.LoadDefaults();
        languages.Add(std::make_unique<TReportTxt>(BuiltInReportTxt()));
        languages.Add(Language("Français", "fr"));
        languages.Add(Language("Deutsch", "de"));
        languages.Add(Language("Deutsch", "de-2"));
    }

    TfmOptions& Open() {
        dialog = std::make_unique<TfmOptions>(options, optionsFile, languages, ui);
        dialog->Prepare(dnsFile);
        return *dialog;
    }

    template <class T>
    T* Find(const char* name) {
        T* widget = dialog->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    void Select(const char* list, std::initializer_list<int> rows) {
        QTreeWidget* view = Find<QTreeWidget>(list);
        view->clearSelection();
        for (const int row : rows) view->topLevelItem(row)->setSelected(true);
    }
    std::vector<int> SelectedRows(const char* list) {
        std::vector<int> rows;
        QTreeWidget* view = Find<QTreeWidget>(list);
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            if (view->topLevelItem(i)->isSelected()) rows.push_back(i);
        return rows;
    }
    QStringList RowTexts(const char* list, int row) {
        QTreeWidgetItem* item = Find<QTreeWidget>(list)->topLevelItem(row);
        QStringList texts;
        for (int column = 0; column < item->columnCount(); ++column) texts << item->text(column);
        return texts;
    }
    void PressKey(const char* list, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(Find<QTreeWidget>(list), &event);
    }
    void SetSeparator(const char* text) { Find<QComboBox>("cbCSVSeparator")->setEditText(QString::fromUtf8(text)); }

    test::TestFolder folder;
    std::string optionsFile = folder.file("Options.xml");
    std::string dnsFile = folder.file("dns.dat");
    TOptions options;
    TLstReportTxt languages;
    test::TScriptedUi ui;
    std::unique_ptr<TfmOptions> dialog;
};

TEST_F(OptionsDialogTest, PagesInOrderWithTheFirstShown) {
    Open();
    QTabWidget* pc = Find<QTabWidget>("pc");
    QStringList captions;
    for (int i = 0; i < pc->count(); ++i) captions << pc->tabText(i);
    EXPECT_EQ(captions, (QStringList{"Operating Systems", "Browsers", "Spiders", "Search Engines", "Files", "DNS",
                                     "Export", "Misc"}));
    EXPECT_EQ(pc->currentWidget()->objectName(), "tsOS");
    EXPECT_EQ(Find<QTreeWidget>("lvOS")->topLevelItemCount(), 23);
    EXPECT_EQ(Find<QTreeWidget>("lvFileExt")->topLevelItemCount(), 92);
    EXPECT_EQ(RowTexts("lvSE", 0).size(), 5);
    EXPECT_EQ(RowTexts("lvOS", 0).at(1).toStdString(), options.OSs[0].Name);
}

TEST_F(OptionsDialogTest, CancelLeavesTheOptionsAndTheFileAlone) {
    const TOptions before = options;
    Open();
    Select("lvOS", {0, 1, 2});
    Trigger("acOSDel");
    Find<QSpinBox>("udDNSThread")->setValue(7);
    Find<QCheckBox>("cbShowGridLines")->setChecked(true);
    EXPECT_EQ(dialog->Working().OSs.Count(), 20u);
    Find<QPushButton>("buCancel")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(options, before);
    EXPECT_EQ(ReadFileBytes(optionsFile), "");

    // The rows are back the next time the dialog opens.
    Open();
    EXPECT_EQ(Find<QTreeWidget>("lvOS")->topLevelItemCount(), 23);
}

TEST_F(OptionsDialogTest, OkStoresEveryPageAndSavesTheFile) {
    Open();
    Select("lvBrowser", {0});
    Trigger("acBrowserDel");
    Find<QSpinBox>("udDNSThread")->setValue(50);
    Find<QSpinBox>("udDNSCache")->setValue(10);
    Find<QSpinBox>("udDNSTimeout")->setValue(2000);
    Find<QCheckBox>("cbDNSAskBefore")->setChecked(false);
    Find<QComboBox>("cbLanguage")->setCurrentText("Français");
    Find<QLineEdit>("edMSWordAuthor")->setText("Ann");
    Find<QLineEdit>("edMSWordCompany")->setText("Corvane");
    Find<QCheckBox>("cbMSWordPageBreak")->setChecked(false);
    Find<QCheckBox>("cbHTMLDescription")->setChecked(false);
    SetSeparator(";");
    Find<QCheckBox>("cbRemoveTxtQuestionRequestURL")->setChecked(false);
    Find<QCheckBox>("cbConvertLowerCaseReferrerURL")->setChecked(true);
    Find<QCheckBox>("cbShowEmptyReport")->setChecked(true);
    Find<QSpinBox>("udVisSes")->setValue(45);

    TOptions expected = options;
    expected.Browsers.Remove(0);
    expected.NbThread = 50;
    expected.CacheDays = 10;
    expected.Timeout = 2000;
    expected.AskBefore = 0;
    expected.Export.LanguageID = "fr";
    expected.Export.MSWordAuthor = "Ann";
    expected.Export.MSWordCompany = "Corvane";
    expected.Export.MSWordPageBreak = 0;
    expected.Export.HTMLDescription = 0;
    expected.Export.CSVSeparatorType = 3;
    expected.RemoveTxtQuestionRequestURL = 0;
    expected.ConvertLowerCaseReferrerURL = 1;
    expected.ShowEmptyReports = 1;
    expected.SessionLength = 45;

    Find<QPushButton>("buOK")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(options, expected);
    EXPECT_TRUE(ui.Errors.empty());
    TOptions saved;
    ASSERT_TRUE(saved.LoadFromFile(optionsFile));
    saved.Description = expected.Description;
    saved.Ver = expected.Ver;
    EXPECT_EQ(saved, expected);
}

TEST_F(OptionsDialogTest, SaveFailureIsReported) {
    optionsFile = folder.file("missing/Options.xml");
    Open();
    Find<QSpinBox>("udVisSes")->setValue(12);
    dialog->accept();
    EXPECT_EQ(options.SessionLength, 12);
    EXPECT_EQ(ui.Errors, std::vector<std::string>{"Could not save the file '" + optionsFile + "'."});
}

TEST_F(OptionsDialogTest, SeparatorByNameOrAsTyped) {
    const struct {
        const char* Text;
        int Type;
        const char* Char;
    } cases[] = {
        {";", 3, ""}, {"|", 0, "|"},     {"Tab", 4, ""}, {",", 2, ""}, {"System default", 1, ""},
        {"", 0, ""},  {"tab", 0, "tab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        options.Export.CSVSeparatorType = 0;
        options.Export.CSVSeparatorChar = "x";
        Open();
        SetSeparator(c.Text);
        dialog->accept();
        EXPECT_EQ(options.Export.CSVSeparatorType, c.Type);
        EXPECT_EQ(options.Export.CSVSeparatorChar, c.Char);
    }

    const struct {
        int Type;
        const char* Char;
        const char* Shown;
    } shown[] = {{0, "|", "|"}, {3, "", ";"}, {4, "junk", "Tab"}, {9, "", "System default"}};
    for (const auto& c : shown) {
        options.Export.CSVSeparatorType = c.Type;
        options.Export.CSVSeparatorChar = c.Char;
        Open();
        EXPECT_EQ(Find<QComboBox>("cbCSVSeparator")->currentText().toStdString(), c.Shown);
    }
}

TEST_F(OptionsDialogTest, ExportLanguageByName) {
    options.Export.LanguageID = "fr";
    Open();
    QComboBox* list = Find<QComboBox>("cbLanguage");
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
    EXPECT_EQ(names, (QStringList{"Deutsch", "English", "Français"}));
    EXPECT_EQ(list->currentText(), "Français");
    list->setCurrentText("Deutsch");
    dialog->accept();
    EXPECT_EQ(options.Export.LanguageID, "de");

    // An id of no loaded language selects nothing and is kept.
    options.Export.LanguageID = "xx";
    Open();
    EXPECT_EQ(Find<QComboBox>("cbLanguage")->currentIndex(), -1);
    dialog->accept();
    EXPECT_EQ(options.Export.LanguageID, "xx");
}

TEST_F(OptionsDialogTest, SpinValuesStayInTheirRanges) {
    options.NbThread = 5000;
    options.CacheDays = 0;
    options.Timeout = 50;
    options.SessionLength = -5;
    Open();
    dialog->accept();
    EXPECT_EQ(options.NbThread, 1000);
    EXPECT_EQ(options.CacheDays, 1);
    EXPECT_EQ(options.Timeout, 100);
    EXPECT_EQ(options.SessionLength, 0);
}

TEST_F(OptionsDialogTest, AddAppendsAndSelectsTheNewRowOnlyOnOk) {
    Open();
    Select("lvOS", {3});
    auto answered1 = WhenModal<TfmOSDtl>([](TfmOSDtl& entry) {
        EXPECT_EQ(entry.windowTitle(), "Edit Operating Systems");
        entry.findChild<QLineEdit*>("edID")->setText("Haiku");
        entry.findChild<QLineEdit*>("edName")->setText("Haiku OS");
        entry.buOK()->click();
    });
    Trigger("acOSAdd");
    EXPECT_TRUE(answered1->Answered);
    ASSERT_EQ(dialog->Working().OSs.Count(), 24u);
    EXPECT_EQ(dialog->Working().OSs[23], (TRecOSType{"Haiku", "Haiku OS"}));
    EXPECT_EQ(RowTexts("lvOS", 23), (QStringList{"Haiku", "Haiku OS"}));
    EXPECT_EQ(SelectedRows("lvOS"), std::vector<int>{23});

    auto answered2 = WhenModal<TfmOSDtl>([](TfmOSDtl& entry) {
        entry.findChild<QLineEdit*>("edID")->setText("Dropped");
        entry.buCancel()->click();
    });
    Trigger("acOSAdd");
    EXPECT_TRUE(answered2->Answered);
    EXPECT_EQ(dialog->Working().OSs.Count(), 24u);
    EXPECT_EQ(Find<QTreeWidget>("lvOS")->topLevelItemCount(), 24);

    // A new extension whose kind was not chosen has kind 0 and shows no type.
    auto answered3 = WhenModal<TfmFileExtDtl>([](TfmFileExtDtl& entry) {
        EXPECT_EQ(entry.findChild<QComboBox*>("cbFileType")->currentIndex(), -1);
        entry.findChild<QLineEdit*>("edExt")->setText("xyz");
        entry.buOK()->click();
    });
    Trigger("acFileExtAdd");
    EXPECT_TRUE(answered3->Answered);
    EXPECT_EQ(dialog->Working().Files[92], (TRecFileExt{"xyz", 0}));
    EXPECT_EQ(RowTexts("lvFileExt", 92), (QStringList{"xyz", ""}));
}

TEST_F(OptionsDialogTest, IdColumnShowsEveryIdInFull) {
    Open();
    auto idsFit = [this](const char* name) {
        QTreeWidget* list = Find<QTreeWidget>(name);
        const QFontMetrics metrics(list->font());
        int longest = 0;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            longest = std::max(longest, metrics.horizontalAdvance(list->topLevelItem(i)->text(0)));
        return list->columnWidth(0) > longest;
    };
    for (const char* name : {"lvOS", "lvBrowser", "lvSpider", "lvSE", "lvFileExt"}) EXPECT_TRUE(idsFit(name)) << name;

    // A longer ID added later widens the column too.
    auto answered = WhenModal<TfmOSDtl>([](TfmOSDtl& entry) {
        entry.findChild<QLineEdit*>("edID")->setText("An operating system ID much longer than any built in");
        entry.findChild<QLineEdit*>("edName")->setText("Long");
        entry.buOK()->click();
    });
    Trigger("acOSAdd");
    EXPECT_TRUE(answered->Answered);
    EXPECT_TRUE(idsFit("lvOS"));
}

TEST_F(OptionsDialogTest, EditChangesTheRecordAndRefreshesItsRow) {
    Open();
    Select("lvSE", {2});
    const TRecSEType before = dialog->Working().SEs[2];
    auto answered4 = WhenModal<TfmSEDtl>([&before](TfmSEDtl& entry) {
        EXPECT_EQ(entry.findChild<QLineEdit*>("edID")->text().toStdString(), before.ID);
        entry.findChild<QLineEdit*>("edQuery2")->setText("p=");
        entry.findChild<QLineEdit*>("edName")->setText("Renamed");
        entry.buOK()->click();
    });
    Trigger("acSEEdit");
    EXPECT_TRUE(answered4->Answered);
    TRecSEType after = before;
    after.Query2 = "p=";
    after.Name = "Renamed";
    EXPECT_EQ(dialog->Working().SEs[2], after);
    EXPECT_EQ(RowTexts("lvSE", 2).at(2), "p=");
    EXPECT_EQ(RowTexts("lvSE", 2).at(4), "Renamed");

    // A double click edits the one selected row; Cancel keeps it.
    Select("lvSpider", {1});
    const TRecSpiderType spider = dialog->Working().Spiders[1];
    auto answered5 = WhenModal<TfmSpiderDtl>([](TfmSpiderDtl& entry) {
        entry.findChild<QLineEdit*>("edName")->setText("Nobody");
        entry.buCancel()->click();
    });
    QTreeWidget* spiders = Find<QTreeWidget>("lvSpider");
    emit spiders->itemDoubleClicked(spiders->topLevelItem(1), 0);
    EXPECT_TRUE(answered5->Answered);
    EXPECT_EQ(dialog->Working().Spiders[1], spider);
}

TEST_F(OptionsDialogTest, DeleteTakesEverySelectedRecord) {
    Open();
    TLstBrowserType expected = dialog->Working().Browsers;
    expected.Remove(7);
    expected.Remove(5);
    expected.Remove(0);
    Select("lvBrowser", {0, 5, 7});
    Trigger("acBrowserDel");
    EXPECT_EQ(dialog->Working().Browsers, expected);
    EXPECT_EQ(Find<QTreeWidget>("lvBrowser")->topLevelItemCount(), 35);
    EXPECT_EQ(RowTexts("lvBrowser", 0).at(0).toStdString(), expected[0].ID);

    // The Delete key with nothing selected does nothing; with a selection it deletes.
    Find<QTreeWidget>("lvBrowser")->clearSelection();
    PressKey("lvBrowser", Qt::Key_Delete);
    EXPECT_EQ(dialog->Working().Browsers.Count(), 35u);
    Select("lvBrowser", {1});
    PressKey("lvBrowser", Qt::Key_Delete);
    EXPECT_EQ(dialog->Working().Browsers.Count(), 34u);

    // The Insert key adds, whatever is selected.
    auto answered6 = WhenModal<TfmBrowserDtl>([](TfmBrowserDtl& entry) { entry.buCancel()->click(); });
    Select("lvBrowser", {0, 1});
    PressKey("lvBrowser", Qt::Key_Insert);
    EXPECT_TRUE(answered6->Answered);
    EXPECT_EQ(dialog->Working().Browsers.Count(), 34u);
}

TEST_F(OptionsDialogTest, EditNeedsOneRowAndDeleteAtLeastOne) {
    Open();
    QAction* edit = Find<QAction>("acFileExtEdit");
    QAction* del = Find<QAction>("acFileExtDel");
    const struct {
        std::initializer_list<int> Rows;
        bool Edit;
        bool Del;
    } cases[] = {{{}, false, false}, {{4}, true, true}, {{4, 9}, false, true}};
    for (const auto& c : cases) {
        Select("lvFileExt", c.Rows);
        EXPECT_EQ(edit->isEnabled(), c.Edit);
        EXPECT_EQ(del->isEnabled(), c.Del);
    }
    Select("lvFileExt", {0});
    EXPECT_TRUE(Find<QPushButton>("buFileExtEdit")->isEnabled());

    options.OSs.Clear();
    Open();
    EXPECT_FALSE(Find<QAction>("acOSEdit")->isEnabled());
    EXPECT_FALSE(Find<QAction>("acOSDel")->isEnabled());
    EXPECT_TRUE(Find<QAction>("acOSAdd")->isEnabled());
}

TEST_F(OptionsDialogTest, ClearDnsCacheAsksFirstAndEmptiesTheFileAtOnce) {
    const std::string before = folder.write("dns.dat", std::string("\x02\x00\x00\x00somebytes", 13));
    Open();
    ui.YesNoAnswers = {false, true};
    Find<QPushButton>("buDNSClear")->click();
    EXPECT_EQ(ReadFileBytes(dnsFile).size(), 13u);
    Find<QPushButton>("buDNSClear")->click();
    EXPECT_EQ(ReadFileBytes(dnsFile), std::string(4, '\0'));
    EXPECT_EQ(ui.Questions, (std::vector<std::string>(2, "Are you sure you want to clear the DNS Cache ?")));
    dialog->reject();
    EXPECT_EQ(ReadFileBytes(dnsFile), std::string(4, '\0'));
    EXPECT_TRUE(ui.Errors.empty());

    dnsFile = folder.file("no/such/folder/dns.dat");
    Open();
    ui.YesNoAnswers = {true};
    dialog->ClearDnsCache();
    EXPECT_EQ(ui.Errors, std::vector<std::string>{"Could not save the file '" + dnsFile + "'."});
}

TEST(OptionsEntryDialogTest, TitlesAndFields) {
    TfmOSDtl os;
    TfmBrowserDtl browser;
    TfmSpiderDtl spider;
    TfmSEDtl se;
    TfmFileExtDtl ext;
    EXPECT_EQ(os.windowTitle(), "Edit Operating Systems");
    EXPECT_EQ(browser.windowTitle(), "Edit Browsers");
    EXPECT_EQ(spider.windowTitle(), "Edit Spiders");
    EXPECT_EQ(se.windowTitle(), "Edit Search Engines");
    EXPECT_EQ(ext.windowTitle(), "Edit Files Extensions");

    QComboBox* kinds = ext.findChild<QComboBox*>("cbFileType");
    ASSERT_NE(kinds, nullptr);
    QStringList names;
    for (int i = 0; i < kinds->count(); ++i) names << kinds->itemText(i);
    EXPECT_EQ(names, (QStringList{"audio", "document", "file", "image", "video"}));
    const struct {
        std::uint8_t Kind;
        int Row;
    } cases[] = {{0, -1}, {1, 0}, {2, 1}, {4, 3}, {5, 4}, {9, -1}};
    for (const auto& c : cases) {
        ext.LoadRecord({"x", c.Kind});
        EXPECT_EQ(kinds->currentIndex(), c.Row) << int(c.Kind);
        TRecFileExt stored;
        ext.SaveRecord(stored);
        EXPECT_EQ(stored.FileType, c.Row < 0 ? 0 : c.Row + 1);
    }

    TRecSEType engine{"google.", "q=", "", "as_q=", "Google"};
    se.LoadRecord(engine);
    TRecSEType back;
    se.SaveRecord(back);
    EXPECT_EQ(back, engine);
}

TEST(OptionsEntryDialogTest, CancelLeavesTheRecord) {
    TfmBrowserDtl dialog;
    TRecBrowserType rec{"Opera", "Opera"};
    auto answered7 = WhenModal<TfmBrowserDtl>([](TfmBrowserDtl& entry) {
        entry.findChild<QLineEdit*>("edName")->setText("Changed");
        entry.buCancel()->click();
    });
    EXPECT_EQ(dialog.Execute(rec), QDialog::Rejected);
    EXPECT_TRUE(answered7->Answered);
    EXPECT_EQ(rec, (TRecBrowserType{"Opera", "Opera"}));

    auto answered8 = WhenModal<TfmBrowserDtl>([](TfmBrowserDtl& entry) {
        entry.findChild<QLineEdit*>("edID")->setText("");
        entry.buOK()->click();
    });
    EXPECT_EQ(dialog.Execute(rec), QDialog::Accepted);
    EXPECT_TRUE(answered8->Answered);
    EXPECT_EQ(rec, (TRecBrowserType{"", "Opera"}));
}

}  // namespace
}  // namespace brindle

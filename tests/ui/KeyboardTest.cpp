// The main window's keys: standard shortcuts, Delete and Enter on the profile list, the row
// selected after the wizard, and what Save proposes. Keys go through QtTest's key clicks,
// which pass the shortcut map as a real key press does.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <string>
#include <vector>

#include "MainWindowFixture.h"

namespace brindle {
namespace {

using test::MainWindowFixture;

const std::string kDeleteQuestion = "Are you sure you want to delete the selected profile(s) ?";

class KeyboardTest : public MainWindowFixture {
protected:
    QTreeView* List() const { return Child<QTreeView>("vtProfiles"); }

    // The window shown and active, so that its shortcuts answer.
    void ShowActive() {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::vector<std::string> Selected() const {
        std::vector<std::string> names;
        for (const QModelIndex& index : List()->selectionModel()->selectedRows())
            names.push_back(index.data().toString().toStdString());
        return names;
    }
    bool Listed(const std::string& name) const {
        for (int row = 0; row < List()->model()->rowCount(); ++row)
            if (List()->model()->index(row, 0).data().toString().toStdString() == name) return true;
        return false;
    }
};

TEST_F(KeyboardTest, StandardKeysRunTheirActions) {
    Start();
    ShowActive();
    QTest::keySequence(window.get(), QKeySequence::HelpContents);
    EXPECT_EQ(ui.HelpTopics, std::vector<std::string>{""});

    Generate("Sample1");
    ASSERT_EQ(Child<QTabWidget>("pc")->currentWidget(), Child<QWidget>("tsReport"));
    ShowActive();  // the progress window had it meanwhile
    QTest::keySequence(window.get(), QKeySequence::Open);
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    EXPECT_EQ(ui.FileRequests[0].Title, "Open report");

    // Save proposes the profile's name, at first in the home folder, then where the last
    // document went.
    const std::string saved = folder.file("kept.bnl");
    ui.FileAnswers = {saved};
    QTest::keySequence(window.get(), QKeySequence::Save);
    ASSERT_EQ(ui.FileRequests.size(), 2u);
    EXPECT_EQ(ui.FileRequests[1].Title, "Save report");
    EXPECT_EQ(ui.FileRequests[1].Initial, QDir::homePath().toStdString() + "/Sample1.bnl");
    EXPECT_TRUE(std::filesystem::exists(saved));
    QTest::keySequence(window.get(), QKeySequence::Save);
    ASSERT_EQ(ui.FileRequests.size(), 3u);
    EXPECT_EQ(ui.FileRequests[2].Initial, (std::filesystem::path(saved).parent_path() / "Sample1.bnl").string());
    QTest::keySequence(window.get(), QKeySequence::Open);
    EXPECT_EQ(ui.FileRequests.back().Initial, std::filesystem::path(saved).parent_path().string());

    // Both pages quit, with no ambiguity between their two Quit actions.
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(KeyboardTest, QuitOnTheProfilePage) {
    Start();
    ShowActive();
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(KeyboardTest, MenuMnemonicOpensItsMenu) {
    Start();
    ShowActive();
    auto* menu = Child<QMenu>("miHelp");
    QTest::keyClick(window.get(), Qt::Key_H, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(KeyboardTest, DeleteAndEnterOnTheProfileList) {
    Start();
    ShowActive();
    ASSERT_TRUE(SelectProfile("Sample2"));
    List()->setFocus();

    // No keeps it, Yes deletes it: one question each.
    ui.YesNoAnswers = {false};
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(ui.Questions, std::vector<std::string>{kDeleteQuestion});
    EXPECT_TRUE(Listed("Sample2"));
    ui.YesNoAnswers = {true};
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(ui.Questions.size(), 2u);
    EXPECT_FALSE(Listed("Sample2"));
    EXPECT_EQ(profiles.Profiles.FindByName("Sample2"), nullptr);

    // Nothing selected: Delete asks nothing.
    List()->selectionModel()->clearSelection();
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(ui.Questions.size(), 2u);

    // Enter generates the selected profile, as a double click does.
    ASSERT_TRUE(SelectProfile("Sample1"));
    QTest::keyClick(List(), Qt::Key_Return);
    ASSERT_NE(window->CurrentProfile(), nullptr);
    EXPECT_EQ(window->CurrentProfile()->Name, "Sample1");
    EXPECT_EQ(Child<QTabWidget>("pc")->currentWidget(), Child<QWidget>("tsReport"));
}

TEST_F(KeyboardTest, EnterWithTwoSelectedGeneratesNothing) {
    Start();
    ShowActive();
    ASSERT_TRUE(SelectProfile("Sample1"));
    List()->selectionModel()->select(List()->model()->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(Selected().size(), 2u);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window->CurrentProfile(), nullptr);
}

TEST_F(KeyboardTest, TheWizardsNewProfileIsTheSelectedRow) {
    hooks.ProfileWizard = [](TProfile& profile, QWidget*) {
        if (profile.Name.empty()) profile.Name = "Zeta";
        return 1;
    };
    Start();
    // Sorted by name, the new profile is neither first nor where the old selection was.
    ASSERT_TRUE(SelectProfile("Sample1"));
    Action("acPRFileNew")->trigger();
    EXPECT_EQ(Selected(), std::vector<std::string>{"Zeta"});
    for (const char* name : {"acPRFileGenerate", "acPRFileEdit", "acPRFileCopy", "acPRFileDelete"})
        EXPECT_TRUE(Action(name)->isEnabled()) << name;

    ASSERT_TRUE(SelectProfile("Sample2"));
    Action("acPRFileCopy")->trigger();
    EXPECT_EQ(Selected(), std::vector<std::string>{"Copy of Sample2"});
    EXPECT_TRUE(Action("acPRFileGenerate")->isEnabled());
}

}  // namespace
}  // namespace brindle

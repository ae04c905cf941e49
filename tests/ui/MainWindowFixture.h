#pragma once
// A main window over objects of its own in a private user folder, with a scripted UI and
// hooks that record what the window asks of the views.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "engine/LogConvert_u.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"
#include "ui/CommandLine_u.h"
#include "ui/MainHooks.h"
#include "ui/Main_fm.h"
#include "ui/Progress_fm.h"

namespace brindle::test {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("BRINDLE_ANALYZER_HOME")) savedHome_ = home;
        setenv("BRINDLE_ANALYZER_HOME", folder.path().c_str(), 1);
        hooks.ShowReportList = [this](QWidget*, TReportSource&, int id) { shownLists.push_back(id); };
        hooks.BuildReportPage = [this](QWidget*, TReportSource&, const TReportSet& reports, const TReportTxt&,
                                       const std::string& page) {
            for (int id = 0; id <= TReportSet::kMaxID; ++id)
                if (reports.Contains(id)) shownPages.push_back(id);
            pageFiles.push_back(page);
        };
        hooks.ShowInfoPage = [this](QWidget*, int message, const std::string&) { infoMessages.push_back(message); };
    }

    void TearDown() override {
        window.reset();
        progress.reset();
        // A run that asked the application to exit leaves Qt's quit flag set, and every later
        // dialog in this process would then end at once: a loop of its own takes the flag.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        if (savedHome_)
            setenv("BRINDLE_ANALYZER_HOME", savedHome_->c_str(), 1);
        else
            unsetenv("BRINDLE_ANALYZER_HOME");
    }

    // The window as the program makes it, not yet shown.
    TfmMain& Open(const std::vector<std::string>& arguments = {"/s"}) { return Open(ParseCommandLine(arguments)); }
    TfmMain& Open(const TCommandLine& commandLine) {
        window = std::make_unique<TfmMain>(TMainContext{engine, profiles, options, languages, ui, DisplayFormat{}},
                                           hooks, commandLine);
        progress = std::make_unique<TfmProgress>();
        window->SetProgressDialog(progress.get());
        return *window;
    }

    // Opened and through its start-up work (silent unless told otherwise).
    TfmMain& Start(const std::vector<std::string>& arguments = {"/s"}) {
        Open(arguments);
        window->FormShow();
        return *window;
    }

    // Closes the window as the program does at its end (placement saved, Tmp emptied).
    void CloseWindow() {
        window.reset();
        progress.reset();
    }

    template <class T>
    T* Child(const char* name) const {
        return window->findChild<T*>(name);
    }
    QAction* Action(const char* name) const { return Child<QAction>(name); }
    QTreeWidget* Tree() const { return Child<QTreeWidget>("tvl"); }

    // Selects the profile of that name alone in the list; false when it is not listed.
    bool SelectProfile(const std::string& name);
    // Selects it and runs "Generate report" as the action does (through the guard).
    void Generate(const std::string& name);

    // Report ids of the tree in display order (depth first).
    std::vector<int> TreeIDs() const;

    TestFolder folder;
    TLogConvert engine;
    TProfiles profiles;
    TOptions options;
    TLstReportTxt languages;
    TScriptedUi ui;
    TMainHooks hooks;
    std::unique_ptr<TfmMain> window;
    std::unique_ptr<TfmProgress> progress;

    std::vector<int> shownLists;
    std::vector<int> shownPages;
    std::vector<std::string> pageFiles;
    std::vector<int> infoMessages;

private:
    std::optional<std::string> savedHome_;
};

inline bool MainWindowFixture::SelectProfile(const std::string& name) {
    auto* view = Child<QTreeView>("vtProfiles");
    QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString().toStdString() != name) continue;
        view->selectionModel()->setCurrentIndex(model->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    return false;
}

inline void MainWindowFixture::Generate(const std::string& name) {
    auto* pages = Child<QTabWidget>("pc");
    pages->setCurrentWidget(Child<QWidget>("tsProfiles"));
    ASSERT_TRUE(SelectProfile(name)) << name;
    ASSERT_TRUE(Action("acPRFileGenerate")->isEnabled());
    Action("acPRFileGenerate")->trigger();
}

inline std::vector<int> MainWindowFixture::TreeIDs() const {
    std::vector<int> ids;
    QTreeWidget* tree = Tree();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        ids.push_back(top->data(0, Qt::UserRole).toInt());
        for (int j = 0; j < top->childCount(); ++j) ids.push_back(top->child(j)->data(0, Qt::UserRole).toInt());
    }
    return ids;
}

}  // namespace brindle::test

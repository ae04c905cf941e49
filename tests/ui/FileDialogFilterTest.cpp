#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QLocale>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include "DialogDriver.h"
#include "support/TestFolder.h"
#include "ui/Export_fm.h"
#include "ui/QtUiServices.h"

namespace brindle {
namespace {

// The names a file dialog lists in Folder under the given filter entry, read from its view
// the way the user sees them.
QSet<QString> ListedNames(const std::string& folder, const QString& filters, int entry) {
    QFileDialog dialog(nullptr, "Open", QString::fromStdString(folder), filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* view = dialog.findChild<QListView*>("listView");
    EXPECT_NE(view, nullptr);
    QSet<QString> names;
    if (!view) return names;
    auto* model = qobject_cast<QFileSystemModel*>(view->model());
    EXPECT_NE(model, nullptr);
    if (!model) return names;
    // The file system model fills itself from a worker thread and says when a folder is in;
    // its signal comes through the event loop, so none is missed before this listens.
    const QString wanted = QDir(QString::fromStdString(folder)).canonicalPath();
    bool folderIn = false;
    QEventLoop waiting;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &waiting, [&](const QString& path) {
        if (QDir(path).canonicalPath() != wanted) return;
        folderIn = true;
        waiting.quit();
    });
    dialog.selectNameFilter(dialog.nameFilters().at(entry));
    dialog.show();
    // A generous bound only so that a broken model fails the test instead of hanging it.
    QTimer::singleShot(60000, &waiting, &QEventLoop::quit);
    if (!folderIn) waiting.exec();
    EXPECT_TRUE(folderIn) << "the dialog never listed " << folder;
    QApplication::processEvents();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) names << model->index(row, 0, root).data().toString();
    dialog.close();
    return names;
}

TEST(FileDialogFilter, EachEntryListsTheFilesItNames) {
    test::TestFolder folder;
    for (const char* name : {"a.bnl", "b.csv", "c.log", "d.txt", "README", "e.docx"}) folder.write(name, "x");
    using Names = QSet<QString>;
    const Names all{"a.bnl", "b.csv", "c.log", "d.txt", "README", "e.docx"};
    const std::string word(ExportFileType(ekWord).Filter);
    struct Case {
        const char* filter;
        Names first;
    };
    const Case cases[] = {
        {"Brindle Analyzer files (*.bnl)|*.bnl|All files (*.*)|*.*", {"a.bnl"}},
        {"CSV files (*.csv)|*.csv|All files (*.*)|*.*", {"b.csv"}},
        {"XML files (*.xml)|*.xml|All files (*.*)|*.*", {}},
        {"Log files (*.log;*.zip;*.gz;*.txt)|*.log;*.zip;*.gz;*.txt|All files (*.*)|*.*", {"c.log", "d.txt"}},
        {"Plain|*.txt|Everything|*", {"d.txt"}},
        {word.c_str(), {"e.docx"}},
    };
    for (const Case& c : cases) {
        const QString filters = TQtUiServices::ToQtFilter(c.filter);
        EXPECT_EQ(ListedNames(folder.path(), filters, 0), c.first) << c.filter << " -> " << filters.toStdString();
        EXPECT_EQ(ListedNames(folder.path(), filters, 1), all) << c.filter << " -> " << filters.toStdString();
    }
}

// The dialogs open wide enough for the Size, Type and Date columns, and a save dialog
// starts on the proposed name.
TEST(FileDialogFilter, DialogsShowTheirColumnsWhole) {
    test::TestFolder folder;
    folder.write("access.log", "x");
    TQtUiServices ui;
    struct TSeen {
        bool Checked = false;
        std::vector<int> Cut;  // columns 1..3 that end beyond the visible view
        QStringList Selected;
    };
    auto check = [](TSeen& seen) {
        return [&seen](QFileDialog& shown) {
            seen.Checked = true;
            auto* view = shown.findChild<QTreeView*>("treeView");
            ASSERT_NE(view, nullptr);
            shown.setViewMode(QFileDialog::Detail);
            QApplication::processEvents();
            const QHeaderView* header = view->header();
            const QFontMetrics metrics(header->font());
            const QString date = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
            for (int c = 1; c <= 3; ++c) {
                const bool outside =
                    header->sectionViewportPosition(c) + header->sectionSize(c) > view->viewport()->width();
                const bool narrow = c == 3 && header->sectionSize(c) < metrics.horizontalAdvance(date);
                if (outside || narrow) seen.Cut.push_back(c);
            }
            seen.Selected = shown.selectedFiles();
            shown.reject();
        };
    };
    TSeen open;
    const auto answeredOpen = test::WhenModal<QFileDialog>(check(open));
    EXPECT_EQ(ui.AskOpenFileName("Open report", "Log files (*.log)|*.log", folder.path()), std::nullopt);
    EXPECT_TRUE(open.Checked);
    EXPECT_TRUE(open.Cut.empty());

    TSeen save;
    const auto answeredSave = test::WhenModal<QFileDialog>(check(save));
    const std::string proposed = folder.file("Site.bnl");
    EXPECT_EQ(ui.AskSaveFileName("Save report", "Brindle Analyzer files (*.bnl)|*.bnl", proposed), std::nullopt);
    EXPECT_TRUE(save.Checked);
    EXPECT_TRUE(save.Cut.empty());
    ASSERT_EQ(save.Selected.size(), 1);
    EXPECT_EQ(save.Selected.front().toStdString(), proposed);
}

TEST(FileDialogFilter, DescriptionsKeepTheirWords) {
    EXPECT_EQ(TQtUiServices::ToQtFilter("Brindle Analyzer files (*.bnl)|*.bnl|All files (*.*)|*.*"),
              "Brindle Analyzer files (*.bnl);;All files (*)");
    EXPECT_EQ(TQtUiServices::ToQtFilter("Log files (*.log;*.gz)|*.log;*.gz"), "Log files (*.log *.gz)");
    EXPECT_EQ(TQtUiServices::ToQtFilter("Plain|*.txt"), "Plain (*.txt)");
}

}  // namespace
}  // namespace brindle

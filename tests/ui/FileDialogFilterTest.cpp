#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QSet>
#include <QTimer>
#include <QStringList>

#include "support/TestFolder.h"
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
    for (const char* name : {"a.bnl", "b.csv", "c.log", "d.txt", "README"}) folder.write(name, "x");
    using Names = QSet<QString>;
    const Names all{"a.bnl", "b.csv", "c.log", "d.txt", "README"};
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
    };
    for (const Case& c : cases) {
        const QString filters = TQtUiServices::ToQtFilter(c.filter);
        EXPECT_EQ(ListedNames(folder.path(), filters, 0), c.first) << c.filter << " -> " << filters.toStdString();
        EXPECT_EQ(ListedNames(folder.path(), filters, 1), all) << c.filter << " -> " << filters.toStdString();
    }
}

TEST(FileDialogFilter, DescriptionsKeepTheirWords) {
    EXPECT_EQ(TQtUiServices::ToQtFilter("Brindle Analyzer files (*.bnl)|*.bnl|All files (*.*)|*.*"),
              "Brindle Analyzer files (*.bnl);;All files (*)");
    EXPECT_EQ(TQtUiServices::ToQtFilter("Log files (*.log;*.gz)|*.log;*.gz"), "Log files (*.log *.gz)");
    EXPECT_EQ(TQtUiServices::ToQtFilter("Plain|*.txt"), "Plain (*.txt)");
}

}  // namespace
}  // namespace brindle

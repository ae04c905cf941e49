#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "FindChild.h"
#include "IconPixels.h"
#include "core/BinaryStream_u.h"
#include "core/CommonConsts_catalogue.h"
#include "core/Profiles_u.h"
#include "support/ScriptedUi.h"
#include "ui/Profile05_fr.h"
#include "ui/rchktree.h"

namespace brindle {
namespace {

using test::Child;
using test::Click;
constexpr int U = TrchkTreeView::kStateUnchecked;
constexpr int C = TrchkTreeView::kStateChecked;
constexpr int P = TrchkTreeView::kStatePartial;

// root
//   a: a1, a2
//   b: b1 (b1x, b1y), b2
struct TSmallTree {
    TrchkTreeView tree;
    QTreeWidgetItem* root;
    QTreeWidgetItem *a, *a1, *a2, *b, *b1, *b1x, *b1y, *b2;

    explicit TSmallTree(int state = U) {
        root = new QTreeWidgetItem(&tree, {"root"});
        a = new QTreeWidgetItem(root, {"a"});
        a1 = new QTreeWidgetItem(a, {"a1"});
        a2 = new QTreeWidgetItem(a, {"a2"});
        b = new QTreeWidgetItem(root, {"b"});
        b1 = new QTreeWidgetItem(b, {"b1"});
        b1x = new QTreeWidgetItem(b1, {"b1x"});
        b1y = new QTreeWidgetItem(b1, {"b1y"});
        b2 = new QTreeWidgetItem(b, {"b2"});
        for (auto* node : All()) tree.SetStateIndex(node, state);
        tree.expandAll();
    }
    std::vector<QTreeWidgetItem*> All() const { return {root, a, a1, a2, b, b1, b1x, b1y, b2}; }
    std::vector<int> States() const {
        std::vector<int> states;
        for (auto* node : All()) states.push_back(tree.StateIndex(node));
        return states;
    }
};

TEST(ChkTree, CheckingPushesDownAndRecomputesUp) {
    TSmallTree t;
    t.tree.SetStateRecursion(true);

    t.tree.SetStateIndex(t.b, C);
    EXPECT_EQ(t.States(), (std::vector<int>{P, U, U, U, C, C, C, C, C}));

    t.tree.SetStateIndex(t.b1x, U);
    EXPECT_EQ(t.States(), (std::vector<int>{P, U, U, U, P, P, U, C, C}));

    t.tree.SetStateIndex(t.b1y, U);
    t.tree.SetStateIndex(t.b2, U);
    EXPECT_EQ(t.States(), (std::vector<int>{U, U, U, U, U, U, U, U, U}));

    t.tree.SetStateIndex(t.root, C);
    EXPECT_EQ(t.States(), (std::vector<int>(9, C)));
}

TEST(ChkTree, PartialStateAndRecursionOffPropagateNothing) {
    TSmallTree t;
    t.tree.SetStateRecursion(true);
    t.tree.SetStateIndex(t.a, P);
    EXPECT_EQ(t.States(), (std::vector<int>{U, P, U, U, U, U, U, U, U}));

    TSmallTree off;
    off.tree.SetStateIndex(off.a, C);
    EXPECT_EQ(off.States(), (std::vector<int>{U, C, U, U, U, U, U, U, U}));
}

TEST(ChkTree, IgnoredStateIsNeverChangedAndStopsPropagation) {
    TSmallTree t;
    t.tree.SetStateIgnore(7);
    t.tree.SetStateIndex(t.b1, 7);  // recursion is still off
    t.tree.SetStateRecursion(true);

    t.tree.SetStateIndex(t.root, C);
    // b1 keeps its state and shields its children.
    EXPECT_EQ(t.States(), (std::vector<int>{C, C, C, C, C, 7, U, U, C}));

    // b1 is not counted when b is recomputed.
    t.tree.SetStateIndex(t.b2, U);
    EXPECT_EQ(t.tree.StateIndex(t.b), U);

    // An ignored parent stops the walk up.
    t.tree.SetStateIndex(t.b1x, C);
    EXPECT_EQ(t.tree.StateIndex(t.b1), 7);
    EXPECT_EQ(t.tree.StateIndex(t.b), U);
}

TEST(ChkTree, SwitchingRecursionOnInitialisesTheTree) {
    TSmallTree t(TrchkTreeView::kStateNone);
    t.tree.SetStateIndex(t.b1, C);
    t.tree.SetStateRecursion(true);
    // Marks appear everywhere; b1's check reaches its children and its parents.
    EXPECT_EQ(t.States(), (std::vector<int>{P, U, U, U, P, C, C, C, U}));
}

TEST(ChkTree, NodesWithoutMarkCountAsUnchecked) {
    TSmallTree t;
    t.tree.SetStateRecursion(true);
    t.tree.SetStateIndex(t.a, C);
    t.tree.SetStateIndex(t.a2, TrchkTreeView::kStateNone);  // no propagation for -1
    t.tree.SetStateIndex(t.a1, C);
    EXPECT_EQ(t.tree.StateIndex(t.a), P);
}

// The state a parent must show for its children, as the tree's rule says.
int ExpectedParentState(const TrchkTreeView& tree, const QTreeWidgetItem* parent) {
    bool unchecked = false, checked = false, partial = false;
    for (int i = 0; i < parent->childCount(); ++i) {
        const int state = tree.StateIndex(parent->child(i));
        unchecked |= state == U || state == TrchkTreeView::kStateNone;
        checked |= state == C;
        partial |= state == P;
    }
    if (unchecked && !checked && !partial) return U;
    if (checked && !unchecked && !partial) return C;
    return P;
}

TEST(ChkTree, RandomChangesKeepEveryParentConsistent) {
    std::mt19937 random(20240506);
    for (int round = 0; round < 20; ++round) {
        TrchkTreeView tree;
        std::vector<QTreeWidgetItem*> nodes;
        for (int i = 0; i < 40; ++i) {
            QTreeWidgetItem* parent = nodes.empty() || random() % 5 == 0 ? nullptr : nodes[random() % nodes.size()];
            auto* node = parent ? new QTreeWidgetItem(parent, {"n"}) : new QTreeWidgetItem(&tree, {"n"});
            tree.SetStateIndex(node, random() % 2 ? C : U);
            nodes.push_back(node);
        }
        tree.SetStateRecursion(true);
        for (int step = 0; step < 60; ++step) {
            QTreeWidgetItem* node = nodes[random() % nodes.size()];
            const int state = random() % 2 ? C : U;
            tree.SetStateIndex(node, state);
            // The whole subtree follows the node.
            std::function<void(QTreeWidgetItem*)> below = [&](QTreeWidgetItem* item) {
                for (int i = 0; i < item->childCount(); ++i) {
                    ASSERT_EQ(tree.StateIndex(item->child(i)), state);
                    below(item->child(i));
                }
            };
            below(node);
            for (QTreeWidgetItem* item : nodes) {
                if (item->childCount() > 0) {
                    ASSERT_EQ(tree.StateIndex(item), ExpectedParentState(tree, item));
                }
            }
        }
    }
}

TEST(ChkTree, StatesSaveAsLittleEndianIntegersAndLoadBack) {
    TSmallTree t;
    t.tree.SetStateRecursion(true);
    t.tree.SetStateIndex(t.b1, C);
    TBinaryWriter writer;
    t.tree.SaveStates(writer);
    const std::string expected{
        "\x03\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\0\0\x03\0\0\0\x02\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\0\0", 36};
    EXPECT_EQ(writer.Data(), expected);

    TSmallTree other;
    other.tree.SetStateRecursion(true);
    TBinaryReader reader(writer.Data());
    other.tree.LoadStates(reader);
    EXPECT_EQ(other.States(), t.States());
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ChkTree, SavingAndLoadingStopAtTheIgnoredStateOnEachLevel) {
    TSmallTree t;
    t.tree.SetStateIgnore(0);
    t.tree.SetStateIndex(t.a, 0);  // the walk of root's children stops after a
    TBinaryWriter writer;
    t.tree.SaveStates(writer);
    EXPECT_EQ(writer.Data(), std::string("\x01\0\0\0\0\0\0\0", 8));

    TSmallTree other;
    other.tree.SetStateIndex(other.b, C);
    TBinaryReader reader(writer.Data());
    other.tree.LoadStates(reader);
    EXPECT_EQ(other.tree.StateIndex(other.a), U);  // stopped at the ignored value
    EXPECT_EQ(other.tree.StateIndex(other.b), C);
}

void ClickAt(QWidget* viewport, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

void ClickStateIcon(TrchkTreeView& tree, QTreeWidgetItem* node) {
    const QRect icon = tree.StateIconRect(node);
    ASSERT_TRUE(icon.isValid());
    ClickAt(tree.viewport(), icon.center());
}

TEST(ChkTree, ClickingTheStateIconStepsTheState) {
    TSmallTree t;
    t.tree.resize(300, 400);
    t.tree.show();
    t.tree.SetStateRecursion(true);

    ClickStateIcon(t.tree, t.a);  // selects a and steps it
    EXPECT_EQ(t.tree.StateIndex(t.a), C);
    EXPECT_EQ(t.tree.StateIndex(t.a1), C);
    ClickStateIcon(t.tree, t.a);
    EXPECT_EQ(t.tree.StateIndex(t.a), U);

    t.tree.SetStateIndex(t.b1x, C);
    ASSERT_EQ(t.tree.StateIndex(t.b1), P);
    ClickStateIcon(t.tree, t.b1);  // partly checked: unchecked
    EXPECT_EQ(t.tree.StateIndex(t.b1), U);
    EXPECT_EQ(t.tree.StateIndex(t.b1x), U);

    // A click on the text selects without stepping.
    const QRect text = t.tree.visualItemRect(t.b2);
    ClickAt(t.tree.viewport(), QPoint(text.right() - 2, text.center().y()));
    EXPECT_EQ(t.tree.currentItem(), t.b2);
    EXPECT_EQ(t.tree.StateIndex(t.b2), U);

    t.tree.SetStateRecursion(false);
    ClickStateIcon(t.tree, t.b2);
    EXPECT_EQ(t.tree.StateIndex(t.b2), U);
}

TEST(ChkTree, SpaceStepsTheFocusedNode) {
    TSmallTree t;
    t.tree.resize(300, 400);
    t.tree.show();
    t.tree.SetStateRecursion(true);
    auto space = [&t] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
        QApplication::sendEvent(&t.tree, &press);
    };

    t.tree.setCurrentItem(t.a);
    space();
    EXPECT_EQ(t.tree.StateIndex(t.a), C);
    EXPECT_EQ(t.tree.StateIndex(t.a1), C);
    space();
    EXPECT_EQ(t.tree.StateIndex(t.a), U);
    EXPECT_EQ(t.tree.StateIndex(t.a1), U);

    t.tree.SetStateIndex(t.b1x, C);
    t.tree.setCurrentItem(t.b1);
    ASSERT_EQ(t.tree.StateIndex(t.b1), P);
    space();  // partly checked: unchecked
    EXPECT_EQ(t.tree.StateIndex(t.b1), U);
    EXPECT_EQ(t.tree.StateIndex(t.b1x), U);
    EXPECT_EQ(t.tree.currentItem(), t.b1);

    t.tree.SetStateRecursion(false);
    space();
    EXPECT_EQ(t.tree.StateIndex(t.b1), U);
}

// ---- The "Views" page ----------------------------------------------------------------------

class ViewsPage : public ::testing::Test {
protected:
    test::TScriptedUi ui;
    TfrProfile05 page{ui};

    void SetUp() override {
        page.resize(500, 600);
        page.Init();
    }
    void TearDown() override { page.Done(); }

    QTreeWidgetItem* Node(const std::string& title) const {
        for (QTreeWidgetItem* node = page.Tree()->FirstNode(); node; node = page.Tree()->NextNode(node))
            if (node->text(0).toStdString() == title && TfrProfile05::LeafKind(node) == TfrProfile05::lkNone)
                return node;
        ADD_FAILURE() << "no node " << title;
        return nullptr;
    }
    static QTreeWidgetItem* Leaf(QTreeWidgetItem* report, TfrProfile05::TLeafKind kind) {
        for (int i = 0; i < report->childCount(); ++i)
            if (TfrProfile05::LeafKind(report->child(i)) == kind) return report->child(i);
        ADD_FAILURE() << "no leaf";
        return nullptr;
    }
    int State(const QTreeWidgetItem* node) const { return page.Tree()->StateIndex(node); }
    static TRecReportProperty Record(const TProfile& profile, int id) {
        TRecReportProperty rec;
        EXPECT_TRUE(profile.Reports.Find(id, rec, false)) << id;
        return rec;
    }
    QSpinBox* Spin() const { return Child<QSpinBox>(&page, "udItems"); }
};

TEST_F(ViewsPage, TreeFollowsTheCatalogue) {
    int topLevel = 0, reports = 0, leaves = 0;
    for (QTreeWidgetItem* node = page.Tree()->FirstNode(); node; node = page.Tree()->NextNode(node)) {
        if (!node->parent()) ++topLevel;
        if (TfrProfile05::LeafKind(node) == TfrProfile05::lkNone)
            ++reports;
        else
            ++leaves;
        EXPECT_EQ(State(node), U);
    }
    EXPECT_EQ(topLevel, 6);
    EXPECT_EQ(reports, kNodeCount);
    QTreeWidgetItem* hosts = Node("Hosts");
    ASSERT_EQ(hosts->childCount(), 3);
    EXPECT_EQ(hosts->child(0)->text(0), "Table");
    EXPECT_EQ(hosts->child(1)->text(0), "Chart");
    EXPECT_EQ(hosts->child(2)->text(0), "Daily Chart");
    EXPECT_EQ(TfrProfile05::ImageIndex(hosts->child(1)), TfrProfile05::imChart);
    EXPECT_EQ(hosts->parent()->text(0), "Visitor Information");
    EXPECT_EQ(Node("General")->childCount(), 1);
    EXPECT_EQ(Node("Time Period")->childCount(), 5);

    QTreeWidgetItem* folder = Node("Errors");
    EXPECT_EQ(TfrProfile05::ImageIndex(folder), TfrProfile05::imCollapsed);
    page.Tree()->expandItem(folder);
    EXPECT_EQ(TfrProfile05::ImageIndex(folder), TfrProfile05::imExpanded);
    page.Tree()->collapseItem(folder);
    EXPECT_EQ(TfrProfile05::ImageIndex(folder), TfrProfile05::imCollapsed);
}

TEST_F(ViewsPage, FourDistinctPicturesAndFoldersOpenOnScreen) {
    QTreeWidgetItem* folder = Node("Errors");
    const QByteArray closed = test::IconPixels(folder->icon(0));
    page.Tree()->expandItem(folder);
    const QByteArray open = test::IconPixels(folder->icon(0));
    QTreeWidgetItem* hosts = Node("Hosts");
    const QByteArray table = test::IconPixels(Leaf(hosts, TfrProfile05::lkTable)->icon(0));
    const QByteArray chart = test::IconPixels(Leaf(hosts, TfrProfile05::lkChart)->icon(0));
    EXPECT_EQ(test::IconPixels(Leaf(hosts, TfrProfile05::lkDaily)->icon(0)), chart);
    const std::vector<QByteArray> pictures{closed, open, table, chart};
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_FALSE(pictures[i].isEmpty()) << i;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(pictures[i], pictures[j]) << i << " " << j;
    }
    page.Tree()->collapseItem(folder);
    EXPECT_EQ(test::IconPixels(folder->icon(0)), closed);
}

TEST_F(ViewsPage, MissingReportsShowTheirDefaultsAndAreStored) {
    TProfile profile;
    page.LoadFromProfile(profile);
    // Every default has all of its views on.
    for (QTreeWidgetItem* node = page.Tree()->FirstNode(); node; node = page.Tree()->NextNode(node))
        EXPECT_EQ(State(node), C) << node->text(0).toStdString();
    TProfile saved;
    page.SaveToProfile(saved);
    ASSERT_EQ(saved.Reports.Count(), static_cast<std::size_t>(kReportCount));
    for (std::size_t i = 0; i < saved.Reports.Count(); ++i) EXPECT_EQ(saved.Reports[i], DefaultReportTable()[i]);
}

TEST_F(ViewsPage, ReportSettingsRoundTrip) {
    // Consistent random settings: a report is on exactly when one of its views is.
    std::mt19937 random(7);
    TProfile profile;
    for (const auto& def : DefaultReportTable()) {
        if (random() % 4 == 0) continue;  // left to its default
        const TRecNodeProperty& row = *FindNode(def.ID);
        TRecReportProperty rec = def;
        rec.EnableList = row.Table ? static_cast<std::int32_t>(random() % 2) : 0;
        rec.EnableChart = row.Chart ? static_cast<std::int32_t>(random() % 2) : 0;
        rec.EnableChartDaily = row.Daily ? static_cast<std::int32_t>(random() % 2) : 0;
        rec.Enable = rec.EnableList || rec.EnableChart || rec.EnableChartDaily;
        rec.NbItemsList = static_cast<std::int32_t>(random() % 500);
        profile.Reports.Add(rec);
    }
    const TProfile original = profile;
    page.LoadFromProfile(profile);
    TProfile saved;
    page.SaveToProfile(saved);
    ASSERT_EQ(saved.Reports.Count(), static_cast<std::size_t>(kReportCount));
    // The profile's own records first, in its order, then the defaults it lacked.
    for (std::size_t i = 0; i < original.Reports.Count(); ++i) EXPECT_EQ(saved.Reports[i], original.Reports[i]);
    EXPECT_EQ(profile, original);
}

TEST_F(ViewsPage, OnlyTableCheckedIsStoredAsEnabledTableOnly) {
    page.LoadFromProfile(TProfile{});
    QTreeWidgetItem* hosts = Node("Hosts");
    page.Tree()->SetStateIndex(Leaf(hosts, TfrProfile05::lkChart), U);
    page.Tree()->SetStateIndex(Leaf(hosts, TfrProfile05::lkDaily), U);
    EXPECT_EQ(State(hosts), P);
    EXPECT_EQ(State(hosts->parent()), P);
    TProfile saved;
    page.SaveToProfile(saved);
    const TRecReportProperty rec = Record(saved, 37);
    EXPECT_EQ(rec.Enable, 1);
    EXPECT_EQ(rec.EnableList, 1);
    EXPECT_EQ(rec.EnableChart, 0);
    EXPECT_EQ(rec.EnableChartDaily, 0);
}

TEST_F(ViewsPage, UncheckingTheOnlyCheckedLeafUnchecksTheReport) {
    TProfile profile;
    TRecReportProperty rec = *FindDefaultReportProperty(21);  // Monthly Access: table and chart
    rec.EnableChart = 0;
    profile.Reports.Add(rec);
    page.LoadFromProfile(profile);
    QTreeWidgetItem* monthly = Node("Monthly Access");
    EXPECT_EQ(State(monthly), P);
    page.Tree()->SetStateIndex(Leaf(monthly, TfrProfile05::lkTable), U);
    EXPECT_EQ(State(monthly), U);
    EXPECT_EQ(State(monthly->parent()), P);
    TProfile saved;
    page.SaveToProfile(saved);
    EXPECT_EQ(Record(saved, 21).Enable, 0);
    EXPECT_EQ(Record(saved, 21).EnableList, 0);
}

TEST_F(ViewsPage, ClickingAPartlyCheckedReportUnchecksItAndItsLeaves) {
    page.show();
    TProfile profile;
    TRecReportProperty rec = *FindDefaultReportProperty(33);  // Browsers
    rec.EnableChartDaily = 0;
    profile.Reports.Add(rec);
    page.LoadFromProfile(profile);
    QTreeWidgetItem* browsers = Node("Browsers");
    page.Tree()->expandItem(browsers->parent());
    page.Tree()->scrollToItem(browsers);
    ASSERT_EQ(State(browsers), P);
    ClickStateIcon(*page.Tree(), browsers);
    EXPECT_EQ(State(browsers), U);
    for (int i = 0; i < browsers->childCount(); ++i) EXPECT_EQ(State(browsers->child(i)), U);
    EXPECT_EQ(State(browsers->parent()), P);
}

TEST_F(ViewsPage, SelectAllAndClearAll) {
    page.LoadFromProfile(TProfile{});
    Click(&page, "buClearAll");
    for (QTreeWidgetItem* node = page.Tree()->FirstNode(); node; node = page.Tree()->NextNode(node))
        ASSERT_EQ(State(node), U);
    TProfile cleared;
    page.SaveToProfile(cleared);
    for (const auto& rec : cleared.Reports) EXPECT_EQ(rec.Enable + rec.EnableList + rec.EnableChart, 0);
    Click(&page, "buSelectAll");
    for (QTreeWidgetItem* node = page.Tree()->FirstNode(); node; node = page.Tree()->NextNode(node))
        ASSERT_EQ(State(node), C);
}

TEST_F(ViewsPage, ItemCountsFollowTheSelectedLeaf) {
    TProfile profile;
    TRecReportProperty countries = *FindDefaultReportProperty(132);  // pie chart
    countries.NbItemsChart = 7;
    countries.NbItemsList = 30;
    profile.Reports.Add(countries);
    page.LoadFromProfile(profile);
    QSpinBox* spin = Spin();
    auto* edit = Child<QLineEdit>(&page, "edItems");
    auto* box = Child<QWidget>(&page, "gbItems");
    ASSERT_TRUE(spin && edit && box);
    EXPECT_FALSE(box->isEnabled());

    QTreeWidgetItem* node = Node("Countries");
    page.Tree()->setCurrentItem(Leaf(node, TfrProfile05::lkChart));
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(spin->maximum(), 10);
    EXPECT_EQ(spin->value(), 7);
    spin->setValue(9);

    page.Tree()->setCurrentItem(Leaf(node, TfrProfile05::lkTable));  // leaving stores 9
    EXPECT_EQ(spin->maximum(), 1000);
    EXPECT_EQ(spin->value(), 30);
    spin->setValue(250);

    page.Tree()->setCurrentItem(Leaf(Node("Hosts"), TfrProfile05::lkChart));  // horizontal bars
    EXPECT_EQ(spin->maximum(), 20);
    page.Tree()->setCurrentItem(Leaf(Node("Hosts"), TfrProfile05::lkDaily));
    EXPECT_EQ(spin->maximum(), 10);
    EXPECT_EQ(spin->value(), 6);
    spin->setValue(4);  // still selected when saving: stored too

    page.Tree()->setCurrentItem(Node("Hosts"));
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(spin->value(), 0);
    page.Tree()->setCurrentItem(Leaf(Node("Number of Visits"), TfrProfile05::lkTable));  // fixed row count
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_EQ(spin->value(), 0);
    page.Tree()->setCurrentItem(Leaf(Node("Hosts"), TfrProfile05::lkDaily));
    spin->setValue(4);

    TProfile saved;
    page.SaveToProfile(saved);
    EXPECT_EQ(Record(saved, 132).NbItemsChart, 9);
    EXPECT_EQ(Record(saved, 132).NbItemsList, 250);
    EXPECT_EQ(Record(saved, 37).NbItemsChartDaily, 4);
    // A count that cannot be edited keeps its value.
    EXPECT_EQ(Record(saved, 38), *FindDefaultReportProperty(38));
}

}  // namespace
}  // namespace brindle

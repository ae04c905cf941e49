#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/CommonConsts_catalogue.h"

using namespace brindle;

TEST(Catalogue, SectionKeysAreUniqueAndGroupsPrecedeTheirReports) {
    std::set<std::string> keys;
    int currentGroup = -1;
    for (const auto& row : SectionTable()) {
        EXPECT_TRUE(keys.insert(row.Key).second) << row.Key;
        if (row.IsGroupRow()) {
            currentGroup = row.ID;
            EXPECT_TRUE(row.Comment.empty()) << row.Key;
        } else {
            EXPECT_EQ(row.ParentID, currentGroup) << row.Key;
            EXPECT_FALSE(row.Comment.empty()) << row.Key;
        }
    }
}

TEST(Catalogue, TreeRowsFollowSectionRowsWithoutTheGeneralGroup) {
    const auto& sections = SectionTable();
    const auto& nodes = NodeTable();
    for (int i = 0; i < kNodeCount; ++i) {
        const auto& section = sections[i + 1];
        const auto& node = nodes[i];
        EXPECT_EQ(node.ID, section.ID) << i;
        EXPECT_EQ(node.Image, i);
        if (i == 0) {
            EXPECT_EQ(node.ParentID, 0);  // General is a top-level report
        } else {
            EXPECT_EQ(node.ParentID, section.ParentID) << i;
        }
        const bool folder = GroupIDs().Contains(node.ID);
        EXPECT_EQ(node.Views, folder ? 0 : (kViewTable | kViewHtml)) << i;
        if (!section.IsGroupRow()) {
            EXPECT_EQ(node.Title, section.Title) << i;
        }
    }
}

TEST(Catalogue, DefaultTableWalksReportsInCatalogueOrder) {
    const std::vector<int> expected = {10,  21, 22, 23, 24, 25,  36, 37, 32, 31, 132, 133, 134, 135, 136,
                                       137, 33, 34, 35, 38, 131, 39, 41, 42, 43, 44,  45,  46,  141, 142,
                                       47,  48, 49, 51, 52, 53,  54, 55, 56, 57, 63,  61,  62};
    std::vector<int> ids;
    for (const auto& row : DefaultReportTable()) ids.push_back(row.ID);
    EXPECT_EQ(ids, expected);
}

TEST(Catalogue, DefaultRows) {
    struct Case {
        int id;
        TRecReportProperty row;
    };
    const Case cases[] = {
        {37, {37, 1, 1, 1, 1, 50, 10, 6}},  {31, {31, 1, 1, 1, 1, 50, 6, 6}},  {21, {21, 1, 1, 1, 0, 0, 0, 0}},
        {10, {10, 1, 1, 0, 0, 0, 0, 0}},    {36, {36, 1, 1, 0, 0, 50, 0, 0}},  {134, {134, 1, 1, 1, 0, 50, 10, 0}},
        {142, {142, 1, 1, 1, 1, 50, 6, 6}}, {131, {131, 1, 1, 1, 0, 0, 0, 0}}, {62, {62, 1, 1, 0, 0, 50, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto* row = FindDefaultReportProperty(c.id);
        ASSERT_NE(row, nullptr) << c.id;
        EXPECT_EQ(*row, c.row) << c.id;
    }
    for (int group : {20, 30, 40, 50, 60, 26, 143}) EXPECT_EQ(FindDefaultReportProperty(group), nullptr) << group;
}

TEST(Catalogue, GetReportKey) {
    std::string key = "untouched";
    EXPECT_TRUE(GetReportKey(10, true, key));
    EXPECT_EQ(key, "R_General");
    EXPECT_TRUE(GetReportKey(10, false, key));
    EXPECT_EQ(key, "General");
    key = "untouched";
    EXPECT_FALSE(GetReportKey(20, false, key));
    EXPECT_FALSE(GetReportKey(26, false, key));
    EXPECT_FALSE(GetReportKey(143, true, key));
    EXPECT_EQ(key, "untouched");
    EXPECT_TRUE(GetReportKey(135, false, key));
    EXPECT_EQ(key, "ByCAProv");
}

TEST(ReportSet, IdsAbove143AreNeverMembers) {
    TReportSet set;
    set.Include(200);
    set.Include(144);
    EXPECT_TRUE(set.IsEmpty());
    EXPECT_FALSE(set.Contains(200));
    set.Include(143);
    set.Include(0);
    EXPECT_TRUE(set.Contains(143));
    EXPECT_TRUE(set.Contains(0));
    EXPECT_EQ(set.Bytes()[17], 0x80);
    EXPECT_EQ(set.Bytes()[0], 0x01);
}

TEST(ReportSet, WalkFollowsCatalogueOrderNotIdOrder) {
    const TReportSet set{61, 62, 63, 21, 10};
    std::vector<int> visited;
    for (const auto& row : SectionTable())
        if (!row.IsGroupRow() && set.Contains(row.ID)) visited.push_back(row.ID);
    EXPECT_EQ(visited, (std::vector<int>{10, 21, 63, 61, 62}));
}

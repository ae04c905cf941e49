#include <gtest/gtest.h>

#include "ProfileSamples.h"
#include "core/CommonConsts_catalogue.h"
#include "core/Profiles_u.h"

using namespace brindle;

namespace {
const TRecReportProperty kMarker{99, 9, 9, 9, 9, 9, 9, 9};
}

TEST(Profiles, FindFallsBackToTheDefaultTableOnlyWhenAsked) {
    const TLstReportProperty empty;
    for (const auto& row : DefaultReportTable()) {
        TRecReportProperty rec = kMarker;
        EXPECT_TRUE(empty.Find(row.ID, rec, true)) << int(row.ID);
        EXPECT_EQ(rec, row);
        rec = kMarker;
        EXPECT_FALSE(empty.Find(row.ID, rec, false)) << int(row.ID);
        EXPECT_EQ(rec, kMarker);
    }
    // Folder groups and unknown ids have no default row.
    for (int id : {20, 30, 40, 50, 60, 0, 143, 255, 256 + 31, -1}) {
        TRecReportProperty rec = kMarker;
        EXPECT_FALSE(empty.Find(id, rec, true)) << id;
        EXPECT_EQ(rec, kMarker);
    }
}

TEST(Profiles, StoredRecordsWinAndDuplicatesActOnTheFirst) {
    TLstReportProperty list;
    const TRecReportProperty disabled{31, 0, 0, 0, 0, 1, 2, 3};
    const TRecReportProperty second31{31, 1, 1, 1, 1, 4, 5, 6};
    EXPECT_EQ(list.Add(disabled), 0u);
    EXPECT_EQ(list.Add(second31), 1u);

    TRecReportProperty rec;
    ASSERT_TRUE(list.Find(31, rec, true));
    EXPECT_EQ(rec, disabled);  // not the default row, although it disables the report

    const TRecReportProperty replacement{31, 1, 0, 1, 0, 7, 8, 9};
    EXPECT_TRUE(list.Replace(31, replacement));
    EXPECT_EQ(list[0], replacement);
    EXPECT_EQ(list[1], second31);
    EXPECT_FALSE(list.Replace(32, replacement));
    EXPECT_FALSE(list.Replace(31 + 256, replacement));
    EXPECT_EQ(list.Count(), 2u);

    // Replace takes all eight fields, the id included.
    const TRecReportProperty renamed{33, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(list.Replace(31, renamed));
    ASSERT_TRUE(list.Find(31, rec, false));
    EXPECT_EQ(rec, second31);
}

TEST(Profiles, EnabledReportsTakeOnlyStoredEnabledRecords) {
    TProfile profile;
    EXPECT_TRUE(profile.GetEnabledReports().IsEmpty());

    profile.Reports.Add({31, 0, 1, 1, 1, 1, 1, 1});
    profile.Reports.Add({31, 5, 0, 0, 0, 0, 0, 0});  // any enabled duplicate makes the id a member
    profile.Reports.Add({37, 1, 0, 0, 0, 0, 0, 0});
    profile.Reports.Add({37, 0, 0, 0, 0, 0, 0, 0});
    profile.Reports.Add({21, 0, 0, 0, 0, 0, 0, 0});
    profile.Reports.Add({143, 1, 0, 0, 0, 0, 0, 0});
    profile.Reports.Add({144, 1, 0, 0, 0, 0, 0, 0});
    profile.Reports.Add({255, -1, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(profile.GetEnabledReports(), (TReportSet{31, 37, 143}));
}

TEST(Profiles, AssignCopiesEverythingAndSharesNothing) {
    const TProfiles golden = test::GoldenProfiles();
    const TProfile& source = golden.Profiles[0];
    TProfile copy;
    copy.LogFiles.Add({"http://", "stale", "", "", 0, 0, 1});
    copy.Reports.Add({99, 1, 1, 1, 1, 1, 1, 1});
    copy.Filters.Add({1, 1, "stale", "", ""});
    copy.Assign(source);
    EXPECT_EQ(copy, source);
    EXPECT_EQ(copy.Obsolete110, source.Obsolete110);

    copy.LogFiles[0].LogFileURL = "changed";
    copy.Reports[1].Enable = 1;
    copy.Filters[0].Value1 = "changed";
    copy.LogFiles.Add({});
    EXPECT_EQ(source.LogFiles[0].LogFileURL, "/var/log/apache2/access_%YYYY%.log");
    EXPECT_EQ(source.Reports[1].Enable, 0);
    EXPECT_EQ(source.Filters[0].Value1, "*.html");
    EXPECT_EQ(source.LogFiles.Count(), 2u);

    copy.Assign(copy);  // self-assignment keeps the profile
    EXPECT_EQ(copy.LogFiles.Count(), 3u);
}

TEST(Profiles, ProfileListOwnsDeepCopiesAndFindsByExactName) {
    TLstProfile list = test::GoldenProfiles().Profiles;
    EXPECT_EQ(list.Add(nullptr), list.Count());
    EXPECT_EQ(list.Count(), 3u);

    auto twin = std::make_unique<TProfile>();
    twin->Name = "Empty";
    twin->Description = "second of that name";
    EXPECT_EQ(list.Add(std::move(twin)), 3u);
    ASSERT_NE(list.FindByName("Empty"), nullptr);
    EXPECT_EQ(list.FindByName("Empty")->Description, "");  // the first match
    EXPECT_EQ(list.FindByName("empty"), nullptr);  // case-sensitive
    EXPECT_EQ(list.FindByName("Empty "), nullptr);

    TLstProfile copy = list;
    EXPECT_EQ(copy, list);
    copy[0].Filters.Clear();
    EXPECT_EQ(list[0].Filters.Count(), 2u);
    EXPECT_FALSE(copy == list);

    list.Delete(0);
    list.Delete(10);
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[0].Name, "Empty");
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(copy.Count(), 4u);
}

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/DateTime_u.h"
#include "core/ReportTxt_u.h"
#include "engine/StatFormat_u.h"
#include "engine/Statistics_u.h"

using namespace brindle;

namespace {

TStatistics StatsWithSummary() {
    TStatistics stats;
    stats.Summary.Hits = 200;
    stats.Summary.Visits = 40;
    stats.Summary.Bytes = 4096;
    return stats;
}

TRecStat SampleRow() {
    TRecStat row;
    row.Name = "de";
    row.Key = EncodeDateTime(2007, 3, 9, 14, 5, 7);
    row.Duration = 5 * 3600;  // over 4 visits: 1:15:00 each
    row.Kind = fkImage;
    row.Code = 404;
    row.Hits = 50;
    row.Visits = 4;
    row.Bytes = 1536;
    row.Pages = 6;
    row.NotModified = 7;
    row.Partial = 8;
    row.Errors = 9;
    row.Country = GetCountryIndex("fr");
    return row;
}

// A language whose texts differ from the built-in ones wherever a code reads them.
TReportTxt MarkedLanguage() {
    TReportTxt lang = BuiltInReportTxt();
    lang.LongDayNames[0].Text = "Lundi";
    lang.LongMonthNames[2].Text = "Mars";
    lang.NbVisits[14].Text = "15+ visites";
    lang.LenVisits[0].Text = "0-1 minute";
    lang.Misc.ReferrerNone = "Aucun";
    lang.Misc.DomainUnresolved = "Inconnu";
    lang.Misc.CountryUnknown = "Pays inconnu";
    return lang;
}

}  // namespace

TEST(StatFormat, EveryValueCode) {
    const TStatistics stats = StatsWithSummary();
    const TRecStat row = SampleRow();
    struct Case {
        int code;
        int index;
        std::string text;
    };
    const Case cases[] = {
        {0, 0, ""},
        {1, 0, "March 2007"},
        {2, 0, "2007-03-09"},
        {3, 0, "00:00-01:00"},
        {3, 9, "09:00-10:00"},
        {3, 23, "23:00-24:00"},
        {4, 1, "Monday"},
        {4, 7, "Sunday"},
        {4, 8, ""},
        {5, 31, "31"},
        {6, 0, "2007-03-09 14:05:07"},
        {7, 0, "50"},
        {8, 0, "25.00%"},
        {9, 0, "4"},
        {10, 0, "10.00%"},
        {11, 0, "1.50 kB"},
        {12, 0, "37.50%"},
        {13, 0, "6"},
        {14, 0, "5:00:00"},
        {15, 0, "1:15:00"},
        {16, 0, "7"},
        {17, 0, "8"},
        {18, 0, "9"},
        {19, 0, "404"},
        {20, 0, "Not Found"},
        {21, 1, "1 visit"},
        {21, 15, "15+ visits"},
        {21, 16, ""},
        {22, 1, "0-1 min"},
        {22, 11, "180+ mins"},
        {22, 0, ""},
        {23, 0, "de"},
        {24, 0, "Germany (.de)"},
        {25, 0, "de"},
        {26, 0, "de"},
        {27, 0, "de"},
        {28, 0, "de"},
        {29, 0, "de"},
        {30, 0, ""},
        {31, 0, "de"},
        {32, 0, "No Referrer"},
        {33, 0, "Image Files"},
        {34, 0, "France"},
        {35, 0, "Germany"},
        {36, 0, ""},
        {37, 0, ""},
        {255, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stats.FormatStatValue(row, c.index, static_cast<std::uint8_t>(c.code)), c.text) << "code " << c.code;
}

TEST(StatFormat, EmptyNamesGiveTheLanguageTexts) {
    const TStatistics stats{};
    TRecStat row;
    struct Case {
        int code;
        std::string text;
    };
    const Case cases[] = {
        {23, ""},
        {24, "Unresolved/Unknown"},
        {25, "Unknown"},
        {26, "Unknown"},
        {27, "No Referrer (Direct Request)"},
        {28, "No Referrer"},
        {29, ""},
        {30, ""},
        {32, "No Referrer"},
        {33, "Unknown File Type"},
        {34, "Unknown"},
        {35, "Unknown"},
        {36, ""},
        {8, "0.00%"},
        {12, "0.00%"},
        {15, "0:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stats.FormatStatValue(row, 0, static_cast<std::uint8_t>(c.code)), c.text) << "code " << c.code;

    row.Name = "Europe";
    EXPECT_EQ(stats.FormatStatValue(row, 0, 36), "Europe");
    row.Name = "MiddleEast";
    EXPECT_EQ(stats.FormatStatValue(row, 0, 36), "Middle East");
    row.Name = "xx";  // no such country
    EXPECT_EQ(stats.FormatStatValue(row, 0, 24), "Unresolved/Unknown");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 35), "Unknown");
}

TEST(StatFormat, DurationTexts) {
    struct Case {
        TSeconds seconds;
        std::string text;
    };
    const Case cases[] = {
        {0, "0:00"},
        {59, "0:59"},
        {599, "9:59"},
        {600, "10:00"},
        {630, "10:30"},
        {3540, "59:00"},
        {3599, "59:59"},
        {3600, "1:00:00"},
        {3900, "1:05:00"},
        {86399, "23:59:59"},
        {86400, "24:00:00"},
        {90000, "25:00:00"},
        {10 * 86400 + 61, "240:01:01"},
        {-90, "-1:30"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatStatDuration(c.seconds), c.text) << c.seconds;

    // Every text reads back to the same duration, so duration columns sort as durations.
    for (const Case& c : cases) {
        if (c.seconds >= 0) {
            EXPECT_EQ(ParseDurationText(c.text), c.seconds) << c.text;
        }
    }
}

TEST(StatFormat, AverageVisitLength) {
    const TStatistics stats{};
    TRecStat row;
    row.Duration = 43200;  // half a day
    row.Visits = 2;
    EXPECT_EQ(stats.FormatStatValue(row, 0, 15), "6:00:00");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 14), "12:00:00");
    row.Visits = 0;
    EXPECT_EQ(stats.FormatStatValue(row, 0, 15), "0:00");
    row.Duration = 100 * 3600;
    row.Visits = 4;
    EXPECT_EQ(stats.FormatStatValue(row, 0, 15), "25:00:00");
    row.Duration = 7;  // averages are cut to whole seconds
    row.Visits = 2;
    EXPECT_EQ(stats.FormatStatValue(row, 0, 15), "0:03");
}

TEST(StatFormat, TabPieces) {
    const TStatistics stats{};
    struct Case {
        std::string name;
        std::string first, second, referrer;
    };
    const Case cases[] = {
        {"Google\tcheap flights", "Google", "cheap flights", "cheap flights"},
        {"/missing.html\t", "/missing.html", "", "No Referrer"},
        {"\thttp://ref/", "", "http://ref/", "http://ref/"},
        {"/a\tb\tc", "/a", "b\tc", "b\tc"},
        {"no tab", "no tab", "", "No Referrer"},
        {"", "", "", "No Referrer"},
        {"/q?\"a\tb\"", "/q?\"a", "b\"", "b\""},  // quotes do not protect a TAB
        {"/x\t\r\nref", "/x", "\r\nref", "\r\nref"},
    };
    for (const Case& c : cases) {
        TRecStat row;
        row.Name = c.name;
        EXPECT_EQ(stats.FormatStatValue(row, 0, 29), c.first) << c.name;
        EXPECT_EQ(stats.FormatStatValue(row, 0, 31), c.first) << c.name;
        EXPECT_EQ(stats.FormatStatValue(row, 0, 30), c.second) << c.name;
        EXPECT_EQ(stats.FormatStatValue(row, 0, 32), c.referrer) << c.name;
    }
}

TEST(StatFormat, LanguageAndDisplayFormat) {
    const TStatistics stats = StatsWithSummary();
    const TReportTxt lang = MarkedLanguage();
    TRecStat row = SampleRow();
    EXPECT_EQ(stats.FormatStatValue(row, 0, 1, &lang), "Mars 2007");
    EXPECT_EQ(stats.FormatStatValue(row, 1, 4, &lang), "Lundi");
    EXPECT_EQ(stats.FormatStatValue(row, 15, 21, &lang), "15+ visites");
    EXPECT_EQ(stats.FormatStatValue(row, 1, 22, &lang), "0-1 minute");
    row.Name = "";
    row.Country = 0;
    EXPECT_EQ(stats.FormatStatValue(row, 0, 24, &lang), "Inconnu");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 32, &lang), "Aucun");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 34, &lang), "Pays inconnu");

    DisplayFormat german;
    german.DecimalSeparator = ",";
    german.ShortDateFormat = "dd.mm.yyyy";
    german.TimeFormat = "hh:nn";
    row = SampleRow();
    EXPECT_EQ(stats.FormatStatValue(row, 0, 11, nullptr, german), "1,50 kB");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 8, nullptr, german), "25,00%");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 2, nullptr, german), "09.03.2007");
    EXPECT_EQ(stats.FormatStatValue(row, 0, 6, nullptr, german), "09.03.2007 14:05");
}

TEST(StatFormat, RowTextsFollowTheCodes) {
    const TStatistics stats = StatsWithSummary();
    const std::array<std::uint8_t, 7> codes = {3, 7, 9, 11, 13, 18, 15};
    EXPECT_EQ(stats.GetRowTexts(SampleRow(), 5, codes),
              (std::vector<std::string>{"05:00-06:00", "50", "4", "1.50 kB", "6", "9", "1:15:00"}));
    EXPECT_TRUE(stats.GetRowTexts(SampleRow(), 0, std::span<const std::uint8_t>{}).empty());
}

TEST(StatFormat, IsReportEmptyPerReport) {
    struct Case {
        int id;
        TLstStat TStatistics::*list;
    };
    const Case plain[] = {
        {21, &TStatistics::StatByMon},       {22, &TStatistics::StatByDay},       {31, &TStatistics::StatByTld},
        {32, &TStatistics::StatByDomain},    {33, &TStatistics::StatByBrowser},   {34, &TStatistics::StatByOS},
        {36, &TStatistics::StatByHost},      {37, &TStatistics::StatByHost},      {39, &TStatistics::StatByUserName},
        {41, &TStatistics::StatByAllFiles},  {47, &TStatistics::StatByFileExt},   {48, &TStatistics::StatByTopIn},
        {49, &TStatistics::StatByTopOut},    {51, &TStatistics::StatByRefDomain}, {52, &TStatistics::StatByRefPage},
        {53, &TStatistics::StatByRefSE},     {54, &TStatistics::StatByRefSEP},    {55, &TStatistics::StatByRefSEK},
        {56, &TStatistics::StatByRefSESEP},  {57, &TStatistics::StatByRefSESEK},  {132, &TStatistics::StatByCountry},
        {133, &TStatistics::StatByRegion},   {134, &TStatistics::StatByUSState},  {135, &TStatistics::StatByCAProv},
        {136, &TStatistics::StatByCNProv},   {137, &TStatistics::StatByCity},     {141, &TStatistics::StatByFileDir},
        {142, &TStatistics::StatByFileType},
    };
    for (const Case& c : plain) {
        TStatistics stats;
        EXPECT_TRUE(stats.IsReportEmpty(static_cast<std::uint8_t>(c.id))) << c.id;
        (stats.*c.list).Add(TRecStat{});  // even a row of nothing counts
        EXPECT_FALSE(stats.IsReportEmpty(static_cast<std::uint8_t>(c.id))) << c.id;
    }

    // Never empty: General, the fixed tables, the groups and unknown ids, even when cleared.
    TStatistics cleared;
    cleared.ClearStatisticsTables();
    for (const int id : {0, 10, 20, 23, 24, 25, 30, 38, 40, 50, 60, 131, 143, 200, 255})
        EXPECT_FALSE(cleared.IsReportEmpty(static_cast<std::uint8_t>(id))) << id;

    TStatistics stats;
    TRecStat spider;
    stats.StatBySpider.Add(spider);
    EXPECT_TRUE(stats.IsReportEmpty(35));
    spider.Name = "Googlebot";
    stats.StatBySpider.Add(spider);
    EXPECT_FALSE(stats.IsReportEmpty(35));

    const std::pair<int, std::uint8_t> kinds[] = {
        {42, fkPage}, {43, fkDownload}, {44, fkImage}, {45, fkAudio}, {46, fkVideo}};
    for (const auto& [id, kind] : kinds) {
        TStatistics files;
        TRecStat other;
        other.Kind = kind == fkPage ? fkImage : fkPage;
        files.StatByAllFiles.Add(other);
        EXPECT_TRUE(files.IsReportEmpty(static_cast<std::uint8_t>(id))) << id;
        TRecStat match;
        match.Kind = kind;
        files.StatByAllFiles.Add(match);
        EXPECT_FALSE(files.IsReportEmpty(static_cast<std::uint8_t>(id))) << id;
    }

    TStatistics errors;
    TRecStat err;
    err.Code = 500;
    errors.StatByErr.Add(err);
    EXPECT_TRUE(errors.IsReportEmpty(61));
    EXPECT_FALSE(errors.IsReportEmpty(62));
    err.Code = 404;
    errors.StatByErr = TLstStat{};
    errors.StatByErr.Add(err);
    EXPECT_FALSE(errors.IsReportEmpty(61));
    EXPECT_TRUE(errors.IsReportEmpty(62));

    for (const auto& [code, empty] :
         std::vector<std::pair<int, bool>>{{304, true}, {399, true}, {400, false}, {599, false}, {600, true}}) {
        TStatistics status;
        TRecStat row;
        row.Code = code;
        status.StatByStatus.Add(row);
        EXPECT_EQ(status.IsReportEmpty(63), empty) << code;
    }
}

#pragma once
// Hand-built analysis results and profiles for the chart tests.
#include <cstdint>
#include <string>
#include <vector>

#include "core/DateTime_u.h"
#include "core/Profiles_u.h"
#include "engine/Statistics_u.h"

namespace brindle::test {

inline TRecStat StatRow(std::string name, std::int32_t hits, std::int32_t visits,
                        std::vector<std::int32_t> perDay = {}) {
    TRecStat row;
    row.Name = std::move(name);
    row.Hits = hits;
    row.Visits = visits;
    row.PerDay = std::move(perDay);
    return row;
}

// A profile whose report Id has the given chart limits.
inline TProfile ProfileWithLimits(int id, std::int32_t nbItemsChart, std::int32_t nbItemsChartDaily) {
    TProfile profile;
    TRecReportProperty rec;
    rec.ID = static_cast<std::uint8_t>(id);
    rec.Enable = rec.EnableList = rec.EnableChart = rec.EnableChartDaily = 1;
    rec.NbItemsList = 20;
    rec.NbItemsChart = nbItemsChart;
    rec.NbItemsChartDaily = nbItemsChartDaily;
    profile.Reports.Add(rec);
    return profile;
}

// Per-day counts that rise and fall over the days, scaled by Scale.
inline std::vector<std::int32_t> Wave(int days, int scale, int phase) {
    std::vector<std::int32_t> counts;
    for (int d = 0; d < days; ++d) counts.push_back(scale * (3 + (d * 7 + phase * 5) % 11) / 4);
    return counts;
}

// A month of traffic over a small site: every list a chart reads has rows.
inline TStatistics SampleStatistics() {
    TStatistics stats;
    constexpr int kDays = 31;
    stats.FirstDay = static_cast<std::int32_t>(EncodeDate(2024, 3, 1));
    stats.LastDay = stats.FirstDay + kDays - 1;
    stats.DaySpan = kDays;

    for (int m = 0; m < 6; ++m) {
        const int month = (9 + m) % 12 + 1;
        const int year = month >= 10 ? 2023 : 2024;
        TRecStat row = StatRow("", 4000 + 900 * m, 1200 + 250 * m);
        row.Key = StartOfDay(EncodeDate(year, month, 1));
        stats.StatByMon.Add(row);
    }
    for (int d = 0; d < kDays; ++d) {
        TRecStat row = StatRow("", 300 + (d * 37) % 220, 90 + (d * 23) % 70);
        row.Key = StartOfDay(stats.FirstDay + d);
        stats.StatByDay.Add(row);
    }
    for (int h = 0; h <= 23; ++h)
        stats.StatByHod[h] = StatRow("", 100 + 40 * ((h + 14) % 24), 30 + 11 * ((h + 14) % 24));
    for (int d = 1; d <= 7; ++d) stats.StatByDow[d] = StatRow("", 1500 - 90 * d, 500 - 30 * d);
    for (int d = 1; d <= 31; ++d) stats.StatByDom[d] = StatRow("", 300 + (d * 41) % 200, 100 + (d * 17) % 60);
    for (int i = 1; i <= 15; ++i) stats.StatByNbVisit[i] = StatRow("", 0, 900 / i);
    for (int i = 1; i <= 11; ++i) stats.StatByLenVisit[i] = StatRow("", 0, 700 / (i + 1));

    const char* tlds[] = {"com", "de", "fr", "uk", "net", "nl", "it", "es", "jp", "br", "org", "ca"};
    int n = 0;
    for (const char* tld : tlds) {
        stats.StatByTld.Add(StatRow(tld, 0, 800 - 60 * n, Wave(kDays, 24 - n, n)));
        ++n;
    }
    const char* browsers[] = {"Firefox", "Chrome", "Safari", "Opera", "", "Edge"};
    n = 0;
    for (const char* browser : browsers) {
        stats.StatByBrowser.Add(StatRow(browser, 3000 - 400 * n, 900, Wave(kDays, 20 - 2 * n, n)));
        ++n;
    }
    const char* files[] = {"/index.html",
                           "/images/logo.png",
                           "/downloads/setup-2.30.tar.gz",
                           "/products/catalogue/2024/spring/overview.html",
                           "/css/site.css",
                           "/about.html",
                           "/images/banner-wide.jpg",
                           "/contact.html"};
    const std::uint8_t kinds[] = {2, 4, 3, 2, 0, 2, 4, 2};
    n = 0;
    for (const char* file : files) {
        TRecStat row = StatRow(file, 2000 - 180 * n, 700 - 60 * n, Wave(kDays, 16 - n, n));
        row.Kind = kinds[n];
        stats.StatByAllFiles.Add(row);
        ++n;
    }
    for (int i = 0; i < 30; ++i)
        stats.StatByDomain.Add(StatRow("host" + std::to_string(i) + ".example-provider.net", 0, 400 - 12 * i));
    const std::int32_t codes[] = {200, 304, 404, 500, 403, 206};
    n = 0;
    for (std::int32_t code : codes) {
        TRecStat row = StatRow("", 5000 / (n + 1), 0, Wave(kDays, 10 - n, n));
        row.Code = code;
        stats.StatByStatus.Add(row);
        ++n;
    }
    return stats;
}

}  // namespace brindle::test

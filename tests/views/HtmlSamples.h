#pragma once
// The hand-built analysis of the HTML page and HTML export tests, texts from a hostile log,
// and golden-file comparison.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/ReportProperty.h"
#include "export/ExportSamples.h"
#include "support/TestFolder.h"

namespace brindle::test {

// Report Id with the given switches and row limit.
inline void SetReport(SampleAnalysis& a, int id, std::int32_t list, std::int32_t chart, std::int32_t daily,
                      std::int32_t rows = 10) {
    TRecReportProperty rec;
    rec.ID = static_cast<std::uint8_t>(id);
    rec.Enable = 1;
    rec.EnableList = list;
    rec.EnableChart = chart;
    rec.EnableChartDaily = daily;
    rec.NbItemsList = rows;
    rec.NbItemsChart = 5;
    rec.NbItemsChartDaily = 3;
    if (!a.Profile.Reports.Replace(id, rec)) a.Profile.Reports.Add(rec);
}

// The sample analysis of the file exports, with a domain and referring pages.
inline SampleAnalysis MakeHtmlAnalysis() {
    SampleAnalysis a = MakeSampleAnalysis();
    a.Profile.DomainName = "www.example.com";
    a.Stats.StatByRefPage.Add(StatRow("http://ref.example/page?q=1&r=2", 9, 6));
    a.Stats.StatByRefPage.Add(StatRow("", 30, 20));
    a.Stats.StatByRefPage.Add(StatRow("HTTPS://secure.example/", 3, 2));
    return a;
}

// Texts a log can carry that must never become markup, script or a link.
inline const std::vector<std::string>& HostileTexts() {
    static const std::vector<std::string> texts = {
        "<script>alert(1)</script>", "javascript:alert(2)",     "\"><img src=x onerror=alert(3)>", "'; alert(4); '",
        "</script><b>bold</b>",      "data:text/html,<b>5</b>", " http://leading.blank/",
    };
    return texts;
}

// The sample analysis with every text a report page shows from the log, the profile or a
// host name replaced by hostile ones.
inline SampleAnalysis MakeHostileAnalysis() {
    SampleAnalysis a = MakeHtmlAnalysis();
    a.Profile.Name = "<b>site</b> & \"co\" </script>";
    a.Profile.DomainName = "evil.example\" onmouseover=\"alert(6)";
    TStatistics& s = a.Stats;
    s.StatByHost.Clear();
    s.StatByAllFiles.Clear();
    s.StatByRefPage.Clear();
    s.StatByRefDomain.Clear();
    s.StatByErr.Clear();
    s.StatByUserName.Clear();
    int hits = 50;
    for (const std::string& text : HostileTexts()) {
        s.StatByHost.Add(StatRow(text, hits, 1));
        s.StatByAllFiles.Add(KindRow("/" + text, 2, hits, 1));
        s.StatByTopIn.Add(StatRow("/" + text, hits, 1));
        s.StatByRefPage.Add(StatRow(text, hits, 1));
        s.StatByRefDomain.Add(StatRow(text, hits, 1));
        s.StatByErr.Add(CodeRow("/" + text + "\t" + text, 404, hits));
        s.StatByErr.Add(CodeRow(text + "\t" + text, 500, hits));
        s.StatByUserName.Add(StatRow(text, hits, 1));
        --hits;
    }
    return a;
}

// Compares with tests/data/golden/html/<name>; BRINDLE_UPDATE_GOLDEN=1 rewrites the file.
inline void ExpectGolden(const std::string& actual, const std::string& name) {
    const std::string path = DataPath("golden/html/" + name);
    if (const char* update = std::getenv("BRINDLE_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        std::fwrite(actual.data(), 1, actual.size(), file);
        std::fclose(file);
    }
    EXPECT_EQ(actual, ReadFileBytes(path)) << name;
}

// Every href of a page or script: each must be a web link, a page of the export or an anchor.
inline std::vector<std::string> Hrefs(const std::string& text) {
    std::vector<std::string> hrefs;
    const std::string marker = "href=\"";
    for (std::size_t pos = text.find(marker); pos != std::string::npos; pos = text.find(marker, pos + 1)) {
        const std::size_t start = pos + marker.size();
        hrefs.push_back(text.substr(start, text.find('"', start) - start));
    }
    return hrefs;
}

}  // namespace brindle::test

#include "core/CommonConsts_catalogue.h"

namespace brindle {

const TSectionProperties& SectionTable() {
    static const TSectionProperties table = {{
        {10, 0, "R_General", "General", ""},
        {10, 10, "General", "General", "This report shows the summary statistics of the requested report period."},
        {20, 0, "R_TimePeriod", "Time Period", ""},
        {21, 20, "ByMon", "Monthly Access",
         "This report shows the activity for each month of the requested report period."},
        {22, 20, "ByDay", "Daily Access",
         "This report shows the activity for each day of the requested report period."},
        {23, 20, "ByHod", "Hour of Day",
         "This report shows the activity for each hour of the day for the report period."},
        {24, 20, "ByDow", "Day of Week",
         "This report shows the activity for each day of the week for the report period."},
        {25, 20, "ByDom", "Day of Month",
         "This report shows the activity for each day of the month for the report period."},
        {30, 0, "R_Visitors", "Visitors", ""},
        {36, 30, "ByRecent", "Most Recent", "This report shows the most recent access to your web site."},
        {37, 30, "ByHost", "Hosts", "This report shows the visitors accessed your web site."},
        {32, 30, "ByDomain", "Domains", "This report shows the domains accessed your web site."},
        {31, 30, "ByTld", "Top-Level Domains", "This report shows the top-level domains accessed your web site."},
        {132, 30, "ByCountry", "Countries",
         "This report shows information about the countries visitors to your site are located in."},
        {133, 30, "ByRegion", "Regions",
         "This report shows information about the regions visitors to your site are located in."},
        {134, 30, "ByUSState", "US States",
         "This report shows information about the US states visitors to your site are located in."},
        {135, 30, "ByCAProv", "Canada Provinces",
         "This report shows information about the Canada provinces visitors to your site are located in."},
        {136, 30, "ByCNProv", "China Provinces",
         "This report shows information about the China provinces visitors to your site are located in."},
        {137, 30, "ByCity", "Cities",
         "This report shows information about the cities visitors to your site are located in."},
        {33, 30, "ByBrowser", "Browsers",
         "This report shows what web browsers visitors are using when they access your web site."},
        {34, 30, "ByOS", "Operating Systems", "This report shows what operating system your visitors are using."},
        {35, 30, "BySpider", "Visiting Spiders",
         "This report shows robots, spiders, crawlers and search services visiting your site."},
        {38, 30, "ByNbVisit", "Number of Visits",
         "This report shows the distribution of visitors based on how many times each visitor visited your site."},
        {131, 30, "ByLenVisit", "Length of Visits",
         "This report shows how many visitors view your site for specific intervals of time."},
        {39, 30, "ByUserName", "Authenticated Users",
         "This report shows users which provided authentication information in the request to the site."},
        {40, 0, "R_FilesPages", "Files/Pages", ""},
        {41, 40, "ByAllFiles", "URLs", "This report shows the most requested files on your site."},
        {42, 40, "ByFileDoc", "Pages", "This report shows the most requested web pages on your site."},
        {43, 40, "ByFileFile", "Downloaded Files",
         "This report shows the most requested downloadable files on your site."},
        {44, 40, "ByFileImg", "Images", "This report shows the most requested images on your site."},
        {45, 40, "ByFileAudio", "Audio Files", "This report shows the most requested audio files on your site."},
        {46, 40, "ByFileVideo", "Video Files", "This report shows the most requested video files on your site."},
        {141, 40, "ByFileDir", "Directories", "This report shows the most requested directories on your site."},
        {142, 40, "ByFileType", "File Types", "This report shows the most requested file types on your site."},
        {47, 40, "ByFileExt", "File Extensions", "This report shows the most requested file extensions on your site."},
        {48, 40, "ByTopIn", "Entry Pages", "This report shows where users entered the site."},
        {49, 40, "ByTopOut", "Exit Pages", "This report shows where users left the site."},
        {50, 0, "R_Referrers", "Referrers", ""},
        {51, 50, "ByRefDomain", "Referring Domains", "This report shows how visitors got to your web site."},
        {52, 50, "ByRefPage", "Referring Pages", "This report shows which pages are sending traffic to your site."},
        {53, 50, "ByRefSE", "Search Engines",
         "This report shows the number of hits received from the most popular search engines."},
        {54, 50, "ByRefSEP", "Search Phrases",
         "This report shows the phrases visitors use to search for your web site."},
        {55, 50, "ByRefSEK", "Search Keywords",
         "This report shows the keywords visitors use to search for your web site."},
        {56, 50, "ByRefSESEP", "Engines and Phrases",
         "This report shows the search engines and phrases visitors use to search for your web site."},
        {57, 50, "ByRefSESEK", "Engines and Keywords",
         "This report shows the search engines and keywords visitors use to search for your web site."},
        {60, 0, "R_Errors", "Errors", ""},
        {63, 60, "ByErrType", "Error Types", "This report shows error types."},
        {61, 60, "ByErr404", "404 Errors", "This report shows which file requested by an user was not found."},
        {62, 60, "ByErrMisc", "Other Errors",
         "This report shows all error messages (except error 404 \"file not found\")."},
    }};
    return table;
}

const std::array<TRecNodeProperty, kNodeCount>& NodeTable() {
    // Title, Table, Chart, Daily, Rows, ChartItems, DailyItems, ID, ParentID, Views, Image, ChartKind
    static const std::array<TRecNodeProperty, kNodeCount> table = {{
        {"General", 1, 0, 0, 0, 0, 0, 10, 0, 6, 0, 0},
        {"Time Period", 0, 0, 0, 0, 0, 0, 20, 0, 0, 1, 0},
        {"Monthly Access", 1, 1, 0, 0, 0, 0, 21, 20, 6, 2, 2},
        {"Daily Access", 1, 1, 0, 0, 0, 0, 22, 20, 6, 3, 1},
        {"Hour of Day", 1, 1, 0, 0, 0, 0, 23, 20, 6, 4, 2},
        {"Day of Week", 1, 1, 0, 0, 0, 0, 24, 20, 6, 5, 2},
        {"Day of Month", 1, 1, 0, 0, 0, 0, 25, 20, 6, 6, 2},
        {"Visitor Information", 0, 0, 0, 0, 0, 0, 30, 0, 0, 7, 0},
        {"Most Recent", 1, 0, 0, 1, 0, 0, 36, 30, 6, 8, 0},
        {"Hosts", 1, 1, 1, 1, 1, 1, 37, 30, 6, 9, 3},
        {"Domains", 1, 1, 1, 1, 1, 1, 32, 30, 6, 10, 3},
        {"Top-Level Domains", 1, 1, 1, 1, 1, 1, 31, 30, 6, 11, 4},
        {"Countries", 1, 1, 1, 1, 1, 1, 132, 30, 6, 12, 4},
        {"Regions", 1, 1, 1, 1, 1, 1, 133, 30, 6, 13, 4},
        {"US States", 1, 1, 0, 1, 1, 0, 134, 30, 6, 14, 3},
        {"Canada Provinces", 1, 1, 0, 1, 1, 0, 135, 30, 6, 15, 3},
        {"China Provinces", 1, 1, 0, 1, 1, 0, 136, 30, 6, 16, 3},
        {"Cities", 1, 1, 0, 1, 1, 0, 137, 30, 6, 17, 3},
        {"Browsers", 1, 1, 1, 1, 1, 1, 33, 30, 6, 18, 4},
        {"Operating Systems", 1, 1, 1, 1, 1, 1, 34, 30, 6, 19, 4},
        {"Visiting Spiders", 1, 1, 1, 1, 1, 1, 35, 30, 6, 20, 4},
        {"Number of Visits", 1, 1, 0, 0, 0, 0, 38, 30, 6, 21, 3},
        {"Length of Visits", 1, 1, 0, 0, 0, 0, 131, 30, 6, 22, 3},
        {"Authenticated Users", 1, 1, 1, 1, 1, 1, 39, 30, 6, 23, 3},
        {"File/Page Activity", 0, 0, 0, 0, 0, 0, 40, 0, 0, 24, 0},
        {"URLs", 1, 1, 1, 1, 1, 1, 41, 40, 6, 25, 3},
        {"Pages", 1, 1, 1, 1, 1, 1, 42, 40, 6, 26, 3},
        {"Downloaded Files", 1, 1, 1, 1, 1, 1, 43, 40, 6, 27, 3},
        {"Images", 1, 1, 1, 1, 1, 1, 44, 40, 6, 28, 3},
        {"Audio Files", 1, 1, 1, 1, 1, 1, 45, 40, 6, 29, 3},
        {"Video Files", 1, 1, 1, 1, 1, 1, 46, 40, 6, 30, 3},
        {"Directories", 1, 1, 1, 1, 1, 1, 141, 40, 6, 31, 3},
        {"File Types", 1, 1, 1, 1, 1, 1, 142, 40, 6, 32, 4},
        {"File Extensions", 1, 1, 1, 1, 1, 1, 47, 40, 6, 33, 3},
        {"Entry Pages", 1, 1, 1, 1, 1, 1, 48, 40, 6, 34, 3},
        {"Exit Pages", 1, 1, 1, 1, 1, 1, 49, 40, 6, 35, 3},
        {"Referrers", 0, 0, 0, 0, 0, 0, 50, 0, 0, 36, 0},
        {"Referring Domains", 1, 1, 1, 1, 1, 1, 51, 50, 6, 37, 3},
        {"Referring Pages", 1, 1, 1, 1, 1, 1, 52, 50, 6, 38, 3},
        {"Search Engines", 1, 1, 1, 1, 1, 1, 53, 50, 6, 39, 3},
        {"Search Phrases", 1, 1, 1, 1, 1, 1, 54, 50, 6, 40, 3},
        {"Search Keywords", 1, 1, 1, 1, 1, 1, 55, 50, 6, 41, 3},
        {"Engines and Phrases", 1, 0, 0, 1, 0, 0, 56, 50, 6, 42, 0},
        {"Engines and Keywords", 1, 0, 0, 1, 0, 0, 57, 50, 6, 43, 0},
        {"Errors", 0, 0, 0, 0, 0, 0, 60, 0, 0, 44, 0},
        {"Error Types", 1, 1, 1, 1, 1, 1, 63, 60, 6, 45, 4},
        {"404 Errors", 1, 0, 0, 1, 0, 0, 61, 60, 6, 46, 0},
        {"Other Errors", 1, 0, 0, 1, 0, 0, 62, 60, 6, 47, 0},
    }};
    return table;
}

namespace {

// Each default row follows from the report's tree row.
TRecReportProperty DefaultFromNode(const TRecNodeProperty& node) {
    TRecReportProperty row;
    row.ID = node.ID;
    row.Enable = 1;
    row.EnableList = 1;
    row.EnableChart = node.Chart;
    row.EnableChartDaily = node.Daily;
    row.NbItemsList = node.Rows ? 50 : 0;
    row.NbItemsChart = node.ChartItems ? (node.ChartKind == ckPie ? 6 : 10) : 0;
    row.NbItemsChartDaily = node.DailyItems ? 6 : 0;
    return row;
}

}  // namespace

const std::array<TRecReportProperty, kReportCount>& DefaultReportTable() {
    static const std::array<TRecReportProperty, kReportCount> table = [] {
        std::array<TRecReportProperty, kReportCount> rows{};
        size_t n = 0;
        for (const auto& section : SectionTable()) {
            if (section.IsGroupRow()) continue;
            rows[n++] = DefaultFromNode(*FindNode(section.ID));
        }
        return rows;
    }();
    return table;
}

const TReportSet& GroupIDs() {
    static const TReportSet groups{20, 30, 40, 50, 60};
    return groups;
}

bool GetReportKey(int id, bool isGroup, std::string& key) {
    for (const auto& row : SectionTable()) {
        if (row.ID == id && row.IsGroupRow() == isGroup) {
            key = row.Key;
            return true;
        }
    }
    return false;
}

const TRecNodeProperty* FindNode(int id) {
    for (const auto& node : NodeTable())
        if (node.ID == id) return &node;
    return nullptr;
}

const TRecReportProperty* FindDefaultReportProperty(int id) {
    for (const auto& row : DefaultReportTable())
        if (row.ID == id) return &row;
    return nullptr;
}

}  // namespace brindle

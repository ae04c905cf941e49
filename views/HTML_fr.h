#pragma once
// The HTML report page: turns reports of the current analysis into one page, with the
// chart images beside it. On screen (mode 0) it writes one report into a page and shows it
// in the embedded viewer; the HTML export (mode 1) has it write one page per report group.
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DisplayFormat.h"
#include "core/ReportProperty.h"
#include "core/ReportSet.h"
#include "engine/ProgressEvent.h"
#include "engine/ReportSource.h"
#include "views/HTMLUtils_u.h"

class QTextBrowser;

namespace brindle {

class TfrChart;
struct TReportRule;
struct TReportTxt;

// The chart images a report's section may hold.
bool ReportHasChart(int id);
bool ReportHasDailyChart(int id);
// "bymon.png", "bytld_daily.png": the report key in lower case.
std::string ChartImageName(std::string_view key, bool daily);

// Shows a page written to disk, reading it and its images again even when the file name
// is the one shown before.
void ShowHtmlFile(QTextBrowser& viewer, const std::string& fileName);

class TfrHTML : public QWidget {
    Q_OBJECT

public:
    // Format gives the dates, times and numbers of the pages.
    explicit TfrHTML(QWidget* parent = nullptr, DisplayFormat format = DefaultDisplayFormat());
    ~TfrHTML() override;

    // Builds and writes one page: in mode 0 the first report of ReportSet (GroupId 0), in
    // mode 1 every report of group GroupId that is in ReportSet, with the export's header
    // and footer. The rows come from Source's statistics (lists are re-sorted in place);
    // Profile gives the name, the domain and the report settings. Mode 0 then shows the
    // page. A cancelled page is not written. Files that cannot be written raise
    // EExportHTML.
    void BuildPage(TReportSource& source, const TProfile& profile, std::uint8_t groupId, const TReportSet& reportSet,
                   const TReportTxt& lang, const std::string& fileName, std::uint8_t mode);
    // Skips the remaining sections of the page being built and keeps it from being written.
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }

    void DoProgress(int percent, const std::string& text);

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;  // kept for the export; never fired

    QTextBrowser* wb = nullptr;  // the embedded viewer

private:
    std::string PageTag(std::string_view tag);
    std::string SectionTag(std::string_view tag);
    std::string Header() const;
    std::string Footer() const;
    std::string Sections();
    std::string FillSection(std::uint8_t id);
    std::string SectionContent();
    std::string ChartImage(bool daily);
    std::string DataTable(const TReportRule& rule);
    std::string GeneralTable() const;
    // Turns one row's cells into the table's cell texts (links, escaping, joined columns).
    void FillTableRow(THTMLTable& table, std::vector<std::string>& cells) const;

    DisplayFormat format_;
    std::uint8_t currentReportId_ = 0;
    TRecReportProperty currentReport_;
    std::uint8_t groupId_ = 0;
    TReportSet reportSet_;
    std::optional<TReportSource> source_;  // the call's source, with the call's profile
    const TReportTxt* lang_ = nullptr;
    std::string fileName_;
    std::uint8_t mode_ = 0;
    std::string progressText_;
    std::atomic<bool> cancelled_{false};

    std::unique_ptr<TfrChart> frChart1;
    TTemplateFiller ppRoot;
    TTemplateFiller ppSection;
};

}  // namespace brindle

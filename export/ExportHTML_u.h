#pragma once
// The HTML export: a folder of linked pages for a web browser. One page per report group
// that holds an exported report (built by the report page frame, with its charts beside
// it), the support files of the HTML template folder, a two-frame "index.html" and the
// navigation tree "nodes.js" that the support scripts draw.
//
// A cancelled export stops at once: the page in progress is not written, nor are the
// support files, "index.html" and "nodes.js"; the pages already written stay.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ReportSet.h"
#include "engine/ProgressEvent.h"
#include "engine/ReportSource.h"
#include "views/HTMLUtils_u.h"  // EExportHTML

namespace brindle {

class TfrHTML;
class TProfile;
struct TReportTxt;

class TExportHTML {
public:
    // PageBuilder is the one page frame of the main window; Source is the analysis to
    // export. Both must outlive the exporter.
    TExportHTML(TfrHTML& pageBuilder, TReportSource& source);

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;  // handed to the page builder; never fired

    // Writes the folder; true when everything was written, false when cancelled. Missing
    // or unwritable files raise EExportHTML; one that cannot be written names the system's
    // reason and the pages written before it.
    bool Execute(const TProfile& profile, const TReportSet& reports, const TReportTxt& lang,
                 const std::string& templateFolder, const std::string& outputFolder);
    // Safe from the progress callback: also stops the page being built.
    void Cancel();

    // The groups (parents of the exported reports) that get a page.
    static TReportSet GroupsOf(const TReportSet& reports);
    // The text of "index.html" and of "nodes.js".
    static std::string IndexPage(const TProfile& profile, const TReportTxt& lang, const TReportSet& groups);
    static std::string TreeScript(const TReportSet& reports, const TReportSet& groups, const TReportTxt& lang);

    // The message of a write failure: Message, the system's Reason, the pages written.
    static std::string WriteFailureMessage(const std::string& message, const std::string& reason,
                                           const std::vector<std::string>& written);

private:
    bool Write(const TProfile& profile, const TReportSet& reports, const TReportTxt& lang,
               const std::string& templateFolder, const std::string& outputFolder);
    void Progress(int value, const std::string& text);
    void CopySupportFiles(const std::string& templateFolder, const std::string& outputFolder) const;

    TfrHTML& pageBuilder_;
    TReportSource& source_;
    TReportSet groups_;
    std::vector<std::string> written_;  // pages of this run, in the order written
    std::atomic<bool> building_{false};
    std::atomic<bool> cancelled_{false};
};

}  // namespace brindle

#pragma once
// The Word export. First the tagged text ("tmpmsw.txt" in the Tmp folder): the title page,
// the table of contents and every selected report as tagged titles and TAB-separated tables
// in the report language, all without a line end of its own. Then that text is read back
// into a document that the template's six passes format (DocxWriter_u.h), and the result
// is written as a .docx with the template's styles.
#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTime_u.h"
#include "core/DisplayFormat.h"
#include "core/ReportSet.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "engine/ProgressEvent.h"
#include "engine/ReportSource.h"

namespace brindle {

// An error of the Word export, with its message for the user.
class EExportWord : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "07L03.00R02.00..." of a report (General included); empty for groups and unknown ids.
std::string_view WordTableDescriptor(int id);
// The column captions of a report's Word table in the language; empty for groups and
// unknown ids.
std::vector<std::string> WordColumnCaptions(int id, const TReportTxt& language);

class TExportWord {
public:
    // Format gives the decimal separator and the date patterns of the cells.
    explicit TExportWord(const TReportSource& source, const DisplayFormat& format = DefaultDisplayFormat());

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;  // bound by the runner, never fired
    // The time written on the title page.
    std::function<TSeconds()> Clock = NowLocal;
    // Named where the target's file system refuses anonymous temporary files.
    TTempKind TempKind = TTempKind::Anonymous;

    // Writes the document; false when cancelled, the output then as it was before. The
    // styles come from "styles.xml" beside TemplateFile; when they cannot be read, raises
    // EExportWord. A file that cannot be written raises EExportFile. The intermediate file
    // is gone afterwards in every case, and the output is only replaced by a finished document.
    bool Execute(const TReportSet& reports, const TReportTxt& language, const std::string& templateFile,
                 const std::string& outputFile, const std::string& intermediateFile);
    // Safe to call from the progress callback or another thread.
    void Cancel() { cancelled_ = true; }

private:
    bool WriteTaggedText(const TReportSet& reports, const std::string& intermediateFile);
    void WriteHeader();
    void WriteReport(TReportID id, bool first);
    void WriteTable(TReportID id);
    void WriteLine(std::string_view line);
    // Counts a step and reports it; true when the export has been cancelled.
    bool StepCancelled();

    TReportSource source_;
    DisplayFormat format_;
    const TReportTxt* language_ = nullptr;
    std::atomic<bool> cancelled_{false};
    std::string text_;  // the tagged text not yet written
    std::string progressText_;
    int steps_ = 0;
};

}  // namespace brindle

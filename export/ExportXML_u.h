#pragma once
// The XML export: the reports of the CSV export in one UTF-8 document. The document element
// DATA carries Description, Title, DateExport and Ver; each report is an element named by
// its key holding one ROW per data row, the CSV column names as attributes. Only these
// fixed names become element or attribute names; texts from the log are attribute values.
#include <atomic>
#include <functional>
#include <string>

#include "core/DateTime_u.h"
#include "core/DisplayFormat.h"
#include "core/ReportSet.h"
#include "core/SafeFile_u.h"
#include "engine/ProgressEvent.h"
#include "engine/ReportSource.h"

namespace brindle {

class TExportXML {
public:
    explicit TExportXML(const TReportSource& source, const DisplayFormat& format = DefaultDisplayFormat());

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;  // bound by the runner, never fired
    // The time written as DateExport.
    std::function<TSeconds()> Clock = NowLocal;

    // Named where the target's file system refuses anonymous temporary files.
    TTempKind TempKind = TTempKind::Anonymous;

    // Builds the document and saves it once at the end; false when cancelled, the target
    // then as it was before. A file that cannot be written raises EExportFile, the target
    // also as it was.
    bool Execute(const TReportSet& reports, const std::string& fileName);
    void Cancel() { cancelled_ = true; }

private:
    TReportSource source_;
    DisplayFormat format_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace brindle

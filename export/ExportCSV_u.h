#pragma once
// The CSV export: every selected report of the analysis in one text file, each after its
// quoted key line and separated from the previous one by an empty line. Lines end in CR LF;
// every non-empty field is quoted (a quote inside doubled), an empty field is nothing.
//
// The column names and the General report's item names here are also the XML export's
// element and attribute names, and the walk over the reports is shared with it.
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/DisplayFormat.h"
#include "core/Options_u.h"
#include "core/ReportSet.h"
#include "core/SafeFile_u.h"
#include "engine/ProgressEvent.h"
#include "engine/ReportContent_u.h"
#include "engine/ReportSource.h"

namespace brindle {

// An export file that cannot be created or written; the earlier file stays as it was.
class EExportFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    static EExportFile CannotWrite(const std::string& fileName, const std::string& reason = {}) {
        const std::string why = reason.empty() ? std::string() : "\r\n" + reason + ".";
        return EExportFile("Cannot write the file \"" + fileName + "\"." + why);
    }
    // With the system's reason for the file's failure (no space, permission denied).
    static EExportFile CannotWrite(const TAtomicFile& file) { return CannotWrite(file.Target(), file.ErrorText()); }
};

// The fixed English column names of a report in the file exports (General included);
// empty for groups and unknown ids.
std::span<const std::string_view> ExportColumnNames(int id);
// "Time", "Access", "Average".
std::string_view ExportCategoryName(TGeneralCategory category);
// The export name of a General item by its [Row] key ("Item101" gives "DateBuild");
// empty for the category headings and unknown keys.
std::string_view ExportGeneralItemName(std::string_view rowKey);

// The separator of the options' CSVSeparatorType: 0 the custom text, 2 ",", 3 ";", 4 TAB,
// anything else the system list separator. An empty custom text also takes the system
// one, since a file without separators cannot be read back.
std::string CSVSeparator(const TRecExportOptions& options, std::string_view systemListSeparator = ",");

// A cell from a log that a spreadsheet would run as a formula (it begins with "=", "+", "-",
// "@", TAB or CR) gets a leading apostrophe; a lone "-" is the logs' empty field and stays.
std::string GuardFormulaCell(std::string text);

// One row with its CR LF. Texts are repaired on the way out (RepairOutputText).
void AppendCSVRow(std::string& out, std::span<const std::string> fields, std::string_view separator);

// The report rows of a set (parent not 0) in catalogue order.
std::vector<TReportID> ExportedReportIDs(const TReportSet& reports);

// The walk both file exports share: progress "Build : <file name>" at 0, then per report
// a cancel test, the report and the progress count * 100 / total; a last cancel test at
// the end. False when cancelled.
bool WalkExportReports(const TReportSet& reports, const std::string& fileName, const std::atomic<bool>& cancelled,
                       const void* sender, const TProgressInfoEvent& onProgress,
                       const std::function<void(TReportID id)>& writeReport);

class TExportCSV {
public:
    // Format gives the decimal separator and the date patterns of the cells.
    explicit TExportCSV(const TReportSource& source, const DisplayFormat& format = DefaultDisplayFormat());

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;  // bound by the runner, never fired
    // Named where the target's file system refuses anonymous temporary files.
    TTempKind TempKind = TTempKind::Anonymous;

    // Writes the file; false when cancelled, the target then as it was before. File errors
    // raise EExportFile, the target also as it was.
    bool Execute(const TReportSet& reports, const std::string& fileName, const std::string& separator);
    // Safe to call from the progress callback or another thread.
    void Cancel() { cancelled_ = true; }

private:
    void WriteRow(std::span<const std::string> fields);
    void WriteGeneral();
    void WriteReport(TReportID id);

    TReportSource source_;
    DisplayFormat format_;
    std::string separator_;
    std::atomic<bool> cancelled_{false};
    TAtomicFile* file_ = nullptr;  // the file of the running Execute
    std::string line_;
};

}  // namespace brindle

// The export runs: the four menu exports and the automatic export after an analysis.
#include <QLocale>
#include <filesystem>

#include "core/AppPaths.h"
#include "core/CommonConsts_catalogue.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "engine/LogConvert_u.h"
#include "engine/ReportContent_u.h"
#include "export/ExportCSV_u.h"
#include "export/ExportHTML_u.h"
#include "export/ExportWord_u.h"
#include "export/ExportXML_u.h"
#include "ui/ExportTarget_u.h"
#include "ui/Main_fm.h"
#include "ui/Main_jobs.h"
#include "ui/UiServices.h"
#include "ui/mProgress2_fm.h"
#include "views/HTML_fr.h"

namespace brindle {

namespace {

namespace fs = std::filesystem;

struct TExportTexts {
    const char* Caption;  // of the progress window
    const char* Step;
    const char* Question;
};

// By job kind; the analysis has none.
constexpr TExportTexts kExportTexts[jkCount] = {
    {"", "", ""},
    {"Export CSV", "Export report to CSV",
     "The CSV report has been exported successfully.\r\nWould you like to open it now using default program?"},
    {"Export HTML", "Export report to HTML",
     "The HTML report has been exported successfully.\r\nWould you like to view it in your web browser?"},
    {"Export MS-Word", "Export report to MS-Word",
     "The Word report has been exported successfully.\r\nWould you like to open it now using default program?"},
    {"Export XML", "Export report to XML",
     "The XML report has been exported successfully.\r\nWould you like to open it now using default program?"},
};

// Export format codes of the export dialog.
int FormatCode(TJobKind kind) {
    switch (kind) {
        case jkWord: return 1;
        case jkHTML: return 2;
        case jkCSV: return 3;
        default: return 4;
    }
}

// One of the exporters of export/ as an export run drives it; Run calls its Execute with
// the job's values.
template <class TExporter>
class TExporterRunner final : public TExportRunner {
public:
    using TRun = bool (*)(TExporter& exporter, const TExportJob& job);
    TExporterRunner(const TExportJob& job, TRun run) : exporter_(job.Source, job.Format), job_(job), run_(run) {
        exporter_.OnProgress = job.OnProgress;
        exporter_.OnStatus = job.OnStatus;
    }
    bool Execute() override { return run_(exporter_, job_); }
    void Cancel() override { exporter_.Cancel(); }

private:
    TExporter exporter_;
    TExportJob job_;
    TRun run_;
};

// The HTML export builds its pages with a page frame of its own.
class THTMLRunner final : public TExportRunner {
public:
    explicit THTMLRunner(const TExportJob& job)
        : job_(job), pageBuilder_(nullptr, job.Format), exporter_(pageBuilder_, job_.Source) {
        exporter_.OnProgress = job.OnProgress;
        exporter_.OnStatus = job.OnStatus;
    }
    bool Execute() override {
        return exporter_.Execute(job_.Source.Profile, job_.Reports, *job_.Language, job_.TemplatePath, job_.Target);
    }
    void Cancel() override { exporter_.Cancel(); }

private:
    TExportJob job_;
    TfrHTML pageBuilder_;
    TExportHTML exporter_;
};

std::unique_ptr<TExportRunner> MakeExportRunner(TJobKind kind, const TExportJob& job) {
    switch (kind) {
        case jkCSV:
            return std::make_unique<TExporterRunner<TExportCSV>>(job, [](TExportCSV& exporter, const TExportJob& j) {
                return exporter.Execute(j.Reports, j.Target, j.Separator);
            });
        case jkXML:
            return std::make_unique<TExporterRunner<TExportXML>>(
                job, [](TExportXML& exporter, const TExportJob& j) { return exporter.Execute(j.Reports, j.Target); });
        case jkWord:
            return std::make_unique<TExporterRunner<TExportWord>>(job, [](TExportWord& exporter, const TExportJob& j) {
                return exporter.Execute(j.Reports, *j.Language, j.TemplatePath, j.Target, j.TmpFile);
            });
        case jkHTML: return std::make_unique<THTMLRunner>(job);
        default: return nullptr;
    }
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The list separator of the desktop's locale: ";" where the decimal separator is ",".
std::string SystemListSeparator() { return QLocale::system().decimalPoint() == "," ? ";" : ","; }

}  // namespace

// ---- Menu actions ----

void TfmMain::acREFileExportHTMLExecute() { MenuExport(jkHTML); }
void TfmMain::acREFileExportWordExecute() { MenuExport(jkWord); }
void TfmMain::acREFileExportCSVExecute() { MenuExport(jkCSV); }
void TfmMain::acREFileExportXMLExecute() { MenuExport(jkXML); }

bool TfmMain::MenuExport(TJobKind kind) {
    if (!hasResult_) return false;
    if (!hooks_.AskExport) return false;
    const std::optional<TExportChoice> choice = hooks_.AskExport(FormatCode(kind), this);
    if (!choice) return false;
    switch (kind) {
        case jkHTML: return ExportReportHTML(WithSlash(choice->Target), choice->LanguageID);
        case jkWord: return ExportReportWord(choice->Target, choice->LanguageID);
        case jkCSV: return ExportReportCSV(choice->Target);
        default: return ExportReportXML(choice->Target);
    }
}

bool TfmMain::ExportReportCSV(const std::string& fileName) { return RunExport(jkCSV, fileName, {}); }
bool TfmMain::ExportReportHTML(const std::string& folder, const std::string& languageID) {
    return RunExport(jkHTML, folder, languageID);
}
bool TfmMain::ExportReportWord(const std::string& fileName, const std::string& languageID) {
    return RunExport(jkWord, fileName, languageID);
}
bool TfmMain::ExportReportXML(const std::string& fileName) { return RunExport(jkXML, fileName, {}); }

// ---- One run ----

bool TfmMain::RunExport(TJobKind kind, const std::string& target, const std::string& languageID) {
    if (!hasResult_ || !progress_) return false;
    if (kind == jkWord && hooks_.ConfirmWord && !hooks_.ConfirmWord(*regData_, commandLine_.Silent, this)) return false;

    const TExportTexts& texts = kExportTexts[kind];
    TExportJob job{Source(), {}, nullptr, {}, {}, {}, {}, format_, {}, {}};
    bool done = false;
    {
        TJobScope scope(*this, kind, texts.Caption);
        ShowProgressStep(0, texts.Step);
        progress_->SetPosition(0);
        progress_->SetInfo({});
        job.OnProgress = [this](const void*, int percent, const std::string& text) { ShowProgressInfo(percent, text); };
        job.OnStatus = [this](const void*, int image, const std::string& text) { ShowProgressStep(image, text); };

        job.Target = ResolveExportTarget(target);
        if (kind == jkHTML) job.Target = WithSlash(job.Target);
        const std::string folder = ExportTargetFolder(job.Target, kind == jkHTML);
        std::error_code ec;
        if (!folder.empty() && !fs::is_directory(folder, ec)) {
            fs::create_directories(folder, ec);
            if (!fs::is_directory(folder, ec)) {
                ui_.ShowWarning(CreateFolderErrorText(folder));
                return false;
            }
        }

        // A report without a record in the profile takes its default row, as in the tree.
        job.Reports = GetEnabledReportsWithDefaults(result_.Profile);
        if (kind == jkHTML && options_.ShowEmptyReports == 0) {
            TReportSet shown;
            for (const TRecNodeProperty& node : NodeTable())
                if (job.Reports.Contains(node.ID) && !result_.Statistics.IsReportEmpty(node.ID)) shown.Include(node.ID);
            job.Reports = shown;
        }
        if (kind == jkHTML || kind == jkWord) {
            job.Language = reportTxts_.FindByID(languageID);
            if (!job.Language) job.Language = reportTxts_.FindByID(options_.Export.LanguageID);
            if (!job.Language) job.Language = &EnglishTexts();
        }
        job.Separator = CSVSeparator(options_.Export, SystemListSeparator());
        job.TemplatePath = kind == jkHTML ? AppPaths::TemplateHtmlDir() : AppPaths::TemplateWordDir() + "msw80.dot";
        job.TmpFile = AppPaths::TmpDir() + "tmpmsw.txt";

        std::unique_ptr<TExportRunner> runner = MakeExportRunner(kind, job);
        runningExport_[kind] = runner.get();
        // A Cancel pressed before the exporter existed has cleared the flag already.
        if (busy_[kind]) done = runner->Execute();
        runningExport_[kind] = nullptr;
        if (done) ShowProgressStep(0, "Done");
    }
    if (done && !commandLine_.Silent && ui_.AskYesNo(texts.Question, TQuestionKind::Information))
        ui_.OpenWithDesktop(kind == jkHTML ? job.Target + "index.html" : job.Target);
    return done;
}

}  // namespace brindle

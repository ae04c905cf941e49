// The analysis run and the control of every long job: the progress window, Cancel, and the
// window disabled while a job runs. Jobs run on the GUI thread and let pending events run
// from their progress callbacks, at the window's pace, so the progress window's Cancel acts.
#include <QCoreApplication>
#include <filesystem>

#include "core/AppPaths.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/Registre_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ELogConvert.h"
#include "engine/LocalNames.h"
#include "engine/LogConvert_u.h"
#include "ui/Main_fm.h"
#include "ui/Main_jobs.h"
#include "ui/StartUp_u.h"
#include "ui/UiServices.h"
#include "ui/mProgress2_fm.h"

namespace brindle {

std::string WorkFolderFor(const TProfile& profile) {
    return AppPaths::DataLogDir() + TLocalNames::SafeComponent(profile.Name, "profile") + "/";
}

TfmMain::TJobScope::TJobScope(TfmMain& window, TJobKind kind, const std::string& caption)
    : window_(window), kind_(kind) {
    window_.busy_[kind_] = true;
    if (window_.jobDepth_++ == 0) window_.DisableMainForm();
    TfmmProgress2* progress = window_.progress_;
    progress->setWindowTitle(QString::fromStdString(caption));
    progress->Reset();
    progress->OnCancel = [&window] { window.CancelJob(); };
    // A run no one sees keeps the steps all the same, without a window to draw them in.
    if (window_.Unattended()) return;
    progress->SetTransientOwner(&window_);
    progress->show();
    progress->raise();
}

TfmMain::TJobScope::~TJobScope() {
    window_.busy_[kind_] = false;
    window_.runningExport_[kind_] = nullptr;
    if (kind_ == jkAnalysis) window_.runningAnalysis_ = nullptr;
    // Also an automatic export inside an analysis gives the window back before it asks
    // whether to open what it wrote.
    window_.progress_->hide();
    window_.EnableMainForm();
    if (--window_.jobDepth_ == 0) window_.progress_->OnCancel = nullptr;
}

void TfmMain::GenerateReport(TProfile& profile) {
    if (profile.DNSLookup != 0 && options_.AskBefore != 0 && !commandLine_.Silent && hooks_.ConfirmDNS) {
        bool dontShowAgain = false;
        const bool yes = hooks_.ConfirmDNS(dontShowAgain, this);
        if (dontShowAgain) {
            options_.AskBefore = 0;
            SavedOrTold(options_.SaveToFile(AppPaths::OptionsFile()), AppPaths::OptionsFile(), ui_);
        }
        if (!yes) return;
    }

    const std::string workFolder = WorkFolderFor(profile);
    std::error_code ec;
    std::filesystem::create_directories(workFolder, ec);
    if (!std::filesystem::is_directory(workFolder, ec))
        throw ELogConvert(SafeFormat(kCouldNotCreateFolder, {workFolder}));

    if (!progress_) return;
    // The shown result is apart from the engine: it stays untouched unless this run succeeds.
    // Whatever the outcome, the engine gives the run's memory back.
    struct TReleaseRun {
        TLogConvert& Engine;
        ~TReleaseRun() { Engine.ReleaseRun(); }
    } const release{engine_};
    TLogConvert* const run = &engine_;
    bool done = false;
    {
        TJobScope scope(*this, jkAnalysis, "Generate report");
        runningAnalysis_ = run;
        ShowProgressStep(0, "Initializing");
        progress_->SetInfo({});
        progress_->SetPosition(0);
        run->OnProgress = [this](const void*, int percent, const std::string& text) {
            ShowProgressInfo(percent, text);
        };
        run->OnStatus = [this](const void*, int image, const std::string& text) { ShowProgressStep(image, text); };
        // The result is all the window keeps.
        run->ReleaseRecordsWhenRead = true;
        // A Cancel pressed before the engine started has cleared the flag already.
        if (busy_[jkAnalysis])
            done = run->Analyze(profile, workFolder, AppPaths::DnsCacheFile(), regData_->Path, options_);
        run->OnProgress = nullptr;
        run->OnStatus = nullptr;
        // The names found are kept in this run's result; only the next run looks them up again.
        if (!run->DNSCacheSaveFailure.empty()) ui_.ShowError(run->DNSCacheSaveFailure);
        // The analysis is over: a Cancel from here on reaches the automatic export.
        busy_[jkAnalysis] = false;
        runningAnalysis_ = nullptr;
        if (!done) return;

        result_ = run->TakeResult();
        hasResult_ = true;
        ShowReportPage();
        RunAutoExport(result_.Profile);
        ShowProgressStep(0, "Done");
    }
}

void TfmMain::RunAutoExport(const TProfile& profile) {
    autoExportFailed_ = false;
    if (profile.AutoExport == 0) return;
    switch (profile.AutoExportType) {
        case 1: autoExportFailed_ = !ExportReportWord(profile.AutoExportFile, profile.AutoExportLanguageID); break;
        case 2: autoExportFailed_ = !ExportReportHTML(profile.AutoExportFile, profile.AutoExportLanguageID); break;
        case 3: autoExportFailed_ = !ExportReportCSV(profile.AutoExportFile); break;
        case 4: autoExportFailed_ = !ExportReportXML(profile.AutoExportFile); break;
        default: break;
    }
}

void TfmMain::CancelJob() {
    for (int kind = jkAnalysis; kind < jkCount; ++kind) {
        if (!busy_[kind]) continue;
        ShowProgressStep(2, "Aborted by user");
        busy_[kind] = false;
        if (kind == jkAnalysis) {
            if (runningAnalysis_) runningAnalysis_->Cancel();
        } else if (runningExport_[kind]) {
            runningExport_[kind]->Cancel();
        }
        return;
    }
}

// The job hands its progress over and goes on; events run only when the window's turn has
// come, so Cancel still arrives within a few hundredths of a second.
void TfmMain::ShowProgressInfo(int percent, const std::string& text) {
    if (!progress_) return;
    progress_->PostProgress(percent, text);
    if (progress_->CatchUp()) QCoreApplication::processEvents();
}

void TfmMain::ShowProgressStep(int image, const std::string& text) {
    if (!progress_) return;
    progress_->AddStep(image, text, NowLocal());
    if (progress_->CatchUp()) QCoreApplication::processEvents();
}

}  // namespace brindle

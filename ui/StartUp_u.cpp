#include "ui/StartUp_u.h"

#include "core/AppPaths.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/Registre_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "core/SafeFormat_u.h"
#include "ui/CommandLine_u.h"
#include "ui/ExportTarget_u.h"
#include "ui/Migration_u.h"
#include "ui/SampleProfiles_u.h"
#include "ui/UiServices.h"

namespace brindle {

namespace {

constexpr std::int32_t kTipCount = 8;

// A file set aside could not be moved: its name must not be written during this run.
bool MayWrite(const TBrokenFileBackup& backup) { return backup.State != TBrokenFileState::Failed; }

}  // namespace

TStartUpPaths TStartUpPaths::FromAppPaths() {
    return {AppPaths::ProfilesFile(), AppPaths::OptionsFile(), AppPaths::LanguagesDir(), AppPaths::SampleDir()};
}

TStartUp::TStartUp(TProfiles& profiles, TOptions& options, TLstReportTxt& reportTxts, TRegData& regData,
                   TUiServices& ui)
    : profiles_(profiles), options_(options), reportTxts_(reportTxts), regData_(regData), ui_(ui) {}

bool TStartUp::CreateFolders() {
    AppPaths::RemoveLeftovers();
    const AppPaths::TFolderFailure failed = AppPaths::CreateUserFolders();
    if (failed.Folder.empty()) return true;
    std::string message = SafeFormat(kCouldNotCreateFolder, {failed.Folder});
    if (!failed.Reason.empty()) message += "\r\n" + failed.Reason + ".";
    ui_.ShowError(message);
    return false;
}

TStartUpResult TStartUp::Run(const TCommandLine& commandLine, const TStartUpPaths& paths, const TShowTipsFunc& showTips,
                             TSeconds now) {
    TStartUpResult result;
    result.FirstRunOfNewVersion = CheckInstalledVersion();
    const bool silent = commandLine.Silent;
    const bool firstRun = result.FirstRunOfNewVersion;
    if (!silent) ShowTips(showTips);

    LoadProfiles(paths, silent, firstRun, now, result);
    // Only now are the export targets known.
    RemoveStaleAutoExportFiles(profiles_.Profiles);
    LoadOptions(paths, silent, firstRun, now, result);
    reportTxts_.LoadFolder(paths.LanguagesDir);

    if (firstRun) {
        CreateSampleProfiles(profiles_.Profiles, paths.SampleDir);
        profilesChanged_ = true;
        optionsChanged_ = true;
    }
    SaveChangedFiles(paths, result, silent);
    ReadCommandLineActions(commandLine, result);
    return result;
}

bool TStartUp::CheckInstalledVersion() {
    double installed = 0;
    try {
        installed = StrToFloatDot(regData_.Ver);
    } catch (const EConvertError&) {
        installed = 0;
    }
    if (installed >= StrToFloatDot(kProgramVersion)) return false;
    regData_.Ver = std::string(kProgramVersion);
    return true;
}

void TStartUp::ShowTips(const TShowTipsFunc& showTips) {
    if (!regData_.StartUp || !showTips) return;
    std::int32_t first = regData_.Number < kTipCount ? regData_.Number + 1 : 1;
    if (first < 1) first = 1;
    const TTipsOutcome outcome = showTips(first);
    regData_.Number = outcome.LastNumber;
    regData_.StartUp = outcome.ShowAtStartUp;
}

void TStartUp::Report(const std::string& message, bool silent) const {
    if (!silent || !ui_.ShowsBoxes()) ui_.ShowError(message);
}

TBrokenFileBackup TStartUp::HandleLoadFailure(const std::string& fileName, const std::string& reason, bool silent,
                                              bool firstRun, TSeconds now) {
    // A file that is there but unreadable is kept before the start-up writes its name anew,
    // and that is worth telling even on the first run of a new version.
    TBrokenFileBackup backup = SetBrokenFileAside(fileName, now);
    std::string message = SafeFormat(kCouldNotLoadFile, {fileName});
    if (!reason.empty()) message += "\r\n" + reason + ".";
    switch (backup.State) {
        case TBrokenFileState::Missing:
            if (firstRun) return backup;
            break;
        case TBrokenFileState::Moved: message += SafeFormat(kBrokenFileKept, {backup.BackupName}); break;
        case TBrokenFileState::Failed: message += kBrokenFileNotMoved; break;
    }
    Report(message, silent);
    return backup;
}

void TStartUp::LoadProfiles(const TStartUpPaths& paths, bool silent, bool firstRun, TSeconds now,
                            TStartUpResult& result) {
    std::string reason;
    if (!profiles_.LoadFromFile(paths.ProfilesFile, &reason))
        result.ProfilesBackup = HandleLoadFailure(paths.ProfilesFile, reason, silent, firstRun, now);
    const double stored = StoredFileVersion(profiles_.Ver);
    if (stored < kCurrentProfilesVersion) {
        MigrateProfiles(profiles_.Profiles, stored, kCurrentProfilesVersion);
        profilesChanged_ = true;
    }
}

void TStartUp::LoadOptions(const TStartUpPaths& paths, bool silent, bool firstRun, TSeconds now,
                           TStartUpResult& result) {
    std::string reason;
    if (!options_.LoadFromFile(paths.OptionsFile, &reason)) {
        result.OptionsBackup = HandleLoadFailure(paths.OptionsFile, reason, silent, firstRun, now);
        options_.LoadDefaults();
        optionsChanged_ = true;
    }
    const double stored = StoredFileVersion(options_.Ver);
    if (stored < kCurrentOptionsVersion) {
        MigrateOptions(options_, stored, kCurrentOptionsVersion);
        optionsChanged_ = true;
    }
}

void TStartUp::SaveChangedFiles(const TStartUpPaths& paths, const TStartUpResult& result, bool silent) {
    if (profilesChanged_) SaveProfiles(paths, result, silent);
    if (optionsChanged_) SaveOptions(paths, result, silent);
    profilesChanged_ = false;
    optionsChanged_ = false;
}

// A failed write keeps the earlier file and the values in memory; the user is told, since
// what the run changes would otherwise be lost at the next start without a word.
void TStartUp::SaveProfiles(const TStartUpPaths& paths, const TStartUpResult& result, bool silent) const {
    std::string reason;
    if (MayWrite(result.ProfilesBackup) && !profiles_.SaveToFile(paths.ProfilesFile, &reason))
        Report(WriteFailureText(paths.ProfilesFile, reason), silent);
}

void TStartUp::SaveOptions(const TStartUpPaths& paths, const TStartUpResult& result, bool silent) const {
    std::string reason;
    if (MayWrite(result.OptionsBackup) && !options_.SaveToFile(paths.OptionsFile, &reason))
        Report(WriteFailureText(paths.OptionsFile, reason), silent);
}

void TStartUp::ReadCommandLineActions(const TCommandLine& commandLine, TStartUpResult& result) const {
    result.OpenDocument = commandLine.DocumentFile;
    if (commandLine.ProfileName.empty()) return;
    const TLstProfile& list = profiles_.Profiles;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        if (list[i].Name == commandLine.ProfileName) {
            result.AnalyseProfile = i;
            result.CloseAfterAnalysis = commandLine.CloseAfterRun;
            return;
        }
    }
}

}  // namespace brindle

#pragma once
// What the main window does when it is created and first shown, without any widget: the
// user folders, the installed-version check, the tip of the day, loading and upgrading
// "Profiles.xml" and "Options.xml", the report languages and the sample profiles. The window
// then does what the returned value asks (open a document, analyse a profile, close).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/BrokenFile_u.h"
#include "core/DateTime_u.h"

namespace brindle {

class TProfiles;
class TOptions;
class TLstReportTxt;
class TRegData;
class TUiServices;
struct TCommandLine;

// The version this program stores as installed; a lower stored one means a first run.
inline constexpr std::string_view kProgramVersion = "2.30";

inline constexpr std::string_view kCouldNotLoadFile =
    "Could not load the file '%s'.\r\nYou should reinstall the product to ensure proper file placement.";
inline constexpr std::string_view kBrokenFileKept = "\r\n\r\nThe unreadable file was kept as '%s'.";
inline constexpr std::string_view kBrokenFileNotMoved =
    "\r\n\r\nThe unreadable file could not be renamed; it is left as it is and will not be overwritten.";
inline constexpr std::string_view kCouldNotCreateFolder = "Could not create the folder '%s'.";
inline constexpr std::string_view kNoSuchProfile = "There is no profile named '%s'.";
// The exit status of a "/c" run without a screen that could not do its job.
inline constexpr int kUnattendedRunFailed = 1;

struct TStartUpPaths {
    std::string ProfilesFile;
    std::string OptionsFile;
    std::string LanguagesDir;
    std::string SampleDir;  // with its final "/"

    // The program's own folders.
    static TStartUpPaths FromAppPaths();
};

// The tip of the day: shown starting at a tip number (1..8); gives back the number of the
// last tip shown and whether tips stay on at start.
struct TTipsOutcome {
    std::int32_t LastNumber = 1;
    bool ShowAtStartUp = true;
};
using TShowTipsFunc = std::function<TTipsOutcome(std::int32_t firstNumber)>;

struct TStartUpResult {
    bool FirstRunOfNewVersion = false;
    std::string OpenDocument;  // "/o=": open it; empty for nothing
    std::optional<std::size_t> AnalyseProfile;  // "/p=": index of the profile to analyse
    bool CloseAfterAnalysis = false;  // "/c" with a profile to analyse
    TBrokenFileBackup ProfilesBackup;  // an unreadable "Profiles.xml" set aside
    TBrokenFileBackup OptionsBackup;  // an unreadable "Options.xml" set aside
};

class TStartUp {
public:
    TStartUp(TProfiles& profiles, TOptions& options, TLstReportTxt& reportTxts, TRegData& regData, TUiServices& ui);

    // At window creation: the user folders. A failure is reported and the start goes on.
    bool CreateFolders();

    // At the first show. RegData must be loaded already; it is changed in memory only (the
    // window saves it when it closes). ShowTips may be empty (no tips dialog).
    TStartUpResult Run(const TCommandLine& commandLine, const TStartUpPaths& paths, const TShowTipsFunc& showTips = {},
                       TSeconds now = NowLocal());

private:
    bool CheckInstalledVersion();
    void ShowTips(const TShowTipsFunc& showTips);
    TBrokenFileBackup HandleLoadFailure(const std::string& fileName, const std::string& reason, bool silent,
                                        bool firstRun, TSeconds now);
    // A silent start shows no box, but where messages go to standard error they still go.
    void Report(const std::string& message, bool silent) const;
    void LoadProfiles(const TStartUpPaths& paths, bool silent, bool firstRun, TSeconds now, TStartUpResult& result);
    void LoadOptions(const TStartUpPaths& paths, bool silent, bool firstRun, TSeconds now, TStartUpResult& result);
    // Each file is written once, when the start-up has made all its changes: a fresh
    // folder would otherwise get the same options written three times over.
    void SaveChangedFiles(const TStartUpPaths& paths, const TStartUpResult& result, bool silent);
    void SaveProfiles(const TStartUpPaths& paths, const TStartUpResult& result, bool silent) const;
    void SaveOptions(const TStartUpPaths& paths, const TStartUpResult& result, bool silent) const;
    void ReadCommandLineActions(const TCommandLine& commandLine, TStartUpResult& result) const;

    TProfiles& profiles_;
    TOptions& options_;
    TLstReportTxt& reportTxts_;
    TRegData& regData_;
    TUiServices& ui_;
    bool profilesChanged_ = false;
    bool optionsChanged_ = false;
};

}  // namespace brindle

#pragma once
// Helpers of the analysis run, apart for their tests.
#include <string>

#include "ui/Main_fm.h"

namespace brindle {

class TProfile;
class TUiServices;

// The warning shown when a folder for a document or an export cannot be made.
std::string CreateFolderErrorText(const std::string& folder);

// Tells the user when a file was not saved ("Could not save the file '%s'."); returns Saved.
bool SavedOrTold(bool saved, const std::string& fileName, TUiServices& ui);

// DataLog folder + the profile name made into one safe folder name + "/".
std::string WorkFolderFor(const TProfile& profile);

// While a job runs: its busy flag up, the main window disabled and the progress window
// shown with the caption, reset, its Cancel bound to the window. Every job hides the
// progress window and enables the main window when it ends, a nested one too.
class TfmMain::TJobScope {
public:
    TJobScope(TfmMain& window, TJobKind kind, const std::string& caption);
    ~TJobScope();
    TJobScope(const TJobScope&) = delete;
    TJobScope& operator=(const TJobScope&) = delete;

private:
    TfmMain& window_;
    TJobKind kind_;
};

}  // namespace brindle

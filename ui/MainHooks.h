#pragma once
// What the main window calls in the views and dialogs that live in their own units. Each
// hook is wired in one place (MakeMainHooks); tests set their own. An unset hook leaves its
// frame blank, or its action doing without (see each line).
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/DisplayFormat.h"
#include "core/ReportSet.h"
#include "engine/ProgressEvent.h"
#include "engine/ReportSource.h"
#include "ui/StartUp_u.h"

namespace brindle {

class TProfile;
class TOptions;
class TLstReportTxt;
class TRegData;
class TUiServices;
struct TReportTxt;

// One export of the current analysis, as an export run drives it (Main_export.cpp).
class TExportRunner {
public:
    virtual ~TExportRunner() = default;
    // False when cancelled; errors raise.
    virtual bool Execute() = 0;
    // Safe from inside the progress callbacks.
    virtual void Cancel() = 0;
};

// Everything an exporter needs for one run. The HTML target is a folder ending in "/".
struct TExportJob {
    TReportSource Source;
    TReportSet Reports;
    const TReportTxt* Language = nullptr;  // HTML and Word
    std::string TemplatePath;  // HTML: the template folder; Word: the template file
    std::string Target;
    std::string TmpFile;  // Word: the tagged text file
    std::string Separator;  // CSV
    DisplayFormat Format;
    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;
};

// What the export dialog gave: the target and the report language's id (or "default").
struct TExportChoice {
    std::string Target;
    std::string LanguageID;
};

struct TMainHooks {
    // ---- The frames of the report page (each unset: a blank frame) ----
    // Create the frame inside Parent.
    std::function<QWidget*(QWidget* parent)> MakeListFrame;
    std::function<QWidget*(QWidget* parent)> MakeHTMLFrame;
    std::function<QWidget*(QWidget* parent)> MakeInfoFrame;
    // The table of one report (TfrList::ShowReport).
    std::function<void(QWidget* frame, TReportSource& source, int reportId)> ShowReportList;
    // The HTML page of one report set, group 0, view mode 0, written to PageFile and shown
    // (TfrHTML::BuildPage).
    std::function<void(QWidget* frame, TReportSource& source, const TReportSet& reports, const TReportTxt& language,
                       const std::string& pageFile)>
        BuildReportPage;
    // The information page, message 1 with a current analysis, 0 without (TfrInfo::ShowInfo).
    std::function<void(QWidget* frame, int message, const std::string& pageFile)> ShowInfoPage;

    // ---- Dialogs ----
    // The modal result, 1 (QDialog::Accepted) for OK; unset: nothing is created or changed.
    std::function<int(TProfile& profile, QWidget* parent)> ProfileWizard;  // TfmProfileWiz::Execute
    std::function<int(TProfile& profile, QWidget* parent)> EditProfile;  // TfmProfileEdit::Execute
    // Unset: the options stay as they are.
    std::function<int(const std::string& dnsCacheFile, QWidget* parent)> EditOptions;  // TfmOptions::Execute
    // True for Yes; DontShowAgain gets the box's state. Unset: the analysis goes on unasked.
    std::function<bool(bool& dontShowAgain, QWidget* parent)> ConfirmDNS;  // TfmConfirmDNS::Execute
    // The tip of the day at start (unset: none) and from the Help menu.
    std::function<TTipsOutcome(std::int32_t firstNumber, QWidget* parent)> StartUpTips;
    std::function<void(TRegData& regData, QWidget* parent)> HelpTips;
    std::function<void(const std::string& cityDbPath, QWidget* parent)> About;  // TfmAbout::Execute
    // The export dialog (TfmExport::Execute) for kind 1..4; nothing when cancelled. Unset:
    // the menu exports do nothing.
    std::function<std::optional<TExportChoice>(int kind, QWidget* parent)> AskExport;
    // The Word notice (ConfirmWordExport): true when the export goes on. Unset: it goes on.
    std::function<bool(TRegData& regData, bool silent, QWidget* parent)> ConfirmWord;
};

// The program's hooks: the views and dialogs of the program. Format is that of the pages.
TMainHooks MakeMainHooks(TOptions& options, const TLstReportTxt& languages, TUiServices& ui,
                         const DisplayFormat& format);

}  // namespace brindle

#pragma once
// The main window: the profile list page, the report page (report tree and the views of the
// selected report), menus, toolbar and status bar; the start-up work of its first show, the
// analysis and export jobs with the progress window, and the shutdown.
//
// Every action and signal runs inside one guard (RunGuarded): an error that ends it is shown
// as a message, and no exception leaves a slot. The members named after an action (such as
// acPRFileNewExecute) are the unguarded bodies; tests call them directly as well.
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/DisplayFormat.h"
#include "engine/AnalysisResult.h"
#include "engine/ReportSource.h"
#include "ui/CommandLine_u.h"
#include "ui/MainHooks.h"

class QAction;
class QCloseEvent;
class QKeyEvent;
class QMenu;
class QShowEvent;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace brindle {

class TLogConvert;
class TProfiles;
class TProfile;
class TOptions;
class TLstReportTxt;
class TRegData;
class TUiServices;
class TfmmProgress2;
class TProfileListModel;
struct TReportTxt;

// The program's objects the window works on, and how it shows numbers and dates.
struct TMainContext {
    TLogConvert& LogConvert;
    TProfiles& Profiles;
    TOptions& Options;
    TLstReportTxt& ReportTxts;
    TUiServices& Ui;
    DisplayFormat Format;
};

// The jobs of the window, in the order Cancel looks at them.
enum TJobKind : int { jkAnalysis = 0, jkCSV = 1, jkHTML = 2, jkWord = 3, jkXML = 4, jkCount = 5 };

class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    // Creates the user folders, restores the placement, builds the actions and, unless the
    // run is unattended, the widgets, captions and the report tree (without a current
    // analysis). An unattended run builds its widgets only if it is shown after all.
    TfmMain(const TMainContext& context, TMainHooks hooks, TCommandLine commandLine, QWidget* parent = nullptr);
    // Empties the process Tmp folder and saves the placement.
    ~TfmMain() override;

    // The progress window shared by every job; the program creates it after the window.
    void SetProgressDialog(TfmmProgress2* progress) { progress_ = progress; }
    TfmmProgress2* ProgressDialog() const { return progress_; }

    // ---- Start, pages, shutdown (Main_fm.cpp) ----
    // Shows the window, whose first show runs the start-up work. A run that no one can see
    // (no screen, closing after the run) shows nothing and starts that work directly.
    void Start();
    // No screen and "/c": no window of the run is ever drawn, so none is shown or built.
    bool Unattended() const { return commandLine_.NoScreen && commandLine_.CloseAfterRun; }
    // The start-up work; runs once, from the first show (or directly in tests).
    void FormShow();
    bool FirstShowPending() const { return firstShow_; }
    void LoadCaptions();
    void pcChange();
    void UpdatePageActions();
    void UpdateCaption();
    void HideReportFrames();
    void DisableMainForm();
    void EnableMainForm();
    // A log file dropped on the profile list: the wizard on a new profile reading it.
    void NewProfileFromDroppedFile(const std::string& fileName);
    // True while a job runs: the window then refuses to close.
    bool JobRunning() const { return jobDepth_ > 0; }
    TRegData& RegData() const { return *regData_; }
    bool Silent() const { return commandLine_.Silent; }

    // ---- Analysis and job control (Main_jobs.cpp) ----
    // Analyses a profile of the list; the report page then shows the result and the
    // profile's automatic export runs. A failed or cancelled analysis keeps the previous
    // result. Errors raise.
    void GenerateReport(TProfile& profile);
    // The progress window's Cancel: the first running job of TJobKind order.
    void CancelJob();
    void ShowProgressInfo(int percent, const std::string& text);
    void ShowProgressStep(int image, const std::string& text);
    bool Busy(TJobKind kind) const { return busy_[kind]; }

    // ---- Report page (Main_report.cpp) ----
    void BuildReportTree();
    void ShowReportView();
    void tvlChange(QTreeWidgetItem* node);
    // The node's catalogue image; folders show it open while expanded.
    void tvlImageUpdate(QTreeWidgetItem* node);
    void acREViewListExecute();
    void acREViewHTMLExecute();
    // The profile of the shown result: its own copy, so that it outlives edits and
    // deletions in the list. Null before the first analysis or document.
    const TProfile* CurrentProfile() const;
    // The shown result; empty statistics before the first analysis or document.
    const TAnalysisResult& Result() const { return result_; }
    int CurrentReportID() const { return currentReportId_; }
    int RequestedViewMode() const { return requestedMode_; }
    int EffectiveViewMode() const { return effectiveMode_; }
    TReportSource Source();

    // ---- Profile list, profile actions, documents (Main_profiles.cpp) ----
    void FillProfileList();
    void UpdateProfileActions();
    std::vector<TProfile*> SelectedProfiles() const;
    void vtProfilesHeaderClick(int column);
    void vtProfilesDblClick();
    int ProfileSortColumn() const { return profileSortColumn_; }
    void acPRFileNewExecute();
    void acPRFileEditExecute();
    void acPRFileCopyExecute();
    void acPRFileDeleteExecute();
    void acPRFileGenerateExecute();
    void acREFileOpenExecute();
    void acREFileSaveExecute();
    void acConfigureOptionsExecute();
    void acHelpTopicsExecute();
    void acHelpTipsExecute();
    void acHelpWebExecute();
    void acHelpAboutExecute();
    // True when the document replaced the shown result.
    bool OpenReportFile(const std::string& fileName);
    bool SaveReportFile(const std::string& fileName);

    // ---- Exports (Main_export.cpp) ----
    void acREFileExportHTMLExecute();
    void acREFileExportWordExecute();
    void acREFileExportCSVExecute();
    void acREFileExportXMLExecute();
    // One run each; true when the export was written.
    bool ExportReportCSV(const std::string& fileName);
    bool ExportReportHTML(const std::string& folder, const std::string& languageID);
    bool ExportReportWord(const std::string& fileName, const std::string& languageID);
    bool ExportReportXML(const std::string& fileName);

    // Builds the widgets first if the window has none yet.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TJobScope;

    // The menus, tool bar, pages and status bar, brought up to what the window did so far.
    void BuildWidgets();
    bool WidgetsBuilt() const { return pc != nullptr; }
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QWidget* CreateProfilePage();
    QWidget* CreateReportPage();
    void RestorePlacement();
    void SavePlacement();
    // Connects a signal-less call to the guard.
    void Guarded(const std::function<void()>& action);
    QAction* NewAction(const char* name);
    void SelectFirstProfile();
    void SelectProfileRow(const TProfile* profile);
    // "<profile name>.bnl" in the folder of the last document opened or saved (else home).
    std::string ProposedDocumentName() const;
    void RememberDocumentFolder(const std::string& fileName);
    // Delete deletes the selected profiles, Enter generates as a double click does; true
    // when the key was one of them.
    bool ProfileListKey(const QKeyEvent& key);
    // The wizard on a new profile; on OK it joins the list, which is saved and refilled.
    void AddProfileThroughWizard(std::unique_ptr<TProfile> profile);
    // Writes Profiles.xml; a failure is shown, never passed over.
    void SaveProfiles();
    // Checks and enables the two view actions for the shown node.
    void UpdateViewActions();
    void ShowReportPage();
    // The tree built anew with the report selected before, as a run without widgets left it.
    void RestoreReportTree();
    // The selected report's frame, built now.
    void BuildReportView();
    // No result, or a folder of the tree: the information page stands for the report.
    bool ShowsInfoPage() const;
    void RunAutoExport(const TProfile& profile);
    const TReportTxt& EnglishTexts() const;

    // The export runs.
    bool RunExport(TJobKind kind, const std::string& target, const std::string& languageID);
    bool MenuExport(TJobKind kind);

    TLogConvert& engine_;
    TProfiles& profiles_;
    TOptions& options_;
    TLstReportTxt& reportTxts_;
    TUiServices& ui_;
    DisplayFormat format_;
    TMainHooks hooks_;
    TCommandLine commandLine_;
    std::unique_ptr<TRegData> regData_;
    TfmmProgress2* progress_ = nullptr;

    bool firstShow_ = true;
    bool reportPageCurrent_ = false;  // the report page is the one shown (or to be shown)
    bool autoExportFailed_ = false;  // the last automatic export was not written
    // The result shown: the last analysis or document. Readers hold references into it, so
    // it is assigned over, never made anew.
    TAnalysisResult result_;
    bool hasResult_ = false;
    bool viewPending_ = false;  // the selected report's view waits for the window to show
    int currentReportId_ = 0;
    std::uint8_t currentViews_ = 0;
    int requestedMode_ = 0;
    int effectiveMode_ = 0;
    std::string lastDocumentFolder_;
    int profileSortColumn_ = -1;
    Qt::SortOrder profileSortOrder_ = Qt::AscendingOrder;

    int jobDepth_ = 0;
    std::array<bool, jkCount> busy_{};
    TLogConvert* runningAnalysis_ = nullptr;
    std::array<TExportRunner*, jkCount> runningExport_{};

    // Components, by their names.
    QTabWidget* pc = nullptr;
    QWidget* tsProfiles = nullptr;
    QWidget* tsReport = nullptr;
    QTreeView* vtProfiles = nullptr;
    TProfileListModel* profileModel_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QWidget* paLeft = nullptr;
    QWidget* paRight = nullptr;
    QTreeWidget* tvl = nullptr;
    QWidget* frChart1 = nullptr;
    QWidget* frList1 = nullptr;
    QWidget* frHTML1 = nullptr;
    QWidget* frInfo1 = nullptr;
    QMenu* miPRFile = nullptr;
    QMenu* miREFile = nullptr;
    QMenu* miREView = nullptr;
    QMenu* miConfigure = nullptr;
    QMenu* miHelp = nullptr;
    QToolBar* tbaIcons = nullptr;
    QStatusBar* sb = nullptr;
    QAction* tbSep1 = nullptr;
    QAction* tbSep2 = nullptr;
    QAction* tbSep3 = nullptr;
    QAction* acPRFileGenerate = nullptr;
    QAction* acPRFileNew = nullptr;
    QAction* acPRFileEdit = nullptr;
    QAction* acPRFileCopy = nullptr;
    QAction* acPRFileDelete = nullptr;
    QAction* acPRFileQuit = nullptr;
    QAction* acREFileQuit = nullptr;
    QAction* acREFileOpen = nullptr;
    QAction* acREFileSave = nullptr;
    QAction* acREFileExportHTML = nullptr;
    QAction* acREFileExportWord = nullptr;
    QAction* acREFileExportCSV = nullptr;
    QAction* acREFileExportXML = nullptr;
    QAction* acREViewList = nullptr;
    QAction* acREViewHTML = nullptr;
    QAction* acConfigureOptions = nullptr;
    QAction* acHelpTopics = nullptr;
    QAction* acHelpTips = nullptr;
    QAction* acHelpWeb = nullptr;
    QAction* acHelpAbout = nullptr;
};

}  // namespace brindle

// The profile list page and its actions, the analysis documents, options and help.
#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>
#include <filesystem>

#include "core/AppPaths.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/Registre_u.h"
#include "core/SafeFormat_u.h"
#include "engine/AnalysisDocument_u.h"
#include "engine/LocalNames.h"
#include "engine/LogConvert_u.h"
#include "ui/About_fm.h"
#include "ui/Main_fm.h"
#include "ui/Main_jobs.h"
#include "ui/ProfileList_u.h"
#include "ui/SampleProfiles_u.h"
#include "ui/UiServices.h"

namespace brindle {

namespace {

constexpr std::string_view kDocumentFilter = "Brindle Analyzer files (*.bnl)|*.bnl|All files (*.*)|*.*";
constexpr std::string_view kDeleteProfilesQuestion = "Are you sure you want to delete the selected profile(s) ?";
constexpr std::string_view kCouldNotOpenDocument =
    "Could not open the file '%s'.\r\nThe file could be corrupt or it could have an invalid format.";
constexpr std::string_view kCouldNotSaveDocument = "Could not save the file '%s'.";
constexpr std::string_view kCreateFolderQuestion =
    "The directory '%s' does not exist.\r\nWould you like Brindle Analyzer to create the directory?";

std::string Text(std::string_view text) { return std::string(text); }

bool FolderExists(const std::string& folder) {
    std::error_code ec;
    return folder.empty() || std::filesystem::is_directory(folder, ec);
}

bool MakeFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

}  // namespace

std::string CreateFolderErrorText(const std::string& folder) {
    return SafeFormat("There was an error creating the directory '%s'.\r\nThe disk may be full or write-protected.",
                      {folder});
}

bool SavedOrTold(bool saved, const std::string& fileName, TUiServices& ui) {
    if (!saved) ui.ShowError(SafeFormat(kCouldNotSaveDocument, {fileName}));
    return saved;
}

// ---- The list ----

void TfmMain::FillProfileList() {
    if (!WidgetsBuilt()) return;
    profileModel_->Fill(profiles_.Profiles);
    profileSortColumn_ = -1;
    vtProfiles->header()->setSortIndicatorShown(false);
    UpdateProfileActions();
}

void TfmMain::SelectFirstProfile() {
    if (!WidgetsBuilt() || profileModel_->rowCount() == 0) return;
    const QModelIndex first = profileModel_->index(0, 0);
    vtProfiles->selectionModel()->setCurrentIndex(first,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<TProfile*> TfmMain::SelectedProfiles() const {
    std::vector<TProfile*> selected;
    if (!WidgetsBuilt()) return selected;
    for (const QModelIndex& index : vtProfiles->selectionModel()->selectedRows())
        if (TProfile* profile = profileModel_->ProfileAt(index.row())) selected.push_back(profile);
    return selected;
}

void TfmMain::UpdateProfileActions() {
    const std::size_t count = SelectedProfiles().size();
    const bool profilesPage = !reportPageCurrent_;
    for (QAction* action : {acPRFileEdit, acPRFileCopy, acPRFileGenerate})
        action->setEnabled(profilesPage && count == 1);
    acPRFileDelete->setEnabled(profilesPage && count >= 1);
}

void TfmMain::vtProfilesHeaderClick(int column) {
    if (column != profileSortColumn_) {
        profileSortColumn_ = column;
        profileSortOrder_ = Qt::AscendingOrder;
    } else {
        profileSortOrder_ = profileSortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    profileModel_->SortRows(profileSortColumn_, profileSortOrder_);
    vtProfiles->header()->setSortIndicatorShown(true);
    vtProfiles->header()->setSortIndicator(profileSortColumn_, profileSortOrder_);
}

void TfmMain::vtProfilesDblClick() {
    if (acPRFileGenerate->isEnabled()) acPRFileGenerateExecute();
}

// ---- Profile actions ----

void TfmMain::AddProfileThroughWizard(std::unique_ptr<TProfile> profile) {
    if (!hooks_.ProfileWizard || hooks_.ProfileWizard(*profile, this) != 1) return;
    const TProfile* added = profile.get();
    profiles_.Profiles.Add(std::move(profile));
    SaveProfiles();
    FillProfileList();
    // The new profile is the one the user goes on with: selected, so that Report works at once.
    SelectProfileRow(added);
}

void TfmMain::SelectProfileRow(const TProfile* profile) {
    if (!WidgetsBuilt()) return;
    for (int row = 0; row < profileModel_->rowCount(); ++row) {
        if (profileModel_->ProfileAt(row) != profile) continue;
        const QModelIndex index = profileModel_->index(row, 0);
        vtProfiles->selectionModel()->setCurrentIndex(index,
                                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        vtProfiles->scrollTo(index);
        vtProfiles->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void TfmMain::SaveProfiles() {
    SavedOrTold(profiles_.SaveToFile(AppPaths::ProfilesFile()), AppPaths::ProfilesFile(), ui_);
}

void TfmMain::acPRFileNewExecute() {
    std::unique_ptr<TProfile> profile = NewProfileForLogFile({});
    profile->LogFiles.Clear();
    AddProfileThroughWizard(std::move(profile));
}

void TfmMain::acPRFileEditExecute() {
    const std::vector<TProfile*> selected = SelectedProfiles();
    if (selected.size() != 1 || !hooks_.EditProfile) return;
    if (hooks_.EditProfile(*selected.front(), this) != 1) return;
    SaveProfiles();
    FillProfileList();
    // The refill clears the selection; the user goes on with the profile just edited.
    SelectProfileRow(selected.front());
}

void TfmMain::acPRFileCopyExecute() {
    const std::vector<TProfile*> selected = SelectedProfiles();
    if (selected.size() != 1) return;
    auto profile = std::make_unique<TProfile>();
    profile->Assign(*selected.front());
    profile->Name = "Copy of " + selected.front()->Name;
    AddProfileThroughWizard(std::move(profile));
}

void TfmMain::acPRFileDeleteExecute() {
    const std::vector<TProfile*> selected = SelectedProfiles();
    if (selected.empty()) return;
    if (!ui_.AskYesNo(Text(kDeleteProfilesQuestion), TQuestionKind::Silent)) return;
    TLstProfile& list = profiles_.Profiles;
    for (std::size_t i = list.Count(); i-- > 0;)
        if (std::find(selected.begin(), selected.end(), &list[i]) != selected.end()) list.Delete(i);
    SaveProfiles();
    FillProfileList();
}

void TfmMain::acPRFileGenerateExecute() {
    const std::vector<TProfile*> selected = SelectedProfiles();
    if (selected.size() == 1) GenerateReport(*selected.front());
}

// ---- Documents ----

std::string TfmMain::ProposedDocumentName() const {
    std::string folder = lastDocumentFolder_;
    if (folder.empty()) folder = QDir::homePath().toStdString();
    if (folder.back() != '/') folder += '/';
    return folder + TLocalNames::SafeComponent(result_.Profile.Name, "report") + ".bnl";
}

void TfmMain::RememberDocumentFolder(const std::string& fileName) {
    const std::filesystem::path folder = std::filesystem::absolute(std::filesystem::path(fileName)).parent_path();
    if (!folder.empty()) lastDocumentFolder_ = folder.string();
}

void TfmMain::acREFileOpenExecute() {
    const std::optional<std::string> file =
        ui_.AskOpenFileName("Open report", Text(kDocumentFilter), lastDocumentFolder_);
    if (file) OpenReportFile(*file);
}

bool TfmMain::OpenReportFile(const std::string& fileName) {
    // Read aside: the shown result is replaced only by a whole document.
    TProfile profile;
    TSeconds analysisTime = 0;
    auto stats = std::make_unique<TStatistics>();
    int code = kDocLoaded;
    const bool loaded = LoadAnalysisDocument(fileName, profile, analysisTime, *stats, code, [this] {
        return ui_.AskYesNo(Text(kConvertOldDocumentQuestion), TQuestionKind::Warning);
    });
    if (!loaded) {
        if (code != kDocConversionDeclined) ui_.ShowError(SafeFormat(kCouldNotOpenDocument, {fileName}));
        return false;
    }
    RememberDocumentFolder(fileName);
    result_ = {.Statistics = std::move(*stats), .Profile = std::move(profile), .AnalysisTime = analysisTime};
    hasResult_ = true;
    ShowReportPage();
    return true;
}

void TfmMain::acREFileSaveExecute() {
    if (!hasResult_) return;
    std::optional<std::string> file = ui_.AskSaveFileName("Save report", Text(kDocumentFilter), ProposedDocumentName());
    if (!file) return;
    if (std::filesystem::path(*file).extension().empty()) *file += ".bnl";
    const std::string folder = std::filesystem::path(*file).parent_path().string();
    if (FolderExists(folder)) {
        SaveReportFile(*file);
        return;
    }
    // No and Cancel both leave it unsaved.
    if (ui_.AskYesNoCancel(SafeFormat(kCreateFolderQuestion, {folder}), TQuestionKind::Warning) != TAnswer::Yes) return;
    if (MakeFolder(folder))
        SaveReportFile(*file);
    else
        ui_.ShowWarning(CreateFolderErrorText(folder));
}

bool TfmMain::SaveReportFile(const std::string& fileName) {
    if (SaveAnalysisDocument(fileName, result_.Profile, result_.AnalysisTime, result_.Statistics)) {
        RememberDocumentFolder(fileName);
        return true;
    }
    ui_.ShowError(SafeFormat(kCouldNotSaveDocument, {fileName}));
    return false;
}

// ---- Options and help ----

void TfmMain::acConfigureOptionsExecute() {
    if (!hooks_.EditOptions) return;
    const bool confirmed = hooks_.EditOptions(AppPaths::DnsCacheFile(), this) == 1;
    // Confirmed edits that could not be written stay in memory rather than being undone
    // by the file.
    if (confirmed && !SavedOrTold(options_.SaveToFile(AppPaths::OptionsFile()), AppPaths::OptionsFile(), ui_)) return;
    // Whatever the dialog did to the live options, the file has the last word.
    options_.LoadFromFile(AppPaths::OptionsFile());
}

void TfmMain::acHelpTopicsExecute() { ui_.ShowHelpTopic({}); }

void TfmMain::acHelpTipsExecute() {
    if (hooks_.HelpTips) hooks_.HelpTips(*regData_, this);
}

void TfmMain::acHelpWebExecute() { ui_.OpenWithDesktop(Text(kMakerWebSite)); }

void TfmMain::acHelpAboutExecute() {
    if (hooks_.About) hooks_.About(regData_->Path, this);
}

}  // namespace brindle

// The views, dialogs and exporters the main window reaches through its hooks.
#include <QDialog>

#include "core/Options_u.h"
#include "ui/About_fm.h"
#include "ui/ConfirmDNS_fm.h"
#include "ui/ConfirmWord_fm.h"
#include "ui/Export_fm.h"
#include "ui/FilterWiz_fm.h"
#include "ui/MainHooks.h"
#include "ui/Options_f.h"
#include "ui/ProfileEdit_f.h"
#include "ui/ProfileWiz_f.h"
#include "ui/Tips_fm.h"
#include "views/HTML_fr.h"
#include "views/Info_fr.h"
#include "views/List_fr.h"

namespace brindle {

TMainHooks MakeMainHooks(TOptions& options, const TLstReportTxt& languages, TUiServices& ui,
                         const DisplayFormat& format) {
    TMainHooks hooks;

    hooks.MakeListFrame = [](QWidget* parent) -> QWidget* { return new TfrList(parent); };
    hooks.ShowReportList = [](QWidget* frame, TReportSource& source, int reportId) {
        if (auto* list = qobject_cast<TfrList*>(frame)) list->ShowReport(source, reportId);
    };

    hooks.MakeHTMLFrame = [format](QWidget* parent) -> QWidget* { return new TfrHTML(parent, format); };
    hooks.BuildReportPage = [](QWidget* frame, TReportSource& source, const TReportSet& reports,
                               const TReportTxt& language, const std::string& pageFile) {
        if (auto* page = qobject_cast<TfrHTML*>(frame))
            page->BuildPage(source, source.Profile, 0, reports, language, pageFile, 0);
    };
    hooks.MakeInfoFrame = [](QWidget* parent) -> QWidget* { return new TfrInfo(parent); };
    hooks.ShowInfoPage = [](QWidget* frame, int message, const std::string& pageFile) {
        if (auto* info = qobject_cast<TfrInfo*>(frame)) info->ShowInfo(static_cast<std::uint8_t>(message), pageFile);
    };

    const auto editFilter = [&options, &ui](QWidget* parent) -> TEditFilterFunc {
        return [&options, &ui, parent](TRecFilterProperty& filter) {
            TfmFilterWiz wizard(options, ui, parent);
            return wizard.Execute(filter) == QDialog::Accepted;
        };
    };
    hooks.ProfileWizard = [&languages, &ui, editFilter](TProfile& profile, QWidget* parent) {
        TfmProfileWiz wizard(ui, languages, parent);
        wizard.SetEditFilter(editFilter(parent));
        return wizard.Execute(profile) == QDialog::Accepted ? 1 : 0;
    };
    hooks.EditProfile = [&languages, &ui, editFilter](TProfile& profile, QWidget* parent) {
        TfmProfileEdit editor(ui, languages, parent);
        editor.SetEditFilter(editFilter(parent));
        return editor.Execute(profile) == QDialog::Accepted ? 1 : 0;
    };
    hooks.EditOptions = [&options, &languages, &ui](const std::string& dnsCacheFile, QWidget* parent) {
        // The window saves the options itself on OK.
        TfmOptions dialog(options, {}, languages, ui, parent);
        return dialog.Execute(dnsCacheFile) == QDialog::Accepted ? 1 : 0;
    };
    hooks.ConfirmDNS = [](bool& dontShowAgain, QWidget* parent) {
        TfmConfirmDNS dialog(parent);
        return dialog.Execute(dontShowAgain);
    };
    hooks.StartUpTips = [](std::int32_t firstNumber, QWidget* parent) { return MakeStartUpTips(parent)(firstNumber); };
    hooks.HelpTips = [](TRegData& regData, QWidget* parent) { ShowTipsFromHelp(regData, parent); };
    hooks.About = [&languages, &ui](const std::string& cityDbPath, QWidget* parent) {
        TfmAbout dialog(languages, ui, parent);
        dialog.Execute(cityDbPath);
    };
    hooks.AskExport = [&languages, &ui](int kind, QWidget* parent) -> std::optional<TExportChoice> {
        TfmExport dialog(ui, languages, parent);
        if (!dialog.Execute(kind)) return std::nullopt;
        return TExportChoice{dialog.Target(), dialog.GetLanguageID()};
    };
    hooks.ConfirmWord = [](TRegData& regData, bool silent, QWidget* parent) {
        return ConfirmWordExport(regData, silent, parent);
    };
    return hooks;
}

}  // namespace brindle

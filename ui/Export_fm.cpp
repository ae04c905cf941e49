#include "ui/Export_fm.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/CommonUtils_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFormat_u.h"
#include "ui/ExportTarget_u.h"
#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {
namespace {

struct TExportKindTexts {
    std::string_view Type;
    std::string_view Info;
};

TExportKindTexts KindTexts(int kind) {
    switch (kind) {
        case ekWord:
            return {"Microsoft Word Format",
                    "Generate a Microsoft Word document that can be viewed and edited.\r\nIt opens in Microsoft "
                    "Word 2007 or later and in LibreOffice."};
        case ekHTML:
            return {"HTML Format",
                    "Generate a HTML document and images that can be viewed using a\r\nbrowser, or placed on a web "
                    "site. In wich directory would you\r\nlike to save these files?"};
        case ekCSV:
            return {"CSV Format (comma separated values)",
                    "Generate a CSV document that can be read by many database or\r\nspreadsheet programs (like "
                    "Microsoft Excel or Lotus 123)."};
        case ekXML: return {"XML Format", "Generate a XML document."};
        default: return {};
    }
}

}  // namespace

QPixmap ExportKindImage(int kind, int size) {
    static constexpr std::array<QStyle::StandardPixmap, 4> kImages = {QStyle::SP_FileDialogDetailedView,
                                                                      QStyle::SP_DirIcon, QStyle::SP_FileDialogListView,
                                                                      QStyle::SP_FileDialogContentsView};
    if (kind < ekWord || kind > ekXML) return {};
    return QApplication::style()->standardIcon(kImages[static_cast<std::size_t>(kind - 1)]).pixmap(size, size);
}

TExportFileType ExportFileType(int kind) {
    switch (kind) {
        case ekWord: return {"Word documents (*.docx)|*.docx|All files (*.*)|*.*", "docx"};
        case ekCSV: return {"CSV files (*.csv)|*.csv|All files (*.*)|*.*", "csv"};
        case ekXML: return {"XML files (*.xml)|*.xml|All files (*.*)|*.*", "xml"};
        default: return {};
    }
}

std::string_view MissingTargetWarning(bool html) {
    return html ? "Please specify folder to save the report at." : "Please specify filename to save the report at.";
}

void FillLanguageList(QComboBox& combo, const TLstReportTxt& languages) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(languages.Count()));
    for (int i = 0; i < languages.Count(); ++i) names.push_back(languages.GetItem(i)->Info.LanguageName);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int folded = CompareStrCase(a, b, 0);
        return folded != 0 ? folded < 0 : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    combo.clear();
    combo.addItem(UiText(kDefaultLanguageName));
    for (const auto& name : names) combo.addItem(UiText(name));
}

std::string ChosenLanguageID(const QComboBox& combo, const TLstReportTxt& languages) {
    const std::string name = StdText(combo.currentText());
    if (!combo.isEnabled() || name == kDefaultLanguageName) return std::string(kDefaultLanguageID);
    const TReportTxt* language = languages.FindByName(name);
    return language ? language->Info.LanguageID : std::string(kDefaultLanguageID);
}

std::optional<std::string> AskExportTarget(TUiServices& ui, int kind, const std::string& current) {
    if (kind == ekHTML) return ui.AskFolder(std::string(kSelectFolderTitle), current);
    const TExportFileType type = ExportFileType(kind);
    auto name = ui.AskSaveFileName("", std::string(type.Filter), current);
    if (name && !type.Extension.empty() && std::filesystem::path(*name).extension().empty())
        *name += "." + std::string(type.Extension);
    return name;
}

TfmExport::TfmExport(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent)
    : TfmmDialogDtlBottom(parent),
      ui_(ui),
      languages_(languages),
      laFileName_(NewLabel(paTop(), "laFileName", "Export the report to:")),
      laExportType_(NewLabel(paTop(), "laExportType", "")),
      laInfo_(NewLabel(paTop(), "laInfo", "")),
      laLanguage_(NewLabel(paTop(), "laLanguage", "Language:")),
      im_(NewLabel(paTop(), "im", "")),
      edFileName_(NewEdit(paTop(), "edFileName")),
      buBrowse_(NewButton(paTop(), "buBrowse", "Browse...")),
      cbLanguage_(new QComboBox(paTop())) {
    setObjectName("fmExport");
    setWindowTitle(UiText("Export report"));
    cbLanguage_->setObjectName("cbLanguage");
    QFont bold = laExportType_->font();
    bold.setBold(true);
    laExportType_->setFont(bold);

    auto* header = new QGridLayout;
    header->addWidget(im_, 0, 0, 2, 1, Qt::AlignTop);
    header->addWidget(laExportType_, 0, 1);
    header->addWidget(laInfo_, 1, 1);
    header->setColumnStretch(1, 1);
    auto* target = new QHBoxLayout;
    target->addWidget(edFileName_, 1);
    target->addWidget(buBrowse_);
    auto* language = new QHBoxLayout;
    language->addWidget(laLanguage_);
    language->addWidget(cbLanguage_, 1);
    auto* layout = new QVBoxLayout(paTop());
    layout->addLayout(header);
    layout->addWidget(laFileName_);
    layout->addLayout(target);
    layout->addLayout(language);
    layout->addStretch();
    resize(520, sizeHint().height());

    connect(buBrowse_, &QPushButton::clicked, this, &TfmExport::buBrowseClick);
}

bool TfmExport::Execute(int kind) {
    if (kind < ekWord || kind > ekXML) return false;
    kind_ = kind;
    target_.clear();
    imageIndex_ = kind - 1;
    im_->setPixmap(ExportKindImage(kind, 32));
    const TExportKindTexts texts = KindTexts(kind);
    laExportType_->setText(UiText(texts.Type));
    laInfo_->setText(UiText(texts.Info));
    edFileName_->clear();
    FillLanguageList(*cbLanguage_, languages_);
    cbLanguage_->setCurrentIndex(0);
    const bool withLanguage = kind == ekWord || kind == ekHTML;
    laLanguage_->setEnabled(withLanguage);
    cbLanguage_->setEnabled(withLanguage);
    edFileName_->setFocus(Qt::OtherFocusReason);
    if (exec() != QDialog::Accepted) {
        target_.clear();
        return false;
    }
    target_ = StdText(edFileName_->text());
    return true;
}

std::string TfmExport::GetLanguageID() const { return ChosenLanguageID(*cbLanguage_, languages_); }

void TfmExport::buBrowseClick() {
    if (auto target = AskExportTarget(ui_, kind_, StdText(edFileName_->text()))) edFileName_->setText(UiText(*target));
}

bool TfmExport::Validate() {
    const std::string target = StdText(edFileName_->text());
    if (target.empty()) {
        ui_.ShowWarning(std::string(MissingTargetWarning(kind_ == ekHTML)));
        edFileName_->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // The folder the run will write to is the one to offer.
    return CheckFolder(ExportTargetFolder(ResolveExportTarget(target), kind_ == ekHTML));
}

bool TfmExport::CheckFolder(const std::string& folder) {
    if (folder.empty()) return true;
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return true;
    const std::string question = SafeFormat(
        "The directory '%s' does not exist.\r\nWould you like Brindle Analyzer to create the directory?", {folder});
    if (ui_.AskYesNoCancel(question, TQuestionKind::Warning) != TAnswer::Yes) return false;
    std::filesystem::create_directories(folder, error);
    if (!error && std::filesystem::is_directory(folder, error)) return true;
    ui_.ShowWarning(SafeFormat(
        "There was an error creating the directory '%s'.\r\nThe disk may be full or write-protected.", {folder}));
    return false;
}

}  // namespace brindle

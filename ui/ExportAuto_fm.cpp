#include "ui/ExportAuto_fm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/ReportTxt_u.h"
#include "ui/Export_fm.h"
#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {
namespace {

QRadioButton* NewRadio(QWidget* parent, const char* name, std::string_view text) {
    auto* button = new QRadioButton(UiText(text), parent);
    button->setObjectName(name);
    return button;
}

QLabel* NewImage(QWidget* parent, const char* name, int kind) {
    auto* label = NewLabel(parent, name, "");
    label->setPixmap(ExportKindImage(kind, 24));
    return label;
}

}  // namespace

TfmExportAuto::TfmExportAuto(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent)
    : TfmmDialogDtlBottom(parent),
      ui_(ui),
      languages_(languages),
      laLanguage_(NewLabel(paTop(), "laLanguage", "Language:")),
      rbHTML_(NewRadio(paTop(), "rbHTML", "HTML Format")),
      rbWord_(NewRadio(paTop(), "rbWord", "Microsoft Word Format")),
      rbCSV_(NewRadio(paTop(), "rbCSV", "CSV Format (comma separated values)")),
      rbXML_(NewRadio(paTop(), "rbXML", "XML Format")),
      edExportFile_(NewEdit(paTop(), "edExportFile")),
      buBrowse_(NewButton(paTop(), "buBrowse", "Browse...")),
      cbLanguage_(new QComboBox(paTop())) {
    setObjectName("fmExportAuto");
    setWindowTitle(UiText("Export Options"));
    cbLanguage_->setObjectName("cbLanguage");

    auto* kinds = new QGridLayout;
    kinds->addWidget(NewImage(paTop(), "imHTML", ekHTML), 0, 0);
    kinds->addWidget(rbHTML_, 0, 1);
    kinds->addWidget(NewImage(paTop(), "imWord", ekWord), 1, 0);
    kinds->addWidget(rbWord_, 1, 1);
    kinds->addWidget(NewImage(paTop(), "imCSV", ekCSV), 2, 0);
    kinds->addWidget(rbCSV_, 2, 1);
    kinds->addWidget(NewImage(paTop(), "imXML", ekXML), 3, 0);
    kinds->addWidget(rbXML_, 3, 1);
    kinds->setColumnStretch(1, 1);
    auto* target = new QHBoxLayout;
    target->addWidget(edExportFile_, 1);
    target->addWidget(buBrowse_);
    auto* language = new QHBoxLayout;
    language->addWidget(laLanguage_);
    language->addWidget(cbLanguage_, 1);
    auto* layout = new QVBoxLayout(paTop());
    layout->addWidget(NewLabel(paTop(), "laInfo", "You can choose between these file formats:"));
    layout->addLayout(kinds);
    layout->addWidget(NewLabel(paTop(), "laFileName", "Export the report to:"));
    layout->addLayout(target);
    layout->addLayout(language);
    layout->addStretch();
    resize(480, sizeHint().height());

    for (QRadioButton* button : {rbHTML_, rbWord_, rbCSV_, rbXML_})
        connect(button, &QRadioButton::clicked, this, &TfmExportAuto::rbClick);
    connect(buBrowse_, &QPushButton::clicked, this, &TfmExportAuto::buBrowseClick);
}

int TfmExportAuto::CheckedKind() const {
    if (rbHTML_->isChecked()) return ekHTML;
    if (rbWord_->isChecked()) return ekWord;
    if (rbCSV_->isChecked()) return ekCSV;
    if (rbXML_->isChecked()) return ekXML;
    return 0;
}

QRadioButton* TfmExportAuto::CheckedButton() const {
    for (QRadioButton* button : {rbHTML_, rbWord_, rbCSV_, rbXML_})
        if (button->isChecked()) return button;
    return rbHTML_;
}

int TfmExportAuto::Execute(std::uint8_t& kind, std::string& fileName, std::string& languageID) {
    if (languageID.empty()) languageID = kDefaultLanguageID;
    switch (kind) {
        case ekWord: rbWord_->setChecked(true); break;
        case ekCSV: rbCSV_->setChecked(true); break;
        case ekXML: rbXML_->setChecked(true); break;
        default: rbHTML_->setChecked(true); break;
    }
    edExportFile_->setText(UiText(fileName));
    FillLanguageList(*cbLanguage_, languages_);
    if (languageID == kDefaultLanguageID) {
        cbLanguage_->setCurrentIndex(0);
    } else {
        const TReportTxt* language = languages_.FindByID(languageID);
        cbLanguage_->setCurrentIndex(language ? cbLanguage_->findText(UiText(language->Info.LanguageName)) : -1);
    }
    rbClick();
    // The format comes first: its checked button.
    CheckedButton()->setFocus(Qt::OtherFocusReason);
    const int result = exec();
    if (result == QDialog::Accepted) {
        kind = static_cast<std::uint8_t>(CheckedKind());
        fileName = StdText(edExportFile_->text());
        languageID = ChosenLanguageID(*cbLanguage_, languages_);
    }
    return result;
}

void TfmExportAuto::rbClick() {
    // The language only matters to the formats that write report texts.
    const bool withLanguage = rbHTML_->isChecked() || rbWord_->isChecked();
    laLanguage_->setEnabled(withLanguage);
    cbLanguage_->setEnabled(withLanguage);
}

void TfmExportAuto::buBrowseClick() {
    if (auto target = AskExportTarget(ui_, CheckedKind(), StdText(edExportFile_->text())))
        edExportFile_->setText(UiText(*target));
}

bool TfmExportAuto::Validate() {
    if (!edExportFile_->text().isEmpty()) return true;
    ui_.ShowWarning(std::string(MissingTargetWarning(rbHTML_->isChecked())));
    edExportFile_->setFocus(Qt::OtherFocusReason);
    return false;
}

}  // namespace brindle

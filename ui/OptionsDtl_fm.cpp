#include "ui/OptionsDtl_fm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLayout>
#include <QLineEdit>

#include "core/CommonConsts_tables.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

// Runs the dialog on a record: shown, then stored back only on OK.
template <class Dialog, class Rec>
int ExecuteOn(Dialog& dialog, Rec& rec) {
    dialog.LoadRecord(rec);
    const int result = dialog.exec();
    if (result == QDialog::Accepted) dialog.SaveRecord(rec);
    return result;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TfmOptionsDtl::TfmOptionsDtl(std::string_view title, QWidget* parent)
    : TfmmDialogDtlBottom(parent), form_(new QFormLayout(paTop())) {
    setWindowTitle(UiText(title));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* TfmOptionsDtl::AddEdit(std::string_view label, const char* name) {
    auto* edit = new QLineEdit(paTop());
    edit->setObjectName(name);
    edit->setMinimumWidth(280);
    form_->addRow(UiText(label), edit);
    return edit;
}

QComboBox* TfmOptionsDtl::AddCombo(std::string_view label, const char* name) {
    auto* combo = new QComboBox(paTop());
    combo->setObjectName(name);
    form_->addRow(UiText(label), combo);
    return combo;
}

TfmUATypeDtl::TfmUATypeDtl(std::string_view title, std::string_view nameLabel, QWidget* parent)
    : TfmOptionsDtl(title, parent), edID_(AddEdit("ID", "edID")), edName_(AddEdit(nameLabel, "edName")) {}

int TfmUATypeDtl::Execute(TRecUAType& rec) { return ExecuteOn(*this, rec); }

void TfmUATypeDtl::LoadRecord(const TRecUAType& rec) {
    edID_->setText(Q(rec.ID));
    edName_->setText(Q(rec.Name));
}

void TfmUATypeDtl::SaveRecord(TRecUAType& rec) const {
    rec.ID = StdText(edID_->text());
    rec.Name = StdText(edName_->text());
}

TfmOSDtl::TfmOSDtl(QWidget* parent) : TfmUATypeDtl("Edit Operating Systems", "Operating System", parent) {
    setObjectName("fmOSDtl");
}

TfmBrowserDtl::TfmBrowserDtl(QWidget* parent) : TfmUATypeDtl("Edit Browsers", "Browser", parent) {
    setObjectName("fmBrowserDtl");
}

TfmSpiderDtl::TfmSpiderDtl(QWidget* parent) : TfmUATypeDtl("Edit Spiders", "Spider", parent) {
    setObjectName("fmSpiderDtl");
}

TfmSEDtl::TfmSEDtl(QWidget* parent)
    : TfmOptionsDtl("Edit Search Engines", parent),
      edID_(AddEdit("ID", "edID")),
      edQuery1_(AddEdit("Query 1", "edQuery1")),
      edQuery2_(AddEdit("Query 2", "edQuery2")),
      edQuery3_(AddEdit("Query 3", "edQuery3")),
      edName_(AddEdit("Search Engine", "edName")) {
    setObjectName("fmSEDtl");
}

int TfmSEDtl::Execute(TRecSEType& rec) { return ExecuteOn(*this, rec); }

void TfmSEDtl::LoadRecord(const TRecSEType& rec) {
    edID_->setText(Q(rec.ID));
    edQuery1_->setText(Q(rec.Query1));
    edQuery2_->setText(Q(rec.Query2));
    edQuery3_->setText(Q(rec.Query3));
    edName_->setText(Q(rec.Name));
}

void TfmSEDtl::SaveRecord(TRecSEType& rec) const {
    rec.ID = StdText(edID_->text());
    rec.Query1 = StdText(edQuery1_->text());
    rec.Query2 = StdText(edQuery2_->text());
    rec.Query3 = StdText(edQuery3_->text());
    rec.Name = StdText(edName_->text());
}

TfmFileExtDtl::TfmFileExtDtl(QWidget* parent)
    : TfmOptionsDtl("Edit Files Extensions", parent),
      edExt_(AddEdit("Extension", "edExt")),
      cbFileType_(AddCombo("File type", "cbFileType")) {
    setObjectName("fmFileExtDtl");
    for (const TRecFileTypeProperty& row : FileTypeTable()) cbFileType_->addItem(Q(row.Name));
    cbFileType_->setCurrentIndex(-1);
}

int TfmFileExtDtl::Execute(TRecFileExt& rec) { return ExecuteOn(*this, rec); }

void TfmFileExtDtl::LoadRecord(const TRecFileExt& rec) {
    edExt_->setText(Q(rec.Ext));
    cbFileType_->setCurrentIndex(
        cbFileType_->findText(Q(GetFileTypeName(rec.FileType)), Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

void TfmFileExtDtl::SaveRecord(TRecFileExt& rec) const {
    rec.Ext = StdText(edExt_->text());
    rec.FileType = static_cast<std::uint8_t>(GetFileTypeCode(StdText(cbFileType_->currentText())));
}

}  // namespace brindle

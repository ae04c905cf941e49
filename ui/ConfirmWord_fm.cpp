#include "ui/ConfirmWord_fm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Registre_u.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfmConfirmWord::TfmConfirmWord(QWidget* parent)
    : QDialog(parent),
      laConfirm_(NewLabel(this, "laConfirm",
                          "If your macro security level for MS Word is set to \"High\" the macro\r\nneeded to complete "
                          "the report may not run properly. Verify your macro\r\nsecurity level before proceeding. "
                          "For help with macro security settings\r\nplease consult MS Word's help.\r\n\r\nProceed "
                          "with the report creation?")),
      cbNoShow_(NewCheckBox(this, "cbNoShow", "Don't show this dialog again")),
      buYes_(NewButton(this, "buYes", "Yes")),
      buNo_(NewButton(this, "buNo", "No")) {
    setObjectName("fmConfirmWord");
    setWindowTitle(UiText("Analyzing"));
    setModal(true);
    buYes_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbNoShow_);
    buttons->addStretch();
    buttons->addWidget(buYes_);
    buttons->addWidget(buNo_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(laConfirm_);
    layout->addLayout(buttons);
    connect(buYes_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buNo_, &QPushButton::clicked, this, &QDialog::reject);
}

int TfmConfirmWord::Execute(bool& noShow) {
    cbNoShow_->setChecked(false);
    const int result = exec();
    noShow = cbNoShow_->isChecked();
    return result;
}

bool ConfirmWordExport(TRegData& regData, bool silent, QWidget* parent) {
    if (!regData.WordExport || silent) return true;
    TfmConfirmWord dialog(parent);
    bool noShow = false;
    const int result = dialog.Execute(noShow);
    regData.WordExport = !noShow;
    return result == QDialog::Accepted;
}

}  // namespace brindle

#include "ui/mDialogDtlBottom_fm.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/UiServices.h"

namespace brindle {

TfmmDialogDtlBottom::TfmmDialogDtlBottom(QWidget* parent)
    : QDialog(parent),
      paTop_(new QWidget(this)),
      paBottom_(new QWidget(this)),
      buOK_(new QPushButton(tr("OK"), paBottom_)),
      buCancel_(new QPushButton(tr("Cancel"), paBottom_)) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle.data(), static_cast<int>(kApplicationTitle.size())));
    setModal(true);
    paTop_->setObjectName("paTop");
    paBottom_->setObjectName("paBottom");
    buOK_->setObjectName("buOK");
    buCancel_->setObjectName("buCancel");
    buOK_->setDefault(true);

    auto* bottom = new QHBoxLayout(paBottom_);
    bottom->addStretch();
    bottom->addWidget(buOK_);
    bottom->addWidget(buCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paTop_, 1);
    layout->addWidget(paBottom_);

    connect(buOK_, &QPushButton::clicked, this, &TfmmDialogDtlBottom::OnOK);
    connect(buCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmmDialogDtlBottom::OnOK() {
    if (Validate()) accept();
}

}  // namespace brindle

#include "ui/ConfirmDNS_fm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/UiText_u.h"

namespace brindle {

TfmConfirmDNS::TfmConfirmDNS(QWidget* parent) : QDialog(parent), cbNoShow_(new QCheckBox(this)) {
    setObjectName("fmConfirmDNS");
    setWindowTitle(UiText("Analyzing"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* laConfirm = new QLabel(
        UiText("DNS lookup for the profile to be analyzed is enabled. Please note\r\nthat it can slow down the "
               "analysis and you should be connected to\r\nInternet during the analyzing.\r\n\r\nDo you wish to "
               "continue ?"),
        this);
    laConfirm->setObjectName("laConfirm");
    cbNoShow_->setObjectName("cbNoShow");
    cbNoShow_->setText(UiText("Don't show this dialog again"));
    auto* buYes = new QPushButton(UiText("Yes"), this);
    auto* buNo = new QPushButton(UiText("No"), this);
    buYes->setObjectName("buYes");
    buNo->setObjectName("buNo");
    buYes->setDefault(true);
    connect(buYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(buNo, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(laConfirm, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buYes);
    buttons->addWidget(buNo);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(cbNoShow_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmConfirmDNS::Prepare() { cbNoShow_->setChecked(false); }

bool TfmConfirmDNS::DontShowAgain() const { return cbNoShow_->isChecked(); }

bool TfmConfirmDNS::Execute(bool& dontShowAgain) {
    Prepare();
    const bool yes = exec() == QDialog::Accepted;
    dontShowAgain = DontShowAgain();
    return yes;
}

}  // namespace brindle

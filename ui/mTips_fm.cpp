#include "ui/mTips_fm.h"

#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/UiText_u.h"

namespace brindle {

TfmmTips::TfmmTips(QWidget* parent)
    : QDialog(parent),
      imTips_(new QLabel(this)),
      laTipsTitle_(new QLabel(this)),
      laTipsInfo_(new QLabel(this)),
      cbShowStartup_(new QCheckBox(this)),
      buNext_(new QPushButton(this)),
      buClose_(new QPushButton(this)) {
    setModal(true);
    imTips_->setObjectName("imTips");
    laTipsTitle_->setObjectName("laTipsTitle");
    laTipsInfo_->setObjectName("laTipsInfo");
    cbShowStartup_->setObjectName("cbShowStartup");
    buNext_->setObjectName("buNext");
    buClose_->setObjectName("buClose");

    imTips_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    imTips_->setAlignment(Qt::AlignTop);
    QFont titleFont = laTipsTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    laTipsTitle_->setFont(titleFont);
    laTipsInfo_->setWordWrap(true);
    laTipsInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    laTipsInfo_->setMinimumSize(340, 90);
    buClose_->setDefault(true);

    auto* text = new QVBoxLayout;
    text->addWidget(laTipsTitle_);
    text->addWidget(laTipsInfo_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(imTips_);
    top->addLayout(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cbShowStartup_);
    bottom->addStretch();
    bottom->addWidget(buNext_);
    bottom->addWidget(buClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buNext_, &QPushButton::clicked, this, &TfmmTips::NextTip);
    connect(buClose_, &QPushButton::clicked, this, &QDialog::accept);
}

void TfmmTips::Prepare(const std::string& text, bool showAtStartup) {
    laTipsInfo_->setText(UiText(text));
    cbShowStartup_->setChecked(showAtStartup);
}

int TfmmTips::Execute(const std::string& text, bool& showAtStartup) {
    Prepare(text, showAtStartup);
    const int result = exec();
    showAtStartup = ShowAtStartup();
    return result;
}

bool TfmmTips::ShowAtStartup() const { return cbShowStartup_->isChecked(); }

void TfmmTips::NextTip() {
    if (OnNextTip) laTipsInfo_->setText(UiText(OnNextTip()));
}

}  // namespace brindle

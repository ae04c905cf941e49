#include "ui/ProfileWiz_f.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfmProfileWiz::TfmProfileWiz(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      buPrevious_(NewButton(this, "buPrevious", "< &Back")),
      buNext_(NewButton(this, "buNext", "&Next >")),
      buCancel_(NewButton(this, "buCancel", "&Cancel")),
      buHelp_(NewButton(this, "buHelp", "&Help")) {
    setObjectName("fmProfileWiz");
    setWindowTitle(UiText("Profile Wizard"));
    setModal(true);
    auto* pageArea = new QWidget(this);
    pageArea->setObjectName("paPages");
    pages_ = std::make_unique<TProfilePages>(ui, languages, pageArea);
    auto* stack = new QVBoxLayout(pageArea);
    stack->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < TProfilePages::kCount; ++i) stack->addWidget(pages_->Page(i));

    auto* body = new QHBoxLayout;
    body->addWidget(NewProfileImage(this));
    body->addWidget(pageArea, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    auto* buttons = NewWizardButtonRow(buPrevious_, buNext_, buCancel_, buHelp_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
    buNext_->setDefault(true);
    std::vector<QWidget*> pages;
    pages.reserve(static_cast<std::size_t>(TProfilePages::kCount));
    for (int i = 0; i < TProfilePages::kCount; ++i) pages.push_back(pages_->Page(i));
    FitWizardToLargestPage(*this, *pageArea, pages);

    connect(buPrevious_, &QPushButton::clicked, this, &TfmProfileWiz::PreviousClick);
    connect(buNext_, &QPushButton::clicked, this, &TfmProfileWiz::NextClick);
    connect(buCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(buHelp_, &QPushButton::clicked, this, [this] { ui_.ShowHelpTopic(std::string(kProfileHelpTopic)); });
    ShowPage();
}

TfmProfileWiz::~TfmProfileWiz() = default;

void TfmProfileWiz::SetEditFilter(TEditFilterFunc editFilter) { pages_->SetEditFilter(std::move(editFilter)); }

int TfmProfileWiz::Execute(TProfile& profile) {
    return pages_->Execute(*this, profile, [this] {
        page_ = 1;
        ShowPage();
    });
}

void TfmProfileWiz::ShowPage() {
    for (int i = 0; i < TProfilePages::kCount; ++i) pages_->Page(i)->setVisible(i + 1 == page_);
    buPrevious_->setEnabled(page_ > 1);
    buNext_->setText(UiText(page_ == TProfilePages::kCount ? "&Finish" : "&Next >"));
    pages_->Page(page_ - 1)->FocusFirstField();
}

void TfmProfileWiz::NextClick() {
    if (!pages_->Page(page_ - 1)->Validate()) return;
    if (page_ == TProfilePages::kCount) {
        accept();
        return;
    }
    ++page_;
    ShowPage();
}

void TfmProfileWiz::PreviousClick() {
    if (page_ <= 1) return;
    --page_;
    ShowPage();
}

}  // namespace brindle

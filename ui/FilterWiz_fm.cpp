#include "ui/FilterWiz_fm.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "ui/FilterKinds_u.h"
#include "ui/Filter_fr.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfmFilterWiz::TfmFilterWiz(const TOptions& options, TUiServices& ui, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      page01_(new TfrFilter01(ui, this)),
      buPrevious_(new QPushButton(UiText("< &Back"), this)),
      buNext_(new QPushButton(UiText("&Next >"), this)),
      buCancel_(new QPushButton(UiText("&Cancel"), this)),
      buHelp_(new QPushButton(UiText("&Help"), this)) {
    setObjectName("fmFilterWiz");
    setWindowTitle(UiText("Filter Wizard"));
    setModal(true);
    buPrevious_->setObjectName("buPrevious");
    buNext_->setObjectName("buNext");
    buCancel_->setObjectName("buCancel");
    buHelp_->setObjectName("buHelp");
    buNext_->setDefault(true);

    for (const TFilterKindPage& kind : FilterKindPages())
        kindPages_[kind.Kind - kFirstFilterKind] = NewFilterKindPage(kind, options, ui, this);

    auto* pageArea = new QWidget(this);
    pageArea->setObjectName("paPages");
    auto* stack = new QVBoxLayout(pageArea);
    stack->setContentsMargins(0, 0, 0, 0);
    std::vector<QWidget*> pages{page01_};
    pages.insert(pages.end(), kindPages_.begin(), kindPages_.end());
    for (QWidget* page : pages) {
        stack->addWidget(page, 1);
        page->hide();
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pageArea, 1);
    layout->addLayout(NewWizardButtonRow(buPrevious_, buNext_, buCancel_, buHelp_));

    connect(buNext_, &QPushButton::clicked, this, &TfmFilterWiz::OnNext);
    connect(buPrevious_, &QPushButton::clicked, this, &TfmFilterWiz::OnBack);
    connect(buCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(buHelp_, &QPushButton::clicked, this, [this] { ui_.ShowHelpTopic("html/filters.html"); });
    // Lists filled by Init can widen a page.
    for (TfrFilter* page : kindPages_) page->Init();
    page01_->Init();
    FitWizardToLargestPage(*this, *pageArea, pages);
}

TfrFilter* TfmFilterWiz::KindPage(int kind) const {
    if (kind < kFirstFilterKind || kind > kLastFilterKind) return nullptr;
    return kindPages_[kind - kFirstFilterKind];
}

int TfmFilterWiz::Execute(TRecFilterProperty& filter) {
    Begin(filter);
    return End(exec(), filter);
}

void TfmFilterWiz::Begin(const TRecFilterProperty& filter) {
    working_ = filter;
    kindPage_ = nullptr;
    page01_->Init();
    page01_->hide();
    for (TfrFilter* page : kindPages_) {
        page->Init();
        page->hide();
    }
    page01_->LoadFromFilter(working_);
    setResult(QDialog::Rejected);
    ShowPage(1);
}

int TfmFilterWiz::End(int result, TRecFilterProperty& filter) {
    if (result == QDialog::Accepted && kindPage_) {
        page01_->SaveToFilter(working_);
        kindPage_->SaveToFilter(working_);
        filter = working_;
    }
    page01_->Done();
    if (kindPage_) kindPage_->Done();
    return kindPage_ ? result : QDialog::Rejected;
}

void TfmFilterWiz::ShowPage(int page) {
    page_ = page;
    page01_->setVisible(page == 1);
    if (kindPage_) kindPage_->setVisible(page == 2);
    buPrevious_->setEnabled(page != 1);
    buNext_->setText(UiText(page == 2 ? "&Finish" : "&Next >"));
    FocusFirstField(page == 2 && kindPage_ ? static_cast<QWidget&>(*kindPage_) : *page01_);
}

void TfmFilterWiz::OnNext() {
    if (page_ == 2) {
        if (kindPage_->Validate()) accept();
        return;
    }
    if (!page01_->Validate()) return;
    page01_->SaveToFilter(working_);
    TfrFilter* chosen = KindPage(working_.FilterItem);
    if (chosen != kindPage_) {
        // Values entered for another kind mean nothing to this one.
        if (kindPage_) {
            kindPage_->hide();
            working_.Value1.clear();
            working_.Value2.clear();
        }
        kindPage_ = chosen;
        kindPage_->LoadFromFilter(working_);
    }
    ShowPage(2);
}

void TfmFilterWiz::OnBack() { ShowPage(1); }

}  // namespace brindle

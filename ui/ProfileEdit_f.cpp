#include "ui/ProfileEdit_f.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <string>

#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfmProfileEdit::TfmProfileEdit(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent)
    : TfmmDialogDtlBottom(parent),
      ui_(ui),
      pc_(new QTabWidget(paTop())),
      buHelp_(NewButton(paBottom(), "buHelp", "Help")),
      pages_(std::make_unique<TProfilePages>(ui, languages, pc_)) {
    setObjectName("fmProfileEdit");
    setWindowTitle(UiText("Profile Editor"));
    pc_->setObjectName("pc");
    if (auto* bottom = qobject_cast<QBoxLayout*>(paBottom()->layout())) bottom->addWidget(buHelp_);

    for (int i = 0; i < TProfilePages::kCount; ++i) {
        auto* sheet = new QWidget(pc_);
        sheet->setObjectName(QString("ts%1").arg(i + 1, 2, 10, QChar('0')));
        auto* layout = new QHBoxLayout(sheet);
        layout->addWidget(NewProfileImage(sheet));
        layout->addWidget(pages_->Page(i), 1);
        pc_->addTab(sheet, UiText(TProfilePages::Titles()[static_cast<std::size_t>(i)]));
    }
    auto* top = new QHBoxLayout(paTop());
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(pc_);
    resize(640, 480);

    connect(buHelp_, &QPushButton::clicked, this, [this] { ui_.ShowHelpTopic(std::string(kProfileHelpTopic)); });
}

TfmProfileEdit::~TfmProfileEdit() = default;

void TfmProfileEdit::SetEditFilter(TEditFilterFunc editFilter) { pages_->SetEditFilter(std::move(editFilter)); }

int TfmProfileEdit::Execute(TProfile& profile) {
    return pages_->Execute(*this, profile, [this] {
        pc_->setCurrentIndex(0);
        pages_->Page(0)->FocusFirstField();
    });
}

bool TfmProfileEdit::Validate() {
    const int invalid = pages_->FirstInvalid();
    if (invalid < 0) return true;
    pc_->setCurrentIndex(invalid);
    pages_->Page(invalid)->FocusRefusedField();
    return false;
}

}  // namespace brindle

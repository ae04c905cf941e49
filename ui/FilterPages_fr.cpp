// The page frame shared by the kind pages, and the page that takes one text.
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/FilterPages_fr.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"

namespace brindle {

TfrFilterPage::TfrFilterPage(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent)
    : TfrFilter(ui, parent), layout_(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("frFilter%1").arg(kind.Kind));
    auto* label = new QLabel(UiText(kind.Info), this);
    label->setObjectName("laInfo");
    layout_->addWidget(label);
    layout_->addSpacing(8);
    layout_->addStretch();
}

void TfrFilterPage::AddWidget(QWidget* widget) {
    // Above the closing stretch.
    layout_->insertWidget(layout_->count() - 1, widget);
}

void TfrFilterPage::AddCaptioned(std::string_view caption, QWidget* control) {
    AddWidget(new QLabel(UiText(caption), this));
    AddWidget(control);
}

QWidget* TfrFilterPage::MakeRow(std::initializer_list<QWidget*> widgets, std::string_view caption) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets) layout->addWidget(widget ? widget : new QLabel(UiText(caption), row));
    layout->addStretch();
    return row;
}

TfrFilterText::TfrFilterText(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent)
    : TfrFilterPage(ui, kind, parent), edit_(new QLineEdit(this)) {
    edit_->setObjectName(kind.ControlName);
    AddCaptioned(kind.Caption, edit_);
}

void TfrFilterText::Init() { edit_->clear(); }

bool TfrFilterText::Validate() {
    if (!edit_->text().isEmpty()) return true;
    Ui().ShowWarning("You must specify filter text.");
    return false;
}

void TfrFilterText::SaveToFilter(TRecFilterProperty& filter) { filter.Value1 = StdText(edit_->text()); }

void TfrFilterText::LoadFromFilter(const TRecFilterProperty& filter) {
    edit_->setText(QString::fromStdString(filter.Value1));
}

}  // namespace brindle

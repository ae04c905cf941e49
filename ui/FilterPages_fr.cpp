// The page frame shared by the kind pages, and the pages that take one text (kinds 11, 12, 19, 24).
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/FilterPages_fr.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"

namespace brindle {

TfrFilterPage::TfrFilterPage(TUiServices& ui, std::string_view info, QWidget* parent)
    : TfrFilter(ui, parent), layout_(new QVBoxLayout(this)) {
    auto* label = new QLabel(UiText(info), this);
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

TfrFilterText::TfrFilterText(TUiServices& ui, std::string_view info, std::string_view caption, const char* editName,
                             QWidget* parent)
    : TfrFilterPage(ui, info, parent), edit_(new QLineEdit(this)) {
    edit_->setObjectName(editName);
    AddCaptioned(caption, edit_);
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

TfrFilter11::TfrFilter11(TUiServices& ui, QWidget* parent)
    : TfrFilterText(ui,
                    "Filter log file information by the visitor's domain name or\r\nIP address. You can use "
                    "wildcards. Click the 'Help' button\r\nfor more information and some examples.",
                    "User address", "edUserAddress", parent) {
    setObjectName("frFilter11");
}

TfrFilter12::TfrFilter12(TUiServices& ui, QWidget* parent)
    : TfrFilterText(ui,
                    "Filter log file information by the requested file. You can use\r\nwildcards. Click the "
                    "'Help' button for more information and\r\nsome examples.",
                    "Requested file", "edRequestFile", parent) {
    setObjectName("frFilter12");
}

TfrFilter19::TfrFilter19(TUiServices& ui, QWidget* parent)
    : TfrFilterText(ui,
                    "Filter log file information by the referring URL. You can use\r\nwildcards. Click the "
                    "'Help' button for more information and\r\nsome examples.",
                    "Referring URL", "edReferURL", parent) {
    setObjectName("frFilter19");
}

TfrFilter24::TfrFilter24(TUiServices& ui, QWidget* parent)
    : TfrFilterText(ui,
                    "Filter log file information by the virtual domain name (only\r\nthe IIS log file formats "
                    "store this information). You can\r\nuse wildcards.",
                    "Server identifier", "edVirtualDomain", parent) {
    setObjectName("frFilter24");
}

}  // namespace brindle

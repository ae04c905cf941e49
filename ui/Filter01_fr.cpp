#include "ui/Filter01_fr.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/UiServices.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

struct TKindButton {
    const char* Name;
    const char* Caption;
};

// In kind order, 11..24.
constexpr std::array<TKindButton, kFilterKindCount> kKindButtons = {{
    {"rbUserAddress", "User address"},
    {"rbRequestFile", "Requested file"},
    {"rbDate", "Range of dates"},
    {"rbDow", "Day of week"},
    {"rbHod", "Hour of day"},
    {"rbDom", "Day of month"},
    {"rbMonth", "Month"},
    {"rbReturnCode", "Return Code"},
    {"rbReferURL", "Referring URL"},
    {"rbOS", "Operating System"},
    {"rbBrowser", "Browser"},
    {"rbSpider", "Spider"},
    {"rbRequestType", "Request Type"},
    {"rbVirtualDomain", "Virtual Domain"},
}};

}  // namespace

TfrFilter01::TfrFilter01(TUiServices& ui, QWidget* parent)
    : TfrFilter(ui, parent),
      edFilterName_(new QLineEdit(this)),
      rbInclude_(new QRadioButton(UiText("Include Filter"), this)),
      rbExclude_(new QRadioButton(UiText("Exclude Filter"), this)) {
    setObjectName("frFilter01");
    edFilterName_->setObjectName("edFilterName");
    rbInclude_->setObjectName("rbInclude");
    rbExclude_->setObjectName("rbExclude");

    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(UiText("Filter Name"), this));
    nameRow->addWidget(edFilterName_, 1);
    layout->addLayout(nameRow);

    auto* typeBox = new QGroupBox(UiText("What type of filter would you like to create ?"), this);
    auto* typeLayout = new QHBoxLayout(typeBox);
    typeLayout->addWidget(rbInclude_);
    typeLayout->addWidget(rbExclude_);
    layout->addWidget(typeBox);

    auto* kindBox = new QGroupBox(UiText("What information do you want to filter by ?"), this);
    auto* kindLayout = new QGridLayout(kindBox);
    auto* kindGroup = new QButtonGroup(this);
    const int rows = (kFilterKindCount + 1) / 2;
    for (int i = 0; i < kFilterKindCount; ++i) {
        auto* button = new QRadioButton(UiText(kKindButtons[i].Caption), kindBox);
        button->setObjectName(kKindButtons[i].Name);
        kindGroup->addButton(button);
        kindLayout->addWidget(button, i % rows, i / rows);
        rbKinds_[i] = button;
    }
    layout->addWidget(kindBox);
    layout->addStretch();
}

void TfrFilter01::Init() {
    rbInclude_->setChecked(true);
    rbKinds_[0]->setChecked(true);
}

bool TfrFilter01::Validate() {
    if (!edFilterName_->text().isEmpty()) return true;
    Ui().ShowWarning("Please enter a name for this filter.");
    return false;
}

int TfrFilter01::CheckedKind() const {
    for (int i = 0; i < kFilterKindCount; ++i)
        if (rbKinds_[i]->isChecked()) return kFirstFilterKind + i;
    return kFirstFilterKind;
}

void TfrFilter01::SaveToFilter(TRecFilterProperty& filter) {
    filter.Name = StdText(edFilterName_->text());
    filter.FilterType = rbExclude_->isChecked() ? 2 : 1;
    filter.FilterItem = static_cast<std::uint8_t>(CheckedKind());
}

void TfrFilter01::Done() {}

void TfrFilter01::LoadFromFilter(const TRecFilterProperty& filter) {
    edFilterName_->setText(QString::fromStdString(filter.Name));
    (filter.FilterType == 2 ? rbExclude_ : rbInclude_)->setChecked(true);
    const int kind = filter.FilterItem;
    const bool known = kind >= kFirstFilterKind && kind <= kLastFilterKind;
    rbKinds_[known ? kind - kFirstFilterKind : 0]->setChecked(true);
}

}  // namespace brindle

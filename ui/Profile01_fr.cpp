#include "ui/Profile01_fr.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/Profiles_u.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfrProfile01::TfrProfile01(TUiServices& ui, QWidget* parent)
    : TfrProfile(ui, parent), edName_(NewEdit(this, "edName")), meDescription_(new QPlainTextEdit(this)) {
    setObjectName("frProfile01");
    meDescription_->setObjectName("meDescription");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewLabel(this, "laName", "Profile Name:"));
    layout->addWidget(edName_);
    layout->addWidget(NewLabel(this, "laNameInfo", "Specify a name to identify this profile"));
    layout->addSpacing(12);
    layout->addWidget(NewLabel(this, "laDescription", "Profile Description:"));
    layout->addWidget(meDescription_, 1);
    layout->addWidget(NewLabel(this, "laDescriptionInfo", "You can add a description for your profile."));
}

bool TfrProfile01::Validate() {
    if (edName_->text().isEmpty()) return Refuse("Please enter a name for your report.", edName_);
    return true;
}

void TfrProfile01::SaveToProfile(TProfile& profile) {
    profile.Name = StdText(edName_->text());
    // An untouched description keeps its own line breaks.
    const std::string shown = StdText(meDescription_->toPlainText());
    if (shown != StdText(UiText(loadedDescription_)))
        profile.Description = shown;
    else
        profile.Description = loadedDescription_;
}

void TfrProfile01::LoadFromProfile(const TProfile& profile) {
    edName_->setText(UiText(profile.Name));
    loadedDescription_ = profile.Description;
    meDescription_->setPlainText(UiText(profile.Description));
}

}  // namespace brindle

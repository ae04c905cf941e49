#include "ui/Profile03_fr.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/Profiles_u.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfrProfile03::TfrProfile03(TUiServices& ui, QWidget* parent)
    : TfrProfile(ui, parent), edDomainName_(NewEdit(this, "edDomainName")), cbDefaultPage_(new QComboBox(this)) {
    setObjectName("frProfile03");
    cbDefaultPage_->setObjectName("cbDefaultPage");
    cbDefaultPage_->setEditable(true);
    cbDefaultPage_->setInsertPolicy(QComboBox::NoInsert);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewLabel(this, "laDomainName", "Domain Name:"));
    layout->addWidget(edDomainName_);
    layout->addWidget(NewLabel(this, "laDomainNameInfo",
                               "Specify the domain name of your web site as a host name, without the\r\n"
                               "'http://' prefix.\r\n\r\nExample: www.example.com"));
    layout->addSpacing(12);
    layout->addWidget(NewLabel(this, "laDefaultPage", "Default Page:"));
    layout->addWidget(cbDefaultPage_);
    layout->addWidget(NewLabel(this, "laDefaultPageInfo",
                               "Specify the default page as configured in your web server.\r\nIn most cases, this "
                               "will be 'index.html' or 'default.html'.\r\n\r\nExample: index.html"));
    layout->addStretch();
}

void TfrProfile03::Init() {
    cbDefaultPage_->clear();
    for (const char* page : {"default.asp", "default.aspx", "default.htm", "default.html", "default.php", "index.htm",
                             "index.html", "index.php"})
        cbDefaultPage_->addItem(page);
}

bool TfrProfile03::Validate() {
    if (edDomainName_->text().isEmpty()) return Refuse("Please specify your domain name.", edDomainName_);
    if (cbDefaultPage_->currentText().isEmpty()) return Refuse("Please specify the default page.", cbDefaultPage_);
    return true;
}

void TfrProfile03::SaveToProfile(TProfile& profile) {
    profile.DomainName = StdText(edDomainName_->text());
    profile.DefaultPage = StdText(cbDefaultPage_->currentText());
}

void TfrProfile03::LoadFromProfile(const TProfile& profile) {
    edDomainName_->setText(UiText(profile.DomainName));
    cbDefaultPage_->setEditText(UiText(profile.DefaultPage));
}

}  // namespace brindle

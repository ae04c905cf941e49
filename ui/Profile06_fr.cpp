#include "ui/Profile06_fr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/Profiles_u.h"
#include "ui/ExportAuto_fm.h"
#include "ui/Widgets_u.h"

namespace brindle {
namespace {

QSpinBox* NewSpin(QWidget* parent, const char* name, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(0, maximum);
    return spin;
}

}  // namespace

TfrProfile06::TfrProfile06(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent)
    : TfrProfile(ui, parent),
      languages_(languages),
      cbOffsetSign_(new QComboBox(this)),
      udOffsetHour_(NewSpin(this, "udOffsetHour", 12)),
      udOffsetMinute_(NewSpin(this, "udOffsetMinute", 59)),
      cbDNSLookup_(NewCheckBox(this, "cbDNSLookup", "Enable reverse DNS lookup")),
      cbAutoExport_(NewCheckBox(this, "cbAutoExport", "Automatically export report")),
      edAutoExport_(NewEdit(this, "edAutoExport")),
      buExportOptions_(NewButton(this, "buExportOptions", "Export Options")) {
    setObjectName("frProfile06");
    cbOffsetSign_->setObjectName("cbOffsetSign");
    edAutoExport_->setReadOnly(true);

    auto* offset = new QGridLayout;
    offset->addWidget(NewLabel(this, "laOffset", "Time Offset:"), 0, 0, 2, 1);
    offset->addWidget(NewLabel(this, "laOffsetHour", "Hour"), 0, 2);
    offset->addWidget(NewLabel(this, "laOffsetMinute", "Minute"), 0, 3);
    offset->addWidget(cbOffsetSign_, 1, 1);
    offset->addWidget(udOffsetHour_, 1, 2);
    offset->addWidget(udOffsetMinute_, 1, 3);
    offset->setColumnStretch(4, 1);
    auto* target = new QHBoxLayout;
    target->addWidget(edAutoExport_, 1);
    target->addWidget(buExportOptions_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(offset);
    layout->addWidget(
        NewLabel(this, "laOffsetInfo", "You can add or subtract an offset to the time recorded in your log file."));
    layout->addSpacing(12);
    layout->addWidget(cbDNSLookup_);
    layout->addWidget(NewLabel(this, "laDNSLookupInfo",
                               "Brindle Analyzer can perform DNS lookups to translate a\r\nnumerical IP address to a "
                               "human-readable domain name.\r\nPerforming DNS lookup can take a long time and "
                               "is\r\ndependant on the number of IP addresses to resolve."));
    layout->addSpacing(12);
    layout->addWidget(cbAutoExport_);
    layout->addWidget(NewLabel(this, "laAutoExportInfo",
                               "Brindle Analyzer can automatically export yout report. Click\r\nthe 'Export Options' "
                               "button to select the format you would like\r\nyour report to be in, and where you "
                               "would like to be placed."));
    layout->addLayout(target);
    layout->addStretch();

    connect(cbAutoExport_, &QCheckBox::toggled, this, &TfrProfile06::UpdateAutoExport);
    connect(buExportOptions_, &QPushButton::clicked, this, &TfrProfile06::EditExportOptions);
    UpdateAutoExport();
}

void TfrProfile06::Init() {
    cbOffsetSign_->clear();
    cbOffsetSign_->addItems({"+", "-"});
}

void TfrProfile06::LoadFromProfile(const TProfile& profile) {
    cbOffsetSign_->setCurrentIndex(profile.OffsetSign < 0 ? 1 : 0);
    udOffsetHour_->setValue(profile.OffsetHour);
    udOffsetMinute_->setValue(profile.OffsetMinute);
    cbDNSLookup_->setChecked(profile.DNSLookup != 0);
    cbAutoExport_->setChecked(profile.AutoExport != 0);
    edAutoExport_->setText(UiText(profile.AutoExportFile));
    exportType_ = profile.AutoExportType;
    exportLanguageID_ = profile.AutoExportLanguageID;
    UpdateAutoExport();
}

bool TfrProfile06::Validate() {
    if (cbAutoExport_->isChecked() && edAutoExport_->text().isEmpty())
        return Refuse(
            "You did not specify an export location. You should either click the 'Export Options' button "
            "and\r\nselect a location to export to, or uncheck 'Automatically export report'.",
            buExportOptions_);
    return true;
}

void TfrProfile06::SaveToProfile(TProfile& profile) {
    profile.OffsetSign = cbOffsetSign_->currentText() == "+" ? 1 : -1;
    profile.OffsetHour = udOffsetHour_->value();
    profile.OffsetMinute = udOffsetMinute_->value();
    profile.DNSLookup = cbDNSLookup_->isChecked() ? 1 : 0;
    if (cbAutoExport_->isChecked()) {
        profile.AutoExport = 1;
        profile.AutoExportType = exportType_;
        profile.AutoExportLanguageID = exportLanguageID_;
        profile.AutoExportFile = StdText(edAutoExport_->text());
    } else {
        profile.AutoExport = 0;
        profile.AutoExportType = 0;
        profile.AutoExportFile.clear();
        profile.AutoExportLanguageID = "default";
    }
}

void TfrProfile06::UpdateAutoExport() {
    const bool on = cbAutoExport_->isChecked();
    edAutoExport_->setEnabled(on);
    buExportOptions_->setEnabled(on);
}

void TfrProfile06::EditExportOptions() {
    std::uint8_t kind = exportType_;
    std::string fileName = StdText(edAutoExport_->text());
    std::string languageID = exportLanguageID_;
    TfmExportAuto dialog(Ui(), languages_, this);
    if (dialog.Execute(kind, fileName, languageID) != QDialog::Accepted) return;
    exportType_ = kind;
    exportLanguageID_ = languageID;
    edAutoExport_->setText(UiText(fileName));
}

}  // namespace brindle

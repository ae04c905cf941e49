#pragma once
// Profile page "Misc": the time offset, reverse DNS and the automatic export.
#include <cstdint>
#include <string>

#include "ui/Profile_fr.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace brindle {

class TfrProfile06 : public TfrProfile {
    Q_OBJECT
public:
    TfrProfile06(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToProfile(TProfile& profile) override;
    void Done() override {}
    void LoadFromProfile(const TProfile& profile) override;

private:
    void UpdateAutoExport();
    void EditExportOptions();

    const TLstReportTxt& languages_;
    QComboBox* cbOffsetSign_;
    QSpinBox* udOffsetHour_;
    QSpinBox* udOffsetMinute_;
    QCheckBox* cbDNSLookup_;
    QCheckBox* cbAutoExport_;
    QLineEdit* edAutoExport_;
    QPushButton* buExportOptions_;
    // As last chosen in the export options.
    std::uint8_t exportType_ = 0;
    std::string exportLanguageID_;
};

}  // namespace brindle

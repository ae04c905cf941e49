#pragma once
// Profile page "Home Page": the domain name and the default page of the site.
#include "ui/Profile_fr.h"

class QComboBox;
class QLineEdit;

namespace brindle {

class TfrProfile03 : public TfrProfile {
    Q_OBJECT
public:
    explicit TfrProfile03(TUiServices& ui, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToProfile(TProfile& profile) override;
    void Done() override {}
    void LoadFromProfile(const TProfile& profile) override;

private:
    QLineEdit* edDomainName_;
    QComboBox* cbDefaultPage_;
};

}  // namespace brindle

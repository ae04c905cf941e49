#pragma once
// Profile page "Profile": the name and the description.
#include <string>

#include "ui/Profile_fr.h"

class QLineEdit;
class QPlainTextEdit;

namespace brindle {

class TfrProfile01 : public TfrProfile {
    Q_OBJECT
public:
    explicit TfrProfile01(TUiServices& ui, QWidget* parent = nullptr);

    void Init() override {}
    bool Validate() override;
    void SaveToProfile(TProfile& profile) override;
    void Done() override {}
    void LoadFromProfile(const TProfile& profile) override;

private:
    QLineEdit* edName_;
    QPlainTextEdit* meDescription_;
    std::string loadedDescription_;
};

}  // namespace brindle

#pragma once
// Page 1 of the filter wizard: the filter's name, include or exclude, and its kind.
#include <array>

#include "ui/Filter_fr.h"

class QLineEdit;
class QRadioButton;

namespace brindle {

inline constexpr int kFirstFilterKind = 11;
inline constexpr int kLastFilterKind = 24;
inline constexpr int kFilterKindCount = kLastFilterKind - kFirstFilterKind + 1;

class TfrFilter01 : public TfrFilter {
    Q_OBJECT
public:
    explicit TfrFilter01(TUiServices& ui, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToFilter(TRecFilterProperty& filter) override;
    void Done() override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

    // The ticked kind, 11..24.
    int CheckedKind() const;

private:
    QLineEdit* edFilterName_;
    QRadioButton* rbInclude_;
    QRadioButton* rbExclude_;
    std::array<QRadioButton*, kFilterKindCount> rbKinds_{};
};

}  // namespace brindle

#pragma once
// The tip of the day: the eight built-in tips in turn, after tip 8 tip 1 again.
#include <cstdint>

#include "ui/StartUp_u.h"
#include "ui/mTips_fm.h"

namespace brindle {

class TRegData;

inline constexpr std::int32_t kTipsCount = 8;

// The number itself when it is 1..8, else 1.
std::int32_t ValidTipNumber(std::int32_t number);
// The tip after Number: Number + 1, and 1 after 8 (or after anything outside 1..8).
std::int32_t NextTipNumber(std::int32_t number);
// The text of tip 1..8 (tip 1 for any other number).
std::string TipText(std::int32_t number);

class TfmTips : public TfmmTips {
    Q_OBJECT
public:
    explicit TfmTips(QWidget* parent = nullptr);

    // Shows tip FirstNumber (1 when outside 1..8) with the switch from ShowAtStartUp and
    // runs the dialog; gives the last tip shown and the switch's final state.
    TTipsOutcome Execute(std::int32_t firstNumber, bool showAtStartUp);
    // Execute's first step without running the dialog.
    void Start(std::int32_t firstNumber, bool showAtStartUp);
    TTipsOutcome Outcome() const { return {number_, ShowAtStartup()}; }

private:
    std::int32_t number_ = 1;
};

// The tips as the start-up shows them: only when the switch is on, so it starts ticked.
TShowTipsFunc MakeStartUpTips(QWidget* parent);

// The Help menu's tip of the day: shows the stored tip again (tip 1 when the stored number
// is outside 1..8), then keeps the last tip shown and the switch in RegData (in memory).
void ShowTipsFromHelp(TRegData& regData, QWidget* parent);

}  // namespace brindle

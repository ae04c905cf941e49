#include "ui/Tips_fm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/CommonConsts_tables.h"
#include "core/Registre_u.h"
#include "ui/UiText_u.h"

namespace brindle {

std::int32_t ValidTipNumber(std::int32_t number) { return number >= 1 && number <= kTipsCount ? number : 1; }

std::int32_t NextTipNumber(std::int32_t number) { return number >= 0 && number < kTipsCount ? number + 1 : 1; }

std::string TipText(std::int32_t number) {
    return std::string(TipsOfTheDay()[static_cast<std::size_t>(ValidTipNumber(number) - 1)]);
}

TfmTips::TfmTips(QWidget* parent) : TfmmTips(parent) {
    setObjectName("fmTips");
    setWindowTitle(UiText("Tip of the Day"));
    laTipsTitle()->setText(UiText("Did you know..."));
    cbShowStartup()->setText(UiText("Show tips on startup"));
    buNext()->setText(UiText("&Next Tip"));
    buClose()->setText(UiText("&Close"));
    OnNextTip = [this] {
        number_ = NextTipNumber(number_);
        return TipText(number_);
    };
}

void TfmTips::Start(std::int32_t firstNumber, bool showAtStartUp) {
    number_ = ValidTipNumber(firstNumber);
    Prepare(TipText(number_), showAtStartUp);
}

TTipsOutcome TfmTips::Execute(std::int32_t firstNumber, bool showAtStartUp) {
    Start(firstNumber, showAtStartUp);
    exec();
    return Outcome();
}

TShowTipsFunc MakeStartUpTips(QWidget* parent) {
    return [parent](std::int32_t firstNumber) {
        TfmTips dialog(parent);
        return dialog.Execute(firstNumber, true);
    };
}

void ShowTipsFromHelp(TRegData& regData, QWidget* parent) {
    TfmTips dialog(parent);
    const TTipsOutcome outcome = dialog.Execute(regData.Number, regData.StartUp);
    regData.Number = outcome.LastNumber;
    regData.StartUp = outcome.ShowAtStartUp;
}

}  // namespace brindle

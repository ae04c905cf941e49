#include "ui/Progress_fm.h"

#include <QPushButton>

#include "ui/UiServices.h"

namespace brindle {

TfmProgress::TfmProgress() {
    setObjectName("fmProgress");
    setWindowTitle(QString::fromUtf8(kApplicationTitle.data(), static_cast<int>(kApplicationTitle.size())));
    buCancel()->setText("Cancel");
}

}  // namespace brindle

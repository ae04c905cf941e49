#include "ui/Progress_fm.h"

#include <QPushButton>

#include "ui/UiServices.h"

namespace brindle {

TfmProgress::TfmProgress(QWidget* parent) : TfmmProgress2(parent) {
    setObjectName("fmProgress");
    setWindowTitle(QString::fromUtf8(kApplicationTitle.data(), static_cast<int>(kApplicationTitle.size())));
    buCancel()->setText("Cancel");
}

}  // namespace brindle

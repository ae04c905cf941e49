#pragma once
// The program's one progress window, created at start and shared by every job.
#include "ui/mProgress2_fm.h"

namespace brindle {

class TfmProgress : public TfmmProgress2 {
    Q_OBJECT
public:
    TfmProgress();
};

}  // namespace brindle

#include "ui/ProgressPace_u.h"

namespace brindle {

bool TProgressPace::Due(TClock::time_point now) {
    if (last_ && now - *last_ < interval_) return false;
    last_ = now;
    return true;
}

}  // namespace brindle

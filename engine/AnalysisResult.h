#pragma once
// What one analysis leaves behind for the window to keep and show: the statistics, the
// profile they were made for and when. The hits and their texts stay with the engine, which
// gives their memory back once the result is taken.
#include <cstdint>

#include "core/DateTime_u.h"
#include "core/Profiles_u.h"
#include "engine/Statistics_u.h"

namespace brindle {

struct TAnalysisResult {
    TStatistics Statistics;
    TProfile Profile;
    TSeconds AnalysisTime = 0;
    std::int64_t BadLineCount = 0;  // lines of the run's files that failed to map
};

}  // namespace brindle

#pragma once
// What a report reader needs of the current analysis: the statistics (readers re-sort the
// lists in place, hence not const), the analysed profile for the row limits, the time of
// the analysis and the options whose file-extension list the General report consults.
#include "core/DateTime_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/Statistics_u.h"

namespace brindle {

struct TReportSource {
    TStatistics& Stats;
    const TProfile& Profile;
    TSeconds AnalysisTime;
    const TOptions& Options;
};

}  // namespace brindle

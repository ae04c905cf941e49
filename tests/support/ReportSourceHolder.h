#pragma once
// Owns everything a report source points at, for tests that build an analysis by hand.
#include <cstdint>

#include "core/DateTime_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/ReportProperty.h"
#include "engine/ReportSource.h"
#include "engine/Statistics_u.h"

namespace brindle::test {

struct TReportSourceHolder {
    TStatistics Stats;
    TProfile Profile;
    TOptions Options;
    TSeconds AnalysisTime = 0;

    TReportSource Source() { return {Stats, Profile, AnalysisTime, Options}; }

    // Gives the report a record of its own with this row limit.
    void SetRowLimit(int id, std::int32_t limit) {
        TRecReportProperty rec;
        rec.ID = static_cast<std::uint8_t>(id);
        rec.Enable = 1;
        rec.EnableList = 1;
        rec.NbItemsList = limit;
        if (!Profile.Reports.Replace(id, rec)) Profile.Reports.Add(rec);
    }
};

}  // namespace brindle::test

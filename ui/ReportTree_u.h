#pragma once
// Which rows of the report catalogue the report tree shows for an analysis, and where the
// report page shows a selected row.
#include <vector>

#include "core/CommonConsts_catalogue.h"

namespace brindle {

class TProfile;
class TStatistics;

// The tree rows in catalogue order. Without a profile every row. Otherwise a report (and
// General) when enabled in the profile (or its default row) and, unless ShowEmpty, not
// empty; a folder group when at least one of its reports is shown.
std::vector<const TRecNodeProperty*> ReportTreeRows(const TProfile* profile, const TStatistics& stats, bool showEmpty);

// The group ids that always show the information page.
bool IsInfoID(int id);

// The view shown for a report: the requested mode (1 table, 2 HTML) when the row's view
// byte offers it, else the table.
int EffectiveViewMode(int requestedMode, std::uint8_t views);

}  // namespace brindle

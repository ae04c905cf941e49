#include "ui/ReportTree_u.h"

#include "core/Profiles_u.h"
#include "engine/Statistics_u.h"

namespace brindle {

namespace {

bool Enabled(const TProfile& profile, int id) {
    TRecReportProperty rec;
    return profile.Reports.Find(id, rec, true) && rec.Enable != 0;
}

bool ReportShown(const TProfile& profile, const TStatistics& stats, bool showEmpty, int id) {
    return Enabled(profile, id) && (showEmpty || !stats.IsReportEmpty(static_cast<std::uint8_t>(id)));
}

}  // namespace

std::vector<const TRecNodeProperty*> ReportTreeRows(const TProfile* profile, const TStatistics& stats, bool showEmpty) {
    const auto& nodes = NodeTable();
    std::vector<const TRecNodeProperty*> rows;
    for (const TRecNodeProperty& node : nodes) {
        bool shown = true;
        if (profile) {
            if (node.ParentID != 0 || !GroupIDs().Contains(node.ID)) {
                shown = ReportShown(*profile, stats, showEmpty, node.ID);
            } else {
                shown = false;
                for (const TRecNodeProperty& child : nodes)
                    if (child.ParentID == node.ID && ReportShown(*profile, stats, showEmpty, child.ID)) {
                        shown = true;
                        break;
                    }
            }
        }
        if (shown) rows.push_back(&node);
    }
    return rows;
}

bool IsInfoID(int id) { return GroupIDs().Contains(id); }

int EffectiveViewMode(int requestedMode, std::uint8_t views) {
    if (requestedMode == 2 && (views & kViewHtml)) return 2;
    return 1;
}

}  // namespace brindle

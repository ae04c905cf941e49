#include <algorithm>
#include <string>
#include <vector>

#include "engine/StatisticsPass_group.h"

namespace brindle::statpass {

void TStatisticsPass::ByStatus(TLane& lane) {
    constexpr TWalkRule rule{.CountVisits = false, .Traffic = false, .Days = TDailyCounts::Hits};
    Group(
        lane, rule, TRecKey::Status, [](const TRecLog& r) { return r.Status; },
        [](const TRecLog& rec, TRecStat& row) {
            row.Code = rec.Status;
            return true;
        },
        [&](const TRecLog& rec, TRecStat&) {
            if (rec.IsError) ErrorKeys.emplace_back(rec.Status, rec.URIIdx, rec.ReferrerIdx);
        },
        S.StatByStatus);
}

// One row per status, URL and referrer. The hits are counted by index first, so each
// distinct triple builds its name once; triples whose joined names meet (texts holding a
// TAB) are merged by the name walk as if every hit had its own row.
void TStatisticsPass::ByError(TLane&) {
    std::vector<TErrorKey> keys = std::move(ErrorKeys);
    std::sort(keys.begin(), keys.end());
    TLstStat work;
    TTextArena arena;
    std::string name;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t end = i + 1;
        while (end < keys.size() && keys[end] == keys[i]) ++end;
        const auto [status, uri, referrer] = keys[i];
        TRecStat row;
        name.assign(In.URITable.GetString(uri)).append(1, '\t').append(In.ReferrerTable.GetString(referrer));
        row.Name = TStatName::Kept(name, arena);
        row.Code = status;
        row.Hits = static_cast<std::int32_t>(end - i);
        work.Add(std::move(row));
        i = end;
    }
    work.SortByCodeName(1);
    for (TRecStat& row : work) {
        if (!S.StatByErr.Empty()) {
            TRecStat& last = S.StatByErr.Last();
            if (last.Code == row.Code && last.Name == row.Name) {
                TStatistics::MergeStat(last, row, 0);
                continue;
            }
        }
        S.StatByErr.Add(std::move(row));
    }
    S.Texts.Adopt(std::move(arena));
}

}  // namespace brindle::statpass

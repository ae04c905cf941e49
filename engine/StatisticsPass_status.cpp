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

// One row per status, URL and referrer. The hits are counted by index first, and the
// distinct triples are put in the rows' order by their texts where they lie, so each row
// builds its name once; triples whose joined names meet (texts holding a TAB) are merged
// as if every hit had its own row.
void TStatisticsPass::ByError(TLane&) {
    std::vector<TErrorKey> keys = std::move(ErrorKeys);
    std::sort(keys.begin(), keys.end());
    struct TTriple {
        TErrorKey Key;
        std::int32_t Hits;
    };
    std::vector<TTriple> triples;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t end = i + 1;
        while (end < keys.size() && keys[end] == keys[i]) ++end;
        triples.push_back({keys[i], static_cast<std::int32_t>(end - i)});
        i = end;
    }
    keys = std::vector<TErrorKey>();
    const auto order = [&](const TTriple& a, const TTriple& b) {
        const auto [statusA, uriA, referrerA] = a.Key;
        const auto [statusB, uriB, referrerB] = b.Key;
        if (statusA != statusB) return statusA < statusB ? -1 : 1;
        return CompareJoined(In.URITable.GetString(uriA), In.ReferrerTable.GetString(referrerA),
                             In.URITable.GetString(uriB), In.ReferrerTable.GetString(referrerB));
    };
    std::sort(triples.begin(), triples.end(), [&](const TTriple& a, const TTriple& b) { return order(a, b) < 0; });
    std::size_t rows = 0;
    for (std::size_t i = 0; i < triples.size(); ++i) rows += i == 0 || order(triples[i - 1], triples[i]) != 0;
    TLstStat& target = S.StatByErr;
    target.Reserve(target.Count() + rows);
    TTextArena arena;
    std::string name;
    for (std::size_t i = 0; i < triples.size(); ++i) {
        if (i != 0 && order(triples[i - 1], triples[i]) == 0) {
            target.Last().Hits += triples[i].Hits;
            continue;
        }
        const auto [status, uri, referrer] = triples[i].Key;
        TRecStat row;
        name.assign(In.URITable.GetString(uri)).append(1, '\t').append(In.ReferrerTable.GetString(referrer));
        row.Name = TStatName::Kept(name, arena);
        row.Code = status;
        row.Hits = triples[i].Hits;
        target.Add(std::move(row));
    }
    S.Texts.Adopt(std::move(arena));
}

}  // namespace brindle::statpass

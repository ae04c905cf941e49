#include <algorithm>
#include <vector>

#include "engine/StatisticsPass_group.h"

namespace brindle::statpass {

void TStatisticsPass::ByFile(TLane& lane) {
    std::vector<std::vector<TPageHit>> entries, exits;
    GroupInParts(
        lane, kFileRule, TRecKey::URI, [](const TRecLog& r) { return r.URIIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = TableName(In.URITable.GetString(rec.URIIdx));
            row.Kind = rec.Kind;
            return true;
        },
        [&](std::size_t parts) {
            entries.resize(parts);
            exits.resize(parts);
        },
        [&](std::size_t part, const TRecLog& rec, TRecStat&) {
            if (rec.IsEntry) entries[part].push_back({rec.URIIdx, rec.DayNo()});
            if (rec.IsExit) exits[part].push_back({rec.URIIdx, rec.DayNo()});
        },
        S.StatByAllFiles);
    // The parts in the order of the walk, then in URL order, as the sorted walk meets them.
    for (auto [hits, parts] : {std::pair{&EntryHits, &entries}, std::pair{&ExitHits, &exits}}) {
        for (std::vector<TPageHit>& part : *parts) {
            hits->insert(hits->end(), part.begin(), part.end());
            part = std::vector<TPageHit>();
        }
        std::stable_sort(hits->begin(), hits->end(),
                         [](const TPageHit& a, const TPageHit& b) { return a.URIIdx < b.URIIdx; });
    }
}

void TStatisticsPass::ByExtension(TLane& lane) {
    const TURIParts& parts = In.Records.URIParts();
    Group(
        lane, kFileHitsRule, TRecKey::Extension, [&parts](const TRecLog& r) { return parts.ExtOf(r); },
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = TableName(In.ExtTable.GetString(parts.ExtOf(rec)));
            row.Kind = rec.Kind;
            return true;
        },
        S.StatByFileExt);
}

void TStatisticsPass::ByDirectory(TLane& lane) {
    const TURIParts& parts = In.Records.URIParts();
    GroupNamed(
        lane, kFileRule, TRecKey::Path, [&parts](const TRecLog& r) { return parts.PathOf(r); }, In.PathTable,
        S.StatByFileDir);
}

void TStatisticsPass::ByFileKind(TLane& lane) {
    Group(
        lane, kFileHitsRule, TRecKey::Kind, [](const TRecLog& r) { return r.Kind; },
        [](const TRecLog& rec, TRecStat& row) {
            row.Kind = rec.Kind;
            return true;
        },
        S.StatByFileType);
}

// Each entry or exit hit counts Hits 1 and Visits 1 under its URL.
void TStatisticsPass::AddPageRows(const std::vector<TPageHit>& hits, TLstStat& target) {
    for (std::size_t i = 0; i < hits.size(); ++i) {
        if (i == 0 || hits[i].URIIdx != hits[i - 1].URIIdx) {
            TRecStat row;
            row.Name = TableName(In.URITable.GetString(hits[i].URIIdx));
            row.PerDay.Reset(static_cast<std::size_t>(std::max(S.DaySpan, 0)));
            target.Add(std::move(row));
        }
        TRecStat& row = target.Last();
        ++row.Hits;
        ++row.Visits;
        AddDay(row, hits[i].DayNo);
    }
}

// The file step met the entry and exit hits in URL order.
void TStatisticsPass::ByEntryPage(TLane&) {
    AddPageRows(EntryHits, S.StatByTopIn);
    EntryHits = std::vector<TPageHit>();
}

void TStatisticsPass::ByExitPage(TLane&) {
    AddPageRows(ExitHits, S.StatByTopOut);
    ExitHits = std::vector<TPageHit>();
}

}  // namespace brindle::statpass

#pragma once
// The grouping walks the steps build their rows with: templates, so each step's key and
// row filling are inlined into the walk.
#include "engine/StatisticsPass_pass.h"

namespace brindle::statpass {

template <class KeyOf, class StartGroup, class EachHit>
void TStatisticsPass::Walk(const TRecView& records, TVisitMap& visits, std::size_t from, std::size_t to,
                           const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup, EachHit eachHit) {
    visits.Reset();
    TRecStat* row = nullptr;
    std::int64_t groupKey = 0;
    for (std::size_t pos = from; pos < to; ++pos) {
        // The sorted order jumps around the stored records: fetch ahead so that the misses overlap.
        if (pos + kPrefetchAhead < to) {
            const char* ahead = reinterpret_cast<const char*>(&records.Get(pos + kPrefetchAhead));
            __builtin_prefetch(ahead);
            __builtin_prefetch(ahead + sizeof(TRecLog) - 1);  // a record spans two cache lines
        }
        const TRecLog& rec = records.Get(pos);
        const std::int64_t key = keyOf(rec);
        if (pos == from || key != groupKey) {
            groupKey = key;
            visits.StartGroup();
            TRecStat first;
            AddHit(first, rec, rule, rule.CountVisits && visits.FirstInGroup(rec.VisitId));
            if (rule.Days != TDailyCounts::None) {
                first.PerDay.Reset(static_cast<std::size_t>(std::max(S.DaySpan, 0)));
                AddDay(first, rec.DayNo());
            }
            row = startGroup(rec, std::move(first));
            if (row) eachHit(rec, *row);
            continue;
        }
        if (!row) continue;
        const bool counted = rule.CountVisits && visits.FirstInGroup(rec.VisitId);
        AddHit(*row, rec, rule, counted);
        if (rule.Days == TDailyCounts::Hits || (rule.Days == TDailyCounts::Visits && counted))
            AddDay(*row, rec.DayNo());
        eachHit(rec, *row);
    }
}

template <class KeyOf, class StartGroup>
void TStatisticsPass::Walk(TLane& lane, const TWalkRule& rule, KeyOf keyOf, StartGroup startGroup) {
    Walk(lane.Records(), lane.Visits(), 0, lane.Records().Count(), rule, keyOf, startGroup,
         [](const TRecLog&, TRecStat&) {});
}

template <class KeyOf, class FirstHit, class EachHit>
bool TStatisticsPass::GroupInStoredOrder(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf,
                                         FirstHit firstHit, EachHit eachHit, TLstStat& target) {
    const TDedup dedup = ChooseDedup(rule, key);
    if (dedup == TDedup::Sort) return false;
    const std::int64_t keys = Spans[static_cast<std::size_t>(key)].Highest + 1;
    GroupStored(lane, rule, dedup, keyOf, static_cast<std::size_t>(keys), firstHit, eachHit, target);
    return true;
}

template <class KeyOf, class FirstHit, class EachHit>
void TStatisticsPass::Group(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                            EachHit eachHit, TLstStat& target) {
    if (!GroupInStoredOrder(lane, rule, key, keyOf, firstHit, eachHit, target)) {
        ReserveRows(target, key);
        lane.Records().SortBy(key, 1);
        Walk(
            lane.Records(), lane.Visits(), 0, lane.Records().Count(), rule, keyOf,
            [&](const TRecLog& rec, TRecStat&& row) -> TRecStat* {
                if (!firstHit(rec, row)) return nullptr;
                return Append(target, std::move(row));
            },
            eachHit);
    }
}

template <class KeyOf, class FirstHit>
void TStatisticsPass::Group(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                            TLstStat& target) {
    GroupInParts(
        lane, rule, key, keyOf, firstHit, [](std::size_t) {}, [](std::size_t, const TRecLog&, TRecStat&) {}, target);
}

template <class KeyOf, class FirstHit, class PartHit>
void TStatisticsPass::GroupInParts(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf, FirstHit firstHit,
                                   const std::function<void(std::size_t)>& startParts, PartHit partHit,
                                   TLstStat& target) {
    const auto eachHit = [&](const TRecLog& rec, TRecStat& row) { partHit(0, rec, row); };
    startParts(1);
    if (!GroupInStoredOrder(lane, rule, key, keyOf, firstHit, eachHit, target))
        GroupSortedInParts(lane, rule, key, keyOf, firstHit, startParts, partHit, target);
}

// The groups share nothing, so parts of the sorted order, each from a group's first hit,
// are walked side by side and their rows joined in order.
template <class KeyOf, class FirstHit, class PartHit>
void TStatisticsPass::GroupSortedInParts(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf,
                                         FirstHit firstHit, const std::function<void(std::size_t)>& startParts,
                                         PartHit partHit, TLstStat& target) {
    TRecView& records = lane.Records();
    records.SortBy(key, 1);
    const std::size_t count = records.Count();
    // Only threads no chain is using take parts: each part holds a visit map of its own, and
    // eight steps splitting eight ways at once would hold sixty-four.
    const std::size_t busy = static_cast<std::size_t>(std::max(BusyChains.load(), 1));
    const std::size_t idle = Workers > busy ? Workers - busy : 0;
    const std::size_t parts = In.HitsPerPart != 0 ? std::clamp<std::size_t>(count / In.HitsPerPart, 1, Workers)
                                                  : std::clamp<std::size_t>(count / kHitsPerPart, 1, idle + 1);
    startParts(parts);
    if (parts == 1) ReserveRows(target, key);
    std::vector<std::size_t> bounds(parts + 1, count);
    bounds[0] = 0;
    for (std::size_t part = 1; part < parts; ++part) {
        std::size_t at = std::max(bounds[part - 1], count * part / parts);
        while (at > 0 && at < count && keyOf(records.Get(at)) == keyOf(records.Get(at - 1))) ++at;
        bounds[part] = at;
    }
    std::vector<TLstStat> found(parts);
    RunParts(parts, [&](std::size_t part) {
        TVisitMap own;
        if (part > 0) own.Resize(LowestVisit, HighestVisit);
        TLstStat& rows = parts == 1 ? target : found[part];
        Walk(
            records, part == 0 ? lane.Visits() : own, bounds[part], bounds[part + 1], rule, keyOf,
            [&](const TRecLog& rec, TRecStat&& row) -> TRecStat* {
                if (!firstHit(rec, row)) return nullptr;
                return Append(rows, std::move(row));
            },
            [&](const TRecLog& rec, TRecStat& row) { partHit(part, rec, row); });
    });
    if (parts == 1) return;
    std::size_t rows = target.Count();
    for (const TLstStat& part : found) rows += part.Count();
    target.Reserve(rows);
    for (TLstStat& part : found) {
        for (TRecStat& row : part.MutableRows()) target.Add(std::move(row));
        part = TLstStat{};
    }
}

template <class KeyOf>
void TStatisticsPass::GroupNamed(TLane& lane, const TWalkRule& rule, TRecKey key, KeyOf keyOf,
                                 const TBucketString& names, TLstStat& target) {
    Group(
        lane, rule, key, keyOf,
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = TableName(names.GetString(static_cast<std::int32_t>(keyOf(rec))));
            return true;
        },
        target);
}

// The sorted walk meets a group's hits in stored order, so its first hit is the first one
// stored and a visit counts at its first hit stored: one pass in stored order, a row per
// key and a bit per key and visit come to the same rows.
template <class KeyOf, class FirstHit, class EachHit>
void TStatisticsPass::GroupStored(TLane& lane, const TWalkRule& rule, TDedup dedup, KeyOf keyOf, std::size_t keys,
                                  FirstHit firstHit, EachHit eachHit, TLstStat& target) {
    enum : std::uint8_t { kUnseen, kKept, kDropped };
    std::vector<TRecStat> rows(keys);
    std::vector<std::uint8_t> state(keys, kUnseen);
    TVisitMap& visits = lane.Visits();
    visits.Reset();
    visits.StartGroup();
    std::vector<std::uint64_t> keyVisits(dedup == TDedup::KeyAndVisit ? (keys * visits.Size() + 63) / 64 : 0);
    const auto newVisit = [&](std::size_t key, const TRecLog& rec) {
        if (dedup == TDedup::Visit) return visits.FirstInGroup(rec.VisitId);
        const std::size_t slot = visits.Slot(rec.VisitId);
        if (slot == TVisitMap::kNoSlot) return true;
        // Visit-major: the hits of a visit lie close together, and so do its bits.
        const std::size_t bit = slot * keys + key;
        std::uint64_t& word = keyVisits[bit / 64];
        const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
        if ((word & mask) != 0) return false;
        word |= mask;
        return true;
    };
    const std::size_t count = In.Records.Count();
    for (std::size_t i = 0; i < count; ++i) {
        const TRecLog& rec = In.Records.Stored(i);
        const auto key = static_cast<std::size_t>(keyOf(rec));
        std::uint8_t& seen = state[key];
        if (seen == kDropped) continue;
        const bool counted = dedup != TDedup::None && newVisit(key, rec);
        TRecStat& row = rows[key];
        AddHit(row, rec, rule, counted);
        if (seen == kUnseen) {
            if (rule.Days != TDailyCounts::None) {
                row.PerDay.Reset(static_cast<std::size_t>(std::max(S.DaySpan, 0)));
                AddDay(row, rec.DayNo());
            }
            if (!firstHit(rec, row)) {
                seen = kDropped;
                row = {};
                continue;
            }
            seen = kKept;
        } else if (rule.Days == TDailyCounts::Hits || (rule.Days == TDailyCounts::Visits && counted)) {
            AddDay(row, rec.DayNo());
        }
        eachHit(rec, row);
    }
    for (std::size_t key = 0; key < keys; ++key)
        if (state[key] == kKept) target.Add(std::move(rows[key]));
}
}  // namespace brindle::statpass

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <vector>

#include "core/CommonUtils_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ELogConvert.h"
#include "engine/StatisticsPass_group.h"

namespace brindle::statpass {

namespace {

// The widest span the log readers can produce (years 1900 to 9999); anything wider comes
// from broken records and would only make useless daily charts.
const std::int64_t kMaxDaySpan = EncodeDate(9999, 12, 31) - EncodeDate(1900, 1, 1) + 1;

// Visit lengths in seconds below which each band ends (bands 1..10; 11 is the rest).
constexpr std::array<std::int32_t, 10> kLengthBandEnds = {60, 300, 600, 1200, 1800, 2700, 3600, 5400, 7200, 10800};

int LengthBand(std::int32_t seconds) {
    for (std::size_t i = 0; i < kLengthBandEnds.size(); ++i)
        if (seconds < kLengthBandEnds[i]) return static_cast<int>(i) + 1;
    return static_cast<int>(kLengthBandEnds.size()) + 1;
}

}  // namespace

void TStatisticsPass::SumSummary(TLane& lane) {
    if (In.AlwaysSort) {
        TRecView& records = lane.Records();
        records.SortBy(TRecKey::Visit, 1);
        std::int32_t previous = 0;
        for (std::size_t pos = 0; pos < records.Count(); ++pos) {
            const TRecLog& rec = records.Get(pos);
            const bool newVisit = rec.VisitId != previous;
            AddHit(S.Summary, rec, kTimeRule, pos == 0 || newVisit);
            if (newVisit) VisitLengths.push_back(rec.VisitDuration);
            previous = rec.VisitId;
        }
        return;
    }
    // The same in stored order, in parts side by side: a visit counts at its first hit
    // stored, which the walk in visit order meets first; only a visit 0 that is the lowest id
    // present gave no length there. The lengths are only counted, so their order does not
    // matter. An id outside the visit map is a visit at every hit, as the map has it.
    const TLstRecLog& records = In.Records;
    const std::size_t count = records.Count();
    const auto slots = static_cast<std::size_t>(std::max<std::int64_t>(HighestVisit - LowestVisit + 1, 0));
    constexpr std::uint32_t kUnseen = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> firstHit(slots, kUnseen);
    const auto lengthCounts = [&](std::int32_t id) { return id != 0 || LowestVisit < 0; };
    const std::size_t parts =
        std::clamp<std::size_t>(count / (In.HitsPerPart != 0 ? In.HitsPerPart : kHitsPerPart), 1, Workers);
    std::vector<TRecStat> sums(parts);
    std::vector<std::vector<std::int32_t>> lengths(parts);
    RunParts(parts, [&](std::size_t part) {
        TRecStat& sum = sums[part];
        for (std::size_t i = count * part / parts; i < count * (part + 1) / parts; ++i) {
            const TRecLog& rec = records.Stored(i);
            const std::int64_t slot = static_cast<std::int64_t>(rec.VisitId) - LowestVisit;
            const bool mapped = slot >= 0 && static_cast<std::uint64_t>(slot) < slots;
            AddHit(sum, rec, kTimeRule, !mapped);
            if (!mapped) {
                if (lengthCounts(rec.VisitId)) lengths[part].push_back(rec.VisitDuration);
                continue;
            }
            std::atomic_ref<std::uint32_t> first(firstHit[static_cast<std::size_t>(slot)]);
            std::uint32_t seen = first.load(std::memory_order_relaxed);
            const auto index = static_cast<std::uint32_t>(i);
            while (index < seen && !first.compare_exchange_weak(seen, index, std::memory_order_relaxed)) {
            }
        }
    });
    for (const TRecStat& sum : sums) TStatistics::MergeStat(S.Summary, sum, 0);
    for (std::size_t slot = 0; slot < slots; ++slot) {
        if (firstHit[slot] == kUnseen) continue;
        const TRecLog& rec = records.Stored(firstHit[slot]);
        ++S.Summary.Visits;
        S.Summary.Duration += rec.VisitDuration;
        if (lengthCounts(rec.VisitId)) VisitLengths.push_back(rec.VisitDuration);
    }
    for (const std::vector<std::int32_t>& part : lengths)
        VisitLengths.insert(VisitLengths.end(), part.begin(), part.end());
}

// The earliest and latest hit come from the scan before the steps, so the steps waiting
// for the day span start at once; the sorted walk, kept for AlwaysSort, finds the same.
void TStatisticsPass::FindTimeRange(TLane& lane) {
    if (In.Records.Empty()) return;
    TSeconds first = 0, last = 0;
    if (In.AlwaysSort) {
        TRecView& records = lane.Records();
        records.SortBy(TRecKey::Time, 1);
        first = records.Get(0).Time;
        last = records.Get(records.Count() - 1).Time;
    } else {
        const TKeySpan& times = Spans[static_cast<std::size_t>(TRecKey::Time)];
        first = times.Lowest;
        last = times.Highest;
    }
    S.FirstHitTime = first;
    S.FirstDay = static_cast<std::int32_t>(DayOf(first));
    S.LastHitTime = last;
    S.LastDay = static_cast<std::int32_t>(DayOf(last));
    if (S.FirstDay == 0 || S.LastDay == 0) return;
    const std::int64_t span = static_cast<std::int64_t>(S.LastDay) - S.FirstDay + 1;
    // The counts are sparse, so memory does not grow with the span; only a saved document
    // does, where every row with daily counts takes four bytes per day.
    const bool tooLarge = In.PerDayDocumentLimit != 0 && EstimatePerDayBytes(In, span) > In.PerDayDocumentLimit;
    if (span > kMaxDaySpan || tooLarge)
        throw ELogConvert(SafeFormat("The hits run from %s to %s: too many days for the daily statistics.",
                                     {FormatDateText(S.FirstHitTime), FormatDateText(S.LastHitTime)}));
    S.DaySpan = static_cast<std::int32_t>(span);
}

// Step 3 left the records in time order, which groups days and months as well. The
// walk also fills the hour, weekday and day-of-month rows for their own steps.
void TStatisticsPass::ByDay(TLane& lane) {
    lane.Records().SortBy(TRecKey::Time, 1);
    Clock = std::make_unique<TClockTables>(lane.Visits().Size());
    Walk(
        lane.Records(), lane.Visits(), 0, lane.Records().Count(), kTimeRule, [](const TRecLog& r) { return r.DayNo(); },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Key = StartOfDay(rec.DayNo());
            return Append(S.StatByDay, std::move(row));
        },
        [&](const TRecLog& rec, TRecStat&) { Clock->Add(rec, lane.Visits().Slot(rec.VisitId)); });
}

void TStatisticsPass::ByMonth(TLane& lane) {
    Walk(
        lane, kTimeRule, [memo = TDayDateMemo()](const TRecLog& r) mutable { return memo.MonthKey(r); },
        [&](const TRecLog& rec, TRecStat&& row) {
            row.Key = StartOfDay(rec.MonthStart());
            return Append(S.StatByMon, std::move(row));
        });
}

void TStatisticsPass::ByHour(TLane&) { S.StatByHod = Clock->Hod; }
void TStatisticsPass::ByWeekday(TLane&) { S.StatByDow = Clock->Dow; }
void TStatisticsPass::ByDayOfMonth(TLane&) {
    S.StatByDom = Clock->Dom;
    Clock.reset();
}

void TStatisticsPass::ByVisitLength(TLane&) {
    TRecStat visit;
    visit.Hits = 1;
    visit.Visits = 1;
    for (const std::int32_t length : VisitLengths)
        TStatistics::MergeStat(S.StatByLenVisit[LengthBand(length)], visit, 0);
    VisitLengths = std::vector<std::int32_t>();
}

}  // namespace brindle::statpass

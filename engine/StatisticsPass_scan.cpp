#include <algorithm>
#include <array>
#include <limits>
#include <utility>
#include <vector>

#include "engine/StatisticsPass_pass.h"

namespace brindle::statpass {

// Room for every row a key can give at once: a list of a million rows grown by doubling
// would hold its old and new copies together. Room never used is never touched, so it
// costs no memory; keys whose span is unknown get none.
void TStatisticsPass::ReserveRows(TLstStat& target, TRecKey key) const {
    const TKeySpan& span = Spans[static_cast<std::size_t>(key)];
    if (span.Highest < span.Lowest) return;
    const std::uint64_t keys = static_cast<std::uint64_t>(span.Highest - span.Lowest) + 1;
    target.Reserve(static_cast<std::size_t>(std::min<std::uint64_t>(keys, In.Records.Count())));
}

void TStatisticsPass::ScanRecords() {
    constexpr std::array kScanned = {TRecKey::Host,   TRecKey::User,     TRecKey::URI,     TRecKey::Extension,
                                     TRecKey::Path,   TRecKey::Referrer, TRecKey::Browser, TRecKey::OS,
                                     TRecKey::Spider, TRecKey::Status,   TRecKey::Kind,    TRecKey::Time,
                                     TRecKey::Visit};
    const TURIParts& uriParts = In.Records.URIParts();
    const auto valueOf = [&uriParts](const TRecLog& rec, TRecKey key) -> std::int64_t {
        switch (key) {
            case TRecKey::Host: return rec.HostIdx;
            case TRecKey::User: return rec.UserIdx;
            case TRecKey::URI: return rec.URIIdx;
            case TRecKey::Extension: return uriParts.ExtOf(rec);
            case TRecKey::Path: return uriParts.PathOf(rec);
            case TRecKey::Referrer: return rec.ReferrerIdx;
            case TRecKey::Browser: return rec.BrowserIdx;
            case TRecKey::OS: return rec.OSIdx;
            case TRecKey::Spider: return rec.SpiderIdx;
            case TRecKey::Status: return rec.Status;
            case TRecKey::Kind: return rec.Kind;
            case TRecKey::Time: return rec.Time;
            default: return rec.VisitId;
        }
    };
    const TLstRecLog& records = In.Records;
    const std::size_t count = records.Count();
    const std::size_t parts = std::clamp<std::size_t>(count / kHitsPerPart, 1, Workers);
    using TSpans = std::array<TKeySpan, kScanned.size()>;
    std::vector<TSpans> found(parts);
    RunParts(parts, [&](std::size_t part) {
        TSpans& spans = found[part];
        spans.fill({std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()});
        // Every key a constant of its own, so that each field is read straight, not through
        // the switch once a key and a record.
        const auto widen = [&]<std::size_t... K>(const TRecLog& rec, std::index_sequence<K...>) {
            ((spans[K].Lowest = std::min(spans[K].Lowest, valueOf(rec, kScanned[K])),
              spans[K].Highest = std::max(spans[K].Highest, valueOf(rec, kScanned[K]))),
             ...);
        };
        for (std::size_t i = count * part / parts; i < count * (part + 1) / parts; ++i)
            widen(records.Stored(i), std::make_index_sequence<kScanned.size()>());
    });
    LowestVisit = 1;
    HighestVisit = std::max(S.VisitCount, 0);
    if (count == 0) return;
    for (std::size_t k = 0; k < kScanned.size(); ++k) {
        TKeySpan& span = Spans[static_cast<std::size_t>(kScanned[k])];
        span = found[0][k];
        for (const TSpans& more : found) {
            span.Lowest = std::min(span.Lowest, more[k].Lowest);
            span.Highest = std::max(span.Highest, more[k].Highest);
        }
    }
    const TKeySpan& visits = Spans[static_cast<std::size_t>(TRecKey::Visit)];
    LowestVisit = std::min<std::int64_t>(LowestVisit, visits.Lowest);
    HighestVisit = std::max(HighestVisit, visits.Highest);
}

void TStatisticsPass::AddDay(TRecStat& row, std::int32_t dayNo) const {
    const std::int64_t day = static_cast<std::int64_t>(dayNo) - S.FirstDay;
    if (day >= 0) row.PerDay.Add(static_cast<std::size_t>(day));
}

TStatisticsPass::TDedup TStatisticsPass::ChooseDedup(const TWalkRule& rule, TRecKey key) const {
    const TKeySpan& span = Spans[static_cast<std::size_t>(key)];
    if (In.AlwaysSort || In.Records.Empty() || span.Lowest < 0 || span.Highest >= kMostDenseKeys) return TDedup::Sort;
    if (!rule.CountVisits) return TDedup::None;
    // Every hit of a visit has the visit's host, as the visit step makes them.
    if (key == TRecKey::Host && VisitsStayOnOneHost()) return TDedup::Visit;
    const auto visits = static_cast<std::uint64_t>(HighestVisit - LowestVisit + 1);
    if (static_cast<std::uint64_t>(span.Highest + 1) * visits <= kMostKeyVisitBits) return TDedup::KeyAndVisit;
    return TDedup::Sort;
}

bool TStatisticsPass::VisitsStayOnOneHost() const {
    std::vector<std::int32_t> hostOfVisit(static_cast<std::size_t>(HighestVisit - LowestVisit + 1), -1);
    const TLstRecLog& records = In.Records;
    for (const TRecLog& rec : records) {
        std::int32_t& host = hostOfVisit[static_cast<std::size_t>(rec.VisitId - LowestVisit)];
        if (host >= 0 && host != rec.HostIdx) return false;
        host = rec.HostIdx;
    }
    return true;
}

}  // namespace brindle::statpass

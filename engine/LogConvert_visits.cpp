#include "engine/LogConvert_visits.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

#include "core/CommonUtils_u.h"
#include "engine/ForkJoin_u.h"
#include "engine/LogConvert_store.h"
#include "engine/LogConvert_u.h"

namespace brindle {

void TLogConvert::AssignIPNumbers() {
    // Every host text is the host of some hit: one conversion per host.
    HostIPs.assign(static_cast<std::size_t>(HostTable.Count()), -1);
    for (std::int32_t host = 0; host < HostTable.Count(); ++host) {
        const std::int64_t ip = IPToLong(HostTable.GetString(host));
        if (ip != kIPNone)
            HostIPs[static_cast<std::size_t>(host)] = static_cast<std::int32_t>(static_cast<std::uint32_t>(ip));
    }
}

void TLogConvert::ComputeVisits() {
    TVisitCut cut;
    cut.Session = static_cast<TSeconds>(Options.SessionLength) * 60;
    cut.Threads = ParseSettings.ThreadCount();
    VisitCount = CutVisits(Records, static_cast<std::size_t>(HostTable.Count()), cut);
}

namespace {

using TIndex = std::uint32_t;

constexpr std::size_t kPrefetchAhead = 16;
// More parts than threads even out hosts of very different sizes.
constexpr std::size_t kPartsPerThread = 4;

// Storage indices grouped by host in host order, each host's in storage order; HostEnds
// holds where each group ends, ascending.
struct THostGroups {
    explicit THostGroups(std::size_t count) : Hits(count) {}
    TScratchArray<TIndex> Hits;
    std::vector<TIndex> HostEnds;
};

THostGroups GroupByHost(const TLstRecLog& records, std::size_t hosts) {
    const std::size_t count = records.Count();
    THostGroups groups(count);
    // Host indices come from the host table; anything else is grouped by a plain sort.
    std::vector<TIndex>& next = groups.HostEnds;
    next.assign(hosts + 1, 0);
    bool inTable = true;
    for (std::size_t i = 0; i < count && inTable; ++i) {
        const std::int32_t host = records.Stored(i).HostIdx;
        inTable = host >= 0 && static_cast<std::size_t>(host) < hosts;
        if (inTable) ++next[static_cast<std::size_t>(host) + 1];
    }
    if (inTable) {
        for (std::size_t i = 1; i < next.size(); ++i) next[i] += next[i - 1];
        for (std::size_t i = 0; i < count; ++i)
            groups.Hits[next[static_cast<std::size_t>(records.Stored(i).HostIdx)]++] = static_cast<TIndex>(i);
        next.pop_back();  // each start became the end of its host
        return groups;
    }
    std::iota(groups.Hits.begin(), groups.Hits.end(), TIndex{0});
    const auto hostOf = [&records](TIndex i) { return records.Stored(i).HostIdx; };
    std::stable_sort(groups.Hits.begin(), groups.Hits.end(),
                     [&hostOf](TIndex a, TIndex b) { return hostOf(a) < hostOf(b); });
    next.clear();
    for (std::size_t i = 1; i < count; ++i)
        if (hostOf(groups.Hits[i]) != hostOf(groups.Hits[i - 1])) next.push_back(static_cast<TIndex>(i));
    next.push_back(static_cast<TIndex>(count));
    return groups;
}

struct TTimedHit {
    TSeconds Time;
    TIndex Index;
};

// Marks the hits [from, to) of one host's time-ordered list as one visit.
void CloseVisit(TLstRecLog& records, const std::vector<TTimedHit>& hits, std::size_t from, std::size_t to) {
    const TSeconds length =
        std::min<TSeconds>(hits[to - 1].Time - hits[from].Time, std::numeric_limits<std::int32_t>::max());
    TRecLog* entry = nullptr;
    TRecLog* exit = nullptr;
    for (std::size_t i = from; i < to; ++i) {
        TRecLog& hit = records.Stored(hits[i].Index);
        hit.VisitDuration = static_cast<std::int32_t>(length);
        if (hit.Kind == 2) {
            if (!entry) entry = &hit;
            exit = &hit;
        }
    }
    if (entry) entry->IsEntry = 1;
    if (exit) exit->IsExit = 1;
}

// Cuts one host's hits, in time order, into visits numbered from FirstId; returns how many.
std::int32_t CutHost(TLstRecLog& records, const std::vector<TTimedHit>& hits, TSeconds session, std::int32_t firstId) {
    std::int32_t id = firstId - 1;
    std::size_t visitStart = 0;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        // The first hit of a host always opens a visit, whatever the session length.
        if (i == 0 || hits[i].Time - hits[i - 1].Time > session) {
            if (i > 0) CloseVisit(records, hits, visitStart, i);
            ++id;
            visitStart = i;
        }
        records.Stored(hits[i].Index).VisitId = id;
    }
    if (!hits.empty()) CloseVisit(records, hits, visitStart, hits.size());
    return id - firstId + 1;
}

// Cuts the hosts whose hits are Hits[from, to) into visits numbered from 1; returns how many.
std::int32_t CutPart(TLstRecLog& records, const TScratchArray<TIndex>& hits, std::size_t from, std::size_t to,
                     TSeconds session) {
    std::vector<TTimedHit> host;
    std::int32_t visits = 0;
    for (std::size_t i = from; i < to;) {
        const std::int32_t hostIdx = records.Stored(hits[i]).HostIdx;
        host.clear();
        bool ordered = true;  // hits are mostly logged in time order
        for (; i < to; ++i) {
            // A host's hits lie scattered over the whole store: fetch ahead so that the misses overlap.
            if (i + kPrefetchAhead < to) {
                const auto* ahead = reinterpret_cast<const char*>(&records.Stored(hits[i + kPrefetchAhead]));
                __builtin_prefetch(ahead, 1);
                __builtin_prefetch(ahead + sizeof(TRecLog) - 1, 1);
            }
            const TRecLog& rec = records.Stored(hits[i]);
            if (rec.HostIdx != hostIdx) break;
            ordered = ordered && (host.empty() || rec.Time >= host.back().Time);
            host.push_back({rec.Time, hits[i]});
        }
        // Indices ascend within a host, so ties on time keep the order the hits were read.
        if (!ordered)
            std::sort(host.begin(), host.end(), [](const TTimedHit& a, const TTimedHit& b) {
                return a.Time != b.Time ? a.Time < b.Time : a.Index < b.Index;
            });
        visits += CutHost(records, host, session, visits + 1);
    }
    return visits;
}

}  // namespace

// The hosts are split into parts of about equal hits, cut side by side with visits numbered
// within the part; each part's numbers are then shifted by the visits of the parts before.
std::int32_t CutVisits(TLstRecLog& records, std::size_t hosts, const TVisitCut& cut) {
    const std::size_t count = records.Count();
    if (count == 0) return 0;
    const THostGroups groups = GroupByHost(records, hosts);
    const std::size_t threads = std::max<std::size_t>(cut.Threads, 1);
    const std::size_t parts =
        std::clamp<std::size_t>(count / std::max<std::size_t>(cut.HitsPerPart, 1), 1, threads * kPartsPerThread);
    std::vector<std::size_t> bounds(parts + 1, count);
    bounds[0] = 0;
    for (std::size_t p = 1; p < parts; ++p) {
        const auto end = std::lower_bound(groups.HostEnds.begin(), groups.HostEnds.end(), count * p / parts);
        bounds[p] = std::max<std::size_t>(bounds[p - 1], end == groups.HostEnds.end() ? count : *end);
    }
    std::vector<std::int32_t> visits(parts, 0);
    ForkJoinParts(parts, threads, [&](std::size_t p) {
        visits[p] = CutPart(records, groups.Hits, bounds[p], bounds[p + 1], cut.Session);
    });
    std::vector<std::int32_t> before(parts, 0);
    for (std::size_t p = 1; p < parts; ++p) before[p] = before[p - 1] + visits[p - 1];
    ForkJoinParts(parts - 1, threads, [&](std::size_t p) {
        const std::int32_t shift = before[p + 1];
        for (std::size_t i = bounds[p + 1]; i < bounds[p + 2]; ++i) records.Stored(groups.Hits[i]).VisitId += shift;
    });
    return before[parts - 1] + visits[parts - 1];
}

}  // namespace brindle

#include <algorithm>
#include <limits>
#include <vector>

#include "core/CommonUtils_u.h"
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

namespace {

constexpr std::size_t kPrefetchAhead = 16;

// Marks the hits [from, to) of one host's time-ordered list as one visit.
void CloseVisit(const std::vector<TRecLog*>& hits, std::size_t from, std::size_t to, TSeconds start, TSeconds last) {
    const TSeconds length = std::min<TSeconds>(last - start, std::numeric_limits<std::int32_t>::max());
    TRecLog* entry = nullptr;
    TRecLog* exit = nullptr;
    for (std::size_t i = from; i < to; ++i) {
        hits[i]->VisitDuration = static_cast<std::int32_t>(length);
        if (hits[i]->Kind == 2) {
            if (!entry) entry = hits[i];
            exit = hits[i];
        }
    }
    if (entry) entry->IsEntry = 1;
    if (exit) exit->IsExit = 1;
}

}  // namespace

void TLogConvert::ComputeVisits() {
    const TSeconds session = static_cast<TSeconds>(Options.SessionLength) * 60;
    std::int32_t nextId = 0;

    // One host's hits in time order; hits at the same instant keep the order they were read.
    // The records in time order are dealt out by host, which keeps that order within a host.
    // The list itself keeps its order.
    TRecView byTime(Records);
    byTime.SortBy(TRecKey::Time, 1);
    const std::size_t count = Records.Count();
    std::vector<TRecLog*> hits(count);
    // Host indices come from the host table; anything else is dealt out by a plain sort.
    const auto hosts = static_cast<std::size_t>(HostTable.Count());
    std::vector<std::size_t> next(hosts + 1, 0);
    bool inTable = true;
    for (std::size_t i = 0; i < count && inTable; ++i) {
        const std::int32_t host = Records.Stored(i).HostIdx;
        inTable = host >= 0 && static_cast<std::size_t>(host) < hosts;
        if (inTable) ++next[static_cast<std::size_t>(host) + 1];
    }
    if (inTable) {
        for (std::size_t i = 1; i < next.size(); ++i) next[i] += next[i - 1];
        for (std::size_t pos = 0; pos < count; ++pos) {
            TRecLog& rec = Records.Stored(byTime.IndexAt(pos));
            hits[next[static_cast<std::size_t>(rec.HostIdx)]++] = &rec;
        }
    } else {
        for (std::size_t pos = 0; pos < count; ++pos) hits[pos] = &Records.Stored(byTime.IndexAt(pos));
        std::stable_sort(hits.begin(), hits.end(),
                         [](const TRecLog* a, const TRecLog* b) { return a->HostIdx < b->HostIdx; });
    }

    TSeconds start = 0;
    TSeconds last = 0;
    std::size_t visitStart = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // A host's hits lie scattered over the whole list: fetch ahead so that the misses overlap.
        if (i + kPrefetchAhead < count) {
            const char* ahead = reinterpret_cast<const char*>(hits[i + kPrefetchAhead]);
            __builtin_prefetch(ahead, 1);
            __builtin_prefetch(ahead + sizeof(TRecLog) - 1, 1);
        }
        TRecLog& hit = *hits[i];
        // The first hit of a host always opens a visit, whatever the session length.
        const bool newHost = i == 0 || hit.HostIdx != hits[i - 1]->HostIdx;
        if (newHost || hit.Time - last > session) {
            if (i > 0) CloseVisit(hits, visitStart, i, start, last);
            ++nextId;
            start = hit.Time;
            visitStart = i;
        }
        hit.VisitId = nextId;
        last = hit.Time;
    }
    if (count > 0) CloseVisit(hits, visitStart, count, start, last);
    VisitCount = nextId;
}

}  // namespace brindle

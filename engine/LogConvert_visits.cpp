#include <algorithm>
#include <limits>

#include "core/CommonUtils_u.h"
#include "engine/LogConvert_u.h"

namespace brindle {

void TLogConvert::AssignIPNumbers() {
    // One conversion per distinct host, by host index: no sort needed.
    constexpr std::int64_t kUnknown = std::numeric_limits<std::int64_t>::min();
    std::vector<std::int64_t> ipOfHost(static_cast<std::size_t>(HostTable.Count()), kUnknown);
    for (TRecLog& rec : Records) {
        if (rec.HostIdx < 0 || rec.HostIdx >= HostTable.Count()) continue;
        std::int64_t& ip = ipOfHost[static_cast<std::size_t>(rec.HostIdx)];
        if (ip == kUnknown) ip = IPToLong(HostTable.GetString(rec.HostIdx));
        if (ip != kIPNone) rec.IP = static_cast<std::int32_t>(static_cast<std::uint32_t>(ip));
    }
}

namespace {

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
    std::vector<TRecLog*> hits;

    // One host's hits in time order; hits at the same instant keep the order they were read.
    auto splitHost = [&] {
        std::stable_sort(hits.begin(), hits.end(), [](const TRecLog* a, const TRecLog* b) { return a->Time < b->Time; });
        TSeconds start = 0;
        TSeconds last = 0;
        std::size_t visitStart = 0;
        for (std::size_t i = 0; i < hits.size(); ++i) {
            TRecLog& hit = *hits[i];
            // The first hit of a host always opens a visit, whatever the session length.
            if (i == 0 || hit.Time - last > session) {
                if (i > 0) CloseVisit(hits, visitStart, i, start, last);
                ++nextId;
                start = hit.Time;
                visitStart = i;
            }
            hit.VisitId = nextId;
            last = hit.Time;
        }
        if (!hits.empty()) CloseVisit(hits, visitStart, hits.size(), start, last);
        hits.clear();
    };

    Records.SortByHost(1);
    for (std::size_t pos = 0; pos < Records.Count(); ++pos) {
        TRecLog& rec = Records.Get(pos);
        if (!hits.empty() && hits.back()->HostIdx != rec.HostIdx) splitHost();
        hits.push_back(&rec);
    }
    splitHost();
    VisitCount = nextId;
}

}  // namespace brindle

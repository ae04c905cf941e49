#pragma once
// Cutting the hits into visits: a host's hits in time order (hits at the same instant in
// the order they were read) make one visit until a gap longer than the session. Visits are
// numbered from 1 in host order, then time order, whatever the number of threads.
#include <cstddef>
#include <cstdint>

#include "engine/LogConvert_records.h"

namespace brindle {

struct TVisitCut {
    TSeconds Session = 0;  // the longest gap within a visit
    std::size_t Threads = 1;
    // Fewer hits than this per part are cut on fewer threads.
    std::size_t HitsPerPart = 65536;
};

// Sets every record's VisitId, VisitDuration, IsEntry and IsExit; Hosts is the size of the
// host table the records index. Returns the number of visits.
std::int32_t CutVisits(TLstRecLog& records, std::size_t hosts, const TVisitCut& cut);

}  // namespace brindle

#pragma once
// The twelve string tables of a run, by number, and the record field that holds each one's
// index: code that treats every table alike goes through these instead of naming them one
// by one.
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/LogConvert_record.h"

namespace brindle {

enum TTableId : std::size_t {
    tiHost,
    tiUser,
    tiVDomain,
    tiMethod,
    tiURI,
    tiExt,
    tiPath,
    tiReferrer,
    tiAgent,
    tiBrowser,
    tiOS,
    tiSpider
};
inline constexpr std::size_t TableCount = 12;

// Each table's bucket mask (bucket count - 1), by TTableId.
inline constexpr std::array<std::uint16_t, TableCount> TableBucketMasks = {16383, 255,   255,  255,  4095, 255,
                                                                           1023,  16383, 1023, 1023, 1023, 1023};

// The tables whose index a record keeps in 16 bits.
inline constexpr std::array<TTableId, 3> SmallRecordTables = {tiBrowser, tiOS, tiSpider};

// Stores an index in its 16-bit record field; false, leaving the field as it was, where
// the index does not fit.
inline bool SetSmallIndex(TRecLog& rec, TTableId table, std::int32_t index) {
    if (index < 0 || index > TRecLog::kMaxSmallIndex) return false;
    const auto narrow = static_cast<std::uint16_t>(index);
    switch (table) {
        case tiBrowser: rec.BrowserIdx = narrow; return true;
        case tiOS: rec.OSIdx = narrow; return true;
        case tiSpider: rec.SpiderIdx = narrow; return true;
        default: return false;
    }
}

// An index a 16-bit field of a worker's hit could not hold: where the hit is in its piece
// (the piece's slots, then the hits beyond them), and the index left out.
struct TWideIndex {
    std::size_t Position = 0;
    TTableId Table = tiBrowser;
    std::int32_t Index = 0;
};

// Replaces each table index a record keeps with map(table, index). A 16-bit field whose
// new index does not fit stays as it was: its table is then too large for the run, which
// fails once the logs are read (TLogConvert::CheckTableSizes).
template <class Map>
void RemapRecordIndices(TRecLog& rec, Map map) {
    rec.HostIdx = map(tiHost, rec.HostIdx);
    rec.UserIdx = map(tiUser, rec.UserIdx);
    rec.URIIdx = map(tiURI, rec.URIIdx);
    rec.ReferrerIdx = map(tiReferrer, rec.ReferrerIdx);
    SetSmallIndex(rec, tiBrowser, map(tiBrowser, rec.BrowserIdx));
    SetSmallIndex(rec, tiOS, map(tiOS, rec.OSIdx));
    SetSmallIndex(rec, tiSpider, map(tiSpider, rec.SpiderIdx));
}

}  // namespace brindle

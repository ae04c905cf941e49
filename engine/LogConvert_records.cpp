#include "engine/LogConvert_records.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace brindle {

namespace {

// Order-preserving unsigned forms of the key types.
inline std::uint32_t SignedKey(std::int32_t v) { return static_cast<std::uint32_t>(v) ^ 0x80000000u; }
inline std::uint32_t UnsignedKey(int v) { return static_cast<std::uint32_t>(v); }

// Keys spread over at most this many values per record (or 65536 values) are counted into
// buckets directly; wider ones go through the radix sort.
constexpr std::size_t kCountingSpread = 2;

// Radix sort on the upper 32 bits (the key) of key-and-index pairs. LSD passes, so
// equal keys keep the order the pairs came in.
void RadixSortPairs(TMappedArray<std::uint64_t>& pairs, TMappedArray<std::uint64_t>& scratch) {
    const std::size_t n = pairs.size();
    scratch.resize_for_overwrite(n);
    std::array<std::array<std::size_t, 256>, 4> counts{};
    for (const std::uint64_t p : pairs)
        for (int b = 0; b < 4; ++b) ++counts[b][(p >> (32 + 8 * b)) & 0xFF];
    for (int b = 0; b < 4; ++b) {
        auto& count = counts[b];
        // A byte that is the same in every key leaves the order as it is.
        if (std::find(count.begin(), count.end(), n) != count.end()) continue;
        std::size_t sum = 0;
        for (std::size_t& c : count) {
            const std::size_t here = c;
            c = sum;
            sum += here;
        }
        for (const std::uint64_t p : pairs) scratch[count[(p >> (32 + 8 * b)) & 0xFF]++] = p;
        std::swap(pairs, scratch);
    }
}

}  // namespace

void TRecOrder::Reset(std::size_t count) {
    Stored = true;
    StoredCount = count;
    Positions.clear();
}

void TRecOrder::Materialize(std::size_t count) {
    Stored = false;
    StoredCount = 0;
    Positions.resize_for_overwrite(count);
    std::iota(Positions.begin(), Positions.end(), 0u);
}

void TRecOrder::Append(std::uint32_t index) {
    if (Stored && index == StoredCount) {
        ++StoredCount;
        return;
    }
    if (Stored) Materialize(StoredCount);
    Positions.push_back(index);
}

void TRecOrder::AppendRun(std::uint32_t first, std::size_t count) {
    if (Stored && first == StoredCount) {
        StoredCount += count;
        return;
    }
    for (std::size_t i = 0; i < count; ++i) Append(static_cast<std::uint32_t>(first + i));
}

void TRecOrder::Reserve(std::size_t count) {
    if (!Stored) Positions.reserve(count);
}

void TRecOrder::Clear() {
    Reset(0);
    Work = {};
}

// The keys are read in storage order, which walks the records sequentially; the sorted
// indices then become the new order. Indices go in ascending, so equal keys stay in
// storage order. Keys are worked out again on each pass instead of kept: a list of them
// would cost 4 bytes per hit beside the order, on every sorting walker at once, and a
// key is a field or two of a record the pass reads anyway.
template <class KeyOf>
void TRecOrder::SortByKey(const TRecStore& items, int flag, KeyOf keyOf) {
    const std::size_t n = items.size();
    if (n < 2) return;
    const std::uint32_t flip = flag == 1 ? 0u : 0xFFFFFFFFu;
    const auto keyAt = [&](std::size_t i) { return keyOf(items[i]) ^ flip; };
    std::uint32_t lowest = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t highest = 0;
    bool stored = true;  // already in key order as stored (hits are mostly logged in time order)
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t key = keyAt(i);
        stored = stored && key >= highest;
        lowest = std::min(lowest, key);
        highest = std::max(highest, key);
    }
    if (stored) {
        Reset(n);
        return;
    }
    Stored = false;
    StoredCount = 0;
    Positions.resize_for_overwrite(n);
    const std::uint64_t spread = static_cast<std::uint64_t>(highest - lowest) + 1;
    if (spread <= std::max<std::uint64_t>(65536, kCountingSpread * n)) {
        std::vector<std::uint32_t>& counts = Work.Counts;
        counts.assign(static_cast<std::size_t>(spread), 0);
        for (std::size_t i = 0; i < n; ++i) ++counts[keyAt(i) - lowest];
        std::uint32_t sum = 0;
        for (std::uint32_t& c : counts) {
            const std::uint32_t here = c;
            c = sum;
            sum += here;
        }
        for (std::size_t i = 0; i < n; ++i) Positions[counts[keyAt(i) - lowest]++] = static_cast<std::uint32_t>(i);
        return;
    }
    TMappedArray<std::uint64_t>& pairs = Work.Pairs;
    pairs.resize_for_overwrite(n);
    for (std::size_t i = 0; i < n; ++i)
        pairs[i] = (static_cast<std::uint64_t>(keyAt(i) - lowest) << 32) | static_cast<std::uint64_t>(i);
    RadixSortPairs(pairs, Work.Scratch);
    for (std::size_t j = 0; j < n; ++j) Positions[j] = static_cast<std::uint32_t>(pairs[j]);
}

void TRecOrder::Sort(const TRecStore& items, const TURIParts& parts, TRecKey key, int flag) {
    SortUnreleased(items, parts, key, flag);
    constexpr std::size_t kKeptCounts = 65536;
    Work.Pairs.clear();
    Work.Scratch.clear();
    if (Work.Counts.capacity() > kKeptCounts) Work.Counts = std::vector<std::uint32_t>();
}

void TRecOrder::SortUnreleased(const TRecStore& items, const TURIParts& parts, TRecKey key, int flag) {
    switch (key) {
        case TRecKey::Browser: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.BrowserIdx); });
        case TRecKey::Day:
            return SortByKey(items, flag, [memo = TDayDateMemo()](const TRecLog& r) mutable {
                return UnsignedKey(memo.DateOf(r).Day);
            });
        case TRecKey::Weekday:
            return SortByKey(items, flag, [](const TRecLog& r) { return UnsignedKey(r.DayOfWeek()); });
        case TRecKey::Kind: return SortByKey(items, flag, [](const TRecLog& r) { return UnsignedKey(r.Kind); });
        case TRecKey::Hour: return SortByKey(items, flag, [](const TRecLog& r) { return UnsignedKey(r.Hour()); });
        case TRecKey::OS: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.OSIdx); });
        case TRecKey::Referrer:
            return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.ReferrerIdx); });
        case TRecKey::Path:
            return SortByKey(items, flag, [&parts](const TRecLog& r) { return SignedKey(parts.PathOf(r)); });
        case TRecKey::Extension:
            return SortByKey(items, flag, [&parts](const TRecLog& r) { return SignedKey(parts.ExtOf(r)); });
        case TRecKey::Month:
            return SortByKey(items, flag,
                             [memo = TDayDateMemo()](const TRecLog& r) mutable { return SignedKey(memo.MonthKey(r)); });
        case TRecKey::URI: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.URIIdx); });
        case TRecKey::Host: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.HostIdx); });
        case TRecKey::Spider: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.SpiderIdx); });
        case TRecKey::Status: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.Status); });
        case TRecKey::User: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.UserIdx); });
        case TRecKey::Visit: return SortByKey(items, flag, [](const TRecLog& r) { return SignedKey(r.VisitId); });
        case TRecKey::Time: break;
    }
    if (items.size() < 2) return;
    TSeconds base = items[0].Time;
    TSeconds latest = base;
    bool stored = true;  // logs are written in time order: then this one pass settles it
    for (const TRecLog& rec : items) {
        stored = stored && rec.Time >= latest;
        base = std::min(base, rec.Time);
        latest = std::max(latest, rec.Time);
    }
    if (stored && flag == 1) {
        Reset(items.size());
        return;
    }
    // Any real log spans far less than the 136 years a 32-bit offset holds.
    if (static_cast<std::uint64_t>(latest - base) <= std::numeric_limits<std::uint32_t>::max()) {
        SortByKey(items, flag, [base](const TRecLog& r) { return static_cast<std::uint32_t>(r.Time - base); });
        return;
    }
    Materialize(items.size());
    auto earlier = [&items](std::uint32_t a, std::uint32_t b) { return items[a].Time < items[b].Time; };
    auto later = [&items](std::uint32_t a, std::uint32_t b) { return items[a].Time > items[b].Time; };
    if (flag == 1)
        std::stable_sort(Positions.begin(), Positions.end(), earlier);
    else
        std::stable_sort(Positions.begin(), Positions.end(), later);
}

std::size_t TLstRecLog::Add(const TRecLog& rec) {
    if (Items.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many hits");
    Order.Append(static_cast<std::uint32_t>(Items.size()));
    Items.push_back(rec);
    return Items.size() - 1;
}

std::size_t TLstRecLog::AppendStored(const TLstRecLog& other) {
    const std::size_t first = Items.size();
    if (other.Items.size() >= std::numeric_limits<std::uint32_t>::max() - first)
        throw std::length_error("too many hits");
    Items.reserve(first + other.Items.size());
    for (const TRecLog& rec : other.Items) Items.push_back(rec);
    for (std::size_t i = first; i < Items.size(); ++i) Order.Append(static_cast<std::uint32_t>(i));
    Parts.Add(other.Parts);
    return first;
}

void TLstRecLog::ReserveSlots(std::size_t count) {
    if (count >= std::numeric_limits<std::uint32_t>::max() - Items.size()) throw std::length_error("too many hits");
    Items.reserve(Items.size() + count);
}

void TLstRecLog::ReserveSlotBound(std::size_t count) {
    if (count >= std::numeric_limits<std::uint32_t>::max() - Items.size()) throw std::length_error("too many hits");
    Items.reserve_address_space(Items.size() + count);
}

void TLstRecLog::ReleaseSpareSlots() { Items.shrink_to_fit(); }

void TLstRecLog::TakeWritten(std::size_t count) {
    const std::size_t first = Items.size();
    Items.TakeWritten(count);
    Order.AppendRun(static_cast<std::uint32_t>(first), Items.size() - first);
}

void TLstRecLog::Clear() {
    Items.clear();
    Order.Clear();
    Parts.Clear();
}

void TLstRecLog::Reserve(std::size_t count) {
    Items.reserve(count);
    Order.Reserve(count);
}

}  // namespace brindle

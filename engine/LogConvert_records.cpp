#include "engine/LogConvert_records.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace brindle {

namespace {

// Order-preserving unsigned forms of the key types.
inline std::uint32_t SignedKey(std::int32_t v) { return static_cast<std::uint32_t>(v) ^ 0x80000000u; }
inline std::uint32_t UnsignedKey(unsigned v) { return v; }

// Radix sort on the upper 32 bits (the key) of key-and-index pairs. LSD passes, so
// equal keys keep the order the pairs came in.
void RadixSortPairs(std::vector<std::uint64_t>& pairs) {
    const std::size_t n = pairs.size();
    std::vector<std::uint64_t> scratch(n);
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
        pairs.swap(scratch);
    }
}

}  // namespace

std::size_t TLstRecLog::Add(const TRecLog& rec) {
    if (Items.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many hits");
    Order.push_back(static_cast<std::uint32_t>(Items.size()));
    Items.push_back(rec);
    return Items.size() - 1;
}

void TLstRecLog::Clear() {
    Items = {};
    Order = {};
}

void TLstRecLog::Reserve(std::size_t count) {
    Items.reserve(count);
    Order.reserve(count);
}

// The keys are read in storage order, which walks the records sequentially; the
// sorted indices then become the new order.
template <class KeyOf>
void TLstRecLog::SortByKey(int flag, KeyOf keyOf) {
    const std::size_t n = Items.size();
    if (n < 2) return;
    const std::uint32_t flip = flag == 1 ? 0u : 0xFFFFFFFFu;
    std::vector<std::uint64_t> pairs(n);
    for (std::size_t i = 0; i < n; ++i)
        pairs[i] = (static_cast<std::uint64_t>(keyOf(Items[i]) ^ flip) << 32) | static_cast<std::uint64_t>(i);
    RadixSortPairs(pairs);
    for (std::size_t j = 0; j < n; ++j) Order[j] = static_cast<std::uint32_t>(pairs[j]);
}

void TLstRecLog::SortByBrowser(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.BrowserIdx); });
}
void TLstRecLog::SortByDay(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return UnsignedKey(r.Day); });
}
void TLstRecLog::SortByWeekday(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return UnsignedKey(r.DayOfWeek); });
}
void TLstRecLog::SortByKind(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return UnsignedKey(r.Kind); });
}
void TLstRecLog::SortByHour(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return UnsignedKey(r.Hour); });
}
void TLstRecLog::SortByOS(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.OSIdx); });
}
void TLstRecLog::SortByReferrer(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.ReferrerIdx); });
}
void TLstRecLog::SortByPath(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.PathIdx); });
}
void TLstRecLog::SortByExtension(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.ExtIdx); });
}
void TLstRecLog::SortByMonth(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.MonthStart); });
}
void TLstRecLog::SortByURI(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.URIIdx); });
}
void TLstRecLog::SortByHost(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.HostIdx); });
}
void TLstRecLog::SortBySpider(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.SpiderIdx); });
}
void TLstRecLog::SortByStatus(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.Status); });
}
void TLstRecLog::SortByUser(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.UserIdx); });
}
void TLstRecLog::SortByVisit(int flag) {
    SortByKey(flag, [](const TRecLog& r) { return SignedKey(r.VisitId); });
}

void TLstRecLog::SortByTime(int flag) {
    if (Items.size() < 2) return;
    const auto [lo, hi] = std::minmax_element(Items.begin(), Items.end(),
                                              [](const TRecLog& a, const TRecLog& b) { return a.Time < b.Time; });
    const TSeconds base = lo->Time;
    // Any real log spans far less than the 136 years a 32-bit offset holds.
    if (static_cast<std::uint64_t>(hi->Time - base) <= std::numeric_limits<std::uint32_t>::max()) {
        SortByKey(flag, [base](const TRecLog& r) { return static_cast<std::uint32_t>(r.Time - base); });
        return;
    }
    const auto& items = Items;
    auto earlier = [&items](std::uint32_t a, std::uint32_t b) { return items[a].Time < items[b].Time; };
    auto later = [&items](std::uint32_t a, std::uint32_t b) { return items[a].Time > items[b].Time; };
    if (flag == 1)
        std::sort(Order.begin(), Order.end(), earlier);
    else
        std::sort(Order.begin(), Order.end(), later);
}

}  // namespace brindle

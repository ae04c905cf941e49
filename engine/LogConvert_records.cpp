#include "engine/LogConvert_records.h"

#include <algorithm>
#include <array>
#include <limits>

namespace brindle {

namespace {

// Order-preserving unsigned forms of the key types.
inline std::uint32_t SignedKey(std::int32_t v) { return static_cast<std::uint32_t>(v) ^ 0x80000000u; }
inline std::uint32_t UnsignedKey(unsigned v) { return v; }

// Records are 100-odd bytes, so comparison sorts that swap them are slow. Instead the
// 32-bit keys are radix-sorted together with the record positions (8 bytes a record)
// and the records are then moved once, in place, along the permutation's cycles.
void SortByKeys(std::vector<TRecLog>& items, std::vector<std::uint64_t>& pairs) {
    const std::size_t n = items.size();
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
    scratch = {};

    // pairs[j] names the record that belongs at j; a finished slot is marked with j itself.
    for (std::size_t i = 0; i < n; ++i) {
        if ((pairs[i] & 0xFFFFFFFFu) == i) continue;
        const TRecLog held = items[i];
        std::size_t j = i;
        for (;;) {
            const std::size_t from = pairs[j] & 0xFFFFFFFFu;
            pairs[j] = j;
            if (from == i) {
                items[j] = held;
                break;
            }
            items[j] = items[from];
            j = from;
        }
    }
}

template <class KeyOf>
void SortRecords(std::vector<TRecLog>& items, int flag, KeyOf keyOf) {
    const std::size_t n = items.size();
    if (n < 2) return;
    const std::uint32_t flip = flag == 1 ? 0u : 0xFFFFFFFFu;
    std::vector<std::uint64_t> pairs(n);
    for (std::size_t i = 0; i < n; ++i)
        pairs[i] = (static_cast<std::uint64_t>(keyOf(items[i]) ^ flip) << 32) | static_cast<std::uint64_t>(i);
    SortByKeys(items, pairs);
}

}  // namespace

std::size_t TLstRecLog::Add(const TRecLog& rec) {
    Items.push_back(rec);
    return Items.size() - 1;
}

void TLstRecLog::Clear() {
    Items.clear();
    Items.shrink_to_fit();
}

void TLstRecLog::SortByBrowser(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.BrowserIdx); });
}
void TLstRecLog::SortByDay(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return UnsignedKey(r.Day); });
}
void TLstRecLog::SortByWeekday(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return UnsignedKey(r.DayOfWeek); });
}
void TLstRecLog::SortByKind(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return UnsignedKey(r.Kind); });
}
void TLstRecLog::SortByHour(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return UnsignedKey(r.Hour); });
}
void TLstRecLog::SortByOS(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.OSIdx); });
}
void TLstRecLog::SortByReferrer(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.ReferrerIdx); });
}
void TLstRecLog::SortByPath(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.PathIdx); });
}
void TLstRecLog::SortByExtension(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.ExtIdx); });
}
void TLstRecLog::SortByMonth(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.MonthStart); });
}
void TLstRecLog::SortByURI(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.URIIdx); });
}
void TLstRecLog::SortByHost(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.HostIdx); });
}
void TLstRecLog::SortBySpider(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.SpiderIdx); });
}
void TLstRecLog::SortByStatus(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.Status); });
}
void TLstRecLog::SortByUser(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.UserIdx); });
}
void TLstRecLog::SortByVisit(int flag) {
    SortRecords(Items, flag, [](const TRecLog& r) { return SignedKey(r.VisitId); });
}

void TLstRecLog::SortByTime(int flag) {
    if (Items.size() < 2) return;
    const auto [lo, hi] = std::minmax_element(Items.begin(), Items.end(),
                                              [](const TRecLog& a, const TRecLog& b) { return a.Time < b.Time; });
    const TSeconds base = lo->Time;
    // Any real log spans far less than the 136 years a 32-bit offset holds.
    if (static_cast<std::uint64_t>(hi->Time - base) <= std::numeric_limits<std::uint32_t>::max()) {
        SortRecords(Items, flag, [base](const TRecLog& r) { return static_cast<std::uint32_t>(r.Time - base); });
        return;
    }
    if (flag == 1)
        std::sort(Items.begin(), Items.end(), [](const TRecLog& a, const TRecLog& b) { return a.Time < b.Time; });
    else
        std::sort(Items.begin(), Items.end(), [](const TRecLog& a, const TRecLog& b) { return a.Time > b.Time; });
}

}  // namespace brindle

#include "engine/DayCounts_u.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <utility>

namespace brindle {

namespace {

std::int32_t ClampLength(std::size_t length) {
    return static_cast<std::int32_t>(std::min<std::size_t>(length, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

TDayCounts::TDayCounts(std::initializer_list<std::int32_t> dense) {
    length_ = ClampLength(dense.size());
    std::size_t day = 0;
    for (const std::int32_t count : dense) Add(day++, count);
}

TDayCounts::TDayCounts(const std::vector<std::int32_t>& dense) {
    length_ = ClampLength(dense.size());
    for (std::size_t day = 0; day < dense.size(); ++day) Add(day, dense[day]);
}

// Rows are held by the million: the counts take no more room than two counters and an
// address.
static_assert(sizeof(TDayCounts) == 16);

TDayCounts::TDayCounts(const TDayCounts& other) : length_(other.length_) { Assign(other.Entries()); }

TDayCounts::TDayCounts(TDayCounts&& other) noexcept { Steal(other); }

void TDayCounts::Steal(TDayCounts& other) noexcept {
    count_ = other.count_;
    length_ = other.length_;
    if (Inline())
        one_ = other.one_;
    else
        heap_ = other.heap_;
    other.count_ = 0;
    other.length_ = 0;
    other.one_ = {};
}

TDayCounts& TDayCounts::operator=(const TDayCounts& other) {
    if (this != &other) {
        length_ = other.length_;
        Assign(other.Entries());
    }
    return *this;
}

TDayCounts& TDayCounts::operator=(TDayCounts&& other) noexcept {
    if (this != &other) {
        KeepInline(0, {});
        Steal(other);
    }
    return *this;
}

TDayCounts::~TDayCounts() { KeepInline(0, {}); }

std::size_t TDayCounts::Capacity(std::size_t count) { return count <= 1 ? 1 : std::bit_ceil(count); }

void TDayCounts::TakeBlock(std::unique_ptr<TEntry[]> block, std::size_t count) {
    if (!Inline()) std::unique_ptr<TEntry[]>{heap_}.reset();
    heap_ = block.release();
    count_ = static_cast<std::uint32_t>(count);
}

void TDayCounts::KeepInline(std::size_t count, TEntry entry) {
    if (!Inline()) std::unique_ptr<TEntry[]>{heap_}.reset();
    one_ = entry;
    count_ = static_cast<std::uint32_t>(count);
}

void TDayCounts::Assign(std::span<const TEntry> entries) {
    if (entries.size() <= 1) {
        // Read before the block the entry may lie in is freed.
        KeepInline(entries.size(), entries.empty() ? TEntry{} : entries[0]);
    } else {
        std::unique_ptr<TEntry[]> block = std::make_unique<TEntry[]>(Capacity(entries.size()));
        std::copy(entries.begin(), entries.end(), block.get());
        TakeBlock(std::move(block), entries.size());
    }
}

void TDayCounts::Reset(std::size_t length) {
    KeepInline(0, {});
    length_ = ClampLength(length);
}

void TDayCounts::resize(std::size_t length) {
    length_ = ClampLength(length);
    const std::size_t kept = LowerBound(Length());
    if (kept < count_) Assign(std::vector<TEntry>(Data(), Data() + kept));
}

std::size_t TDayCounts::LowerBound(std::size_t day) const {
    const std::span<const TEntry> entries = Entries();
    // Counts mostly arrive in day order: look at the last day first.
    if (entries.empty() || static_cast<std::size_t>(entries.back().Day) < day) return entries.size();
    return static_cast<std::size_t>(
        std::lower_bound(entries.begin(), entries.end(), day,
                         [](const TEntry& e, std::size_t d) { return static_cast<std::size_t>(e.Day) < d; }) -
        entries.begin());
}

void TDayCounts::InsertAt(std::size_t pos, TEntry entry) {
    const std::size_t count = count_;
    if (count == 0) {
        KeepInline(1, entry);
    } else if (count == 1 || Capacity(count) == count) {
        std::unique_ptr<TEntry[]> block = std::make_unique<TEntry[]>(Capacity(count + 1));
        const TEntry* old = Data();
        std::copy(old, old + pos, block.get());
        block[pos] = entry;
        std::copy(old + pos, old + count, block.get() + pos + 1);
        TakeBlock(std::move(block), count + 1);
    } else {
        TEntry* data = heap_;
        std::copy_backward(data + pos, data + count, data + count + 1);
        data[pos] = entry;
        ++count_;
    }
}

void TDayCounts::EraseAt(std::size_t pos) {
    TEntry* data = Data();
    std::copy(data + pos + 1, data + count_, data + pos);
    if (count_ == 2)
        KeepInline(1, data[0]);
    else
        --count_;
}

void TDayCounts::Add(std::size_t day, std::int32_t delta) {
    if (day >= Length() || delta == 0) return;
    const std::size_t pos = LowerBound(day);
    if (pos < count_ && static_cast<std::size_t>(Data()[pos].Day) == day) {
        TEntry& entry = Data()[pos];
        // Wraps like the dense array's element would.
        entry.Count =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(entry.Count) + static_cast<std::uint32_t>(delta));
        if (entry.Count == 0) EraseAt(pos);
        return;
    }
    InsertAt(pos, {static_cast<std::int32_t>(day), delta});
}

void TDayCounts::Set(std::size_t day, std::int32_t count) {
    if (day >= Length()) return;
    const std::size_t pos = LowerBound(day);
    const bool present = pos < count_ && static_cast<std::size_t>(Data()[pos].Day) == day;
    if (present) {
        if (count == 0)
            EraseAt(pos);
        else
            Data()[pos].Count = count;
    } else if (count != 0) {
        InsertAt(pos, {static_cast<std::int32_t>(day), count});
    }
}

std::int32_t TDayCounts::At(std::size_t day) const {
    const std::size_t pos = LowerBound(day);
    return pos < count_ && static_cast<std::size_t>(Data()[pos].Day) == day ? Data()[pos].Count : 0;
}

void TDayCounts::AddAll(const TDayCounts& other) {
    if (&other == this) {
        // Adding a store to itself must read a copy.
        const TDayCounts copy = other;  // NOLINT(performance-unnecessary-copy-initialization)
        AddEntries(copy.Entries(), copy.Length());
        return;
    }
    AddEntries(other.Entries(), other.Length());
}

TDayCounts TDayCounts::FromEntries(std::size_t length, std::span<const TEntry> entries) {
    TDayCounts counts;
    counts.length_ = ClampLength(length);
    counts.Assign(entries);
    return counts;
}

void TDayCounts::AddEntries(std::span<const TEntry> all, std::size_t otherLength) {
    const std::size_t days = std::min(Length(), otherLength);
    const std::size_t used = static_cast<std::size_t>(
        std::lower_bound(all.begin(), all.end(), days,
                         [](const TEntry& e, std::size_t d) { return static_cast<std::size_t>(e.Day) < d; }) -
        all.begin());
    if (used == 0) return;
    const std::span<const TEntry> theirs = all.first(used);
    if (count_ == 0) {
        Assign(theirs);
        return;
    }
    // A few days into a long row: each found by search.
    if (used * 16 <= count_) {
        for (const TEntry& entry : theirs) Add(static_cast<std::size_t>(entry.Day), entry.Count);
        return;
    }
    // Regrouping adds many rows into one: merged in place from the back, with at most one
    // new block when days are missing, instead of a new row per source.
    const std::size_t mine = count_;
    std::size_t missing = 0;
    for (std::size_t i = 0, j = 0; j < used;) {
        if (i == mine || theirs[j].Day < Data()[i].Day) {
            ++missing;
            ++j;
        } else if (Data()[i].Day < theirs[j].Day) {
            ++i;
        } else {
            ++i;
            ++j;
        }
    }
    const std::size_t total = mine + missing;
    if (missing != 0 && (mine == 1 || Capacity(mine) < total)) {
        std::unique_ptr<TEntry[]> block = std::make_unique<TEntry[]>(Capacity(total));
        std::copy(Data(), Data() + mine, block.get());
        TakeBlock(std::move(block), total);
    }
    count_ = static_cast<std::uint32_t>(total);
    TEntry* data = Data();
    bool zero = false;
    std::size_t i = mine, j = used, k = total;
    while (j > 0) {
        if (i > 0 && data[i - 1].Day > theirs[j - 1].Day) {
            data[--k] = data[--i];
        } else if (i > 0 && data[i - 1].Day == theirs[j - 1].Day) {
            TEntry entry = data[--i];
            entry.Count = static_cast<std::int32_t>(static_cast<std::uint32_t>(entry.Count) +
                                                    static_cast<std::uint32_t>(theirs[--j].Count));
            zero = zero || entry.Count == 0;
            data[--k] = entry;
        } else {
            data[--k] = theirs[--j];
        }
    }
    if (!zero) return;
    const std::size_t kept = static_cast<std::size_t>(
        std::remove_if(data, data + total, [](const TEntry& e) { return e.Count == 0; }) - data);
    if (kept <= 1)
        KeepInline(kept, kept == 1 ? data[0] : TEntry{});
    else
        count_ = static_cast<std::uint32_t>(kept);
}

std::vector<std::int32_t> TDayCounts::Dense() const {
    std::vector<std::int32_t> dense(Length(), 0);
    for (const TEntry& entry : Entries()) dense[static_cast<std::size_t>(entry.Day)] = entry.Count;
    return dense;
}

TDayCounts::const_iterator& TDayCounts::const_iterator::operator++() {
    const std::span<const TEntry> entries = owner_->Entries();
    if (entry_ < entries.size() && static_cast<std::size_t>(entries[entry_].Day) == day_) ++entry_;
    ++day_;
    return *this;
}

bool operator==(const TDayCounts& a, const TDayCounts& b) {
    const std::span<const TDayCounts::TEntry> x = a.Entries(), y = b.Entries();
    return a.length_ == b.length_ && std::equal(x.begin(), x.end(), y.begin(), y.end());
}

bool operator==(const TDayCounts& a, const std::vector<std::int32_t>& dense) {
    return a.Length() == dense.size() && std::equal(dense.begin(), dense.end(), a.begin());
}

}  // namespace brindle

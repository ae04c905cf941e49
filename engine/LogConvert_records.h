#pragma once
// The accepted hits of an analysis: one compact record per hit, texts held as
// indices into the engine's interned string tables.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "engine/LogConvert_record.h"
#include "engine/LogConvert_store.h"
#include "engine/LogConvert_uriparts.h"

namespace brindle {

// The field a record order is sorted by.
enum class TRecKey : std::uint8_t {
    Browser,
    Day,
    Weekday,
    Kind,
    Hour,
    OS,
    Referrer,
    Time,
    Path,
    Extension,
    Month,
    URI,
    Host,
    Spider,
    Status,
    User,
    Visit
};

// An order of a record vector: position -> index in the vector. Sorts take a flag: 1
// ascending, anything else descending; records with equal keys come in the order they
// are stored, whatever order came before, so any two orders sorted by the same key agree.
// Only a small count table is kept from one sort to the next: the per-record buffers are
// freed after each sort, since every walker of the statistics pass holds an order and
// buffers kept idle there would cost bytes per hit for each of them.
class TRecOrder {
public:
    // The storage order of Count records.
    void Reset(std::size_t count);
    void Append(std::uint32_t index);
    // Appends First, First + 1, ... First + Count - 1.
    void AppendRun(std::uint32_t first, std::size_t count);
    void Reserve(std::size_t count);
    void Clear();
    std::size_t Count() const { return Stored ? StoredCount : Positions.size(); }
    std::uint32_t operator[](std::size_t pos) const {
        return Stored ? static_cast<std::uint32_t>(pos) : Positions[pos];
    }

    void Sort(const TRecStore& items, const TURIParts& parts, TRecKey key, int flag);

private:
    void SortUnreleased(const TRecStore& items, const TURIParts& parts, TRecKey key, int flag);
    template <class KeyOf>
    void SortByKey(const TRecStore& items, int flag, KeyOf keyOf);

    // Scratch space that a copy does not take along. The per-record lists are mapped arrays:
    // a sort of a large log maps them fresh, in huge pages, instead of faulting in 4 KiB pages
    // the allocator gave back after the last sort.
    struct TBuffers {
        std::vector<std::uint32_t> Counts;
        TMappedArray<std::uint64_t> Pairs;
        TMappedArray<std::uint64_t> Scratch;
        TBuffers() = default;
        TBuffers(const TBuffers&) {}
        TBuffers& operator=(const TBuffers&) { return *this; }
        TBuffers(TBuffers&&) noexcept = default;
        TBuffers& operator=(TBuffers&&) noexcept = default;
    };

    // Fills Positions with the storage order.
    void Materialize(std::size_t count);

    // The storage order needs no list: most orders are that one (hits are logged in time
    // order, and every walker starts from it), and a list costs 4 bytes per hit.
    bool Stored = true;
    std::size_t StoredCount = 0;
    TMappedArray<std::uint32_t> Positions;  // while not Stored
    TBuffers Work;
};

class TRecView;

// The hit list. Records stay where they were added; the list's order is a separate
// list of positions, so a sort moves 4-byte references instead of whole records (no
// copy of the records and no cache misses chasing them). Sorts take a flag: 1
// ascending, anything else descending; equal keys keep the order they were added in.
class TLstRecLog {
public:
    template <class List, class Rec>
    class TIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TRecLog;
        using difference_type = std::ptrdiff_t;
        using pointer = Rec*;
        using reference = Rec&;
        TIterator() = default;
        TIterator(List* list, std::size_t pos) : Owner(list), Pos(pos) {}
        Rec& operator*() const { return Owner->Get(Pos); }
        Rec* operator->() const { return &Owner->Get(Pos); }
        TIterator& operator++() {
            ++Pos;
            return *this;
        }
        TIterator operator++(int) {
            TIterator before = *this;
            ++Pos;
            return before;
        }
        bool operator==(const TIterator& other) const { return Pos == other.Pos; }

    private:
        List* Owner = nullptr;
        std::size_t Pos = 0;
    };
    using iterator = TIterator<TLstRecLog, TRecLog>;
    using const_iterator = TIterator<const TLstRecLog, const TRecLog>;

    // Appends a copy; returns its position.
    std::size_t Add(const TRecLog& rec);
    // Appends copies of the records of Other in the order they were added there; returns
    // the position of the first.
    std::size_t AppendStored(const TLstRecLog& other);
    void Clear();
    void Reserve(std::size_t count);
    // Room for Count more records, written by their producers straight into FreeSlots()
    // and taken in with TakeWritten. Throws std::bad_alloc.
    void ReserveSlots(std::size_t count);
    // Room for at most Count more as address space only, for producers that learn how many
    // they write as they go. Throws std::bad_alloc.
    void ReserveSlotBound(std::size_t count);
    // Gives back the room beyond the records held.
    void ReleaseSpareSlots();
    TRecLog* FreeSlots() { return Items.FreeSlots(); }
    // Takes in Count records written contiguously into the free slots, after the others.
    void TakeWritten(std::size_t count);

    std::size_t Count() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    // The record at a position of the current order, by reference so callers can update it.
    TRecLog& Get(std::size_t pos) { return Items[Order[pos]]; }
    const TRecLog& Get(std::size_t pos) const { return Items[Order[pos]]; }
    TRecLog& operator[](std::size_t pos) { return Get(pos); }
    const TRecLog& operator[](std::size_t pos) const { return Get(pos); }
    // The record at Index in the order records were added, whatever the current order.
    TRecLog& Stored(std::size_t index) { return Items[index]; }
    const TRecLog& Stored(std::size_t index) const { return Items[index]; }
    // Where the record at a position of the current order is stored (see Stored); the
    // hit's sequence number is this plus one.
    std::uint32_t IndexAt(std::size_t pos) const { return Order[pos]; }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, Items.size()}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, Items.size()}; }

    void SortBy(TRecKey key, int flag) { Order.Sort(Items, Parts, key, flag); }

    // The extension and folder of each hit's URL.
    TURIParts& URIParts() { return Parts; }
    const TURIParts& URIParts() const { return Parts; }
    std::int32_t ExtIdx(const TRecLog& rec) const { return Parts.ExtOf(rec); }
    std::int32_t PathIdx(const TRecLog& rec) const { return Parts.PathOf(rec); }
    void SortByBrowser(int flag) { SortBy(TRecKey::Browser, flag); }
    void SortByDay(int flag) { SortBy(TRecKey::Day, flag); }
    void SortByWeekday(int flag) { SortBy(TRecKey::Weekday, flag); }
    void SortByKind(int flag) { SortBy(TRecKey::Kind, flag); }
    void SortByHour(int flag) { SortBy(TRecKey::Hour, flag); }
    void SortByOS(int flag) { SortBy(TRecKey::OS, flag); }
    void SortByReferrer(int flag) { SortBy(TRecKey::Referrer, flag); }
    void SortByTime(int flag) { SortBy(TRecKey::Time, flag); }
    void SortByPath(int flag) { SortBy(TRecKey::Path, flag); }
    void SortByExtension(int flag) { SortBy(TRecKey::Extension, flag); }
    void SortByMonth(int flag) { SortBy(TRecKey::Month, flag); }
    void SortByURI(int flag) { SortBy(TRecKey::URI, flag); }
    void SortByHost(int flag) { SortBy(TRecKey::Host, flag); }
    void SortBySpider(int flag) { SortBy(TRecKey::Spider, flag); }
    void SortByStatus(int flag) { SortBy(TRecKey::Status, flag); }
    void SortByUser(int flag) { SortBy(TRecKey::User, flag); }
    void SortByVisit(int flag) { SortBy(TRecKey::Visit, flag); }

private:
    friend class TRecView;
    TRecStore Items;  // in the order they were added
    TRecOrder Order;
    TURIParts Parts;
};

// A list's records read-only in an order of the view's own, starting in storage order:
// several readers can walk the same records in different orders at once. Valid while the
// list gets no records added and is not cleared.
class TRecView {
public:
    explicit TRecView(const TLstRecLog& list) : Items(&list.Items), Parts(&list.Parts) { Order.Reset(Items->size()); }

    std::size_t Count() const { return Order.Count(); }
    bool Empty() const { return Order.Count() == 0; }
    const TRecLog& Get(std::size_t pos) const { return (*Items)[Order[pos]]; }
    // Where the record at a position of the view is stored in the list (see Stored).
    std::uint32_t IndexAt(std::size_t pos) const { return Order[pos]; }
    // The record at Index in the order records were added, whatever the view's order.
    const TRecLog& Stored(std::size_t index) const { return (*Items)[index]; }
    void SortBy(TRecKey key, int flag) { Order.Sort(*Items, *Parts, key, flag); }

private:
    const TRecStore* Items;
    const TURIParts* Parts;
    TRecOrder Order;
};

}  // namespace brindle

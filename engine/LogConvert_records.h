#pragma once
// The accepted hits of an analysis: one compact record per hit, texts held as
// indices into the engine's interned string tables.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "engine/LogConvert_time.h"

namespace brindle {

// Stored once per hit, so every field is as narrow as its values allow: date parts
// in bytes (the THitTime base: Time, DayNo, MonthStart as a day number, Year .. Second,
// DayOfWeek), the six flags in bits, `VisitDuration` in whole seconds.
struct TRecLog : THitTime {
    std::int64_t Bytes = 0;      // bytes sent, 0 when not a number
    std::int32_t Seq = 0;        // 1 for the first hit of the analysis
    std::int32_t VisitId = -1;   // set by the visit pass
    std::int32_t HostIdx = 0;
    std::int32_t IP = -1;        // set by the address pass
    std::int32_t UserIdx = 0;
    std::int32_t VisitDuration = 0;
    std::int32_t VDomainIdx = 0;
    std::int32_t MethodIdx = 0;
    std::int32_t URIIdx = 0;
    std::int32_t ExtIdx = 0;
    std::int32_t PathIdx = 0;
    std::int32_t Status = 0;
    std::int32_t ReferrerIdx = 0;
    std::int32_t AgentIdx = 0;
    std::int32_t BrowserIdx = 0;
    std::int32_t OSIdx = 0;
    std::int32_t SpiderIdx = 0;
    std::uint8_t Kind = 0;       // file kind 0..5
    std::uint8_t IsPage : 1 = 0;
    std::uint8_t NotModified : 1 = 0;
    std::uint8_t Partial : 1 = 0;
    std::uint8_t IsError : 1 = 0;
    std::uint8_t IsEntry : 1 = 0;
    std::uint8_t IsExit : 1 = 0;
};
static_assert(sizeof(TRecLog) <= 104, "TRecLog grew: it is stored once per hit");

// The hit list. Records stay where they were added; the list's order is a separate
// list of positions, so a sort moves 4-byte references instead of whole records (no
// copy of the records and no cache misses chasing them). Sorts take a flag: 1
// ascending, anything else descending; equal keys end in no promised order.
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
    void Clear();
    void Reserve(std::size_t count);

    std::size_t Count() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    // The record at a position of the current order, by reference so callers can update it.
    TRecLog& Get(std::size_t pos) { return Items[Order[pos]]; }
    const TRecLog& Get(std::size_t pos) const { return Items[Order[pos]]; }
    TRecLog& operator[](std::size_t pos) { return Get(pos); }
    const TRecLog& operator[](std::size_t pos) const { return Get(pos); }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, Items.size()}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, Items.size()}; }

    void SortByBrowser(int flag);
    void SortByDay(int flag);
    void SortByWeekday(int flag);
    void SortByKind(int flag);
    void SortByHour(int flag);
    void SortByOS(int flag);
    void SortByReferrer(int flag);
    void SortByTime(int flag);
    void SortByPath(int flag);
    void SortByExtension(int flag);
    void SortByMonth(int flag);
    void SortByURI(int flag);
    void SortByHost(int flag);
    void SortBySpider(int flag);
    void SortByStatus(int flag);
    void SortByUser(int flag);
    void SortByVisit(int flag);

private:
    template <class KeyOf>
    void SortByKey(int flag, KeyOf keyOf);

    std::vector<TRecLog> Items;        // in the order they were added
    std::vector<std::uint32_t> Order;  // position -> index in Items
};

}  // namespace brindle

#pragma once
// The per-day counts of a statistics row. Element i counts day FirstDay + i; a row has
// DaySpan elements or none. Only the days with a count are held, in day order, so memory
// follows the hits and not rows times days; the dense form exists only while a document
// is written or read.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

namespace brindle {

class TDayCounts {
public:
    struct TEntry {
        std::int32_t Day = 0;
        std::int32_t Count = 0;
        friend bool operator==(const TEntry&, const TEntry&) = default;
    };

    TDayCounts() = default;
    // From the dense form; zero elements take no room.
    TDayCounts(std::initializer_list<std::int32_t> dense);
    TDayCounts(const std::vector<std::int32_t>& dense);
    TDayCounts(const TDayCounts& other);
    TDayCounts(TDayCounts&& other) noexcept;
    TDayCounts& operator=(const TDayCounts& other);
    TDayCounts& operator=(TDayCounts&& other) noexcept;
    ~TDayCounts();

    // Length of the dense form: the day span, or 0 for a row without daily counts.
    std::size_t Length() const { return static_cast<std::size_t>(length_); }
    // Length days, all 0.
    void Reset(std::size_t length);
    // Adds Delta at Day; a day outside 0..Length-1 is ignored.
    void Add(std::size_t day, std::int32_t delta = 1);
    // Sets the count of Day; a day outside the length is ignored.
    void Set(std::size_t day, std::int32_t count);
    std::int32_t At(std::size_t day) const;
    // Adds Other's counts day by day over the days both have.
    void AddAll(const TDayCounts& other);
    // The same for counts held elsewhere: Entries in day order, none 0, of a row OtherLength
    // days long, not lying in this row's own storage.
    void AddEntries(std::span<const TEntry> entries, std::size_t otherLength);
    // Length days with the counts of Entries (in day order, none 0).
    static TDayCounts FromEntries(std::size_t length, std::span<const TEntry> entries);
    // The days that have a count, in day order; none has count 0.
    std::span<const TEntry> Entries() const { return {Data(), count_}; }

    std::vector<std::int32_t> Dense() const;
    operator std::vector<std::int32_t>() const { return Dense(); }

    // The dense array's interface, for code that thinks of the counts as one.
    std::size_t size() const { return Length(); }
    bool empty() const { return length_ == 0; }
    void clear() { Reset(0); }
    void resize(std::size_t length);
    std::int32_t operator[](std::size_t day) const { return At(day); }

    // Dense reading, element by element.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::int32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::int32_t;
        const_iterator() = default;
        const_iterator(const TDayCounts* owner, std::size_t day, std::size_t entry)
            : owner_(owner), day_(day), entry_(entry) {}
        std::int32_t operator*() const {
            const std::span<const TEntry> entries = owner_->Entries();
            return entry_ < entries.size() && static_cast<std::size_t>(entries[entry_].Day) == day_
                       ? entries[entry_].Count
                       : 0;
        }
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.day_ == b.day_; }

    private:
        const TDayCounts* owner_ = nullptr;
        std::size_t day_ = 0;
        std::size_t entry_ = 0;
    };

    // Dense writing, element by element: each element reads and writes through to its day.
    class Element {
    public:
        Element(TDayCounts* owner, std::size_t day) : owner_(owner), day_(day) {}
        Element& operator=(std::int32_t count) {
            owner_->Set(day_, count);
            return *this;
        }
        operator std::int32_t() const { return owner_->At(day_); }
        std::size_t Day() const { return day_; }
        void Next() { ++day_; }

    private:
        TDayCounts* owner_;
        std::size_t day_;
    };
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::int32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Element&;
        iterator(TDayCounts* owner, std::size_t day) : element_(owner, day) {}
        Element& operator*() { return element_; }
        iterator& operator++() {
            element_.Next();
            return *this;
        }
        friend bool operator==(const iterator& a, const iterator& b) { return a.element_.Day() == b.element_.Day(); }

    private:
        Element element_;
    };

    const_iterator begin() const { return {this, 0, 0}; }
    const_iterator end() const { return {this, Length(), count_}; }
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, Length()}; }

    friend bool operator==(const TDayCounts& a, const TDayCounts& b);
    friend bool operator==(const TDayCounts& a, const std::vector<std::int32_t>& dense);

private:
    // One entry lives inline, in the room of the heap block's address: most rows of a large
    // log have a single day, and a heap block per row would cost more than the row.
    bool Inline() const { return count_ <= 1; }
    TEntry* Data() { return Inline() ? &one_ : heap_; }
    const TEntry* Data() const { return Inline() ? &one_ : heap_; }
    // Room the heap block has at least; it grows by doubling.
    static std::size_t Capacity(std::size_t count);
    // Takes the block over, freeing the one held before; Count is the entries it holds.
    void TakeBlock(std::unique_ptr<TEntry[]> block, std::size_t count);
    // Frees the heap block, if there is one, and keeps Entry (or none) inline.
    void KeepInline(std::size_t count, TEntry entry);
    // Takes Other's counts and leaves it empty; this one must hold no heap block.
    void Steal(TDayCounts& other) noexcept;
    void Assign(std::span<const TEntry> entries);
    void InsertAt(std::size_t pos, TEntry entry);
    void EraseAt(std::size_t pos);
    // First entry whose day is not below Day.
    std::size_t LowerBound(std::size_t day) const;

    union {
        TEntry one_{};
        TEntry* heap_;  // owned; count_ entries, room for at least Capacity(count_)
    };
    std::uint32_t count_ = 0;
    std::int32_t length_ = 0;
};

}  // namespace brindle

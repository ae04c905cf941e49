#pragma once
// The storage of the hit records: one array that grows in place. Large arrays live in
// their own anonymous mapping, asking for huge pages (a fresh 4 KiB page costs a fault on
// first touch, which on virtual machines costs more than filling it) and growing with
// mremap, which moves page tables rather than bytes. Slots beyond the size can be written
// first and taken in afterwards, so several threads can fill ranges of their own.
#include <cstddef>
#include <type_traits>

#include "engine/LogConvert_record.h"

namespace brindle {

static_assert(std::is_trivially_copyable_v<TRecLog>, "records are moved as bytes");

class TRecStore {
public:
    TRecStore() = default;
    ~TRecStore();
    TRecStore(const TRecStore& other);
    TRecStore& operator=(const TRecStore& other);
    TRecStore(TRecStore&& other) noexcept;
    TRecStore& operator=(TRecStore&& other) noexcept;

    std::size_t size() const { return Size; }
    bool empty() const { return Size == 0; }
    std::size_t capacity() const { return Capacity; }
    TRecLog& operator[](std::size_t i) { return Data[i]; }
    const TRecLog& operator[](std::size_t i) const { return Data[i]; }
    TRecLog* begin() { return Data; }
    TRecLog* end() { return Data + Size; }
    const TRecLog* begin() const { return Data; }
    const TRecLog* end() const { return Data + Size; }

    // Room for Count records in all; the records held stay. Throws std::bad_alloc.
    void reserve(std::size_t count);
    void push_back(const TRecLog& rec);
    // The slots from size() to capacity(), to be written before they are taken in.
    TRecLog* FreeSlots() { return Data + Size; }
    // Takes in the Count records written into the free slots, which must be contiguous.
    void TakeWritten(std::size_t count) { Size += count; }
    // Frees the storage.
    void clear();

private:
    void Reallocate(std::size_t count);
    TRecLog* Data = nullptr;
    std::size_t Size = 0;
    std::size_t Capacity = 0;
    std::size_t MappedBytes = 0;  // 0: the array came from the heap
};

}  // namespace brindle

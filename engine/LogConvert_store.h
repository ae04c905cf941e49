#pragma once
// The storage of the hit records: one array that grows in place. Large arrays live in
// their own anonymous mapping, asking for huge pages (a fresh 4 KiB page costs a fault on
// first touch, which on virtual machines costs more than filling it) and growing with
// mremap, which moves page tables rather than bytes. Slots beyond the size can be written
// first and taken in afterwards, so several threads can fill ranges of their own.
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

#include "engine/LogConvert_record.h"

namespace brindle {

// A growable array of trivially copyable values kept as described above: the record array,
// and the large per-hit and per-text index lists that come and go with each sort and parse.
template <class T>
class TMappedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>, "moved as bytes");

public:
    TMappedArray() = default;
    ~TMappedArray();
    TMappedArray(const TMappedArray& other);
    TMappedArray& operator=(const TMappedArray& other);
    TMappedArray(TMappedArray&& other) noexcept;
    TMappedArray& operator=(TMappedArray&& other) noexcept;

    std::size_t size() const { return Size; }
    bool empty() const { return Size == 0; }
    std::size_t capacity() const { return Capacity; }
    T& operator[](std::size_t i) { return Data[i]; }
    const T& operator[](std::size_t i) const { return Data[i]; }
    T* begin() { return Data; }
    T* end() { return Data + Size; }
    const T* begin() const { return Data; }
    const T* end() const { return Data + Size; }

    // Room for Count values in all; the values held stay. Throws std::bad_alloc.
    void reserve(std::size_t count);
    // The same as address space only, charged to no one until written: room for a bound
    // far above what will be used. Throws std::bad_alloc where the system keeps strict
    // account of memory and the bound is beyond it.
    void reserve_address_space(std::size_t count);
    // Gives back the room beyond the size.
    void shrink_to_fit();
    void push_back(const T& value);
    // Count values; new ones are Value.
    void resize(std::size_t count, const T& value);
    // Count values; new ones are left unwritten, for the caller to fill.
    void resize_for_overwrite(std::size_t count);
    // The slots from size() to capacity(), to be written before they are taken in.
    T* FreeSlots() { return Data + Size; }
    // Takes in the Count values written into the free slots, which must be contiguous.
    void TakeWritten(std::size_t count) { Size += count; }
    // Frees the storage.
    void clear();

private:
    void Reallocate(std::size_t count, bool unaccounted = false);
    T* Data = nullptr;
    std::size_t Size = 0;
    std::size_t Capacity = 0;
    std::size_t MappedBytes = 0;  // 0: the array came from the heap
};

using TRecStore = TMappedArray<TRecLog>;

// Scratch bytes for one pass, left as they come: a large block is a mapping of its own with
// huge pages asked for, as the record array is, a small one a heap block. Throws std::bad_alloc.
class TScratchBlock {
public:
    explicit TScratchBlock(std::size_t bytes);
    ~TScratchBlock();
    TScratchBlock(const TScratchBlock&) = delete;
    TScratchBlock& operator=(const TScratchBlock&) = delete;
    TScratchBlock(TScratchBlock&& other) noexcept
        : Data(std::exchange(other.Data, nullptr)), MappedBytes(std::exchange(other.MappedBytes, 0)) {}
    TScratchBlock& operator=(TScratchBlock&&) = delete;

    void* data() const { return Data; }

private:
    void* Data = nullptr;
    std::size_t MappedBytes = 0;  // 0: the block came from the heap
};

// Count values in a scratch block, not initialized.
template <class T>
class TScratchArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    explicit TScratchArray(std::size_t count) : Block(Bytes(count)), Count(count) {}
    std::size_t size() const { return Count; }
    T* begin() const { return static_cast<T*>(Block.data()); }
    T* end() const { return begin() + Count; }
    T& operator[](std::size_t i) const { return begin()[i]; }

private:
    static std::size_t Bytes(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return count * sizeof(T);
    }
    TScratchBlock Block;
    std::size_t Count;
};

}  // namespace brindle

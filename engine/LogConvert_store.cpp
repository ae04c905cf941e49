#include "engine/LogConvert_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace brindle {

namespace {

// Below this an array is an ordinary heap block.
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

void* Map(std::size_t bytes, bool unaccounted = false) {
    void* at = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | (unaccounted ? MAP_NORESERVE : 0), -1, 0);
    if (at == MAP_FAILED) throw std::bad_alloc();
    // Only a hint: without transparent huge pages the array simply has small ones.
    madvise(at, bytes, MADV_HUGEPAGE);
    return at;
}

}  // namespace

TScratchBlock::TScratchBlock(std::size_t bytes) {
    if (bytes >= kMappedFrom) {
        MappedBytes = MappedSize(bytes);
        Data = Map(MappedBytes);
        return;
    }
    Data = std::malloc(bytes > 0 ? bytes : 1);
    if (Data == nullptr) throw std::bad_alloc();
}

TScratchBlock::~TScratchBlock() {
    if (MappedBytes > 0)
        munmap(Data, MappedBytes);
    else
        std::free(Data);
}

template <class T>
TMappedArray<T>::~TMappedArray() {
    clear();
}

template <class T>
TMappedArray<T>::TMappedArray(const TMappedArray& other) {
    *this = other;
}

template <class T>
TMappedArray<T>& TMappedArray<T>::operator=(const TMappedArray& other) {
    if (this == &other) return *this;
    clear();
    if (other.Size == 0) return *this;
    Reallocate(other.Size);
    std::memcpy(static_cast<void*>(Data), other.Data, other.Size * sizeof(T));
    Size = other.Size;
    return *this;
}

template <class T>
TMappedArray<T>::TMappedArray(TMappedArray&& other) noexcept {
    *this = std::move(other);
}

template <class T>
TMappedArray<T>& TMappedArray<T>::operator=(TMappedArray&& other) noexcept {
    if (this == &other) return *this;
    clear();
    Data = std::exchange(other.Data, nullptr);
    Size = std::exchange(other.Size, 0);
    Capacity = std::exchange(other.Capacity, 0);
    MappedBytes = std::exchange(other.MappedBytes, 0);
    return *this;
}

template <class T>
void TMappedArray<T>::reserve(std::size_t count) {
    if (count > Capacity) Reallocate(count);
}

template <class T>
void TMappedArray<T>::reserve_address_space(std::size_t count) {
    if (count > Capacity) Reallocate(count, true);
}

template <class T>
void TMappedArray<T>::shrink_to_fit() {
    if (MappedBytes == 0) return;
    const std::size_t kept = MappedSize(std::max<std::size_t>(Size, 1) * sizeof(T));
    if (kept >= MappedBytes) return;
    // Shrinking in place needs no memory; should it fail anyway, the room simply stays.
    if (mremap(Data, MappedBytes, kept, 0) == MAP_FAILED) return;
    MappedBytes = kept;
    Capacity = kept / sizeof(T);
}

template <class T>
void TMappedArray<T>::push_back(const T& value) {
    if (Size == Capacity) Reallocate(Capacity < 16 ? 16 : Capacity * 2);
    Data[Size++] = value;
}

template <class T>
void TMappedArray<T>::resize_for_overwrite(std::size_t count) {
    // Grows by doubling at least, so that resizing step by step stays linear.
    if (count > Capacity) Reallocate(std::max(count, Capacity * 2));
    Size = count;
}

template <class T>
void TMappedArray<T>::resize(std::size_t count, const T& value) {
    const std::size_t before = Size;
    resize_for_overwrite(count);
    for (std::size_t i = before; i < count; ++i) Data[i] = value;
}

template <class T>
void TMappedArray<T>::clear() {
    if (MappedBytes > 0)
        munmap(Data, MappedBytes);
    else
        std::free(Data);
    Data = nullptr;
    Size = 0;
    Capacity = 0;
    MappedBytes = 0;
}

template <class T>
void TMappedArray<T>::Reallocate(std::size_t count, bool unaccounted) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = count * sizeof(T);
    if (bytes < kMappedFrom && !unaccounted) {
        void* grown = std::realloc(Data, bytes);
        if (grown == nullptr) throw std::bad_alloc();
        Data = static_cast<T*>(grown);
        Capacity = count;
        return;
    }
    const std::size_t mapped = MappedSize(bytes);
    void* at = nullptr;
    if (MappedBytes > 0 && !unaccounted) {
        at = mremap(Data, MappedBytes, mapped, MREMAP_MAYMOVE);
        if (at == MAP_FAILED) throw std::bad_alloc();
        madvise(at, mapped, MADV_HUGEPAGE);
    } else {
        // A mapping keeps the accounting it was made with, so unaccounted room is a new one.
        at = Map(mapped, unaccounted);
        if (Size > 0) std::memcpy(at, static_cast<const void*>(Data), Size * sizeof(T));
        if (MappedBytes > 0)
            munmap(Data, MappedBytes);
        else
            std::free(Data);
    }
    Data = static_cast<T*>(at);
    MappedBytes = mapped;
    Capacity = mapped / sizeof(T);
}

template class TMappedArray<TRecLog>;
template class TMappedArray<std::uint32_t>;
template class TMappedArray<std::int32_t>;
template class TMappedArray<std::uint64_t>;
template class TMappedArray<std::string_view>;

}  // namespace brindle

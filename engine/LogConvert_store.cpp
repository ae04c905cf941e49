#include "engine/LogConvert_store.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace brindle {

namespace {

// Below this an array is an ordinary heap block.
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

void* Map(std::size_t bytes) {
    void* at = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
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

TRecStore::~TRecStore() { clear(); }

TRecStore::TRecStore(const TRecStore& other) { *this = other; }

TRecStore& TRecStore::operator=(const TRecStore& other) {
    if (this == &other) return *this;
    clear();
    if (other.Size == 0) return *this;
    Reallocate(other.Size);
    std::memcpy(static_cast<void*>(Data), other.Data, other.Size * sizeof(TRecLog));
    Size = other.Size;
    return *this;
}

TRecStore::TRecStore(TRecStore&& other) noexcept { *this = std::move(other); }

TRecStore& TRecStore::operator=(TRecStore&& other) noexcept {
    if (this == &other) return *this;
    clear();
    Data = std::exchange(other.Data, nullptr);
    Size = std::exchange(other.Size, 0);
    Capacity = std::exchange(other.Capacity, 0);
    MappedBytes = std::exchange(other.MappedBytes, 0);
    return *this;
}

void TRecStore::reserve(std::size_t count) {
    if (count > Capacity) Reallocate(count);
}

void TRecStore::push_back(const TRecLog& rec) {
    if (Size == Capacity) Reallocate(Capacity < 16 ? 16 : Capacity * 2);
    Data[Size++] = rec;
}

void TRecStore::clear() {
    if (MappedBytes > 0)
        munmap(Data, MappedBytes);
    else
        std::free(Data);
    Data = nullptr;
    Size = 0;
    Capacity = 0;
    MappedBytes = 0;
}

void TRecStore::Reallocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(TRecLog)) throw std::bad_alloc();
    const std::size_t bytes = count * sizeof(TRecLog);
    if (bytes < kMappedFrom) {
        void* grown = std::realloc(Data, bytes);
        if (grown == nullptr) throw std::bad_alloc();
        Data = static_cast<TRecLog*>(grown);
        Capacity = count;
        return;
    }
    const std::size_t mapped = MappedSize(bytes);
    void* at = nullptr;
    if (MappedBytes > 0) {
        at = mremap(Data, MappedBytes, mapped, MREMAP_MAYMOVE);
        if (at == MAP_FAILED) throw std::bad_alloc();
        madvise(at, mapped, MADV_HUGEPAGE);
    } else {
        at = Map(mapped);
        if (Size > 0) std::memcpy(at, static_cast<const void*>(Data), Size * sizeof(TRecLog));
        std::free(Data);
    }
    Data = static_cast<TRecLog*>(at);
    MappedBytes = mapped;
    Capacity = mapped / sizeof(TRecLog);
}

}  // namespace brindle

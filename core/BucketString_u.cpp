#include "core/BucketString_u.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

namespace brindle {

namespace {

// Texts are packed into blocks of this size; a text larger than a quarter of it gets a block
// of its own so that little space is wasted at the end of a block.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kOwnBlockFrom = kBlockSize / 4;
constexpr std::size_t kMinSlots = 16;
constexpr std::size_t kMaxItems = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

}  // namespace

TBucketString::TBucketString(std::uint16_t mask) : mask_(mask) {}

TBucketString::TBucketString(TBucketString&& other) noexcept
    : mask_(other.mask_),
      items_(std::move(other.items_)),
      slots_(std::move(other.slots_)),
      usedSlots_(std::exchange(other.usedSlots_, 0)),
      blocks_(std::move(other.blocks_)),
      cursor_(std::exchange(other.cursor_, nullptr)),
      left_(std::exchange(other.left_, 0)) {
    other.Clear();
}

TBucketString& TBucketString::operator=(TBucketString&& other) noexcept {
    if (this != &other) {
        mask_ = other.mask_;
        items_ = std::move(other.items_);
        slots_ = std::move(other.slots_);
        usedSlots_ = std::exchange(other.usedSlots_, 0);
        blocks_ = std::move(other.blocks_);
        cursor_ = std::exchange(other.cursor_, nullptr);
        left_ = std::exchange(other.left_, 0);
        other.Clear();
    }
    return *this;
}

std::uint32_t TBucketString::Hash(std::string_view text) {
    const std::uint64_t h = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::int32_t TBucketString::AddString(std::string_view text) {
    const std::uint32_t hash = Hash(text);
    if (!slots_.empty()) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t pos = hash & mask;; pos = (pos + 1) & mask) {
            const TSlot& slot = slots_[pos];
            if (slot.Index == kEmptySlot) break;
            if (slot.Hash == hash && (slot.Index & kDetached) == 0 && items_[slot.Index] == text)
                return static_cast<std::int32_t>(slot.Index);
        }
    }

    if (items_.size() >= kMaxItems) throw std::length_error("TBucketString: too many distinct texts");
    // Keep the load at most 3/4 so that probe runs stay short.
    if ((usedSlots_ + 1) * 4 > slots_.size() * 3)
        Rehash(slots_.empty() ? std::bit_ceil(std::max<std::size_t>(kMinSlots, std::size_t{mask_} + 1))
                              : slots_.size() * 2);
    const auto index = static_cast<std::uint32_t>(items_.size());
    items_.push_back(Store(text));
    PlaceSlot({index, hash});
    ++usedSlots_;
    return static_cast<std::int32_t>(index);
}

std::string_view TBucketString::GetString(std::int32_t index) const {
    if (index < 0 || index >= Count()) return {};
    return items_[static_cast<std::size_t>(index)];
}

void TBucketString::SetString(std::int32_t index, std::string_view text) {
    if (index < 0 || index >= Count()) return;
    std::string_view& item = items_[static_cast<std::size_t>(index)];
    if (item == text) return;
    // While an entry has its original text its slot is found by that text's hash; once
    // detached it is skipped by every lookup. An entry that is not found here was detached
    // by an earlier rename.
    const std::uint32_t hash = Hash(item);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t pos = hash & mask;; pos = (pos + 1) & mask) {
        TSlot& slot = slots_[pos];
        if (slot.Index == kEmptySlot) break;
        if (slot.Index == static_cast<std::uint32_t>(index)) {
            slot.Index |= kDetached;
            break;
        }
    }
    item = Store(text);
}

void TBucketString::Clear() {
    items_.clear();
    items_.shrink_to_fit();
    slots_.clear();
    slots_.shrink_to_fit();
    usedSlots_ = 0;
    blocks_.clear();
    cursor_ = nullptr;
    left_ = 0;
}

std::string_view TBucketString::Store(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() >= kOwnBlockFrom) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(blocks_.back().get(), text.data(), text.size());
        return {blocks_.back().get(), text.size()};
    }
    if (text.size() > left_) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        cursor_ = blocks_.back().get();
        left_ = kBlockSize;
    }
    std::memcpy(cursor_, text.data(), text.size());
    const std::string_view stored(cursor_, text.size());
    cursor_ += text.size();
    left_ -= text.size();
    return stored;
}

void TBucketString::Rehash(std::size_t capacity) {
    std::vector<TSlot> old(capacity, TSlot{kEmptySlot, 0});
    old.swap(slots_);
    usedSlots_ = 0;
    // Detached slots are dropped: nothing looks for them any more.
    for (const TSlot& slot : old) {
        if (slot.Index == kEmptySlot || (slot.Index & kDetached) != 0) continue;
        PlaceSlot(slot);
        ++usedSlots_;
    }
}

void TBucketString::PlaceSlot(TSlot slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t pos = slot.Hash & mask;
    while (slots_[pos].Index != kEmptySlot) pos = (pos + 1) & mask;
    slots_[pos] = slot;
}

}  // namespace brindle

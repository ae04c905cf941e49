#include "core/BucketString_u.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include "core/TextHash.h"

namespace brindle {

namespace {

// Texts are packed into blocks of this size; a text larger than a quarter of it gets a block
// of its own so that little space is wasted at the end of a block.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kOwnBlockFrom = kBlockSize / 4;
constexpr std::size_t kMinSlots = 16;
// The first table is no larger than this whatever the expected count: its slots are cleared
// when made, and a small log would pay for hundreds of kilobytes of fresh pages it never
// fills. A large one grows there by doubling, a few cheap steps.
constexpr std::size_t kMaxFirstSlots = 1024;
constexpr std::size_t kMaxItems = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
constexpr std::size_t kHeader = 8;
constexpr std::size_t kMaxLength = std::numeric_limits<std::uint32_t>::max();

std::uint32_t ReadU32(const char* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void WriteU32(char* at, std::uint32_t value) { std::memcpy(at, &value, sizeof value); }

}  // namespace

TBucketString::TBucketString(std::uint16_t mask) : mask_(mask) {}

TBucketString::TBucketString(TBucketString&& other) noexcept : mask_(other.mask_) { *this = std::move(other); }

TBucketString& TBucketString::operator=(TBucketString&& other) noexcept {
    if (this != &other) {
        mask_ = other.mask_;
        items_ = std::move(other.items_);
        slots_ = std::move(other.slots_);
        usedSlots_ = other.usedSlots_;
        blocks_ = std::move(other.blocks_);
        cursor_ = other.cursor_;
        left_ = other.left_;
        last_ = other.last_;
        other.Clear();
    }
    return *this;
}

// Eight bytes per multiplication: the texts are long (URLs, user agents) and hashed on
// every line, so a lighter mix than the library's pays. The hash only picks slots.
std::uint32_t TBucketString::Hash(std::string_view text) { return static_cast<std::uint32_t>(HashText(text)); }

std::int32_t TBucketString::AddString(std::string_view text) {
    // Log lines come in runs (one visitor's page and its images), so the text just looked up
    // is tried first, before any hashing.
    if (last_ != nullptr && ReadU32(last_ + 4) == text.size() &&
        (text.empty() || std::memcmp(last_ + kHeader, text.data(), text.size()) == 0)) {
        const std::uint32_t index = ReadU32(last_);
        if ((index & kDetached) == 0) return static_cast<std::int32_t>(index);
    }
    const std::uint32_t hash = Hash(text);
    if (slots_.empty() && !items_.empty()) Reindex();
    if (!slots_.empty()) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t pos = hash & mask;; pos = (pos + 1) & mask) {
            const TSlot& slot = slots_[pos];
            if (slot.Record == nullptr) break;
            if (slot.Hash == hash && slot.Length == text.size() &&
                (text.empty() || std::memcmp(slot.Record + kHeader, text.data(), text.size()) == 0)) {
                const std::uint32_t index = ReadU32(slot.Record);
                if ((index & kDetached) == 0) {
                    last_ = slot.Record;
                    return static_cast<std::int32_t>(index);
                }
            }
        }
    }

    if (items_.size() >= kMaxItems) throw std::length_error("TBucketString: too many distinct texts");
    // Keep the load at most 3/4 so that probe runs stay short.
    if ((usedSlots_ + 1) * 4 > slots_.size() * 3)
        Rehash(slots_.empty()
                   ? std::min(kMaxFirstSlots, std::bit_ceil(std::max<std::size_t>(kMinSlots, std::size_t{mask_} + 1)))
                   : slots_.size() * 2);
    const auto index = static_cast<std::uint32_t>(items_.size());
    char* record = Store(text, index);
    items_.push_back(record);
    last_ = record;
    PlaceSlot({record, hash, static_cast<std::uint32_t>(text.size())});
    ++usedSlots_;
    return static_cast<std::int32_t>(index);
}

std::string_view TBucketString::GetString(std::int32_t index) const {
    if (index < 0 || index >= Count()) return {};
    const char* record = items_[static_cast<std::size_t>(index)];
    return {record + kHeader, ReadU32(record + 4)};
}

void TBucketString::SetString(std::int32_t index, std::string_view text) {
    if (index < 0 || index >= Count() || GetString(index) == text) return;
    // The old record keeps its slot but is marked so that no lookup returns it; the new one
    // gets no slot at all.
    char*& record = items_[static_cast<std::size_t>(index)];
    WriteU32(record, static_cast<std::uint32_t>(index) | kDetached);
    record = Store(text, static_cast<std::uint32_t>(index) | kDetached);
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
    last_ = nullptr;
}

void TBucketString::ReleaseIndex() {
    slots_ = std::vector<TSlot>();
    usedSlots_ = 0;
}

// A renamed entry's old record is gone from the items and its new one is detached, so the
// rebuilt index finds neither text for it, as before.
void TBucketString::Reindex() {
    std::size_t capacity = kMinSlots;
    while (items_.size() * 4 > capacity * 3) capacity *= 2;
    slots_.assign(capacity, TSlot{nullptr, 0, 0});
    for (const char* record : items_) {
        const std::uint32_t length = ReadU32(record + 4);
        PlaceSlot({record, Hash({record + kHeader, length}), length});
    }
    usedSlots_ = items_.size();
}

std::vector<std::shared_ptr<const char[]>> TBucketString::ShareBlocks() const {
    return {blocks_.begin(), blocks_.end()};
}

char* TBucketString::Store(std::string_view text, std::uint32_t index) {
    if (text.size() >= kMaxLength) throw std::length_error("TBucketString: text too long");
    const std::size_t size = kHeader + text.size();
    char* record;
    if (size >= kOwnBlockFrom) {
        blocks_.push_back(std::make_shared_for_overwrite<char[]>(size));
        record = blocks_.back().get();
    } else {
        if (size > left_) {
            blocks_.push_back(std::make_shared_for_overwrite<char[]>(kBlockSize));
            cursor_ = blocks_.back().get();
            left_ = kBlockSize;
        }
        record = cursor_;
        cursor_ += size;
        left_ -= size;
    }
    WriteU32(record, index);
    WriteU32(record + 4, static_cast<std::uint32_t>(text.size()));
    if (!text.empty()) std::memcpy(record + kHeader, text.data(), text.size());
    return record;
}

void TBucketString::Rehash(std::size_t capacity) {
    std::vector<TSlot> old(capacity, TSlot{nullptr, 0, 0});
    old.swap(slots_);
    for (const TSlot& slot : old)
        if (slot.Record != nullptr) PlaceSlot(slot);
}

void TBucketString::PlaceSlot(const TSlot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t pos = slot.Hash & mask;
    while (slots_[pos].Record != nullptr) pos = (pos + 1) & mask;
    slots_[pos] = slot;
}

}  // namespace brindle

#include "engine/StatName_u.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace brindle {

std::string_view TTextArena::Keep(std::string_view text) {
    if (blocks_.empty() || used_ + text.size() > blockSize_) {
        blockSize_ = std::max(kBlockBytes, text.size());
        // Not zero-filled: a page is touched only once a text is written to it.
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockSize_));
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::copy(text.begin(), text.end(), at);
    used_ += text.size();
    return {at, text.size()};
}

TStatName& TStatName::operator=(const TStatName& other) {
    if (this != &other) *this = TStatName(other);
    return *this;
}

TStatName& TStatName::operator=(TStatName&& other) noexcept {
    if (this != &other) {
        Free();
        std::memcpy(text_, other.text_, kLocalSize);
        tag_ = other.tag_;
        other.tag_ = 0;
    }
    return *this;
}

TStatName TStatName::Referring(std::string_view text) {
    if (text.size() > kMaxSize) throw std::length_error("statistics row name too long");
    TStatName name;
    name.SetAddress(text.data());
    name.tag_ = static_cast<std::uint32_t>(text.size()) | (kReferring << 30);
    return name;
}

TStatName TStatName::Kept(std::string_view text, TTextArena& arena) {
    if (text.size() <= kLocalSize) return TStatName(text);
    return Referring(arena.Keep(text));
}

const char* TStatName::data() const { return Mode() == kLocal ? text_ : Address(); }

const char* TStatName::Address() const {
    const char* at = nullptr;
    std::memcpy(&at, text_, sizeof at);
    return at;
}

void TStatName::SetAddress(const char* at) { std::memcpy(text_, &at, sizeof at); }

void TStatName::CopyFrom(std::string_view text) {
    if (text.size() > kMaxSize) throw std::length_error("statistics row name too long");
    if (text.size() <= kLocalSize) {
        std::copy(text.begin(), text.end(), text_);
        tag_ = static_cast<std::uint32_t>(text.size());
        return;
    }
    char* block = std::allocator<char>().allocate(text.size());
    std::copy(text.begin(), text.end(), block);
    SetAddress(block);
    tag_ = static_cast<std::uint32_t>(text.size()) | (kOwned << 30);
}

void TStatName::Free() noexcept {
    if (Mode() == kOwned) std::allocator<char>().deallocate(const_cast<char*>(Address()), size());
    tag_ = 0;
}

std::ostream& operator<<(std::ostream& out, const TStatName& name) { return out << name.View(); }

TStatTexts& TStatTexts::operator=(const TStatTexts& other) {
    // The rows copied along own their names; the old texts are no longer referred to.
    if (this != &other) Clear();
    return *this;
}

TStatTexts::TStatTexts(TStatTexts&& other) noexcept
    : blocks_(std::move(other.blocks_)), shared_(std::move(other.shared_)) {}

TStatTexts& TStatTexts::operator=(TStatTexts&& other) noexcept {
    if (this != &other) {
        const std::scoped_lock lock(mutex_, other.mutex_);
        blocks_ = std::move(other.blocks_);
        shared_ = std::move(other.shared_);
        other.blocks_.clear();
        other.shared_.clear();
    }
    return *this;
}

void TStatTexts::Adopt(TTextArena&& arena) {
    const std::scoped_lock lock(mutex_);
    for (std::unique_ptr<char[]>& block : arena.blocks_) blocks_.push_back(std::move(block));
    arena.blocks_.clear();
    arena.blockSize_ = 0;
    arena.used_ = 0;
}

void TStatTexts::Share(std::vector<std::shared_ptr<const char[]>> blocks) {
    const std::scoped_lock lock(mutex_);
    shared_.insert(shared_.end(), std::make_move_iterator(blocks.begin()), std::make_move_iterator(blocks.end()));
}

void TStatTexts::Clear() {
    const std::scoped_lock lock(mutex_);
    blocks_.clear();
    shared_.clear();
}

}  // namespace brindle
